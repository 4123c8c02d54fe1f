// The LineTable: the full re-index, the re-index after a splice that costs
// what the splice changed, and the storage behind them.
//
// Entries are kept in one block whose free entries form a gap at the last
// edit, so that a new line break or a join inserts or removes an entry
// without moving the rest; and the entries behind an edit are shifted by
// one pending step that is applied only as far as later edits need, so
// that a tail move costs no pass over the table.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "editor/document.h"
#include "editor/line_table.h"
#include "platform/platform.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace vusk {

namespace {

uint8_t* text_end() { return doc.text_buffer + doc.text_length; }
uint32_t offset_of(const uint8_t* p) { return static_cast<uint32_t>(p - doc.text_buffer); }
uint32_t table_slots() { return doc.line_table_capacity / ENTRY_BYTES; }

// Replaces the LineTable by a block of `bytes`, keeping its first `keep`
// stored entries; the old block is freed.
void replace_line_table(uint32_t bytes, uint32_t keep) {
  auto* table = static_cast<uint32_t*>(alloc_or_exit(bytes));
  if (keep != 0) std::memcpy(table, doc.line_table, keep * size_t{ENTRY_BYTES});
  free_block(doc.line_table);
  doc.line_table = table;
  doc.line_table_capacity = bytes;
}

// Adds `amount` to the stored entries [from, to), on both sides of the gap.
void add_to_stored(uint32_t from, uint32_t to, uint32_t amount) {
  to = std::min(to, doc.table_entries);
  for (uint32_t k = from; k < std::min(to, doc.gap_at); ++k) doc.line_table[k] += amount;
  for (uint32_t k = std::max(from, doc.gap_at); k < to; ++k) doc.line_table[k + doc.gap_entries] += amount;
}

// Moves the gap so that it opens in front of entry `to`.
void move_gap(uint32_t to) {
  uint32_t* t = doc.line_table;
  const uint32_t gap = doc.gap_entries;
  if (to < doc.gap_at) {
    std::memmove(t + to + gap, t + to, size_t{doc.gap_at - to} * ENTRY_BYTES);
  } else if (to > doc.gap_at) {
    std::memmove(t + doc.gap_at, t + doc.gap_at + gap, size_t{to - doc.gap_at} * ENTRY_BYTES);
  }
  doc.gap_at = to;
}

// Makes the gap at least `needed` entries wide, in a new block sized as a
// rebuild would size it for the entries that will then be held.
void widen_gap(uint32_t needed) {
  if (doc.gap_entries >= needed) return;
  const uint64_t entries = uint64_t{doc.table_entries} + needed;
  const uint32_t bytes = document_block_size((entries - 2) * ENTRY_BYTES + INITIAL_LINE_TABLE_BYTES);
  auto* table = static_cast<uint32_t*>(alloc_or_exit(bytes));
  const uint32_t slots = bytes / ENTRY_BYTES;
  const uint32_t behind = doc.table_entries - doc.gap_at;
  std::memcpy(table, doc.line_table, size_t{doc.gap_at} * ENTRY_BYTES);
  std::memcpy(table + slots - behind, doc.line_table + doc.gap_at + doc.gap_entries, size_t{behind} * ENTRY_BYTES);
  free_block(doc.line_table);
  doc.line_table = table;
  doc.line_table_capacity = bytes;
  doc.gap_entries = slots - doc.table_entries;
}

// Inserts `count` entries with the given values at index `at`.
void insert_entries(uint32_t at, const uint32_t* values, uint32_t count) {
  if (count == 0) return;
  widen_gap(count);
  move_gap(at);
  // Entries at or behind the step are stored without it.
  const uint32_t bias = at >= doc.step_from ? doc.step_delta : 0;
  for (uint32_t i = 0; i < count; ++i) doc.line_table[at + i] = values[i] - bias;
  doc.gap_at += count;
  doc.gap_entries -= count;
  doc.table_entries += count;
  if (doc.step_from > at) doc.step_from += count;
}

// Adds `amount` to every entry from index `from` on. The pending step moves
// there: the entries between its old and new place are settled on the way.
void shift_entries(uint32_t from, uint32_t amount) {
  if (amount == 0) return;
  if (doc.step_delta != 0) {
    if (from >= doc.step_from) add_to_stored(doc.step_from, from, doc.step_delta);
    else add_to_stored(from, doc.step_from, 0u - doc.step_delta);
  }
  doc.step_from = from;
  doc.step_delta += amount;
}

// Stores every entry in order from the block's start, with no step.
void make_table_plain() {
  if (doc.step_delta != 0) add_to_stored(doc.step_from, doc.table_entries, doc.step_delta);
  doc.step_delta = 0;
  move_gap(doc.table_entries);
}

}  // namespace

uint32_t document_block_size(uint64_t bytes) {
  if (bytes > UINT32_MAX) exit_process(1);
  return static_cast<uint32_t>(bytes);
}

void set_plain_table(uint32_t entries) {
  doc.table_entries = entries;
  doc.gap_at = entries;
  doc.gap_entries = table_slots() > entries ? table_slots() - entries : 0;
  doc.step_from = entries;
  doc.step_delta = 0;
}

void set_entry(uint32_t k, uint32_t value) {
  doc.line_table[k < doc.gap_at ? k : k + doc.gap_entries] = value - (k >= doc.step_from ? doc.step_delta : 0);
}

void remove_entries(uint32_t at, uint32_t count) {
  if (count == 0) return;
  move_gap(at);
  doc.gap_entries += count;
  doc.table_entries -= count;
  if (doc.step_from >= at + count) doc.step_from -= count;
  else if (doc.step_from > at) doc.step_from = at;
}

namespace {

// The last line among 0..last whose entry is not beyond `offset`.
uint32_t line_at_offset(uint64_t offset, uint32_t last) {
  uint32_t low = 0, high = last;  // entry(low) <= offset always holds
  while (low < high) {
    const uint32_t mid = low + (high - low + 1) / 2;
    if (line_entry(mid) <= offset) low = mid;
    else high = mid - 1;
  }
  return low;
}

}  // namespace

// The line holding p: the first i whose successor entry lies beyond p,
// last_line at the latest; filler counts with the line before it.
uint32_t line_of_pointer(const uint8_t* p) {
  const auto base = reinterpret_cast<uintptr_t>(doc.text_buffer);
  const auto at = reinterpret_cast<uintptr_t>(p);
  if (at < base) return 0;
  return line_at_offset(at - base, doc.last_line);
}

namespace {

// Stores the start of line `line`, found at p, in a plain table. Entries are
// written up to index line + 1; should a caller's bound have been too low,
// the table grows here rather than being written past its end.
void record_line(uint32_t line, const uint8_t* p) {
  if (line + 1 >= table_slots()) {
    replace_line_table(document_block_size(uint64_t{line} * ENTRY_BYTES + INITIAL_LINE_TABLE_BYTES), line);
  }
  doc.line_table[line] = offset_of(p);
}

// Records the line after the 0x0A at `line_feed` (its filler skipped) as
// line `line` and returns its start.
uint8_t* next_line(uint8_t* line_feed, uint32_t line) {
  uint8_t* start = skip_filler(line_feed + 1, text_end());
  record_line(line, start);
  return start;
}

// Indexes the lines that follow line `line`, which starts at p, up to the
// first 0x0D; returns the last line's index and leaves the 0x0D's address in
// *marker. Scans 16 bytes at a time for both bytes where SSE2 exists, so
// that a long text is read once; the rest goes through memchr.
uint32_t index_lines(uint8_t* p, uint32_t line, uint8_t** marker) {
  uint8_t* end = text_end();
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i line_feeds = _mm_set1_epi8(static_cast<char>(LINE_FEED));
  const __m128i end_markers = _mm_set1_epi8(static_cast<char>(END_MARKER));
  const __m128i zeros = _mm_setzero_si128();
  while (end - p >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    auto feeds = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, line_feeds)));
    const auto markers = static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, end_markers)));
    if (markers != 0) feeds &= (markers & (0u - markers)) - 1;  // only those before the 0x0D
    if (feeds != 0) {
      const uint32_t nonzero = ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, zeros))) & 0xFFFFu;
      uint8_t* resume = nullptr;  // set when filler runs on past this block
      for (; feeds != 0; feeds &= feeds - 1) {
        // The next line starts at the first non-zero byte after the 0x0A;
        // any further 0x0A of the block lies beyond it.
        const uint32_t after = nonzero & (0xFFFFu << (std::countr_zero(feeds) + 1));
        if (after == 0) {
          resume = skip_filler(p + 16, end);
          record_line(++line, resume);
          break;
        }
        record_line(++line, p + std::countr_zero(after));
      }
      if (resume != nullptr) {  // then no 0x0D was in this block
        p = resume;
        continue;
      }
    }
    if (markers != 0) {
      *marker = p + std::countr_zero(markers);
      return line;
    }
    p += 16;
  }
#endif
  uint8_t* found = find_byte(p, end, END_MARKER);
  *marker = found != nullptr ? found : end - 1;  // no marker: only a broken text
  while (uint8_t* line_feed = find_byte(p, *marker, LINE_FEED)) p = next_line(line_feed, ++line);
  return line;
}

}  // namespace

// Re-indexes the lines from from_line (at least 0) to the end marker and sets
// last_line. last_line must be an upper bound for the line count on entry;
// it decides whether the LineTable grows first.
void rebuild_line_table(int32_t from_line) {
  uint32_t line = from_line < 0 ? 0 : static_cast<uint32_t>(from_line);
  if (line > doc.last_line) return;
  make_table_plain();
  // Only the entries held are known; a raised bound adds none.
  if (doc.table_entries >= 2) line = std::min(line, doc.table_entries - 2);
  if ((uint64_t{doc.last_line} + 1) * ENTRY_BYTES >= doc.line_table_capacity) {
    const uint64_t bytes = uint64_t{doc.last_line} * ENTRY_BYTES + INITIAL_LINE_TABLE_BYTES;
    replace_line_table(document_block_size(bytes), 0);
    line = 0;
  }
  doc.line_table[0] = 0;
  uint8_t* p = doc.text_buffer + doc.line_table[line];
  // The edit may have left 0x00 bytes at the start of this line; directly
  // behind a line break they are filler, so the line starts after them.
  if (line > 0) {
    p = skip_filler(p, text_end());
    doc.line_table[line] = offset_of(p);
  }
  uint8_t* marker = nullptr;
  line = index_lines(p, line, &marker);
  doc.line_table[line + 1] = offset_of(marker) + 1;
  doc.last_line = line;
  set_plain_table(line + 2);
}

// ---- Re-indexing after a splice -------------------------------------------

namespace {

// First 0x0A or 0x0D at or after p, or `end`.
uint8_t* find_line_end(uint8_t* p, const uint8_t* end) {
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i line_feeds = _mm_set1_epi8(static_cast<char>(LINE_FEED));
  const __m128i end_markers = _mm_set1_epi8(static_cast<char>(END_MARKER));
  for (; end - p >= 16; p += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(block, line_feeds), _mm_cmpeq_epi8(block, end_markers));
    if (const auto mask = static_cast<uint32_t>(_mm_movemask_epi8(hits))) return p + std::countr_zero(mask);
  }
#endif
  while (p < end && *p != LINE_FEED && *p != END_MARKER) ++p;
  return const_cast<uint8_t*>(p);
}

// The re-read of the lines a splice touched: the new line starts found, and
// the old entries that they are compared with to find where the old index
// holds again.
struct Reread {
  uint32_t changed_end;  // end of the inserted bytes: beyond it the text is the old one, moved
  int64_t delta;         // how far the bytes behind the splice moved
  uint32_t old_last;     // the old last line
  uint32_t kept;         // the first old entry still valid (moved), once found
  std::vector<uint32_t> starts;
};

// Whether the line start s lies where an old line start now stands: from
// there on the text is the old text moved, and so are the old entries.
bool meets_old_entry(Reread& r, uint32_t s) {
  if (s < r.changed_end) return false;
  while (r.kept <= r.old_last && int64_t{line_entry(r.kept)} + r.delta < s) ++r.kept;
  return r.kept <= r.old_last && int64_t{line_entry(r.kept)} + r.delta == s;
}

// Reads lines on from the terminator at t until a line start meets an old
// entry, or up to the end marker, whose entry then closes the new ones.
void reread_from(Reread& r, uint8_t* t) {
  uint8_t* end = text_end();
  for (;;) {
    if (t >= end || *t != LINE_FEED) {
      const uint8_t* marker = t < end ? t : end - 1;  // no marker: only a broken text
      r.starts.push_back(offset_of(marker) + 1);
      r.kept = r.old_last + 2;  // the old entries all go, the last one included
      return;
    }
    uint8_t* start = skip_filler(t + 1, end);
    if (meets_old_entry(r, offset_of(start))) return;
    r.starts.push_back(offset_of(start));
    t = find_line_end(start, end);
  }
}

}  // namespace

void reindex_after_splice(uint32_t offset, uint32_t removed, uint32_t inserted) {
  Reread r{offset + inserted, int64_t{inserted} - removed, doc.table_entries - 2, 0, {}};
  uint32_t line = line_at_offset(offset, r.old_last);
  uint32_t first;  // the first entry re-read
  uint8_t* terminator;
  if (line > 0 && line_entry(line) == offset) {
    // The change begins at a line's start: which bytes open the line depends
    // on the line break before it, so the re-read starts there.
    first = line;
    terminator = doc.text_buffer + offset - 1;
    while (*terminator == 0) --terminator;
  } else {
    first = line + 1;
    terminator = find_line_end(line_start(line), text_end());
  }
  r.kept = first;
  reread_from(r, terminator);
  const auto found = static_cast<uint32_t>(r.starts.size());
  const bool reached_end = r.kept > r.old_last + 1;
  remove_entries(first, (reached_end ? r.old_last + 2 : r.kept) - first);
  insert_entries(first, r.starts.data(), found);
  if (!reached_end) shift_entries(first + found, static_cast<uint32_t>(r.delta));
  doc.last_line = doc.table_entries - 2;
}

}  // namespace vusk
