// The cell-width lookup over the generated tables.
#include "raster/unicode_width.h"

#include <algorithm>

namespace vusk {

namespace {

// Whether cp lies in one of the `count` sorted, disjoint ranges.
bool in_ranges(const CodePointRange* ranges, uint32_t count, uint32_t cp) {
  const CodePointRange* end = ranges + count;
  // The first range that starts after cp; the one before it may hold cp.
  const CodePointRange* after =
      std::upper_bound(ranges, end, cp, [](uint32_t v, const CodePointRange& r) { return v < r.first; });
  return after != ranges && cp <= after[-1].last;
}

}  // namespace

uint32_t unicode_cell_width(uint32_t cp) {
  // Below the first mark and the first wide character (all of ASCII and
  // Latin-1), no search.
  if (cp < unicode_zero_width_ranges[0].first && cp < unicode_wide_ranges[0].first) return 1;
  if (in_ranges(unicode_zero_width_ranges, unicode_zero_width_range_count, cp)) return 0;
  return in_ranges(unicode_wide_ranges, unicode_wide_range_count, cp) ? 2 : 1;
}

}  // namespace vusk
