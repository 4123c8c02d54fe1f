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

}  // namespace

KeyStroke parse_key(const std::string& key_name, bool caps_lock) {
  KeyStroke stroke;
  bool shift = false, ctrl = false, alt = false;
  std::string rest = key_name;
  for (;;) {
    const size_t plus = rest.find('+');
    if (plus == std::string::npos || plus == 0) break;
    const std::string mod = rest.substr(0, plus);
    if (strcasecmp(mod.c_str(), "shift") == 0) shift = true;
    else if (strcasecmp(mod.c_str(), "ctrl") == 0) ctrl = true;
    else if (strcasecmp(mod.c_str(), "alt") == 0) alt = true;
    else return stroke;
    rest = rest.substr(plus + 1);
  }
  if (rest.empty()) return stroke;

  // A modifier pressed alone.
  uint32_t vk = 0;
  int plain = -1;
  bool key_is_modifier = true;
  if (strcasecmp(rest.c_str(), "shift") == 0) shift = true;
  else if (strcasecmp(rest.c_str(), "ctrl") == 0) ctrl = true;
  else if (strcasecmp(rest.c_str(), "alt") == 0) alt = true;
  else if (lookup(rest, &vk, &plain)) key_is_modifier = false;
  else return stroke;

  // With Ctrl held, Alt combinations are ordinary key messages.
  const bool system = alt && !ctrl;
  const intptr_t context = system ? ALT_CONTEXT_BIT : 0;
  std::vector<KeyMessage>& out = stroke.messages;
  if (shift) out.push_back({WM_KEYDOWN, VK_SHIFT, KEY_DOWN_BITS});
  if (ctrl) out.push_back({WM_KEYDOWN, VK_CONTROL, KEY_DOWN_BITS});
  if (alt) out.push_back({system ? WM_SYSKEYDOWN : WM_KEYDOWN, VK_MENU, KEY_DOWN_BITS | context});
  if (!key_is_modifier) {
    const bool sys_key = system || (vk == VK_F10 && !ctrl);
    out.push_back({sys_key ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, KEY_DOWN_BITS | context});
    if (!(alt && ctrl)) {  // Ctrl+Alt gives no character on a US layout
      const bool letter = vk >= 'A' && vk <= 'Z';
      const int c = translated_char(vk, plain, letter && caps_lock ? !shift : shift, ctrl);
      if (c >= 0) out.push_back({system ? WM_SYSCHAR : WM_CHAR, static_cast<uintptr_t>(c), KEY_DOWN_BITS | context});
    }
    out.push_back({sys_key ? WM_SYSKEYUP : WM_KEYUP, vk, KEY_UP_BITS | context});
  }
  // Alt released after another key is an ordinary key-up; alone it is a
  // system key-up.
  if (alt) out.push_back({system && key_is_modifier ? WM_SYSKEYUP : WM_KEYUP, VK_MENU, KEY_UP_BITS});
  if (ctrl) out.push_back({WM_KEYUP, VK_CONTROL, KEY_UP_BITS});
  if (shift) out.push_back({WM_KEYUP, VK_SHIFT, KEY_UP_BITS});
  stroke.valid = true;
  return stroke;
}

}  // namespace vusk
