// Replace and Replace All. The new text of Replace All, from the first match
// to the end of the last, is written once: in place when the text only
// shrinks at the matches, else into a block of its own that goes in through
// the Document's replace_text. Either way the rest of the text moves once,
// the LineTable is re-indexed once, and the history holds one change.
#include "files/replace.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "editor/document.h"
#include "editor/modified.h"
#include "editor/undo.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/text_replace.h"
#include "files/text_search.h"
#include "files/transfer.h"
#include "platform/platform.h"

namespace vusk {

namespace {

// Replace All keeps the matches it found (8 bytes each) up to this many, or
// an eighth of the text's size, whichever is more; beyond, it finds them
// twice instead of holding them all.
constexpr size_t KEPT_MATCHES_AT_LEAST = size_t{1} << 16;

uint64_t count_line_feeds(const uint8_t* bytes, size_t count) {
  return static_cast<uint64_t>(std::count(bytes, bytes + count, LINE_FEED));
}

// Whether the Document can take `removed` bytes standing where `inserted`
// bytes holding `line_breaks` line breaks now go.
bool can_take(uint64_t removed, uint64_t inserted, uint64_t line_breaks) {
  doc.pad_spaces = doc.pad_newlines = 0;  // the growth is the text's alone
  return document_can_take(inserted > removed ? inserted - removed : 0, line_breaks);
}

uint32_t offset_in_text(const uint8_t* p) { return static_cast<uint32_t>(p - doc.text_buffer); }

// Whether no match is shorter than the replacement: the text then only
// shrinks or keeps its size at every match.
bool only_shrinks(const std::vector<TextMatch>& matches, size_t count) {
  return std::all_of(matches.begin(), matches.end(), [count](const TextMatch& m) { return m.length >= count; });
}

// Rewrites [from, to) in the text block itself, the rest of the text moved
// down behind it: no block of its own, and each byte moved once.
void rewrite_in_place(size_t from, size_t to, const std::vector<TextMatch>& matches, const uint8_t* bytes,
                      size_t count, uint64_t size) {
  struct Rewrite {
    size_t from, to;
    const std::vector<TextMatch>& matches;
    const uint8_t* bytes;
    size_t count;
  } rewrite{from, to, matches, bytes, count};
  shrink_text_in_place(static_cast<uint32_t>(from), static_cast<uint32_t>(to - from), static_cast<uint32_t>(size),
                       [](uint8_t* at, void* context) {
                         const auto& r = *static_cast<const Rewrite*>(context);
                         write_replaced(doc.text_buffer, r.from, r.to, r.matches, r.bytes, r.count, at);
                       },
                       &rewrite);
}

// Writes [from, to) anew into a block of its own, then puts it in place of
// the old bytes in one move of the text.
bool rewrite_through_block(size_t from, size_t to, const std::vector<TextMatch>& matches, const uint8_t* bytes,
                           size_t count, uint64_t size) {
  // An empty block still needs an address to be handed on.
  auto* block = static_cast<uint8_t*>(obtain_file_block(static_cast<size_t>(std::max<uint64_t>(size, 1))));
  if (block == nullptr) return false;
  write_replaced(doc.text_buffer, from, to, matches, bytes, count, block);
  replace_text(static_cast<uint32_t>(from), static_cast<uint32_t>(to - from), block, static_cast<uint32_t>(size),
               static_cast<uint32_t>(size));
  free_block(block);
  return true;
}

// Replace All where the matches are too many to be kept: measured in one
// pass, found again in a second that writes the new text into a block.
int64_t replace_unkept_matches(const SearchPattern& pattern, const uint8_t* bytes, size_t count) {
  const MatchSpan span = measure_matches(doc.text_buffer, doc.text_length, pattern.bytes, pattern.n, pattern.fold, pattern.utf8, count);
  if (!can_take(span.to - span.from, span.size, count_line_feeds(bytes, count) * span.count)) return -1;
  auto* block = static_cast<uint8_t*>(obtain_file_block(static_cast<size_t>(std::max<uint64_t>(span.size, 1))));
  if (block == nullptr) return -1;
  write_matches_replaced(doc.text_buffer, doc.text_length, pattern.bytes, pattern.n, pattern.fold, pattern.utf8, span, bytes, count,
                         block);
  const auto size = static_cast<uint32_t>(span.size);
  replace_text(static_cast<uint32_t>(span.from), static_cast<uint32_t>(span.to - span.from), block, size, size);
  free_block(block);
  return static_cast<int64_t>(span.count);
}

}  // namespace

bool selection_is_match(const SearchPattern& pattern) {
  if (view.sel_start == view.sel_end || pattern.n == 0) return false;
  const uint32_t at = offset_in_text(view.sel_start);
  size_t length = 0;
  const int64_t found =
      find_match(doc.text_buffer, doc.text_length, at, false, pattern.bytes, pattern.n, pattern.fold, &length,
                 pattern.utf8);
  return found == at && length == static_cast<size_t>(view.sel_end - view.sel_start);
}

bool replace_selection(const uint8_t* bytes, size_t count, uint32_t* after) {
  const uint32_t at = offset_in_text(view.sel_start);
  const auto removed = static_cast<uint32_t>(view.sel_end - view.sel_start);
  if (!can_take(removed, count, count_line_feeds(bytes, count))) return false;
  replace_text(at, removed, bytes, static_cast<uint32_t>(count), static_cast<uint32_t>(count));
  *after = at + static_cast<uint32_t>(count);
  return true;
}

int64_t replace_all_matches(const SearchPattern& pattern, const uint8_t* bytes, size_t count) {
  // The matches kept take at most an eighth of the text's size in memory.
  const size_t kept = std::max<size_t>(KEPT_MATCHES_AT_LEAST, doc.text_length / (8 * sizeof(TextMatch)));
  bool complete = false;
  const std::vector<TextMatch> matches =
      find_all_matches(doc.text_buffer, doc.text_length, pattern.bytes, pattern.n, pattern.fold, pattern.utf8, kept, &complete);
  if (matches.empty()) return 0;
  if (!complete) return replace_unkept_matches(pattern, bytes, count);
  const size_t from = matches.front().at;
  const size_t to = size_t{matches.back().at} + matches.back().length;
  const uint64_t size = replaced_size(from, to, matches, count);
  const uint64_t line_breaks = count_line_feeds(bytes, count) * matches.size();
  if (!can_take(to - from, size, line_breaks)) return -1;
  if (only_shrinks(matches, count)) {
    rewrite_in_place(from, to, matches, bytes, count, size);
  } else if (!rewrite_through_block(from, to, matches, bytes, count, size)) {
    return -1;
  }
  return static_cast<int64_t>(matches.size());
}

}  // namespace vusk
