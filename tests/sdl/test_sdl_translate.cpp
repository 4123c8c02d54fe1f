// SDL key, text, mouse and wheel events as the Win32 messages the core's
// router expects.
#include <SDL_keycode.h>
#include <SDL_mouse.h>
#include <SDL_scancode.h>
#include <SDL_surface.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/messages.h"
#include "backends/sdl/sdl_backend.h"
#include "backends/sdl/sdl_translate.h"

using namespace vusk;
using namespace vusk::sdl;

namespace {

struct Msg {
  uint32_t message;
  uintptr_t wparam;
  bool operator==(const Msg&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Msg& m) {
  return os << "{0x" << std::hex << m.message << ", " << std::dec << m.wparam << "}";
}

std::vector<Msg> brief(const Messages& ms) {
  std::vector<Msg> out;
  for (const PlatformMessage& m : ms) out.push_back({m.message, m.wparam});
  return out;
}

std::vector<Msg> press(int32_t sym, uint16_t mod = KMOD_NONE, int32_t scancode = SDL_SCANCODE_UNKNOWN,
                       bool repeat = false) {
  Messages out;
  translate_key(true, repeat, sym, scancode, mod, &out);
  return brief(out);
}

std::vector<Msg> release(int32_t sym, uint16_t mod = KMOD_NONE) {
  Messages out;
  translate_key(false, false, sym, SDL_SCANCODE_UNKNOWN, mod, &out);
  return brief(out);
}

std::vector<Msg> text(const char* utf8, uint16_t mod = KMOD_NONE) {
  Messages out;
  translate_text(utf8, mod, &out);
  return brief(out);
}

// The client area of the mouse tests.
constexpr int32_t W = 640, H = 480;

uint32_t high_word(uintptr_t v) { return (static_cast<uint32_t>(v) >> 16) & 0xFFFF; }

}  // namespace

TEST(VirtualKeys, LettersAndDigitsFromTheSymbolOrElseThePosition) {
  EXPECT_EQ(virtual_key('a', SDL_SCANCODE_A, 0), 'A');
  EXPECT_EQ(virtual_key('z', SDL_SCANCODE_Y, 0), 'Z');  // German layout: the symbol wins
  EXPECT_EQ(virtual_key('0', SDL_SCANCODE_0, 0), '0');
  EXPECT_EQ(virtual_key('9', SDL_SCANCODE_9, 0), '9');
  // A Cyrillic layout and AZERTY's digit row: by position.
  EXPECT_EQ(virtual_key(0x0444, SDL_SCANCODE_A, 0), 'A');
  EXPECT_EQ(virtual_key('&', SDL_SCANCODE_1, 0), '1');
  EXPECT_EQ(virtual_key(0x00E0, SDL_SCANCODE_0, 0), '0');
  EXPECT_EQ(virtual_key('[', SDL_SCANCODE_LEFTBRACKET, 0), 219u);
  EXPECT_EQ(virtual_key(SDLK_UNKNOWN, SDL_SCANCODE_UNKNOWN, 0), 0u);
  // SDL's Delete is the character 0x7F; keypad Enter is Enter.
  EXPECT_EQ(virtual_key(SDLK_DELETE, SDL_SCANCODE_DELETE, 0), VK_DELETE);
  EXPECT_EQ(virtual_key(SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0), VK_RETURN);
}

TEST(VirtualKeys, KeypadFollowsNumLock) {
  const int32_t pad[] = {SDLK_KP_7, SDLK_KP_8, SDLK_KP_9, SDLK_KP_4, SDLK_KP_6,
                         SDLK_KP_1, SDLK_KP_2, SDLK_KP_3, SDLK_KP_0, SDLK_KP_PERIOD};
  const uint32_t cursor[] = {VK_HOME, VK_UP, VK_PRIOR, VK_LEFT, VK_RIGHT, VK_END, VK_DOWN, VK_NEXT, VK_INSERT, VK_DELETE};
  for (size_t i = 0; i < std::size(pad); ++i) {
    EXPECT_EQ(virtual_key(pad[i], SDL_SCANCODE_UNKNOWN, KMOD_NONE), cursor[i]) << i;
    // With NumLock on they are digits (VK_NUMPAD0.., VK_DECIMAL): not command keys.
    EXPECT_GE(virtual_key(pad[i], SDL_SCANCODE_UNKNOWN, KMOD_NUM), 96u) << i;
  }
  EXPECT_EQ(virtual_key(SDLK_KP_7, SDL_SCANCODE_UNKNOWN, KMOD_NUM), 103u);
}

TEST(KeyMessages, PlainKeysAndTheControlCharactersTheyType) {
  // Printable characters come from the text event, not from the key.
  EXPECT_EQ(press('a'), (std::vector<Msg>{{WM_KEYDOWN, 'A'}}));
  EXPECT_EQ(press(SDLK_SPACE), (std::vector<Msg>{{WM_KEYDOWN, 32}}));
  EXPECT_EQ(press(SDLK_BACKSPACE), (std::vector<Msg>{{WM_KEYDOWN, 8}, {WM_CHAR, 8}}));
  EXPECT_EQ(press(SDLK_TAB, KMOD_LSHIFT), (std::vector<Msg>{{WM_KEYDOWN, 9}, {WM_CHAR, 9}}));
  EXPECT_EQ(press(SDLK_RETURN), (std::vector<Msg>{{WM_KEYDOWN, 13}, {WM_CHAR, 13}}));
  EXPECT_EQ(press(SDLK_KP_ENTER), (std::vector<Msg>{{WM_KEYDOWN, 13}, {WM_CHAR, 13}}));
  EXPECT_EQ(press(SDLK_ESCAPE), (std::vector<Msg>{{WM_KEYDOWN, 27}, {WM_CHAR, 27}}));
  EXPECT_EQ(press(SDLK_DELETE), (std::vector<Msg>{{WM_KEYDOWN, 46}}));
  // Auto-repeat types again; a release types nothing.
  EXPECT_EQ(press(SDLK_BACKSPACE, KMOD_NONE, SDL_SCANCODE_UNKNOWN, true),
            (std::vector<Msg>{{WM_KEYDOWN, 8}, {WM_CHAR, 8}}));
  EXPECT_EQ(release(SDLK_BACKSPACE), (std::vector<Msg>{{WM_KEYUP, 8}}));
  EXPECT_EQ(release(SDLK_LSHIFT), (std::vector<Msg>{{WM_KEYUP, 16}}));
}

TEST(KeyMessages, ControlCombinationsTypeControlCodes) {
  EXPECT_EQ(press('a', KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, 'A'}, {WM_CHAR, 1}}));
  EXPECT_EQ(press('z', KMOD_RCTRL | KMOD_LSHIFT), (std::vector<Msg>{{WM_KEYDOWN, 'Z'}, {WM_CHAR, 26}}));
  EXPECT_EQ(press(0x0441, KMOD_LCTRL, SDL_SCANCODE_C), (std::vector<Msg>{{WM_KEYDOWN, 'C'}, {WM_CHAR, 3}}));
  EXPECT_EQ(press('[', KMOD_LCTRL, SDL_SCANCODE_LEFTBRACKET), (std::vector<Msg>{{WM_KEYDOWN, 219}, {WM_CHAR, 27}}));
  EXPECT_EQ(press('\\', KMOD_LCTRL, SDL_SCANCODE_BACKSLASH), (std::vector<Msg>{{WM_KEYDOWN, 220}, {WM_CHAR, 28}}));
  EXPECT_EQ(press(']', KMOD_LCTRL, SDL_SCANCODE_RIGHTBRACKET), (std::vector<Msg>{{WM_KEYDOWN, 221}, {WM_CHAR, 29}}));
  EXPECT_EQ(press(SDLK_RETURN, KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, 13}, {WM_CHAR, 10}}));
  EXPECT_EQ(press(SDLK_BACKSPACE, KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, 8}, {WM_CHAR, 127}}));
  // Keys without a control code type nothing with Ctrl.
  EXPECT_EQ(press(SDLK_TAB, KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, 9}}));
  EXPECT_EQ(press('1', KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, '1'}}));
}

TEST(KeyMessages, LeftAltAndF10AreSystemKeysRightAltIsAltGr) {
  EXPECT_EQ(press(SDLK_LALT, KMOD_LALT), (std::vector<Msg>{{WM_SYSKEYDOWN, 18}}));
  EXPECT_EQ(press(SDLK_LALT, KMOD_LALT, SDL_SCANCODE_UNKNOWN, true), (std::vector<Msg>{{WM_SYSKEYDOWN, 18}}));
  // SDL has already cleared the modifier when Alt's own release arrives.
  EXPECT_EQ(release(SDLK_LALT, KMOD_NONE), (std::vector<Msg>{{WM_SYSKEYUP, 18}}));
  EXPECT_EQ(press('f', KMOD_LALT), (std::vector<Msg>{{WM_SYSKEYDOWN, 'F'}}));
  EXPECT_EQ(release('f', KMOD_LALT), (std::vector<Msg>{{WM_SYSKEYUP, 'F'}}));
  EXPECT_EQ(press(SDLK_RETURN, KMOD_LALT), (std::vector<Msg>{{WM_SYSKEYDOWN, 13}}));
  EXPECT_EQ(press(SDLK_F10), (std::vector<Msg>{{WM_SYSKEYDOWN, 121}}));
  EXPECT_EQ(release(SDLK_F10), (std::vector<Msg>{{WM_SYSKEYUP, 121}}));
  EXPECT_EQ(press(SDLK_F9), (std::vector<Msg>{{WM_KEYDOWN, 120}}));
  // Ctrl with left Alt is not a menu gesture; no character either.
  EXPECT_EQ(press('f', KMOD_LALT | KMOD_LCTRL), (std::vector<Msg>{{WM_KEYDOWN, 'F'}}));
  // AltGr: Alt's code as an ordinary key, and the keys under it stay ordinary.
  EXPECT_EQ(press(SDLK_RALT, KMOD_RALT), (std::vector<Msg>{{WM_KEYDOWN, 18}}));
  EXPECT_EQ(release(SDLK_RALT, KMOD_NONE), (std::vector<Msg>{{WM_KEYUP, 18}}));
  EXPECT_EQ(press('q', KMOD_RALT), (std::vector<Msg>{{WM_KEYDOWN, 'Q'}}));
  EXPECT_EQ(press(SDLK_BACKSPACE, KMOD_RALT), (std::vector<Msg>{{WM_KEYDOWN, 8}}));
}

TEST(TextMessages, TypedTextArrivesAsCharactersNotBytes) {
  EXPECT_EQ(text("A b"), (std::vector<Msg>{{WM_CHAR, 'A'}, {WM_CHAR, ' '}, {WM_CHAR, 'b'}}));
  // Beyond ASCII, one code point per character, whatever CP932 holds:
  // e-acute, hiragana A, half-width katakana A, the euro sign, an emoji.
  EXPECT_EQ(text("x\xC3\xA9\xE3\x81\x82\xEF\xBD\xB1\xE2\x82\xAC\xF0\x9F\x98\x80y"),
            (std::vector<Msg>{{WM_CHAR, 'x'},
                              {WM_UNICHAR, 0xE9},
                              {WM_UNICHAR, 0x3042},
                              {WM_UNICHAR, 0xFF71},
                              {WM_UNICHAR, 0x20AC},
                              {WM_UNICHAR, 0x1F600},
                              {WM_CHAR, 'y'}}));
  // Malformed input: a stray byte, an overlong slash, a surrogate, a lead
  // byte without its tail, a sequence cut off at the end.
  EXPECT_EQ(text("a\xFF" "b\xC0\xAF" "c\xED\xA0\x80" "d\xE3(\xE3\x81"),
            (std::vector<Msg>{{WM_CHAR, 'a'}, {WM_CHAR, 'b'}, {WM_CHAR, 'c'}, {WM_CHAR, 'd'}, {WM_CHAR, '('}}));
}

TEST(TextMessages, TextTypedWithCtrlOrLeftAltIsDropped) {
  EXPECT_TRUE(text("c", KMOD_LCTRL).empty());
  EXPECT_TRUE(text("f", KMOD_LALT).empty());
  // AltGr, alone or as Ctrl+Alt, types what the layout puts there.
  EXPECT_EQ(text("@", KMOD_RALT), (std::vector<Msg>{{WM_CHAR, '@'}}));
  EXPECT_EQ(text("@", KMOD_LCTRL | KMOD_LALT), (std::vector<Msg>{{WM_CHAR, '@'}}));
  EXPECT_EQ(text("A", KMOD_LSHIFT), (std::vector<Msg>{{WM_CHAR, 'A'}}));
}

TEST(TextMessages, MalformedAndUnencodableInputIsDroppedNotPassedOn) {
  EXPECT_EQ(utf8_to_cp932("a\xFF" "b", 3), "ab");
  EXPECT_EQ(utf8_to_cp932("a\xE3\x81", 3), "a");  // cut off at the end
  EXPECT_EQ(utf8_to_cp932("\xE3(b", 3), "(b");       // lead byte without its tail
  EXPECT_EQ(utf8_to_cp932("\xF0\x9F\x98\x80!", 5), "!");  // an emoji
  EXPECT_EQ(utf8_to_cp932("", 0), "");
}

// Clipboard text reaches the core with CF_TEXT's CR LF line ends; line ends
// that already are CR LF, and lone CRs, are not doubled.
TEST(ClipboardText, LineEndsBecomeCrLfOnce) {
  EXPECT_EQ(crlf_line_ends("one\ntwo\n"), "one\r\ntwo\r\n");
  EXPECT_EQ(crlf_line_ends("\n\n"), "\r\n\r\n");
  EXPECT_EQ(crlf_line_ends("a\r\nb\rc"), "a\r\nb\rc");
  EXPECT_EQ(crlf_line_ends(""), "");
  // After the conversion to CP932: a double-byte character before the line end.
  const std::string kana = utf8_to_cp932("\u3042\n", 4);
  EXPECT_EQ(crlf_line_ends(kana), "\x82\xA0\r\n");
}

// Text copied out goes to X11 programs with LF line ends: CR LF and a lone
// CR each become one LF, and a text that a round trip through crlf_line_ends
// made comes back as it was.
TEST(ClipboardText, CopiedTextGetsLfLineEnds) {
  EXPECT_EQ(lf_line_ends("one\r\ntwo\r\n"), "one\ntwo\n");
  EXPECT_EQ(lf_line_ends("\r\n\r\n"), "\n\n");
  EXPECT_EQ(lf_line_ends("a\rb\r"), "a\nb\n");
  EXPECT_EQ(lf_line_ends("a\r\r\nb"), "a\n\nb");
  EXPECT_EQ(lf_line_ends(""), "");
  EXPECT_EQ(lf_line_ends(crlf_line_ends("x\ny\n\nz")), "x\ny\n\nz");
  // The whole way out: CP932 with CR LF to UTF-8 with LF.
  const std::string out = lf_line_ends("\x82\xA0\r\n\xB1");
  EXPECT_EQ(cp932_to_utf8(out.data(), out.size()), "\u3042\n\uFF71");
}

// Names shown in the window title: CP932 as UTF-8, and what CP932 does not
// define replaced, so that SDL is never handed malformed UTF-8.
TEST(TitleText, Cp932BecomesUtf8WithUndefinedBytesReplaced) {
  EXPECT_EQ(cp932_to_utf8("a.txt - Vusk", 12), "a.txt - Vusk");
  EXPECT_EQ(cp932_to_utf8("\xB1\x82\xA0.txt", 7), "\uFF71\u3042.txt");  // half-width A, then a
  EXPECT_EQ(cp932_to_utf8("\x88\x9F", 2), "\u4E9C");
  const std::string replaced = "\uFFFD";
  EXPECT_EQ(cp932_to_utf8("a\xFF" "b", 3), "a" + replaced + "b");
  EXPECT_EQ(cp932_to_utf8("\xFE\xFD", 2), replaced + replaced);
  EXPECT_EQ(cp932_to_utf8("a\x82", 2), "a" + replaced);  // a lead byte cut off at the end
  EXPECT_EQ(cp932_to_utf8("", 0), "");
  // The core's text as SDL shows it: UTF-8 names as they are, CP932 ones converted.
  EXPECT_EQ(shown_text("caf\xC3\xA9.txt - Vusk", 16), "caf\u00E9.txt - Vusk");
  EXPECT_EQ(shown_text("\x8A\xBF.txt", 6), "\u6F22.txt");
  EXPECT_EQ(shown_text("\xC3\xA9\xC3", 3), "\uFF83\uFF69\uFF83");  // cut off: not UTF-8
  EXPECT_EQ(shown_text("\xED\xA0\x80", 3), cp932_to_utf8("\xED\xA0\x80", 3));  // a surrogate
  // Every byte value before a space (which is no trail byte) gives
  // well-formed UTF-8 and loses nothing after it.
  for (uint32_t b = 1; b < 256; ++b) {
    const char text[3] = {static_cast<char>(b), ' ', 0};
    const std::string out = cp932_to_utf8(text, 2);
    ASSERT_GE(out.size(), 2u) << b;
    EXPECT_EQ(out.back(), ' ') << b;
    EXPECT_EQ(utf8_to_cp932(out.data(), out.size()).back(), ' ') << b;
  }
}

TEST(MouseMessages, ButtonsCarryTheHeldButtonsAndModifiers) {
  uint32_t buttons = 0;
  Messages out;
  translate_button(true, SDL_BUTTON_LEFT, 10, 20, W, H, KMOD_NONE, &buttons, &out);
  translate_button(true, SDL_BUTTON_RIGHT, 11, 21, W, H, KMOD_LSHIFT | KMOD_RCTRL, &buttons, &out);
  translate_button(true, SDL_BUTTON_MIDDLE, 11, 21, W, H, KMOD_NONE, &buttons, &out);  // no message
  translate_motion(12, 22, W, H, KMOD_NONE, buttons, &out);
  translate_button(false, SDL_BUTTON_LEFT, 13, 23, W, H, KMOD_NONE, &buttons, &out);
  translate_button(false, SDL_BUTTON_RIGHT, 13, 23, W, H, KMOD_NONE, &buttons, &out);
  translate_button(true, SDL_BUTTON_X1, 13, 23, W, H, KMOD_NONE, &buttons, &out);  // ignored
  EXPECT_EQ(brief(out), (std::vector<Msg>{{WM_LBUTTONDOWN, MK_LBUTTON},
                                          {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON | MK_SHIFT | MK_CONTROL},
                                          {WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON | MK_MBUTTON},
                                          {WM_LBUTTONUP, MK_RBUTTON | MK_MBUTTON},
                                          {WM_RBUTTONUP, MK_MBUTTON}}));
  EXPECT_EQ(out[0].lparam, make_position(20, 10));
  EXPECT_EQ(buttons, MK_MBUTTON);
}

// The window does not capture the pointer: a drag that leaves it is not
// seen until the pointer comes back, and a release outside only clears the
// button, so that the next move inside ends the gesture.
TEST(MouseMessages, PointerOutsideTheClientAreaIsNotSeen) {
  uint32_t buttons = 0;
  Messages out;
  translate_button(true, SDL_BUTTON_LEFT, 0, 0, W, H, KMOD_NONE, &buttons, &out);
  translate_motion(-5, 10, W, H, KMOD_NONE, buttons, &out);
  translate_motion(10, -1, W, H, KMOD_NONE, buttons, &out);
  translate_motion(W, 10, W, H, KMOD_NONE, buttons, &out);
  translate_motion(10, H, W, H, KMOD_NONE, buttons, &out);
  translate_button(false, SDL_BUTTON_LEFT, 10, -30, W, H, KMOD_NONE, &buttons, &out);
  translate_motion(W - 1, H - 1, W, H, KMOD_NONE, buttons, &out);
  EXPECT_EQ(brief(out), (std::vector<Msg>{{WM_LBUTTONDOWN, MK_LBUTTON}, {WM_MOUSEMOVE, 0}}));
  EXPECT_EQ(buttons, 0u);
  EXPECT_EQ(out[1].lparam, make_position(H - 1, W - 1));
}

TEST(MouseMessages, WheelStepsAreSigned120thsInTheHighWord) {
  Messages out;
  translate_wheel(1.0f, false, 5, 6, KMOD_NONE, 0, &out);
  translate_wheel(-1.0f, false, 5, 6, KMOD_LCTRL, MK_LBUTTON, &out);
  translate_wheel(1.0f, true, 5, 6, KMOD_NONE, 0, &out);
  translate_wheel(0.5f, false, 5, 6, KMOD_NONE, 0, &out);
  translate_wheel(0.0f, false, 5, 6, KMOD_NONE, 0, &out);  // a sideways step: nothing
  ASSERT_EQ(out.size(), 4u);
  for (const PlatformMessage& m : out) EXPECT_EQ(m.message, WM_MOUSEWHEEL);
  EXPECT_EQ(static_cast<int16_t>(high_word(out[0].wparam)), 120);
  EXPECT_EQ(static_cast<int16_t>(high_word(out[1].wparam)), -120);
  EXPECT_EQ(out[1].wparam & 0xFFFF, MK_LBUTTON | MK_CONTROL);
  EXPECT_EQ(static_cast<int16_t>(high_word(out[2].wparam)), -120);
  EXPECT_EQ(static_cast<int16_t>(high_word(out[3].wparam)), 60);
  EXPECT_EQ(out[0].lparam, make_position(6, 5));
  // The word is a 32-bit quantity, as a core reading it as a signed int expects.
  EXPECT_EQ(out[1].wparam >> 32, 0u);
}

// A frame row painted at factor 2 and 3: every pixel becomes a square of
// display pixels, and nothing beside the row's squares is touched.
TEST(ScaledPainting, EachFramePixelBecomesASquare) {
  const uint32_t row[3] = {0x112233, 0x445566, 0x778899};
  for (const uint32_t factor : {2u, 3u}) {
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, 12, 12, 32, SDL_PIXELFORMAT_XRGB8888);
    ASSERT_NE(surface, nullptr);
    SDL_FillRect(surface, nullptr, 0xABCDEF);
    state.scale = factor;
    put_row(surface, row, 3, 1, 2);  // display position (1, 2)
    state.scale = 1;
    const int32_t f = static_cast<int32_t>(factor);
    for (int32_t y = 0; y < 12; ++y) {
      for (int32_t x = 0; x < 12; ++x) {
        const uint32_t got = static_cast<uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x];
        const bool inside = x >= 1 && x < 1 + 3 * f && y >= 2 && y < 2 + f;
        const uint32_t want = inside ? row[(x - 1) / f] : 0xABCDEFu;
        ASSERT_EQ(got & 0xFFFFFF, want) << "factor " << factor << " at " << x << "," << y;
      }
    }
    SDL_FreeSurface(surface);
  }
}
