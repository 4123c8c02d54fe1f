// Stepping to the previous or next file of the current file's folder
// (Ctrl+F3, Ctrl+F4). Files layer: included by the dispatcher and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// Loads, in the current file mode, the file `step` (-1 or +1) entries away
// from file_name in a fresh listing of file_path's folder (the current
// directory when file_path names none), or from where that name would sort
// when the listing no longer holds it. Goes on in that direction past
// entries that fail to load (one "error!?" box each), past "." and "..",
// entries that are neither files nor directories and names that do not fit
// file_path (all without a box). A file replaces the Document only when
// `may_replace`; without it, a step that would reach a file loads nothing
// and returns STEP_ASK, so that the caller settles unsaved changes first and
// steps again. STEP_LOADED: file_path is then the file's folder and name,
// and file_name its name. Otherwise file_path, the Document and the names
// are as they were. Draws nothing.
enum StepResult : uint8_t { STEP_NOTHING, STEP_LOADED, STEP_ASK };
StepResult step_directory(int32_t step, bool may_replace);

}  // namespace vusk
