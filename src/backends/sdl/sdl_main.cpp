// The entry point of the SDL2 program: the command line from argv, the
// POSIX places of an installed copy's files, SDL's video, then the core's
// start-up, which never returns.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>

#include "backends/posix/posix_support.h"
#include "app/startup.h"

int main(int argc, char** argv) {
  vusk::keep_running_past_file_size_limit();
  vusk::set_command_line_from_argv(argc, argv);
  vusk::install_posix_hooks();
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "vusk: cannot start the display: %s\n", SDL_GetError());
    return 1;
  }
  vusk::start_up();
}
