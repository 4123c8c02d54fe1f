// How many text cells each Unicode code point takes, ruled from Unicode's own
// data: the tables are generated at build time into the build folder by
// tools/make_unicode_width.cpp (from Debian's unicode-data) and compiled into
// the core, and the decoding of UTF-8 sequences. Raster layer: includes
// nothing; every layer may include it.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

// The code points first..last, both included.
struct CodePointRange {
  uint32_t first, last;
};

// The generated tables: each sorted by `first`, its ranges disjoint and never
// adjacent, and no code point in both.
extern const CodePointRange unicode_zero_width_ranges[];  // combining marks, format characters, Hangul jamo
extern const uint32_t unicode_zero_width_range_count;
extern const CodePointRange unicode_wide_ranges[];  // East Asian Wide and Fullwidth
extern const uint32_t unicode_wide_range_count;

// The cells of code point cp: 0 for combining marks (Mn, Me), format
// characters (Cf, but the soft hyphen U+00AD) and the Hangul medial vowels
// and final consonants (U+1160..U+11FF, U+D7B0..U+D7FF); 2 for East Asian
// Wide and Fullwidth; 1 for everything else, control characters and values
// past U+10FFFF included (the caller rules those).
uint32_t unicode_cell_width(uint32_t cp);

// One UTF-8 sequence at p: its code point and length, or length 0 when the
// bytes there (read no further than `end`) are no valid sequence (overlong
// forms, surrogates and values past U+10FFFF are not).
struct Utf8Char {
  uint32_t cp;
  uint32_t bytes;
};
Utf8Char decode_utf8(const uint8_t* p, const uint8_t* end);
// Whether bytes[0..n) are all valid UTF-8 (ASCII included).
bool is_valid_utf8(const uint8_t* bytes, size_t n);
// Whether b can only continue a UTF-8 sequence (10xxxxxx): no character
// starts there.
constexpr bool is_utf8_continuation(uint8_t b) { return (b & 0xC0) == 0x80; }

}  // namespace vusk
