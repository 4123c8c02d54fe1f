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
// from the start, as F3 would find them one after the other: each search
// goes on where the last match ended, so matches never overlap. An empty
// pattern has none (it would match between every two characters).
std::vector<TextMatch> find_all_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n,
                                        bool fold);

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
