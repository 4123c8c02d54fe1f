// The headless backend's controls, for the tests and vusk-script: an
// in-memory screen that receives presented pixels, a message queue, scripted
// dialog answers and clipboard text, and a transcript of message boxes,
// dialogs and the process exit. Backends layer (headless): included only by
// vusk-script and the tests.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vusk::headless {

// The outer window is this much larger than its client area, like a real
// framed window, so that the client-size correction is exercised.
constexpr int32_t FRAME_EXTRA_WIDTH = 16;
constexpr int32_t FRAME_EXTRA_HEIGHT = 39;

// What the next file dialog or question returns: a chosen path (for an
// open or a save dialog), a cancel (for either), a failure with its extended
// error code (a dialog), or yes or no (a question).
struct DialogAnswer {
  enum Kind { OPEN, SAVE, CANCEL, FAIL, YES, NO } kind;
  std::string path;   // OPEN and SAVE: the chosen path
  uint32_t code = 0;  // FAIL: the extended error
};

// Everything the headless platform holds: the window, the display, the
// queue, and what the user's side answers and records.
struct HeadlessState {
  // The window.
  bool window_created = false;
  std::string window_title;  // as created, then as set_window_title left it
  uint32_t window_style = 0;
  // The least outer size given by set_window_minimum_size (0 x 0: none).
  // Recorded only: a scripted resize is the frame's own test of its least size.
  uint32_t min_outer_width = 0, min_outer_height = 0;
  int32_t client_width = 0, client_height = 0;
  // Pixels as presented on the "display": only invalidated rectangles are
  // copied here, as a real window would repaint them.
  std::vector<uint32_t> screen;
  PlatformRect paint_rect{};  // the rectangle being painted
  std::vector<PlatformRect> presented;  // every invalidated rectangle, in order
  int default_handled = 0;              // messages given default handling
  std::vector<PlatformMessage> queue;   // posted messages
  bool quit_posted = false;
  int quit_code = 0;

  // User interaction.
  std::vector<std::string> transcript;
  std::vector<DialogAnswer> answers;
  bool clipboard_has_text = false;
  std::string clipboard;  // CF_TEXT's form: CR LF line ends, as a copy leaves it
  bool clipboard_open = false;
  uint32_t dialog_error = 0;
  // No program can show a file dialog (as on Linux without zenity): every
  // dialog fails with DIALOG_UNAVAILABLE and takes no queued answer.
  bool dialogs_unavailable = false;
};
extern HeadlessState state;  // the headless platform's one state

// Clears everything above (between tests).
void reset();
// Receives each transcript line as it is written (vusk-script prints them).
void set_transcript_sink(std::function<void(const std::string&)> sink);
// Called instead of exiting when a script asks for something it did not
// provide (a dialog without a queued answer). Default: abort.
void set_script_error_handler(std::function<void(const std::string&)> handler);
// Called by exit_process before the process ends; tests may throw from it.
void set_exit_handler(std::function<void(int)> handler);
// Appends a line to the transcript and hands it to the sink.
void add_transcript(const std::string& line);

// Sets the client size as a user's resize would and sends WM_SIZE.
void resize_client(int32_t width, int32_t height);
// Sends a message straight to the window procedure.
intptr_t send(uint32_t message, uintptr_t wparam, intptr_t lparam);
// Delivers posted messages until the queue is empty; false once WM_QUIT came.
bool drain_queue();

}  // namespace vusk::headless
