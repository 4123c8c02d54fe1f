// The entry point of vusk.exe: everything happens in the core's start-up.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "app/startup.h"

namespace {

// Tells Windows that the program scales itself, so that on a dense screen
// the system does not stretch (and blur) its pixels. Looked up at run time:
// systems before Vista lack the call and show everything 1:1 anyway.
void declare_dpi_aware() {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  if (user32 == nullptr) return;
  using SetAware = BOOL(WINAPI*)();
  void* const found = reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"));
  const auto set_aware = reinterpret_cast<SetAware>(found);
  if (set_aware != nullptr) set_aware();
}

}  // namespace

// Start-up takes the command line and module handle from the platform
// services itself, so WinMain's arguments are not needed.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  declare_dpi_aware();
  vusk::start_up();
}
