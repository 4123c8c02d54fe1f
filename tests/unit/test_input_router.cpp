// The input router on the running editor: the find field's editing, a button
// released where the window did not see it, Space activation, panel and
// thumb drags, hit testing and the modifier state. (Menus, focus moves and
// clicks are scripted cases.)
#include <string>

#include "editor_session.h"
#include "files/search.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class Router : public EditorSession {
 protected:
  // The find bar, opened through the Edit menu's hotkey; its field has the focus.
  static void open_find_bar() {
    keys({"alt", "Right", "Down", "f"});
    ASSERT_EQ(wt.w_kind[slot_index(wt.focus_widget)], WK_TEXT_INPUT);
  }
  static std::string field() { return std::string(find_pattern, FIND_PATTERN_CHARS); }
  static std::string padded(const std::string& s) { return s + std::string(FIND_PATTERN_CHARS - s.size(), ' '); }
  static uint16_t caret() { return wt.w_value[slot_index(wt.focus_widget)]; }
};

}  // namespace

TEST_F(Router, FindFieldEditing) {
  open_find_bar();
  chars("xyz");
  EXPECT_EQ(field(), padded("xyz"));
  click(100, 80);  // pressing the field clears it
  EXPECT_EQ(field(), padded(""));
  EXPECT_EQ(caret(), 0);
  chars("ab");
  EXPECT_EQ(field(), padded("ab"));
  EXPECT_EQ(caret(), 2);
  keys({"Left", "Backspace"});
  EXPECT_EQ(field(), padded("b"));
  EXPECT_EQ(caret(), 0);
  key("Delete");
  EXPECT_EQ(field(), padded(""));

  // A full field takes nothing at its terminator; Right stops there.
  chars(std::string(FIND_PATTERN_CHARS, 'q'));
  chars("r");
  key("Right");
  EXPECT_EQ(field(), std::string(FIND_PATTERN_CHARS, 'q'));
  EXPECT_EQ(caret(), FIND_PATTERN_CHARS);
  // A NUL is refused: the field keeps its length and editing stays safe.
  key("Left");
  chars(std::string(1, '\0'));
  key("Backspace");
  EXPECT_EQ(field(), std::string(27, 'q') + "q ");
  EXPECT_EQ(caret(), 27);

  // Editing keys other than the field's are ignored; Enter and F3 search.
  keys({"Home", "ctrl+End", "PageDown"});
  EXPECT_EQ(text(), "   ");
  EXPECT_EQ(view.top_line + row() + col(), 0);
  const uint32_t shows = status.status_shows;
  key("Enter");
  key("F3");
  EXPECT_EQ(status.status_shows, shows + 2);
  EXPECT_STREQ(status.status_text, "Search string not found");
  // Up and Down move through the bar with wrap-around.
  key("Up");
  EXPECT_EQ(slot_name(wt.focus_widget), "FIND_BAR:1");
  key("Down");
  EXPECT_EQ(slot_name(wt.focus_widget), "FIND_BAR:0");
}

TEST_F(Router, FindFieldKeepsUtf8CharactersWhole) {
  open_find_bar();  // in a new document's UTF-8 mode
  const auto type = [](uint32_t cp) { headless::send(WM_UNICHAR, cp, 1); };
  const std::string e_acute = "\xC3\xA9", kan = "\xE6\xBC\xA2";
  // The byte limit stays, but a character that would reach past it stays out.
  const std::string full(FIND_PATTERN_CHARS - 2, 'q');
  chars(full);
  type(0x6F22);
  EXPECT_EQ(field(), full + "  ");
  type(0xE9);
  EXPECT_EQ(field(), full + e_acute);
  key("Backspace");
  EXPECT_EQ(field(), padded(full));
  // Left, Right and Delete step over whole characters; a character typed
  // over the first byte of another leaves none of its other bytes behind.
  click(100, 80);
  chars("a");
  type(0x6F22);
  type(0xE9);
  EXPECT_EQ(field(), padded("a" + kan + e_acute));
  keys({"Left", "Left"});
  EXPECT_EQ(caret(), 1);
  key("Delete");
  EXPECT_EQ(field(), padded("a" + e_acute));
  key("Right");
  EXPECT_EQ(caret(), 3);
  keys({"Left", "Left", "Right"});
  chars("b");
  EXPECT_EQ(field(), padded("ab "));
}

TEST_F(Router, AReleaseOutsideTheWindowIsNoticedAtTheNextMove) {
  // Over another place the gesture just ends; over the pressed widget it acts.
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, 40, 27);
  mouse(WM_MOUSEMOVE, 0, 600, 400);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  EXPECT_EQ(wt.w_flags[slot_index(slot_of(PANEL_MENU_BAR, 0))] & WF_PRESSED, 0);
  EXPECT_EQ(open_panels(), FIXED_PANELS);
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, 120, 27);
  mouse(WM_MOUSEMOVE, 0, 121, 27);
  EXPECT_EQ(open_panels(), std::string(FIXED_PANELS) + ",EDIT_MENU");
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
}

int activations = 0;
void count_activation(int32_t) { ++activations; }

TEST_F(Router, ATypedNulMatchesNoMissingHotkey) {
  panel_directory[PANEL_ABOUT][1].data = WidgetData(count_activation);  // the about box's text, without a hotkey
  keys({"alt", "Left", "Down", "a"});                          // View, then About
  ASSERT_EQ(wt.w_panel[slot_index(wt.focus_widget)], PANEL_ABOUT);
  chars(std::string(1, '\0'));
  EXPECT_EQ(activations, 0);
  keys({"Down", "Enter"});
  EXPECT_EQ(activations, 1);
}

TEST_F(Router, HeldAltActsOnce) {
  headless::send(WM_SYSKEYDOWN, VK_MENU, 1);
  headless::send(WM_SYSKEYDOWN, VK_MENU, 1);  // auto-repeat
  headless::send(WM_SYSKEYDOWN, VK_MENU, 1);
  EXPECT_EQ(wt.focus_widget, slot_of(PANEL_MENU_BAR, 0));
  headless::send(WM_SYSKEYUP, VK_MENU, 1);
  headless::send(WM_SYSKEYDOWN, VK_MENU, 1);
  EXPECT_EQ(wt.focus_widget, NO_SLOT);
}

TEST_F(Router, SpaceActivatesAtItsKeyUp) {
  key("alt");
  headless::send(WM_CHAR, ' ', 1);
  EXPECT_NE(wt.w_flags[slot_index(slot_of(PANEL_MENU_BAR, 0))] & WF_PRESSED, 0);
  EXPECT_EQ(open_panels(), FIXED_PANELS);
  headless::send(WM_KEYUP, VK_SPACE, 0);
  EXPECT_EQ(open_panels(), std::string(FIXED_PANELS) + ",FILE_MENU");
  EXPECT_EQ(wt.w_flags[slot_index(slot_of(PANEL_MENU_BAR, 0))] & WF_PRESSED, 0);
}

TEST_F(Router, RightDragKeepsThePanelOnTheFrame) {
  open_find_bar();  // field 292 wide above a close entry 152 wide
  const int32_t field_slot = slot_index(slot_of(PANEL_FIND_BAR, 0));
  const int32_t close_slot = slot_index(slot_of(PANEL_FIND_BAR, 1));
  mouse(WM_RBUTTONDOWN, MK_RBUTTON, 50, 100);
  mouse(WM_MOUSEMOVE, MK_RBUTTON, 0, 100);
  EXPECT_EQ(wt.w_x[field_slot], 0);
  EXPECT_EQ(wt.w_x[close_slot], 0);
  mouse(WM_MOUSEMOVE, MK_RBUTTON, 1023, 100);
  EXPECT_EQ(wt.w_x[field_slot] + wt.w_width[field_slot], 1024);  // the widest one ends at the edge
  EXPECT_EQ(wt.w_x[close_slot], wt.w_x[field_slot]);
  mouse(WM_MOUSEMOVE, MK_RBUTTON, 1023, 5000);
  EXPECT_EQ(wt.w_y[close_slot] + wt.w_height[close_slot], 768);
  EXPECT_EQ(wt.w_y[field_slot], 768 - 18 - 36);
  mouse(WM_MOUSEMOVE, MK_RBUTTON, 1023, 0);
  EXPECT_EQ(wt.w_y[field_slot], 0);
  mouse(WM_RBUTTONUP, 0, 1023, 0);
  mouse(WM_MOUSEMOVE, MK_RBUTTON, 900, 300);
  EXPECT_EQ(wt.w_y[field_slot], 0);
  EXPECT_EQ(wt.w_x[field_slot], 1024 - 292);
}

TEST_F(Router, ThumbMovesVerticallyWithinItsLimits) {
  set_text(std::string(99, '\n'));
  const int32_t thumb = slot_of(PANEL_THUMB), t = slot_index(thumb);
  mouse(WM_LBUTTONDOWN, MK_LBUTTON, 1010, 40);
  EXPECT_EQ(wt.pressed_widget, thumb);
  mouse(WM_MOUSEMOVE, MK_LBUTTON, 1010, 5000);
  EXPECT_EQ(wt.w_y[t], 768 - 54);
  EXPECT_EQ(view.top_line, 99);
  // Turning back leaves the limit at once, though the pointer is still beyond it.
  mouse(WM_MOUSEMOVE, MK_LBUTTON, 900, 4990);
  EXPECT_EQ(wt.w_y[t], 768 - 54 - 10);
  EXPECT_EQ(wt.w_x[t], 1024 - 22);
  EXPECT_LT(view.top_line, 99);
  mouse(WM_MOUSEMOVE, MK_LBUTTON, 1010, 0);
  EXPECT_EQ(wt.w_y[t], 36);
  EXPECT_EQ(view.top_line, 0);
  mouse(WM_LBUTTONUP, 0, 1010, 0);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
}

TEST_F(Router, HitTesting) {
  EXPECT_EQ(hit_test(755, 900), NO_SLOT);  // the line label is static
  EXPECT_EQ(hit_test(745, 500), NO_SLOT);  // the background below the rows
  EXPECT_EQ(hit_test(52, 500), 4);         // row 0's lower edge is row 1's top: the later slot
  EXPECT_EQ(hit_test(36, 1023), slot_of(PANEL_THUMB));    // the thumb lies over row 0 and touches "UP"
  EXPECT_EQ(hit_test(36, 88), slot_of(PANEL_MENU_BAR, 0)); // a title's lower and right edges answer too
}

TEST_F(Router, OnlyTheModifierKeysSetTheModifiers) {
  chars("\x10\x11");  // Ctrl+P and Ctrl+Q are typed, not held
  EXPECT_EQ(input.shift_down + input.ctrl_down, 0);
  EXPECT_EQ(text(), "\x10\x11   ");
  headless::send(WM_KEYDOWN, VK_SHIFT, 1);
  EXPECT_EQ(input.shift_down, 1);
  headless::send(WM_KEYUP, VK_SHIFT, 1);
  EXPECT_EQ(input.shift_down, 0);
}
