// Whether the Document holds changes that no file has: set by every change
// to its text, cleared by a successful load or save. The window's title shows
// it, and closing, quitting or loading another file asks before dropping it.
// Editor layer: the editor, the files and every layer above may include it.
#pragma once

namespace vusk {

// True while the Document differs from what was last loaded or saved.
bool document_modified();
// Sets the flag; every primitive that changes the Document's bytes calls it.
void mark_document_modified();
// Clears the flag: a load or a save has just made the file and the Document
// the same.
void mark_document_saved();

// Undo and redo report here whether they led back to the saved state; the
// flag follows (wire_layers installs it as the history's listener).
void follow_history(bool at_saved);

// Clears the flag, for a fresh start.
void reset_modified_state();

}  // namespace vusk
