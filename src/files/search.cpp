// The find bar's search: the pattern's fold mark, where in the Document a
// search starts, the match made the Selection and the line it lies on. The
// byte matching itself is text_search's.
#include "files/search.h"

#include <cstring>

#include "editor/document.h"
#include "editor/text_view.h"
#include "files/text_search.h"

namespace vusk {

char find_pattern[FIND_PATTERN_CHARS + 1];

void reset_search_state() {
  std::memset(find_pattern, ' ', FIND_PATTERN_CHARS);
  find_pattern[FIND_PATTERN_CHARS] = 0;
}

namespace {

// The bytes a search may look at. Only an empty pattern could match at the
// end marker or behind it (no pattern holds 0x0D or NUL), so for that one the
// text ends just past the marker: dead bytes behind it are never selected.
size_t searched_length(size_t n) {
  if (n != 0) return doc.text_length;
  const uint8_t* last = line_start(doc.last_line);
  const uint8_t* end = doc.text_buffer + doc.text_length;
  const void* marker = std::memchr(last, END_MARKER, static_cast<size_t>(end - last));
  return marker == nullptr ? doc.text_length : static_cast<size_t>(static_cast<const uint8_t*>(marker) - doc.text_buffer) + 1;
}

// Forwards from the Selection's end, backwards from its start; from the
// located cursor when nothing is selected.
int64_t search_origin(bool backwards) {
  const bool selected = view.sel_start != view.sel_end;
  const uint8_t* p = selected ? (backwards ? view.sel_start : view.sel_end) : doc.cursor_ptr;
  return static_cast<int64_t>(p - doc.text_buffer);
}

}  // namespace

int32_t find_text(uint32_t direction, const uint8_t* pattern_end, const uint8_t* pattern_start) {
  bool fold = false;
  if (pattern_start < pattern_end && *pattern_start == CASE_FOLD_MARK) {
    ++pattern_start;
    fold = true;
  }
  const auto n = static_cast<size_t>(pattern_end - pattern_start);
  const bool backwards = direction != 0;
  const int64_t at = find_match(doc.text_buffer, searched_length(n), search_origin(backwards), backwards,
                                pattern_start, n, fold);
  if (at < 0) return -1;
  view.sel_start = doc.text_buffer + at;
  view.sel_end = view.sel_start + n;
  return static_cast<int32_t>(line_of_pointer(view.sel_start));
}

}  // namespace vusk
