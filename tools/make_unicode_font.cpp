// Builds unicodefont.bin, the glyphs of the Basic Multilingual Plane in the
// format of src/raster/unicode_font.h, from three fonts, taking each code
// point's glyph from the first that has one of the right width:
//   - one-cell and combining code points: the misc-fixed 8x13 font (placed
//     exactly as the built-in font's glyphs), then GNU Unifont (8x16; a
//     16-pixel Unifont glyph is narrowed to 8 by merging column pairs);
//   - two-cell code points: k14, or shnmk14 for the two k14 lacks (placed
//     exactly as in jisfont.bin), found through the host's iconv (EUC-JP,
//     then CP932 as the Shift_JIS display pairs it); then Unifont 16x16;
//     then an 8-pixel glyph of either font, centred in the two cells.
// Control characters, surrogates and the zero-width code points that are not
// combining marks (format characters, Hangul medial and final jamo) get no
// glyph. Widths come from the same rules as the program's width tables.
//   make_unicode_font 8x13.bdf k14.bdf shnmk14.bdf unifont.hex
//                     EastAsianWidth.txt UnicodeData.txt unicodefont.bin
// The build runs it (cmake/unicode.cmake); the output is not committed.
#include <iconv.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bdf_reader.h"
#include "editor/sjis.h"
#include "raster/unicode_font.h"
#include "unicode_data.h"

namespace {

using vusk::bdf::Font;

// Where a glyph came from, for the summary.
enum Source { MISC_FIXED, K14, SHINONOME, UNIFONT, UNIFONT_NARROWED, SOURCES };
const char* const SOURCE_NAMES[SOURCES] = {"misc-fixed 8x13", "k14", "shnmk14", "GNU Unifont",
                                           "GNU Unifont, narrowed"};

// A glyph of unifont.hex: 8 or 16 pixels wide, 16 rows, bit width-1 leftmost.
struct HexGlyph {
  int width = 0;
  uint32_t rows[16] = {};
};

// One glyph of the output: its kind, its cell rows (bit width-1 leftmost).
struct Built {
  uint32_t kind = 0;
  std::vector<uint32_t> rows;
  Source source = MISC_FIXED;
};

// Reads unifont.hex ("XXXX:" then 32 or 64 hex digits a line).
bool read_hex(const std::string& path, std::map<uint32_t, HexGlyph>& glyphs) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    const size_t colon = line.find(':');
    const std::string bits = colon == std::string::npos ? "" : line.substr(colon + 1);
    if (bits.size() != 32 && bits.size() != 64) {
      std::fprintf(stderr, "%s: cannot read \"%s\"\n", path.c_str(), line.c_str());
      return false;
    }
    HexGlyph g;
    g.width = bits.size() == 32 ? 8 : 16;
    const size_t digits = g.width / 4;
    for (int r = 0; r < 16; ++r) g.rows[r] = std::stoul(bits.substr(r * digits, digits), nullptr, 16);
    glyphs[std::stoul(line.substr(0, colon), nullptr, 16)] = g;
  }
  return !glyphs.empty();
}

// The JIS X 0208 linear index of code point cp (row-major over 94 x 94),
// or -1 when neither EUC-JP nor CP932 holds it as a double-byte character.
class JisIndex {
 public:
  JisIndex() : euc_(iconv_open("EUC-JP", "UTF-32LE")), cp932_(iconv_open("CP932", "UTF-32LE")) {}
  ~JisIndex() {
    if (ok()) {
      iconv_close(euc_);
      iconv_close(cp932_);
    }
  }
  bool ok() const { return euc_ != reinterpret_cast<iconv_t>(-1) && cp932_ != reinterpret_cast<iconv_t>(-1); }
  int operator()(uint32_t cp) const {
    unsigned char out[8];
    if (convert(euc_, cp, out) == 2 && out[0] >= 0xA1 && out[0] <= 0xFE && out[1] >= 0xA1 && out[1] <= 0xFE) {
      return (out[0] - 0xA1) * 94 + (out[1] - 0xA1);
    }
    if (convert(cp932_, cp, out) == 2 && vusk::is_lead_byte(out[0]) && out[1] >= 0x40 && out[1] <= 0xFC &&
        out[1] != 0x7F) {
      const uint32_t k = vusk::pair_glyph(out[0], out[1]) - 256;
      if (k < 94 * 94) return static_cast<int>(k);
    }
    return -1;
  }

 private:
  // The bytes iconv makes of one code point; 0 when it cannot.
  static size_t convert(iconv_t cd, uint32_t cp, unsigned char* out) {
    unsigned char in[4] = {static_cast<unsigned char>(cp), static_cast<unsigned char>(cp >> 8),
                           static_cast<unsigned char>(cp >> 16), 0};
    char* src = reinterpret_cast<char*>(in);
    char* dst = reinterpret_cast<char*>(out);
    size_t in_left = 4, out_left = 8;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &src, &in_left, &dst, &out_left) == static_cast<size_t>(-1)) return 0;
    return 8 - out_left;
  }
  iconv_t euc_, cp932_;
};

// The fonts and data a glyph is chosen from.
struct Sources {
  Font misc_fixed, k14, shinonome;
  std::map<uint32_t, HexGlyph> unifont;
  vusk::ucd::Data data;
};

// A BDF glyph of `font` placed in a cell of `kind` at `column`; false when
// the font lacks it or it does not fit.
bool from_bdf(const Font& font, uint32_t encoding, uint32_t kind, int column, Source source, Built& out) {
  const auto found = font.glyphs.find(encoding);
  if (found == font.glyphs.end()) return false;
  const auto& shape = vusk::unicode_glyph_shapes[kind];
  if (!vusk::bdf::place(found->second, font.ascent, column, 0, shape.width, shape.height, out.rows)) return false;
  out.kind = kind;
  out.source = source;
  return true;
}

// A Unifont glyph as `kind`: copied, moved `shift` columns right (an 8-pixel
// glyph in a 16-pixel cell), or narrowed from 16 pixels into 8 by merging
// each pair of columns.
Built from_hex(const HexGlyph& g, uint32_t kind, int shift) {
  Built out;
  out.kind = kind;
  out.source = UNIFONT;
  const bool narrow = g.width == 16 && vusk::unicode_glyph_shapes[kind].width == 8;
  if (narrow) out.source = UNIFONT_NARROWED;
  for (uint32_t row : g.rows) {
    uint32_t bits = 0;
    if (narrow) {
      for (int i = 0; i < 8; ++i) bits |= ((row >> (2 * i)) & 3u) != 0 ? 1u << i : 0;
    } else {
      bits = row << (vusk::unicode_glyph_shapes[kind].width - g.width - shift);
    }
    out.rows.push_back(bits);
  }
  return out;
}

// The glyph of a two-cell code point, by the order in the file comment.
bool wide_glyph(const Sources& s, const JisIndex& jis, uint32_t cp, Built& out) {
  const int k = jis(cp);
  if (k >= 0) {
    const uint32_t code = static_cast<uint32_t>((k / 94 + 0x21) << 8 | (k % 94 + 0x21));
    if (from_bdf(s.k14, code, vusk::UGK_16X15, 1, K14, out)) return true;
    if (from_bdf(s.shinonome, code, vusk::UGK_16X15, 1, SHINONOME, out)) return true;
  }
  const auto hex = s.unifont.find(cp);
  if (hex != s.unifont.end() && hex->second.width == 16) {
    out = from_hex(hex->second, vusk::UGK_16X16, 0);
    return true;
  }
  if (from_bdf(s.misc_fixed, cp, vusk::UGK_16X15, 4, MISC_FIXED, out)) return true;
  if (hex == s.unifont.end()) return false;
  out = from_hex(hex->second, vusk::UGK_16X16, 4);  // an 8-pixel glyph at columns 4..11
  return true;
}

// The glyph of code point cp, or false for none.
bool choose(const Sources& s, const JisIndex& jis, uint32_t cp, Built& out) {
  const uint16_t cat = s.data.categories[cp];
  // Controls, surrogates, private use and unassigned code points show the
  // replacement box (Unifont draws its own code charts for the last two).
  for (const uint16_t none : {vusk::ucd::category("Cc"), vusk::ucd::category("Cs"), vusk::ucd::category("Co"),
                              vusk::ucd::category("Cn")}) {
    if (cat == none) return false;
  }
  const int width = vusk::ucd::cell_width(s.data, cp);
  const bool mark = cat == vusk::ucd::category("Mn") || cat == vusk::ucd::category("Me");
  if (width == 0 && !mark) return false;  // nothing to show over the cell before
  if (width == 2) return wide_glyph(s, jis, cp, out);
  if (from_bdf(s.misc_fixed, cp, vusk::UGK_8X13, 0, MISC_FIXED, out)) return true;
  const auto hex = s.unifont.find(cp);
  if (hex == s.unifont.end() || hex->second.width != 8) return false;  // no narrow glyph
  out = from_hex(hex->second, vusk::UGK_8X16, 0);
  return true;
}

void put16(std::string& out, uint32_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8 & 0xFF);
}
void put32(std::string& out, uint32_t v) {
  put16(out, v & 0xFFFF);
  put16(out, v >> 16);
}

// The file's bytes: header, index, then the bitmaps kind by kind.
std::string image_of(const std::vector<std::vector<std::pair<uint32_t, Built>>>& by_kind) {
  std::string out(vusk::UNICODE_FONT_MAGIC, sizeof vusk::UNICODE_FONT_MAGIC);
  put32(out, vusk::UNICODE_FONT_VERSION);
  for (const auto& glyphs : by_kind) put32(out, static_cast<uint32_t>(glyphs.size()));
  put32(out, 0);
  std::vector<uint32_t> index(vusk::UNICODE_FONT_INDEXED, vusk::UNICODE_NO_GLYPH);
  std::string bitmaps;
  uint32_t number = 0;
  for (uint32_t kind = 0; kind < vusk::UGK_KINDS; ++kind) {
    for (const auto& [cp, glyph] : by_kind[kind]) {
      index[cp] = number++;
      for (uint32_t row : glyph.rows) {
        if (vusk::unicode_glyph_shapes[kind].row_bytes == 2) bitmaps += static_cast<char>(row >> 8);
        bitmaps += static_cast<char>(row & 0xFF);
      }
    }
  }
  for (uint32_t n : index) put16(out, n);
  return out + bitmaps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 8) {
    std::fprintf(stderr,
                 "usage: %s 8x13.bdf k14.bdf shnmk14.bdf unifont.hex EastAsianWidth.txt UnicodeData.txt OUT\n",
                 argv[0]);
    return 2;
  }
  Sources s;
  if (!vusk::bdf::read_font(argv[1], s.misc_fixed) || !vusk::bdf::read_font(argv[2], s.k14) ||
      !vusk::bdf::read_font(argv[3], s.shinonome) || !read_hex(argv[4], s.unifont) ||
      !vusk::ucd::read_data(argv[5], argv[6], s.data)) {
    return 1;
  }
  const JisIndex jis;
  if (!jis.ok()) {
    std::fprintf(stderr, "iconv cannot convert to EUC-JP and CP932\n");
    return 1;
  }
  std::vector<std::vector<std::pair<uint32_t, Built>>> by_kind(vusk::UGK_KINDS);
  int from[SOURCES] = {};
  for (uint32_t cp = 0; cp < vusk::UNICODE_FONT_INDEXED; ++cp) {
    Built glyph;
    if (!choose(s, jis, cp, glyph)) continue;
    ++from[glyph.source];
    by_kind[glyph.kind].emplace_back(cp, glyph);
  }
  const std::string image = image_of(by_kind);
  if (!vusk::ucd::write_output(argv[7], image)) return 1;
  std::printf("%s: %zu bytes;", argv[7], image.size());
  for (int i = 0; i < SOURCES; ++i) std::printf(" %d from %s%s", from[i], SOURCE_NAMES[i], i + 1 < SOURCES ? "," : "\n");
  return 0;
}
