// The LabelCode byte-code: opcodes, the table of variables that address
// operands index, the hook that draws document text, and the interpreter
// draw_widget. Also format_decimal. (The constexpr builders that write labels
// are in label_builders.h.) Widgets layer: includes raster only; anyone above
// may include it.
#pragma once
#include <cstdint>

namespace vusk {

// The opcodes; every other byte value is skipped as filler.
enum LabelOp : uint8_t {
  LC_END = 0,
  LC_JUMP_IF_DATA = 7,
  LC_JUMP_IF_VAR = 8,
  LC_TEXT_ROW = 13,
  LC_COLOUR = 14,
  LC_TEXT = 15,
  LC_DATA_STRING = 16,
  LC_BOX = 17,
  LC_HEX = 20,
  LC_DECIMAL = 21,
  LC_BEVEL = 22,
  LC_PARAM_DIGIT = 23,
  LC_TOGGLE_BEVEL = 24,
  LC_SLIDER = 25,
  LC_HEX_AT = 30,
  LC_DECIMAL8_AT = 31,
  LC_DECIMAL16_AT = 32,
  LC_DECIMAL32_AT = 33,
  LC_WAVEFORM = 40,
  LC_MASK_IMAGE = 41,
  LC_IMAGE = 50,
};

constexpr uint8_t LC_TEXT_END = 0xFF;      // ends an LC_TEXT
constexpr uint8_t LC_TEXT_NEWLINE = 0xFE;  // in LC_TEXT: a new line, its step in pixels follows
constexpr uint8_t LC_FILLER = 0x90;        // pads operands to their 4-byte boundary

// No label is longer than this; draw_widget reads no byte of a label beyond
// it, even when the label lacks its end. The title label's buffer is exactly
// this long.
constexpr uint32_t LABEL_MAX_BYTES = 256;

// Address operands are 32-bit indices into this table (4-byte aligned within
// the label). The application's variables have fixed indices, bound by their
// owners; tests and later screens may claim the free ones.
constexpr uint32_t LABEL_VARIABLES = 32;
// The bound variables by index; null reads as 0.
extern void* label_variables[LABEL_VARIABLES];
// The size in bytes of each bound variable; 0 when it is not known (set
// directly in label_variables), and then it is trusted.
extern uint32_t label_variable_bytes[LABEL_VARIABLES];
// The fixed indices of the application's variables, and the first free one.
namespace var {
constexpr uint32_t cursor_abs_line = 0;
constexpr uint32_t text_length = 1;
constexpr uint32_t bookmark_line_0 = 2;
constexpr uint32_t bookmark_line_1 = 3;
constexpr uint32_t path_prompt_saving = 4;
constexpr uint32_t file_mode = 5;
constexpr uint32_t document_encoding = 6;
constexpr uint32_t first_free = 8;
}  // namespace var

// Empties label_variables: every variable reads as absent (0) until bound.
void reset_label_variables();
// Makes address operand `index` name the `bytes` bytes at `address`; an
// index outside the table is ignored. A label never reads past them: a
// number, image or waveform that would is drawn as from an absent variable.
void bind_label_variable(uint32_t index, void* address, uint32_t bytes);

// How document text is drawn, installed by the editor's text view: the
// background colour of every WK_TEXT_ROW widget, and the LC_TEXT_ROW opcode,
// called with the slot after the background is drawn. Without them a text
// row is a box in its own colour and the opcode draws nothing.
struct TextRowPainter {
  uint8_t (*background)();
  void (*paint)(int32_t slot);
};
// The installed painter; both entries null until the text view installs it.
extern TextRowPainter text_row_painter;

// Draws the widget at `slot`; nothing for a slot that is not live. A text
// row drawn this way also repaints the widgets stacked above it that overlap
// it, so that they stay on top.
void draw_widget(int32_t slot);
// Draws only the widget itself: for whole-table redraws, which draw the
// widgets above afterwards anyway.
void paint_widget(int32_t slot);

// The text of format_decimal: 7 characters and a terminating 0.
extern char number_text[8];
// Writes `value` right-aligned into number_text, its sign (a space when
// positive) directly before the first digit.
void format_decimal(int32_t value);

}  // namespace vusk
