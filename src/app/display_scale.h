// The whole factor by which a backend shows the frame enlarged on a dense
// display, and the arithmetic of a frame shown at that factor. The core
// always works in frame pixels: a backend multiplies what it presents and
// divides the pointer positions and client sizes it reports. App layer:
// included by the backends and the tests.
#pragma once
#include <cstdint>

namespace vusk {

// The largest factor accepted.
constexpr uint32_t MAX_DISPLAY_SCALE = 8;
// The display density that one factor step stands for: 96 DPI shows the
// frame 1:1.
constexpr float DPI_PER_SCALE_STEP = 96.0f;

// The factor for a display of `dpi` dots per inch: 1 up to about 180, 2 from
// about 184 (nominally 192), and so on, at most MAX_DISPLAY_SCALE; 1 for an
// unknown (zero, negative or not-a-number) density.
uint32_t scale_for_dpi(float dpi);

// Reads a factor given by the user (the VUSK_SCALE environment variable): a
// whole number from 1 to MAX_DISPLAY_SCALE, digits only. False, leaving
// `scale` alone, for anything else (an empty or null text included).
bool parse_scale(const char* text, uint32_t* scale);

// The largest factor, at most `scale` and at least 1, at which a window of
// `width` x `height` frame pixels still fits `room_width` x `room_height`
// display pixels. A room of 0 x 0 (unknown) keeps `scale`.
uint32_t fit_scale(uint32_t scale, uint32_t width, uint32_t height, int32_t room_width, int32_t room_height);

// One side of a frame shown at `scale` in `room` display pixels: `side`, or
// less if its enlargement would not fit, but never below `least`. A room of
// 0 or less (unknown) keeps `side`.
uint32_t fit_frame_side(uint32_t side, uint32_t least, uint32_t scale, int32_t room);

// A display pixel's coordinate as a frame coordinate: divided by `scale`,
// rounded down, so that the pixels left of or above the window (negative,
// while the mouse is captured) stay negative.
int32_t to_frame_coordinate(int32_t display, uint32_t scale);

}  // namespace vusk
