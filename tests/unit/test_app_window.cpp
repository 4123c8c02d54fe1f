// The window procedure with the application's real start-up: resizes that
// rebuild the rows and the whole picture, clicks that reach no widget, the
// status line on screen, and presses or drags cut short by a resize.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "editor/text_view.h"
#include "raster/raster.h"
#include "backends/headless/headless.h"
#include "platform/messages.h"
#include "backends/posix/posix_support.h"
#include "app/startup.h"
#include "app/window.h"
#include "widgets/input.h"
#include "widgets/widget_table.h"

using namespace vusk;

namespace {

class AppWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_state();
    headless::reset();
    set_command_line("vusk");
    start_up_steps();
    headless::state.default_handled = 0;
  }

  static void send_at(uint32_t message, uintptr_t keys, uint32_t y, uint32_t x) {
    headless::send(message, keys, make_position(y, x));
  }

  // The presented screen from (x, y), width x height, top row first.
  static std::vector<uint32_t> screen(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
    std::vector<uint32_t> out;
    const auto w = static_cast<uint32_t>(headless::state.client_width);
    for (uint32_t r = y; r < y + height; ++r) {
      for (uint32_t c = x; c < x + width; ++c) out.push_back(headless::state.screen[r * w + c]);
    }
    return out;
  }

  // True when the screen shows the frame's pixels wherever both exist.
  static bool screen_shows_frame() {
    const auto w = static_cast<uint32_t>(std::min<int32_t>(headless::state.client_width, raster.frame_width));
    const auto h = static_cast<uint32_t>(std::min<int32_t>(headless::state.client_height, raster.frame_height));
    for (uint32_t y = 0; y < h; ++y) {
      for (uint32_t x = 0; x < w; ++x) {
        if (headless::state.screen[y * headless::state.client_width + x] != *pixel_address(y, x)) return false;
      }
    }
    return true;
  }
};

}  // namespace

TEST_F(AppWindow, ResizeRebuildsRowsAndTheWholePictureNeverBelowTheMinimum) {
  headless::resize_client(500, 200);
  EXPECT_EQ(raster.frame_width, 624);
  EXPECT_EQ(raster.frame_height, 288);
  EXPECT_EQ(view.visible_rows, 14u);
  EXPECT_EQ(view.visible_cols, 69u);
  EXPECT_TRUE(screen_shows_frame());  // the client's part of it

  headless::resize_client(800, 600);
  EXPECT_EQ(view.visible_rows, 34u);
  EXPECT_EQ(wt.w_y[slot_index(view.top_bars_end)], 36 + 16 * 34);
  EXPECT_TRUE(screen_shows_frame());
  EXPECT_EQ(headless::state.default_handled, 0);
}

TEST_F(AppWindow, AClickThatReachesNoWidgetIsLeftToThePlatform) {
  const size_t presented = headless::state.presented.size();
  for (uint32_t y : {5u, 760u}) {  // the title text, the bottom bar's background
    send_at(WM_LBUTTONDOWN, MK_LBUTTON, y, 500);
    send_at(WM_LBUTTONUP, 0, y, 500);
  }
  EXPECT_EQ(headless::state.default_handled, 4);
  EXPECT_EQ(headless::state.presented.size(), presented);
  EXPECT_EQ(wt.focus_widget, 0);
}

TEST_F(AppWindow, StatusMessageIsDrawnOverTheBottomBarThenPaintedOver) {
  const std::vector<uint32_t> bar = screen(750, 200, 18, 120);
  post_status("File saved.");
  headless::send(WM_KEYUP, 'A', 0);  // an event that draws nothing itself
  EXPECT_EQ(status.status_state, 2);
  const std::vector<uint32_t> shown = screen(750, 200, 18, 120);
  EXPECT_NE(shown, bar);
  EXPECT_NE(std::count(shown.begin(), shown.end(), palette[9]), 0);  // its glyphs' colour
  headless::send(WM_KEYUP, 'A', 0);
  EXPECT_EQ(screen(750, 200, 18, 120), shown);  // stays until something draws
  headless::send(WM_KEYDOWN, VK_RIGHT, 1);
  EXPECT_EQ(status.status_state, 0);
  EXPECT_EQ(screen(750, 200, 18, 120), bar);
}

TEST_F(AppWindow, ANewStatusMessagePaintsOverALongerOneShown) {
  const std::vector<uint32_t> bar = screen(750, 263, 18, 300);
  post_status("Search string not found");  // 23 cells
  headless::send(WM_KEYUP, 'A', 0);
  ASSERT_NE(screen(750, 263, 18, 300), bar);
  post_status("Copied.");  // 7 cells: 63 pixels from x 200
  headless::send(WM_KEYUP, 'A', 0);
  EXPECT_EQ(status.status_state, STATUS_SHOWN);
  EXPECT_EQ(screen(750, 263, 18, 300), bar);  // nothing of the longer one is left
}

TEST_F(AppWindow, AResizeEndsPressesAndPanelDrags) {
  send_at(WM_LBUTTONDOWN, MK_LBUTTON, 27, 40);  // "  File"
  send_at(WM_LBUTTONUP, 0, 27, 40);
  send_at(WM_RBUTTONDOWN, MK_RBUTTON, 56 + 6 * 18 + 9, 80);  // "Quit", movable
  ASSERT_NE(input.rdrag_widget, NO_SLOT);
  send_at(WM_LBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, 40, 1010);  // the thumb
  headless::resize_client(1024, 4000);
  // The slots the press and the drag began on now hold other widgets.
  send_at(WM_MOUSEMOVE, MK_LBUTTON | MK_RBUTTON, 400, 80);
  EXPECT_EQ(wt.w_y[0], 36);
  EXPECT_EQ(wt.w_y[slot_index(view.text_rows_end)], 0);
  EXPECT_EQ(view.top_line, 0);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
}
