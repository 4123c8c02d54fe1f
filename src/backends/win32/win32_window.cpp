// Win32 window, presentation and message loop, and the services that need the
// window as owner: message boxes, the clipboard and the two file dialogs.
// The core's window procedure receives every message through a trampoline,
// which also hands on a drop as its first file's path and keeps the core's
// Ctrl and Shift true to the system's key state.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "platform/platform.h"
#include "app/display_scale.h"
#include "app/window.h"
#include "backends/win32/win32_text.h"

namespace vusk {

namespace {

struct Win32State {
  HWND hwnd;
  HINSTANCE hinstance;
  MSG last_message;        // keeps time and pointer position for dispatch
  HGLOBAL clipboard_data;  // locked while the clipboard is open
  bool clipboard_open;
  char* clipboard_copy;    // terminated copy of unterminated clipboard text
  POINT min_track_size;    // the least outer size, (0, 0) for none
  LONG scale;              // display pixels per frame pixel, each way (at least 1)
  bool ctrl_told, shift_told;  // the core last heard these modifiers go down
  WPARAM high_surrogate;   // the first half of a character typed in two WM_CHARs, or 0
  bool copied_cp932;       // this window's last copy holds CF_TEXT in CP932
};
Win32State w32;

// The one file-dialog record, shared by the open and save dialogs.
OPENFILENAMEA open_file_name;

constexpr wchar_t CLASS_NAME[] = L"nowindow";
// How often, and how many milliseconds apart, a paste tries a busy clipboard.
constexpr int CLIPBOARD_TRIES = 50;
constexpr DWORD CLIPBOARD_RETRY_MS = 20;
// One filter entry; the literal's own terminator ends the list.
constexpr char DIALOG_FILTER[] = "all files\0*.*\0";

// The frame-pixel factor, at least 1.
LONG scale() { return w32.scale > 1 ? w32.scale : 1; }

// The width and height the system's frame adds around the client area.
SIZE frame_extra() {
  RECT outer{}, client{};
  GetWindowRect(w32.hwnd, &outer);
  GetClientRect(w32.hwnd, &client);
  return {(outer.right - outer.left) - client.right, (outer.bottom - outer.top) - client.bottom};
}

// An outer size the core gives in frame pixels (the frame's extra included
// as the system measures it) as display pixels.
POINT display_outer(uint32_t outer_width, uint32_t outer_height) {
  const SIZE extra = frame_extra();
  return {extra.cx + (static_cast<LONG>(outer_width) - extra.cx) * scale(),
          extra.cy + (static_cast<LONG>(outer_height) - extra.cy) * scale()};
}

// The work area: the screen less the task bar.
RECT work_area() {
  RECT room{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &room, 0);
  return room;
}

// The pointer messages whose lParam holds a client position.
bool client_position_message(UINT message) {
  return message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK && message != WM_MOUSEWHEEL;
}

// A client position in display pixels as frame pixels; the signed 16-bit
// halves keep a captured pointer left of or above the window negative.
LPARAM frame_position(LPARAM lparam) {
  const int32_t x = to_frame_coordinate(static_cast<int16_t>(LOWORD(lparam)), w32.scale);
  const int32_t y = to_frame_coordinate(static_cast<int16_t>(HIWORD(lparam)), w32.scale);
  return static_cast<LPARAM>(static_cast<uint32_t>(static_cast<uint16_t>(y)) << 16 | static_cast<uint16_t>(x));
}

// The factor: VUSK_SCALE when it holds one, else the screen's density (the
// process is DPI-aware, so the system reports it rather than blurring the
// window), lowered until the window fits the work area.
LONG choose_scale(uint32_t width, uint32_t height) {
  const RECT room = work_area();
  uint32_t given = 1;
  // A factor the user gave stays, unless even the least frame cannot fit
  // at it: the frame shrinks instead (fitted_outer).
  if (parse_scale(std::getenv("VUSK_SCALE"), &given)) {
    return static_cast<LONG>(fit_scale(given, win.min_frame_width, win.min_frame_height, room.right - room.left,
                                       room.bottom - room.top));
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  return static_cast<LONG>(fit_scale(scale_for_dpi(static_cast<float>(dpi)), width, height,
                                     room.right - room.left, room.bottom - room.top));
}

// An outer size in frame pixels (the frame's extra included) whose client
// part, enlarged, fits the work area: shrunk as far as needed, never below
// the least frame. At 1:1 the system itself keeps the window's size within
// the screen.
POINT fitted_outer(uint32_t outer_width, uint32_t outer_height) {
  if (scale() == 1) return {static_cast<LONG>(outer_width), static_cast<LONG>(outer_height)};
  const SIZE extra = frame_extra();
  const RECT room = work_area();
  const uint32_t width = fit_frame_side(outer_width - static_cast<uint32_t>(extra.cx), win.min_frame_width,
                                        static_cast<uint32_t>(scale()), room.right - room.left - extra.cx);
  const uint32_t height = fit_frame_side(outer_height - static_cast<uint32_t>(extra.cy), win.min_frame_height,
                                         static_cast<uint32_t>(scale()), room.bottom - room.top - extra.cy);
  return {extra.cx + static_cast<LONG>(width), extra.cy + static_cast<LONG>(height)};
}

// Moves an enlarged window that reaches past the work area's right or
// bottom edge back onto it, as far as it fits.
void keep_on_work_area() {
  if (scale() == 1) return;
  const RECT room = work_area();
  RECT r{};
  GetWindowRect(w32.hwnd, &r);
  const LONG x = std::max(room.left, std::min(r.left, room.right - (r.right - r.left)));
  const LONG y = std::max(room.top, std::min(r.top, room.bottom - (r.bottom - r.top)));
  if (x != r.left || y != r.top) SetWindowPos(w32.hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

// The key state behind one modifier, as the core should see it before a
// key message: a release that went to a message box or dialog (which hold
// the keyboard while they are up), or to another window, never reached the
// core, and a Ctrl left held would turn Backspace into Ctrl+H.
void sync_modifier(HWND hwnd, WPARAM vk, bool* told) {
  const bool held = (GetKeyState(static_cast<int>(vk)) & 0x8000) != 0;
  if (held == *told) return;
  *told = held;
  window_procedure(reinterpret_cast<uintptr_t>(hwnd), held ? WM_KEYDOWN : WM_KEYUP, vk, held ? 1 : 0xC0000001);
}

// Keeps the core's Ctrl and Shift true to the key state at each key message
// it is about to route (inside a box or dialog it routes none).
void sync_modifiers(HWND hwnd, UINT message, WPARAM wparam) {
  if (win.in_wndproc != 0) return;
  const bool key = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_CHAR;
  if (!key) return;
  if (message != WM_CHAR && wparam == VK_CONTROL) {
    w32.ctrl_told = message == WM_KEYDOWN;
    return;
  }
  if (message != WM_CHAR && wparam == VK_SHIFT) {
    w32.shift_told = message == WM_KEYDOWN;
    return;
  }
  sync_modifier(hwnd, VK_CONTROL, &w32.ctrl_told);
  sync_modifier(hwnd, VK_SHIFT, &w32.shift_told);
}

// Files dropped onto the window: the core hears of the first one's path
// in place of the drop handle (the others are left out, as the core's
// message says); the handle is released here.
LRESULT drop_files(HWND hwnd, HDROP drop) {
  std::string path;
  const UINT length = DragQueryFileA(drop, 0, nullptr, 0);
  if (length != 0) {
    path.resize(length + 1);
    if (DragQueryFileA(drop, 0, path.data(), length + 1) == 0) path.clear();
    path.resize(std::strlen(path.c_str()));
  }
  DragFinish(drop);
  if (path.empty()) return 0;
  return window_procedure(reinterpret_cast<uintptr_t>(hwnd), WM_DROPFILES,
                          reinterpret_cast<uintptr_t>(path.c_str()), 0);
}

// A Unicode window's WM_CHAR beyond ASCII as the core's WM_UNICHAR: the
// code point, with a surrogate pair's halves joined; false while the first
// half waits for the second, and for a half without its partner.
bool to_code_point(WPARAM unit, WPARAM* code_point) {
  const WPARAM high = w32.high_surrogate;
  w32.high_surrogate = 0;
  if (unit >= 0xD800 && unit <= 0xDBFF) {
    w32.high_surrogate = unit;
    return false;
  }
  if (unit >= 0xDC00 && unit <= 0xDFFF) {
    if (high == 0) return false;
    *code_point = 0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00);
    return true;
  }
  *code_point = unit;
  return true;
}

// Forwards every message to the core. The window handle is kept from the
// first message, so that calls made while CreateWindowExA is still running
// already reach the window.
LRESULT CALLBACK window_trampoline(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (w32.hwnd == nullptr) w32.hwnd = hwnd;
  // The least size is the system's to keep while the user drags the frame.
  if (message == WM_GETMINMAXINFO && w32.min_track_size.x != 0) {
    reinterpret_cast<MINMAXINFO*>(lparam)->ptMinTrackSize = w32.min_track_size;
    return 0;
  }
  // The title is the system's too (set_window_title). The core would treat
  // the message as input, and a message that comes while drawing is pending
  // never reaches the default handling that stores the text.
  if (message == WM_SETTEXT) return DefWindowProcW(hwnd, message, wparam, lparam);
  if (message == WM_DROPFILES) return drop_files(hwnd, reinterpret_cast<HDROP>(wparam));
  if (scale() > 1 && client_position_message(message)) lparam = frame_position(lparam);
  sync_modifiers(hwnd, message, wparam);
  // Characters beyond ASCII reach the core as code points (messages.h).
  if (message == WM_CHAR && wparam >= 0x80) {
    if (!to_code_point(wparam, &wparam)) return 0;
    message = WM_UNICHAR;
  }
  return window_procedure(reinterpret_cast<uintptr_t>(hwnd), message, wparam, lparam);
}

void to_platform_rect(const RECT& r, PlatformRect* rect) { *rect = {r.left, r.top, r.right, r.bottom}; }

}  // namespace

// ---- User interaction -------------------------------------------------------------

// MessageBoxA owned by the window, with one OK button.
void show_message(const char* text, const char* caption) { MessageBoxA(w32.hwnd, text, caption, MB_OK); }

// MessageBoxA with Yes, No and Cancel (Escape and the close box give
// Cancel), or with Yes and No, where anything but Yes is No.
QuestionAnswer ask_question(const char* text, const char* caption, QuestionButtons buttons) {
  const bool cancel = buttons == QUESTION_YES_NO_CANCEL;
  switch (MessageBoxA(w32.hwnd, text, caption, (cancel ? MB_YESNOCANCEL : MB_YESNO) | MB_ICONQUESTION)) {
    case IDYES: return ANSWER_YES;
    case IDNO: return ANSWER_NO;
    default: return cancel ? ANSWER_CANCEL : ANSWER_NO;
  }
}

// A movable global block holding `size` bytes from `data`, or null.
HGLOBAL global_copy(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (block == nullptr) return nullptr;
  void* bytes = GlobalLock(block);
  if (bytes == nullptr) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(bytes, data, size);
  GlobalUnlock(block);
  return block;
}

// CF_UNICODETEXT of the core's text, which is in `code_page`; null when it
// cannot be made.
HGLOBAL unicode_block(const char* text, UINT code_page) {
  wchar_t* wide = win32::widen_text(text, code_page);
  if (wide == nullptr) return nullptr;
  HGLOBAL block = global_copy(wide, (std::wcslen(wide) + 1) * sizeof(wchar_t));
  free_block(wide);
  return block;
}

// UTF-8 mode: CF_UNICODETEXT alone (the system offers CF_TEXT from it).
// Shift_JIS mode: the bytes as CF_TEXT, as ever, and CF_UNICODETEXT read as
// CP932, so that the text survives a paste under any ANSI code page. The
// clipboard owns the blocks once they are set.
bool set_clipboard_text(const char* text, TextEncoding encoding) {
  const bool utf8 = encoding == TEXT_UTF8;
  HGLOBAL bytes = utf8 ? nullptr : global_copy(text, std::strlen(text) + 1);
  HGLOBAL unicode = unicode_block(text, utf8 ? CP_UTF8 : 932);
  if (utf8 ? unicode == nullptr : bytes == nullptr) {
    if (unicode != nullptr) GlobalFree(unicode);
    return false;
  }
  if (!OpenClipboard(w32.hwnd)) {
    if (bytes != nullptr) GlobalFree(bytes);
    if (unicode != nullptr) GlobalFree(unicode);
    return false;
  }
  EmptyClipboard();
  const bool set = utf8 || SetClipboardData(CF_TEXT, bytes) != nullptr;
  if (!utf8 && !set) GlobalFree(bytes);
  const bool set_unicode = unicode != nullptr && SetClipboardData(CF_UNICODETEXT, unicode) != nullptr;
  if (unicode != nullptr && !set_unicode) GlobalFree(unicode);
  CloseClipboard();
  w32.copied_cp932 = !utf8 && set;
  return utf8 ? set_unicode : set;
}

// Opens the clipboard and locks its text in `format`, trying for about a
// second: another program may hold the clipboard open for a moment (Wine's
// bridge to the X clipboard does so whenever an X program takes the
// selection), or be slow to render text it offered. Null at once when there
// is no text in that format; the clipboard is then closed.
static const void* lock_clipboard_text(UINT format, HGLOBAL* data) {
  for (int attempt = 0; attempt < CLIPBOARD_TRIES; ++attempt) {
    if (attempt != 0) Sleep(CLIPBOARD_RETRY_MS);
    if (!OpenClipboard(w32.hwnd)) continue;
    *data = GetClipboardData(format);
    const void* text = *data != nullptr ? GlobalLock(*data) : nullptr;
    if (text != nullptr) return text;
    const bool offered = IsClipboardFormatAvailable(format) != 0;
    CloseClipboard();
    if (!offered) return nullptr;
  }
  return nullptr;
}

// A terminated copy of the `size`-byte block's text of `unit`-byte units,
// or null. Another program may have put text there without a terminator.
static void* terminated_copy(const void* text, size_t size, size_t unit) {
  const size_t units = size / unit;
  auto* copy = static_cast<char*>(try_alloc((units + 1) * unit));
  if (copy == nullptr) return nullptr;
  std::memcpy(copy, text, units * unit);
  std::memset(copy + units * unit, 0, unit);
  return copy;
}

// CF_UNICODETEXT in the core's encoding, converted and the block unlocked at
// once; null when there is none. The clipboard stays open until
// close_clipboard_text.
static const char* unicode_clipboard_text(TextEncoding encoding) {
  HGLOBAL data = nullptr;
  const void* text = lock_clipboard_text(CF_UNICODETEXT, &data);
  if (text == nullptr) return nullptr;
  w32.clipboard_open = true;
  void* copy = terminated_copy(text, GlobalSize(data), sizeof(wchar_t));
  GlobalUnlock(data);
  if (copy != nullptr) {
    w32.clipboard_copy = win32::narrow_text(static_cast<const wchar_t*>(copy), encoding == TEXT_UTF8 ? CP_UTF8 : 932);
    free_block(copy);
  }
  if (w32.clipboard_copy == nullptr) close_clipboard_text();
  return w32.clipboard_copy;
}

// CF_TEXT's bytes, locked until close_clipboard_text, for a clipboard that
// offers no Unicode text (and copied when unterminated).
static const char* ansi_clipboard_text() {
  HGLOBAL data = nullptr;
  const auto* text = static_cast<const char*>(lock_clipboard_text(CF_TEXT, &data));
  if (text == nullptr) return nullptr;
  w32.clipboard_data = data;
  w32.clipboard_open = true;
  const size_t size = GlobalSize(data);
  if (std::memchr(text, 0, size) != nullptr) return text;
  w32.clipboard_copy = static_cast<char*>(terminated_copy(text, size, 1));
  if (w32.clipboard_copy == nullptr) close_clipboard_text();
  return w32.clipboard_copy;
}

// The clipboard's Unicode text in the core's encoding (in Shift_JIS mode,
// what CP932 lacks is left out); without Unicode text, CF_TEXT as it is.
// In Shift_JIS mode this window's own Shift_JIS copy pastes its CF_TEXT
// bytes, exactly as they were copied, even those that no CP932 character
// holds.
const char* open_clipboard_text(TextEncoding encoding) {
  const bool own_cp932 = w32.copied_cp932 && w32.hwnd != nullptr && GetClipboardOwner() == w32.hwnd;
  if (encoding == TEXT_CP932 && own_cp932) return ansi_clipboard_text();
  if (const char* text = unicode_clipboard_text(encoding)) return text;
  if (w32.clipboard_open || IsClipboardFormatAvailable(CF_UNICODETEXT)) return nullptr;
  return ansi_clipboard_text();
}

// Unlocks the text, frees any copy and closes the clipboard.
void close_clipboard_text() {
  if (!w32.clipboard_open) return;
  free_block(w32.clipboard_copy);
  w32.clipboard_copy = nullptr;
  if (w32.clipboard_data != nullptr) GlobalUnlock(w32.clipboard_data);
  w32.clipboard_data = nullptr;
  w32.clipboard_open = false;
  CloseClipboard();
}

// GetOpenFileNameA or GetSaveFileNameA on the 256-byte `path` buffer.
bool file_dialog(bool save, uint32_t flags, char* path) {
  open_file_name.lStructSize = sizeof open_file_name;
  open_file_name.hwndOwner = w32.hwnd;
  open_file_name.hInstance = w32.hinstance;
  open_file_name.lpstrFilter = DIALOG_FILTER;
  open_file_name.nFilterIndex = 0;
  open_file_name.lpstrFile = path;
  open_file_name.nMaxFile = 256;
  open_file_name.lpstrDefExt = "*";
  open_file_name.Flags = flags;
  return (save ? GetSaveFileNameA(&open_file_name) : GetOpenFileNameA(&open_file_name)) != 0;
}

// CommDlgExtendedError: 0 after a cancel.
uint32_t file_dialog_error() { return CommDlgExtendedError(); }

// The common dialogs are part of the system: they never report
// DIALOG_UNAVAILABLE, so this text is never asked for.
const char* file_dialog_unavailable_reason() { return "the file dialog cannot be shown"; }

// ---- Window and presentation ----------------------------------------------------------

// RegisterClassW and CreateWindowExA at the default position, then shown.
// The class is a Unicode one, so that typed characters arrive as UTF-16
// whatever the ANSI code page; the title stays an ANSI string.
uintptr_t create_platform_window(uint32_t style, uint32_t outer_width, uint32_t outer_height,
                                 const char* title) {
  w32.hinstance = GetModuleHandleA(nullptr);
  WNDCLASSW window_class{};
  window_class.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  window_class.lpfnWndProc = window_trampoline;
  window_class.hInstance = w32.hinstance;
  window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
  window_class.lpszClassName = CLASS_NAME;
  const ATOM atom = RegisterClassW(&window_class);
  if (atom == 0) return 0;
  w32.scale = choose_scale(outer_width, outer_height);
  HWND hwnd = CreateWindowExA(0, MAKEINTATOM(atom), title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                              static_cast<int>(outer_width) * scale(), static_cast<int>(outer_height) * scale(),
                              nullptr, nullptr,
                              w32.hinstance, nullptr);
  w32.hwnd = hwnd;  // null when creation failed, even if messages came first
  if (hwnd == nullptr) return 0;
  DragAcceptFiles(hwnd, TRUE);
  ShowWindow(hwnd, SW_SHOWNORMAL);
  return reinterpret_cast<uintptr_t>(hwnd);
}

// GetModuleHandleA of the executable.
uintptr_t module_handle() { return reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr)); }

// GetWindowRect: the outer rectangle in screen coordinates, its size the
// frame's extra plus the client size in frame pixels.
void get_window_rect(PlatformRect* rect) {
  RECT r{};
  GetWindowRect(w32.hwnd, &r);
  PlatformRect client;
  get_client_rect(&client);
  const SIZE extra = frame_extra();
  r.right = r.left + extra.cx + client.right;
  r.bottom = r.top + extra.cy + client.bottom;
  to_platform_rect(r, rect);
}

// GetClientRect: origin (0, 0) and the client size in frame pixels (a size
// the factor does not divide leaves its last few display pixels unused).
void get_client_rect(PlatformRect* rect) {
  RECT r{};
  GetClientRect(w32.hwnd, &r);
  r.right /= scale();
  r.bottom /= scale();
  to_platform_rect(r, rect);
}

// SetWindowPos without changing the z-order; an enlarged window is fitted
// to the work area (the core hears of the size it got through WM_SIZE).
void resize_platform_window(uint32_t outer_width, uint32_t outer_height) {
  const POINT fitted = fitted_outer(outer_width, outer_height);
  const POINT size = display_outer(static_cast<uint32_t>(fitted.x), static_cast<uint32_t>(fitted.y));
  SetWindowPos(w32.hwnd, nullptr, 0, 0, size.x, size.y, SWP_NOMOVE | SWP_NOZORDER);
  keep_on_work_area();
}

// Kept for WM_GETMINMAXINFO, which the system asks before every resize.
void set_window_minimum_size(uint32_t outer_width, uint32_t outer_height) {
  w32.min_track_size = display_outer(outer_width, outer_height);
}

// SetWindowTextA.
void set_window_title(const char* title) {
  if (w32.hwnd != nullptr) SetWindowTextA(w32.hwnd, title);
}

// RedrawWindow with RDW_INVALIDATE | RDW_UPDATENOW: WM_PAINT runs before it returns.
void invalidate_now(const PlatformRect* rect) {
  RECT r;
  const LONG s = scale();
  if (rect != nullptr) r = {rect->left * s, rect->top * s, rect->right * s, rect->bottom * s};
  RedrawWindow(w32.hwnd, rect != nullptr ? &r : nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

// The whole frame goes to the client origin; GDI clips it to the invalid
// region, and the 32-bpp rows already have the display's layout. Enlarged,
// each frame pixel becomes a square of display pixels (COLORONCOLOR copies
// pixels rather than blending them).
void paint_frame(const uint32_t* pixels, uint32_t width, uint32_t height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = static_cast<LONG>(width);
  info.bmiHeader.biHeight = static_cast<LONG>(height);  // positive: bottom-up rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = width * height * 4;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(w32.hwnd, &ps);
  const LONG s = scale();
  if (dc != nullptr && s == 1) {
    SetDIBitsToDevice(dc, 0, 0, width, height, 0, 0, 0, height, pixels, &info, DIB_RGB_COLORS);
  } else if (dc != nullptr) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 0, 0, static_cast<int>(width) * s, static_cast<int>(height) * s, 0, 0, static_cast<int>(width),
                  static_cast<int>(height), pixels, &info, DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(w32.hwnd, &ps);
}

// DefWindowProcW, except that F10 and the release of a bare Alt never reach
// it: it would enter the system-menu mode, which swallows the next key
// although this window has no menu. Alt+F4 and Alt+Space still work.
intptr_t default_handling(uintptr_t hwnd, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  const bool key = message == WM_KEYDOWN || message == WM_KEYUP || message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
  if (key && wparam == VK_F10) return 0;
  if ((message == WM_KEYUP || message == WM_SYSKEYUP) &&
      (wparam == VK_MENU || wparam == VK_LMENU || wparam == VK_RMENU)) {
    return 0;
  }
  // The system's WM_UNICHAR handling sends the character back as WM_CHAR.
  if (message == WM_UNICHAR) return wparam == UNICODE_NOCHAR;
  return DefWindowProcW(reinterpret_cast<HWND>(hwnd), message, wparam, lparam);
}

// PostQuitMessage.
void post_quit_message(int code) { PostQuitMessage(code); }

// PostMessageW(WM_CLOSE): the window closes as through its own close control.
void post_close_message() { PostMessageW(w32.hwnd, WM_CLOSE, 0, 0); }

// GetMessageW for any window of the thread (the A form would turn typed
// characters into ANSI bytes); false on WM_QUIT or an error.
bool get_platform_message(PlatformMessage* message) {
  if (GetMessageW(&w32.last_message, nullptr, 0, 0) <= 0) return false;
  const MSG& m = w32.last_message;
  *message = {reinterpret_cast<uintptr_t>(m.hwnd), m.message, m.wParam, m.lParam};
  return true;
}

// TranslateMessage then DispatchMessageW, with the time and pointer position
// of the message last retrieved.
void dispatch_platform_message(const PlatformMessage* message) {
  MSG m = w32.last_message;
  m.hwnd = reinterpret_cast<HWND>(message->hwnd);
  m.message = message->message;
  m.wParam = message->wparam;
  m.lParam = message->lparam;
  TranslateMessage(&m);
  DispatchMessageW(&m);
}

}  // namespace vusk
