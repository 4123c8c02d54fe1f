// Replacing every match: one search pass collects the matches, then the new
// text is written piece by piece, so nothing is moved once per match.
#include "files/text_replace.h"

#include <cstring>

#include "files/text_search.h"

namespace vusk {

std::vector<TextMatch> find_all_matches(const uint8_t* text, size_t text_len, const uint8_t* pattern, size_t n,
                                        bool fold) {
  std::vector<TextMatch> matches;
  if (n == 0) return matches;
  int64_t from = 0;
  for (;;) {
    size_t length = 0;
    const int64_t at = find_match(text, text_len, from, false, pattern, n, fold, &length);
    if (at < 0) break;
    matches.push_back(TextMatch{static_cast<uint32_t>(at), static_cast<uint32_t>(length)});
    from = at + static_cast<int64_t>(length);  // a match covers at least one byte
  }
  return matches;
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
