// Replacing every match: one search pass collects the matches, then the new
// text is written piece by piece, so nothing is moved once per match. Where
// the matches are too many to be kept, one pass measures them and a second
// finds them again as it writes.
#include "files/text_replace.h"

#include <cstring>

#include "files/text_search.h"

namespace vusk {

namespace {

// The next match at or after `from`, as F3 finds it; false when there is none.
bool next_match(const uint8_t* text, size_t text_len, size_t from, const uint8_t* pattern, size_t n, bool fold,
                bool utf8, TextMatch* match) {
  size_t length = 0;
  const int64_t at = find_match(text, text_len, static_cast<int64_t>(from), false, pattern, n, fold, &length, utf8);
  if (at < 0) return false;
  *match = TextMatch{static_cast<uint32_t>(at), static_cast<uint32_t>(length)};
  return true;
}

// Copies n bytes to `out` and returns the end; nothing for none (`out` may
// then be a block of no bytes).
uint8_t* put(uint8_t* out, const uint8_t* bytes, size_t n) {
  if (n != 0) std::memcpy(out, bytes, n);
  return out + n;
}

// Where the search goes on after `m`: a match covers at least one byte.
size_t past(const TextMatch& m) { return size_t{m.at} + m.length; }

}  // namespace

std::vector<TextMatch> find_all_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n,
                                        bool fold, bool utf8, size_t limit, bool* complete) {
  std::vector<TextMatch> matches;
  TextMatch m{};
  bool found = n != 0 && next_match(text, text_len, 0, pattern, n, fold, utf8, &m);
  while (found && matches.size() < limit) {
    matches.push_back(m);
    found = next_match(text, text_len, past(m), pattern, n, fold, utf8, &m);
  }
  if (complete != nullptr) *complete = !found;
  return matches;
}

MatchSpan measure_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n, bool fold,
                          bool utf8, size_t replacement_len) {
  MatchSpan span{};
  uint64_t removed = 0;
  TextMatch m{};
  for (size_t from = 0; n != 0 && next_match(text, text_len, from, pattern, n, fold, utf8, &m); from = past(m)) {
    if (span.count++ == 0) span.from = m.at;
    span.to = past(m);
    removed += m.length;
  }
  span.size = span.to - span.from - removed + span.count * replacement_len;
  return span;
}

void write_matches_replaced(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n, bool fold,
                            bool utf8, const MatchSpan& span, const uint8_t* replacement, size_t replacement_len, uint8_t* out) {
  size_t copied = span.from;
  TextMatch m{};
  for (uint64_t k = 0; k < span.count && next_match(text, text_len, copied, pattern, n, fold, utf8, &m); ++k) {
    out = put(out, text + copied, m.at - copied);
    out = put(out, replacement, replacement_len);
    copied = past(m);
  }
  put(out, text + copied, span.to - copied);
}

uint64_t replaced_size(size_t from, size_t to, const std::vector<TextMatch>& matches, size_t replacement_len) {
  uint64_t size = to - from;
  for (const TextMatch& m : matches) size = size - m.length + replacement_len;
  return size;
}

void write_replaced(const uint8_t* text, size_t from, size_t to, const std::vector<TextMatch>& matches,
                    const uint8_t* replacement, size_t replacement_len, uint8_t* out) {
  size_t copied = from;
  for (const TextMatch& m : matches) {
    const size_t kept = m.at - copied;
    std::memmove(out, text + copied, kept);
    out += kept;
    if (replacement_len != 0) std::memcpy(out, replacement, replacement_len);
    out += replacement_len;
    copied = m.at + m.length;
  }
  std::memmove(out, text + copied, to - copied);
}

}  // namespace vusk
