// The cell-width lookup over the generated tables.
#include "raster/unicode_width.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

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

Utf8Char decode_utf8(const uint8_t* p, const uint8_t* end) {
  const uint8_t b = *p;
  if (b < 0x80) return {b, 1};
  uint32_t n, cp, low = 0x80, high = 0xBF;  // low and high bound the second byte
  if (b >= 0xC2 && b <= 0xDF) {
    n = 2, cp = b & 0x1Fu;
  } else if (b >= 0xE0 && b <= 0xEF) {
    n = 3, cp = b & 0x0Fu;
    if (b == 0xE0) low = 0xA0;   // no overlong forms
    if (b == 0xED) high = 0x9F;  // no surrogates
  } else if (b >= 0xF0 && b <= 0xF4) {
    n = 4, cp = b & 0x07u;
    if (b == 0xF0) low = 0x90;
    if (b == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return {0, 0};
  }
  if (end - p < static_cast<ptrdiff_t>(n) || p[1] < low || p[1] > high) return {0, 0};
  for (uint32_t i = 1; i < n; ++i) {
    if (!is_utf8_continuation(p[i])) return {0, 0};
    cp = cp << 6 | (p[i] & 0x3Fu);
  }
  return {cp, n};
}

bool is_valid_utf8(const uint8_t* bytes, size_t n) {
  const uint8_t* p = bytes;
  const uint8_t* end = bytes + n;
  while (p < end) {
    // ASCII in bulk: four words at a time, then one.
    if (end - p >= 32) {
      uint64_t w[4];
      std::memcpy(w, p, sizeof w);
      if (((w[0] | w[1] | w[2] | w[3]) & 0x8080808080808080ull) == 0) {
        p += 32;
        continue;
      }
    }
    if (end - p >= 8) {
      uint64_t w;
      std::memcpy(&w, p, sizeof w);
      if ((w & 0x8080808080808080ull) == 0) {
        p += 8;
        continue;
      }
    }
    const Utf8Char c = decode_utf8(p, end);
    if (c.bytes == 0) return false;
    p += c.bytes;
  }
  return true;
}

}  // namespace vusk
