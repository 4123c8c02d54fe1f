// The Document's modified flag and its change notification.
#include "editor/modified.h"

#include "editor/undo.h"

namespace vusk {

void (*modified_changed_hook)() = nullptr;

namespace {

bool modified = false;

// Stores the flag and tells the hook when it flipped.
void set_modified(bool value) {
  if (modified == value) return;
  modified = value;
  if (modified_changed_hook != nullptr) modified_changed_hook();
}

}  // namespace

bool document_modified() { return modified; }
void mark_document_modified() { set_modified(true); }
void mark_document_saved() {
  note_saved_state();
  set_modified(false);
}
void follow_history(bool at_saved) { set_modified(!at_saved); }
void reset_modified_state() { modified = false; }

}  // namespace vusk
