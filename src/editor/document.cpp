// The Document engine: the start-up Document, the primitives every edit is
// built from, the protocols that combine them, and the debug check. The
// LineTable's storage and re-indexing live in line_table.cpp.
//
// The LineTable stores offsets from text_buffer, so a reallocated text block
// leaves the entries of the lines before the cursor valid; the protocols still
// rebuild from line 0 after a reallocation, as callers expect.
#include "editor/document.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "editor/cells.h"
#include "editor/line_table.h"
#include "editor/modified.h"
#include "editor/undo.h"
#include "platform/platform.h"

namespace vusk {

DocumentState doc;
DocumentTuning doc_tuning = DEFAULT_DOCUMENT_TUNING;

namespace {

// One past the last used byte (dead bytes included).
uint8_t* text_end() { return doc.text_buffer + doc.text_length; }

// Offset of a pointer into the text block.
uint32_t offset_of(const uint8_t* p) { return static_cast<uint32_t>(p - doc.text_buffer); }

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
  doc_tuning = DEFAULT_DOCUMENT_TUNING;
  reset_cell_state();
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
  set_plain_table(last_line + 2);
  doc.filler_added = 0;
  // The location record described the old block.
  doc.cursor_ptr = block;
  reset_cell_state();
  clear_history();
}

namespace {

// Replaces whatever Document exists by the one line `text` of `length`
// bytes (with its end marker) in blocks of the start-up sizes.
void create_one_line_document(const char* text, uint32_t length) {
  free_block(doc.text_buffer);
  free_block(doc.line_table);
  doc.line_table = static_cast<uint32_t*>(alloc_or_exit(INITIAL_LINE_TABLE_BYTES));
  doc.line_table_capacity = INITIAL_LINE_TABLE_BYTES;
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(INITIAL_TEXT_BYTES));
  doc.text_capacity = INITIAL_TEXT_BYTES;
  std::memcpy(doc.text_buffer, text, length);
  doc.text_length = length;
  doc.line_table[0] = 0;
  doc.line_table[1] = length;  // just past the end marker, as a rebuild leaves it
  doc.last_line = 0;
  set_plain_table(2);
  doc.filler_added = 0;
  doc.cursor_ptr = doc.text_buffer;
  doc.cursor_line = doc.cursor_line_length = doc.pad_spaces = doc.pad_newlines = doc.cursor_column = 0;
  doc.encoding = ENCODING_UTF8;  // what a new text is typed in
  reset_cell_state();
  clear_history();
}

}  // namespace

void create_empty_document() { create_one_line_document("   \r", 4); }

void create_blank_document() { create_one_line_document("\r", 1); }

namespace {

// The record's place at `column` of the line from `start`, `length` bytes
// long: its end for COLUMN_LINE_END, else the start of the cell holding the
// column, with the padding beyond the end.
void locate_column(uint8_t* start, uint32_t length, uint32_t column) {
  if (column == COLUMN_LINE_END) {
    doc.cursor_ptr = start + length;
    doc.pad_spaces = 0;
    doc.cursor_column = column_of(start, doc.cursor_ptr);
    return;
  }
  if (doc.encoding != ENCODING_UTF8) {
    // A column is a byte: no walk along the line.
    const uint32_t reached = std::min(column, length);
    doc.cursor_ptr = start + reached;
    doc.pad_spaces = column - reached;
    doc.cursor_column = column;
    return;
  }
  const CellPlace place = place_of_column(start, column);
  doc.cursor_ptr = place.at;
  doc.pad_spaces = place.pad;
  doc.cursor_column = place.column + place.pad;
}

}  // namespace

// The line's end is where it stops: no spaces lie beyond it, also on a
// virtual line (the column would count them up to 2^32 - 1).
void locate_line(uint32_t line, uint32_t column) {
  doc.cursor_line = line;
  doc.pad_newlines = 0;
  doc.cursor_line_length = 0;
  if (doc.cursor_line > doc.last_line) {
    // A virtual line: everything typed there goes behind the end of the text.
    doc.pad_newlines = doc.cursor_line - doc.last_line;
    doc.cursor_ptr = line_terminator(doc.last_line);
    doc.pad_spaces = column == COLUMN_LINE_END ? 0 : column;
    doc.cursor_column = doc.pad_spaces;
    return;
  }
  uint8_t* start = line_start(doc.cursor_line);
  const uint32_t length = static_cast<uint32_t>(line_terminator(doc.cursor_line) - start);
  doc.cursor_line_length = length;
  locate_column(start, length, column);
}

namespace {

void record_room(uint32_t offset, uint32_t removed, uint32_t inserted) {
  doc.room_offset = offset;
  doc.room_removed = removed;
  doc.room_inserted = inserted;
}

// In place: uses up filler behind the cursor line's 0x0A when there are n
// bytes of it; only the rest of the line moves.
bool room_in_place(uint32_t n) {
  if (doc.cursor_line >= doc.last_line) return false;
  const uint32_t line = doc.cursor_line;
  const int64_t slack = int64_t{line_entry(line + 1)} - line_entry(line) - doc.cursor_line_length - 1;
  if (slack < int64_t{n}) return false;
  uint8_t* line_feed = line_start(line) + doc.cursor_line_length;
  const auto rest = static_cast<uint32_t>(line_feed - doc.cursor_ptr) + 1;
  // For the history the rest of the line and the filler it uses up are
  // overwritten: nothing behind them moves.
  if (n != 0) record_change(offset_of(doc.cursor_ptr), rest + n, rest + n, n);
  std::memmove(doc.cursor_ptr + n, doc.cursor_ptr, rest);
  record_room(offset_of(doc.cursor_ptr), rest + n, rest + n);
  return true;
}

// What is left of the session's share of slack filler: 1/16 of the text.
uint32_t slack_share_left() {
  const uint32_t share = doc.text_length / 16;
  return share > doc.filler_added ? share - doc.filler_added : 0;
}

// The filler a tail move of `tail` bytes adds behind the cursor's line: none
// for a short tail or on the last line, and none beyond the session's share.
uint32_t slack_for(uint32_t tail) {
  if (doc.cursor_line >= doc.last_line || tail <= doc_tuning.slack_tail_bytes) return 0;
  return std::min(doc_tuning.slack_bytes, slack_share_left());
}

// Replaces the text block by one with room for `more` bytes and the spare.
void reallocate_text(uint32_t more) {
  const uint32_t at = offset_of(doc.cursor_ptr);
  const uint32_t size = document_block_size(uint64_t{doc.text_length} + more + TEXT_SPARE_BYTES);
  auto* block = static_cast<uint8_t*>(alloc_or_exit(size));
  std::memcpy(block, doc.text_buffer, doc.text_length);
  free_block(doc.text_buffer);
  doc.text_buffer = block;
  doc.text_capacity = size;
  doc.cursor_ptr = block + at;
}

// Tail move: the rest of the text, end marker and dead bytes included,
// moves n bytes up; with slack, the bytes behind the line's 0x0A move
// `slack` bytes further and that many 0x00 of filler open behind it.
void move_tail(uint32_t n, uint32_t slack) {
  const uint32_t at = offset_of(doc.cursor_ptr);
  if (slack == 0) {
    record_change(at, 0, n, n);
    std::memmove(doc.cursor_ptr + n, doc.cursor_ptr, doc.text_length - at);
    record_room(at, 0, n);
  } else {
    uint8_t* behind = line_start(doc.cursor_line) + doc.cursor_line_length + 1;
    const auto rest = static_cast<uint32_t>(behind - doc.cursor_ptr);
    record_change(at, rest, rest + n + slack, n);
    std::memmove(behind + n + slack, behind, static_cast<size_t>(text_end() - behind));
    std::memmove(doc.cursor_ptr + n, doc.cursor_ptr, rest);
    std::memset(behind + n, 0, slack);
    doc.filler_added += slack;
    record_room(at, rest, rest + n + slack);
  }
  doc.text_length += n + slack;
}

}  // namespace

// Opens a gap of n bytes at cursor_ptr (whose record must be fresh) and
// returns the first line whose LineTable entry may be stale: cursor_line, or
// 0 when the text block was replaced.
int32_t make_room(uint32_t n) {
  // Every insertion opens its room here; the bytes written into it are the
  // change.
  if (n != 0) mark_document_modified();
  if (room_in_place(n)) return static_cast<int32_t>(doc.cursor_line);
  int32_t stale = static_cast<int32_t>(doc.cursor_line);
  uint32_t slack = slack_for(doc.text_length - offset_of(doc.cursor_ptr));
  if (uint64_t{doc.text_length} + n >= doc.text_capacity) {
    // Reallocation, with spare room so that further typing needs none; with
    // slack under way, also room for the rest of its share, so that the
    // slack of the tail moves to come never uses the spare up.
    reallocate_text(document_block_size(uint64_t{n} + (slack != 0 ? slack_share_left() : 0)));
    stale = 0;
  }
  // Slack only ever uses room there is: it never forces a reallocation.
  slack = static_cast<uint32_t>(std::min<uint64_t>(slack, uint64_t{doc.text_capacity} - doc.text_length - n - 1));
  move_tail(n, slack);
  return stale;
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
  // The lines further on stay where they are: only the absorbed line's
  // entry goes, and the entry past the end follows a marker that moved.
  const bool absorbed_last = next == doc.last_line;
  remove_entries(next, 1);
  doc.last_line -= 1;
  if (absorbed_last) set_entry(next, line_entry(next) - static_cast<uint32_t>(source - at));
}

// One deletion at cursor_ptr: the byte there moves out (leaving filler, or a
// dead byte on the last line), or the next line joins on at a 0x0A. The
// record's line length follows; the line's start is left to the caller.
void delete_one_byte() {
  uint8_t* at = doc.cursor_ptr;
  if (*at == END_MARKER) return;
  if (*at == LINE_FEED) {
    if (doc.cursor_line >= doc.last_line) return;
    mark_document_modified();
    const uint32_t next = doc.cursor_line + 1;
    doc.cursor_line_length += static_cast<uint32_t>(line_terminator(next) - line_start(next));
    join_next_line(at);
    return;
  }
  mark_document_modified();
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
    set_entry(doc.last_line + 1, line_entry(doc.last_line + 1) - 1);
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
  set_entry(line, offset_of(start));
  doc.cursor_line_length -= static_cast<uint32_t>(start - at);
  doc.cursor_ptr = start;
}

}  // namespace

void delete_char_at_cursor() { delete_bytes_at_cursor(1); }

// The line's start is settled once, after the last deletion: a 0x00 that an
// earlier one brings to the line's start is still deleted as the content it
// was, and only a 0x00 that opens the line in the end becomes filler.
void delete_bytes_at_cursor(uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t at = *doc.cursor_ptr;
    const uint32_t bytes = at == LINE_FEED || at == END_MARKER ? 1 : cell_at(doc.cursor_ptr, 0).bytes;
    for (uint32_t k = 0; k < bytes; ++k) delete_one_byte();
  }
  settle_line_start();
}

void delete_selection(uint8_t* start, uint8_t* stop) {
  uint8_t* end = text_end();
  if (stop < start) stop = start;
  // The end marker never goes: a selection reaching over it ends before it.
  if (uint8_t* marker = find_byte(start, stop, END_MARKER)) stop = marker;
  if (stop != start) mark_document_modified();
  record_change(offset_of(start), static_cast<uint32_t>(stop - start), 0, 0);
  std::memmove(start, stop, static_cast<size_t>(end - stop));
  doc.text_length -= static_cast<uint32_t>(stop - start);
}

// ---- Calling protocols -------------------------------------------------------

namespace {

uint32_t count_line_feeds(const uint8_t* bytes, uint32_t count) {
  uint32_t line_feeds = 0;
  for (const uint8_t* p = bytes; count != 0;) {
    const void* hit = std::memchr(p, LINE_FEED, static_cast<size_t>(bytes + count - p));
    if (hit == nullptr) break;
    ++line_feeds;
    p = static_cast<const uint8_t*>(hit) + 1;
  }
  return line_feeds;
}

}  // namespace

// Re-indexes only the lines the room and the bytes touched; after a
// reallocation the whole table is rebuilt, as the block's copy costs as much.
int32_t insert_at_cursor(const uint8_t* bytes, uint32_t count) {
  const uint32_t room = document_block_size(uint64_t{doc.pad_newlines} + doc.pad_spaces + count);
  uint8_t* const old_buffer = doc.text_buffer;
  int32_t from = make_room(room);
  const bool reallocated = doc.text_buffer != old_buffer;
  // A virtual cursor line becomes the real last line again.
  from -= static_cast<int32_t>(doc.pad_newlines);
  if (reallocated) doc.last_line += doc.pad_newlines + count_line_feeds(bytes, count);
  materialize_padding();
  if (count != 0) std::memcpy(doc.cursor_ptr, bytes, count);
  doc.cursor_ptr += count;
  if (reallocated) rebuild_line_table(from);
  else reindex_after_splice(doc.room_offset, doc.room_removed, doc.room_inserted);
  return from;
}

void delete_byte_at(uint32_t line, uint32_t column) {
  locate_line(line, column);
  delete_char_at_cursor();
}

// The location record ends where the bytes were: on what followed them,
// never on bytes the text no longer holds.
uint32_t delete_selected_text(uint8_t* start, uint8_t* stop) {
  const uint32_t line = line_of_pointer(start);
  const uint32_t length = doc.text_length;
  delete_selection(start, stop);
  reindex_after_splice(offset_of(start), length - doc.text_length, 0);
  const uint8_t* first = line_start(line);
  locate_line(line, start > first ? column_of(first, start) : 0);
  return line;
}

namespace {

// Moves the text into a block with room for `length` used bytes, leaving a
// gap of `count` bytes at `offset` where `removed` bytes stood: the tail is
// copied once, straight to its new place.
void reallocate_with_gap(uint64_t length, uint32_t offset, uint32_t removed, uint32_t count) {
  const uint32_t size = document_block_size(length + TEXT_SPARE_BYTES);
  auto* block = static_cast<uint8_t*>(alloc_or_exit(size));
  std::memcpy(block, doc.text_buffer, offset);
  std::memcpy(block + offset + count, doc.text_buffer + offset + removed, doc.text_length - offset - removed);
  free_block(doc.text_buffer);
  doc.text_buffer = block;
  doc.text_capacity = size;
}

}  // namespace

namespace {

// The bookkeeping of a splice whose bytes are in place: the new length, the
// lines re-indexed, the location record on `offset` with no padding.
void finish_splice(uint32_t offset, uint32_t removed, uint32_t count) {
  doc.text_length = doc.text_length - removed + count;
  reindex_after_splice(offset, removed, count);
  doc.cursor_ptr = doc.text_buffer + offset;
  doc.pad_spaces = doc.pad_newlines = 0;
}

}  // namespace

void replace_text(uint32_t offset, uint32_t removed, const uint8_t* bytes, uint32_t count, uint32_t advance) {
  if (removed == 0 && count == 0) return;
  mark_document_modified();
  record_change(offset, removed, count, advance);
  const uint64_t length = uint64_t{doc.text_length} - removed + count;
  if (length >= doc.text_capacity) {
    reallocate_with_gap(length, offset, removed, count);
  } else if (count != removed) {
    uint8_t* at = doc.text_buffer + offset;
    std::memmove(at + count, at + removed, doc.text_length - offset - removed);
  }
  if (count != 0) std::memcpy(doc.text_buffer + offset, bytes, count);
  finish_splice(offset, removed, count);
}

void shrink_text_in_place(uint32_t offset, uint32_t removed, uint32_t count, void (*write)(uint8_t* at, void* context),
                          void* context) {
  if (removed == 0 && count == 0) return;
  mark_document_modified();
  record_change(offset, removed, count, count);  // before the old bytes are written over
  uint8_t* at = doc.text_buffer + offset;
  write(at, context);
  if (count != removed) std::memmove(at + count, at + removed, doc.text_length - offset - removed);
  finish_splice(offset, removed, count);
}

// ---- Debug check -------------------------------------------------------------

namespace {

// What makes the cursor-location record impossible, or null: a place
// outside the text up to its end `marker`, or padding that no column of a
// view (an i32) reaches.
const char* impossible_location(const uint8_t* marker) {
  constexpr uint32_t MOST_PADDING = 1u << 31;
  if (doc.cursor_ptr < doc.text_buffer || doc.cursor_ptr > marker) return "cursor_ptr lies outside the text";
  if (doc.pad_spaces > MOST_PADDING) return "pad_spaces is beyond 2^31";
  if (doc.pad_newlines > MOST_PADDING) return "pad_newlines is beyond 2^31";
  return nullptr;
}

}  // namespace

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
  if (doc.gap_at > doc.table_entries ||
      uint64_t{doc.table_entries} + doc.gap_entries > doc.line_table_capacity / ENTRY_BYTES) {
    return fail("the LineTable's gap lies outside its block");
  }
  if (line_entry(0) != 0) return fail("entry 0 is not the start of the text");
  // Re-derive every line start; matching it also makes the entries strictly
  // increasing, since each start lies past the previous line's 0x0A.
  uint32_t line = 0;
  uint8_t* p = doc.text_buffer;
  while (uint8_t* line_feed = find_byte(p, marker, LINE_FEED)) {
    p = skip_filler(line_feed + 1, marker);
    if (++line > doc.last_line) return fail("more line breaks than last_line");
    if (line + 1 >= doc.table_entries) return fail("the LineTable does not hold last_line + 2 entries");
    if (line_entry(line) != offset_of(p)) return fail("a LineTable entry is not the start of its line");
  }
  if (line != doc.last_line) return fail("fewer line breaks than last_line");
  if (doc.table_entries != doc.last_line + 2) return fail("the LineTable does not hold last_line + 2 entries");
  if (line_entry(line + 1) != offset_of(marker) + 1) return fail("the entry past the last line is not past the end marker");
  const char* record = impossible_location(marker);
  if (record != nullptr) return fail(record);
  if (why != nullptr) *why = "";
  return true;
}

}  // namespace vusk
