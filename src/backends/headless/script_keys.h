// Key names of scripts ("ctrl+shift+Right", "F10", "alt") turned into the
// messages Windows delivers for one press and release of that key.
// Backends layer (headless): included by vusk-script and the tests.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace vusk {

// One message of a key stroke, as the window procedure receives it.
struct KeyMessage {
  uint32_t message;
  uintptr_t wparam;
  intptr_t lparam;
};

// The messages of one key stroke; not valid for a name no key has.
struct KeyStroke {
  bool valid = false;
  std::vector<KeyMessage> messages;
};

// The messages of one press and release: modifier key-downs, the key-down,
// its character message, then the key-ups in reverse order. With Caps Lock
// on, letters give the other case (as Shift would, or undo).
KeyStroke parse_key(const std::string& key_name, bool caps_lock = false);

}  // namespace vusk
