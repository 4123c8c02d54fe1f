// Stepping to the previous or next file of the current directory (Ctrl+F3,
// Ctrl+F4). Files layer: included by the dispatcher and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// Loads, in the current file mode, the file `step` (-1 or +1) entries away
// from file_name in a fresh listing of the current directory, going on in
// that direction past entries that fail to load (one "error!?" box each),
// that are neither files nor directories (passed over unopened, without a
// box) or whose names do not fit file_path. True when a file was loaded
// (file_path and file_name then name it); false when the listing ran out,
// with file_path emptied and the Document as it was. Draws nothing.
bool step_directory(int32_t step);

}  // namespace vusk
