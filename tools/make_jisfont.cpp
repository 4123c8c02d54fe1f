// Builds jisfont.bin, the double-byte font: 8836 glyphs of JIS X 0208 in
// row-major order (glyph k = (row - 1) * 94 + (cell - 1)), each 15 rows of
// 16-bit big-endian words with bit 15 the leftmost pixel. The glyphs come from
// the 14-dot font k14 (xfonts-base), each placed at column 1, row 0 of the
// 16x15 cell; codes k14 lacks are taken from shnmk14 (xfonts-shinonome), which
// adds 0x7425 and 0x7426. Codes in neither font stay blank.
//   make_jisfont k14.bdf shnmk14.bdf jisfont.bin
// (tools/build-jisfont.sh BUILD_DIR converts the fonts and runs this.)
#include <cstdio>
#include <vector>

#include "bdf_reader.h"

namespace {

constexpr int GLYPHS = 94 * 94;
constexpr int CELL_WIDTH = 16;
constexpr int CELL_HEIGHT = 15;
constexpr int GLYPH_BYTES = CELL_HEIGHT * 2;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s k14.bdf shnmk14.bdf jisfont.bin\n", argv[0]);
    return 2;
  }
  vusk::bdf::Font primary, fallback;
  if (!vusk::bdf::read_font(argv[1], primary) || !vusk::bdf::read_font(argv[2], fallback)) return 1;
  std::vector<unsigned char> image(static_cast<size_t>(GLYPHS) * GLYPH_BYTES, 0);
  int from_primary = 0, from_fallback = 0;
  std::vector<uint32_t> cell;
  for (int k = 0; k < GLYPHS; ++k) {
    // The BDF fonts are encoded by JIS code: row and cell each plus 0x20.
    const uint32_t code = static_cast<uint32_t>((k / 94 + 0x21) << 8 | (k % 94 + 0x21));
    const vusk::bdf::Font* font = &primary;
    auto found = primary.glyphs.find(code);
    if (found == primary.glyphs.end()) {
      font = &fallback;
      found = fallback.glyphs.find(code);
      if (found == fallback.glyphs.end()) continue;
      ++from_fallback;
    } else {
      ++from_primary;
    }
    if (!vusk::bdf::place(found->second, font->ascent, 1, 0, CELL_WIDTH, CELL_HEIGHT, cell)) {
      std::fprintf(stderr, "glyph 0x%04X does not fit a 16x15 cell\n", code);
      return 1;
    }
    unsigned char* glyph = image.data() + static_cast<size_t>(k) * GLYPH_BYTES;
    for (int r = 0; r < CELL_HEIGHT; ++r) {
      glyph[2 * r] = static_cast<unsigned char>(cell[r] >> 8);
      glyph[2 * r + 1] = static_cast<unsigned char>(cell[r]);
    }
  }
  std::FILE* file = std::fopen(argv[3], "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    return 1;
  }
  const bool written = std::fwrite(image.data(), 1, image.size(), file) == image.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "cannot write %s\n", argv[3]);
    std::remove(argv[3]);
    return 1;
  }
  std::printf("%d glyphs from %s, %d from %s, %d blank\n", from_primary, argv[1], from_fallback, argv[2],
              GLYPHS - from_primary - from_fallback);
  return 0;
}
