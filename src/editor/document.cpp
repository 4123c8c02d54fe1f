// The Document engine: the start-up Document, the primitives every edit is
// built from, the protocols that combine them, and the debug check.
//
// The LineTable stores offsets from text_buffer, so a reallocated text block
// leaves the entries of the lines before the cursor valid; the protocols still
// rebuild from line 0 after a reallocation, as callers expect.
#include "editor/document.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>

#include "editor/undo.h"
#include "platform/platform.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace vusk {

DocumentState doc;

namespace {

constexpr uint32_t ENTRY_BYTES = 4;

// One past the last used byte (dead bytes included).
uint8_t* text_end() { return doc.text_buffer + doc.text_length; }

// Offset of a pointer into the text block.
uint32_t offset_of(const uint8_t* p) { return static_cast<uint32_t>(p - doc.text_buffer); }

// First occurrence of `byte` in [from, limit), or null.
uint8_t* find_byte(uint8_t* from, const uint8_t* limit, uint8_t byte) {
  if (from >= limit) return nullptr;
  return static_cast<uint8_t*>(std::memchr(from, byte, static_cast<size_t>(limit - from)));
}

// First byte at or after p that is not filler, never beyond `limit`.
uint8_t* skip_filler(uint8_t* p, const uint8_t* limit) {
  while (p < limit && *p == 0) ++p;
  return p;
}

// A block size for the Document; a size that 32 bits cannot describe is
// memory the Document can never hold, so it ends the process exactly as a
// refused allocation would, instead of wrapping round to a short block.
uint32_t document_block_size(uint64_t bytes) {
  if (bytes > UINT32_MAX) exit_process(1);
  return static_cast<uint32_t>(bytes);
}

// Replaces the LineTable by a block of `bytes`, keeping its first `keep`
// entries; the old block is freed.
void replace_line_table(uint32_t bytes, uint32_t keep) {
  auto* table = static_cast<uint32_t*>(alloc_or_exit(bytes));
  if (keep != 0) std::memcpy(table, doc.line_table, keep * size_t{ENTRY_BYTES});
  free_block(doc.line_table);
  doc.line_table = table;
  doc.line_table_capacity = bytes;
}

// The terminator of line k (k <= last_line): its 0x0A, or the end marker for
// the last line. Only the end marker is a 0x0D, so one search suffices.
uint8_t* line_terminator(uint32_t k) {
  uint8_t* t = find_byte(line_start(k), text_end(), k < doc.last_line ? LINE_FEED : END_MARKER);
  return t != nullptr ? t : text_end() - 1;
}

}  // namespace

void reset_document_state() {
  reset_history_state();
  free_block(doc.text_buffer);
  free_block(doc.line_table);
  std::memset(&doc, 0, sizeof doc);
}

void adopt_text(uint8_t* block, uint32_t capacity, uint32_t length, uint32_t* line_table, uint32_t table_bytes,
                uint32_t last_line) {
  free_block(doc.text_buffer);
  free_block(doc.line_table);
  doc.text_buffer = block;
  doc.text_capacity = capacity;
  doc.text_length = length;
  doc.line_table = line_table;
  doc.line_table_capacity = table_bytes;
  doc.last_line = last_line;
  // The location record described the old block.
  doc.cursor_ptr = block;
  clear_history();
}

// Replaces whatever Document exists by one line of three spaces.
void create_empty_document() {
  free_block(doc.text_buffer);
  free_block(doc.line_table);
  doc.line_table = static_cast<uint32_t*>(alloc_or_exit(INITIAL_LINE_TABLE_BYTES));
  doc.line_table_capacity = INITIAL_LINE_TABLE_BYTES;
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(INITIAL_TEXT_BYTES));
  doc.text_capacity = INITIAL_TEXT_BYTES;
  std::memcpy(doc.text_buffer, "   \r", 4);
  doc.text_length = 4;
  doc.line_table[0] = 0;
  doc.line_table[1] = 4;  // just past the end marker, as a rebuild leaves it
  doc.last_line = 0;
  doc.cursor_ptr = doc.text_buffer;
  doc.cursor_line = doc.cursor_line_length = doc.pad_spaces = doc.pad_newlines = 0;
  clear_history();
}

void locate_line(uint32_t line, uint32_t column) {
  doc.cursor_line = line;
  doc.pad_newlines = 0;
  doc.cursor_line_length = 0;
  if (doc.cursor_line > doc.last_line) {
    // A virtual line: everything typed there goes behind the end of the text.
    doc.pad_newlines = doc.cursor_line - doc.last_line;
    doc.cursor_ptr = line_terminator(doc.last_line);
    doc.pad_spaces = column;
    return;
  }
  uint8_t* start = line_start(doc.cursor_line);
  const uint32_t length = static_cast<uint32_t>(line_terminator(doc.cursor_line) - start);
  const uint32_t reached = std::min(column, length);
  doc.cursor_ptr = start + reached;
  doc.pad_spaces = column - reached;
  doc.cursor_line_length = length;
}

// The line holding p: the first i whose successor entry lies beyond p,
// last_line at the latest; filler counts with the line before it.
uint32_t line_of_pointer(const uint8_t* p) {
  const auto base = reinterpret_cast<uintptr_t>(doc.text_buffer);
  const auto at = reinterpret_cast<uintptr_t>(p);
  if (at < base) return 0;
  const uint64_t offset = at - base;
  // Entries 1..last_line are strictly increasing: count those not beyond p.
  const uint32_t* first = doc.line_table + 1;
  const uint32_t* found = std::upper_bound(first, first + doc.last_line, offset,
                                           [](uint64_t v, uint32_t entry) { return v < entry; });
  return static_cast<uint32_t>(found - first);
}

// Opens a gap of n bytes at cursor_ptr (whose record must be fresh) and
// returns the first line whose LineTable entry may be stale: cursor_line, or
// 0 when the text block was replaced.
int32_t make_room(uint32_t n) {
  if (doc.cursor_line < doc.last_line) {
    // In place: use up filler behind this line's 0x0A; nothing else moves.
    const uint32_t line = doc.cursor_line;
    const int64_t slack = int64_t{doc.line_table[line + 1]} - doc.line_table[line] -
                          doc.cursor_line_length - 1;
    if (slack >= int64_t{n}) {
      uint8_t* line_feed = line_start(line) + doc.cursor_line_length;
      // For the history the rest of the line and the filler it uses up are
      // overwritten: nothing behind them moves.
      const uint32_t span = static_cast<uint32_t>(line_feed - doc.cursor_ptr) + 1 + n;
      if (n != 0) record_change(offset_of(doc.cursor_ptr), span, span, n);
      std::memmove(doc.cursor_ptr + n, doc.cursor_ptr, static_cast<size_t>(line_feed - doc.cursor_ptr) + 1);
      return static_cast<int32_t>(line);
    }
  }
  const uint32_t at = offset_of(doc.cursor_ptr);
  const uint32_t tail = doc.text_length - at;
  record_change(at, 0, n, n);
  if (uint64_t{doc.text_length} + n < doc.text_capacity) {
    // Tail move: the rest of the text, end marker and dead bytes included.
    std::memmove(doc.cursor_ptr + n, doc.cursor_ptr, tail);
    doc.text_length += n;
    return static_cast<int32_t>(doc.cursor_line);
  }
  // Reallocation, with spare room so that further typing needs none.
  const uint32_t size = document_block_size(uint64_t{doc.text_length} + n + TEXT_SPARE_BYTES);
  auto* block = static_cast<uint8_t*>(alloc_or_exit(size));
  std::memcpy(block, doc.text_buffer, at);
  std::memcpy(block + at + n, doc.cursor_ptr, tail);
  free_block(doc.text_buffer);
  doc.text_buffer = block;
  doc.text_capacity = size;
  doc.cursor_ptr = block + at;
  doc.text_length += n;
  return 0;
}

// Writes the pending virtual line breaks, then the pending spaces, at
// cursor_ptr, advancing it past them; both counts end at 0.
void materialize_padding() {
  std::memset(doc.cursor_ptr, LINE_FEED, doc.pad_newlines);
  doc.cursor_ptr += doc.pad_newlines;
  std::memset(doc.cursor_ptr, ' ', doc.pad_spaces);
  doc.cursor_ptr += doc.pad_spaces;
  doc.pad_newlines = 0;
  doc.pad_spaces = 0;
}

namespace {

// Moves line cursor_line + 1 back onto the 0x0A at `at`. The result is that
// of copying byte by byte, zeroing each source byte once read, until a 0x0A
// has been copied or the used bytes end: the absorbed line (and, for the
// last line, the dead bytes) moves back by the distance, and the bytes it
// vacates become 0x00.
void join_next_line(uint8_t* at) {
  const uint32_t next = doc.cursor_line + 1;
  uint8_t* source = line_start(next);
  uint8_t* end = text_end();
  uint8_t* stop = find_byte(source, end, LINE_FEED);
  const size_t length = stop != nullptr ? static_cast<size_t>(stop - source) + 1 : static_cast<size_t>(end - source);
  const auto span = static_cast<uint32_t>(source + length - at);
  record_change(offset_of(at), span, span, 0);
  std::memmove(at, source, length);
  uint8_t* vacated = std::max(source, at + length);
  std::memset(vacated, 0, static_cast<size_t>(source + length - vacated));
  // The lines further on stay where they are; their entries move down one.
  std::memmove(doc.line_table + next, doc.line_table + next + 1,
               size_t{doc.last_line - next} * ENTRY_BYTES);
  doc.last_line -= 1;
}

// One deletion at cursor_ptr: the byte there moves out (leaving filler, or a
// dead byte on the last line), or the next line joins on at a 0x0A. The
// record's line length follows; the line's start is left to the caller.
void delete_one_byte() {
  uint8_t* at = doc.cursor_ptr;
  if (*at == END_MARKER) return;
  if (*at == LINE_FEED) {
    if (doc.cursor_line >= doc.last_line) return;
    const uint32_t next = doc.cursor_line + 1;
    doc.cursor_line_length += static_cast<uint32_t>(line_terminator(next) - line_start(next));
    join_next_line(at);
    return;
  }
  uint8_t* end = text_end();
  uint8_t* line_feed = find_byte(at, end, LINE_FEED);
  const auto span = static_cast<uint32_t>((line_feed != nullptr ? line_feed + 1 : end) - at);
  record_change(offset_of(at), span, span, 0);
  if (line_feed != nullptr) {
    std::memmove(at, at + 1, static_cast<size_t>(line_feed - at));
    *line_feed = 0;
  } else {
    // The last line: the move runs through the end marker to the last used
    // byte, which keeps its value and so stays a dead 0x0D or 0x00.
    std::memmove(at, at + 1, static_cast<size_t>(end - at) - 1);
  }
  doc.cursor_line_length -= 1;
}

// A 0x00 directly behind a line break is filler, never content: when the
// deletions at a line's start left one there, the line starts after the run,
// as every re-indexing would find it, and the cursor goes with it.
void settle_line_start() {
  const uint32_t line = doc.cursor_line;
  uint8_t* at = doc.cursor_ptr;
  if (line == 0 || *at != 0 || at != line_start(line)) return;
  uint8_t* start = skip_filler(at, text_end());
  doc.line_table[line] = offset_of(start);
  doc.cursor_line_length -= static_cast<uint32_t>(start - at);
  doc.cursor_ptr = start;
}

}  // namespace

void delete_char_at_cursor() { delete_bytes_at_cursor(1); }

// The line's start is settled once, after the last deletion: a 0x00 that an
// earlier one brings to the line's start is still deleted as the content it
// was, and only a 0x00 that opens the line in the end becomes filler.
void delete_bytes_at_cursor(uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) delete_one_byte();
  settle_line_start();
}

void delete_selection(uint8_t* start, uint8_t* stop) {
  uint8_t* end = text_end();
  if (stop < start) stop = start;
  // The end marker never goes: a selection reaching over it ends before it.
  if (uint8_t* marker = find_byte(start, stop, END_MARKER)) stop = marker;
  record_change(offset_of(start), static_cast<uint32_t>(stop - start), 0, 0);
  std::memmove(start, stop, static_cast<size_t>(end - stop));
  doc.text_length -= static_cast<uint32_t>(stop - start);
}

namespace {

// Stores the start of line `line`, found at p. Entries are written up to
// index line + 1; should a caller's bound have been too low, the table grows
// here rather than being written past its end.
void record_line(uint32_t line, const uint8_t* p) {
  if (line + 1 >= doc.line_table_capacity / ENTRY_BYTES) {
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
  if ((uint64_t{doc.last_line} + 1) * ENTRY_BYTES >= doc.line_table_capacity) {
    const uint64_t bytes = uint64_t{doc.last_line} * ENTRY_BYTES + INITIAL_LINE_TABLE_BYTES;
    replace_line_table(document_block_size(bytes), 0);
    line = 0;
  }
  doc.line_table[0] = 0;
  uint8_t* p = line_start(line);
  uint8_t* end = text_end();
  // The edit may have left 0x00 bytes at the start of this line; directly
  // behind a line break they are filler, so the line starts after them.
  if (line > 0) {
    p = skip_filler(p, end);
    doc.line_table[line] = offset_of(p);
  }
  uint8_t* marker = nullptr;
  line = index_lines(p, line, &marker);
  doc.line_table[line + 1] = offset_of(marker) + 1;
  doc.last_line = line;
}

// ---- Calling protocols -------------------------------------------------------

int32_t insert_at_cursor(const uint8_t* bytes, uint32_t count) {
  const uint32_t room = document_block_size(uint64_t{doc.pad_newlines} + doc.pad_spaces + count);
  int32_t from = make_room(room);
  // A virtual cursor line becomes the real last line again.
  from -= static_cast<int32_t>(doc.pad_newlines);
  uint32_t line_feeds = 0;
  for (const uint8_t* p = bytes; count != 0;) {
    const void* hit = std::memchr(p, LINE_FEED, static_cast<size_t>(bytes + count - p));
    if (hit == nullptr) break;
    ++line_feeds;
    p = static_cast<const uint8_t*>(hit) + 1;
  }
  doc.last_line += doc.pad_newlines + line_feeds;
  materialize_padding();
  if (count != 0) std::memcpy(doc.cursor_ptr, bytes, count);
  doc.cursor_ptr += count;
  rebuild_line_table(from);
  return from;
}

void delete_byte_at(uint32_t line, uint32_t column) {
  locate_line(line, column);
  delete_char_at_cursor();
}

uint32_t delete_selected_text(uint8_t* start, uint8_t* stop) {
  doc.cursor_line = line_of_pointer(start);
  delete_selection(start, stop);
  rebuild_line_table(static_cast<int32_t>(doc.cursor_line));
  return doc.cursor_line;
}

// ---- Debug check -------------------------------------------------------------

bool check_document(const char** why) {
  auto fail = [why](const char* text) {
    if (why != nullptr) *why = text;
    return false;
  };
  if (doc.text_buffer == nullptr || doc.line_table == nullptr) return fail("no text block or no LineTable");
  if (doc.text_length >= doc.text_capacity) return fail("text_length is not below text_capacity");
  uint8_t* end = text_end();
  uint8_t* marker = find_byte(doc.text_buffer, end, END_MARKER);
  if (marker == nullptr) return fail("no end marker among the used bytes");
  for (const uint8_t* p = marker + 1; p < end; ++p) {
    if (*p != 0 && *p != END_MARKER) return fail("a dead byte behind the end marker is neither 0x00 nor 0x0D");
  }
  if ((uint64_t{doc.last_line} + 2) * ENTRY_BYTES > doc.line_table_capacity) {
    return fail("the LineTable cannot hold last_line + 2 entries");
  }
  if (doc.line_table[0] != 0) return fail("entry 0 is not the start of the text");
  // Re-derive every line start; matching it also makes the entries strictly
  // increasing, since each start lies past the previous line's 0x0A.
  uint32_t line = 0;
  uint8_t* p = doc.text_buffer;
  while (uint8_t* line_feed = find_byte(p, marker, LINE_FEED)) {
    p = skip_filler(line_feed + 1, marker);
    if (++line > doc.last_line) return fail("more line breaks than last_line");
    if (doc.line_table[line] != offset_of(p)) return fail("a LineTable entry is not the start of its line");
  }
  if (line != doc.last_line) return fail("fewer line breaks than last_line");
  if (why != nullptr) *why = "";
  return true;
}

}  // namespace vusk
