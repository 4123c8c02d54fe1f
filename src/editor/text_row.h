// How a row of document text is drawn: the colour scheme, and the painter
// that the widgets' LC_TEXT_ROW opcode calls (installed by the text view).
// Editor layer: the editor and every layer above may include it; the widgets reach the painter only through the hook they declare.
#pragma once
#include <cstdint>

namespace vusk {

// Palette indices: text, text background, selected text, selection background.
extern uint8_t colour_scheme[4];

// The background colour of every text row: colour_scheme[1].
uint8_t text_row_background();

// Draws the text-row widget at `slot` over its background: the characters
// from the row pointer at w_param of the array at w_data (single cells and
// Shift_JIS pairs, starting w_value cells in), the Selection's highlight,
// and on the cursor's row the cursor (a box in overwrite mode, an underline
// in insert mode).
void paint_text_row(int32_t slot);

}  // namespace vusk
