// Placeholder until directory stepping lands.
#include "files/dir_step.h"

namespace vusk {

bool step_directory(int32_t) { return false; }

}  // namespace vusk
