// The window-system vocabulary the core speaks: message numbers, mouse-button
// bits and virtual-key codes, with the values Win32 gives them. Every backend
// translates its own events into these; none adds a vocabulary of its own.
// Platform layer, the bottom: anyone may include this header; it includes
// nothing platform-specific.
#pragma once
#include <cstdint>

namespace vusk {

// Message numbers.
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_SIZE = 0x0005;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;
constexpr uint32_t WM_KEYDOWN = 0x0100;
constexpr uint32_t WM_KEYUP = 0x0101;
// WM_CHAR carries a control character or ASCII (below 0x80), or one byte of
// text already in the document's encoding, taken as it is (an ANSI window's
// character). A character the user types beyond ASCII comes as WM_UNICHAR
// with its code point: the core encodes it for the document's display (UTF-8
// or CP932). Code points, not UTF-16 units, so that no backend's surrogate
// halves reach the core; a Unicode window pairs them where they arise.
constexpr uint32_t WM_CHAR = 0x0102;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_SYSKEYUP = 0x0105;
constexpr uint32_t WM_UNICHAR = 0x0109;
// WM_UNICHAR's probe: a window that answers it with 1 takes code points.
constexpr uint32_t UNICODE_NOCHAR = 0xFFFF;
constexpr uint32_t WM_MOUSEMOVE = 0x0200;
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
// The second press of a double-click, in place of its WM_LBUTTONDOWN.
constexpr uint32_t WM_LBUTTONDBLCLK = 0x0203;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A;
// Files dropped onto the window. The core's form, which every backend
// delivers (Win32's own carries a drop handle instead): the first
// parameter points at the first file's path, terminated, valid during the
// call; the others are left out.
constexpr uint32_t WM_DROPFILES = 0x0233;
constexpr uint32_t WM_USER = 0x0400;

// Mouse-button and modifier bits of a mouse message's first parameter.
constexpr uint32_t MK_LBUTTON = 0x0001;
constexpr uint32_t MK_RBUTTON = 0x0002;
constexpr uint32_t MK_SHIFT = 0x0004;
constexpr uint32_t MK_CONTROL = 0x0008;
constexpr uint32_t MK_MBUTTON = 0x0010;

// Virtual-key codes.
constexpr uint32_t VK_BACK = 8;
constexpr uint32_t VK_TAB = 9;
constexpr uint32_t VK_RETURN = 13;
constexpr uint32_t VK_SHIFT = 16;
constexpr uint32_t VK_CONTROL = 17;
constexpr uint32_t VK_MENU = 18;  // Alt
constexpr uint32_t VK_PAUSE = 19;
constexpr uint32_t VK_CAPITAL = 20;
constexpr uint32_t VK_ESCAPE = 27;
constexpr uint32_t VK_SPACE = 32;
constexpr uint32_t VK_PRIOR = 33;  // Page Up
constexpr uint32_t VK_NEXT = 34;   // Page Down
constexpr uint32_t VK_END = 35;
constexpr uint32_t VK_HOME = 36;
constexpr uint32_t VK_LEFT = 37;
constexpr uint32_t VK_UP = 38;
constexpr uint32_t VK_RIGHT = 39;
constexpr uint32_t VK_DOWN = 40;
constexpr uint32_t VK_INSERT = 45;
constexpr uint32_t VK_DELETE = 46;
constexpr uint32_t VK_F1 = 112;
constexpr uint32_t VK_F2 = 113;
constexpr uint32_t VK_F3 = 114;
constexpr uint32_t VK_F4 = 115;
constexpr uint32_t VK_F5 = 116;
constexpr uint32_t VK_F6 = 117;
constexpr uint32_t VK_F7 = 118;
constexpr uint32_t VK_F8 = 119;
constexpr uint32_t VK_F9 = 120;
constexpr uint32_t VK_F10 = 121;
constexpr uint32_t VK_F12 = 123;
constexpr uint32_t VK_NUMLOCK = 144;
constexpr uint32_t VK_SCROLL = 145;

// Window styles used by the window part.
constexpr uint32_t WINDOW_STYLE_FIXED = 0x8A0000;
constexpr uint32_t WINDOW_STYLE_RESIZABLE = 0x8F0000;

// RedrawWindow flags used for presentation.
constexpr uint32_t RDW_INVALIDATE_UPDATENOW = 0x101;

// Helpers for the position word of mouse messages: x low, y high, unsigned.
constexpr intptr_t make_position(uint32_t y, uint32_t x) {
  return static_cast<intptr_t>(((y & 0xFFFFu) << 16) | (x & 0xFFFFu));
}

}  // namespace vusk
