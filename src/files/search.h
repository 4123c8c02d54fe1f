// The find bar's pattern buffer and the search that selects its next match
// in the Document. Files layer: included by the dispatcher (F3, F4) and the
// screens (the find field's data).
#pragma once
#include <cstdint>

namespace vusk {

constexpr uint32_t FIND_PATTERN_CHARS = 29;
constexpr uint8_t CASE_FOLD_MARK = 0x1B;  // first in the field: letters match in either case

// The find field's buffer: 29 characters, space-padded, then 0. It keeps
// its text while the find bar is closed.
extern char find_pattern[FIND_PATTERN_CHARS + 1];

// Fills the find field with spaces: no pattern.
void reset_search_state();

// Searches the bytes [pattern_start, pattern_end) (a leading CASE_FOLD_MARK
// is no part of them and folds letters) forwards (direction 0) from the
// Selection's end, or backwards from one before its start, or from the
// located cursor (locate_cursor) when nothing is selected. A match stands on
// whole characters, and a line end of the pattern matches any line end
// (find_match). It becomes sel_start / sel_end (anchor and head untouched)
// and its first byte's line is returned; -1 when there is none, with
// nothing changed.
int32_t find_text(uint32_t direction, const uint8_t* pattern_end, const uint8_t* pattern_start);

}  // namespace vusk
