// User interaction under SDL2: message boxes and the unsaved-changes
// question, the clipboard's text (UTF-8, converted from and to CP932 in
// Shift_JIS mode),
// the file dialogs run as a helper program, and the process exit.
//
// File dialogs run zenity, or the program named by the environment variable
// VUSK_DIALOG, which is called as
//     $VUSK_DIALOG open|save CURRENT_PATH
// and prints the chosen path on standard output. Its exit code says what
// happened: 0 a path was chosen, 1 the user cancelled, anything else failure.
// A helper that cannot be started, cannot reach the display or fails is
// reported as DIALOG_UNAVAILABLE, with the reason, so that the core can ask
// for the path itself.
#include <SDL.h>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "backends/sdl/sdl_backend.h"
#include "backends/sdl/sdl_translate.h"

namespace vusk {

using sdl::state;

namespace {

// The file-dialog record flag that asks before overwriting a file.
constexpr uint32_t OFN_OVERWRITEPROMPT = 0x0002;
// Extended error codes, with the values Win32's common dialogs give them.
constexpr uint32_t FNERR_INVALIDFILENAME = 0x3002;
constexpr uint32_t FNERR_BUFFERTOOSMALL = 0x3003;
constexpr uint32_t DIALOG_PATH_BYTES = 256;
constexpr size_t HELPER_OUTPUT_LIMIT = 64 * 1024;
constexpr int MODAL_PUMP_MS = 30;

struct HelperRun {
  bool started = false;
  int start_error = 0; // why it did not start: an errno value
  int exit_code = -1;  // -1 when it did not exit normally
  std::string out, err;
};

// The read ends of a helper's standard output and standard error.
struct HelperPipes {
  int out = -1, err = -1;
};

// Starts a helper program (no shell) with its standard input from /dev/null
// and its output and errors into pipes; returns its pid, or -1 with nothing
// left open and the errno value in `error` when it could not be started.
pid_t spawn_helper(const std::vector<std::string>& args, HelperPipes& pipes, int& error) {
  int out_pipe[2], err_pipe[2];
  error = 0;
  if (pipe2(out_pipe, O_CLOEXEC) != 0) {
    error = errno;
    return -1;
  }
  if (pipe2(err_pipe, O_CLOEXEC) != 0) {
    error = errno;
    close(out_pipe[0]);
    close(out_pipe[1]);
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out_pipe[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err_pipe[1], 2);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out_pipe[1]);
  close(err_pipe[1]);
  if (spawned != 0) {
    error = spawned;
    close(out_pipe[0]);
    close(err_pipe[0]);
    return -1;
  }
  pipes = HelperPipes{out_pipe[0], err_pipe[0]};
  return pid;
}

// Reads both pipes into the run until the helper closes them (keeping at
// most HELPER_OUTPUT_LIMIT bytes of each), while the window keeps
// repainting; both pipes are closed afterwards.
void collect_output(const HelperPipes& pipes, HelperRun& run) {
  pollfd fds[2] = {{pipes.out, POLLIN, 0}, {pipes.err, POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  int open_pipes = 2;
  while (open_pipes > 0) {
    if (poll(fds, 2, MODAL_PUMP_MS) < 0 && errno != EINTR) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        if (sinks[i]->size() < HELPER_OUTPUT_LIMIT) sinks[i]->append(buffer, static_cast<size_t>(got));
      } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --open_pipes;
      }
    }
    sdl::pump_modal();
  }
  for (const pollfd& p : fds) {
    if (p.fd >= 0) close(p.fd);
  }
}

// Waits for the helper to end: its exit code, or -1 when it did not exit
// normally.
int wait_for_exit(pid_t pid) {
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(pid, &status, 0);
  } while (waited < 0 && errno == EINTR);
  return waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs a helper program (no shell) until it ends, collecting what it prints
// while the window keeps repainting.
HelperRun run_helper(const std::vector<std::string>& args) {
  HelperRun run;
  HelperPipes pipes;
  const pid_t pid = spawn_helper(args, pipes, run.start_error);
  if (pid < 0) return run;
  run.started = true;
  collect_output(pipes, run);
  run.exit_code = wait_for_exit(pid);
  return run;
}

// A dialog that `program` could not show: false, with DIALOG_UNAVAILABLE and
// the reason ("zenity" + " is not installed") kept for the core.
bool unavailable(const std::string& program, const char* what) {
  state.dialog_error = DIALOG_UNAVAILABLE;
  state.dialog_reason = program + what;
  return false;
}

// Why a helper that did not start is missing, in the user's words.
const char* start_failure(int error) { return error == ENOENT ? " is not installed" : " cannot be started"; }

// Turns the helper's outcome into the dialog's: the chosen path into `path`
// and true, or false with the extended error in state.dialog_error (0 for a
// cancel). `program` names the helper to the user.
bool dialog_outcome(const HelperRun& run, char* path, const std::string& program) {
  state.dialog_error = 0;
  if (!run.started) return unavailable(program, start_failure(run.start_error));
  if (run.exit_code == 0) {
    std::string chosen = run.out;
    if (!chosen.empty() && chosen.back() == '\n') chosen.pop_back();
    if (chosen.empty() || chosen.find('\0') != std::string::npos) {
      state.dialog_error = FNERR_INVALIDFILENAME;
      return false;
    }
    if (chosen.size() >= DIALOG_PATH_BYTES) {
      state.dialog_error = FNERR_BUFFERTOOSMALL;
      return false;
    }
    std::memcpy(path, chosen.c_str(), chosen.size() + 1);
    return true;
  }
  // GTK also exits with 1 when it has no display; anything it says besides
  // that (settings warnings, say) does not make a cancel a failure.
  const bool no_display = run.err.find("cannot open display") != std::string::npos;
  if (run.exit_code == 1 && !no_display) return false;
  return unavailable(program, no_display ? " cannot open the display" : " failed");
}

// The helper's name as the user knows it: the last part of its path.
std::string program_name(const std::string& helper) {
  const size_t slash = helper.find_last_of('/');
  return slash == std::string::npos ? helper : helper.substr(slash + 1);
}

}  // namespace

bool file_dialog(bool save, uint32_t flags, char* path) {
  std::vector<std::string> args;
  const char* helper = std::getenv("VUSK_DIALOG");
  if (helper != nullptr && helper[0] != 0) {
    args = {helper, save ? "save" : "open", path};
  } else {
    args = {"zenity", "--file-selection"};
    if (save) {
      args.emplace_back("--save");
      if ((flags & OFN_OVERWRITEPROMPT) != 0) args.emplace_back("--confirm-overwrite");
    }
    args.push_back(std::string("--filename=") + path);
  }
  return dialog_outcome(run_helper(args), path, program_name(args[0]));
}

uint32_t file_dialog_error() { return state.dialog_error; }

const char* file_dialog_unavailable_reason() { return state.dialog_reason.c_str(); }

void show_message(const char* text, const char* caption) {
  const std::string shown = sdl::shown_text(text, std::strlen(text));
  const std::string shown_caption = sdl::shown_text(caption, std::strlen(caption));
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, shown_caption.c_str(), shown.c_str(), state.window) != 0) {
    // Without a display for the box the message must still reach the user.
    std::fprintf(stderr, "vusk: %s %s\n", caption, text);
  }
  // Input aimed at the window while the box was up is not for the editor.
  sdl::pump_modal();
}

// X11 text is UTF-8: taken as it is in UTF-8 mode, converted to CP932 in
// Shift_JIS mode, where the text of this program's own last copy gives back
// the bytes copied (even those that no character holds).
const char* open_clipboard_text(TextEncoding encoding) {
  char* text = SDL_GetClipboardText();
  if (text == nullptr) return nullptr;
  const size_t n = std::strlen(text);
  if (encoding == TEXT_UTF8) {
    state.clipboard = sdl::crlf_line_ends(std::string(text, n));  // the core reads CF_TEXT's CR LF
  } else if (n != 0 && state.copied_utf8 == text) {
    state.clipboard = state.copied_cp932;
  } else {
    state.clipboard = sdl::crlf_line_ends(sdl::utf8_to_cp932(text, n));
  }
  SDL_free(text);
  if (state.clipboard.empty()) return nullptr;  // SDL's "" means no text
  return state.clipboard.c_str();
}

void close_clipboard_text() {
  state.clipboard.clear();
  state.clipboard.shrink_to_fit();
}

// X11 programs read UTF-8 with LF line ends; the core gives CR LF, and in
// Shift_JIS mode CP932. UTF-8 mode's bytes go as they are, even where they
// are not valid UTF-8: a copy never changes what was selected.
bool set_clipboard_text(const char* text, TextEncoding encoding) {
  const std::string lf = sdl::lf_line_ends(text);
  state.copied_cp932.clear();
  state.copied_utf8.clear();
  if (encoding == TEXT_UTF8) return SDL_SetClipboardText(lf.c_str()) == 0;
  std::string utf8 = sdl::cp932_to_utf8(lf.data(), lf.size());
  if (SDL_SetClipboardText(utf8.c_str()) != 0) return false;
  state.copied_cp932 = text;
  state.copied_utf8 = std::move(utf8);
  return true;
}

// SDL's own box: Yes, No and Cancel, or Yes and No; Return answers Yes,
// Escape the last button.
QuestionAnswer ask_question(const char* text, const char* caption, QuestionButtons buttons) {
  const bool cancel = buttons == QUESTION_YES_NO_CANCEL;
  const QuestionAnswer refusal = cancel ? ANSWER_CANCEL : ANSWER_NO;
  const SDL_MessageBoxButtonData choices[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
      {cancel ? Uint32{0} : Uint32{SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT}, ANSWER_NO, "No"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_CANCEL, "Cancel"},
  };
  const std::string utf8_text = sdl::shown_text(text, std::strlen(text));
  const std::string utf8_caption = sdl::shown_text(caption, std::strlen(caption));
  const SDL_MessageBoxData box{SDL_MESSAGEBOX_INFORMATION, state.window, utf8_caption.c_str(), utf8_text.c_str(),
                               cancel ? 3 : 2, choices, nullptr};
  int chosen = -1;
  if (SDL_ShowMessageBox(&box, &chosen) != 0) {
    // Without a display for the box nothing can be asked: nothing is dropped.
    std::fprintf(stderr, "vusk: %s %s (cannot ask: %s)\n", caption, text, SDL_GetError());
    chosen = refusal;
  }
  sdl::pump_modal();
  if (chosen == ANSWER_YES || chosen == ANSWER_NO) return static_cast<QuestionAnswer>(chosen);
  return refusal;  // closed without a choice
}

// SDL is not shut down: the window goes with the process's X connection, and
// shutting down would unload libraries whose blocks are still in use.
void exit_process(int code) {
  std::fflush(nullptr);
  std::exit(code);
}

}  // namespace vusk
