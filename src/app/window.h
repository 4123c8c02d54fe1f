// The one window: frame size, the window procedure, presentation of the
// DirtyRect, and the drawing of the status message (whose state lives in
// widgets/status.h). App layer: included by start-up, the backends and the
// tests.
#pragma once
#include <cstdint>

#include "widgets/input.h"   // RouteResult, for act_on_route
#include "widgets/status.h"  // the message that update_status_line draws

namespace vusk {

// The bitmap header that describes the frame to the platform's presentation:
// a 32-bit bottom-up image of the frame's size.
struct BitmapInfoHeader {
  uint32_t size;
  int32_t width, height;
  uint16_t planes, bit_count;
  uint32_t compression, size_image;
  int32_t x_pels_per_meter, y_pels_per_meter;
  uint32_t clr_used, clr_important;
};

// Bits of window_flags, given to create_window.
enum WindowFlag : uint8_t {
  WINDOW_KEEP_ESCAPE = 0x02,  // Escape does not close the window
  WINDOW_RESIZABLE = 0x04,    // the user may resize the window
  WINDOW_JIS_FONT = 0x10,     // load jisfont.bin; cleared when there is none
};

// The window and its frame: the presentation header, the size limits, the
// handles, the re-entrancy guard and the layout routine run after a resize.
struct WindowState {
  BitmapInfoHeader bitmap_info;
  uint8_t window_flags;                           // WindowFlag bits
  uint32_t min_frame_width, min_frame_height;     // the least frame a resize gives
  int32_t frame_extra_width, frame_extra_height;  // outer size less client size
  uintptr_t hwnd, hinstance;
  uint8_t in_wndproc;   // non-zero while a message is being handled
  uint8_t shows_status_line;  // non-zero: each drawing event ends with update_status_line
  void (*layout_callback)();  // lays the widgets out again after a resize
  uint8_t* jis_font_block;  // owned block behind raster.jis_font
  uint8_t* unicode_font_block;  // owned block behind raster.unicode_font
};
extern WindowState win;  // the one window

// Frees the fonts, zeroes the state, and installs the status line's
// paint-over (status.paint_over), so the status service works wherever a
// window state does.
void reset_window_state();

// Sets up the frame, the window, the Unicode glyph file when there is one,
// and, with WINDOW_JIS_FONT, the double-byte font; that flag stays set in
// window_flags only if a font was read.
void create_window(uint32_t flags, uint32_t height, uint32_t width, const char* title);
// Reads the double-byte font at `path` into a new block; null when the file is
// missing, unreadable or not exactly one font image long.
uint8_t* load_font_file(const char* path);
// Reads the Unicode glyph file at `path` into a new block; null when the file
// is missing, unreadable, or not a whole glyph file (unicode_font_accepts).
uint8_t* load_unicode_font_file(const char* path);
// The single entry of platform messages: paint, life cycle, resize, and input
// for the router; presents whatever the message drew.
intptr_t window_procedure(uintptr_t hwnd, uint32_t message, uintptr_t wparam, intptr_t lparam);
// Does what the router left to the window: a key to the dispatcher, a press
// or the wheel to the text view (defined with the window procedure).
void act_on_route(const RouteResult& r);
// Does what run_command left to the window (its CommandResult bits): Ctrl+S
// saves as "Save", Ctrl+O opens as "Open as text".
void act_on_command(uint32_t result);
// Shows a posted status message, or paints over the one shown last time.
void update_status_line();

}  // namespace vusk
