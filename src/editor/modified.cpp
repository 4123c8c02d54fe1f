// The Document's modified flag.
#include "editor/modified.h"

#include "editor/undo.h"

namespace vusk {

namespace {

bool modified = false;

}  // namespace

bool document_modified() { return modified; }
void mark_document_modified() { modified = true; }
void mark_document_saved() {
  note_saved_state();
  modified = false;
}
void follow_history(bool at_saved) { modified = !at_saved; }
void reset_modified_state() { modified = false; }

}  // namespace vusk
