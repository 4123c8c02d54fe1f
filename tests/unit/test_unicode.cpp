// Unicode in the raster: the generated cell widths, the glyph file's check
// and lookup, code points drawn from the built file, the replacement box,
// and bytes drawn as hex digits.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/startup.h"
#include "app/window.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "raster/unicode_font.h"
#include "raster/unicode_width.h"

using namespace vusk;

namespace {

constexpr uint32_t BACKGROUND = 13, INK = 4;

void open_frame() {
  reset_all_state();
  raster.frame_width = 96;
  raster.frame_height = 32;
  alloc_framebuffer();
  fill_rect(BACKGROUND, 32, 96, 0, 0);
  reset_dirty_rect();
  raster.redraw_pending = 0;
}

// Pixel rows of a region as '#' (not background) and '.'.
std::vector<std::string> picture(uint32_t y, uint32_t x, uint32_t height, uint32_t width) {
  std::vector<std::string> rows(height);
  for (uint32_t r = 0; r < height; ++r) {
    for (uint32_t i = 0; i < width; ++i) rows[r] += *pixel_address(y + r, x + i) == palette[BACKGROUND] ? '.' : '#';
  }
  return rows;
}
bool any_ink(const std::vector<std::string>& rows) {
  for (const std::string& r : rows) {
    if (r.find('#') != std::string::npos) return true;
  }
  return false;
}

void draw_code_point(uint32_t cp, uint32_t x) { draw_glyph(UNICODE_GLYPH_BASE + cp, INK, 8, x); }

}  // namespace

TEST(UnicodeWidth, WellKnownCodePoints) {
  const struct {
    uint32_t cp, width;
  } cases[] = {
      {'A', 1},     {0x0A, 1},    {0x00E9, 1},  {0x00AD, 1},  // soft hyphen: shown as a hyphen
      {0x0301, 0},  {0x20DD, 0},  {0x200B, 0},  {0x2060, 0},  {0xFEFF, 0},  {0x1160, 0}, {0x11A8, 0},
      {0x3099, 0},  // a combining mark that is also East Asian Wide
      {0x6F22, 2},  {0x3042, 2},  {0xFF21, 2},  {0xAC00, 2},  {0x1F600, 2}, {0x20000, 2},
      {0x0416, 1},  {0xFF71, 1},  {0x2500, 1},  {0x10FFFF, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(unicode_cell_width(c.cp), c.width) << std::hex << "U+" << c.cp;
}

namespace {

// A small file in the format: 'A' has an 8x13 glyph, U+6F22 a 16x16 one.
std::string small_font() {
  auto put32 = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s += static_cast<char>(v >> (8 * i));
  };
  std::string image(UNICODE_FONT_MAGIC, sizeof UNICODE_FONT_MAGIC);
  put32(image, UNICODE_FONT_VERSION);
  const uint32_t counts[UGK_KINDS] = {1, 0, 0, 1};
  for (uint32_t c : counts) put32(image, c);
  put32(image, 0);
  std::string index(UNICODE_FONT_INDEX_BYTES, static_cast<char>(0xFF));
  index[2 * 'A'] = index[2 * 'A' + 1] = 0;
  index[2 * 0x6F22] = 1;
  index[2 * 0x6F22 + 1] = 0;
  return image + index + std::string(13, '\x81') + std::string(32, '\x42');
}

bool accepts(const std::string& image) {
  return unicode_font_accepts(reinterpret_cast<const uint8_t*>(image.data()), image.size());
}

}  // namespace

TEST(UnicodeFontFile, TheCheckRefusesEveryDamagedFile) {
  const std::string good = small_font();
  ASSERT_TRUE(accepts(good));
  const size_t fixed = UNICODE_FONT_HEADER_BYTES + UNICODE_FONT_INDEX_BYTES;
  // The good file with the 16-bit word at `at` set to `value`.
  auto with = [&](size_t at, uint32_t value) {
    std::string s = good;
    s[at] = static_cast<char>(value);
    s[at + 1] = static_cast<char>(value >> 8);
    return s;
  };
  const struct {
    const char* what;
    std::string image;
  } bad[] = {
      {"empty", ""},
      {"the header alone", good.substr(0, UNICODE_FONT_HEADER_BYTES)},
      {"a short index", good.substr(0, fixed - 1)},
      {"a short last bitmap", good.substr(0, good.size() - 1)},
      {"another magic", with(0, 'v' | 'U' << 8)},
      {"version 2", with(8, 2)},
      {"a reserved word in use", with(28, 1)},
      {"a count too many", with(12, 2)},
      {"an index entry past the glyphs", with(UNICODE_FONT_HEADER_BYTES + 2 * 'B', 2)},
  };
  for (const auto& b : bad) EXPECT_FALSE(accepts(b.image)) << b.what;
  EXPECT_FALSE(unicode_font_accepts(nullptr, good.size()));
}

namespace {

// Each test draws into a small frame with the built glyph file loaded.
class UnicodeGlyphs : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef VUSK_UNICODE_FONT_FILE
    font = load_unicode_font_file(VUSK_UNICODE_FONT_FILE);
    ASSERT_NE(font, nullptr) << VUSK_UNICODE_FONT_FILE << " was not built or is not a glyph file";
#else
    GTEST_SKIP() << "this build makes no unicodefont.bin";
#endif
    open_frame();
    raster.unicode_font = font;
  }
  void TearDown() override {
    raster.unicode_font = nullptr;
    free_block(font);
    reset_all_state();
  }
  uint8_t* font = nullptr;
};

}  // namespace

// é comes from the same 8x13 font as the built-in e, in the same rows: the
// e's strokes match and the accent lies above them.
TEST_F(UnicodeGlyphs, AccentedLettersSitOnTheBuiltInFontsRows) {
  draw_glyph('e', INK, 8, 0);
  draw_code_point(0xE9, 9);
  const std::vector<std::string> e = picture(8, 0, 16, 9), acute = picture(8, 9, 16, 9);
  uint32_t top = 0;
  while (top < 13 && builtin_font[13 * 'e' + top] == 0) ++top;
  ASSERT_LT(top, 13u);
  for (uint32_t r = top; r < 16; ++r) EXPECT_EQ(acute[r], e[r]) << "row " << r;
  EXPECT_TRUE(any_ink({acute.begin(), acute.begin() + top}));
  for (const std::string& row : acute) EXPECT_EQ(row[8], '.');
  EXPECT_EQ(raster.dirty_max_x, 18u);
}

TEST_F(UnicodeGlyphs, WideCharactersSpanTwoCells) {
  draw_code_point(0x6F22, 9);  // 漢
  EXPECT_TRUE(any_ink(picture(8, 9, 16, 9)));
  EXPECT_TRUE(any_ink(picture(8, 18, 16, 9)));
  EXPECT_FALSE(any_ink(picture(8, 27, 16, 9)));
  EXPECT_EQ(raster.dirty_min_x, 9u);
  EXPECT_EQ(raster.dirty_max_x, 27u);
  EXPECT_EQ(raster.dirty_max_y, 24u);
}

// A code point without a glyph shows a box of its own width; without the
// file every code point does, and a zero-width one then draws nothing.
TEST_F(UnicodeGlyphs, CodePointsWithoutAGlyphShowABox) {
  ASSERT_EQ(unicode_glyph(0x0378).bits, nullptr);  // unassigned, one cell
  draw_code_point(0x0378, 0);
  draw_code_point(0x1F600, 9);  // past the file's plane, two cells
  const std::vector<std::string> box = picture(8, 0, 16, 9);
  EXPECT_TRUE(any_ink(box));
  EXPECT_NE(box, picture(8, 9, 16, 9));
  EXPECT_TRUE(any_ink(picture(8, 18, 16, 9)));
  EXPECT_EQ(raster.dirty_max_x, 27u);

  raster.unicode_font = nullptr;
  draw_code_point(0xE9, 36);
  EXPECT_EQ(picture(8, 36, 16, 9), box);
  draw_code_point(0x0301, 45);
  draw_code_point(0x200B, 45);
  EXPECT_FALSE(any_ink(picture(8, 45, 16, 9)));
}

// Every byte value has its own picture in the one cell, in the two colours.
TEST_F(UnicodeGlyphs, HexBytesFillTheirCellWithTwoDigits) {
  std::set<std::vector<uint32_t>> seen;
  for (uint32_t byte = 0; byte < 256; ++byte) {
    open_frame();
    draw_hex_byte(byte, 14, 7, 8, 9);
    EXPECT_EQ(raster.redraw_pending, 1);
    std::vector<uint32_t> cell;  // the cell's pixels, then anything drawn outside it
    for (uint32_t y = 0; y < 32; ++y) {
      for (uint32_t x = 0; x < 96; ++x) {
        const uint32_t p = *pixel_address(y, x);
        const bool inside = y >= 8 && y < 24 && x >= 9 && x < 18;
        ASSERT_TRUE(inside ? p == palette[14] || p == palette[7] : p == palette[BACKGROUND]) << byte << " at " << x;
        if (inside) cell.push_back(p);
      }
    }
    EXPECT_TRUE(seen.insert(cell).second) << "byte " << byte << " looks like another";
  }
}
