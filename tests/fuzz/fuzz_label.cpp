// The label interpreter on arbitrary labels, and the title label on
// arbitrary names, each drawn in a widget that lies inside a frame of a
// chosen size: a read past the label's 256 bytes or a write past the frame
// is caught by AddressSanitizer (the label lies in a block of exactly that
// size).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/posix/posix_support.h"
#include "files/load_save.h"
#include "fuzz_support.h"
#include "raster/raster.h"
#include "screens/title.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

using namespace vusk;
using namespace vusk::fuzz;

namespace {

// A started editor, once: its frame is then resized for each input.
void start_once() {
  static bool started = false;
  if (started) return;
  started = true;
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  start_up_steps();
}

// Draws the widgets that show the title label.
void draw_title() {
  for (int32_t i = 0; i < slot_index(wt.widget_end); ++i) {
    if (wt.w_label[i] == title.label) draw_widget(4 * i);
  }
}

// Places slot 0 inside the frame at a chosen place and size.
void place_widget(InputChoices& in) {
  const uint32_t fw = raster.frame_width, fh = raster.frame_height;
  const uint32_t w = 1 + in.below(fw), h = 1 + in.below(fh);
  wt.w_x[0] = static_cast<uint16_t>(in.below(fw - w + 1));
  wt.w_y[0] = static_cast<uint16_t>(in.below(fh - h + 1));
  wt.w_width[0] = static_cast<uint16_t>(w);
  wt.w_height[0] = static_cast<uint16_t>(h);
  wt.w_value[0] = static_cast<uint16_t>(in.below(65536));
  wt.w_param[0] = static_cast<uint8_t>(in.below(256));
  wt.w_kind[0] = static_cast<uint8_t>(in.below(8));
  wt.w_flags[0] = static_cast<uint8_t>(in.below(256));
  wt.w_colour[0] = static_cast<uint8_t>(in.below(256));
  wt.w_data[0].ptr = nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  start_once();
  InputChoices in(data, size);
  // A new frame only when the size changes: a resize redraws everything.
  const auto width = static_cast<int32_t>(1 + in.below(1400)), height = static_cast<int32_t>(1 + in.below(1000));
  if (width != headless::state.client_width || height != headless::state.client_height) {
    headless::resize_client(width, height);
  }
  // A name for the title, cut where a path buffer ends.
  const std::string name = in.bytes(in.below(PATH_BYTES));
  std::memset(files.file_path, 0, PATH_BYTES);
  std::memcpy(files.file_path, name.data(), name.size());
  take_file_name();
  refresh_title_label();
  draw_title();
  // Then any label in the first slot, which is given back afterwards.
  const WidgetTableState saved = wt;
  place_widget(in);
  const std::unique_ptr<uint8_t[]> label(new uint8_t[LABEL_MAX_BYTES]());
  const std::string code = in.bytes(LABEL_MAX_BYTES);
  std::memcpy(label.get(), code.data(), code.size());
  wt.w_label[0] = label.get();
  draw_widget(0);
  paint_widget(0);
  wt = saved;
  return 0;
}
