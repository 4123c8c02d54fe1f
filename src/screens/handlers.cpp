// The small handlers bound to the application's panels: the scroll buttons
// and thumb, the Edit menu, the bookmark buttons, colour schemes, the
// benchmark, Quit and the inert handler. (The File menu's are in file_menu.cpp.)
#include <cstring>

#include "commands/command_keys.h"
#include "commands/commands.h"
#include "commands/unsaved.h"
#include "editor/cells.h"
#include "editor/document.h"
#include "editor/text_row.h"
#include "editor/text_view.h"
#include "files/search.h"
#include "files/transfer.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "screens/screens.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

// Palette indices per scheme, in the order of colour_scheme:
//                                text  background  selected text  selection background
constexpr uint8_t SCHEMES[COLOUR_SCHEMES][4] = {
    {7, 13, 13, 7},  // Default: brick red on near black, selection inverted
    {3, 0, 0, 9},    // "Wh on bl": light grey on black, black on light green
    {0, 3, 3, 15},   // "Bl on wh": black on light grey, light grey on navy
};
static_assert(sizeof SCHEMES == COLOUR_SCHEMES * sizeof colour_scheme);

// The codes the Edit menu sends through the dispatcher.
constexpr uint32_t MENU_PASTE = SYNTHETIC_FLAG | SYNTHETIC_SHIFT | (KEY_CODE_OFFSET + VK_INSERT);
constexpr uint32_t MENU_PASTE_CLIPBOARD = SYNTHETIC_FLAG | SYNTHETIC_CTRL | CHAR_CTRL_V;
constexpr uint32_t MENU_DELETE = SYNTHETIC_FLAG | (KEY_CODE_OFFSET + VK_DELETE);

constexpr uint32_t BENCHMARK_MS = 4000;
constexpr uint32_t BENCHMARK_SECONDS = BENCHMARK_MS / 1000;

// Cut and Copy from the menu. A cut whose copy failed keeps the Selection:
// deleting it would lose the text.
void copy_or_cut(bool cut) {
  if (view.sel_start == view.sel_end) {
    post_status("nothing selected!");
    return;
  }
  if (copy_selection_to_transfer_file() && cut) run_command(MENU_DELETE);
}

}  // namespace

void scroll_step_button(int32_t slot) {
  const int32_t p = wt.w_param[slot_index(slot)];
  if (p <= 2) {
    scroll_view(p - 1, 0);
  } else {
    scroll_view(0, p - 5);
  }
}

void drag_scroll_thumb(int32_t slot) { follow_thumb(wt.w_y[slot_index(slot)]); }

void edit_menu_command(int32_t slot) {
  switch (wt.w_value[slot_index(slot)]) {
    case EDIT_PASTE: run_command(MENU_PASTE); break;
    case EDIT_PASTE_COLUMN: paste_column(); break;
    case EDIT_PASTE_CLIPBOARD: run_command(MENU_PASTE_CLIPBOARD); break;
    case EDIT_CUT: copy_or_cut(true); break;
    case EDIT_COPY: copy_or_cut(false); break;
    default: break;
  }
}

void replace_all_button(int32_t) { run_command(CODE_REPLACE_ALL); }

uint32_t submitted_field_code() {
  const int32_t f = wt.focus_widget;
  if (!is_live_slot(f) || wt.w_kind[slot_index(f)] != WK_TEXT_INPUT) return CHAR_ENTER;
  const uint32_t panel = wt.w_panel[slot_index(f)];
  if (panel == PANEL_GOTO_BAR) return CODE_GO_TO;
  if (panel != PANEL_REPLACE_BAR) return CHAR_ENTER;
  if (input.shift_down != 0) return CODE_REPLACE_ALL;
  // Enter alone in the replace bar's find field searches, as in the find bar.
  const void* field = replace_pattern;
  return wt.w_data[slot_index(f)].ptr == field ? CODE_REPLACE_NEXT : CHAR_ENTER;
}

void bookmark_button(int32_t slot) {
  run_command(SYNTHETIC_FLAG | SYNTHETIC_CTRL | (KEY_CODE_OFFSET + VK_F7 + wt.w_param[slot_index(slot)]));
}

void apply_colour_scheme(uint32_t scheme) {
  if (scheme >= COLOUR_SCHEMES) return;
  std::memcpy(colour_scheme, SCHEMES[scheme], sizeof colour_scheme);
}

// Takes the scheme named by the button's value; the button's WF_REDRAW_ALL
// redraws the window in it afterwards.
void select_colour_scheme(int32_t slot) { apply_colour_scheme(wt.w_value[slot_index(slot)]); }

void select_encoding(int32_t slot) {
  const uint16_t encoding = wt.w_value[slot_index(slot)];
  if (encoding > ENCODING_SHIFT_JIS) return;
  // The cursor stays on the byte it stood on, whose column the other mode
  // counts differently; left there, the next edit could cut a character.
  locate_cursor(view.cursor_row, static_cast<uint32_t>(view.left_col) + view.cursor_col);
  doc.encoding = static_cast<uint8_t>(encoding);
  input.utf8_fields = doc.encoding == ENCODING_UTF8;  // the fields redrawn now show it too
  reset_cell_state();
  if (doc.pad_newlines == 0) {
    const int64_t column = int64_t{column_of(line_start(doc.cursor_line), doc.cursor_ptr)} + doc.pad_spaces;
    const int64_t last = int64_t{view.left_col} + (view.visible_cols > 0 ? view.visible_cols - 1 : 0);
    if (column < view.left_col) view.left_col = static_cast<int32_t>(column);
    if (column > last) view.left_col = static_cast<int32_t>(column - (last - view.left_col));
    view.cursor_col = static_cast<uint16_t>(column - view.left_col);
  }
  fill_row_pointers();
}

// Counts full redraw-and-present cycles for four seconds, alternating no
// selection and the whole Document selected, and posts the cycles per
// second as the status message. No input is handled meanwhile.
void run_benchmark(int32_t) {
  view.sel_anchor = view.sel_head;
  uint32_t n = 0;
  const uint32_t t0 = tick_count();
  do {
    view.sel_start = view.sel_end;
    if (n & 1) {
      view.sel_start = doc.text_buffer;
      view.sel_end = doc.text_buffer + doc.text_length;
    }
    redraw_all_widgets();
    draw_string("Benchmark mode!", 9, raster.frame_height - 18u, 200);
    present_now();
    ++n;
  } while (tick_count() - t0 < BENCHMARK_MS);
  redraw_all_widgets();
  format_decimal(static_cast<int32_t>(n / BENCHMARK_SECONDS));
  post_status(number_text);
  view.sel_start = view.sel_end;
}

// Ends the process, once unsaved changes are saved or given up.
void quit_button(int32_t) {
  if (settle_unsaved_changes()) exit_process(0);
}

// Makes an item focusable and pressable without an effect.
void no_action(int32_t) {}

}  // namespace vusk
