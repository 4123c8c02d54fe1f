// POSIX-only entry points that the Linux backends call from main().
// Included only by src/shell/posix, src/shell/sdl and src/shell/headless.
#pragma once

namespace vusk {

// Rebuilds the command line from argv, quoting each argument that contains a
// space, so that the one command-line parser reads it as on Windows.
void set_command_line_from_argv(int argc, char** argv);
// Sets the command line verbatim (tests).
void set_command_line(const char* text);

}  // namespace vusk
