// The Framebuffer, the primitives, their DirtyRect growth and their clipping.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <string>
#include <vector>

#include "raster/raster.h"
#include "app/startup.h"

using namespace vusk;

namespace {

constexpr uint32_t BACKGROUND = 13;
using Rect = std::array<uint32_t, 4>;  // left, top, right, bottom

// A fresh w x h frame (its block exactly w*h*4 bytes) in the background
// colour, with an empty DirtyRect.
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
Rect dirty() { return {raster.dirty_min_x, raster.dirty_min_y, raster.dirty_max_x, raster.dirty_max_y}; }

// The pixels of a region, top row first.
std::vector<uint32_t> region(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<uint32_t> out;
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t i = 0; i < width; ++i) out.push_back(pixel(y + r, x + i));
  }
  return out;
}
std::vector<uint32_t> snapshot() { return region(0, 0, raster.frame_height, raster.frame_width); }

// A region as rows of letters 'a' + palette index, '.' for the background.
std::vector<std::string> picture(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<std::string> rows(height);
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t i = 0; i < width; ++i) {
      char ch = '?';
      for (int c = 0; c < 16; ++c) {
        if (pixel(y + r, x + i) == palette[c]) ch = c == BACKGROUND ? '.' : static_cast<char>('a' + c);
      }
      rows[r] += ch;
    }
  }
  return rows;
}

class Raster : public ::testing::Test {
 protected:
  void SetUp() override { open_frame(64, 48); }
  void TearDown() override { reset_all_state(); }
};

}  // namespace

TEST_F(Raster, FramebufferAndFillRect) {
  open_frame(5, 4);
  fill_rect(7, 1, 1, 0, 0);
  fill_rect(4, 1, 1, 3, 4);
  EXPECT_EQ(raster.frame_pixels[3 * 5], palette[7]);  // (0, 0): first word of the last stored row
  EXPECT_EQ(raster.frame_pixels[4], palette[4]);      // (4, 3): last word of the first
  EXPECT_EQ(dirty(), (Rect{0, 0, 5, 4}));
  raster.frame_width = 7;
  raster.frame_height = 3;
  alloc_framebuffer();
  EXPECT_EQ(raster.frame_ready, 1);
  EXPECT_EQ(dirty(), (Rect{0, 0, 6, 2}));
  reset_dirty_rect();
  EXPECT_EQ(dirty(), (Rect{7, 3, 0, 0}));

  open_frame(8, 6);
  fill_rect(5, 3, 4, 2, 3);
  fill_rect(16 + 9, 1, 1, 0, 0);  // an index past the palette wraps
  EXPECT_EQ(picture(0, 0, 6, 8),
            (std::vector<std::string>{"j.......", "........", "...ffff.", "...ffff.", "...ffff.", "........"}));
  EXPECT_EQ(dirty(), (Rect{0, 0, 7, 5}));
}

TEST_F(Raster, LinesSetTheirPixelsAndGrowTheDirtyRect) {
  draw_line(4, 10, 1, 4, LINE_DOTTED_HORIZONTAL);
  draw_line(4, 11, 2, 4, LINE_DOTTED_HORIZONTAL);
  draw_line(2, 8, 3, 2, LINE_HORIZONTAL);
  EXPECT_EQ(picture(1, 0, 3, 13), (std::vector<std::string>{"....e.e.e.e..", "....e.e.e.e..", "..ccccccc...."}));
  EXPECT_EQ(dirty(), (Rect{2, 1, 11, 3}));

  reset_dirty_rect();
  draw_line(2, 10, 3, 30, LINE_DOTTED_VERTICAL);  // floor(7 / 2) + 1 pixels
  draw_line(4, 12, 5, 31, LINE_VERTICAL);
  std::string columns;
  for (const std::string& row : picture(0, 30, 14, 2)) columns += row + "|";
  EXPECT_EQ(columns, "..|..|..|c.|..|ce|.e|ce|.e|ce|.e|.e|.e|..|");
  EXPECT_EQ(dirty(), (Rect{30, 3, 31, 12}));

  // Backward lines and unknown modes draw nothing; the rect still grows.
  const auto before = snapshot();
  reset_dirty_rect();
  draw_line(4, 5, 20, 9, LINE_HORIZONTAL);
  draw_line(4, 3, 22, 50, LINE_DOTTED_HORIZONTAL);
  EXPECT_EQ(dirty(), (Rect{9, 20, 5, 22}));
  reset_dirty_rect();
  draw_line(4, 30, 25, 7, 4);
  EXPECT_EQ(dirty(), (Rect{7, 25, 7, 25}));
  draw_line(4, 10, 30, 8, LINE_VERTICAL);  // end above y
  EXPECT_EQ(snapshot(), before);
}

TEST_F(Raster, BevelsDrawTheirRingsInOrder) {
  draw_bevel(0, 16, 12, 2, 3);
  std::vector<std::string> raised(16, "e.........cb");
  raised[0] = "eeeeeeeeeeeb";
  raised[14] = "eccccccccccb";
  raised[15] = "bbbbbbbbbbbb";
  EXPECT_EQ(picture(2, 3, 16, 12), raised);
  EXPECT_EQ(dirty(), (Rect{3, 2, 14, 17}));

  draw_bevel(1, 16, 12, 20, 30);
  std::vector<std::string> sunken(16, "bc.........e");
  sunken[0] = "bbbbbbbbbbbb";
  sunken[1] = "bcccccccccce";
  sunken[15] = "beeeeeeeeeee";
  EXPECT_EQ(picture(20, 30, 16, 12), sunken);
}

TEST_F(Raster, GlyphsAndStringsWriteOnlyTheirSetBits) {
  // Blank glyphs and the empty string change no pixel; the rect still grows.
  const auto before = snapshot();
  std::vector<uint32_t> blanks = {0x00, 0x20};
  for (uint32_t c = 0x80; c <= 0xA0; ++c) blanks.push_back(c);
  for (uint32_t c : blanks) {
    reset_dirty_rect();
    draw_glyph(c, 4, 7, 11);
    EXPECT_EQ(dirty(), (Rect{11, 7, 28, 22})) << c;
  }
  reset_dirty_rect();
  draw_string("", 9, 10, 200);
  EXPECT_EQ(raster.redraw_pending, 1);
  EXPECT_EQ(dirty(), (Rect{64, 48, 0, 0}));
  EXPECT_EQ(snapshot(), before);

  // 'A' over a red box: the box stays red between the strokes.
  fill_rect(7, 13, 8, 20, 30);
  draw_glyph('A', 4, 20, 30);
  std::vector<std::string> a(13);
  for (int r = 0; r < 13; ++r) {
    for (int i = 0; i < 8; ++i) a[r] += (builtin_font[13 * 'A' + r] >> (7 - i)) & 1 ? 'e' : 'h';
  }
  EXPECT_EQ(picture(20, 30, 13, 8), a);
  EXPECT_EQ(a[7], "heeeeeeh");

  // "Loading..." at x 200 lies within x 200..288, 9 pixels per character.
  open_frame(320, 30);
  draw_string("Loading...", 9, 10, 200);
  uint32_t lit = 0, bits = 0;
  for (uint32_t y = 0; y < 30; ++y) {
    for (uint32_t x = 0; x < 320; ++x) {
      if (pixel(y, x) != palette[9]) continue;
      ++lit;
      EXPECT_TRUE(x >= 200 && x <= 288) << x;
    }
  }
  for (const char* s = "Loading..."; *s != 0; ++s) {
    for (int r = 0; r < 13; ++r) bits += std::popcount(builtin_font[13 * *s + r]);
  }
  EXPECT_EQ(lit, bits);
  EXPECT_EQ(dirty(), (Rect{200, 10, 281 + 17, 25}));
}

TEST_F(Raster, DoubleByteGlyphsComeFromTheFontImage) {
  std::vector<uint8_t> font(JIS_FONT_BYTES, 0);
  for (int r = 0; r < 15; ++r) {  // glyph 8835: a diagonal and the last column
    const unsigned row = 0x8000u >> r | 1u;
    font[30 * 8835 + 2 * r] = static_cast<uint8_t>(row >> 8);  // high byte first
    font[30 * 8835 + 2 * r + 1] = static_cast<uint8_t>(row);
  }
  raster.jis_font = font.data();
  draw_glyph(256 + 8835, 4, 5, 10);
  for (uint32_t r = 0; r < 15; ++r) {
    for (uint32_t i = 0; i < 16; ++i) {
      ASSERT_EQ(pixel(5 + r, 10 + i), palette[i == r || i == 15 ? 4 : BACKGROUND]) << r << "," << i;
    }
  }
  EXPECT_EQ(dirty(), (Rect{10, 5, 27, 20}));

  // Past the last glyph, or with no font: nothing drawn; left, top and
  // bottom still grow.
  const auto before = snapshot();
  reset_dirty_rect();
  draw_glyph(256 + 8836, 4, 30, 40);
  EXPECT_EQ(dirty(), (Rect{40, 30, 0, 45}));
  raster.jis_font = nullptr;
  reset_dirty_rect();
  draw_glyph(256, 4, 20, 30);
  draw_glyph(256 + 100, 4, 2, 31);
  EXPECT_EQ(dirty(), (Rect{30, 2, 0, 35}));
  EXPECT_EQ(snapshot(), before);
}

// Draws figure `kind` (0..9) with its origin at (x, y); none reaches more
// than 15 pixels right of or below it.
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
  // Drawn offset by M in a frame larger by 2M, a figure is never clipped; the
  // small frame must equal that frame's middle.
  constexpr uint16_t W = 40, H = 30, M = 20;
  std::vector<uint8_t> font(JIS_FONT_BYTES);
  for (size_t i = 0; i < font.size(); ++i) font[i] = static_cast<uint8_t>(i * 37 + (i >> 5));
  for (int kind = 0; kind < 10; ++kind) {
    for (int32_t x : {-19, -12, -8, -7, -1, 0, 1, 17, 28, 32, 33, 39, 40, 44}) {
      for (int32_t y : {-19, -15, -13, -2, -1, 0, 3, 15, 17, 18, 29, 30, 34}) {
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
  // A cursor at the last text column of a 1024-wide frame ends 1 pixel past
  // its right edge.
  open_frame(1024, 20);
  fill_rect(14, 16, 9, 4, 1016);
  EXPECT_EQ(picture(4, 1016, 1, 8)[0], "oooooooo");
  EXPECT_EQ(dirty(), (Rect{1016, 4, 1025, 20}));
  // Left and top compare unsigned, so a start left of or above the frame
  // leaves them; right and bottom take the wrapped end.
  open_frame(64, 48);
  fill_rect(4, 5, 10, static_cast<uint32_t>(-2), static_cast<uint32_t>(-3));
  EXPECT_EQ(dirty(), (Rect{64, 48, 7, 3}));
  EXPECT_EQ(picture(0, 0, 4, 8), (std::vector<std::string>{"eeeeeee.", "eeeeeee.", "eeeeeee.", "........"}));
  // Huge sizes and far coordinates draw only what lies inside, quickly.
  fill_rect(2, 3, 0xFFFFFFF0u, 40, 60);
  draw_line(2, 0x7FFFFFFFu, 44, 0x80000000u, LINE_DOTTED_HORIZONTAL);
  EXPECT_EQ(picture(40, 58, 1, 6)[0], "..cccc");
  EXPECT_EQ(picture(44, 0, 1, 3)[0], "c.c");
  const auto before = snapshot();
  fill_rect(2, 0xFFFFFFFFu, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x7FFFFFFFu);
  draw_glyph('#', 2, 0x7FFFFFF0u, 0x7FFFFFF0u);
  draw_glyph(0xDB, 2, 0xFFFFFFF3u, 0xFFFFFFF8u);  // ends just above and left of (0, 0)
  EXPECT_EQ(snapshot(), before);
}
