// The find bar's pattern buffer and the search that selects its next match
// in the Document. Files layer: included by the dispatcher (F3, F4) and the
// screens (the find field's data).
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

constexpr uint32_t FIND_PATTERN_CHARS = 29;
constexpr uint8_t CASE_FOLD_MARK = 0x1B;  // first in the field: letters match in either case

// The find field's buffer: 29 characters, space-padded, then 0. It keeps
// its text while the find bar is closed.
extern char find_pattern[FIND_PATTERN_CHARS + 1];
// The replace bar's second field, for the text that replaces a match: as
// long as the find field, and kept likewise.
extern char replace_pattern[FIND_PATTERN_CHARS + 1];

// Fills both fields with spaces: no pattern, no replacement.
void reset_search_state();

// The end of a field's text: the trailing spaces that pad it are no part of it.
const uint8_t* field_text_end(const char* field, uint32_t chars);

// The find field's pattern: its bytes without the trailing spaces, and
// without a leading CASE_FOLD_MARK, which sets `fold` instead.
struct SearchPattern {
  const uint8_t* bytes;
  size_t n;
  bool fold;
  bool utf8;  // the Document shows as UTF-8: matches stand on whole UTF-8 sequences
};
SearchPattern find_field_pattern();

// Searches the bytes [pattern_start, pattern_end) (a leading CASE_FOLD_MARK
// is no part of them and folds letters) forwards (direction 0) from the
// Selection's end, or backwards from one before its start, or from the
// located cursor (locate_cursor) when nothing is selected. A match stands on
// whole characters, and a line end of the pattern matches any line end
// (find_match). It becomes sel_start / sel_end (anchor and head untouched)
// and its first byte's line is returned; -1 when there is none, with
// nothing changed. An `origin` of 0 or more (an offset into the text)
// replaces the Selection's or the cursor's place as the start.
int32_t find_text(uint32_t direction, const uint8_t* pattern_end, const uint8_t* pattern_start,
                  int64_t origin = -1);

}  // namespace vusk
