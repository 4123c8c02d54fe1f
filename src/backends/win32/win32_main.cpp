// The entry point of vusk.exe: everything happens in the core's start-up.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include "app/startup.h"

// Start-up takes the command line and module handle from the platform
// services itself, so WinMain's arguments are not needed.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { vusk::start_up(); }
