// Draws Vusk's 48x48 application icon with the program's own raster code and
// built-in font, and writes it as a PNG: a small editor window with a title
// strip, a few rows of text in the default colours and a selected row.
//   make_icon OUT.png
#include <cstdio>

#include "backends/headless/frame_writer.h"
#include "raster/raster.h"

using namespace vusk;

namespace {

constexpr uint32_t SIDE = 48;
// Palette indices, as the default colour scheme and the title bar use them.
constexpr uint32_t BLACK = 0, GREY = 2, BRICK = 7, GREEN = 9, NEAR_BLACK = 13;

// Text rows of short, ragged lines, then one row shown selected.
void draw_text_rows() {
  const uint32_t lengths[] = {30, 22, 34, 16};
  uint32_t y = 21;
  for (const uint32_t length : lengths) {
    fill_rect(BRICK, 2, length, y, 6);
    y += 5;
  }
  fill_rect(BRICK, 5, 36, y - 1, 5);
  fill_rect(NEAR_BLACK, 2, 26, y, 6);
}

void draw_icon() {
  fill_rect(NEAR_BLACK, SIDE, SIDE, 0, 0);
  fill_rect(BLACK, 16, SIDE, 0, 0);
  draw_string("Vu", GREEN, 2, 4);
  fill_rect(GREY, 8, 6, 4, SIDE - 10);  // the scroll thumb's place
  draw_text_rows();
  draw_bevel(0, SIDE, SIDE, 0, 0);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT.png\n");
    return 2;
  }
  raster.frame_width = SIDE;
  raster.frame_height = SIDE;
  alloc_framebuffer();
  draw_icon();
  if (!write_frame_png(argv[1])) {
    std::fprintf(stderr, "make_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
