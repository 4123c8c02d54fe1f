// Script key names produce the message sequences Windows delivers.
#include <gtest/gtest.h>

#include "backends/headless/script_keys.h"
#include "platform/messages.h"

using namespace vusk;

namespace {

constexpr uint32_t WM_SYSCHAR = 0x0106;

// The stroke as (message, wparam) pairs.
std::vector<std::pair<uint32_t, uintptr_t>> seq(const char* key_name) {
  const KeyStroke k = parse_key(key_name);
  EXPECT_TRUE(k.valid) << key_name;
  std::vector<std::pair<uint32_t, uintptr_t>> out;
  for (const KeyMessage& m : k.messages) out.emplace_back(m.message, m.wparam);
  return out;
}

using P = std::vector<std::pair<uint32_t, uintptr_t>>;

}  // namespace

TEST(ScriptKeys, LettersDigitsAndShift) {
  EXPECT_EQ(seq("a"), (P{{WM_KEYDOWN, 'A'}, {WM_CHAR, 'a'}, {WM_KEYUP, 'A'}}));
  EXPECT_EQ(seq("shift+a"),
            (P{{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'A'}, {WM_CHAR, 'A'}, {WM_KEYUP, 'A'}, {WM_KEYUP, VK_SHIFT}}));
  EXPECT_EQ(seq("shift+2"),
            (P{{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, '2'}, {WM_CHAR, '@'}, {WM_KEYUP, '2'}, {WM_KEYUP, VK_SHIFT}}));
  EXPECT_EQ(seq("minus"), (P{{WM_KEYDOWN, 0xBD}, {WM_CHAR, '-'}, {WM_KEYUP, 0xBD}}));
}

TEST(ScriptKeys, ControlCharacters) {
  EXPECT_EQ(seq("ctrl+v"),
            (P{{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, 'V'}, {WM_CHAR, 22}, {WM_KEYUP, 'V'}, {WM_KEYUP, VK_CONTROL}}));
  EXPECT_EQ(seq("ctrl+Enter")[2], (std::pair<uint32_t, uintptr_t>{WM_CHAR, 10}));
  EXPECT_EQ(seq("ctrl+Backspace")[2], (std::pair<uint32_t, uintptr_t>{WM_CHAR, 127}));
  EXPECT_EQ(seq("Enter"), (P{{WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYUP, VK_RETURN}}));
  EXPECT_EQ(seq("Escape")[1], (std::pair<uint32_t, uintptr_t>{WM_CHAR, 27}));
  // Keys without a character give none, with or without Ctrl.
  EXPECT_EQ(seq("ctrl+Tab"), (P{{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_TAB}, {WM_KEYUP, VK_TAB},
                                {WM_KEYUP, VK_CONTROL}}));
  EXPECT_EQ(seq("Delete"), (P{{WM_KEYDOWN, VK_DELETE}, {WM_KEYUP, VK_DELETE}}));
}

TEST(ScriptKeys, AltAndF10AreSystemKeys) {
  EXPECT_EQ(seq("alt"), (P{{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYUP, VK_MENU}}));
  EXPECT_EQ(seq("F10"), (P{{WM_SYSKEYDOWN, VK_F10}, {WM_SYSKEYUP, VK_F10}}));
  // Alt released after another key comes as an ordinary key-up.
  EXPECT_EQ(seq("alt+f"), (P{{WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'F'}, {WM_SYSCHAR, 'f'},
                             {WM_SYSKEYUP, 'F'}, {WM_KEYUP, VK_MENU}}));
  // With Ctrl held, Alt combinations are ordinary keys without a character.
  EXPECT_EQ(seq("ctrl+alt+x"), (P{{WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_MENU}, {WM_KEYDOWN, 'X'},
                                  {WM_KEYUP, 'X'}, {WM_KEYUP, VK_MENU}, {WM_KEYUP, VK_CONTROL}}));
}

TEST(ScriptKeys, NamesAreCheckedAndCaseInsensitive) {
  EXPECT_EQ(seq("pageup")[0], (std::pair<uint32_t, uintptr_t>{WM_KEYDOWN, VK_PRIOR}));
  EXPECT_EQ(seq("F7")[0], (std::pair<uint32_t, uintptr_t>{WM_KEYDOWN, 118}));
  EXPECT_EQ(seq("ctrl+F2")[1], (std::pair<uint32_t, uintptr_t>{WM_KEYDOWN, 113}));
  EXPECT_FALSE(parse_key("F11").valid);
  EXPECT_FALSE(parse_key("hyper+a").valid);
  EXPECT_FALSE(parse_key("ab").valid);
  EXPECT_FALSE(parse_key("ctrl+").valid);
  EXPECT_FALSE(parse_key("").valid);
}

TEST(ScriptKeys, ModifiersAloneAndInOrder) {
  EXPECT_EQ(seq("shift"), (P{{WM_KEYDOWN, VK_SHIFT}, {WM_KEYUP, VK_SHIFT}}));
  EXPECT_EQ(seq("ctrl"), (P{{WM_KEYDOWN, VK_CONTROL}, {WM_KEYUP, VK_CONTROL}}));
  // Modifier downs first, Alt's as a system key; the ups in reverse order.
  EXPECT_EQ(seq("shift+alt+x"),
            (P{{WM_KEYDOWN, VK_SHIFT}, {WM_SYSKEYDOWN, VK_MENU}, {WM_SYSKEYDOWN, 'X'}, {WM_SYSCHAR, 'X'},
               {WM_SYSKEYUP, 'X'}, {WM_KEYUP, VK_MENU}, {WM_KEYUP, VK_SHIFT}}));
  EXPECT_EQ(seq("ctrl+shift+Right"), (P{{WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, VK_CONTROL}, {WM_KEYDOWN, VK_RIGHT},
                                        {WM_KEYUP, VK_RIGHT}, {WM_KEYUP, VK_CONTROL}, {WM_KEYUP, VK_SHIFT}}));
}

TEST(ScriptKeys, CapsLockTurnsTheCaseOfLettersOnly) {
  const auto chars = [](const char* key_name) {
    std::vector<uintptr_t> out;
    for (const KeyMessage& m : parse_key(key_name, true).messages) {
      if (m.message == WM_CHAR) out.push_back(m.wparam);
    }
    return out;
  };
  EXPECT_EQ(chars("a"), std::vector<uintptr_t>{'A'});
  EXPECT_EQ(chars("shift+a"), std::vector<uintptr_t>{'a'});
  EXPECT_EQ(chars("ctrl+a"), std::vector<uintptr_t>{1});
  EXPECT_EQ(chars("1"), std::vector<uintptr_t>{'1'});
  EXPECT_EQ(chars("shift+1"), std::vector<uintptr_t>{'!'});
}
