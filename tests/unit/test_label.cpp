// The LabelCode builders and interpreter: byte layout of built labels,
// backgrounds and focus styles, every opcode, and format_decimal. Pixels are
// compared against the same figures drawn with the raster primitives.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/posix/posix_support.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "widget_frames.h"
#include "widgets/label_builders.h"

using namespace vusk;
using namespace vusk::test;

namespace {

template <size_t N>
std::vector<uint8_t> bytes_of(const lc::Label<N>& l) {
  return std::vector<uint8_t>(l.bytes, l.bytes + N);
}

// `head`, the characters of `text`, then `tail`.
std::vector<uint8_t> spell(std::vector<uint8_t> head, const std::string& text, const std::vector<uint8_t>& tail) {
  head.insert(head.end(), text.begin(), text.end());
  head.insert(head.end(), tail.begin(), tail.end());
  return head;
}

constexpr uint16_t WX = 40, WY = 100, WW = 200, WH = 40;
constexpr uint8_t BG = 10;

// Draws a 200 x 40 widget at (40, 100) with `label` and `data`; expects its
// background, then `cells` at the pen, then whatever `more` draws.
void expect_cells(const uint8_t* label, const char* cells, void* data = nullptr,
                  const std::function<void()>& more = [] {}) {
  single_widget(label, WX, WY, WW, WH, BG, WK_BUTTON, 0, data);
  expect_drawn_as(0, [&] {
    fill_rect(BG, WH, WW, WY, WX);
    glyphs(cells, 0, WY + 3, WX + 4);
    more();
  });
}

TEST(LabelBuilders, WorkedExamplesComeOutByteForByte) {
  EXPECT_EQ(bytes_of(lc::text_label("LF")), (std::vector<uint8_t>{0x0F, 0x4C, 0x46, 0xFF, 0x00}));
  constexpr auto line = lc::label(lc::colour(9), lc::text("line "), lc::decimal32_at(var::cursor_abs_line, 1, 0x70),
                                  lc::end());
  EXPECT_EQ(bytes_of(line), spell({0x0E, 0x09, 0x0F}, "line ", {0xFF, 0x21, 0x90, 0x90, 0, 0, 0, 0, 0x01, 0x70, 0}));
  constexpr auto find = lc::label(lc::text("       string to find", lc::newline(16)), lc::text(" "), lc::box(15, 29),
                                  lc::colour(9), lc::data_string(), lc::end());
  EXPECT_EQ(bytes_of(find), spell({0x0F}, "       string to find",
                                  {0xFE, 0x10, 0xFF, 0x0F, 0x20, 0xFF, 0x11, 0x0F, 0x1D, 0x0E, 0x09, 0x10, 0x00}));
  constexpr auto memory =
      lc::label(lc::text("current document", lc::newline(16), " size in memory", lc::newline(16)),
                lc::decimal32_at(var::text_length, 1, 0x90), lc::text(" bytes"), lc::end());
  std::vector<uint8_t> want = spell({0x0F}, "current document", {0xFE, 0x10});
  want = spell(want, " size in memory", {0xFE, 0x10, 0xFF, 0x21, 0x90, 0x90, 0x01, 0, 0, 0, 0x01, 0x90, 0x0F});
  EXPECT_EQ(bytes_of(memory), spell(want, " bytes", {0xFF, 0x00}));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(memory.data()) % 4, 0u);

  // A jump's target is the offset of its mark; the image's source starts at
  // the boundary after its opcode, its 16-bit sizes follow.
  constexpr auto l = lc::label(lc::jump_if_var(-2, 1, 9), lc::text("A"), lc::mark(1),
                               lc::image(5, 0x0102, 0x0304), lc::end());
  EXPECT_EQ(bytes_of(l), (std::vector<uint8_t>{0x08, 0xFE, 0x90, 0x90, 15, 0, 0, 0, 9, 0, 0, 0, 0x0F, 'A', 0xFF,
                                               0x32, 5, 0, 0, 0, 0x02, 0x01, 0x04, 0x03, 0x00}));
}

class Label : public ::testing::Test {
 protected:
  void SetUp() override { open_frame(1024, 768); }
};

TEST_F(Label, TextFillerGlyphZeroAndSlotsThatAreNotLive) {
  constexpr auto lf = lc::text_label("LF");
  single_widget(lf.data(), 0, 700, 22, 18, BG);
  expect_drawn_as(0, [] {
    fill_rect(BG, 18, 22, 700, 0);
    draw_glyph('L', 0, 703, 4);
    draw_glyph('F', 0, 703, 13);
  });
  draw_widget(NO_SLOT);
  draw_widget(4);
  EXPECT_EQ(raster.redraw_pending, 0);
  draw_widget(0);
  EXPECT_EQ(raster.redraw_pending, 1);

  // Filler and other non-opcodes are skipped; inside the text 0x00 is a
  // glyph that advances the pen; a new line returns to the left edge.
  constexpr auto mixed =
      lc::label(lc::byte(0x90), lc::byte(0xC8), lc::text("A\0B", lc::newline(20), "C"), lc::byte(0x90), lc::end());
  expect_cells(mixed.data(), "A B", nullptr, [] {
    draw_glyph(0, 0, WY + 3, WX + 13);
    draw_glyph('C', 0, WY + 23, WX + 4);
  });
}

TEST_F(Label, FocusStylesAndTheFieldCursor) {
  constexpr auto item = lc::text_label("Hi");
  const uint32_t x = 8, y = 56, w = 152, h = 18, r = x + w - 1, b = y + h - 1;
  single_widget(item.data(), x, y, w, h, BG, WK_BUTTON, WF_ENTER);
  wt.focus_widget = 0;
  draw_widget(0);
  // Black inside a frame in the widget's colour, the text in that colour.
  for (const auto& [py, px] : {std::pair{y, x}, {y, r}, {b, x}, {b, r}, {y + 9, x}, {y, x + 70}}) {
    EXPECT_EQ(pixel(py, px), palette[BG]) << py << "," << px;
  }
  for (const auto& [py, px] : {std::pair{y + 1, x + 1}, {b - 1, r - 1}, {y + 3, x + 3}, {y + 9, x + 100}}) {
    EXPECT_EQ(pixel(py, px), palette[0]) << py << "," << px;
  }
  EXPECT_GT(pixels_in(BG, y + 3, x + 4, 13, 18), 0u);  // "Hi"
  wt.w_flags[0] = 0;
  draw_widget(0);
  // A box in its colour; black text; dots every other pixel, 3 inside the
  // edge, from the top-left corner on.
  const uint32_t r3 = r - 3, b3 = b - 3;
  for (const auto& [py, px] : {std::pair{y + 3, x + 3}, {y + 3, x + 5}, {y + 5, x + 3}, {y + 3, r3}, {b3, x + 3}}) {
    EXPECT_EQ(pixel(py, px), palette[0]) << py << "," << px;
  }
  for (const auto& [py, px] : {std::pair{y, x}, {b, r}, {y + 2, x + 2}, {y + 3, x + 4}, {y + 4, x + 3}, {y + 9, x + 100}}) {
    EXPECT_EQ(pixel(py, px), palette[BG]) << py << "," << px;
  }
  EXPECT_GT(pixels_in(0, y + 4, x + 4, 12, 18), 0u);  // "Hi"

  // The field's text over its box, and the underline at the caret while
  // focused, whatever the insert mode.
  char buffer[] = "abc  ";
  constexpr auto field = lc::label(lc::text(" "), lc::box(15, 5), lc::colour(9), lc::data_string(), lc::end());
  single_widget(field.data(), WX, WY, WW, WH, 2, WK_TEXT_INPUT, 0, buffer);
  wt.w_value[0] = 2;
  const uint32_t pen_x = WX + 13, pen_y = WY + 3;
  const auto text = [&] {
    fill_rect(15, 16, 45, pen_y, pen_x);
    draw_string(buffer, 9, pen_y, pen_x);
  };
  wt.focus_widget = NO_SLOT;
  expect_drawn_as(0, [&] {
    fill_rect(2, WH, WW, WY, WX);
    text();
  });
  wt.focus_widget = 0;
  view.insert_mode = 1;
  draw_widget(0);
  // The caret's underline: two rows under cell 2 of the field, 9 wide.
  for (uint32_t row : {pen_y + 14, pen_y + 15}) {
    EXPECT_EQ(pixel(row, pen_x + 18), palette[14]);
    EXPECT_EQ(pixel(row, pen_x + 26), palette[14]);
    EXPECT_NE(pixel(row, pen_x + 27), palette[14]);
    EXPECT_NE(pixel(row, pen_x + 17), palette[14]);
  }
  EXPECT_EQ(pixel(WY + 3, WX + 3), palette[0]);  // the focus dots
  EXPECT_EQ(pixel(WY + 3, WX + 4), palette[2]);
}

TEST_F(Label, DecimalAndHexNumbers) {
  uint32_t v32 = 0;
  uint16_t v16 = 123;
  uint8_t v8 = 5;
  label_variables[var::first_free] = &v32;
  label_variables[var::first_free + 1] = &v16;
  label_variables[var::first_free + 2] = &v8;
  constexpr auto seven = lc::label(lc::decimal32_at(var::first_free, 1, 0x70), lc::end());
  expect_cells(seven.data(), "      0");
  v32 = 1234567;
  expect_cells(seven.data(), "1234567");
  v32 = 12345678;  // the quotient 12 shows as '0' + 12
  expect_cells(seven.data(), "<345678");
  v32 = 1002;
  expect_cells(seven.data(), "   1002");
  constexpr auto point8 = lc::label(lc::decimal8_at(var::first_free + 2, 1, 0x21), lc::end());
  expect_cells(point8.data(), " 0.5");
  constexpr auto point16 = lc::label(lc::decimal16_at(var::first_free + 1, 1, 0x21), lc::end());
  expect_cells(point16.data(), "12.3");
  constexpr auto fraction_only = lc::label(lc::decimal16_at(var::first_free + 1, 1, 0x03), lc::end());
  expect_cells(fraction_only.data(), ".123");
  uint8_t data = 7;
  constexpr auto product = lc::label(lc::decimal(3, 0x30), lc::end());
  expect_cells(product.data(), " 21", &data);
  // Fifteen integer digits overflow the divisor: the digits it cannot give
  // read 0 instead of dividing by zero.
  constexpr auto too_wide = lc::label(lc::decimal8_at(var::first_free + 2, 1, 0xF0), lc::end());
  single_widget(too_wide.data(), WX, WY, 300, WH, BG);
  draw_widget(0);
  const std::vector<uint32_t> last_cell = region(WY + 3, WX + 130, 13, 8);
  clear_frame();
  fill_rect(BG, WH, 300, WY, WX);
  draw_glyph('0', 0, WY + 3, WX + 130);
  EXPECT_EQ(last_cell, region(WY + 3, WX + 130, 13, 8));

  uint16_t h16 = 0x0A3F;
  uint32_t h32 = 0x12340A3F;
  label_variables[var::first_free + 1] = &h16;
  label_variables[var::first_free] = &h32;
  v8 = 7;
  constexpr auto four = lc::label(lc::hex_at(var::first_free + 1, 0x44), lc::end());
  expect_cells(four.data(), "0A3F");
  constexpr auto two = lc::label(lc::hex_at(var::first_free + 2, 0x02), lc::end());
  expect_cells(two.data(), "07");
  constexpr auto all = lc::label(lc::hex_at(var::first_free, 0x8C), lc::end());  // 12 digits show 8
  expect_cells(all.data(), "12340A3F");
  constexpr auto low_half = lc::label(lc::hex_at(var::first_free, 0x44), lc::end());  // reads 16 bits
  expect_cells(low_half.data(), "0A3F");
  data = 0xAB;
  constexpr auto three = lc::label(lc::hex(0x03), lc::end());
  expect_cells(three.data(), "0AB", &data);
}

TEST_F(Label, ParamDigitAndJumps) {
  constexpr auto digit = lc::label(lc::text("F"), lc::param_digit(), lc::end());
  single_widget(digit.data(), WX, WY, WW, WH, BG);
  wt.w_param[0] = 7;
  expect_drawn_as(0, [] {
    fill_rect(BG, WH, WW, WY, WX);
    glyphs("F7", 0, WY + 3, WX + 4);
  });
  // A three-way branch on the signed byte at w_data.
  constexpr auto branch = lc::label(lc::jump_if_data(0, 1), lc::jump_if_data(-1, 2), lc::text("many"), lc::end(),
                                    lc::mark(1), lc::text("none"), lc::end(), lc::mark(2), lc::text("minus"),
                                    lc::end());
  int8_t state = 0;
  expect_cells(branch.data(), "none", &state);
  state = -1;
  expect_cells(branch.data(), "minus", &state);
  state = 5;
  expect_cells(branch.data(), "many", &state);
  int8_t flag = -3;
  label_variables[var::first_free] = &flag;
  constexpr auto skip = lc::label(lc::jump_if_var(-3, 1, var::first_free), lc::text("A"), lc::mark(1),
                                  lc::text("B"), lc::end());
  expect_cells(skip.data(), "B");
  flag = 3;
  expect_cells(skip.data(), "AB");
}

TEST_F(Label, BevelsFollowThePressAndTheToggleBit) {
  constexpr auto push = lc::label(lc::bevel(), lc::end());
  constexpr auto toggle = lc::label(lc::toggle_bevel(), lc::end());
  struct Case {
    const uint8_t* label;
    uint8_t flags, variable;
    uint32_t sunken;
  };
  for (const Case& c : {Case{push.data(), 0, 1, 0}, Case{push.data(), WF_PRESSED, 0, 1},
                        Case{toggle.data(), 0, 2, 0}, Case{toggle.data(), 0, 1, 1},
                        Case{toggle.data(), WF_PRESSED, 0, 1}}) {
    uint8_t variable = c.variable;
    single_widget(c.label, WX, WY, WW, WH, BG, WK_TOGGLE, c.flags, &variable);
    expect_drawn_as(0, [&] {
      fill_rect(BG, WH, WW, WY, WX);
      draw_bevel(c.sunken, WH, WW, WY, WX);
    });
  }
}

TEST_F(Label, SliderDrawsItsKnobAndStoresItsValue) {
  constexpr auto percent = lc::label(lc::slider(0, 100), lc::end());
  uint8_t out = 99;
  const uint32_t x = 40, y = 100, w = 112, h = 20, t = y + h - 10;
  single_widget(percent.data(), x, y, w, h, BG, WK_SLIDER, 0, &out);
  for (uint16_t v : {0, 50, 100}) {
    wt.w_value[0] = v;
    draw_widget(0);
    EXPECT_EQ(out, v);
  }
  wt.w_value[0] = 50;
  wt.w_flags[0] = WF_PRESSED;
  expect_drawn_as(0, [&] {
    fill_rect(BG, h, w, y, x);
    draw_line(2, x + w - 1, t, x, LINE_HORIZONTAL);
    draw_line(1, x + w - 2, t + 1, x + 1, LINE_HORIZONTAL);
    draw_line(4, x + w - 1, t + 3, x, LINE_HORIZONTAL);
    fill_rect(2, 14, 11, t - 5, x + 50);
    draw_bevel(0, 16, 12, t - 6, x + 50);
  });
  constexpr auto range = lc::label(lc::slider(10, 20), lc::end());
  wt.w_label[0] = range.data();
  draw_widget(0);
  EXPECT_EQ(out, 15);
}

TEST_F(Label, ImagesAndWaveformClippedToTheFrame) {
  const uint32_t picture[6] = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112};  // 3 x 2
  uint8_t strip[8] = {0x80, 0, 0, 0, 0, 0x80, 0x7F, 0x80};  // two frames of 2 x 2
  label_variables[var::first_free] = const_cast<uint32_t*>(picture);
  label_variables[var::first_free + 1] = strip;
  constexpr auto copy = lc::label(lc::text("x"), lc::image(var::first_free, 3, 2), lc::end());
  single_widget(copy.data(), 10, 20, 30, 30, BG);
  draw_widget(0);
  EXPECT_EQ(region(20, 10, 2, 4), (std::vector<uint32_t>{0x010203, 0x040506, 0x070809, palette[BG], 0x0A0B0C,
                                                         0x0D0E0F, 0x101112, palette[BG]}));
  // At the bottom-right corner only the pixel inside the frame is written;
  // the DirtyRect takes the whole image.
  constexpr auto corner = lc::label(lc::image(var::first_free, 3, 2), lc::end());
  single_widget(corner.data(), 1023, 767, 1, 1, BG);
  draw_widget(0);
  EXPECT_EQ(pixel(767, 1023), 0x010203u);
  EXPECT_EQ(raster.dirty_max_x, 1026u);

  constexpr auto mask = lc::label(lc::mask_image(var::first_free + 1, 2, 2), lc::end());
  uint8_t frame = 1;
  single_widget(mask.data(), 100, 200, 10, 10, BG, WK_STATIC, 0, &frame);
  draw_widget(0);
  EXPECT_EQ(region(200, 100, 2, 2), (std::vector<uint32_t>{palette[BG], 0, palette[BG], 0}));

  int8_t table[128] = {};
  table[64 + 5] = 127;
  table[64 + 6] = -128;
  table[64 + 7] = -9;
  label_variables[var::first_free] = table;
  constexpr auto wave = lc::label(lc::waveform(var::first_free), lc::end());
  uint8_t record = 1;
  single_widget(wave.data(), 10, 100, 70, 40, BG, WK_STATIC, 0, &record);
  draw_widget(0);
  EXPECT_EQ(pixel(116, 11), 0xFF0000u);  // sample 0 on the middle row
  EXPECT_EQ(pixel(101, 16), 0xFF0000u);  // 127 >> 3 = 15 rows up
  EXPECT_EQ(pixel(132, 17), 0xFF0000u);  // -128 >> 3 = 16 rows down
  EXPECT_EQ(pixel(118, 18), 0xFF0000u);  // -9 >> 3 = -2
  EXPECT_EQ(pixel(117, 18), 0u);         // the black box
  EXPECT_EQ(pixel(100, 11), palette[BG]);
  single_widget(wave.data(), 10, 740, 70, 20, BG, WK_STATIC, 0, &record);
  draw_widget(0);  // the dots below the frame are skipped
  EXPECT_EQ(pixel(756, 11), 0xFF0000u);
}

// A variable bound with its size is never read past: an image, mask or
// waveform larger than it draws as from an absent variable (nothing beyond
// the background), one that fits is drawn. The blocks are heap blocks of
// exactly that size, so that a read past them is caught by the sanitizer.
TEST_F(Label, BoundVariablesAreNeverReadPastTheirSize) {
  const auto word = std::make_unique<uint32_t[]>(1);
  word[0] = 0x00ABCDEF;
  bind_label_variable(var::first_free, word.get(), 4);
  constexpr auto image = lc::label(lc::image(var::first_free, 2, 2), lc::end());
  constexpr auto mask = lc::label(lc::mask_image(var::first_free, 2, 2), lc::end());
  constexpr auto wave = lc::label(lc::waveform(var::first_free), lc::end());
  uint8_t record = 1;  // the second 2 x 2 mask frame: bytes 4 to 7
  for (const uint8_t* label : {image.data(), mask.data()}) {
    single_widget(label, 10, 20, 70, 40, BG, WK_STATIC, 0, &record);
    draw_widget(0);
    EXPECT_EQ(pixel(20, 10), palette[BG]);
    EXPECT_EQ(pixel(21, 11), palette[BG]);
  }
  // The waveform's black box, without its samples' dots.
  single_widget(wave.data(), 10, 20, 70, 40, BG, WK_STATIC, 0, &record);
  draw_widget(0);
  EXPECT_EQ(pixel(36, 11), 0u);
  // A 1 x 1 image fits.
  constexpr auto dot = lc::label(lc::image(var::first_free, 1, 1), lc::end());
  single_widget(dot.data(), 10, 20, 70, 40, BG);
  draw_widget(0);
  EXPECT_EQ(pixel(20, 10), 0x00ABCDEFu);
  // The application's own variables carry their sizes.
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  start_up_steps();
  EXPECT_EQ(label_variable_bytes[var::text_length], sizeof doc.text_length);
}

TEST(FormatDecimal, RightAlignedWithTheSignBeforeTheFirstDigit) {
  const auto text = [](int32_t v) {
    format_decimal(v);
    EXPECT_EQ(number_text[7], 0);
    return std::string(number_text);
  };
  EXPECT_EQ(text(1234), "   1234");
  EXPECT_EQ(text(-56), "    -56");
  EXPECT_EQ(text(0), "      0");
  EXPECT_EQ(text(100007), " 100007");
  EXPECT_EQ(text(-123456), "-123456");
  EXPECT_EQ(text(1000000), " :00000");  // a million: '0' + 10 in the first digit place
}

}  // namespace

// A label is read no further than LABEL_MAX_BYTES from its start, whatever
// it holds: each label below fills a block of exactly that size, so that a
// read past it is caught by AddressSanitizer.
TEST_F(Label, MalformedLabelsEndWithinTheirTable) {
  const auto padded = [](std::vector<uint8_t> tail) {
    std::vector<uint8_t> label(LABEL_MAX_BYTES - tail.size(), LC_FILLER);
    label.insert(label.end(), tail.begin(), tail.end());
    return label;
  };
  // A new line whose step would be the byte after the table.
  const std::vector<uint8_t> newline_last = padded({LC_TEXT, 'A', 'B', LC_TEXT_NEWLINE});
  expect_cells(newline_last.data(), "AB");
  // Text without its closing byte.
  const std::vector<uint8_t> open_text = padded({LC_TEXT, 'C'});
  expect_cells(open_text.data(), "C");
  // Address operands that would lie past the end, after text that does fit.
  uint32_t big = 1234567;
  label_variables[var::first_free] = &big;
  const std::vector<uint8_t> cut_operand = padded({LC_TEXT, 'D', LC_TEXT_END, LC_DECIMAL32_AT});
  expect_cells(cut_operand.data(), "D");
  // A byte operand past the end.
  const std::vector<uint8_t> cut_colour = padded({LC_TEXT, 'E', LC_TEXT_END, LC_COLOUR});
  expect_cells(cut_colour.data(), "E");
}

TEST_F(Label, JumpsGoOnlyForwardWithinTheLabel) {
  int8_t zero = 0;
  // Text, then a jump back to it whose condition always holds: drawn once.
  std::vector<uint8_t> jump = {LC_TEXT, 'X', LC_TEXT_END, LC_JUMP_IF_DATA, 0, LC_FILLER, LC_FILLER, LC_FILLER,
                               0,       0,   0,           0,               LC_END};
  expect_cells(jump.data(), "X", &zero);
  // A jump to itself ends the label as well.
  jump[8] = 3;
  expect_cells(jump.data(), "X", &zero);
  // So does a target past the longest label, instead of reading there.
  jump[8] = 0;
  jump[9] = 1;
  expect_cells(jump.data(), "X", &zero);
  // A forward jump still skips what lies between.
  const std::vector<uint8_t> skip = {LC_JUMP_IF_DATA, 0, LC_FILLER, LC_FILLER, 12, 0, 0, 0, LC_TEXT, 'N', LC_TEXT_END,
                                     LC_FILLER, LC_TEXT, 'F', LC_TEXT_END, LC_END};
  expect_cells(skip.data(), "F", &zero);
}
