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

// Button handlers of the File menu; each takes the WidgetSlot of the
// activated entry, whose value is the file mode (0 text, 1 hex listing).

// Asks about unsaved changes, then for a file to open; a chosen one is
// loaded by load_with_mode.
void open_file_dialog(int32_t slot);
// Asks for a name to save under, and saves in the entry's mode as
// save_with_mode does; a save that does not happen leaves file_path as it was.
void save_file_dialog(int32_t slot);
// Loads file_path in the entry's mode and shows it; a failed load keeps the
// Document, the view and the previous mode.
void load_with_mode(int32_t slot);
// Saves to file_path in the entry's mode; a saved file's name reaches the
// title bar at once, and a save that does not happen keeps the mode.
void save_with_mode(int32_t slot);
// "Save": keeps file_mode and writes where the Document came from.
void save_under_file_name(int32_t slot);

// The same two for keys, which have no entry to name the mode: Ctrl+O opens
// as text, Ctrl+S saves as "Save" does.
void open_as_text();
void save_in_place();

}  // namespace vusk
