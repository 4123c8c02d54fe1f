// Replacing every match of the find bar's pattern in a range of text bytes:
// the matches found in one forward pass, the size of the text they leave,
// and that text written in one copy. Pure, like text_search: no Document and
// no state, so it can be tested and timed on any bytes. Included by the
// replace commands (files), the tests and the benchmarks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vusk {

// One match: the bytes [at, at + length) of the text.
struct TextMatch {
  uint32_t at;
  uint32_t length;
};

// Every match of the n bytes at `pattern` in the `text_len` bytes at `text`,
// from the start, as F3 would find them one after the other (characters as
// UTF-8 sequences with `utf8`, else as Shift_JIS pairs): each search
// goes on where the last match ended, so matches never overlap. An empty
// pattern has none (it would match between every two characters). The
// search stops after `limit` matches; *complete (when given) says whether
// it ended before that, with every match found.
std::vector<TextMatch> find_all_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n,
                                        bool fold, bool utf8, size_t limit = SIZE_MAX, bool* complete = nullptr);

// The matches as find_all_matches finds them, measured in one pass that
// keeps none of them: how many, the range from the first one's start to the
// last one's end (both 0 when there is none), and that range's size once
// every match in it is replaced by `replacement_len` bytes.
struct MatchSpan {
  uint64_t count;
  size_t from, to;
  uint64_t size;
};
MatchSpan measure_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n, bool fold,
                          bool utf8, size_t replacement_len);

// Writes the measured range with every match replaced, finding the matches
// again as it goes: span.size bytes at `out`, which must not overlap the
// text, and the text must be the one measured.
void write_matches_replaced(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n, bool fold,
                            bool utf8, const MatchSpan& span, const uint8_t* replacement, size_t replacement_len, uint8_t* out);

// The bytes of the range [from, to) once every match inside it is replaced
// by `replacement_len` bytes; the matches must lie inside the range.
uint64_t replaced_size(size_t from, size_t to, const std::vector<TextMatch>& matches, size_t replacement_len);

// Writes the range [from, to) of `text` to `out` with every match replaced
// by the replacement's bytes: replaced_size bytes. Each byte is copied once.
// `out` may be text + from when the replacement is no longer than any
// match: every byte then moves down or stays, and the range is rewritten in
// place.
void write_replaced(const uint8_t* text, size_t from, size_t to, const std::vector<TextMatch>& matches,
                    const uint8_t* replacement, size_t replacement_len, uint8_t* out);

}  // namespace vusk
