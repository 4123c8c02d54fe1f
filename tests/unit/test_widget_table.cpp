// The widget table: opening panels with edge-relative geometry, replacement
// at the same spot, closing with compaction, show_panel, the table's bound,
// and the whole-table operations.
#include <gtest/gtest.h>

#include <vector>

#include "editor/text_view.h"
#include "widget_frames.h"
#include "widgets/label_builders.h"

using namespace vusk;
using namespace vusk::test;

namespace {

constexpr auto L_ITEM = lc::text_label("item");

PanelRecord rec(int16_t x, int16_t y, int16_t w, uint16_t h, uint8_t colour = 10, uint8_t hotkey = 0) {
  return PanelRecord{L_ITEM.data(), {}, x, y, w, h, 0, 0, WK_BUTTON, colour, 0, hotkey, 0};
}

// A list of `n` records stacked below one another from (x, y).
std::vector<PanelRecord> column(int16_t x, int16_t y, int n, uint16_t h = 18) {
  std::vector<PanelRecord> list;
  for (int i = 0; i < n; ++i) list.push_back(rec(x, i == 0 ? y : -1, 152, h));
  list.push_back(PanelRecord{});
  return list;
}

struct Box {
  uint16_t x, y, w, h;
  bool operator==(const Box&) const = default;
};
Box box(int32_t i) { return {wt.w_x[i], wt.w_y[i], wt.w_width[i], wt.w_height[i]}; }

uint8_t panel_of(int32_t slot) { return wt.w_panel[slot_index(slot)]; }

std::vector<uint8_t> panels_in_table() {
  std::vector<uint8_t> out;
  for (int32_t s = 0; s < wt.widget_end; s += 4) out.push_back(panel_of(s));
  return out;
}

class WidgetTable : public ::testing::Test {
 protected:
  void SetUp() override {
    open_frame(1024, 768);
    for (auto& entry : panel_directory) entry = nullptr;
  }
  void install(uint32_t id, std::vector<PanelRecord>& list) { panel_directory[id] = list.data(); }
};

TEST_F(WidgetTable, EdgeRelativeGeometryAndBelowThePrevious) {
  std::vector<PanelRecord> list = {rec(8, 56, -1, 18), rec(-22, -1, 22, 30), rec(-168, -1, 120, 18),
                                   rec(0, -18, 22, 18), PanelRecord{}};
  install(2, list);
  ASSERT_TRUE(open_panel(0, 0, 2));
  ASSERT_EQ(wt.widget_end, 16);
  EXPECT_EQ(box(0), (Box{8, 56, 1016, 18}));  // width -1 ends at the right edge
  EXPECT_EQ(box(1), (Box{1002, 74, 22, 30}));
  EXPECT_EQ(box(2), (Box{856, 104, 120, 18}));
  EXPECT_EQ(box(3), (Box{0, 750, 22, 18}));
  EXPECT_EQ(panel_of(12), 2);

  // Offsets move every widget once (the chain of y = -1 does not add them
  // up); a width of -1 still ends at the right edge.
  wt.widget_end = 0;
  ASSERT_TRUE(open_panel(10, 3, 2));
  EXPECT_EQ(box(0), (Box{11, 66, 1013, 18}));
  EXPECT_EQ(box(1), (Box{1005, 84, 22, 30}));
  EXPECT_EQ(box(2), (Box{859, 114, 120, 18}));
}

TEST_F(WidgetTable, APanelAtTheSameSpotReplacesTheOtherUnlessItWasDraggedAway) {
  std::vector<PanelRecord> bar = {rec(8, 18, 80, 18), rec(104, 18, 80, 18), PanelRecord{}};
  std::vector<PanelRecord> file = column(8, 56, 4);
  std::vector<PanelRecord> edit = column(8, 56, 3);
  install(1, bar);
  install(2, file);
  install(3, edit);
  wt.default_focus = 0;
  ASSERT_TRUE(open_panel(0, 0, 1));
  ASSERT_TRUE(open_panel(0, 0, 3));
  wt.focus_widget = 8;
  ASSERT_TRUE(open_panel(0, 0, 2));
  EXPECT_EQ(panels_in_table(), (std::vector<uint8_t>{1, 1, 2, 2, 2, 2}));
  EXPECT_EQ(wt.w_y[2], 56);
  EXPECT_EQ(wt.focus_widget, 0);  // closing the replaced panel moved the focus

  // Dragged off (8, 56): the File menu stays when the Edit menu opens.
  for (int32_t i = 2; i < 6; ++i) wt.w_x[i] = static_cast<uint16_t>(wt.w_x[i] + 100);
  ASSERT_TRUE(open_panel(0, 0, 3));
  EXPECT_EQ(panels_in_table(), (std::vector<uint8_t>{1, 1, 2, 2, 2, 2, 3, 3, 3}));
}

TEST_F(WidgetTable, AnEdgeRelativeFirstRecordNeverReplaces) {
  std::vector<PanelRecord> thumb = {rec(-22, 36, 22, 18), PanelRecord{}};
  install(6, thumb);
  ASSERT_TRUE(open_panel(0, 0, 6));
  ASSERT_TRUE(open_panel(0, 0, 6));
  EXPECT_EQ(wt.widget_end, 8);
}

TEST_F(WidgetTable, ClosePanelCompactsEveryFieldAndFocusesTheDefault) {
  static uint8_t variable = 0;
  std::vector<PanelRecord> bar = {rec(8, 18, 80, 18), PanelRecord{}};
  std::vector<PanelRecord> menu = column(8, 56, 3);
  std::vector<PanelRecord> other = {
      PanelRecord{L_ITEM.data(), &variable, 300, 56, 40, 20, 7, 9, WK_TOGGLE, 11, WF_ENTER, 'z', 0},
      PanelRecord{}};
  install(1, bar);
  install(2, menu);
  install(4, other);
  wt.default_focus = 0;
  open_panel(0, 0, 1);
  open_panel(0, 0, 2);
  open_panel(0, 0, 4);
  ASSERT_EQ(wt.widget_end, 20);
  wt.focus_widget = 16;  // in the panel that stays open
  raster.redraw_pending = 0;
  close_panel(8);  // the menu's second slot
  EXPECT_EQ(wt.widget_end, 8);
  EXPECT_EQ(wt.focus_widget, 0);
  EXPECT_EQ(wt.w_label[1], L_ITEM.data());
  EXPECT_EQ(wt.w_data[1].ptr, &variable);
  EXPECT_EQ(wt.w_x[1], 300);
  EXPECT_EQ(wt.w_y[1], 56);
  EXPECT_EQ(wt.w_width[1], 40);
  EXPECT_EQ(wt.w_height[1], 20);
  EXPECT_EQ(wt.w_value[1], 7);
  EXPECT_EQ(wt.w_param[1], 9);
  EXPECT_EQ(wt.w_kind[1], WK_TOGGLE);
  EXPECT_EQ(wt.w_colour[1], 11);
  EXPECT_EQ(wt.w_flags[1], WF_ENTER);
  EXPECT_EQ(wt.w_hotkey[1], 'z');
  EXPECT_EQ(wt.w_panel[1], 4);
  // The whole table was redrawn: the closed menu's place shows the paper.
  EXPECT_EQ(raster.redraw_pending, 1);
  EXPECT_EQ(pixel(57, 10), palette[PAPER]);
  EXPECT_EQ(pixel(57, 301), palette[11]);
}

TEST_F(WidgetTable, ShowPanelOpensOnceAndFocusesTheFirstSlot) {
  std::vector<PanelRecord> bar = {rec(8, 18, 80, 18), PanelRecord{}};
  std::vector<PanelRecord> menu = column(8, 56, 3);
  bar[0].value = 2;
  bar[0].data = WidgetData(show_panel);
  install(1, bar);
  install(2, menu);
  open_panel(0, 0, 1);
  show_panel(0);
  ASSERT_EQ(wt.widget_end, 16);
  EXPECT_EQ(wt.focus_widget, 4);
  EXPECT_EQ(pixel(57, 9), palette[10]);    // the menu was drawn
  EXPECT_EQ(pixel(59, 11), palette[0]);    // with the dotted focus on its first entry
  EXPECT_EQ(pixel(77, 11), palette[10]);   // and none on the second

  wt.focus_widget = 12;
  show_panel(0);
  EXPECT_EQ(wt.widget_end, 16);  // nothing opened
  EXPECT_EQ(wt.focus_widget, 4);
}

TEST_F(WidgetTable, APanelThatDoesNotFitOpensNothing) {
  std::vector<PanelRecord> bar = {rec(8, 18, 80, 18), rec(104, 18, 80, 18), PanelRecord{}};
  std::vector<PanelRecord> big = column(300, 100, 150, 1);
  std::vector<PanelRecord> eight = column(8, 56, 8);
  std::vector<PanelRecord> nine = column(8, 56, 9);
  std::vector<PanelRecord> elsewhere = column(600, 56, 1);
  install(1, bar);
  install(2, big);
  install(3, eight);
  install(4, nine);
  install(5, elsewhere);
  ASSERT_TRUE(open_panel(0, 0, 1));
  ASSERT_TRUE(open_panel(0, 0, 2));
  ASSERT_TRUE(open_panel(0, 0, 3));
  ASSERT_EQ(wt.widget_end, 4 * WIDGET_SLOTS);  // exactly full

  clear_frame();
  const std::vector<uint32_t> before = snapshot();
  wt.focus_widget = 8;
  // Nine records would not fit even after replacing the eight at (8, 56):
  // the eight stay open and nothing is drawn.
  EXPECT_FALSE(open_panel(0, 0, 4));
  EXPECT_FALSE(open_panel(0, 0, 5));
  EXPECT_EQ(wt.widget_end, 4 * WIDGET_SLOTS);
  EXPECT_EQ(panel_of(4 * WIDGET_SLOTS - 4), 3);
  EXPECT_EQ(wt.focus_widget, 8);
  EXPECT_EQ(raster.redraw_pending, 0);
  EXPECT_EQ(snapshot(), before);

  // show_panel on a panel that cannot open leaves the focus where it was.
  wt.w_value[0] = 4;
  show_panel(0);
  EXPECT_EQ(wt.focus_widget, 8);
  EXPECT_EQ(wt.widget_end, 4 * WIDGET_SLOTS);

  // The same nine fit once the big panel is gone.
  close_panel(8);
  EXPECT_TRUE(open_panel(0, 0, 4));
  EXPECT_EQ(panels_in_table().size(), 11u);
  EXPECT_FALSE(open_panel(0, 0, PANEL_COUNT));
  std::vector<PanelRecord> empty = {PanelRecord{}};
  install(6, empty);
  EXPECT_FALSE(open_panel(0, 0, 6));
  EXPECT_EQ(panels_in_table().size(), 11u);
}

TEST_F(WidgetTable, ReleasePressedAndRedrawAll) {
  std::vector<PanelRecord> menu = column(8, 56, 3);
  install(2, menu);
  open_panel(0, 0, 2);
  wt.pressed_widget = 8;
  release_pressed();
  EXPECT_EQ(wt.pressed_widget, NO_SLOT);
  EXPECT_EQ(raster.redraw_pending, 0);  // nothing was pressed: nothing drawn

  wt.w_flags[0] |= WF_PRESSED;
  wt.w_flags[2] |= WF_PRESSED | WF_ENTER;
  release_pressed();
  EXPECT_EQ(wt.w_flags[0], 0);
  EXPECT_EQ(wt.w_flags[2], WF_ENTER);
  EXPECT_EQ(pixel(57, 9), palette[10]);
  EXPECT_EQ(pixel(75, 9), palette[PAPER]);  // the unpressed one was not drawn
  EXPECT_EQ(pixel(93, 9), palette[10]);

  view.top_line = 10;
  view.cursor_row = 3;
  redraw_all_widgets();
  EXPECT_EQ(view.cursor_abs_line, 13u);
  EXPECT_EQ(pixel(75, 9), palette[10]);
}

}  // namespace
