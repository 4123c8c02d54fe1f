// The font generators in tools/, checked against the X11 fonts they read.
// The tests that need pcf2bdf and the fonts skip when those are missing.
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "raster/raster.h"

using namespace vusk;
namespace fs = std::filesystem;

namespace {

const fs::path FONT_DIR = "/usr/share/fonts/X11/misc";

// The build directory: the tools are built beside the test program.
fs::path build_dir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

int run(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

// Converts FONT_DIR/<name>.pcf.gz to <dir>/<name>.bdf; false when pcf2bdf or
// the font is missing.
bool convert_font(const char* name, const fs::path& dir) {
  const fs::path pcf = FONT_DIR / (std::string(name) + ".pcf.gz");
  if (!fs::exists(pcf) || run("command -v pcf2bdf") != 0) return false;
  return run("pcf2bdf -o '" + (dir / name).string() + ".bdf' '" + pcf.string() + "'") == 0;
}

// The bitmap rows of the glyph with this ENCODING, as written in the BDF
// file (hex numbers, leftmost pixel in the highest bit); empty if absent.
std::vector<uint32_t> bdf_rows(const fs::path& bdf, uint32_t encoding) {
  std::ifstream in(bdf);
  std::string line;
  bool found = false, bitmap = false;
  std::vector<uint32_t> rows;
  while (std::getline(in, line)) {
    if (line == "ENCODING " + std::to_string(encoding)) found = true;
    if (!found) continue;
    if (line == "ENDCHAR") break;
    if (bitmap) rows.push_back(static_cast<uint32_t>(std::stoul(line, nullptr, 16)));
    if (line == "BITMAP") bitmap = true;
  }
  return rows;
}

std::string read_text(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each test works in a fresh temporary directory.
class FontTool : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vusk_font_test.XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }
  fs::path dir;
};

}  // namespace

TEST(BuiltinFont, LayoutAndTheLetterA) {
  const char* a[13] = {"........", "........", "...##...", "..#..#..", ".#....#.", ".#....#.", ".#....#.",
                       ".######.", ".#....#.", ".#....#.", ".#....#.", "........", "........"};
  for (int r = 0; r < 13; ++r) {
    std::string row;
    for (int i = 0; i < 8; ++i) row += (builtin_font[13 * 'A' + r] >> (7 - i)) & 1 ? '#' : '.';
    EXPECT_EQ(row, a[r]) << "row " << r;
  }
  for (int c = 0; c < 256; ++c) {
    int bits = 0;
    for (int r = 0; r < 13; ++r) bits += builtin_font[13 * c + r];
    const bool blank = c == 0 || c == 0x20 || (c >= 0x80 && c <= 0xA0) || c == 0xED || c == 0xF1 || c == 0xF7 ||
                       (c >= 0xFB && c <= 0xFE);
    // The other marks at 0xE0 and above may be blank or not.
    if (blank || c < 0xE0) {
      EXPECT_EQ(bits == 0, blank) << "byte " << c;
    }
  }
  // Descenders reach the last row.
  EXPECT_NE(builtin_font[13 * 'g' + 12], 0);
  EXPECT_EQ(builtin_font[13 * 'a' + 12], 0);
}

TEST_F(FontTool, BuiltinTableMatchesTheSourceFontAndItsGenerator) {
  const fs::path tool = build_dir() / "make_builtin_font";
  if (!convert_font("8x13", dir) || !fs::exists(tool)) GTEST_SKIP() << "pcf2bdf, 8x13 or " << tool << " is missing";
  // Half-width katakana A (U+FF71) is byte 0xB1; the font's cells are 8x13.
  const std::vector<uint32_t> rows = bdf_rows(dir / "8x13.bdf", 0xFF71);
  ASSERT_EQ(rows.size(), 13u);
  for (int r = 0; r < 13; ++r) EXPECT_EQ(builtin_font[13 * 0xB1 + r], rows[r]) << "row " << r;
  // Regenerating gives the committed table.
  ASSERT_EQ(run(tool.string() + " " + (dir / "8x13.bdf").string() + " " + (dir / "font.cpp").string()), 0);
  EXPECT_EQ(read_text(dir / "font.cpp"), read_text(fs::path(VUSK_SOURCE_DIR) / "src/raster/builtin_font.cpp"));
}

TEST_F(FontTool, JisFontIsBuiltFromK14AndShinonome) {
  const fs::path tool = build_dir() / "make_jisfont";
  if (!convert_font("k14", dir) || !fs::exists(FONT_DIR / "shnmk14.pcf.gz") || !fs::exists(tool)) {
    GTEST_SKIP() << "pcf2bdf, k14, shnmk14 or " << tool << " is missing";
  }
  fs::create_symlink(tool, dir / "make_jisfont");
  ASSERT_EQ(run(std::string(VUSK_SOURCE_DIR) + "/tools/build-jisfont.sh " + dir.string()), 0);
  const std::string font = read_text(dir / "jisfont.bin");
  ASSERT_EQ(font.size(), 265080u);
  auto glyph_row = [&](uint32_t jis, int r) {
    const size_t k = ((jis >> 8) - 0x21) * 94 + ((jis & 0xFF) - 0x21);
    const auto* g = reinterpret_cast<const uint8_t*>(font.data()) + 30 * k;
    return uint32_t{g[2 * r]} << 8 | g[2 * r + 1];
  };
  // 0x3021 from k14: its 14x14 rows moved one column right, row 14 blank.
  const std::vector<uint32_t> rows = bdf_rows(dir / "k14.bdf", 0x3021);
  ASSERT_EQ(rows.size(), 14u);
  for (int r = 0; r < 14; ++r) EXPECT_EQ(glyph_row(0x3021, r), rows[r] >> 1) << "row " << r;
  EXPECT_EQ(glyph_row(0x3021, 14), 0u);
  // k14 lacks 0x7425 (taken from shnmk14) and has no glyph at 0x222F (blank).
  EXPECT_TRUE(bdf_rows(dir / "k14.bdf", 0x7425).empty());
  uint32_t from_shinonome = 0, unassigned = 0;
  for (int r = 0; r < 15; ++r) {
    from_shinonome |= glyph_row(0x7425, r);
    unassigned |= glyph_row(0x222F, r);
  }
  EXPECT_NE(from_shinonome, 0u);
  EXPECT_EQ(unassigned, 0u);
}
