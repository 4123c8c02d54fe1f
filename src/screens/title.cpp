#include "screens/title.h"

#include <cstring>

#include "editor/modified.h"
#include "editor/text_view.h"
#include "platform/platform.h"
#include "raster/raster.h"
#include "raster/unicode_width.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk {

TitleState title;
// The interpreter reads a label up to LABEL_MAX_BYTES: the whole title label,
// and nothing past it.
static_assert(sizeof title.label == LABEL_MAX_BYTES);

namespace {

constexpr char WINDOW_TITLE_END[] = " - Vusk";
constexpr char MODIFIED_MARK = '*';
static_assert(sizeof title.window_title >= PATH_BYTES + 1 + sizeof WINDOW_TITLE_END);

}  // namespace

void reset_title_state() {
  title = TitleState{};
  refresh_title_label();
}

bool refresh_title_label() {
  uint8_t before[sizeof title.label];
  std::memcpy(before, title.label, sizeof before);
  size_t shown = std::strlen(files.file_name);  // terminated within its buffer
  // Before a window exists the frame has no width to cut the name to.
  if (raster.frame_width != 0) {
    const uint32_t fit = raster.frame_width / 9u - 14u;  // unsigned: a tiny frame never cuts
    if (fit < shown) shown = fit;
  }
  // A UTF-8 name is cut between characters (its bytes are never fewer than
  // its cells, so what fits in bytes fits on screen).
  if (file_names_are_utf8()) {
    while (shown > 0 && is_utf8_continuation(static_cast<uint8_t>(files.file_name[shown]))) --shown;
  }
  // The bytes that mean something inside label text show as spaces: 0xFF
  // would end the text early and run the rest of the name as label code,
  // 0xFE would take the next byte as a step down the frame.
  lc::extend_text_label(title.label, title_template, files.file_name, shown);
  return std::memcmp(before, title.label, sizeof before) != 0;
}

// The bare name, then the modified mark, then " - Vusk", so that the taskbar
// tells one document from another and shows which needs saving.
void refresh_window_title() {
  char wanted[sizeof title.window_title];
  size_t length = std::strlen(files.file_name);
  std::memcpy(wanted, files.file_name, length);
  if (document_modified()) wanted[length++] = MODIFIED_MARK;
  std::memcpy(wanted + length, WINDOW_TITLE_END, sizeof WINDOW_TITLE_END);
  if (std::strcmp(wanted, title.window_title) == 0) return;
  std::memcpy(title.window_title, wanted, length + sizeof WINDOW_TITLE_END);
  set_window_title(title.window_title);
}

void refresh_titles() {
  if (refresh_title_label()) {
    for (int32_t s = view.text_rows_end; s < view.top_bars_end; s += 4) draw_widget(s);
  }
  refresh_window_title();
}

}  // namespace vusk
