// A small reader for BDF bitmap fonts (as written by pcf2bdf), shared by the
// font generators in tools/. Header-only; tools only.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vusk::bdf {

struct Glyph {
  int width = 0, height = 0, x_offset = 0, y_offset = 0;  // the BBX line
  // One entry per bitmap row, top row first; bit 31 is the leftmost pixel.
  std::vector<uint32_t> rows;
};

struct Font {
  int ascent = 0, descent = 0;
  std::map<uint32_t, Glyph> glyphs;  // by ENCODING
};

// Reads the font at `path`; false (with a message on stderr) when the file
// cannot be read or is not a BDF font.
inline bool read_font(const std::string& path, Font& font) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  std::string line;
  std::getline(in, line);
  if (line.rfind("STARTFONT", 0) != 0) {
    std::fprintf(stderr, "%s is not a BDF font\n", path.c_str());
    return false;
  }
  Glyph glyph;
  long encoding = -1;
  int bitmap_rows = -1;  // rows still to read, -1 outside a BITMAP block
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::string key;
    words >> key;
    if (bitmap_rows > 0) {
      // A row holds whole bytes of hex digits, leftmost pixel first.
      char* stop = nullptr;
      const unsigned long value = std::strtoul(key.c_str(), &stop, 16);
      if (key.empty() || key.size() > 8 || *stop != 0) {
        std::fprintf(stderr, "%s: bad bitmap row \"%s\"\n", path.c_str(), line.c_str());
        return false;
      }
      glyph.rows.push_back(static_cast<uint32_t>(value) << (32 - 4 * key.size()));
      --bitmap_rows;
    } else if (key == "FONT_ASCENT") {
      words >> font.ascent;
    } else if (key == "FONT_DESCENT") {
      words >> font.descent;
    } else if (key == "STARTCHAR") {
      glyph = Glyph{};
      encoding = -1;
    } else if (key == "ENCODING") {
      words >> encoding;
    } else if (key == "BBX") {
      words >> glyph.width >> glyph.height >> glyph.x_offset >> glyph.y_offset;
    } else if (key == "BITMAP") {
      bitmap_rows = glyph.height;
    } else if (key == "ENDCHAR") {
      if (encoding >= 0 && glyph.rows.size() == static_cast<size_t>(glyph.height)) {
        font.glyphs[static_cast<uint32_t>(encoding)] = glyph;
      }
      bitmap_rows = -1;
    }
  }
  if (font.glyphs.empty() || font.ascent + font.descent <= 0) {
    std::fprintf(stderr, "%s holds no glyphs\n", path.c_str());
    return false;
  }
  return true;
}

// Places `glyph` in a cell of cell_width x cell_height pixels whose baseline
// lies `ascent` rows below its top, shifted `column` pixels right and `row`
// rows down; the cell rows come back with bit cell_width-1 leftmost. False
// when the glyph would leave the cell.
inline bool place(const Glyph& glyph, int ascent, int column, int row, int cell_width, int cell_height,
                  std::vector<uint32_t>& cell) {
  cell.assign(cell_height, 0);
  const int top = row + ascent - (glyph.y_offset + glyph.height);
  const int left = column + glyph.x_offset;
  if (top < 0 || top + glyph.height > cell_height || left < 0 || left + glyph.width > cell_width) return false;
  for (int r = 0; r < glyph.height; ++r) {
    // Drop any bits beyond the glyph's width, then move bit 31 to the column.
    const uint32_t bits = glyph.width == 0 ? 0 : glyph.rows[r] & ~(0xFFFFFFFFu >> glyph.width);
    cell[top + r] = bits >> (32 - cell_width + left);
  }
  return true;
}

}  // namespace vusk::bdf
