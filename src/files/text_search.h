// Byte matching for the find bar: where a pattern next matches in a range of
// text bytes, forwards or backwards. Pure: no Document, no state, no
// allocation, so it can be tested and timed on any bytes. Included by the
// search command, the tests and the benchmarks.
#pragma once
#include <cstddef>
#include <cstdint>

namespace vusk {

// Whether text byte t matches pattern byte p: equal, or, with fold, the same
// ASCII letter in the other case (ESC [ never matches {: only letters fold).
bool bytes_match(uint8_t t, uint8_t p, bool fold);

// Offset of the first match of the n bytes at `pattern` in the `text_len`
// bytes at `text`, or -1; the bytes the match covers go to *length when
// `length` is not null. Every byte is read from inside the range only.
//
// Candidates are the offsets below limit = text_len - n (none when the
// pattern is longer than the text); a candidate on a NUL (filler) or '\n'
// byte is skipped, even for an empty pattern, which matches at every other
// candidate. So is one inside a double-byte character (its second byte, as
// the drawing pairs the line's bytes from its start), and a match may not
// end inside one either. A '\n' of the pattern matches a '\n' of the text
// with all the filler behind it, so that it matches after a CR LF too. A
// folded letter of the pattern that is a double-byte character's second
// byte keeps its case. Forwards, candidates are tried from `from` upwards (a
// negative `from` counts as 0); backwards, from min(from, limit) - 1 down to
// 0. The first candidate tried that matches is the result, exactly as if
// each had been compared in turn. With `utf8`, the characters are UTF-8
// sequences instead: no match starts or ends inside a valid one (any other
// byte is a character of its own), and every folded letter folds.
int64_t find_match(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                   const uint8_t* pattern, size_t n, bool fold, size_t* length = nullptr, bool utf8 = false);

// The same result without the SSE2 prefilter: what a build for a target
// without SSE2 runs (32-bit Windows). The tests hold both to the plain scan.
int64_t find_match_portable(const uint8_t* text, size_t text_len, int64_t from, bool backwards,
                            const uint8_t* pattern, size_t n, bool fold, size_t* length = nullptr,
                            bool utf8 = false);

}  // namespace vusk
