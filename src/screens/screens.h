// The application's panels and the small handlers bound to them: the Edit
// menu, the bookmark buttons, colour schemes, the benchmark, Quit and the
// inert handler (the File menu's are in file_menu.h). Screens layer:
// included by start-up (app) and the tests.
#pragma once
#include <cstdint>

#include "editor/panel_ids.h"

namespace vusk {

// Installs the application's panels into the panel directory, restores
// their writable records, and returns to the Default colour scheme.
void reset_screen_state();

// The colour schemes the View menu offers.
constexpr uint32_t COLOUR_SCHEMES = 3;
// Copies scheme 0 (Default), 1 ("Wh on bl") or 2 ("Bl on wh") into the text
// view's colour_scheme; any other number is ignored.
void apply_colour_scheme(uint32_t scheme);

// Button handlers: each takes the WidgetSlot of the activated button.

// The Edit menu: the action of the widget's w_value (cut, copy, paste,
// column paste, clipboard paste); cut and copy with nothing selected post
// "nothing selected!". Cut deletes only what was copied.
void edit_menu_command(int32_t slot);
// Runs Ctrl+F7 or Ctrl+F8 (by the button's w_param 0 or 1), which goes to
// that bookmark.
void bookmark_button(int32_t slot);

// Takes the colour scheme named by the button's value.
void select_colour_scheme(int32_t slot);
// Shows the Document in the encoding named by the button's value (a
// DocumentEncoding); its bytes, the cursor and the view stay.
void select_encoding(int32_t slot);
// Counts full redraw-and-present cycles for four seconds and posts the
// cycles per second as the status message.
void run_benchmark(int32_t slot);
// Ends the process with exit code 0, after asking about unsaved changes;
// Cancel, or a save that fails, keeps it running.
void quit_button(int32_t slot);
// Does nothing: an item that can take the focus and be pressed.
void no_action(int32_t slot);

}  // namespace vusk
