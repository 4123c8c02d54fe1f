// Whole-factor enlargement of the frame for dense displays.
#include "app/display_scale.h"

namespace vusk {

uint32_t scale_for_dpi(float dpi) {
  // Written so that NaN fails the test too.
  if (!(dpi > 0.0f)) return 1;
  // A little slack: displays sold as 192 DPI often measure slightly less.
  const float steps = (dpi + DPI_PER_SCALE_STEP / 12.0f) / DPI_PER_SCALE_STEP;
  if (steps >= static_cast<float>(MAX_DISPLAY_SCALE)) return MAX_DISPLAY_SCALE;
  if (steps < 1.0f) return 1;
  return static_cast<uint32_t>(steps);
}

bool parse_scale(const char* text, uint32_t* scale) {
  if (text == nullptr || *text == 0) return false;
  uint32_t value = 0;
  for (const char* p = text; *p != 0; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<uint32_t>(*p - '0');
    if (value > MAX_DISPLAY_SCALE) return false;
  }
  if (value == 0) return false;
  *scale = value;
  return true;
}

uint32_t fit_scale(uint32_t scale, uint32_t width, uint32_t height, int32_t room_width, int32_t room_height) {
  if (room_width <= 0 || room_height <= 0) return scale;
  while (scale > 1 && (static_cast<int64_t>(width) * scale > room_width ||
                       static_cast<int64_t>(height) * scale > room_height)) {
    --scale;
  }
  return scale < 1 ? 1 : scale;
}

uint32_t fit_frame_side(uint32_t side, uint32_t least, uint32_t scale, int32_t room) {
  if (room <= 0) return side;
  const uint32_t most = static_cast<uint32_t>(room) / (scale < 1 ? 1 : scale);
  const uint32_t fitted = side < most ? side : most;
  return fitted < least ? least : fitted;
}

int32_t to_frame_coordinate(int32_t display, uint32_t scale) {
  const auto s = static_cast<int32_t>(scale < 1 ? 1 : scale);
  return display >= 0 ? display / s : -((-display + s - 1) / s);
}

}  // namespace vusk
