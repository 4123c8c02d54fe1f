// Cut, copy and paste through the transfer file, the column paste, and the
// paste of the system clipboard's text. Included by the editor and screens.
#pragma once
#include <cstdint>

namespace vusk {

enum EditCommand : uint16_t {
  EDIT_CUT = 0,
  EDIT_COPY = 1,
  EDIT_PASTE = 2,
  EDIT_PASTE_COLUMN = 3,
  EDIT_FIND = 4,
  EDIT_PASTE_CLIPBOARD = 5,
};

void copy_selection_to_transfer_file();
void insert_transfer_file();
// Inserts the clipboard's text at the cursor; false when there was none.
bool paste_clipboard_text();
void paste_column();
void edit_menu_command(int32_t slot);

}  // namespace vusk
