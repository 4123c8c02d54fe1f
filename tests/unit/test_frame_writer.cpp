// BMP and PNG files of the Framebuffer, read back byte by byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "backends/headless/frame_writer.h"
#include "raster/raster.h"
#include "app/startup.h"

using namespace vusk;

namespace {

using Bytes = std::vector<uint8_t>;

// Writes the frame with `writer` to a temporary file and returns its bytes.
Bytes written(bool (*writer)(const char*)) {
  const std::string path = (std::filesystem::temp_directory_path() / "vusk_frame_writer_test").string();
  EXPECT_TRUE(writer(path.c_str()));
  std::ifstream in(path, std::ios::binary);
  Bytes bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  std::remove(path.c_str());
  return bytes;
}

uint32_t le32(const Bytes& b, size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24; }
uint32_t be32(const Bytes& b, size_t at) { return uint32_t{b[at]} << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]; }

// A bitwise CRC-32, independent of the writer's table.
uint32_t crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

// A frame whose every pixel differs from its neighbours.
void open_pattern_frame(uint16_t w, uint16_t h) {
  reset_all_state();
  raster.frame_width = w;
  raster.frame_height = h;
  alloc_framebuffer();
  for (uint32_t i = 0; i < uint32_t{w} * h; ++i) raster.frame_pixels[i] = (i * 2654435761u) & 0xFFFFFF;
}

}  // namespace

TEST(FrameWriter, BmpIsTheBottomUpFrameBehindItsHeaders) {
  open_pattern_frame(5, 3);
  const Bytes b = written(write_frame_bmp);
  ASSERT_EQ(b.size(), 54u + 5 * 3 * 4);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 2), "BM");
  EXPECT_EQ((std::vector<uint32_t>{le32(b, 2), le32(b, 10), le32(b, 18), le32(b, 22), b[28]}),
            (std::vector<uint32_t>{114, 54, 5, 3, 32}));  // size, pixel offset, width, height > 0, bits
  for (uint32_t i = 0; i < 15; ++i) EXPECT_EQ(le32(b, 54 + 4 * i), raster.frame_pixels[i]);
  reset_all_state();
  EXPECT_FALSE(write_frame_bmp("unused"));  // no frame
}

TEST(FrameWriter, PngHoldsTheFrameTopDownInValidChunks) {
  open_pattern_frame(200, 120);  // needs two stored deflate blocks
  const Bytes b = written(write_frame_png);
  ASSERT_GT(b.size(), 8u);
  EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
  Bytes zlib;
  std::string types;
  for (size_t at = 8; at + 12 <= b.size();) {
    const uint32_t length = be32(b, at);
    ASSERT_LE(at + 12 + length, b.size());
    const std::string type(b.begin() + at + 4, b.begin() + at + 8);
    types += type + " ";
    EXPECT_EQ(be32(b, at + 8 + length), crc32(&b[at + 4], length + 4)) << type;
    if (type == "IHDR") {  // 200 x 120, 8-bit RGB
      EXPECT_EQ(Bytes(b.begin() + at + 8, b.begin() + at + 18), (Bytes{0, 0, 0, 200, 0, 0, 0, 120, 8, 2}));
    }
    if (type == "IDAT") zlib.insert(zlib.end(), b.begin() + at + 8, b.begin() + at + 8 + length);
    at += 12 + length;
  }
  EXPECT_EQ(types, "IHDR IDAT IEND ");
  // Unpack the stored blocks and check the Adler-32 trailer.
  ASSERT_GE(zlib.size(), 6u);
  EXPECT_EQ((zlib[0] << 8 | zlib[1]) % 31, 0);
  Bytes raw;
  size_t at = 2;
  int blocks = 0;
  for (bool last = false; !last; ++blocks) {
    ASSERT_LE(at + 5, zlib.size());
    last = zlib[at] & 1;
    EXPECT_EQ(zlib[at] & 6, 0);  // stored
    const uint32_t n = zlib[at + 1] | zlib[at + 2] << 8;
    EXPECT_EQ(n ^ (zlib[at + 3] | zlib[at + 4] << 8), 0xFFFFu);
    raw.insert(raw.end(), zlib.begin() + at + 5, zlib.begin() + at + 5 + n);
    at += 5 + n;
  }
  EXPECT_EQ(blocks, 2);
  uint32_t s1 = 1, s2 = 0;
  for (uint8_t v : raw) s2 = (s2 + (s1 = (s1 + v) % 65521)) % 65521;
  EXPECT_EQ(be32(zlib, at), s2 << 16 | s1);
  ASSERT_EQ(raw.size(), 120u * 601);
  for (uint32_t y = 0; y < 120; ++y) {
    const uint8_t* row = &raw[y * 601];
    ASSERT_EQ(row[0], 0);  // no filter
    for (uint32_t x = 0; x < 200; ++x) {
      ASSERT_EQ(uint32_t{row[1 + 3 * x]} << 16 | row[2 + 3 * x] << 8 | row[3 + 3 * x], *pixel_address(y, x));
    }
  }
  reset_all_state();
}
