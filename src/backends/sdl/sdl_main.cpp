// The entry point of the SDL2 program: the command line from argv, the
// POSIX places of an installed copy's files, SDL's video, then the core's
// start-up, which never returns.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "backends/posix/posix_support.h"
#include "app/startup.h"

namespace {

// The environment variable `name`, or null when it is unset or empty.
const char* set_variable(const char* name) {
  const char* value = SDL_getenv(name);
  return value != nullptr && *value != 0 ? value : nullptr;
}

// What keeps SDL from showing a window when it fell back to a driver that
// draws nowhere: no display named, or the one named cannot be reached.
std::string missing_display(const char* driver) {
  const char* asked = set_variable("SDL_VIDEODRIVER");
  if (asked != nullptr && std::strcmp(asked, driver) == 0) {
    return std::string("SDL_VIDEODRIVER=") + asked + " shows no window";
  }
  const char* x11 = set_variable("DISPLAY");
  const char* wayland = set_variable("WAYLAND_DISPLAY");
  if (x11 != nullptr) return std::string("cannot open the X display ") + x11;
  if (wayland != nullptr) return std::string("cannot open the Wayland display ") + wayland;
  return "DISPLAY is not set";
}

// SDL's offscreen and dummy drivers run the program with no window anyone
// can see, forever; without a display the program ends instead.
bool refuse_windowless_driver() {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver != nullptr && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0) return false;
  std::fprintf(stderr, "vusk: no display (%s)\n", missing_display(driver != nullptr ? driver : "").c_str());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  vusk::keep_running_past_file_size_limit();
  vusk::set_command_line_from_argv(argc, argv);
  vusk::install_posix_hooks();
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vusk: cannot start the display: %s\n", SDL_GetError());
    return 1;
  }
  if (refuse_windowless_driver()) {
    SDL_Quit();
    return 1;
  }
  vusk::start_up();
}
