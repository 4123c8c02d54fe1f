// Placeholder until the window procedure lands.
#include "shell/window.h"

#include <cstring>

#include "raster/raster.h"
#include "shell/platform.h"

namespace vusk {

WindowState win;

void reset_window_state() {
  free_block(win.jis_font_block);
  std::memset(&win, 0, sizeof win);
}

void create_window(uint32_t, uint32_t height, uint32_t width, const char*) {
  raster.frame_width = static_cast<uint16_t>(width);
  raster.frame_height = static_cast<uint16_t>(height);
}
intptr_t window_procedure(uintptr_t, uint32_t, uintptr_t, intptr_t) { return 0; }
void present_now() {}
void update_status_line() {}
void post_status(const char* text) {
  win.status_text = text;
  win.status_state = 1;
  raster.redraw_pending = 1;
}

}  // namespace vusk
