// The SDL2 backend's own state and the few routines its files share: the
// window, the rectangle being painted, the message queue filled from SDL
// events, and the event pump used while a modal helper runs. Backends layer
// (SDL2): included only by src/backends/sdl.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "platform/platform.h"

struct SDL_Window;  // SDL's window, declared here so that only the .cpp files include SDL
struct SDL_Surface;

namespace vusk::sdl {

// The backend's state: one window, its input state and its queue.
struct SdlState {
  SDL_Window* window;
  uintptr_t hwnd;
  PlatformRect paint_rect;            // the rectangle WM_PAINT copies
  std::deque<PlatformMessage> queue;  // translated and posted messages
  bool quit_posted;
  int quit_code;
  uint32_t buttons;                   // MK_ bits of the mouse buttons held
  uint16_t key_mod;                   // KMOD_ bits of the last key event
  int32_t reported_width, reported_height;  // client size of the last WM_SIZE
  int32_t min_width, min_height;      // the least window size, 0 for none
  std::string clipboard;              // the text handed out until closed
  std::string copied_cp932;           // the last Shift_JIS copy's bytes ...
  std::string copied_utf8;            // ... and the UTF-8 the X clipboard got for them
  uint32_t dialog_error;              // extended error of the last file dialog
  std::string dialog_reason;          // why it could not be shown (DIALOG_UNAVAILABLE)
  uint32_t scale;                     // display pixels per frame pixel, each way (1 until the window exists)
  int32_t room_width, room_height;    // display pixels the window may take on the screen, 0 when unknown
  std::vector<uint32_t> wide_row;     // one frame row widened by the factor, while painting
  bool drop_taken;                    // the drop under way has given its first file
  std::string drop_path;              // that file, until its WM_DROPFILES is dispatched
};
extern SdlState state;  // the SDL2 backend's one state

// Handles the SDL events that are waiting while a modal helper (a file
// dialog or message box) runs: exposed parts are repainted, releases and
// window changes are kept for later, and presses, moves and typing are
// dropped, as input to a disabled owner window is.
void pump_modal();

// Paints `columns` frame pixels from `src` at display position (x, y) of
// the window surface, enlarged by the window's factor.
void put_row(SDL_Surface* surface, const uint32_t* src, int32_t columns, int32_t x, int32_t y);

}  // namespace vusk::sdl
