// Searching the Document for the find bar's pattern. Included by the editor
// and the screens.
#pragma once
#include <cstdint>

namespace vusk {

constexpr uint32_t FIND_PATTERN_CHARS = 29;
constexpr uint8_t CASE_FOLD_MARK = 0x1B;

// The find field's buffer: 29 characters, space-padded, then 0.
extern char find_pattern[FIND_PATTERN_CHARS + 1];

void reset_search_state();

// Line of the match (which becomes the Selection), or -1.
int32_t find_text(uint32_t direction, const uint8_t* pattern_end, const uint8_t* pattern_start);

}  // namespace vusk
