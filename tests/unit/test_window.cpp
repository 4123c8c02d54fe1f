// The window: creation and its font, the window procedure's paint, resize,
// default-handling, re-entrancy and presentation rules, and the status line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "editor/text_view.h"
#include "raster/raster.h"
#include "backends/headless/headless.h"
#include "platform/messages.h"
#include "platform/platform.h"
#include "app/startup.h"
#include "app/window.h"
#include "widgets/input.h"
#include "widgets/widget_table.h"

using namespace vusk;
namespace fs = std::filesystem;

namespace {

int layout_calls = 0;
void count_layout() { ++layout_calls; }

// Gives the frame pixel memory when alloc_framebuffer left none, so that
// painting has something to copy.
void ensure_frame() {
  if (raster.frame_ready != 0) return;
  raster.frame_pixels = static_cast<uint32_t*>(alloc_or_exit(1024u * 768u * 4u));
  raster.frame_ready = 1;
}

class Window : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_state();
    headless::reset();
    layout_calls = 0;
  }

  // A window as start-up makes it, without the font.
  void create(uint32_t flags = WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE) {
    win.min_frame_width = 624;
    win.min_frame_height = 288;
    win.layout_callback = count_layout;
    win.shows_status_line = 1;
    create_window(flags, 768, 1024, "Vusk");
    ensure_frame();
    headless::state.presented.clear();
    headless::state.default_handled = 0;
    raster.redraw_pending = 0;
    layout_calls = 0;
  }

  // Marks the rectangle as drawn, as the primitives would.
  static void draw_into(uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
    raster.dirty_min_x = left;
    raster.dirty_min_y = top;
    raster.dirty_max_x = right;
    raster.dirty_max_y = bottom;
    raster.redraw_pending = 1;
  }

  // A message the router has no use for (a key release of 'A').
  static intptr_t idle_message() { return headless::send(WM_KEYUP, 'A', 0); }
};

bool same_rect(const PlatformRect& a, const PlatformRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

TEST_F(Window, CreationSizesTheClientAreaToTheFrame) {
  wt.default_focus = 8;
  create();
  EXPECT_TRUE(headless::state.window_created);
  EXPECT_EQ(headless::state.window_title, "Vusk");
  EXPECT_EQ(headless::state.window_style, WINDOW_STYLE_RESIZABLE);
  EXPECT_EQ(raster.frame_width, 1024);
  EXPECT_EQ(raster.frame_height, 768);
  // The frame's extras were measured and the client area made exactly the frame.
  EXPECT_EQ(win.frame_extra_width, headless::FRAME_EXTRA_WIDTH);
  EXPECT_EQ(win.frame_extra_height, headless::FRAME_EXTRA_HEIGHT);
  EXPECT_EQ(headless::state.client_width, 1024);
  EXPECT_EQ(headless::state.client_height, 768);
  EXPECT_EQ(wt.focus_widget, 8);
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  EXPECT_EQ(win.in_wndproc, 0);
  EXPECT_EQ(win.window_flags, WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE);

  const BitmapInfoHeader& b = win.bitmap_info;
  EXPECT_EQ(b.size, 40u);
  EXPECT_EQ(b.height, 768);  // positive: bottom-up rows
  EXPECT_EQ(b.bit_count, 32);
  EXPECT_EQ(b.size_image, 1024u * 768u * 4u);
}

TEST_F(Window, AFixedWindowIgnoresResizes) {
  create(WINDOW_KEEP_ESCAPE);
  EXPECT_EQ(headless::state.window_style, WINDOW_STYLE_FIXED);
  headless::resize_client(800, 600);
  EXPECT_EQ(raster.frame_width, 1024);
  EXPECT_EQ(raster.frame_height, 768);
  EXPECT_EQ(layout_calls, 0);
  EXPECT_EQ(headless::state.default_handled, 1);  // nothing drew
}

TEST_F(Window, ResizeRebuildsTheFrameAndLayout) {
  create();
  headless::resize_client(800, 600);
  EXPECT_EQ(raster.frame_width, 800);
  EXPECT_EQ(raster.frame_height, 600);
  EXPECT_EQ(win.bitmap_info.width, 800);
  EXPECT_EQ(win.bitmap_info.height, 600);
  EXPECT_EQ(win.bitmap_info.size_image, 800u * 600u * 4u);
  EXPECT_EQ(layout_calls, 1);
  EXPECT_EQ(win.in_wndproc, 0);
  EXPECT_EQ(raster.redraw_pending, 0);
  EXPECT_EQ(headless::state.default_handled, 0);
}

// The window itself refuses sizes below the least frame and the frame's
// extras; a fixed window needs no such bound.
TEST_F(Window, TheWindowsLeastSizeHoldsTheLeastFrame) {
  create();
  EXPECT_EQ(headless::state.min_outer_width, 624u + headless::FRAME_EXTRA_WIDTH);
  EXPECT_EQ(headless::state.min_outer_height, 288u + headless::FRAME_EXTRA_HEIGHT);
  headless::reset();
  reset_all_state();
  create(WINDOW_KEEP_ESCAPE);
  EXPECT_EQ(headless::state.min_outer_width, 0u);
}

TEST_F(Window, ResizeNeverShrinksTheFrameBelowTheMinimum) {
  create();
  headless::resize_client(500, 200);
  EXPECT_EQ(raster.frame_width, 624);
  EXPECT_EQ(raster.frame_height, 288);
  headless::resize_client(700, 100);
  EXPECT_EQ(raster.frame_width, 700);
  EXPECT_EQ(raster.frame_height, 288);
  // A minimised window has an empty client area.
  headless::resize_client(0, 0);
  EXPECT_EQ(raster.frame_width, 624);
  EXPECT_EQ(raster.frame_height, 288);
  EXPECT_EQ(layout_calls, 3);
}

TEST_F(Window, AMessageThatDrawsNothingGetsDefaultHandling) {
  create();
  idle_message();
  EXPECT_EQ(headless::state.default_handled, 1);
  EXPECT_TRUE(headless::state.presented.empty());
  // Closing draws nothing either: the default handling destroys the window,
  // whose WM_DESTROY ends the message loop with code 0.
  headless::send(WM_CLOSE, 0, 0);
  EXPECT_TRUE(headless::state.quit_posted);
  EXPECT_EQ(headless::state.quit_code, 0);
}

TEST_F(Window, PresentsExactlyTheDirtyRectClampedToTheFrame) {
  create();
  draw_into(10, 20, 30, 40);
  EXPECT_EQ(idle_message(), 0);
  ASSERT_EQ(headless::state.presented.size(), 1u);
  EXPECT_TRUE(same_rect(headless::state.presented[0], {10, 20, 30, 40}));
  EXPECT_EQ(raster.redraw_pending, 0);
  EXPECT_EQ(headless::state.default_handled, 0);

  // Drawing that reached past the frame is presented up to its edges only.
  draw_into(1000, 700, 5000, 9000);
  idle_message();
  ASSERT_EQ(headless::state.presented.size(), 2u);
  EXPECT_TRUE(same_rect(headless::state.presented[1], {1000, 700, 1024, 768}));

  // Drawing with nothing to show (an empty rectangle) presents nothing.
  draw_into(1024, 768, 0, 0);
  idle_message();
  EXPECT_EQ(headless::state.presented.size(), 2u);
  EXPECT_EQ(raster.redraw_pending, 0);
  EXPECT_EQ(headless::state.default_handled, 0);
}

TEST_F(Window, PaintCopiesTheBottomUpFrameTopDown) {
  create();
  *pixel_address(0, 0) = 0x112233;
  *pixel_address(767, 1023) = 0x445566;
  *pixel_address(2, 3) = 0x778899;
  present_now();
  const auto& screen = headless::state.screen;
  ASSERT_EQ(screen.size(), 1024u * 768u);
  EXPECT_EQ(screen[0], 0x112233u);
  EXPECT_EQ(screen[767u * 1024u + 1023u], 0x445566u);
  EXPECT_EQ(screen[2u * 1024u + 3u], 0x778899u);
  ASSERT_EQ(headless::state.presented.size(), 1u);
  EXPECT_TRUE(same_rect(headless::state.presented[0], {0, 0, 1024, 768}));
}

TEST_F(Window, LifeCycleMessagesNeverReachTheRouter) {
  create();
  draw_into(0, 0, 5, 5);
  EXPECT_EQ(headless::send(WM_USER, 0, 0), 0);
  EXPECT_EQ(headless::send(WM_CREATE, 0, 0), 0);
  // Neither presented nor consumed the pending drawing.
  EXPECT_EQ(raster.redraw_pending, 1);
  EXPECT_TRUE(headless::state.presented.empty());
  EXPECT_EQ(headless::state.default_handled, 0);
  EXPECT_FALSE(headless::state.quit_posted);
  EXPECT_EQ(headless::send(WM_DESTROY, 0, 0), 0);
  EXPECT_TRUE(headless::state.quit_posted);
  // Without a frame, painting is left to the platform.
  raster.frame_ready = 0;
  present_now();
  EXPECT_EQ(headless::state.default_handled, 1);
  EXPECT_TRUE(headless::state.screen.empty());
}

// Escape closes a window only when its flags do not keep the key; start-up's
// window keeps it, so there it reaches the dispatcher like any other key.
TEST_F(Window, EscapeClosesOnlyAWindowThatDoesNotKeepIt) {
  create(WINDOW_RESIZABLE);
  EXPECT_EQ(route_input(0, 0, VK_ESCAPE, WM_CHAR).action, ROUTE_NONE);
  ASSERT_EQ(headless::state.queue.size(), 1u);
  EXPECT_EQ(headless::state.queue[0].message, WM_CLOSE);

  headless::state.queue.clear();
  create(WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE);
  const RouteResult routed = route_input(0, 0, VK_ESCAPE, WM_CHAR);
  EXPECT_TRUE(headless::state.queue.empty());
  EXPECT_EQ(routed.action, ROUTE_COMMAND);
  EXPECT_EQ(routed.code, uint32_t{VK_ESCAPE});
}

TEST_F(Window, AMessageDuringAnotherGetsOnlyDefaultHandling) {
  create();
  win.in_wndproc = 1;  // as inside a message box opened by a handler
  draw_into(0, 0, 50, 50);
  headless::send(WM_LBUTTONDOWN, MK_LBUTTON, make_position(10, 10));
  headless::resize_client(800, 600);
  EXPECT_EQ(headless::state.default_handled, 2);
  EXPECT_EQ(raster.frame_width, 1024);  // the resize was not acted on
  EXPECT_EQ(layout_calls, 0);
  EXPECT_TRUE(headless::state.presented.empty());
  EXPECT_EQ(raster.redraw_pending, 1);  // left for the message being handled
  EXPECT_EQ(win.in_wndproc, 1);
  // Painting is still served, so the window does not go blank meanwhile.
  present_now();
  EXPECT_EQ(headless::state.presented.size(), 1u);
  EXPECT_EQ(headless::state.default_handled, 2);
}

TEST_F(Window, StatusMessageShowsOnceThenIsPaintedOver) {
  create();
  post_status("Copied.");
  EXPECT_EQ(raster.redraw_pending, 1);
  // The message itself counts as drawing: the event presents.
  idle_message();
  EXPECT_EQ(status.status_state, 2);
  EXPECT_EQ(headless::state.default_handled, 0);
  // Events that draw nothing leave it on screen.
  idle_message();
  EXPECT_EQ(status.status_state, 2);
  // The next event that draws paints the bars over it.
  draw_into(0, 0, 1, 1);
  idle_message();
  EXPECT_EQ(status.status_state, 0);
}

// ---- The double-byte font ---------------------------------------------------

namespace {

std::string scratch;  // a directory of font files, removed after each test

class FontFiles : public Window {
 protected:
  void SetUp() override {
    Window::SetUp();
    scratch = (fs::temp_directory_path() / ("vusk-font-" + std::to_string(getpid()))).string();
    fs::create_directories(scratch);
  }
  void TearDown() override {
    platform_hooks.installed_data_path = nullptr;
    fs::remove_all(scratch);
  }
};

// Writes `bytes` bytes of a recognisable pattern; returns the path.
std::string write_font(const std::string& name, size_t bytes) {
  const std::string path = scratch + "/" + name;
  std::ofstream out(path, std::ios::binary);
  for (size_t i = 0; i < bytes; ++i) out.put(static_cast<char>(i * 7 + 1));
  return path;
}

// The installed-copy hook of these tests: the scratch directory.
bool scratch_data_path(const char* name, char* dest, uint32_t max) {
  return static_cast<uint32_t>(std::snprintf(dest, max, "%s/%s", scratch.c_str(), name)) < max;
}

bool exe_dir_has_font() {
  char path[4096];
  const uint32_t dir = module_directory(path, sizeof path);
  return fs::exists(std::string(path, dir) + "jisfont.bin");
}

}  // namespace

TEST_F(FontFiles, OnlyAWholeFontImageLoads) {
  uint8_t* font = load_font_file(write_font("good.bin", JIS_FONT_BYTES).c_str());
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font[0], 1);
  EXPECT_EQ(font[JIS_FONT_BYTES - 1], static_cast<uint8_t>((JIS_FONT_BYTES - 1) * 7 + 1));
  free_block(font);

  EXPECT_EQ(load_font_file(write_font("short.bin", JIS_FONT_BYTES - 1).c_str()), nullptr);
  EXPECT_EQ(load_font_file(write_font("long.bin", JIS_FONT_BYTES + 30).c_str()), nullptr);
  EXPECT_EQ(load_font_file(write_font("empty.bin", 0).c_str()), nullptr);
  EXPECT_EQ(load_font_file((scratch + "/missing.bin").c_str()), nullptr);
  EXPECT_EQ(load_font_file(scratch.c_str()), nullptr);  // a directory
}

TEST_F(FontFiles, TheFlagStaysSetOnlyWhenAFontWasRead) {
  if (exe_dir_has_font()) {
    GTEST_SKIP() << "a jisfont.bin lies beside the test program";
  }
  create(WINDOW_RESIZABLE | WINDOW_JIS_FONT);
  EXPECT_EQ(win.window_flags, WINDOW_RESIZABLE);
  EXPECT_EQ(raster.jis_font, nullptr);

  // A short file where an installed copy keeps its font is no font either.
  platform_hooks.installed_data_path = scratch_data_path;
  write_font("jisfont.bin", JIS_FONT_BYTES / 2);
  create(WINDOW_RESIZABLE | WINDOW_JIS_FONT);
  EXPECT_EQ(win.window_flags, WINDOW_RESIZABLE);
  EXPECT_EQ(raster.jis_font, nullptr);

  write_font("jisfont.bin", JIS_FONT_BYTES);
  create(WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE | WINDOW_JIS_FONT);
  EXPECT_EQ(win.window_flags, WINDOW_KEEP_ESCAPE | WINDOW_RESIZABLE | WINDOW_JIS_FONT);
  ASSERT_NE(raster.jis_font, nullptr);
  EXPECT_EQ(raster.jis_font, win.jis_font_block);
  EXPECT_EQ(raster.jis_font[1], 8);
}
