// Placeholder until selection transfer lands.
#include "files/transfer.h"

namespace vusk {

void copy_selection_to_transfer_file() {}
void insert_transfer_file() {}
bool paste_clipboard_text() { return false; }
void paste_column() {}
void edit_menu_command(int32_t) {}

}  // namespace vusk
