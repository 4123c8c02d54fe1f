// Text rows drawn by the label interpreter: the row's end at the last
// drawable cell and at line ends, Shift_JIS pairs, the selection highlight
// and the two cursor shapes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "editor/document.h"
#include "editor/text_row.h"
#include "editor/text_view.h"
#include "screens/screens.h"
#include "widget_frames.h"

using namespace vusk;
using namespace vusk::test;

namespace {

constexpr uint8_t ROW_LABEL[2] = {LC_TEXT_ROW, LC_END};
constexpr uint32_t Y = 36;
constexpr uint32_t KANJI_ROW16_CELL1 = 256 + 1410;  // Shift_JIS 88 9F, JIS row 16 cell 1

class TextRow : public ::testing::Test {
 protected:
  std::vector<uint8_t> font = std::vector<uint8_t>(JIS_FONT_BYTES);
  uint8_t* rows[4] = {};

  void SetUp() override {
    open_frame(1024, 768);
    // A double-byte font whose glyph k shows k in its first row and a full
    // last row, so that a wrong glyph code shows as different pixels.
    for (uint32_t k = 0; k < JIS_GLYPHS; ++k) {
      font[30 * k] = static_cast<uint8_t>(k >> 8);
      font[30 * k + 1] = static_cast<uint8_t>(k);
      font[30 * k + 28] = 0xFF;
      font[30 * k + 29] = 0xFF;
    }
    raster.jis_font = font.data();
    single_widget(ROW_LABEL, 0, Y, 1024, 16, 13, WK_TEXT_ROW);
    wt.w_data[0] = WidgetData(static_cast<void*>(rows));
    wt.w_panel[0] = 0;
    view.cursor_row = 3;  // not this row, unless a test says so
  }
  void TearDown() override { raster.jis_font = nullptr; }

  void background() { fill_rect(colour_scheme[1], 16, 1024, Y, 0); }
};

TEST_F(TextRow, CharactersFromTheValueCellOnwardSpacesUndrawn) {
  uint8_t line[] = "ab c\x01\rzz";
  rows[0] = line;
  wt.w_value[0] = 1;  // the row starts one cell to the right
  for (int32_t focus : {NO_SLOT, 0}) {  // a text row never shows the dotted focus
    wt.focus_widget = focus;
    expect_drawn_as(0, [&] {
      background();
      glyphs("ab c\x01", 7, Y, 9);
    });
  }
}

TEST_F(TextRow, StopsAtTheLastDrawableCell) {
  std::string text(130, 'x');
  text += '\r';
  rows[0] = reinterpret_cast<uint8_t*>(text.data());
  expect_drawn_as(0, [&] {
    background();
    for (uint32_t cx = 0; cx <= 1008; cx += 9) draw_glyph('x', 7, Y, cx);
  });
}

TEST_F(TextRow, DoubleBytePairsAndWhereTheyCannotStart) {
  doc.encoding = ENCODING_SHIFT_JIS;
  // 111 cells, then a pair starting at 999: the last place a pair fits.
  std::string fits(111, 'x');
  fits += "\x88\x9F\r";
  rows[0] = reinterpret_cast<uint8_t*>(fits.data());
  expect_drawn_as(0, [&] {
    background();
    for (uint32_t cx = 0; cx < 999; cx += 9) draw_glyph('x', 7, Y, cx);
    draw_glyph(KANJI_ROW16_CELL1, 7, Y, 999);
  });
  // One cell later the lead byte stands in the last drawable cell: the row
  // ends there without drawing the pair.
  std::string late(112, 'x');
  late += "\x88\x9F\r";
  rows[0] = reinterpret_cast<uint8_t*>(late.data());
  expect_drawn_as(0, [&] {
    background();
    for (uint32_t cx = 0; cx < 1008; cx += 9) draw_glyph('x', 7, Y, cx);
  });
  // A lead byte before a line end ends the row: the line end is not taken
  // for its trail byte, so nothing after it is drawn.
  uint8_t broken[] = "a\x88\ny\r";
  rows[0] = broken;
  expect_drawn_as(0, [&] {
    background();
    draw_glyph('a', 7, Y, 0);
  });
  // Half-width katakana are single cells of the built-in font.
  uint8_t kana[] = "\xB1\x88\x9F" "b\r";
  rows[0] = kana;
  expect_drawn_as(0, [&] {
    background();
    draw_glyph(0xB1, 7, Y, 0);
    draw_glyph(KANJI_ROW16_CELL1, 7, Y, 9);
    draw_glyph('b', 7, Y, 27);
  });
}

TEST_F(TextRow, SelectionHighlightsACharacterWhoseLastByteIsSelected) {
  doc.encoding = ENCODING_SHIFT_JIS;
  uint8_t line[] = "a\x88\x9F" "b\r";
  rows[0] = line;
  const auto highlighted = [&](bool pair, bool b) {
    background();
    draw_glyph('a', 7, Y, 0);
    if (pair) fill_rect(7, 16, 18, Y, 9);
    draw_glyph(KANJI_ROW16_CELL1, pair ? 13 : 7, Y, 9);
    if (b) fill_rect(7, 16, 9, Y, 27);
    draw_glyph('b', b ? 13 : 7, Y, 27);
  };
  view.sel_start = line + 2;  // only the trail byte
  view.sel_end = line + 3;
  expect_drawn_as(0, [&] { highlighted(true, false); });
  view.sel_start = line + 1;  // only the lead byte
  view.sel_end = line + 2;
  expect_drawn_as(0, [&] { highlighted(false, false); });
  view.sel_start = line + 2;
  view.sel_end = line + 4;
  expect_drawn_as(0, [&] { highlighted(true, true); });
}

TEST_F(TextRow, CursorShapesBeyondTheLineAndOnRowsWithoutText) {
  uint8_t line[] = "ab\r";
  rows[0] = line;
  view.cursor_row = 0;
  view.cursor_col = 10;
  const uint32_t kx = 90, kr = 98, kb = Y + 15;
  view.insert_mode = 0;
  const auto box = [&] {
    draw_line(14, kr, Y, kx, LINE_HORIZONTAL);
    draw_line(14, kb, Y, kx, LINE_VERTICAL);
    draw_line(14, kb, Y, kr, LINE_VERTICAL);
    draw_line(14, kr, kb, kx, LINE_HORIZONTAL);
  };
  expect_drawn_as(0, [&] {
    background();
    draw_glyph('a', 7, Y, 0);
    draw_glyph('b', 7, Y, 9);
    box();
  });
  EXPECT_EQ(pixel(Y + 8, kx), palette[14]);

  view.insert_mode = 1;
  expect_drawn_as(0, [&] {
    background();
    draw_glyph('a', 7, Y, 0);
    draw_glyph('b', 7, Y, 9);
    draw_line(14, kr, kb - 1, kx, LINE_HORIZONTAL);
    draw_line(14, kr, kb, kx, LINE_HORIZONTAL);
  });
  EXPECT_EQ(pixel(Y + 8, kx), palette[13]);

  // A row below the end of the document: its background and the cursor.
  rows[0] = nullptr;
  view.insert_mode = 0;
  expect_drawn_as(0, [&] {
    background();
    box();
  });
  // The cursor in the last partial column is clipped at the frame's edge.
  view.cursor_col = 113;
  clear_frame();
  draw_widget(0);
  EXPECT_EQ(pixel(Y, 1017), palette[14]);
  EXPECT_EQ(pixel(Y, 1023), palette[14]);
}

TEST_F(TextRow, ColoursComeFromTheScheme) {
  uint8_t line[] = "ab\r";
  rows[0] = line;
  view.sel_start = line + 1;
  view.sel_end = line + 2;
  apply_colour_scheme(1);
  expect_drawn_as(0, [&] {
    fill_rect(0, 16, 1024, Y, 0);
    draw_glyph('a', 3, Y, 0);
    fill_rect(9, 16, 9, Y, 9);
    draw_glyph('b', 0, Y, 9);
  });
}

}  // namespace

// UTF-8 cells after a tab that the left edge cut: é with a mark over it, a
// wide character (selected: highlighted over both cells), a stray byte as
// hex digits in the selection's colours.
TEST_F(TextRow, Utf8CellsTabsMarksWideCharactersAndStrayBytes) {
  uint8_t line[] = "\t\xC3\xA9\xCC\xA3\xE6\xBC\xA2\xFF" "b\r";
  rows[0] = line + 1;
  view.left_col = 3;
  wt.w_value[0] = 5;  // the tab reaches column 8
  view.sel_start = line + 5;
  view.sel_end = line + 8;  // the wide character
  expect_drawn_as(0, [&] {
    background();
    draw_glyph(UNICODE_GLYPH_BASE + 0xE9, 7, Y, 45);
    draw_glyph(UNICODE_GLYPH_BASE + 0x323, 7, Y, 45);
    fill_rect(colour_scheme[3], 16, 18, Y, 54);
    draw_glyph(UNICODE_GLYPH_BASE + 0x6F22, colour_scheme[2], Y, 54);
    draw_hex_byte(0xFF, colour_scheme[2], colour_scheme[3], Y, 72);
    draw_glyph('b', 7, Y, 81);
  });
}
