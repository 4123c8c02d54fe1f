// The File menu's bindings: the two file dialogs, loading and saving in the
// mode of the activated entry, "Save", and the redraws that follow a load or
// a save (the files layer draws nothing itself). Screens layer: included by
// the panel tables, the app and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// Shows a Document that a load has just put in place: the view goes to its
// first line, the scroll thumb follows, every widget is redrawn and the frame
// is presented at once, before the next message is handled.
void show_loaded_document();

// What a path chosen as a dialog's answer leads to (the path prompt stands
// in for a dialog that cannot be shown): the save or the load of `path` in
// `mode`, shown as above. A failure keeps the Document, shows its "error!?"
// box and leaves file_path and file_mode as they were.
void take_chosen_path(const char* path, bool save, uint8_t mode);

// A file dropped onto the window, opened as "Open as text" opens a chosen
// one: the unsaved-changes question first (Cancel stops, keeping
// everything), then the load as text. A path that does not load, or that
// is too long to be a file_path, shows its "error!?" box and keeps the
// Document.
void open_dropped_file(const char* path);

// Button handlers of the File menu; each takes the WidgetSlot of the
// activated entry, whose value is the file mode (0 text, 1 hex listing).

// Asks about unsaved changes, then for a file to open; a chosen one is
// loaded by load_with_mode. Where no dialog can be shown, the path prompt
// asks instead.
void open_file_dialog(int32_t slot);
// Asks for a name to save under; a chosen one is saved by save_with_mode.
// Both dialogs leave file_path and file_mode as they were when nothing was
// loaded or saved.
void save_file_dialog(int32_t slot);
// Loads file_path in the entry's mode and shows it; a failed load keeps the
// Document, the view and the previous mode.
void load_with_mode(int32_t slot);
// Saves to file_path in the entry's mode; a saved file's name reaches the
// title bar at once, and a save that does not happen keeps the mode. True
// when it was saved.
bool save_with_mode(int32_t slot);
// "Save": keeps file_mode and writes where the Document came from.
void save_under_file_name(int32_t slot);

// The same two for keys, which have no entry to name the mode: Ctrl+O opens
// as text, Ctrl+S saves as "Save" does.
void open_as_text();
void save_in_place();

}  // namespace vusk
