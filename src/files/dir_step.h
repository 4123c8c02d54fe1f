// Stepping to the previous or next file of the current file's folder
// (Ctrl+F3, Ctrl+F4). Files layer: included by the app, which hands it to the
// dispatcher, and by the tests.
#pragma once
#include <cstdint>

namespace vusk {

// Loads, in the current file mode, the file `step` (-1 or +1) entries away
// from file_name in a fresh listing of file_path's folder (the current
// directory when file_path names none), or from where that name would sort
// when the listing no longer holds it. Goes on in that direction past
// entries that fail to load (one "error!?" box each), past "." and "..",
// entries that are neither files nor directories and names that do not fit
// file_path (all without a box). `may_replace` (null: always) is asked
// once, just before the first file would replace the Document; false stops
// the step. True when a file was loaded: file_path is then its folder and
// name, and file_name its name. False when the listing ran out or the
// question stopped it, with file_path, the Document and the names as they
// were. Draws nothing.
bool step_directory(int32_t step, bool (*may_replace)());

}  // namespace vusk
