// Translation of SDL input into the core's Win32 vocabulary: virtual-key
// codes, key and system-key messages, synthesised WM_CHAR characters, mouse
// messages with MK_ bits, the wheel word, typed UTF-8 text as code points,
// clipboard text with CR LF line ends, and the core's text as UTF-8 for display.
// Pure functions on plain values (SDL key symbols, scancodes and KMOD_ bits),
// so that they can be checked without a display. Backends layer (SDL2):
// included only by src/backends/sdl and its tests.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace vusk::sdl {

// The messages one SDL event translates into, in delivery order.
using Messages = std::vector<PlatformMessage>;

// The virtual-key code of a key (SDL key symbol, scancode, KMOD_ bits of the
// event); 0 for a key that has none.
uint32_t virtual_key(int32_t sym, int32_t scancode, uint16_t mod);

// Appends the messages of one key press or release: WM_KEYDOWN/UP, or
// WM_SYSKEYDOWN/UP for left Alt and F10 and while left Alt is held without
// Ctrl; on a press without Alt, also the control character the key types.
void translate_key(bool down, bool repeat, int32_t sym, int32_t scancode, uint16_t mod, Messages* out);

// Appends one message per character of typed UTF-8 text: WM_CHAR for ASCII,
// WM_UNICHAR with the code point beyond; malformed sequences are dropped.
// `mod` holds the modifiers of the last key event. Text typed with Ctrl (not
// AltGr) or left Alt is dropped: the key press already said what it means.
void translate_text(const char* utf8, uint16_t mod, Messages* out);

// The MK_ bits of a mouse message: the buttons held plus Shift and Ctrl.
uint32_t mouse_key_bits(uint32_t buttons, uint16_t mod);

// Whether (x, y) lies in a client area of `width` x `height`. SDL reports the
// pointer outside the window while a button is held; the Win32 window this
// backend stands in for never captures the pointer, so it does not see such
// moves and releases (a drag past the top edge would otherwise reach the
// router as a huge 16-bit position).
bool inside_client(int32_t x, int32_t y, int32_t width, int32_t height);

// Appends the message of an SDL button press or release at (x, y) of a
// `width` x `height` client area, and keeps `buttons` (MK_LBUTTON,
// MK_RBUTTON, MK_MBUTTON) up to date even when the position lies outside and
// no message is sent. The middle button only counts as held; it has no
// message of its own. The left button's second press of a double-click
// (`clicks` 2) is WM_LBUTTONDBLCLK, as Windows sends it to a class that
// takes double-clicks; a third press is an ordinary one again.
void translate_button(bool down, uint8_t button, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint16_t mod, uint32_t* buttons, Messages* out, uint8_t clicks = 1);

// Appends WM_MOUSEMOVE at (x, y) when it lies inside the `width` x `height`
// client area.
void translate_motion(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t mod, uint32_t buttons,
                      Messages* out);

// Appends WM_MOUSEWHEEL for a vertical wheel step: 120 per notch, signed, in
// the high word of wparam; nothing for a purely horizontal step.
void translate_wheel(float precise_y, bool flipped, int32_t x, int32_t y, uint16_t mod, uint32_t buttons,
                     Messages* out);

// CP932 bytes of UTF-8 text; characters CP932 cannot encode, and malformed
// sequences, are dropped.
std::string utf8_to_cp932(const char* utf8, size_t length);

// The text with CR LF line ends, as CF_TEXT text has them on Windows: each LF
// that no CR stands before gets one. CR LF pairs and lone CRs stay.
std::string crlf_line_ends(const std::string& text);
// The text with LF line ends, as X11 programs expect them: each CR LF pair,
// and each lone CR, becomes one LF.
std::string lf_line_ends(const std::string& text);

// UTF-8 of CP932 text, for what SDL shows (the window title); each byte that
// CP932 does not define, and a lead byte cut off at the end, becomes U+FFFD.
std::string cp932_to_utf8(const char* cp932, size_t length);

// The core's text as SDL shows it (the window title, message boxes): its own
// words are ASCII, and the names in them are the file system's, which are
// UTF-8 here, so well-formed UTF-8 stays as it is; anything else is taken as
// CP932.
std::string shown_text(const char* text, size_t length);

}  // namespace vusk::sdl
