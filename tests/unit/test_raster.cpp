// The Framebuffer, the primitives, their DirtyRect growth and their clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>
#include <vector>

#include "raster/raster.h"
#include "shell/startup.h"

using namespace vusk;

namespace {

constexpr uint32_t BACKGROUND = 13;

// A fresh w x h frame (its block exactly w*h*4 bytes) filled with the
// background colour, and an empty DirtyRect.
void open_frame(uint16_t w, uint16_t h) {
  reset_all_state();
  raster.frame_width = w;
  raster.frame_height = h;
  alloc_framebuffer();
  fill_rect(BACKGROUND, h, w, 0, 0);
  reset_dirty_rect();
  raster.redraw_pending = 0;
}

uint32_t pixel(uint32_t y, uint32_t x) { return *pixel_address(y, x); }

// The pixels of a region, top row first.
std::vector<uint32_t> region(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<uint32_t> out;
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t i = 0; i < width; ++i) out.push_back(pixel(y + r, x + i));
  }
  return out;
}

std::vector<uint32_t> snapshot() { return region(0, 0, raster.frame_height, raster.frame_width); }

void expect_dirty(uint32_t left, uint32_t top, uint32_t right, uint32_t bottom) {
  EXPECT_EQ(raster.dirty_min_x, left);
  EXPECT_EQ(raster.dirty_min_y, top);
  EXPECT_EQ(raster.dirty_max_x, right);
  EXPECT_EQ(raster.dirty_max_y, bottom);
}

// The frame region from (x, y) as rows of palette-index letters: 'a' + index,
// '.' for the background.
std::vector<std::string> picture(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<std::string> rows;
  for (uint32_t r = 0; r < height; ++r) {
    std::string row;
    for (uint32_t i = 0; i < width; ++i) {
      char ch = '?';
      for (int c = 0; c < 16; ++c) {
        if (pixel(y + r, x + i) == palette[c]) ch = c == BACKGROUND ? '.' : static_cast<char>('a' + c);
      }
      row += ch;
    }
    rows.push_back(row);
  }
  return rows;
}

class Raster : public ::testing::Test {
 protected:
  void SetUp() override { open_frame(64, 48); }
  void TearDown() override { reset_all_state(); }
};

}  // namespace

TEST_F(Raster, FramebufferIsBottomUpAndStartsWhollyDirty) {
  open_frame(5, 4);
  fill_rect(7, 1, 1, 0, 0);
  fill_rect(4, 1, 1, 3, 4);
  EXPECT_EQ(raster.frame_pixels[3 * 5], palette[7]);  // (0, 0): first word of the last stored row
  EXPECT_EQ(raster.frame_pixels[4], palette[4]);      // (4, 3): end of the first stored row
  expect_dirty(0, 0, 5, 4);

  raster.frame_width = 7;
  raster.frame_height = 3;
  alloc_framebuffer();
  EXPECT_EQ(raster.frame_ready, 1);
  expect_dirty(0, 0, 6, 2);
  reset_dirty_rect();
  expect_dirty(7, 3, 0, 0);
}

TEST_F(Raster, FillRectCoversExactlyItsRectangle) {
  fill_rect(5, 3, 4, 10, 20);
  for (uint32_t y = 0; y < 48; ++y) {
    for (uint32_t x = 0; x < 64; ++x) {
      const bool inside = x >= 20 && x < 24 && y >= 10 && y < 13;
      ASSERT_EQ(pixel(y, x), palette[inside ? 5 : BACKGROUND]) << x << "," << y;
    }
  }
  expect_dirty(20, 10, 24, 13);
  // A colour index past the palette wraps instead of reading beyond it.
  fill_rect(16 + 9, 1, 1, 0, 0);
  EXPECT_EQ(pixel(0, 0), palette[9]);
}

TEST_F(Raster, LinesSetTheirPixelsAndGrowTheDirtyRect) {
  draw_line(4, 10, 1, 4, LINE_DOTTED_HORIZONTAL);
  draw_line(4, 11, 3, 4, LINE_DOTTED_HORIZONTAL);
  EXPECT_EQ(picture(1, 0, 3, 13)[0], "....e.e.e.e..");
  EXPECT_EQ(picture(1, 0, 3, 13)[2], "....e.e.e.e..");
  expect_dirty(4, 1, 11, 3);

  reset_dirty_rect();
  draw_line(2, 10, 3, 30, LINE_DOTTED_VERTICAL);  // floor(7 / 2) + 1 = 4 pixels
  draw_line(2, 20, 5, 9, LINE_HORIZONTAL);
  draw_line(2, 12, 5, 40, LINE_VERTICAL);
  std::string column;
  for (uint32_t y = 0; y < 14; ++y) column += picture(y, 30, 1, 1)[0] + picture(y, 40, 1, 1)[0];
  EXPECT_EQ(column, "......c...cc.ccc.ccc.c.c.c..");
  EXPECT_EQ(picture(5, 8, 1, 14)[0], ".cccccccccccc.");
  expect_dirty(9, 3, 40, 12);

  // Backward lines and unknown modes draw nothing; the rect still grows.
  const auto before = snapshot();
  reset_dirty_rect();
  draw_line(4, 5, 20, 9, LINE_HORIZONTAL);
  draw_line(4, 3, 22, 50, LINE_DOTTED_HORIZONTAL);
  expect_dirty(9, 20, 5, 22);
  reset_dirty_rect();
  draw_line(4, 30, 25, 7, 4);
  expect_dirty(7, 25, 7, 25);
  draw_line(4, 10, 30, 8, LINE_VERTICAL);  // end above y
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Raster, BevelsDrawTheirRingsInOrder) {
  draw_bevel(0, 16, 12, 2, 3);
  const std::vector<std::string> raised = picture(2, 3, 16, 12);
  EXPECT_EQ(raised[0], "eeeeeeeeeeeb");
  for (int r = 1; r <= 13; ++r) EXPECT_EQ(raised[r], "e.........cb") << r;
  EXPECT_EQ(raised[14], "eccccccccccb");
  EXPECT_EQ(raised[15], "bbbbbbbbbbbb");
  expect_dirty(3, 2, 14, 17);

  draw_bevel(1, 16, 12, 20, 30);
  const std::vector<std::string> sunken = picture(20, 30, 16, 12);
  EXPECT_EQ(sunken[0], "bbbbbbbbbbbb");
  EXPECT_EQ(sunken[1], "bcccccccccce");
  for (int r = 2; r <= 14; ++r) EXPECT_EQ(sunken[r], "bc.........e") << r;
  EXPECT_EQ(sunken[15], "beeeeeeeeeee");
}

TEST_F(Raster, GlyphsWriteOnlyTheirSetBits) {
  // Blank glyphs leave every pixel alone but still widen the rect.
  const auto before = snapshot();
  std::vector<uint32_t> blanks = {0x00, 0x20};
  for (uint32_t c = 0x80; c <= 0xA0; ++c) blanks.push_back(c);
  for (uint32_t c : blanks) {
    reset_dirty_rect();
    draw_glyph(c, 4, 7, 11);
    expect_dirty(11, 7, 28, 22);
  }
  EXPECT_EQ(snapshot(), before);

  // 'A' over a red box: the box stays red between the strokes.
  fill_rect(7, 13, 8, 20, 30);
  draw_glyph('A', 4, 20, 30);
  const uint8_t* a = builtin_font + 13 * 'A';
  int strokes = 0, gaps = 0;
  for (uint32_t r = 0; r < 13; ++r) {
    for (uint32_t i = 0; i < 8; ++i) {
      const bool set = (a[r] >> (7 - i)) & 1;
      ASSERT_EQ(pixel(20 + r, 30 + i), palette[set ? 4 : 7]) << r << "," << i;
      (set ? strokes : gaps)++;
    }
  }
  EXPECT_GT(strokes, 10);
  EXPECT_GT(gaps, 40);
}

TEST_F(Raster, StringsAdvanceNinePixelsAndMarkARedraw) {
  const auto before = snapshot();
  draw_string("", 9, 10, 200);
  EXPECT_EQ(raster.redraw_pending, 1);
  EXPECT_EQ(snapshot(), before);
  expect_dirty(64, 48, 0, 0);

  open_frame(320, 40);
  draw_string("Loading...", 9, 10, 200);
  uint32_t lit = 0, first = 999, last = 0;
  for (uint32_t y = 0; y < 40; ++y) {
    for (uint32_t x = 0; x < 320; ++x) {
      if (pixel(y, x) != palette[9]) continue;
      ++lit;
      first = std::min(first, x);
      last = std::max(last, x);
    }
  }
  uint32_t bits = 0;
  for (const char* s = "Loading..."; *s != 0; ++s) {
    for (int r = 0; r < 13; ++r) bits += std::popcount(builtin_font[13 * *s + r]);
  }
  EXPECT_EQ(lit, bits);
  EXPECT_GE(first, 200u);
  EXPECT_LE(last, 288u);
  expect_dirty(200, 10, 281 + 17, 25);
}

TEST_F(Raster, DoubleByteGlyphsComeFromTheFontImage) {
  std::vector<uint8_t> font(JIS_FONT_BYTES, 0);
  uint8_t* last = font.data() + 30 * 8835;
  for (int r = 0; r < 15; ++r) {  // bit 15 leftmost, high byte first
    const uint16_t row = static_cast<uint16_t>(0x8000 >> r | 0x0001);
    last[2 * r] = static_cast<uint8_t>(row >> 8);
    last[2 * r + 1] = static_cast<uint8_t>(row);
  }
  raster.jis_font = font.data();
  draw_glyph(256 + 8835, 4, 5, 10);
  for (uint32_t r = 0; r < 15; ++r) {
    for (uint32_t i = 0; i < 16; ++i) {
      const bool set = i == r || i == 15;
      ASSERT_EQ(pixel(5 + r, 10 + i), palette[set ? 4 : BACKGROUND]) << r << "," << i;
    }
  }
  expect_dirty(10, 5, 27, 20);

  // Past the last glyph, or with no font: nothing drawn, but the rect's left,
  // top and bottom still grow.
  const auto before = snapshot();
  reset_dirty_rect();
  draw_glyph(256 + 8836, 4, 30, 40);
  expect_dirty(40, 30, 0, 45);
  raster.jis_font = nullptr;
  reset_dirty_rect();
  draw_glyph(256, 4, 20, 30);
  draw_glyph(256 + 100, 4, 2, 31);
  expect_dirty(30, 2, 0, 35);
  EXPECT_EQ(snapshot(), before);
}

constexpr int FIGURES = 10;

// Draws figure `kind` with its origin at (x, y); each reaches at most 15
// pixels right of and below it.
void draw_figure(int kind, uint32_t y, uint32_t x) {
  switch (kind) {
    case 0: fill_rect(5, 4, 9, y, x); break;
    case 1: draw_line(3, x + 10, y + 1, x, LINE_HORIZONTAL); break;
    case 2: draw_line(6, x + 11, y + 2, x + 1, LINE_DOTTED_HORIZONTAL); break;
    case 3: draw_line(8, y + 12, y, x + 2, LINE_VERTICAL); break;
    case 4: draw_line(10, y + 11, y + 1, x + 3, LINE_DOTTED_VERTICAL); break;
    case 5: draw_bevel(0, 16, 12, y, x); break;
    case 6: draw_bevel(1, 11, 9, y + 2, x + 1); break;
    case 7: draw_glyph('W', 4, y, x + 1); break;
    case 8: draw_glyph(0xDB, 9, y + 2, x); break;
    default: draw_glyph(256 + 1234, 14, y, x); break;
  }
}

TEST_F(Raster, ClippedFiguresMatchTheSameFiguresInALargerFrame) {
  // The same figure drawn offset by M in a frame larger by 2M on each axis
  // is never clipped; the small frame must equal that frame's middle.
  constexpr uint16_t W = 40, H = 30, M = 20;
  std::vector<uint8_t> font(JIS_FONT_BYTES);
  for (size_t i = 0; i < font.size(); ++i) font[i] = static_cast<uint8_t>(i * 37 + (i >> 5));
  const std::vector<int32_t> xs = {-19, -12, -8, -7, -1, 0, 1, 17, 28, 32, 33, 39, 40, 44};
  const std::vector<int32_t> ys = {-19, -15, -13, -2, -1, 0, 3, 15, 17, 18, 29, 30, 34};
  for (int kind = 0; kind < FIGURES; ++kind) {
    for (int32_t x : xs) {
      for (int32_t y : ys) {
        open_frame(W + 2 * M, H + 2 * M);
        raster.jis_font = font.data();
        draw_figure(kind, y + M, x + M);
        const std::vector<uint32_t> expected = region(M, M, H, W);
        open_frame(W, H);
        raster.jis_font = font.data();
        draw_figure(kind, static_cast<uint32_t>(y), static_cast<uint32_t>(x));
        ASSERT_EQ(snapshot(), expected) << "figure " << kind << " at x " << x << ", y " << y;
      }
    }
  }
}

TEST_F(Raster, ClippingKeepsTheUnclippedDirtyRect) {
  // A cursor cell at the last text column of a 1024-wide frame ends 1 pixel
  // past the right edge.
  open_frame(1024, 40);
  fill_rect(14, 16, 9, 4, 1016);
  draw_glyph('M', 0, 5, 1016);
  EXPECT_EQ(picture(4, 1016, 1, 8)[0], "oooooooo");
  expect_dirty(1016, 4, 1016 + 17, 20);

  // Left and top compare unsigned, so a start above or left of the frame
  // leaves them; right and bottom take the wrapped end.
  open_frame(64, 48);
  fill_rect(4, 5, 10, static_cast<uint32_t>(-2), static_cast<uint32_t>(-3));
  expect_dirty(64, 48, 7, 3);
  EXPECT_EQ(picture(0, 0, 4, 8)[0], "eeeeeee.");
  EXPECT_EQ(picture(0, 0, 4, 8)[3], "........");
  // Sizes and coordinates far outside draw nothing or only what is inside.
  fill_rect(2, 3, 0xFFFFFFF0u, 40, 60);
  EXPECT_EQ(picture(40, 58, 1, 6)[0], "..cccc");
  draw_line(2, 0x7FFFFFFFu, 44, 0x80000000u, LINE_DOTTED_HORIZONTAL);
  EXPECT_EQ(picture(44, 0, 1, 3)[0], "c.c");
  const auto before = snapshot();
  fill_rect(2, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu);
  draw_glyph('#', 2, 0x7FFFFFF0u, 0x7FFFFFF0u);
  draw_glyph(0xDB, 2, 0xFFFFFFF3u, 0xFFFFFFF8u);  // ends just above and left of (0, 0)
  EXPECT_EQ(snapshot(), before);
}
