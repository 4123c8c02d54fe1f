// The program's observable state as text: the one `state` line that
// vusk-script prints and the tests read, and the names it gives slots and
// open panels. App layer: it reads every subsystem's state; the backends and
// the tests include it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vusk {

// The state line's fields, space-separated and in this order: file_path,
// file_name, file_mode, text_length, last_line, top_line, left_col,
// cursor_row, cursor_col, sel_start, sel_end (offsets, -1 for none),
// insert_mode, focus (slot_name), rows (text rows in the table) and panels
// (open_panels).
std::string dump_state();

// A WidgetSlot named from the panel directory, so that it stays the same
// when another panel gains a record: "row:N" for the N-th text row,
// "PANEL:K" for record K of an open panel ("FILE_MENU:2"), "none" for -1 and
// "outside:S" for a slot that is not live.
std::string slot_name(int32_t slot);

// The open panels after the text rows, in slot order and comma-separated
// ("TITLE,MENU_BAR,BOTTOM_BAR,THUMB"); "none" when there is none.
std::string open_panels();

// The Document's bytes in use (end marker and any dead bytes included), as
// vusk-script's `doc` line writes them; valid until the next edit or load.
std::string_view document_text();

}  // namespace vusk
