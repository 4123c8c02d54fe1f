// The application's panels and the small handlers bound to them: colour
// schemes, the benchmark, the file dialogs and the inert handler.
// Included by start-up and the tests.
#pragma once
#include <cstdint>

#include "widgets/widget_table.h"  // PanelId

namespace vusk {

// Installs the application's panels into the panel directory, restores
// their writable records, and returns to the Default colour scheme.
void reset_screen_state();

constexpr uint32_t COLOUR_SCHEMES = 3;
// Copies scheme 0 (Default), 1 ("Wh on bl") or 2 ("Bl on wh") into the text
// view's colour_scheme; any other number is ignored.
void apply_colour_scheme(uint32_t scheme);

// Button handlers: each takes the WidgetSlot of the activated button.
void select_colour_scheme(int32_t slot);
void run_benchmark(int32_t slot);
void open_file_dialog(int32_t slot);
void save_file_dialog(int32_t slot);
void quit_button(int32_t slot);
void no_action(int32_t slot);

}  // namespace vusk
