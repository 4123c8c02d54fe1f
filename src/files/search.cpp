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
  // Dead bytes behind the end marker lie in range, but no match reaches
  // them: the origin is never beyond the marker and no pattern holds 0x0D.
  size_t length = 0;  // more than n where a line end of the pattern met filler
  const int64_t at = find_match(doc.text_buffer, doc.text_length, search_origin(backwards), backwards,
                                pattern_start, n, fold, &length, doc.encoding == ENCODING_UTF8);
  if (at < 0) return -1;
  view.sel_start = doc.text_buffer + at;
  view.sel_end = view.sel_start + length;
  return static_cast<int32_t>(line_of_pointer(view.sel_start));
}

}  // namespace vusk
