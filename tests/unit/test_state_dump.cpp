// The state line that vusk-script prints: slots named from the panel
// directory (and read back by slot_of), the open panels, and the fields that
// come from the Document and the view.
#include <string>
#include <vector>

#include "editor_session.h"
#include "files/load_save.h"
#include "screens/screens.h"

using namespace vusk;
using namespace vusk::test;

namespace {

class StateDump : public EditorSession {
 protected:
  // The panel id that `name` names, or PANEL_COUNT.
  static uint32_t panel_named(const std::string& name) {
    for (uint32_t p = 0; p < PANEL_COUNT; ++p) {
      if (name == panel_name(p)) return p;
    }
    return PANEL_COUNT;
  }
  // The slot that a slot_name names, the way a reader of the state line
  // would find it again: row N or record K of the named panel.
  static int32_t slot_named(const std::string& name) {
    const size_t colon = name.find(':');
    const std::string kind = name.substr(0, colon);
    const uint32_t n = static_cast<uint32_t>(std::stoul(name.substr(colon + 1)));
    if (kind == "row") return static_cast<int32_t>(4 * n);
    return panel_slot(panel_named(kind), n);
  }
  static std::string field(const std::string& name) {
    std::string line = " ";
    line += dump_state();
    line += ' ';
    const size_t at = line.find(" " + name + "=");
    if (at == std::string::npos) return "(missing)";
    const size_t start = at + name.size() + 2;
    return line.substr(start, line.find(' ', start) - start);
  }
};

}  // namespace

TEST_F(StateDump, EveryLiveSlotsNameLeadsBackToIt) {
  // Each overlay in turn (the drop-downs replace each other), over the fixed panels.
  for (uint32_t overlay = 0; overlay < PANEL_COUNT; ++overlay) {
    if (first_slot_of(overlay) != NO_SLOT) continue;  // a fixed panel
    ASSERT_TRUE(open_panel(0, 0, overlay));
    for (int32_t s = 0; s < wt.widget_end; s += 4) {
      const std::string name = slot_name(s);
      EXPECT_EQ(slot_named(name), s) << name;
    }
  }
  EXPECT_EQ(slot_name(slot_of(PANEL_TITLE, 1)), "TITLE:1");  // not a text row, though the rows share its id
  EXPECT_EQ(slot_name(4 * 43), "row:43");
}

TEST_F(StateDump, NoFocusAndDeadSlotsAreNamedAsSuch) {
  EXPECT_EQ(slot_name(NO_SLOT), "none");
  EXPECT_EQ(slot_name(wt.widget_end), "outside:" + std::to_string(wt.widget_end));
  EXPECT_EQ(slot_name(-8), "outside:-8");
  EXPECT_EQ(slot_name(2), "outside:2");  // not a multiple of 4

  wt.widget_end = 0;
  EXPECT_EQ(open_panels(), "none");
  EXPECT_EQ(field("rows"), "0");
}

TEST_F(StateDump, NamesOutliveAPanelThatGainsARecord) {
  keys({"alt", "Enter", "Down", "Down"});  // File menu, its third record
  const int32_t before = wt.focus_widget;
  ASSERT_EQ(field("focus"), "FILE_MENU:2");
  ASSERT_EQ(field("panels"), std::string(FIXED_PANELS) + ",FILE_MENU");

  // The menu bar gains a fourth title: every later slot moves by one.
  std::vector<PanelRecord> bar;
  for (const PanelRecord* r = panel_directory[PANEL_MENU_BAR]; r->label != nullptr; ++r) bar.push_back(*r);
  PanelRecord extra = bar.back();
  extra.x = static_cast<int16_t>(extra.x + 96);
  bar.push_back(extra);
  bar.push_back(PanelRecord{});
  panel_directory[PANEL_MENU_BAR] = bar.data();
  layout_screen();
  key("alt");
  keys({"Enter", "Down", "Down"});
  EXPECT_EQ(wt.focus_widget, before + 4);
  EXPECT_EQ(field("focus"), "FILE_MENU:2");
  EXPECT_EQ(slot_name(slot_of(PANEL_MENU_BAR, 3)), "MENU_BAR:3");
}

TEST_F(StateDump, FieldsFollowTheDocumentAndTheView) {
  set_text("ab\ncd");
  click_cell(1, 1);  // the focus follows the click to row 1
  key("shift+Right");
  EXPECT_EQ(field("text_length"), "6");  // "ab\ncd" and the end marker
  EXPECT_EQ(field("last_line"), "1");
  EXPECT_EQ(field("cursor_row"), "1");
  EXPECT_EQ(field("cursor_col"), "2");
  EXPECT_EQ(field("sel_start"), "4");
  EXPECT_EQ(field("sel_end"), "5");
  EXPECT_EQ(field("focus"), "row:1");
  EXPECT_EQ(field("rows"), std::to_string(view.visible_rows));
  EXPECT_EQ(field("file_name"), "default.txt");
  key("Insert");
  EXPECT_EQ(field("insert_mode"), "0");
  EXPECT_EQ(document_text(), "ab\ncd\x0D");
}
