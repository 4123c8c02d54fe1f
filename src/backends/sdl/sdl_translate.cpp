// SDL input as Win32 messages: what the core's router expects from a real
// Windows message loop with TranslateMessage, on a Unicode window whose
// characters beyond ASCII arrive as code points (WM_UNICHAR).
#include "backends/sdl/sdl_translate.h"

#include <SDL_keycode.h>
#include <SDL_mouse.h>
#include <SDL_scancode.h>
#include <iconv.h>

#include <cerrno>
#include <cmath>
#include <cstring>

#include "editor/cells.h"
#include "platform/messages.h"

namespace vusk::sdl {

namespace {

constexpr uint32_t VK_CLEAR = 12;
constexpr uint32_t VK_SNAPSHOT = 44;
constexpr uint32_t VK_LWIN = 91;
constexpr uint32_t VK_RWIN = 92;
constexpr uint32_t VK_APPS = 93;
constexpr uint32_t VK_NUMPAD0 = 96;
constexpr uint32_t VK_MULTIPLY = 106;
constexpr uint32_t VK_ADD = 107;
constexpr uint32_t VK_SUBTRACT = 109;
constexpr uint32_t VK_DECIMAL = 110;
constexpr uint32_t VK_DIVIDE = 111;

// The lparam of a key message: repeat count 1, bit 30 when the key was
// already down, bit 31 on release.
intptr_t key_lparam(bool down, bool repeat) {
  uint32_t bits = 1;
  if (repeat || !down) bits |= 1u << 30;
  if (!down) bits |= 1u << 31;
  return static_cast<intptr_t>(bits);
}

// Keypad keys. Columns: key symbol, code with NumLock on, code with it off.
struct KeypadKey {
  int32_t sym;
  uint32_t on, off;
};
constexpr KeypadKey keypad[] = {
    {SDLK_KP_0, VK_NUMPAD0 + 0, VK_INSERT}, {SDLK_KP_1, VK_NUMPAD0 + 1, VK_END},
    {SDLK_KP_2, VK_NUMPAD0 + 2, VK_DOWN},   {SDLK_KP_3, VK_NUMPAD0 + 3, VK_NEXT},
    {SDLK_KP_4, VK_NUMPAD0 + 4, VK_LEFT},   {SDLK_KP_5, VK_NUMPAD0 + 5, VK_CLEAR},
    {SDLK_KP_6, VK_NUMPAD0 + 6, VK_RIGHT},  {SDLK_KP_7, VK_NUMPAD0 + 7, VK_HOME},
    {SDLK_KP_8, VK_NUMPAD0 + 8, VK_UP},     {SDLK_KP_9, VK_NUMPAD0 + 9, VK_PRIOR},
    {SDLK_KP_PERIOD, VK_DECIMAL, VK_DELETE},
};
static_assert(sizeof keypad / sizeof keypad[0] == 11);

// A keypad key's code: digits while NumLock is on, the cursor block while it
// is off; 0 for other keys.
uint32_t keypad_key(int32_t sym, bool numlock) {
  for (const KeypadKey& k : keypad) {
    if (k.sym == sym) return numlock ? k.on : k.off;
  }
  return 0;
}

// Keys whose code does not depend on the layout.
uint32_t fixed_key(int32_t sym) {
  switch (sym) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_PRINTSCREEN: return VK_SNAPSHOT;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION: return VK_APPS;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    default: break;
  }
  if (sym >= SDLK_F1 && sym <= SDLK_F12) return VK_F1 + static_cast<uint32_t>(sym - SDLK_F1);
  return 0;
}

// Letters, digits and punctuation by their place on the keyboard, for
// layouts whose symbols are not Latin (the codes Windows gives a US layout).
uint32_t key_by_position(int32_t scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return 'A' + static_cast<uint32_t>(scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return '1' + static_cast<uint32_t>(scancode - SDL_SCANCODE_1);
  switch (scancode) {
    case SDL_SCANCODE_0: return '0';
    case SDL_SCANCODE_SEMICOLON: return 186;
    case SDL_SCANCODE_EQUALS: return 187;
    case SDL_SCANCODE_COMMA: return 188;
    case SDL_SCANCODE_MINUS: return 189;
    case SDL_SCANCODE_PERIOD: return 190;
    case SDL_SCANCODE_SLASH: return 191;
    case SDL_SCANCODE_GRAVE: return 192;
    case SDL_SCANCODE_LEFTBRACKET: return 219;
    case SDL_SCANCODE_BACKSLASH: return 220;
    case SDL_SCANCODE_RIGHTBRACKET: return 221;
    case SDL_SCANCODE_APOSTROPHE: return 222;
    default: return 0;
  }
}

// The control character a key press types (as TranslateMessage makes it), or
// -1. Printable characters come from the text event instead.
int32_t typed_control(uint32_t vk, int32_t sym, uint16_t mod) {
  if ((mod & KMOD_ALT) != 0) return -1;
  if ((mod & KMOD_CTRL) != 0) {
    if (vk >= 'A' && vk <= 'Z') return static_cast<int32_t>(vk - 'A' + 1);
    if (sym == '[') return 27;
    if (sym == '\\') return 28;
    if (sym == ']') return 29;
    if (vk == VK_RETURN) return 10;
    if (vk == VK_BACK) return 127;
    return -1;
  }
  switch (vk) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE: return static_cast<int32_t>(vk);
    default: return -1;
  }
}

void push(Messages* out, uint32_t message, uintptr_t wparam, intptr_t lparam) {
  out->push_back(PlatformMessage{0, message, wparam, lparam});
}

// Bytes of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t sequence_length(uint8_t lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

}  // namespace

uint32_t virtual_key(int32_t sym, int32_t scancode, uint16_t mod) {
  if (sym >= 'a' && sym <= 'z') return static_cast<uint32_t>(sym - 'a' + 'A');
  if (sym >= '0' && sym <= '9') return static_cast<uint32_t>(sym);
  if (const uint32_t vk = keypad_key(sym, (mod & KMOD_NUM) != 0)) return vk;
  if (const uint32_t vk = fixed_key(sym)) return vk;
  return key_by_position(scancode);
}

void translate_key(bool down, bool repeat, int32_t sym, int32_t scancode, uint16_t mod, Messages* out) {
  const uint32_t vk = virtual_key(sym, scancode, mod);
  const bool ctrl = (mod & KMOD_CTRL) != 0;
  // Right Alt is AltGr on most layouts: an ordinary key that leaves the text
  // alone. Left Alt and F10 are the system keys that open the menu.
  const bool system = sym != SDLK_RALT && (sym == SDLK_LALT || vk == VK_F10 || ((mod & KMOD_LALT) != 0 && !ctrl));
  const intptr_t lparam = key_lparam(down, repeat);
  if (vk != 0) {
    const uint32_t message = system ? (down ? WM_SYSKEYDOWN : WM_SYSKEYUP) : (down ? WM_KEYDOWN : WM_KEYUP);
    push(out, message, vk, lparam);
  }
  if (!down) return;
  const int32_t c = typed_control(vk, sym, mod);
  if (c >= 0) push(out, WM_CHAR, static_cast<uintptr_t>(c), lparam);
}

void translate_text(const char* utf8, uint16_t mod, Messages* out) {
  const bool ctrl = (mod & KMOD_CTRL) != 0;
  const bool alt = (mod & KMOD_ALT) != 0;
  if (ctrl && !alt) return;
  if ((mod & KMOD_LALT) != 0 && !ctrl) return;
  const auto* p = reinterpret_cast<const uint8_t*>(utf8);
  const uint8_t* end = p + std::strlen(utf8);
  while (p < end) {
    const Utf8Char c = decode_utf8(p, end);
    p += c.bytes != 0 ? c.bytes : 1;  // a malformed byte is passed over
    // A Unicode window's WM_CHAR for ASCII; the core encodes the rest.
    if (c.bytes != 0) push(out, c.cp < 0x80 ? WM_CHAR : WM_UNICHAR, c.cp, 1);
  }
}

uint32_t mouse_key_bits(uint32_t buttons, uint16_t mod) {
  uint32_t bits = buttons & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
  if ((mod & KMOD_SHIFT) != 0) bits |= MK_SHIFT;
  if ((mod & KMOD_CTRL) != 0) bits |= MK_CONTROL;
  return bits;
}

bool inside_client(int32_t x, int32_t y, int32_t width, int32_t height) {
  return x >= 0 && y >= 0 && x < width && y < height;
}

void translate_button(bool down, uint8_t button, int32_t x, int32_t y, int32_t width, int32_t height,
                      uint16_t mod, uint32_t* buttons, Messages* out, uint8_t clicks) {
  uint32_t bit = 0;
  uint32_t message = 0;
  switch (button) {
    case SDL_BUTTON_LEFT:
      bit = MK_LBUTTON;
      message = !down ? WM_LBUTTONUP : clicks == 2 ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN;
      break;
    case SDL_BUTTON_RIGHT:
      bit = MK_RBUTTON;
      message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
      break;
    case SDL_BUTTON_MIDDLE:
      bit = MK_MBUTTON;
      break;
    default:
      return;
  }
  if (down) {
    *buttons |= bit;
  } else {
    *buttons &= ~bit;
  }
  if (message != 0 && inside_client(x, y, width, height)) {
    push(out, message, mouse_key_bits(*buttons, mod), make_position(static_cast<uint32_t>(y), static_cast<uint32_t>(x)));
  }
}

void translate_motion(int32_t x, int32_t y, int32_t width, int32_t height, uint16_t mod, uint32_t buttons,
                      Messages* out) {
  if (!inside_client(x, y, width, height)) return;
  push(out, WM_MOUSEMOVE, mouse_key_bits(buttons, mod), make_position(static_cast<uint32_t>(y), static_cast<uint32_t>(x)));
}

void translate_wheel(float precise_y, bool flipped, int32_t x, int32_t y, uint16_t mod, uint32_t buttons,
                     Messages* out) {
  float notches = flipped ? -precise_y : precise_y;
  long delta = std::lround(notches * 120.0f);
  if (delta == 0) return;
  if (delta > 32767) delta = 32767;
  if (delta < -32768) delta = -32768;
  const uint32_t high = static_cast<uint16_t>(static_cast<int16_t>(delta));
  push(out, WM_MOUSEWHEEL, (high << 16) | mouse_key_bits(buttons, mod),
       make_position(static_cast<uint32_t>(y), static_cast<uint32_t>(x)));
}

namespace {

// One text run through an iconv converter into a string that grows as the
// output needs. The callers decide what an unconvertible input byte becomes.
struct Conversion {
  iconv_t cd;
  char* in;
  size_t in_left;
  std::string out;
  size_t used = 0;

  // Converts as far as the converter goes: 0 when the whole input is done,
  // otherwise the errno that stopped it at `in` (never E2BIG: the output grows).
  int run() {
    for (;;) {
      char* o = out.data() + used;
      size_t o_left = out.size() - used;
      const size_t r = iconv(cd, &in, &in_left, &o, &o_left);
      used = static_cast<size_t>(o - out.data());
      if (r != static_cast<size_t>(-1)) return 0;
      if (errno != E2BIG) return errno;
      out.resize(out.size() * 2 + 4);
    }
  }
  // Passes over `n` input bytes.
  void skip(size_t n) {
    in += n;
    in_left -= n;
  }
  // Appends bytes of its own to the output.
  void put(const char* bytes, size_t n) {
    if (out.size() - used < n) out.resize(used + n);
    std::memcpy(out.data() + used, bytes, n);
    used += n;
  }
  // The output, with the converter closed.
  std::string finish() {
    iconv_close(cd);
    out.resize(used);
    return out;
  }
};

// The bytes of the malformed or unencodable UTF-8 character at `in`: its
// lead byte and the continuation bytes that follow it, as many as it claims.
size_t bad_character_bytes(const char* in, size_t in_left) {
  const size_t claimed = sequence_length(static_cast<uint8_t>(*in));
  size_t n = 1;
  while (n < claimed && n < in_left && is_utf8_continuation(static_cast<uint8_t>(in[n]))) ++n;
  return n;
}

}  // namespace

std::string crlf_line_ends(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::string lf_line_ends(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      out += text[i];
      continue;
    }
    out += '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
  }
  return out;
}

std::string utf8_to_cp932(const char* utf8, size_t length) {
  iconv_t cd = iconv_open("CP932", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    // Without the converter, ASCII is all that is certain to be right.
    std::string result;
    for (size_t i = 0; i < length; ++i) {
      if (static_cast<uint8_t>(utf8[i]) < 0x80) result += utf8[i];
    }
    return result;
  }
  // CP932 never needs more bytes than UTF-8 for the same character.
  Conversion c{cd, const_cast<char*>(utf8), length, std::string(length + 4, '\0')};
  // Not encodable, or not UTF-8: that one character is dropped. A sequence
  // cut off at the end (EINVAL) ends the text.
  while (c.in_left > 0 && c.run() == EILSEQ) c.skip(bad_character_bytes(c.in, c.in_left));
  return c.finish();
}

namespace {

constexpr char REPLACEMENT[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8
constexpr size_t REPLACEMENT_BYTES = sizeof REPLACEMENT - 1;

// Without the converter: ASCII as it is, every other byte replaced.
std::string ascii_or_replacement(const char* text, size_t length) {
  std::string result;
  for (size_t i = 0; i < length; ++i) {
    if (static_cast<uint8_t>(text[i]) < 0x80) {
      result += text[i];
    } else {
      result += REPLACEMENT;
    }
  }
  return result;
}

}  // namespace

std::string cp932_to_utf8(const char* cp932, size_t length) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return ascii_or_replacement(cp932, length);
  // No CP932 byte, nor a byte replaced, takes more than 3 bytes of UTF-8.
  Conversion c{cd, const_cast<char*>(cp932), length, std::string(REPLACEMENT_BYTES * length, '\0')};
  while (c.in_left > 0) {
    // A byte CP932 does not define, or a lead byte without its trail byte:
    // that byte is replaced and the rest converted.
    const int stop = c.run();
    if (stop != EILSEQ && stop != EINVAL) break;
    c.put(REPLACEMENT, REPLACEMENT_BYTES);
    c.skip(1);
  }
  return c.finish();
}

std::string shown_text(const char* text, size_t length) {
  const bool utf8 = is_valid_utf8(reinterpret_cast<const uint8_t*>(text), length);
  return utf8 ? std::string(text, length) : cp932_to_utf8(text, length);
}

}  // namespace vusk::sdl
