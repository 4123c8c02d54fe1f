// Key names of scripts ("ctrl+shift+Right", "F10", "alt") turned into the
// messages Windows delivers for one press and release of that key.
// Included by vusk-script and the tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vusk {

struct KeyMessage {
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
};

struct KeyStroke {
  bool valid = false;
  std::vector<KeyMessage> messages;
};

// The messages of one press and release: modifier key-downs, the key-down,
// its character message, then the key-ups in reverse order. With Caps Lock
// on, letters give the other case (as Shift would, or undo).
KeyStroke parse_key(const std::string& key_name, bool caps_lock = false);

}  // namespace vusk
