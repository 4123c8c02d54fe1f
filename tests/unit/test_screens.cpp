// The application's panels as laid out on a 1024 x 768 frame, the menus
// replacing each other, the restoring of the writable tables, and the small
// handlers: colour schemes, file dialogs, Quit and the benchmark.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/window.h"
#include "backends/headless/frame_writer.h"
#include "backends/headless/headless.h"
#include "editor/document.h"
#include "editor/text_row.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/search.h"
#include "screens/file_menu.h"
#include "screens/screens.h"
#include "screens/title.h"
#include "widget_frames.h"
#include "widgets/input.h"

using namespace vusk;
using namespace vusk::test;

namespace {

struct Box {
  uint16_t x, y, w, h;
  bool operator==(const Box&) const = default;
};

Box box_of(int32_t slot) {
  const int32_t i = slot_index(slot);
  return {wt.w_x[i], wt.w_y[i], wt.w_width[i], wt.w_height[i]};
}

std::vector<int32_t> slots_of(uint8_t panel) {
  std::vector<int32_t> out;
  for (int32_t s = 0; s < wt.widget_end; s += 4) {
    if (wt.w_panel[slot_index(s)] == panel && s >= view.text_rows_end) out.push_back(s);
  }
  return out;
}

class Screens : public ::testing::Test {
 protected:
  void SetUp() override {
    open_frame(1024, 768);
    headless::reset();
    create_empty_document();
    wt.default_focus = 0;
    layout_screen();
  }
  // Activates the menu title or entry `slot` as a click would.
  void press(int32_t slot) { wt.w_data[slot_index(slot)].handler(slot); }
};

TEST_F(Screens, FixedPanelsAroundTheTextRows) {
  EXPECT_EQ(view.visible_rows, 44u);
  const std::vector<int32_t> title_bar = slots_of(PANEL_TITLE);
  ASSERT_EQ(title_bar.size(), 2u);
  EXPECT_EQ(box_of(title_bar[0]), (Box{0, 0, 1024, 36}));
  EXPECT_EQ(wt.w_label[slot_index(title_bar[0])], title.label);
  EXPECT_EQ(box_of(title_bar[1]), (Box{1002, 18, 22, 18}));
  const std::vector<int32_t> bar = slots_of(PANEL_MENU_BAR);
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(box_of(bar[1]), (Box{104, 18, 80, 18}));
  EXPECT_EQ(wt.w_flags[slot_index(bar[2])], 0x1C);
  EXPECT_EQ(wt.w_value[slot_index(bar[2])], PANEL_VIEW_MENU);
  EXPECT_EQ(wt.w_hotkey[slot_index(bar[2])], 'v');
  const std::vector<int32_t> bottom = slots_of(PANEL_BOTTOM_BAR);
  ASSERT_EQ(bottom.size(), 8u);
  EXPECT_EQ(box_of(bottom[0]), (Box{0, 740, 1024, 28}));  // rows end at 36 + 44 x 16
  EXPECT_EQ(box_of(bottom[1]), (Box{0, 750, 22, 18}));
  EXPECT_EQ(box_of(bottom[3]), (Box{122, 750, 70, 18}));
  EXPECT_EQ(wt.w_param[slot_index(bottom[3])], 1);
  EXPECT_EQ(box_of(bottom[4]), (Box{856, 750, 120, 18}));
  EXPECT_EQ(box_of(bottom[5]), (Box{980, 750, 22, 18}));
  EXPECT_EQ(box_of(bottom[6]), (Box{1002, 732, 22, 18}));
  EXPECT_EQ(wt.w_param[slot_index(bottom[6])], 2);
  const std::vector<int32_t> thumb = slots_of(PANEL_THUMB);
  ASSERT_EQ(thumb.size(), 1u);
  EXPECT_EQ(box_of(thumb[0]), (Box{1002, 36, 22, 18}));
  const auto* drag = static_cast<const DragDescriptor*>(wt.w_data[slot_index(thumb[0])].ptr);
  EXPECT_EQ(drag->min_x, -22);
  EXPECT_EQ(drag->max_y, -54);
  EXPECT_EQ(drag->on_move, &drag_scroll_thumb);
}

TEST_F(Screens, DropDownsReplaceEachOtherAtTheirCommonCorner) {
  const std::vector<int32_t> bar = slots_of(PANEL_MENU_BAR);
  press(bar[0]);
  std::vector<int32_t> file = slots_of(PANEL_FILE_MENU);
  ASSERT_EQ(file.size(), 8u);
  EXPECT_EQ(file[0], view.thumb_end);
  EXPECT_EQ(wt.focus_widget, file[0]);
  const std::string hotkeys = "-ohsabq";
  for (size_t k = 0; k < 7; ++k) {
    EXPECT_EQ(box_of(file[k]), (Box{8, static_cast<uint16_t>(56 + 18 * k), 152, 18}));
    EXPECT_EQ(wt.w_hotkey[slot_index(file[k])], hotkeys[k]);
    EXPECT_EQ(wt.w_flags[slot_index(file[k])], 0x16);
  }
  EXPECT_EQ(box_of(file[7]), (Box{8, 182, 152, 50}));
  EXPECT_EQ(wt.w_value[slot_index(file[2])], 1);  // open as Hex
  EXPECT_EQ(wt.w_value[slot_index(file[5])], 1);  // save hex as Bin

  // "  File" again only moves the focus; "  Edit" replaces the File menu.
  wt.focus_widget = 0;
  press(bar[0]);
  EXPECT_EQ(wt.focus_widget, file[0]);
  press(bar[1]);
  EXPECT_TRUE(slots_of(PANEL_FILE_MENU).empty());
  const std::vector<int32_t> edit = slots_of(PANEL_EDIT_MENU);
  size_t edit_records = 0;
  while (panel_directory[PANEL_EDIT_MENU][edit_records].label != nullptr) ++edit_records;
  ASSERT_EQ(edit.size(), edit_records);
  EXPECT_EQ(edit[0], view.thumb_end);

  // "Find" replaces the Edit menu with the find bar.
  press(edit[6]);
  EXPECT_TRUE(slots_of(PANEL_EDIT_MENU).empty());
  const std::vector<int32_t> find = slots_of(PANEL_FIND_BAR);
  ASSERT_EQ(find.size(), 2u);
  EXPECT_EQ(box_of(find[0]), (Box{8, 56, 292, 36}));
  EXPECT_EQ(wt.w_kind[slot_index(find[0])], WK_TEXT_INPUT);
  EXPECT_EQ(wt.w_data[slot_index(find[0])].ptr, find_pattern);
  EXPECT_EQ(box_of(find[1]), (Box{8, 92, 152, 18}));

  // "About" replaces the View menu; its close entry closes it.
  press(bar[2]);
  const std::vector<int32_t> view_menu = slots_of(PANEL_VIEW_MENU);
  ASSERT_EQ(view_menu.size(), 8u);
  EXPECT_EQ(wt.w_flags[slot_index(view_menu[4])], 0x36);
  press(view_menu[1]);
  const std::vector<int32_t> about = slots_of(PANEL_ABOUT);
  ASSERT_EQ(about.size(), 2u);
  EXPECT_EQ(box_of(about[1]), (Box{8, 74, 152, 36}));
  press(about[0]);
  EXPECT_EQ(wt.widget_end, view.thumb_end);
  EXPECT_EQ(wt.focus_widget, 0);
}

// Writes the frame to $VUSK_FRAME_DIR/<name>.png when that is set, so that a
// developer can look at it.
void keep_frame(const char* name) {
  const char* dir = std::getenv("VUSK_FRAME_DIR");
  if (dir != nullptr) {
    EXPECT_TRUE(write_frame_png((std::string(dir) + "/" + name + ".png").c_str()));
  }
}

TEST_F(Screens, TheWholeWindowAndAnOpenMenu) {
  redraw_all_widgets();
  keep_frame("window");
  EXPECT_EQ(pixel(1, 600), palette[0]);     // title bar
  EXPECT_EQ(pixel(19, 9), palette[8]);      // "  File"
  EXPECT_EQ(pixel(19, 1003), palette[10]);  // UP
  EXPECT_EQ(pixel(100, 500), palette[13]);  // a text row
  EXPECT_EQ(pixel(51, 0), palette[14]);     // the insert cursor on row 0, column 0
  EXPECT_EQ(pixel(40, 1010), palette[2]);   // the thumb
  EXPECT_EQ(pixel(745, 500), palette[0]);   // the bottom bar's background
  EXPECT_EQ(pixel(751, 37), palette[11]);   // bookmark 1

  press(slots_of(PANEL_MENU_BAR)[0]);
  keep_frame("file-menu");
  EXPECT_EQ(pixel(56, 8), palette[10]);  // the focused close entry: a frame in its colour
  EXPECT_EQ(pixel(60, 10), palette[0]);  // around a black inside
  EXPECT_EQ(pixel(75, 9), palette[10]);  // "Open as text"
  EXPECT_EQ(pixel(183, 9), palette[2]);  // the document size
}

// The title bar's rows (y 0..35), or the find field's (56..91), as drawn.
std::vector<uint32_t> band(uint32_t top, uint32_t rows) {
  std::vector<uint32_t> out;
  for (uint32_t y = top; y < top + rows; ++y) {
    for (uint32_t x = 0; x < 1024; ++x) out.push_back(pixel(y, x));
  }
  return out;
}

// Whether two drawings differ, and only within one 9-pixel cell.
bool differ_in_one_cell(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  uint32_t left = 1024, right = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    left = std::min<uint32_t>(left, i % 1024);
    right = std::max<uint32_t>(right, i % 1024);
  }
  return left <= right && right - left < 9;
}

// A UTF-8 name in the title bar showed each byte as a half-width glyph, so
// "café.txt" read "cafﾃｩ.txt". Against "cafe.txt" only é's one cell differs.
TEST_F(Screens, TheTitleBarShowedAUtf8NameByteByByte) {
  auto title_bar_with = [](const char* name) {
    std::strcpy(files.file_path, name);
    take_file_name();
    redraw_all_widgets();
    return band(0, 36);
  };
  EXPECT_TRUE(differ_in_one_cell(title_bar_with("caf\xC3\xA9.txt"), title_bar_with("cafe.txt")));
}

// So did the find field of a UTF-8 document, its caret counted in bytes.
TEST_F(Screens, TheFindFieldShowedUtf8ByteByByte) {
  show_panel_by_id(PANEL_FIND_BAR);
  input.utf8_fields = 1;
  auto field_with = [](const char* text, uint16_t caret) {
    std::memset(find_pattern, ' ', FIND_PATTERN_CHARS);
    std::memcpy(find_pattern, text, std::strlen(text));
    wt.w_value[slot_index(wt.focus_widget)] = caret;
    draw_widget(wt.focus_widget);
    return band(56, 36);
  };
  EXPECT_TRUE(differ_in_one_cell(field_with("x\xC3\xA9y", 3), field_with("xey", 2)));
}

TEST_F(Screens, ResetRestoresTheWritableTablesAndTheScheme) {
  const int16_t pristine_y = panel_directory[PANEL_BOTTOM_BAR][0].y;
  open_frame(640, 300);
  create_empty_document();
  layout_screen();
  EXPECT_NE(panel_directory[PANEL_BOTTOM_BAR][0].y, pristine_y);
  panel_directory[PANEL_FILE_MENU][1].x = 99;
  apply_colour_scheme(2);
  reset_screen_state();
  EXPECT_EQ(panel_directory[PANEL_BOTTOM_BAR][0].y, pristine_y);
  EXPECT_EQ(panel_directory[PANEL_FILE_MENU][1].x, 8);
  EXPECT_EQ(std::vector<uint8_t>(colour_scheme, colour_scheme + 4), (std::vector<uint8_t>{7, 13, 13, 7}));
}

TEST_F(Screens, ColourSchemeButtons) {
  const std::vector<std::vector<uint8_t>> schemes = {{7, 13, 13, 7}, {3, 0, 0, 9}, {0, 3, 3, 15}};
  for (uint16_t v : {1, 2, 0}) {
    wt.w_value[0] = v;
    select_colour_scheme(0);
    EXPECT_EQ(std::vector<uint8_t>(colour_scheme, colour_scheme + 4), schemes[v]);
  }
  wt.w_value[0] = 3;  // no such scheme: nothing changes
  select_colour_scheme(0);
  EXPECT_EQ(std::vector<uint8_t>(colour_scheme, colour_scheme + 4), schemes[0]);
}

TEST_F(Screens, FileDialogsCancelFailAndChoose) {
  std::strcpy(files.file_path, "before.txt");
  files.file_mode = FILE_MODE_HEX;
  wt.w_value[0] = FILE_MODE_TEXT;
  headless::state.answers.push_back({headless::DialogAnswer::CANCEL, "", 0});
  open_file_dialog(0);
  headless::state.answers.push_back({headless::DialogAnswer::FAIL, "", 0x3003});
  save_file_dialog(0);
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, "chosen.txt", 0});
  open_file_dialog(0);
  // The chosen file does not exist: its load fails with the usual box and
  // leaves the path and the mode as they were.
  EXPECT_EQ(headless::state.transcript,
            (std::vector<std::string>{"dialog open -> cancel", "dialog save -> fail 12291", "box error!?: before.txt",
                                      "dialog open -> chosen.txt", "box error!?: chosen.txt"}));
  EXPECT_STREQ(files.file_path, "before.txt");
  EXPECT_EQ(files.file_mode, FILE_MODE_HEX);
}

TEST_F(Screens, QuitEndsTheProcessWithCodeZero) {
  headless::set_exit_handler([](int code) { throw std::runtime_error("exit " + std::to_string(code)); });
  EXPECT_THROW(quit_button(0), std::runtime_error);
  headless::set_exit_handler(nullptr);
  ASSERT_FALSE(headless::state.transcript.empty());
  EXPECT_EQ(headless::state.transcript.back(), "exit 0");
}

TEST_F(Screens, BenchmarkPostsFramesPerSecondAndLeavesNoSelection) {
  open_frame(624, 288);
  headless::reset();
  create_empty_document();
  wt.default_focus = 0;
  layout_screen();
  run_benchmark(0);
  EXPECT_EQ(status.status_text, number_text);
  EXPECT_EQ(status.status_state, 1);
  const int frames = std::atoi(number_text);
  EXPECT_GT(frames, 0);
  EXPECT_EQ(view.sel_start, view.sel_end);
}

}  // namespace
