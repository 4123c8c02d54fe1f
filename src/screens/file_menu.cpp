// The File menu's bindings and the redraws after a load or a save.
#include "screens/file_menu.h"

#include <cstring>

#include "editor/text_view.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "screens/unsaved.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr uint32_t REFUSE_READ_ONLY = 0x8000;
constexpr uint32_t ASK_BEFORE_OVERWRITE = 0x0002;

// After a dialog that returned no name: a failure (not a cancel) is shown in
// the "error!?" box with whatever file_path holds.
void report_dialog_failure() {
  if (file_dialog_error() != 0) show_message(files.file_path, ERROR_CAPTION);
}

// The file mode that an entry's value names.
uint8_t mode_of(int32_t slot) { return static_cast<uint8_t>(wt.w_value[slot_index(slot)]); }

// A save put a new name into the title label: the bars show it at once.
void show_saved_document() { redraw_all_widgets(); }

}  // namespace

void show_loaded_document() {
  view.top_line = 0;
  sync_scroll_thumb();
  redraw_all_widgets();
  present_now();
}

namespace {

// Loads file_path in `mode` and shows it; a failed load keeps everything.
void load_and_show(uint8_t mode) {
  if (load_in_mode(mode) == 0) show_loaded_document();
}

// What names the Document before a dialog writes its choice into file_path:
// a name that neither loads nor saves is given back, so that file_path goes
// on naming the Document shown.
struct KeptName {
  char path[PATH_BYTES];
  uint8_t mode;
};

KeptName keep_name() {
  KeptName kept;
  std::memcpy(kept.path, files.file_path, PATH_BYTES);
  kept.mode = files.file_mode;
  return kept;
}

void give_back(const KeptName& kept) {
  std::memcpy(files.file_path, kept.path, PATH_BYTES);
  files.file_mode = kept.mode;
}

// The open dialog, once unsaved changes are settled; a chosen file is
// loaded in `mode`.
void open_with_dialog(uint8_t mode) {
  if (!settle_unsaved_changes()) return;
  const KeptName kept = keep_name();
  if (file_dialog(false, REFUSE_READ_ONLY, files.file_path)) {
    if (load_in_mode(mode) == 0) return show_loaded_document();
  } else {
    report_dialog_failure();
  }
  give_back(kept);
}

}  // namespace

void open_file_dialog(int32_t slot) { open_with_dialog(mode_of(slot)); }

void open_as_text() { open_with_dialog(FILE_MODE_TEXT); }

// The dialog writes its answer into file_path: a save that does not happen
// gives the previous path back, so that "Save" and Ctrl+F2 still find the
// Document's file.
void save_file_dialog(int32_t slot) {
  const KeptName kept = keep_name();
  if (file_dialog(true, REFUSE_READ_ONLY | ASK_BEFORE_OVERWRITE, files.file_path)) {
    if (save_with_mode(slot)) return;
  } else {
    report_dialog_failure();
  }
  give_back(kept);
}

void load_with_mode(int32_t slot) { load_and_show(mode_of(slot)); }

bool save_with_mode(int32_t slot) {
  if (!save_in_mode(mode_of(slot))) return false;
  show_saved_document();
  return true;
}

void save_under_file_name(int32_t) { save_in_place(); }

void save_in_place() {
  if (save_to_origin()) show_saved_document();
}

}  // namespace vusk
