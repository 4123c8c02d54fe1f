// Reads the two files of the Unicode Character Database that the cell widths
// come from (EastAsianWidth.txt and UnicodeData.txt, Debian unicode-data)
// and rules each code point's width. Shared by make_unicode_width (the
// program's width tables) and make_unicode_font (which glyph each code point
// gets), so that both agree. Header-only; tools only.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace vusk::ucd {

constexpr uint32_t CODE_POINTS = 0x110000;

// A general category as its two letters, e.g. category("Mn").
constexpr uint16_t category(const char (&name)[3]) {
  return static_cast<uint16_t>(static_cast<uint8_t>(name[0]) << 8 | static_cast<uint8_t>(name[1]));
}

// What the widths are ruled from, by code point.
struct Data {
  std::vector<uint8_t> wide;        // 1 where East_Asian_Width is W or F
  std::vector<uint16_t> categories;  // general category; Cn where unlisted
  std::string version;               // e.g. "15.0.0", from the width file's first line
};

namespace detail {

// Parses "0300" or "0300..036F" into first and last; false when malformed.
inline bool parse_range(const std::string& text, uint32_t& first, uint32_t& last) {
  char* stop = nullptr;
  first = static_cast<uint32_t>(std::strtoul(text.c_str(), &stop, 16));
  if (stop == text.c_str()) return false;
  last = first;
  if (stop[0] == '.' && stop[1] == '.') {
    const char* second = stop + 2;
    last = static_cast<uint32_t>(std::strtoul(second, &stop, 16));
    if (stop == second) return false;
  }
  while (*stop == ' ') ++stop;
  return *stop == 0 && first <= last && last < CODE_POINTS;
}

inline std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

}  // namespace detail

// Reads EastAsianWidth.txt into data.wide; false (with a message) on an
// unreadable or malformed file. Unlisted code points take the defaults the
// file's header states: W in the CJK ideograph blocks and planes 2 and 3,
// N elsewhere.
inline bool read_east_asian_width(const std::string& path, Data& data) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  data.wide.assign(CODE_POINTS, 0);
  const uint32_t default_wide[][2] = {
      {0x3400, 0x4DBF}, {0x4E00, 0x9FFF}, {0xF900, 0xFAFF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};
  for (const auto& r : default_wide) std::fill(data.wide.begin() + r[0], data.wide.begin() + r[1] + 1, 1);
  std::string line;
  for (int number = 1; std::getline(in, line); ++number) {
    if (number == 1 && line.rfind("# EastAsianWidth-", 0) == 0) {
      data.version = line.substr(17, line.find(".txt") - 17);
    }
    const std::string text = detail::trim(line.substr(0, line.find('#')));
    if (text.empty()) continue;
    const size_t semicolon = text.find(';');
    uint32_t first, last;
    if (semicolon == std::string::npos || !detail::parse_range(text.substr(0, semicolon), first, last)) {
      std::fprintf(stderr, "%s:%d: cannot read \"%s\"\n", path.c_str(), number, line.c_str());
      return false;
    }
    const std::string value = detail::trim(text.substr(semicolon + 1));
    const uint8_t wide = value == "W" || value == "F";
    std::fill(data.wide.begin() + first, data.wide.begin() + last + 1, wide);
  }
  return true;
}

// Reads UnicodeData.txt into data.categories (its "<..., First>" and
// "<..., Last>" pairs cover the ranges between); false on a bad file.
inline bool read_categories(const std::string& path, Data& data) {
  std::ifstream in(path);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return false;
  }
  data.categories.assign(CODE_POINTS, category("Cn"));
  std::string line;
  uint32_t range_first = CODE_POINTS;  // the First of a pair whose Last is due
  for (int number = 1; std::getline(in, line); ++number) {
    const size_t a = line.find(';');
    const size_t b = a == std::string::npos ? a : line.find(';', a + 1);
    const size_t c = b == std::string::npos ? b : line.find(';', b + 1);
    uint32_t cp, unused;
    if (c != b + 3 || !detail::parse_range(line.substr(0, a), cp, unused) || cp != unused) {
      std::fprintf(stderr, "%s:%d: cannot read \"%s\"\n", path.c_str(), number, line.c_str());
      return false;
    }
    const uint16_t cat = static_cast<uint16_t>(static_cast<uint8_t>(line[b + 1]) << 8 | static_cast<uint8_t>(line[b + 2]));
    const std::string name = line.substr(a + 1, b - a - 1);
    const uint32_t first = name.find(", Last>") != std::string::npos && range_first <= cp ? range_first : cp;
    std::fill(data.categories.begin() + first, data.categories.begin() + cp + 1, cat);
    range_first = name.find(", First>") != std::string::npos ? cp : CODE_POINTS;
  }
  return true;
}

// Reads both files; false (with a message) when either cannot be read.
inline bool read_data(const std::string& width_path, const std::string& data_path, Data& data) {
  return read_east_asian_width(width_path, data) && read_categories(data_path, data);
}

// The cells code point cp takes: 0 for combining marks (Mn, Me), format
// characters (Cf) but the soft hyphen, which shows as a hyphen, and the
// Hangul medial vowels and final consonants that join the syllable before;
// 2 for East Asian Wide and Fullwidth; 1 for the rest.
inline int cell_width(const Data& data, uint32_t cp) {
  const uint16_t cat = data.categories[cp];
  if (cat == category("Mn") || cat == category("Me")) return 0;
  if (cat == category("Cf") && cp != 0x00AD) return 0;
  if ((cp >= 0x1160 && cp <= 0x11FF) || (cp >= 0xD7B0 && cp <= 0xD7FF)) return 0;
  return data.wide[cp] != 0 ? 2 : 1;
}

// Writes `bytes` to `path` through a temporary file beside it, so that a
// failed run never leaves a short output behind; false with a message.
inline bool write_output(const std::string& path, const std::string& bytes) {
  const std::string temporary = path + ".part";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (file != nullptr && std::fclose(file) != 0) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    std::remove(temporary.c_str());
  }
  return ok;
}

}  // namespace vusk::ucd
