// Byte matching for the find bar. Trying every candidate in turn costs a
// compare per text byte; instead two probes (the pattern's two rarest bytes,
// at their offsets in it) pick out the few candidates worth a full compare,
// 16 at a time with SSE2 where the target has it. Candidates are still taken
// in the same order, so the first full match found is the one the plain scan
// would find.
#include "files/text_search.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VUSK_SEARCH_SSE2 1
#endif

namespace vusk {
namespace {

constexpr uint8_t FILLER = 0x00;
constexpr uint8_t LINE_END = 0x0A;
constexpr uint8_t CASE_BIT = 0x20;

// A match never starts on filler or a line end.
bool is_skipped(uint8_t b) { return b == FILLER || b == LINE_END; }

bool is_letter(uint8_t b) {
  const uint8_t upper = b & static_cast<uint8_t>(~CASE_BIT);
  return upper >= 'A' && upper <= 'Z';
}

// English letters, the most common first; ordinary text is mostly these.
constexpr char LETTERS_BY_FREQUENCY[] = "etaoinsrhldcumfpgwybvkxjqz";

// A guess at how often byte b (or, folded, either case of it) occurs in a
// document, from 0 (rare) up. Only the order matters.
int commonness(uint8_t b, bool fold) {
  if (is_letter(b)) {
    const char* at = std::strchr(LETTERS_BY_FREQUENCY, b | CASE_BIT);
    const int lower = 200 - 6 * static_cast<int>(at - LETTERS_BY_FREQUENCY);
    if (fold) return lower + 5;
    return (b & CASE_BIT) != 0 ? lower : lower / 4;
  }
  if (b == ' ') return 255;
  if (is_skipped(b)) return 230;  // one or two on every line
  if (b == '\t') return 120;
  if (b == '.' || b == ',') return 100;
  if (b >= '0' && b <= '9') return 90;
  if (b > ' ' && b < 0x7F) return 60;
  return b >= 0x80 ? 30 : 10;
}

// One byte of the pattern that a candidate must match: text[p + offset]
// ORed with or_mask equals want. The mask is the case bit for a folded
// letter, so both cases pass; otherwise it is 0 and the byte must be equal.
struct Probe {
  size_t offset;
  uint8_t want;
  uint8_t or_mask;
};

struct Needle {
  const uint8_t* bytes;
  size_t n;
  bool fold;
  Probe rare;    // the rarest byte
  Probe second;  // the next rarest at another offset (the same one when n is 1)
};

// The probe for pattern byte i.
Probe probe_at(const uint8_t* pattern, size_t i, bool fold) {
  const uint8_t mask = fold && is_letter(pattern[i]) ? CASE_BIT : 0;
  return Probe{i, static_cast<uint8_t>(pattern[i] | mask), mask};
}

// Offset of the rarest byte of the pattern other than `skip`, or `skip`
// itself when it is the only one.
size_t rarest_offset(const uint8_t* pattern, size_t n, bool fold, size_t skip) {
  size_t best = skip;
  int best_commonness = 1 << 30;
  for (size_t i = 0; i < n; ++i) {
    const int c = commonness(pattern[i], fold);
    if (i != skip && c < best_commonness) {
      best = i;
      best_commonness = c;
    }
  }
  return best;
}

// The pattern with its two probes chosen.
Needle make_needle(const uint8_t* pattern, size_t n, bool fold) {
  const size_t rare = rarest_offset(pattern, n, fold, n);
  const size_t second = rarest_offset(pattern, n, fold, rare);
  return Needle{pattern, n, fold, probe_at(pattern, rare, fold), probe_at(pattern, second, fold)};
}

// Whether candidate p passes the probe.
bool probe_hits(const uint8_t* text, size_t p, const Probe& probe) {
  return (text[p + probe.offset] | probe.or_mask) == probe.want;
}

// Whether the whole pattern matches at candidate p; the probes go first, as
// they fail most often.
bool matches_at(const uint8_t* text, size_t p, const Needle& nd) {
  if (!probe_hits(text, p, nd.rare) || !probe_hits(text, p, nd.second)) return false;
  if (!nd.fold) return std::memcmp(text + p, nd.bytes, nd.n) == 0;
  for (size_t i = 0; i < nd.n; ++i) {
    if (!bytes_match(text[p + i], nd.bytes[i], true)) return false;
  }
  return true;
}

#ifdef VUSK_SEARCH_SSE2

struct WideProbe {
  size_t offset;
  __m128i want;
  __m128i or_mask;
};

// The probe's bytes repeated across a register.
WideProbe widen(const Probe& probe) {
  return WideProbe{probe.offset, _mm_set1_epi8(static_cast<char>(probe.want)),
                   _mm_set1_epi8(static_cast<char>(probe.or_mask))};
}

// 0xFF in byte j when candidate at + j passes the probe.
__m128i probe_block(const uint8_t* at, const WideProbe& probe) {
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + probe.offset));
  return _mm_cmpeq_epi8(_mm_or_si128(bytes, probe.or_mask), probe.want);
}

// Bit j set when candidate at + j passes both probes, for j from 0 to 15.
uint32_t block_hits(const uint8_t* at, const WideProbe& a, const WideProbe& b) {
  return static_cast<uint32_t>(_mm_movemask_epi8(_mm_and_si128(probe_block(at, a), probe_block(at, b))));
}

// Tries whole blocks of 16 candidates from p upwards below `end`, leaving p
// at the first candidate not tried.
int64_t wide_forward(const uint8_t* text, size_t& p, size_t end, const Needle& nd) {
  const WideProbe a = widen(nd.rare), b = widen(nd.second);
  for (; end - p >= 16; p += 16) {
    for (uint32_t hits = block_hits(text + p, a, b); hits != 0; hits &= hits - 1) {
      const size_t at = p + static_cast<size_t>(std::countr_zero(hits));
      if (matches_at(text, at, nd)) return static_cast<int64_t>(at);
    }
  }
  return -1;
}

// Tries whole blocks of 16 candidates below p downwards, leaving p just above
// the last candidate not tried.
int64_t wide_backward(const uint8_t* text, size_t& p, const Needle& nd) {
  const WideProbe a = widen(nd.rare), b = widen(nd.second);
  for (; p >= 16; p -= 16) {
    const size_t base = p - 16;
    for (uint32_t hits = block_hits(text + base, a, b); hits != 0;) {
      const int j = 31 - std::countl_zero(hits);
      const size_t at = base + static_cast<size_t>(j);
      if (matches_at(text, at, nd)) return static_cast<int64_t>(at);
      hits &= ~(1u << j);
    }
  }
  return -1;
}

#endif

// Offset of the first byte equal to `value` in [from, end), or end.
size_t next_byte(const uint8_t* text, size_t from, size_t end, uint8_t value) {
  const void* hit = std::memchr(text + from, value, end - from);
  return hit == nullptr ? end : static_cast<size_t>(static_cast<const uint8_t*>(hit) - text);
}

// Candidates [p, end) in order, for a pattern of at least one byte: memchr
// finds where the rare byte stands next, and for a folded letter, where
// either of its cases does.
int64_t scan_forward(const uint8_t* text, size_t p, size_t end, const Needle& nd, bool wide) {
#ifdef VUSK_SEARCH_SSE2
  if (wide) {
    if (const int64_t found = wide_forward(text, p, end, nd); found >= 0) return found;
  }
#else
  (void)wide;
#endif
  const size_t off = nd.rare.offset, stop = end + off;
  // The byte itself, or a folded letter's lower and upper case.
  const uint8_t one = nd.rare.want, other = nd.rare.want & static_cast<uint8_t>(~nd.rare.or_mask);
  size_t next_one = next_byte(text, p + off, stop, one);
  size_t next_other = other == one ? stop : next_byte(text, p + off, stop, other);
  for (;;) {
    const size_t at = next_one < next_other ? next_one : next_other;
    if (at == stop) return -1;
    if (matches_at(text, at - off, nd)) return static_cast<int64_t>(at - off);
    if (at == next_one) next_one = next_byte(text, at + 1, stop, one);
    if (at == next_other) next_other = next_byte(text, at + 1, stop, other);
  }
}

// Candidates [0, top) from the highest down, for a pattern of at least one
// byte.
int64_t scan_backward(const uint8_t* text, size_t top, const Needle& nd, bool wide) {
#ifdef VUSK_SEARCH_SSE2
  if (wide) {
    if (const int64_t found = wide_backward(text, top, nd); found >= 0) return found;
  }
#else
  (void)wide;
#endif
  while (top > 0) {
    --top;
    if (matches_at(text, top, nd)) return static_cast<int64_t>(top);
  }
  return -1;
}

// An empty pattern matches at the first candidate that is not skipped.
int64_t first_unskipped(const uint8_t* text, size_t p, size_t end) {
  for (; p < end; ++p) {
    if (!is_skipped(text[p])) return static_cast<int64_t>(p);
  }
  return -1;
}

// The same below `top`, the highest first.
int64_t last_unskipped(const uint8_t* text, size_t top) {
  while (top > 0) {
    if (!is_skipped(text[--top])) return static_cast<int64_t>(top);
  }
  return -1;
}

// find_match, with or without the SSE2 prefilter.
int64_t search_range(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                     const uint8_t* pattern, size_t n, bool fold, bool wide) {
  if (n > text_len) return -1;  // the limit lies before the text: no candidates
  const size_t limit = text_len - n;
  // Clamped into [0, text_len] first, so that no start can wrap a size_t.
  const size_t start = from < 0 ? 0
                       : static_cast<uint64_t>(from) > text_len ? text_len
                                                                : static_cast<size_t>(from);
  if (n == 0) return backwards ? last_unskipped(text, start < limit ? start : limit)
                               : first_unskipped(text, start, limit);
  // A candidate that matches the first byte stands on neither filler nor a
  // line end, unless the pattern starts with one; then nothing can match.
  if (is_skipped(pattern[0])) return -1;
  const Needle nd = make_needle(pattern, n, fold);
  if (backwards) return scan_backward(text, start < limit ? start : limit, nd, wide);
  return start < limit ? scan_forward(text, start, limit, nd, wide) : -1;
}

}  // namespace

bool bytes_match(uint8_t t, uint8_t p, bool fold) {
  if (t == p) return true;
  const uint8_t folded = t & static_cast<uint8_t>(~CASE_BIT);
  return fold && folded == (p & static_cast<uint8_t>(~CASE_BIT)) && folded >= 'A' && folded <= 'Z';
}

int64_t find_match(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                   const uint8_t* pattern, size_t n, bool fold) {
  return search_range(text, text_len, from, backwards, pattern, n, fold, true);
}

int64_t find_match_portable(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                            const uint8_t* pattern, size_t n, bool fold) {
  return search_range(text, text_len, from, backwards, pattern, n, fold, false);
}

}  // namespace vusk
