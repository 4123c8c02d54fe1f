// The Document: one text block of lines separated by 0x0A, NUL filler behind
// line ends, a 0x0D end marker and possibly dead bytes behind it; the
// LineTable of line starts; the cursor-location record; and the seven
// primitives every edit is built from. It knows lines and columns, never the
// view's rows or Selection. Editor layer: the editor, the files (which use
// the Document API) and every layer above them may include it.
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
  uint32_t* line_table;
  uint32_t line_table_capacity;  // bytes
  uint32_t last_line;            // index of the last line = number of line breaks

  // The cursor-location record, written by locate_line.
  uint8_t* cursor_ptr;
  uint32_t cursor_line;
  uint32_t cursor_line_length;
  uint32_t pad_spaces;
  uint32_t pad_newlines;
};
extern DocumentState doc;  // the one Document

constexpr uint8_t LINE_FEED = 0x0A;   // ends every line but the last
constexpr uint8_t END_MARKER = 0x0D;  // ends the last line, and the text
constexpr uint32_t INITIAL_LINE_TABLE_BYTES = 4096;  // a new LineTable, and the slack a grown one gets
constexpr uint32_t INITIAL_TEXT_BYTES = 0x4000;      // the empty Document's text block
constexpr uint32_t TEXT_SPARE_BYTES = 16384;         // room a reallocated text block gets beyond the need
constexpr uint32_t COLUMN_LINE_END = 0xFFFFFFFFu;    // the column that locates a line's end

// Frees the Document's blocks and zeroes its state.
void reset_document_state();
// The empty Document of start-up: one line of three spaces.
void create_empty_document();
// Makes a text built elsewhere the Document, in place of the current one,
// whose blocks are freed: `block` (`capacity` bytes, `length` in use with the
// end marker) and its LineTable `line_table` (`table_bytes` bytes, the
// starts of lines 0..last_line and the entry past the end), as a rebuild
// from line 0 would leave them. The Document owns both blocks afterwards;
// pointers into the old text (cursor record, Selection) are the caller's.
void adopt_text(uint8_t* block, uint32_t capacity, uint32_t length, uint32_t* line_table, uint32_t table_bytes,
                uint32_t last_line);

// Address of line k's first byte.
inline uint8_t* line_start(uint32_t k) { return doc.text_buffer + doc.line_table[k]; }

// Fills the cursor-location record for line `line` (beyond last_line: a
// virtual line) and byte column `column`; COLUMN_LINE_END asks for the end.
void locate_line(uint32_t line, uint32_t column);
// The line holding p; filler counts with the line before it.
uint32_t line_of_pointer(const uint8_t* p);
// Opens a gap of n bytes at cursor_ptr and returns the first line whose
// LineTable entry may be stale (0 or less after a reallocation).
int32_t make_room(uint32_t n);
// Writes the pending line breaks, then the pending spaces, at cursor_ptr.
void materialize_padding();
// Deletes the byte at cursor_ptr, or joins the next line on at its 0x0A.
// The location record stays fresh: cursor_ptr and cursor_line_length
// describe the cursor's place afterwards, so deletions can follow at once.
void delete_char_at_cursor();
// `count` such deletions at the same place, e.g. F5's three; a 0x00 that
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
// Re-indexes after the text block was changed so that the `inserted` bytes
// now at `offset` replaced `removed` bytes that stood there (everything
// behind moved by inserted - removed; text_length already updated; equal
// counts are a pure overwrite). The entries of lines starting before
// `offset` must have been valid before the change; afterwards the LineTable
// and last_line equal a full rebuild.
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
// re-indexes from the line where they began, which is returned (also left in
// cursor_line). The caller empties its Selection afterwards.
uint32_t delete_selected_text(uint8_t* start, uint8_t* stop);

// Debug check: re-derives the LineTable from the bytes and verifies every
// invariant of the layout. Returns true when all hold; otherwise writes a
// description of the first violation into `why` (if given).
bool check_document(const char** why = nullptr);

}  // namespace vusk
