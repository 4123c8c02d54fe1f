// The CommandCodes that the dispatcher gives a meaning: table keys as
// KEY_CODE_OFFSET + virtual key, characters as themselves (Ctrl+letters
// arrive as their control characters). Commands layer: the dispatcher, the
// screens' handlers that send codes, and the tests include it.
#pragma once
#include <cstdint>

#include "commands/commands.h"
#include "platform/messages.h"

namespace vusk {

// Table keys.
constexpr uint32_t KEY_ALT = KEY_CODE_OFFSET + VK_MENU;
constexpr uint32_t KEY_PAUSE = KEY_CODE_OFFSET + VK_PAUSE;
constexpr uint32_t KEY_CAPSLOCK = KEY_CODE_OFFSET + VK_CAPITAL;
constexpr uint32_t KEY_PAGE_UP = KEY_CODE_OFFSET + VK_PRIOR;
constexpr uint32_t KEY_PAGE_DOWN = KEY_CODE_OFFSET + VK_NEXT;
constexpr uint32_t KEY_END = KEY_CODE_OFFSET + VK_END;
constexpr uint32_t KEY_HOME = KEY_CODE_OFFSET + VK_HOME;
constexpr uint32_t KEY_LEFT = KEY_CODE_OFFSET + VK_LEFT;
constexpr uint32_t KEY_UP = KEY_CODE_OFFSET + VK_UP;
constexpr uint32_t KEY_RIGHT = KEY_CODE_OFFSET + VK_RIGHT;
constexpr uint32_t KEY_DOWN = KEY_CODE_OFFSET + VK_DOWN;
constexpr uint32_t KEY_INSERT = KEY_CODE_OFFSET + VK_INSERT;
constexpr uint32_t KEY_DELETE = KEY_CODE_OFFSET + VK_DELETE;
constexpr uint32_t KEY_F1 = KEY_CODE_OFFSET + VK_F1;
constexpr uint32_t KEY_F2 = KEY_CODE_OFFSET + VK_F2;
constexpr uint32_t KEY_F3 = KEY_CODE_OFFSET + VK_F3;
constexpr uint32_t KEY_F4 = KEY_CODE_OFFSET + VK_F4;
constexpr uint32_t KEY_F5 = KEY_CODE_OFFSET + VK_F5;
constexpr uint32_t KEY_F6 = KEY_CODE_OFFSET + VK_F6;
constexpr uint32_t KEY_F7 = KEY_CODE_OFFSET + VK_F7;
constexpr uint32_t KEY_F8 = KEY_CODE_OFFSET + VK_F8;
constexpr uint32_t KEY_F9 = KEY_CODE_OFFSET + VK_F9;
constexpr uint32_t KEY_F10 = KEY_CODE_OFFSET + VK_F10;
constexpr uint32_t KEY_NUMLOCK = KEY_CODE_OFFSET + VK_NUMLOCK;
constexpr uint32_t KEY_SCROLLLOCK = KEY_CODE_OFFSET + VK_SCROLL;

// Characters.
constexpr uint32_t CHAR_BACKSPACE = '\b';
constexpr uint32_t CHAR_TAB = '\t';
constexpr uint32_t CHAR_ENTER = '\r';
constexpr uint32_t CHAR_CTRL_A = 'A' - '@';
constexpr uint32_t CHAR_CTRL_C = 'C' - '@';
constexpr uint32_t CHAR_CTRL_F = 'F' - '@';
constexpr uint32_t CHAR_CTRL_G = 'G' - '@';
constexpr uint32_t CHAR_CTRL_H = 'H' - '@';  // Backspace's character too: Ctrl tells them apart
constexpr uint32_t CHAR_CTRL_O = 'O' - '@';
constexpr uint32_t CHAR_CTRL_S = 'S' - '@';
constexpr uint32_t CHAR_CTRL_V = 'V' - '@';
constexpr uint32_t CHAR_CTRL_X = 'X' - '@';
constexpr uint32_t CHAR_CTRL_Y = 'Y' - '@';
constexpr uint32_t CHAR_CTRL_Z = 'Z' - '@';

// Synthetic codes.
// The bars' Enter, as the screens name it from the field that has the focus:
// the replace bar's "replace All" button and Shift+Enter in its fields;
// Enter in its replacement field; Enter in the go-to field.
constexpr uint32_t CODE_REPLACE_ALL = SYNTHETIC_FLAG | SYNTHETIC_SHIFT | CHAR_ENTER;
constexpr uint32_t CODE_REPLACE_NEXT = SYNTHETIC_FLAG | CHAR_ENTER;
constexpr uint32_t CODE_GO_TO = SYNTHETIC_FLAG | SYNTHETIC_CTRL | CHAR_ENTER;

}  // namespace vusk
