// Stepping to the previous or next file of the current directory.
// Included by the editor.
#pragma once
#include <cstdint>

namespace vusk {

// Loads the file `step` (-1 or +1) entries away in the listing, passing over
// entries that fail to load. True when a file was loaded; false when the
// listing ran out (file_path is then emptied).
bool step_directory(int32_t step);

}  // namespace vusk
