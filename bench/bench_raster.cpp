// Full-frame redraw at 1024x768: every text row filled, then 44 rows of 113
// glyphs, as a window of text is redrawn.
#include <benchmark/benchmark.h>

#include <vector>

#include "raster/raster.h"
#include "app/startup.h"

using namespace vusk;

namespace {

constexpr uint32_t ROWS = 44;
constexpr uint32_t COLUMNS = 113;
constexpr uint32_t FIRST_ROW_Y = 36;

// Redraws the frame's text area from `codes`, one glyph per cell.
void redraw_text(const std::vector<uint8_t>& codes) {
  for (uint32_t row = 0; row < ROWS; ++row) fill_rect(13, 16, 1024, FIRST_ROW_Y + 16 * row, 0);
  const uint8_t* code = codes.data();
  for (uint32_t row = 0; row < ROWS; ++row) {
    for (uint32_t col = 0; col < COLUMNS; ++col) draw_glyph(*code++, 7, FIRST_ROW_Y + 16 * row + 1, 9 * col);
  }
  reset_dirty_rect();
}

// Times frames drawn from `frames` screens of text taken in turn.
void run_frames(benchmark::State& state, const std::vector<std::vector<uint8_t>>& frames) {
  reset_all_state();
  raster.frame_width = 1024;
  raster.frame_height = 768;
  alloc_framebuffer();
  size_t next = 0;
  for (auto _ : state) {
    redraw_text(frames[next]);
    next = (next + 1) % frames.size();
    benchmark::DoNotOptimize(raster.frame_pixels);
    benchmark::ClobberMemory();
  }
  state.counters["frames_per_second"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  reset_all_state();
}

// The same screen every frame: printable characters in a varied pattern.
void BM_FullFrameTextRedraw(benchmark::State& state) {
  std::vector<uint8_t> codes;
  for (uint32_t row = 0; row < ROWS; ++row) {
    for (uint32_t col = 0; col < COLUMNS; ++col) codes.push_back(static_cast<uint8_t>(0x21 + (row * 7 + col * 13) % 94));
  }
  run_frames(state, {codes});
}
BENCHMARK(BM_FullFrameTextRedraw)->Unit(benchmark::kMicrosecond);

// A different screen of pseudo-random printable characters every frame, so
// that no glyph sequence repeats within reach of the branch predictor.
void BM_FullFrameRandomTextRedraw(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> frames(64);
  uint32_t seed = 12345;
  for (auto& codes : frames) {
    for (uint32_t i = 0; i < ROWS * COLUMNS; ++i) {
      seed = seed * 1103515245u + 12345u;
      codes.push_back(static_cast<uint8_t>(0x20 + (seed >> 16) % 95));
    }
  }
  run_frames(state, frames);
}
BENCHMARK(BM_FullFrameRandomTextRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
