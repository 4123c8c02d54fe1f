// Placeholder until the SDL2 backend lands.
#include <cstdlib>

#include "shell/platform.h"

namespace vusk {
void exit_process(int code) { std::exit(code); }
}  // namespace vusk

int main() { return 0; }
