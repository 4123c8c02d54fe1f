// The state line: the fields scripts and tests compare, each read from the
// subsystem that owns it, with slots named by panel instead of by number.
#include "app/state_dump.h"

#include <sstream>

#include "commands/commands.h"
#include "editor/document.h"
#include "screens/panel_ids.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

// An offset into the text block, or -1 for a null pointer.
std::string offset_of(const uint8_t* p) {
  if (p == nullptr) return "-1";
  return std::to_string(static_cast<long long>(p - doc.text_buffer));
}

// A panel id's name, or "panel<id>" for an id the directory does not name.
std::string panel_label(uint32_t panel) {
  const char* name = panel_name(panel);
  return name != nullptr ? name : "panel" + std::to_string(panel);
}

bool is_text_row(int32_t index) { return wt.w_kind[index] == WK_TEXT_ROW; }

// How many text rows stand in the table before slot index `end`.
int32_t text_rows_before(int32_t end) {
  int32_t rows = 0;
  for (int32_t i = 0; i < end; ++i) rows += is_text_row(i) ? 1 : 0;
  return rows;
}

}  // namespace

std::string slot_name(int32_t slot) {
  if (slot == NO_SLOT) return "none";
  if (!is_live_slot(slot) || slot % 4 != 0) return "outside:" + std::to_string(slot);
  const int32_t index = slot_index(slot);
  if (is_text_row(index)) return "row:" + std::to_string(text_rows_before(index));
  const uint8_t panel = wt.w_panel[index];
  return panel_label(panel) + ":" + std::to_string(slot_index(slot - panel_slot(panel, 0)));
}

std::string open_panels() {
  std::string out;
  int32_t previous = -1;  // the panel of the slot before, -1 after a text row
  for (int32_t i = 0; i < slot_index(wt.widget_end); ++i) {
    if (is_text_row(i)) {
      previous = -1;
    } else if (wt.w_panel[i] != previous) {
      previous = wt.w_panel[i];
      if (!out.empty()) out += ',';
      out += panel_label(wt.w_panel[i]);
    }
  }
  return out.empty() ? "none" : out;
}

std::string dump_state() {
  std::ostringstream s;
  s << "file_path=" << files.file_path << " file_name=" << files.file_name << " file_mode=" << int(files.file_mode)
    << " text_length=" << doc.text_length << " last_line=" << doc.last_line << " top_line=" << view.top_line
    << " left_col=" << view.left_col << " cursor_row=" << int(view.cursor_row) << " cursor_col=" << view.cursor_col
    << " sel_start=" << offset_of(view.sel_start) << " sel_end=" << offset_of(view.sel_end)
    << " insert_mode=" << int(view.insert_mode) << " focus=" << slot_name(wt.focus_widget)
    << " rows=" << text_rows_before(slot_index(wt.widget_end)) << " panels=" << open_panels()
    << " encoding=" << (doc.encoding == ENCODING_UTF8 ? "utf-8" : "shift_jis");
  return s.str();
}

std::string_view document_text() {
  return {reinterpret_cast<const char*>(doc.text_buffer), doc.text_length};
}

}  // namespace vusk
