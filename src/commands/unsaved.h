// The question asked before unsaved changes would be dropped: by Quit, by
// closing the window, by the open dialogs, by Ctrl+F2's reload and by
// Ctrl+F3/F4's step to another file. Commands layer: included by the
// dispatcher, the screens, the app (the window) and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// While the Document has unsaved changes, asks "Save changes to NAME?".
// Yes saves as the File menu's "Save" does; No goes on without saving;
// Cancel stops. True when the action that would drop the Document may go
// on: no changes, No, or Yes with the save done. A save that fails (after
// its "error!?" box) stops the action like Cancel, with nothing discarded.
bool settle_unsaved_changes();

}  // namespace vusk
