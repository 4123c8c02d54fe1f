// BMP and PNG files of bottom-up 32-bit pixel blocks.
#include "backends/headless/frame_writer.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <vector>

#include "raster/raster.h"

namespace vusk {

namespace {

using Bytes = std::vector<uint8_t>;

// Appends v as 2 bytes, low byte first.
void put16le(Bytes& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

// Appends v as 4 bytes, low byte first.
void put32le(Bytes& out, uint32_t v) {
  put16le(out, v & 0xFFFF);
  put16le(out, v >> 16);
}

// Appends v as 4 bytes, high byte first.
void put32be(Bytes& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// Writes the whole of `data` to a new file at `path`.
bool write_file(const char* path, const Bytes& data) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
  return std::fclose(file) == 0 && written;
}

// The CRC-32 table of PNG chunks (polynomial 0xEDB88320).
constexpr std::array<uint32_t, 256> make_crc_table() {
  std::array<uint32_t, 256> table{};
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}
constexpr std::array<uint32_t, 256> crc_table = make_crc_table();

// The CRC-32 of a byte run, as PNG chunks carry it.
uint32_t crc32(const uint8_t* data, size_t size) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = crc_table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

// Appends a chunk: length, type, data, CRC of type and data.
void put_chunk(Bytes& out, const char type[4], const Bytes& data) {
  put32be(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  put32be(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of `raw` in stored (uncompressed) deflate blocks.
Bytes zlib_stored(const Bytes& raw) {
  Bytes out{0x78, 0x01};
  size_t pos = 0;
  do {
    const size_t n = std::min<size_t>(raw.size() - pos, 0xFFFF);
    out.push_back(pos + n == raw.size() ? 1 : 0);  // BFINAL on the last block, BTYPE 00
    put16le(out, static_cast<uint32_t>(n));
    put16le(out, static_cast<uint32_t>(~n & 0xFFFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos), raw.begin() + static_cast<std::ptrdiff_t>(pos + n));
    pos += n;
  } while (pos < raw.size());
  uint32_t a = 1, b = 0;  // Adler-32 of the uncompressed data
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  put32be(out, b << 16 | a);
  return out;
}

}  // namespace

// Writes a BITMAPFILEHEADER, a BITMAPINFOHEADER (positive height: bottom-up)
// and the pixel words unchanged.
bool write_bmp(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height) {
  const uint64_t image_bytes = uint64_t{width} * height * 4;
  if (image_bytes > 0x7FFFFFFFu - 54) return false;
  Bytes out;
  out.reserve(54 + image_bytes);
  out.push_back('B');
  out.push_back('M');
  put32le(out, static_cast<uint32_t>(54 + image_bytes));
  put32le(out, 0);
  put32le(out, 54);      // offset of the pixels
  put32le(out, 40);      // BITMAPINFOHEADER
  put32le(out, width);
  put32le(out, height);  // positive: the first stored row is the bottom one
  put16le(out, 1);       // planes
  put16le(out, 32);      // bits per pixel
  put32le(out, 0);       // BI_RGB
  put32le(out, static_cast<uint32_t>(image_bytes));
  put32le(out, 2835);    // 72 dpi
  put32le(out, 2835);
  put32le(out, 0);
  put32le(out, 0);
  for (uint64_t i = 0; i < uint64_t{width} * height; ++i) put32le(out, pixels[i]);
  return write_file(path, out);
}

// Writes the signature, IHDR (8-bit RGB), one IDAT of unfiltered rows from the
// top row down, and IEND.
bool write_png(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height) {
  const uint64_t raw_bytes = (uint64_t{width} * 3 + 1) * height;
  // Stored blocks add 5 bytes per 65535; one IDAT must stay below 2^31.
  if (width == 0 || height == 0 || raw_bytes > 0x7F000000u) return false;
  Bytes raw;
  raw.reserve(raw_bytes);
  for (uint32_t y = 0; y < height; ++y) {
    raw.push_back(0);  // filter: none
    const uint32_t* row = pixels + uint64_t{height - 1 - y} * width;
    for (uint32_t x = 0; x < width; ++x) {
      raw.push_back(static_cast<uint8_t>(row[x] >> 16));
      raw.push_back(static_cast<uint8_t>(row[x] >> 8));
      raw.push_back(static_cast<uint8_t>(row[x]));
    }
  }
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  Bytes header;
  put32be(header, width);
  put32be(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // depth 8, RGB, deflate, no filter, no interlace
  put_chunk(out, "IHDR", header);
  put_chunk(out, "IDAT", zlib_stored(raw));
  put_chunk(out, "IEND", {});
  return write_file(path, out);
}

// The Framebuffer as a BMP; false without a frame.
bool write_frame_bmp(const char* path) {
  if (raster.frame_pixels == nullptr) return false;
  return write_bmp(path, raster.frame_pixels, raster.frame_width, raster.frame_height);
}

// The Framebuffer as a PNG; false without a frame.
bool write_frame_png(const char* path) {
  if (raster.frame_pixels == nullptr) return false;
  return write_png(path, raster.frame_pixels, raster.frame_width, raster.frame_height);
}

}  // namespace vusk
