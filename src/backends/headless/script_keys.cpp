// Key names to Windows key messages, for scripts. The character translation
// follows a US keyboard layout, as TranslateMessage would produce it.
#include "backends/headless/script_keys.h"

#include <cctype>
#include <cstring>
#include <strings.h>

#include "platform/messages.h"

namespace vusk {

namespace {

constexpr uint32_t WM_SYSCHAR = 0x0106;
constexpr uint32_t VK_OEM_MINUS = 0xBD;
constexpr intptr_t KEY_DOWN_BITS = 1;                // repeat count 1
constexpr intptr_t KEY_UP_BITS = intptr_t(0xC0000001);  // previous state, transition
constexpr intptr_t ALT_CONTEXT_BIT = intptr_t(1) << 29;

struct NamedKey {
  const char* name;
  uint32_t vk;
  int plain_char;  // character without modifiers, -1 for none
};

// name          virtual key   character
constexpr NamedKey NAMED_KEYS[] = {
    {"Enter", VK_RETURN, 13},      {"Tab", VK_TAB, 9},           {"Backspace", VK_BACK, 8},
    {"Escape", VK_ESCAPE, 27},     {"Space", VK_SPACE, 32},      {"Insert", VK_INSERT, -1},
    {"Delete", VK_DELETE, -1},     {"Home", VK_HOME, -1},        {"End", VK_END, -1},
    {"PageUp", VK_PRIOR, -1},      {"PageDown", VK_NEXT, -1},    {"Left", VK_LEFT, -1},
    {"Right", VK_RIGHT, -1},       {"Up", VK_UP, -1},            {"Down", VK_DOWN, -1},
    {"CapsLock", VK_CAPITAL, -1},  {"NumLock", VK_NUMLOCK, -1},  {"ScrollLock", VK_SCROLL, -1},
    {"Pause", VK_PAUSE, -1},       {"minus", VK_OEM_MINUS, '-'},
};

constexpr char SHIFTED_DIGITS[] = ")!@#$%^&*(";

// The character a key gives with the modifiers, or -1 for none.
int translated_char(uint32_t vk, int plain, bool shift, bool ctrl) {
  if (vk >= 'A' && vk <= 'Z') {
    if (ctrl) return static_cast<int>(vk - 'A' + 1);
    return static_cast<int>(shift ? vk : vk - 'A' + 'a');
  }
  if (vk >= '0' && vk <= '9') {
    if (ctrl) return -1;
    return shift ? SHIFTED_DIGITS[vk - '0'] : static_cast<int>(vk);
  }
  if (vk == VK_OEM_MINUS) return ctrl ? 31 : (shift ? '_' : '-');
  if (ctrl) {
    if (vk == VK_RETURN) return 10;
    if (vk == VK_BACK) return 127;
    if (vk == VK_SPACE || vk == VK_ESCAPE) return plain;
    return -1;
  }
  return plain;
}

bool lookup(const std::string& name, uint32_t* vk, int* plain) {
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    *vk = static_cast<uint32_t>(c);
    *plain = std::isalpha(static_cast<unsigned char>(c)) ? std::tolower(c) : c;
    return true;
  }
  if ((name[0] == 'F' || name[0] == 'f') && name.size() >= 2 && name.size() <= 3) {
    const int n = std::atoi(name.c_str() + 1);
    if (n >= 1 && n <= 10 && std::to_string(n) == name.substr(1)) {
      *vk = VK_F1 + static_cast<uint32_t>(n - 1);
      *plain = -1;
      return true;
    }
  }
  for (const NamedKey& k : NAMED_KEYS) {
    if (strcasecmp(k.name, name.c_str()) == 0) {
      *vk = k.vk;
      *plain = k.plain_char;
      return true;
    }
  }
  return false;
}

// The modifier keys held for one stroke.
struct Modifiers {
  bool shift = false, ctrl = false, alt = false;
};

// Marks the modifier `name` ("shift", "ctrl" or "alt", in any case) as
// held; false for any other name.
bool hold_modifier(const std::string& name, Modifiers& m) {
  bool* held = strcasecmp(name.c_str(), "shift") == 0  ? &m.shift
               : strcasecmp(name.c_str(), "ctrl") == 0 ? &m.ctrl
               : strcasecmp(name.c_str(), "alt") == 0  ? &m.alt
                                                        : nullptr;
  if (held != nullptr) *held = true;
  return held != nullptr;
}

// The messages of the key itself, between the modifiers' downs and ups: its
// key-down, the character it types, its key-up. With Ctrl held, Alt
// combinations are ordinary key messages.
void key_messages(uint32_t vk, int plain, const Modifiers& m, bool caps_lock, std::vector<KeyMessage>& out) {
  const bool system = m.alt && !m.ctrl;
  const intptr_t context = system ? ALT_CONTEXT_BIT : 0;
  const bool sys_key = system || (vk == VK_F10 && !m.ctrl);
  out.push_back({sys_key ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KEY_DOWN_BITS | context});
  if (!(m.alt && m.ctrl)) {  // Ctrl+Alt gives no character on a US layout
    const bool letter = vk >= 'A' && vk <= 'Z';
    const int c = translated_char(vk, plain, letter && caps_lock ? !m.shift : m.shift, m.ctrl);
    if (c >= 0) out.push_back({system ? WM_SYSCHAR : WM_CHAR, static_cast<uintptr_t>(c), KEY_DOWN_BITS | context});
  }
  out.push_back({sys_key ? WM_SYSKEYUP : WM_KEYUP, vk, KEY_UP_BITS | context});
}

}  // namespace

KeyStroke parse_key(const std::string& key_name, bool caps_lock) {
  KeyStroke stroke;
  Modifiers m;
  std::string rest = key_name;
  for (size_t plus = rest.find('+'); plus != std::string::npos && plus != 0; plus = rest.find('+')) {
    if (!hold_modifier(rest.substr(0, plus), m)) return stroke;
    rest = rest.substr(plus + 1);
  }
  uint32_t vk = 0;
  int plain = -1;
  // A modifier may be pressed alone; it then has no key of its own.
  const bool key_is_modifier = hold_modifier(rest, m);
  if (rest.empty() || (!key_is_modifier && !lookup(rest, &vk, &plain))) return stroke;

  const bool system = m.alt && !m.ctrl;
  const intptr_t context = system ? ALT_CONTEXT_BIT : 0;
  std::vector<KeyMessage>& out = stroke.messages;
  if (m.shift) out.push_back({WM_KEYDOWN, VK_SHIFT, KEY_DOWN_BITS});
  if (m.ctrl) out.push_back({WM_KEYDOWN, VK_CONTROL, KEY_DOWN_BITS});
  if (m.alt) out.push_back({system ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_MENU, KEY_DOWN_BITS | context});
  if (!key_is_modifier) key_messages(vk, plain, m, caps_lock, out);
  // Alt released after another key is an ordinary key-up; alone it is a
  // system key-up.
  if (m.alt) out.push_back({system && key_is_modifier ? WM_SYSKEYUP : WM_KEYUP, VK_MENU, KEY_UP_BITS});
  if (m.ctrl) out.push_back({WM_KEYUP, VK_CONTROL, KEY_UP_BITS});
  if (m.shift) out.push_back({WM_KEYUP, VK_SHIFT, KEY_UP_BITS});
  stroke.valid = true;
  return stroke;
}

}  // namespace vusk
