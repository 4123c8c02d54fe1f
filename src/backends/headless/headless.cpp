// The headless backend: the window, presentation, message queue, dialogs,
// message boxes and clipboard, all in memory and driven by tests or scripts.
#include "backends/headless/headless.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/messages.h"
#include "platform/platform.h"
#include "app/window.h"

namespace vusk {
namespace headless {

HeadlessState state;

namespace {
std::function<void(const std::string&)> transcript_sink;
std::function<void(const std::string&)> script_error_handler;
std::function<void(int)> exit_handler;
}  // namespace

void reset() { state = HeadlessState{}; }

void set_transcript_sink(std::function<void(const std::string&)> sink) { transcript_sink = std::move(sink); }
void set_script_error_handler(std::function<void(const std::string&)> handler) {
  script_error_handler = std::move(handler);
}
void set_exit_handler(std::function<void(int)> handler) { exit_handler = std::move(handler); }

void add_transcript(const std::string& line) {
  state.transcript.push_back(line);
  if (transcript_sink) transcript_sink(line);
}

static void script_error(const std::string& what) {
  if (script_error_handler) {
    script_error_handler(what);
    return;
  }
  std::fprintf(stderr, "vusk: %s\n", what.c_str());
  std::abort();
}

void resize_client(int32_t width, int32_t height) {
  state.client_width = width;
  state.client_height = height;
  send(WM_SIZE, 0, make_position(static_cast<uint32_t>(height), static_cast<uint32_t>(width)));
}

intptr_t send(uint32_t message, uintptr_t wparam, intptr_t lparam) {
  return window_procedure(1, message, wparam, lparam);
}

bool drain_queue() {
  while (!state.queue.empty()) {
    const PlatformMessage m = state.queue.front();
    state.queue.erase(state.queue.begin());
    if (m.message == WM_QUIT) return false;
    window_procedure(m.hwnd, m.message, m.wparam, m.lparam);
  }
  return !state.quit_posted;
}

}  // namespace headless

using headless::state;

// ---- User interaction -------------------------------------------------------

void show_message(const char* text, const char* caption) {
  headless::add_transcript(std::string("box ") + caption + ": " + text);
}

// The clipboard holds the bytes as they were set: scripts give them in the
// form the document's mode takes.
const char* open_clipboard_text(TextEncoding) {
  if (!state.clipboard_has_text) return nullptr;
  state.clipboard_open = true;
  return state.clipboard.c_str();
}

void close_clipboard_text() { state.clipboard_open = false; }

bool set_clipboard_text(const char* text, TextEncoding) {
  state.clipboard_has_text = true;
  state.clipboard = text;
  return true;
}

// Takes the answer from the script's queue and records the question.
QuestionAnswer ask_question(const char* text, const char* caption, QuestionButtons buttons) {
  headless::add_transcript(std::string("question ") + caption + ": " + text);
  // A box without Cancel answers No when it is closed without a choice.
  const QuestionAnswer refusal = buttons == QUESTION_YES_NO ? ANSWER_NO : ANSWER_CANCEL;
  if (state.answers.empty()) {
    headless::script_error("a question opened with no answer queued");
    return refusal;
  }
  const headless::DialogAnswer::Kind kind = state.answers.front().kind;
  state.answers.erase(state.answers.begin());
  switch (kind) {
    case headless::DialogAnswer::YES: return ANSWER_YES;
    case headless::DialogAnswer::NO: return ANSWER_NO;
    case headless::DialogAnswer::CANCEL: return refusal;
    default:
      headless::script_error("the queued answer is a file dialog's, not the question's");
      return refusal;
  }
}

bool file_dialog(bool save, uint32_t, char* path) {
  const char* kind = save ? "save" : "open";
  if (state.dialogs_unavailable) {
    headless::add_transcript(std::string("dialog ") + kind + " -> unavailable");
    state.dialog_error = DIALOG_UNAVAILABLE;
    return false;
  }
  if (state.answers.empty()) {
    headless::script_error(std::string(save ? "a " : "an ") + kind + " dialog opened with no answer queued");
    state.dialog_error = 0;
    return false;
  }
  const headless::DialogAnswer answer = state.answers.front();
  state.answers.erase(state.answers.begin());
  switch (answer.kind) {
    case headless::DialogAnswer::OPEN:
    case headless::DialogAnswer::SAVE: {
      const bool wants_save = answer.kind == headless::DialogAnswer::SAVE;
      if (wants_save != save) {
        headless::script_error(std::string("the queued answer is not for the ") + kind + " dialog that opened");
        state.dialog_error = 0;
        return false;
      }
      if (answer.path.size() >= 256) {
        headless::add_transcript(std::string("dialog ") + kind + " -> fail (name too long)");
        state.dialog_error = 0x3003;  // FNERR_BUFFERTOOSMALL
        return false;
      }
      std::memcpy(path, answer.path.c_str(), answer.path.size() + 1);
      headless::add_transcript(std::string("dialog ") + kind + " -> " + answer.path);
      return true;
    }
    case headless::DialogAnswer::CANCEL:
      headless::add_transcript(std::string("dialog ") + kind + " -> cancel");
      state.dialog_error = 0;
      return false;
    case headless::DialogAnswer::FAIL:
      headless::add_transcript(std::string("dialog ") + kind + " -> fail " + std::to_string(answer.code));
      state.dialog_error = answer.code;
      return false;
    case headless::DialogAnswer::YES:
    case headless::DialogAnswer::NO:
      headless::script_error(std::string("the queued answer is a question's, not the ") + kind + " dialog's");
      state.dialog_error = 0;
      return false;
  }
  return false;
}

uint32_t file_dialog_error() { return state.dialog_error; }

// The words of the Linux program that finds no zenity, so that a headless
// frame shows what its window shows.
const char* file_dialog_unavailable_reason() { return "zenity is not installed"; }

void exit_process(int code) {
  headless::add_transcript("exit " + std::to_string(code));
  if (headless::exit_handler) headless::exit_handler(code);
  std::fflush(stdout);
  std::exit(code);
}

// ---- Window and presentation -------------------------------------------------

uintptr_t create_platform_window(uint32_t style, uint32_t outer_width, uint32_t outer_height, const char* title) {
  state.window_created = true;
  state.window_style = style;
  state.window_title = title;
  state.client_width = static_cast<int32_t>(outer_width) - headless::FRAME_EXTRA_WIDTH;
  state.client_height = static_cast<int32_t>(outer_height) - headless::FRAME_EXTRA_HEIGHT;
  window_procedure(1, WM_CREATE, 0, 0);
  return 1;
}

uintptr_t module_handle() { return 1; }

void get_window_rect(PlatformRect* rect) {
  *rect = {100, 100, 100 + state.client_width + headless::FRAME_EXTRA_WIDTH,
           100 + state.client_height + headless::FRAME_EXTRA_HEIGHT};
}

void get_client_rect(PlatformRect* rect) { *rect = {0, 0, state.client_width, state.client_height}; }

void resize_platform_window(uint32_t outer_width, uint32_t outer_height) {
  state.client_width = static_cast<int32_t>(outer_width) - headless::FRAME_EXTRA_WIDTH;
  state.client_height = static_cast<int32_t>(outer_height) - headless::FRAME_EXTRA_HEIGHT;
}

void set_window_minimum_size(uint32_t outer_width, uint32_t outer_height) {
  state.min_outer_width = outer_width;
  state.min_outer_height = outer_height;
}

void set_window_title(const char* title) {
  if (state.window_created) state.window_title = title;
}

void invalidate_now(const PlatformRect* rect) {
  PlatformRect r = rect != nullptr ? *rect : PlatformRect{0, 0, state.client_width, state.client_height};
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, state.client_width);
  r.bottom = std::min(r.bottom, state.client_height);
  state.presented.push_back(r);
  if (r.left >= r.right || r.top >= r.bottom) return;
  state.paint_rect = r;
  window_procedure(1, WM_PAINT, 0, 0);
}

void paint_frame(const uint32_t* pixels, uint32_t width, uint32_t height) {
  const auto cw = static_cast<size_t>(state.client_width);
  const auto ch = static_cast<size_t>(state.client_height);
  if (state.screen.size() != cw * ch) state.screen.assign(cw * ch, 0);
  const PlatformRect& r = state.paint_rect;
  for (int32_t y = r.top; y < r.bottom && y < static_cast<int32_t>(height); ++y) {
    const uint32_t* row = pixels + static_cast<size_t>(height - 1 - y) * width;
    for (int32_t x = r.left; x < r.right && x < static_cast<int32_t>(width); ++x) {
      state.screen[static_cast<size_t>(y) * cw + x] = row[x];
    }
  }
}

intptr_t default_handling(uintptr_t hwnd, uint32_t message, uintptr_t, intptr_t) {
  ++state.default_handled;
  if (message == WM_CLOSE) window_procedure(hwnd, WM_DESTROY, 0, 0);  // DestroyWindow
  return 0;
}

void post_quit_message(int code) {
  state.quit_posted = true;
  state.quit_code = code;
  state.queue.push_back({1, WM_QUIT, static_cast<uintptr_t>(code), 0});
}

void post_close_message() { state.queue.push_back({1, WM_CLOSE, 0, 0}); }

bool get_platform_message(PlatformMessage* message) {
  if (state.queue.empty()) return false;  // nothing more will come
  *message = state.queue.front();
  state.queue.erase(state.queue.begin());
  return message->message != WM_QUIT;
}

void dispatch_platform_message(const PlatformMessage* message) {
  window_procedure(message->hwnd, message->message, message->wparam, message->lparam);
}

}  // namespace vusk
