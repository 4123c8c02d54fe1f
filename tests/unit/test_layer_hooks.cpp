// The widget toolkit's ties to the layers above it, on a table of its own
// making: keys that no widget takes reach the command sink, Enter in a text
// field comes back as a result, presses on a text row and the wheel reach
// their hooks in the row's own coordinates, and without any hook nothing
// breaks and a text row is a plain box.
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

struct Press {
  uint32_t y, x, phase;
  int32_t slot;
  bool operator==(const Press&) const = default;
};

std::vector<uint32_t> commands;
std::vector<Press> presses;
std::vector<int32_t> wheels;

void record_command(uint32_t code) { commands.push_back(code); }
void record_press(uint32_t y, uint32_t x, uint32_t phase, int32_t slot) { presses.push_back({y, x, phase, slot}); }
void record_wheel(int32_t wheel) { wheels.push_back(wheel); }

constexpr uint8_t ROW_LABEL[2] = {LC_TEXT_ROW, LC_END};
constexpr uint8_t FIELD_LABEL[2] = {LC_DATA_STRING, LC_END};
constexpr int32_t ROW = 0, FIELD = 4;
constexpr uint16_t ROW_X = 10, ROW_Y = 36, FIELD_X = 100, FIELD_Y = 200;

// A text row at (10, 36) in the base panel and a text field of five
// characters in the find bar's panel; every hook records its calls.
class LayerHooks : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_painter = text_row_painter;
    saved_command = run_command_hook;
    saved_press = text_row_press_hook;
    saved_wheel = wheel_hook;
    open_frame();
    run_command_hook = record_command;
    text_row_press_hook = record_press;
    wheel_hook = record_wheel;
    commands.clear();
    presses.clear();
    wheels.clear();
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
    run_command_hook = saved_command;
    text_row_press_hook = saved_press;
    wheel_hook = saved_wheel;
  }

  static uint32_t character(uint8_t c) { return route_input(0, 0, c, WM_CHAR); }
  static uint32_t key_down(uint32_t vk) { return route_input(0, 0, vk, WM_KEYDOWN); }
  static uint32_t at(uint32_t message, uintptr_t buttons, uint32_t x, uint32_t y) {
    return route_input(y, x, buttons, message);
  }

  char field[6];
  uint8_t* rows[1] = {};

 private:
  TextRowPainter saved_painter{};
  void (*saved_command)(uint32_t) = nullptr;
  void (*saved_press)(uint32_t, uint32_t, uint32_t, int32_t) = nullptr;
  void (*saved_wheel)(int32_t) = nullptr;
};

}  // namespace

TEST_F(LayerHooks, KeysNoWidgetTakesGoToTheCommandSinkAndEnterInAFieldComesBack) {
  // No focus: characters and table keys are commands; a key outside the
  // table is nothing.
  wt.focus_widget = NO_SLOT;
  EXPECT_EQ(character('q'), 0u);
  EXPECT_EQ(key_down(VK_END), 0u);
  EXPECT_EQ(key_down('A'), 0u);
  // On a text row every key is a command, Tab included.
  wt.focus_widget = ROW;
  character(VK_TAB);
  EXPECT_EQ(commands, (std::vector<uint32_t>{'q', 256 + VK_END, VK_TAB}));
  EXPECT_EQ(wt.focus_widget, ROW);

  // In the field: typing edits it; Enter is handed back, not run; a table
  // key the field has no use for goes on to the sink.
  commands.clear();
  wt.focus_widget = FIELD;
  EXPECT_EQ(character('x'), 0u);
  EXPECT_STREQ(field, "x    ");
  EXPECT_EQ(character(VK_RETURN), static_cast<uint32_t>(ROUTE_SUBMITTED));
  EXPECT_STREQ(field, "x    ");
  EXPECT_EQ(key_down(VK_HOME), 0u);
  EXPECT_EQ(commands, (std::vector<uint32_t>{256 + VK_HOME}));
  // Only the field's Enter is a submission: Enter on the row is a command.
  wt.focus_widget = ROW;
  EXPECT_EQ(character(VK_RETURN), 0u);
  EXPECT_EQ(commands.back(), uint32_t{VK_RETURN});
}

TEST_F(LayerHooks, PressesAndTheWheelReachTheTextViewInTheRowsCoordinates) {
  at(WM_LBUTTONDOWN, MK_LBUTTON, ROW_X + 50, ROW_Y + 4);
  EXPECT_EQ(wt.pressed_widget, ROW);
  at(WM_MOUSEMOVE, MK_LBUTTON, ROW_X + 61, ROW_Y + 9);
  at(WM_MOUSEMOVE, MK_LBUTTON, FIELD_X + 5, FIELD_Y + 5);  // off the row: no drag step
  at(WM_LBUTTONUP, 0, FIELD_X + 5, FIELD_Y + 5);
  EXPECT_EQ(presses, (std::vector<Press>{{4, 50, 0, ROW}, {9, 61, 1, ROW}}));
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  at(WM_MOUSEWHEEL, 0xFF880000u, 300, 300);
  at(WM_MOUSEWHEEL, 0x00780000u, 300, 300);
  EXPECT_EQ(wheels, (std::vector<int32_t>{static_cast<int32_t>(0xFF880000u), 0x00780000}));
}

TEST_F(LayerHooks, WithoutHooksInputIsDroppedAndATextRowIsABoxInItsColour) {
  run_command_hook = nullptr;
  text_row_press_hook = nullptr;
  wheel_hook = nullptr;
  text_row_painter = TextRowPainter{};
  uint8_t line[] = "abc\r";
  rows[0] = line;
  wt.focus_widget = ROW;
  EXPECT_EQ(character('q'), 0u);
  at(WM_LBUTTONDOWN, MK_LBUTTON, ROW_X + 50, ROW_Y + 4);
  EXPECT_EQ(wt.pressed_widget, ROW);  // the press itself still counts
  at(WM_LBUTTONUP, 0, ROW_X + 50, ROW_Y + 4);
  at(WM_MOUSEWHEEL, 0xFF880000u, 300, 300);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  expect_drawn_as(ROW, [] { fill_rect(13, 16, 500, ROW_Y, ROW_X); });

  // With only a background, the row takes that colour and still draws no text.
  text_row_painter.background = [] { return uint8_t{3}; };
  expect_drawn_as(ROW, [] { fill_rect(3, 16, 500, ROW_Y, ROW_X); });
}
