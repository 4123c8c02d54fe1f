// The widget toolkit's ties to the layers above it, on a table of its own
// making: keys that no widget takes, Enter in a text field, presses on a text
// row (in the row's own coordinates) and the wheel come back as the router's
// result, and without a painter a text row is a plain box.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/messages.h"
#include "widget_frames.h"
#include "widgets/input.h"

using namespace vusk;
using namespace vusk::test;

namespace {

constexpr uint8_t ROW_LABEL[2] = {LC_TEXT_ROW, LC_END};
constexpr uint8_t FIELD_LABEL[2] = {LC_DATA_STRING, LC_END};
constexpr int32_t ROW = 0, FIELD = 4;
constexpr uint16_t ROW_X = 10, ROW_Y = 36, FIELD_X = 100, FIELD_Y = 200;

// A text row at (10, 36) in the base panel and a text field of five
// characters in the find bar's panel.
class LayerHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_painter = text_row_painter;
    open_frame();
    std::memcpy(field, "abc  ", sizeof field);
    fill_slot(slot_index(ROW), {ROW_LABEL, WidgetData(rows), ROW_X, ROW_Y, 500, 16, 0, 0, WK_TEXT_ROW, 13, 0, 0, 0},
              PANEL_TITLE);
    fill_slot(slot_index(FIELD), {FIELD_LABEL, WidgetData(field), FIELD_X, FIELD_Y, 200, 18, 0, 0, WK_TEXT_INPUT, 2,
                                  WF_ENTER, 0, 0},
              PANEL_FIND_BAR);
    wt.widget_end = 8;
  }
  void TearDown() override {
    text_row_painter = saved_painter;
  }

  static RouteResult character(uint8_t c) { return route_input(0, 0, c, WM_CHAR); }
  static RouteResult key_down(uint32_t vk) { return route_input(0, 0, vk, WM_KEYDOWN); }
  static RouteResult at(uint32_t message, uintptr_t buttons, uint32_t x, uint32_t y) {
    return route_input(y, x, buttons, message);
  }
  // The CommandCode a message leaves for the dispatcher, or NONE.
  static constexpr uint32_t NONE = UINT32_MAX;
  static uint32_t command_of(const RouteResult& r) { return r.action == ROUTE_COMMAND ? r.code : NONE; }
  static bool is_press(const RouteResult& r, uint32_t y, uint32_t x, uint32_t phase) {
    return r.action == ROUTE_TEXT_ROW && r.y == y && r.x == x && r.phase == phase && r.slot == ROW;
  }

  char field[6];
  uint8_t* rows[1] = {};

 private:
  TextRowPainter saved_painter{};
};

}  // namespace

TEST_F(LayerHooks, KeysNoWidgetTakesAndEnterInAFieldComeBack) {
  // No focus: characters and table keys are commands; a key outside the
  // table is nothing.
  wt.focus_widget = NO_SLOT;
  EXPECT_EQ(command_of(character('q')), uint32_t{'q'});
  EXPECT_EQ(command_of(key_down(VK_END)), 256u + VK_END);
  EXPECT_EQ(key_down('A').action, ROUTE_NONE);
  // On a text row every key is a command, Tab included.
  wt.focus_widget = ROW;
  EXPECT_EQ(command_of(character(VK_TAB)), uint32_t{VK_TAB});
  EXPECT_EQ(wt.focus_widget, ROW);

  // In the field: typing edits it; Enter is handed back, not run; a table
  // key the field has no use for goes on to the dispatcher.
  wt.focus_widget = FIELD;
  EXPECT_EQ(character('x').action, ROUTE_NONE);
  EXPECT_STREQ(field, "x    ");
  EXPECT_EQ(character(VK_RETURN).action, ROUTE_SUBMITTED);
  EXPECT_STREQ(field, "x    ");
  EXPECT_EQ(command_of(key_down(VK_HOME)), 256u + VK_HOME);
  // Only the field's Enter is a submission: Enter on the row is a command.
  wt.focus_widget = ROW;
  EXPECT_EQ(command_of(character(VK_RETURN)), uint32_t{VK_RETURN});
}

TEST_F(LayerHooks, PressesAndTheWheelComeBackInTheRowsCoordinates) {
  EXPECT_TRUE(is_press(at(WM_LBUTTONDOWN, MK_LBUTTON, ROW_X + 50, ROW_Y + 4), 4, 50, 0));
  EXPECT_EQ(wt.pressed_widget, ROW);
  EXPECT_TRUE(is_press(at(WM_MOUSEMOVE, MK_LBUTTON, ROW_X + 61, ROW_Y + 9), 9, 61, 1));
  EXPECT_EQ(at(WM_MOUSEMOVE, MK_LBUTTON, FIELD_X + 5, FIELD_Y + 5).action, ROUTE_NONE);  // off the row
  EXPECT_EQ(at(WM_LBUTTONUP, 0, FIELD_X + 5, FIELD_Y + 5).action, ROUTE_NONE);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  for (const uint32_t wheel : {0xFF880000u, 0x00780000u}) {
    const RouteResult r = at(WM_MOUSEWHEEL, wheel, 300, 300);
    EXPECT_EQ(r.action, ROUTE_WHEEL);
    EXPECT_EQ(r.code, wheel);
  }
}

TEST_F(LayerHooks, WithoutAPainterATextRowIsABoxInItsColour) {
  text_row_painter = TextRowPainter{};
  uint8_t line[] = "abc\r";
  rows[0] = line;
  expect_drawn_as(ROW, [] { fill_rect(13, 16, 500, ROW_Y, ROW_X); });

  // With only a background, the row takes that colour and still draws no text.
  text_row_painter.background = [] { return uint8_t{3}; };
  expect_drawn_as(ROW, [] { fill_rect(3, 16, 500, ROW_Y, ROW_X); });
}
