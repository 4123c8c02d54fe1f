// The application's panels, their layout around the text rows, and the
// small handlers bound to them: the scroll buttons and thumb, the Edit menu,
// the bookmark buttons, colour schemes, the benchmark, Quit and the inert
// handler (the File menu's are in file_menu.h). Screens layer:
// included by start-up (app) and the tests.
#pragma once
#include <cstdint>

#include "screens/panel_ids.h"

namespace vusk {

// Installs the application's panels into the panel directory, restores
// their writable records, and returns to the Default colour scheme.
void reset_screen_state();

// Lays the table out afresh for the frame: the text rows, then the fixed
// panels (title, menu bar, bottom bar, thumb), recording their boundaries in
// the view; the focus goes back to the default widget.
void layout_screen();

// The colour schemes the View menu offers.
constexpr uint32_t COLOUR_SCHEMES = 3;
// Copies scheme 0 (Default), 1 ("Wh on bl") or 2 ("Bl on wh") into the text
// view's colour_scheme; any other number is ignored.
void apply_colour_scheme(uint32_t scheme);

// Button handlers: each takes the WidgetSlot of the activated button.

// Scroll button: its w_param 0 or 2 moves the view a line up or down, 4 or
// 6 a column left or right.
void scroll_step_button(int32_t slot);
// Drag routine of the scroll thumb: the view follows the thumb's place.
void drag_scroll_thumb(int32_t slot);

// The Edit menu: the action of the widget's w_value (cut, copy, paste,
// column paste, clipboard paste); cut and copy with nothing selected post
// "nothing selected!". Cut deletes only what was copied.
void edit_menu_command(int32_t slot);
// The replace bar's "replace All": every match of the find field replaced
// by the replace field's text, as Shift+Enter in either field.
void replace_all_button(int32_t slot);
// Runs Ctrl+F7 or Ctrl+F8 (by the button's w_param 0 or 1), which goes to
// that bookmark.
void bookmark_button(int32_t slot);

// Takes the colour scheme named by the button's value.
void select_colour_scheme(int32_t slot);
// Shows the Document in the encoding named by the button's value (a
// DocumentEncoding); its bytes stay, and the cursor stays on its byte, at
// the column the new mode counts for it (the view follows it sideways).
void select_encoding(int32_t slot);
// Counts full redraw-and-present cycles for four seconds and posts the
// cycles per second as the status message.
void run_benchmark(int32_t slot);
// Ends the process with exit code 0, after asking about unsaved changes;
// Cancel, or a save that fails, keeps it running.
void quit_button(int32_t slot);
// The CommandCode of Enter in the focused text field: the go-to bar's and
// the replace bar's codes (Shift+Enter there replaces every match, Enter in
// its replacement field the selected one), else the plain Enter, which
// searches from a find field.
uint32_t submitted_field_code();
// Does nothing: an item that can take the focus and be pressed.
void no_action(int32_t slot);

}  // namespace vusk
