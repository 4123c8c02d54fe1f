// Byte matching for the find bar. Trying every candidate in turn costs a
// compare per text byte; instead two probes (the pattern's two rarest bytes,
// at their offsets in it) pick out the few candidates worth a full compare,
// 16 at a time with SSE2 where the target has it. Candidates are still taken
// in the same order, so the first full match found is the one the plain scan
// would find.
//
// A match stands on whole characters: it neither starts nor ends inside a
// double-byte character (in UTF-8, inside a valid sequence), and a letter
// that is a double-byte character's second byte keeps its case. A line end in the pattern matches any line end of the text,
// so it takes the filler that a CR LF left behind the text's with it.
#include "files/text_search.h"

#include <bit>
#include <cstring>

#include "editor/cells.h"
#include "editor/sjis.h"

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
  bool utf8;        // characters are UTF-8 sequences, not lead and trail bytes
  size_t fixed;     // the bytes up to the first line end, which stand at fixed offsets
  size_t text_len;  // the bytes a match may read
  Probe rare;       // the rarest byte
  Probe second;     // the next rarest at another offset (the same one when fixed is 1)
};

// A run of lead-byte values [from, to) whose first byte starts a character:
// what a scan knows of the character boundaries near its candidates.
struct LeadRun {
  size_t from = 0, to = 0;
};

// A scan's knowledge of the boundaries, and the end of the match it found.
struct Scan {
  LeadRun run;
  size_t end = 0;
  bool utf8 = false;    // the text's characters are UTF-8 sequences
  size_t text_len = 0;  // the bytes a boundary check may read
};

// Whether pattern byte i is the second byte of one of the pattern's
// double-byte characters.
bool pattern_trail(const uint8_t* pattern, size_t n, size_t i) {
  bool trail = false;
  for (size_t k = 0; k < i; ++k) trail = !trail && is_lead_byte(pattern[k]) && k + 1 < n && !is_line_end(pattern[k + 1]);
  return trail;
}

// The probe for pattern byte i.
Probe probe_at(const uint8_t* pattern, size_t n, size_t i, bool fold, bool utf8) {
  const uint8_t mask = fold && is_letter(pattern[i]) && (utf8 || !pattern_trail(pattern, n, i)) ? CASE_BIT : 0;
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

// The pattern with its two probes chosen among the bytes at fixed offsets.
Needle make_needle(const uint8_t* pattern, size_t n, bool fold, bool utf8, size_t text_len) {
  const void* line_end = std::memchr(pattern, LINE_END, n);
  const size_t fixed = line_end == nullptr ? n : static_cast<size_t>(static_cast<const uint8_t*>(line_end) - pattern) + 1;
  const size_t rare = rarest_offset(pattern, fixed, fold, fixed);
  const size_t second = rarest_offset(pattern, fixed, fold, rare);
  return Needle{pattern, n, fold, utf8, fixed, text_len, probe_at(pattern, n, rare, fold, utf8),
                probe_at(pattern, n, second, fold, utf8)};
}

// Whether candidate p passes the probe.
bool probe_hits(const uint8_t* text, size_t p, const Probe& probe) {
  return (text[p + probe.offset] | probe.or_mask) == probe.want;
}

// The first byte at or after t that is not filler, no further than `end`.
size_t past_filler(const uint8_t* text, size_t t, size_t end) {
  while (t < end && text[t] == FILLER) ++t;
  return t;
}

// Compares the pattern from byte i, which starts a character, with the text
// from t on. Returns the end of the match, or 0.
size_t compare_from(const uint8_t* text, size_t t, size_t i, const Needle& nd) {
  bool trail = false;
  for (; i < nd.n; ++i) {
    if (t >= nd.text_len) return 0;
    const uint8_t p = nd.bytes[i];
    if (!bytes_match(text[t++], p, nd.fold && !trail)) return 0;
    trail = !nd.utf8 && !trail && is_lead_byte(p) && i + 1 < nd.n && !is_line_end(nd.bytes[i + 1]);
    if (p == LINE_END) t = past_filler(text, t, nd.text_len);
  }
  return t;
}

// The end of the pattern's match at candidate p, or 0; the probes go first,
// as they fail most often.
size_t match_end(const uint8_t* text, size_t p, const Needle& nd) {
  if (!probe_hits(text, p, nd.rare) || !probe_hits(text, p, nd.second)) return 0;
  if (nd.fold) return compare_from(text, p, 0, nd);
  if (std::memcmp(text + p, nd.bytes, nd.fixed) != 0) return 0;
  if (nd.bytes[nd.fixed - 1] != LINE_END) return p + nd.n;  // no line end: all of it was fixed
  return compare_from(text, past_filler(text, p + nd.fixed, nd.text_len), nd.fixed, nd);
}

// Whether p starts a character, as the drawing pairs the bytes from the
// line's start. A byte that is no lead byte ends a character (a line end,
// filler, a single byte or a second byte), so the parity of the lead-byte
// values just before p decides; the run keeps what was learnt, so that
// neighbouring candidates never count the same bytes again.
bool starts_character(const uint8_t* text, size_t p, LeadRun& run) {
  if (is_line_end(text[p])) return true;  // a lead byte before it stands alone
  if (p > run.to) {
    size_t r = p;
    while (r > run.to && is_lead_byte(text[r - 1])) --r;
    if (r == run.to) run.to = p;  // the known run goes on up to p
    else run = LeadRun{r, p};
  } else if (p < run.from) {
    size_t r = p;
    while (r > 0 && is_lead_byte(text[r - 1])) --r;
    run = LeadRun{r, p};
  }
  return ((p - run.from) & 1) == 0;
}

// Whether [p, end), which starts a character, ends with one.
bool ends_character(const uint8_t* text, size_t p, size_t end, size_t text_len) {
  while (p < end) p += is_lead_byte(text[p]) && p + 1 < text_len && !is_line_end(text[p + 1]) ? 2 : 1;
  return p == end;
}

// Whether byte p (below text_len) continues a valid UTF-8 sequence that
// starts before it; any other byte starts a cell of its own.
bool inside_utf8(const uint8_t* text, size_t p, size_t text_len) {
  for (size_t k = 1; k <= 3 && k <= p && (text[p - k + 1] & 0xC0) == 0x80; ++k) {
    const uint8_t lead = text[p - k];
    if ((lead & 0xC0) == 0x80) continue;
    return decode_utf8(text + p - k, text + text_len).bytes > k;
  }
  return false;
}

// Whether p starts a character, by the scan's encoding.
bool starts_at(const uint8_t* text, size_t p, Scan& scan) {
  if (scan.utf8) return !inside_utf8(text, p, scan.text_len);
  return starts_character(text, p, scan.run);
}

// Whether [p, end), which starts a character, ends with one.
bool ends_at(const uint8_t* text, size_t p, size_t end, const Scan& scan) {
  if (scan.utf8) return end >= scan.text_len || !inside_utf8(text, end, scan.text_len);
  return ends_character(text, p, end, scan.text_len);
}

// Whether the pattern matches at candidate p on whole characters; the end
// of the match goes into the scan.
bool matches_at(const uint8_t* text, size_t p, const Needle& nd, Scan& scan) {
  const size_t end = match_end(text, p, nd);
  if (end == 0 || !starts_at(text, p, scan) || !ends_at(text, p, end, scan)) return false;
  scan.end = end;
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
int64_t wide_forward(const uint8_t* text, size_t& p, size_t end, const Needle& nd, Scan& scan) {
  const WideProbe a = widen(nd.rare), b = widen(nd.second);
  for (; end - p >= 16; p += 16) {
    for (uint32_t hits = block_hits(text + p, a, b); hits != 0; hits &= hits - 1) {
      const size_t at = p + static_cast<size_t>(std::countr_zero(hits));
      if (matches_at(text, at, nd, scan)) return static_cast<int64_t>(at);
    }
  }
  return -1;
}

// Tries whole blocks of 16 candidates below p downwards, leaving p just above
// the last candidate not tried.
int64_t wide_backward(const uint8_t* text, size_t& p, const Needle& nd, Scan& scan) {
  const WideProbe a = widen(nd.rare), b = widen(nd.second);
  for (; p >= 16; p -= 16) {
    const size_t base = p - 16;
    for (uint32_t hits = block_hits(text + base, a, b); hits != 0;) {
      const int j = 31 - std::countl_zero(hits);
      const size_t at = base + static_cast<size_t>(j);
      if (matches_at(text, at, nd, scan)) return static_cast<int64_t>(at);
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
int64_t scan_forward(const uint8_t* text, size_t p, size_t end, const Needle& nd, bool wide, Scan& scan) {
#ifdef VUSK_SEARCH_SSE2
  if (wide) {
    if (const int64_t found = wide_forward(text, p, end, nd, scan); found >= 0) return found;
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
    if (matches_at(text, at - off, nd, scan)) return static_cast<int64_t>(at - off);
    if (at == next_one) next_one = next_byte(text, at + 1, stop, one);
    if (at == next_other) next_other = next_byte(text, at + 1, stop, other);
  }
}

// Candidates [0, top) from the highest down, for a pattern of at least one
// byte.
int64_t scan_backward(const uint8_t* text, size_t top, const Needle& nd, bool wide, Scan& scan) {
#ifdef VUSK_SEARCH_SSE2
  if (wide) {
    if (const int64_t found = wide_backward(text, top, nd, scan); found >= 0) return found;
  }
#else
  (void)wide;
#endif
  while (top > 0) {
    --top;
    if (matches_at(text, top, nd, scan)) return static_cast<int64_t>(top);
  }
  return -1;
}

// An empty pattern matches at the first candidate that is neither skipped
// nor inside a character.
int64_t first_unskipped(const uint8_t* text, size_t p, size_t end, Scan& scan) {
  for (; p < end; ++p) {
    if (!is_skipped(text[p]) && starts_at(text, p, scan)) return static_cast<int64_t>(p);
  }
  return -1;
}

// The same below `top`, the highest first.
int64_t last_unskipped(const uint8_t* text, size_t top, Scan& scan) {
  while (top > 0) {
    --top;
    if (!is_skipped(text[top]) && starts_at(text, top, scan)) return static_cast<int64_t>(top);
  }
  return -1;
}

// The empty pattern's search: a match of no bytes.
int64_t search_empty(const uint8_t* text, size_t start, size_t limit, bool backwards, Scan& scan) {
  const int64_t at = backwards ? last_unskipped(text, start < limit ? start : limit, scan)
                               : first_unskipped(text, start, limit, scan);
  scan.end = at < 0 ? 0 : static_cast<size_t>(at);
  return at;
}

// find_match, with or without the SSE2 prefilter.
int64_t search_range(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                     const uint8_t* pattern, size_t n, bool fold, bool wide, Scan& scan) {
  if (n > text_len) return -1;  // the limit lies before the text: no candidates
  const size_t limit = text_len - n;
  // Clamped into [0, text_len] first, so that no start can wrap a size_t.
  const size_t start = from < 0 ? 0
                       : static_cast<uint64_t>(from) > text_len ? text_len
                                                                : static_cast<size_t>(from);
  if (n == 0) return search_empty(text, start, limit, backwards, scan);
  // A candidate that matches the first byte stands on neither filler nor a
  // line end, unless the pattern starts with one; then nothing can match.
  if (is_skipped(pattern[0])) return -1;
  const Needle nd = make_needle(pattern, n, fold, scan.utf8, text_len);
  if (backwards) return scan_backward(text, start < limit ? start : limit, nd, wide, scan);
  return start < limit ? scan_forward(text, start, limit, nd, wide, scan) : -1;
}

// The search's result, with the match's length when it is wanted.
int64_t search_and_measure(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                           const uint8_t* pattern, size_t n, bool fold, bool wide, size_t* length, bool utf8) {
  Scan scan;
  scan.utf8 = utf8;
  scan.text_len = text_len;
  const int64_t at = search_range(text, text_len, from, backwards, pattern, n, fold, wide, scan);
  if (at >= 0 && length != nullptr) *length = scan.end - static_cast<size_t>(at);
  return at;
}

}  // namespace

bool bytes_match(uint8_t t, uint8_t p, bool fold) {
  if (t == p) return true;
  const uint8_t folded = t & static_cast<uint8_t>(~CASE_BIT);
  return fold && folded == (p & static_cast<uint8_t>(~CASE_BIT)) && folded >= 'A' && folded <= 'Z';
}

int64_t find_match(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                   const uint8_t* pattern, size_t n, bool fold, size_t* length, bool utf8) {
  return search_and_measure(text, text_len, from, backwards, pattern, n, fold, true, length, utf8);
}

int64_t find_match_portable(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                            const uint8_t* pattern, size_t n, bool fold, size_t* length, bool utf8) {
  return search_and_measure(text, text_len, from, backwards, pattern, n, fold, false, length, utf8);
}

}  // namespace vusk
