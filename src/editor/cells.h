// The cells of a line: how its bytes stand in display columns for the
// Document's encoding. The one owner of that mapping; nothing else converts
// between bytes and columns. In Shift_JIS mode a column is a byte. In UTF-8
// mode a character takes one cell, or two when wide; zero-width characters
// join the cell before them; a tab reaches the next multiple of 8; a byte
// that is no part of a valid sequence is a cell of its own. A long line
// keeps checkpoints, so a lookup never walks it from its start again.
// Editor layer: the editor, the files and every layer above may include it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "raster/unicode_width.h"  // decode_utf8, is_valid_utf8

namespace vusk {

constexpr uint32_t TAB_STOP = 8;

// What a cell shows.
enum CellKind : uint8_t {
  CELL_BYTE,     // a byte below 0x80 (controls included), or any byte in Shift_JIS mode: the built-in glyph
  CELL_TAB,      // a tab in UTF-8 mode: blank up to the next tab stop
  CELL_CHAR,     // a valid UTF-8 character (code point cp), with its zero-width followers
  CELL_INVALID,  // a byte of no valid UTF-8 sequence, shown as its hex digits
};

struct Cell {
  uint32_t bytes;  // at least 1
  uint32_t width;  // columns, at least 1
  uint32_t cp;     // the byte, or the character's code point
  CellKind kind;
  uint8_t base_bytes;  // the bytes before the zero-width followers
};

// The cell at p (not a line end) that starts at display column `column`,
// in the Document's encoding.
Cell cell_at(const uint8_t* p, uint32_t column);

// Where a display column stands on the line from `line` (its first byte):
// the start of the cell holding the column and that cell's column, or the
// line's end with the spaces that padding up to the column would need.
struct CellPlace {
  uint8_t* at;
  uint32_t column;
  uint32_t pad;
};
CellPlace place_of_column(uint8_t* line, uint32_t column);
// The display column of the cell holding byte p (line <= p <= its end) on
// the line from `line`; the line's width for its end.
uint32_t column_of(const uint8_t* line, const uint8_t* p);
// The column right of the cell holding `column` on the line from `line`
// (beyond the end, column + 1).
uint32_t next_cell_column(uint8_t* line, uint32_t column);

// The text's bytes from `offset` (from text_buffer) on are about to change;
// checkpoints that depend on them go. Called by every change's record.
void forget_cells_from(uint32_t offset);
// Drops every checkpoint (a new text block, or a reset).
void reset_cell_state();

}  // namespace vusk
