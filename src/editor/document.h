// The Document: one text block of lines separated by 0x0A, NUL filler behind
// line ends, a 0x0D end marker and possibly dead bytes behind it; the
// LineTable of line starts; the cursor-location record; and the seven
// primitives every edit is built from. It knows lines and columns, never the
// view's rows or Selection. The primitives that change bytes (make_room, the
// deletions) set the modified flag (editor/modified.h), so no edit escapes
// it. Editor layer: the editor, the files (which use the Document API) and
// every layer above them may include it.
#pragma once
#include <cstdint>

namespace vusk {

// The one Document: its blocks, their sizes and the cursor-location record.
struct DocumentState {
  uint8_t* text_buffer;
  uint32_t text_capacity;  // bytes allocated; always more than text_length
  uint32_t text_length;    // bytes in use, end marker and dead bytes included
  // Line starts as offsets from text_buffer, so that an entry keeps its
  // 4-byte width on every platform (capacity counts 4 bytes per entry).
  // Read them through line_entry(): an edit costs what it changed because
  // the free entries lie in a gap kept where the last edit was (entries
  // from gap_at on are stored gap_entries further on), and the entries
  // behind an edit are shifted lazily (those from step_from on are stored
  // step_delta short of their value, modulo 2^32).
  uint32_t* line_table;
  uint32_t line_table_capacity;  // bytes
  uint32_t last_line;            // index of the last line = number of line breaks
  uint32_t table_entries;        // entries held: last_line + 2 between edits
  uint32_t gap_at;
  uint32_t gap_entries;  // every free entry of the block
  uint32_t step_from;
  uint32_t step_delta;

  // The change the last make_room made, as a splice (see
  // reindex_after_splice): the bytes [room_offset, room_offset +
  // room_inserted) now stand where room_removed bytes stood.
  uint32_t room_offset;
  uint32_t room_removed;
  uint32_t room_inserted;
  uint32_t filler_added;  // slack filler make_room opened since the text was adopted

  // The cursor-location record, written by locate_line.
  uint8_t* cursor_ptr;
  uint32_t cursor_line;
  uint32_t cursor_line_length;
  uint32_t pad_spaces;
  uint32_t pad_newlines;
  uint32_t cursor_column;  // the display column of the located place, padding included

  uint8_t encoding;  // a DocumentEncoding: how the bytes are shown, never how they are stored
};
extern DocumentState doc;  // the one Document

// How the Document's bytes are shown and counted in columns.
enum DocumentEncoding : uint8_t {
  ENCODING_UTF8,       // one cell per character, two for wide ones, tabs to the next multiple of 8
  ENCODING_SHIFT_JIS,  // one column per byte; a lead byte and its trail show as one double-width glyph
};

constexpr uint8_t LINE_FEED = 0x0A;   // ends every line but the last
constexpr uint8_t END_MARKER = 0x0D;  // ends the last line, and the text
constexpr uint32_t INITIAL_LINE_TABLE_BYTES = 4096;  // a new LineTable, and the slack a grown one gets
constexpr uint32_t INITIAL_TEXT_BYTES = 0x4000;      // the empty Document's text block
constexpr uint32_t TEXT_SPARE_BYTES = 16384;         // room a reallocated text block gets beyond the need
constexpr uint32_t COLUMN_LINE_END = 0xFFFFFFFFu;    // the column that locates a line's end

// When make_room must move more than `slack_tail_bytes` behind the cursor,
// and the cursor's line is not the last, it also opens up to `slack_bytes`
// of filler behind the line's 0x0A (never more than 1/16 of text_length in
// all), so that the typing and line breaks that follow work in place; a
// reallocation made meanwhile also reserves room for the rest of that share.
// Small documents never get any. Tests lower the threshold to reach it.
struct DocumentTuning {
  uint32_t slack_tail_bytes;
  uint32_t slack_bytes;
};
extern DocumentTuning doc_tuning;
constexpr DocumentTuning DEFAULT_DOCUMENT_TUNING = {1u << 20, 4096};

// Frees the Document's blocks and zeroes its state.
void reset_document_state();
// The empty Document of start-up: one line of three spaces.
void create_empty_document();
// A Document with no text at all, only its end marker: a file the user named
// to create, which a save writes as exactly what was typed.
void create_blank_document();
// Makes a text built elsewhere the Document, in place of the current one,
// whose blocks are freed: `block` (`capacity` bytes, `length` in use with the
// end marker) and its LineTable `line_table` (`table_bytes` bytes, the
// starts of lines 0..last_line and the entry past the end), as a rebuild
// from line 0 would leave them. The Document owns both blocks afterwards;
// pointers into the old text (cursor record, Selection) are the caller's.
void adopt_text(uint8_t* block, uint32_t capacity, uint32_t length, uint32_t* line_table, uint32_t table_bytes,
                uint32_t last_line);

// Offset of line k's first byte (k <= last_line + 1; entry last_line + 1
// lies just past the end marker).
inline uint32_t line_entry(uint32_t k) {
  const uint32_t stored = doc.line_table[k < doc.gap_at ? k : k + doc.gap_entries];
  return k >= doc.step_from ? stored + doc.step_delta : stored;
}
// Address of line k's first byte.
inline uint8_t* line_start(uint32_t k) { return doc.text_buffer + line_entry(k); }

// Fills the cursor-location record for line `line` (beyond last_line: a
// virtual line) and display column `column` (editor/cells.h: a byte column
// in Shift_JIS mode), which stands at the start of the cell holding it;
// COLUMN_LINE_END asks for the end, with no padding spaces.
void locate_line(uint32_t line, uint32_t column);
// The line holding p; filler counts with the line before it.
uint32_t line_of_pointer(const uint8_t* p);
// Opens a gap of n bytes at cursor_ptr and returns the first line whose
// LineTable entry may be stale (0 or less after a reallocation). A large
// tail move may add slack filler behind the line (DocumentTuning); the
// room_* fields describe the whole change.
int32_t make_room(uint32_t n);
// Writes the pending line breaks, then the pending spaces, at cursor_ptr.
void materialize_padding();
// Deletes the byte at cursor_ptr, or joins the next line on at its 0x0A.
// The location record stays fresh: cursor_ptr and cursor_line_length
// describe the cursor's place afterwards, so deletions can follow at once.
void delete_char_at_cursor();
// `count` such deletions at the same place, e.g. F5's three, each of a whole
// cell (a UTF-8 character with its zero-width followers); a 0x00 that
// one of them brings to the start of the line is deleted as content by the
// next, and becomes filler only if it still opens the line at the end.
void delete_bytes_at_cursor(uint32_t count);
// Removes the bytes [start, stop) by moving the rest of the text down; a
// range reaching over the end marker ends before it. The LineTable is left
// to the caller.
void delete_selection(uint8_t* start, uint8_t* stop);
// Re-indexes the lines from from_line (at least 0) to the end marker and
// sets last_line, which must be an upper bound for the line count on entry.
void rebuild_line_table(int32_t from_line);
// Brings the LineTable and last_line up to date after the text block was
// changed so that the `inserted` bytes now at `offset` replaced `removed`
// bytes that stood there, everything behind moving by inserted - removed
// (text_length already updated). The entries of the lines that start
// before `offset` must have been valid before the change. Re-reads only
// the lines the change touched and shifts the later entries lazily; the
// result is what rebuild_line_table(0) would give.
void reindex_after_splice(uint32_t offset, uint32_t removed, uint32_t inserted);

// The calling protocols that edits follow.

// Inserts `count` bytes at the located cursor (after locate_line, with
// pad_newlines possibly raised by the caller): writes the pending line breaks
// and spaces, then the bytes, leaving cursor_ptr just past them, and
// re-indexes. `bytes` must not point into the text block. Returns the line
// the LineTable was rebuilt from (0 or less after a reallocation).
int32_t insert_at_cursor(const uint8_t* bytes, uint32_t count);
// Locates (line, column) and deletes the byte there, or joins the next line
// when that place is a line end.
void delete_byte_at(uint32_t line, uint32_t column);
// Deletes the bytes [start, stop) (the Selection, given by its owner) and
// re-indexes from the line where they began, which is returned; the location
// record is left on that place (cursor_line the line). The caller empties
// its Selection afterwards.
uint32_t delete_selected_text(uint8_t* start, uint8_t* stop);

// Replaces the `removed` bytes at `offset` by the `count` bytes at `bytes`
// (not in the text block), moving the rest of the text once, replacing a
// block too small, and re-indexes what changed: one change for the history,
// whose cursor ends at offset + advance. The location record is left on
// `offset`, with no padding, for the caller to locate afresh.
void replace_text(uint32_t offset, uint32_t removed, const uint8_t* bytes, uint32_t count, uint32_t advance);
// replace_text for new bytes that are written where the old ones stood:
// once the `removed` bytes at `offset` are recorded, write(at, context)
// writes the `count` (no more than `removed`) new ones from `at`, reading
// the old text only ahead of where it writes; the rest of the text then moves
// down once. The cursor of the change ends behind the new bytes.
void shrink_text_in_place(uint32_t offset, uint32_t removed, uint32_t count, void (*write)(uint8_t* at, void* context),
                          void* context);

// Debug check: re-derives the LineTable from the bytes and verifies every
// invariant of the layout, and that the cursor-location record could be
// true (cursor_ptr within the text, padding within 2^31). Returns true when
// all hold; otherwise writes a description of the first violation into
// `why` (if given).
bool check_document(const char** why = nullptr);

}  // namespace vusk
