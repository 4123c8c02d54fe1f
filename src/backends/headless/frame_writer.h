// Image files of the Framebuffer, for tests and for looking at what was drawn:
// a 32-bit BMP (the frame already is a bottom-up DIB) or an uncompressed PNG.
// Uses only the standard library. Headless backend: vusk-script, the tools
// and the tests include it; the program itself does not need it.
#pragma once
#include <cstdint>

namespace vusk {

// Writes width x height bottom-up 0x00RRGGBB pixels as a 32-bit BMP file;
// false when the file cannot be written.
bool write_bmp(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height);
// Writes width x height bottom-up 0x00RRGGBB pixels as an 8-bit RGB PNG file
// (stored deflate blocks); false when the file cannot be written or the image
// is too large for one PNG data chunk.
bool write_png(const char* path, const uint32_t* pixels, uint32_t width, uint32_t height);

// Writes the current Framebuffer as a BMP file; false also when there is none.
bool write_frame_bmp(const char* path);
// Writes the current Framebuffer as a PNG file; false also when there is none.
bool write_frame_png(const char* path);

}  // namespace vusk
