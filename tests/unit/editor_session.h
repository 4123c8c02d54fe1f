// A running editor for the router and dispatcher tests: the real start-up on
// a 1024 x 768 headless window, with helpers that deliver keys, characters
// and mouse messages through the window procedure, set the Document's text
// and read it back. Included only by tests.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "commands/commands.h"
#include "editor/document.h"
#include "screens/panel_ids.h"
#include "editor/text_view.h"
#include "raster/raster.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "platform/messages.h"
#include "backends/posix/posix_support.h"
#include "app/startup.h"
#include "app/state_dump.h"
#include "app/window.h"
#include "widgets/input.h"
#include "widgets/widget_table.h"

namespace vusk::test {

// The slot of record `record` of the open panel `panel`, as the layout
// placed it; fails the test when that panel or record is not open.
inline int32_t slot_of(uint32_t panel, uint32_t record = 0) {
  const int32_t slot = panel_slot(panel, record);
  EXPECT_NE(slot, NO_SLOT) << panel_name(panel) << " has no open record " << record;
  return slot;
}

// The fixed panels that the layout opens after the text rows; drop-downs,
// the find bar and the about box follow them.
constexpr const char* FIXED_PANELS = "TITLE,MENU_BAR,BOTTOM_BAR,THUMB";

class EditorSession : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_state();
    headless::reset();
    set_command_line("vusk");
    start_up_steps();
    headless::send(WM_KEYUP, 'A', 0);  // presents what start-up drew
    headless::state.presented.clear();
  }

  // One press and release of a key as Windows delivers it ("shift+Right").
  static void key(const std::string& name) {
    const KeyStroke stroke = parse_key(name);
    ASSERT_TRUE(stroke.valid) << name;
    for (const KeyMessage& m : stroke.messages) headless::send(m.message, m.wparam, m.lparam);
  }
  static void keys(std::initializer_list<const char*> names) {
    for (const char* n : names) key(n);
  }
  // Character messages, one per byte.
  static void chars(const std::string& text) {
    for (const char c : text) headless::send(WM_CHAR, static_cast<uint8_t>(c), 1);
  }
  static void mouse(uint32_t message, uint32_t buttons, uint32_t x, uint32_t y) {
    headless::send(message, buttons, make_position(y, x));
  }
  static void click(uint32_t x, uint32_t y) {
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
    mouse(WM_LBUTTONUP, 0, x, y);
  }
  // Puts the cursor at screen row `row`, column `col` as a click would.
  static void click_cell(uint32_t row, uint32_t col) { click(9 * col + 4, 36 + 16 * row + 8); }

  // Replaces the text by `text` ('\n' between lines) with the view at the top.
  static void set_text(const std::string& text) {
    std::memcpy(doc.text_buffer, text.data(), text.size());
    doc.text_buffer[text.size()] = 0x0D;
    doc.text_length = static_cast<uint32_t>(text.size() + 1);
    doc.last_line = static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n'));
    rebuild_line_table(0);
    doc.cursor_ptr = doc.text_buffer;  // as a load leaves the location record
    view.top_line = view.left_col = 0;
    empty_selection(doc.text_buffer);
    sync_scroll_thumb();
    redraw_all_widgets();
  }
  // The text as lines joined by '\n': filler dropped, ending at the marker.
  static std::string text() {
    std::string out;
    for (uint32_t k = 0; k <= doc.last_line; ++k) {
      if (k != 0) out += '\n';
      for (const uint8_t* p = line_start(k); *p != 0x0A && *p != 0x0D; ++p) out += static_cast<char>(*p);
    }
    return out;
  }
  static std::string selected() {
    return std::string(reinterpret_cast<const char*>(view.sel_start), static_cast<size_t>(view.sel_end - view.sel_start));
  }
  static int32_t row() { return view.cursor_row; }
  static int32_t col() { return view.cursor_col; }
};

}  // namespace vusk::test
