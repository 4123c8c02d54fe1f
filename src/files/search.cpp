// Placeholder until search lands.
#include "files/search.h"

#include <cstring>

namespace vusk {

char find_pattern[FIND_PATTERN_CHARS + 1];

void reset_search_state() {
  std::memset(find_pattern, ' ', FIND_PATTERN_CHARS);
  find_pattern[FIND_PATTERN_CHARS] = 0;
}

int32_t find_text(uint32_t, const uint8_t*, const uint8_t*) { return -1; }

}  // namespace vusk
