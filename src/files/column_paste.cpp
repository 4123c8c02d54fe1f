// The column paste: the transfer file's lines go one below the other at the
// cursor's column, each text line padded with spaces up to it and missing
// lines created. The bytes are cut into pieces at every 2048-byte
// (IO_BUFFER_BYTES) boundary of the file, so a line that a boundary cuts
// goes in as two pieces, the second continuing where the first
// ended. Only the filler behind a line break (and NUL bytes that open the
// file) is skipped: a NUL that a boundary brings to a piece's start is
// content and goes in.
#include <algorithm>
#include <cstring>

#include "editor/document.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "platform/platform.h"

namespace vusk {

namespace {

constexpr uint8_t LF = 0x0A;

// Where the next piece goes: the cursor's screen row (the view scrolls
// under it), and a text column; and whether the bytes so far end at a line's
// start (the file's start, or behind a line break), where NUL is filler.
struct ColumnPlace {
  uint32_t row;
  uint32_t col;
  bool at_line_start;
};

uint32_t starting_column() { return static_cast<uint32_t>(view.left_col) + view.cursor_col; }

// Inserts one piece of `count` bytes at the place, after the spaces and line
// breaks that reach it. False, after the "error!?" box, when the Document
// cannot take it.
bool insert_piece(const ColumnPlace& at, const uint8_t* bytes, uint32_t count) {
  locate_cursor(at.row, at.col);
  if (count == 0 && doc.pad_spaces == 0 && doc.pad_newlines == 0) return true;
  if (!document_can_take(count, 0)) {
    show_message(files.transfer_path, ERROR_CAPTION);
    return false;
  }
  insert_at_cursor(bytes, count);
  return true;
}

// Pastes the pieces of one block: from each line's first byte that is not
// filler to its line break, which moves the place one line down. Filler cut
// by the block's end goes on being skipped in the next block.
bool paste_block(ColumnPlace& at, const uint8_t* p, const uint8_t* end) {
  while (p < end) {
    if (at.at_line_start) {
      while (p < end && *p == 0) ++p;
      if (p == end) break;
      at.at_line_start = false;
    }
    const auto* lf = static_cast<const uint8_t*>(std::memchr(p, LF, static_cast<size_t>(end - p)));
    const uint8_t* stop = lf != nullptr ? lf : end;
    const auto count = static_cast<uint32_t>(stop - p);
    if (!insert_piece(at, p, count)) return false;
    at.col += count;
    p = stop;
    if (lf != nullptr) {
      view.top_line += 1;
      at.col = starting_column();
      at.at_line_start = true;
      ++p;
    }
  }
  return true;
}

// The view may have scrolled past the last line (the block ended the text):
// it goes back to the last line, and the cursor moves down as far, so that
// it still stands on the line below the block.
void keep_view_on_text() {
  const auto last = static_cast<int32_t>(doc.last_line);
  if (view.top_line > last) {
    const int32_t row = view.cursor_row + view.top_line - last;
    view.cursor_row = static_cast<uint8_t>(std::min<int32_t>(row, static_cast<int32_t>(view.visible_rows) - 1));
    view.top_line = last;
  }
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
}

}  // namespace

void paste_column() {
  begin_command();  // all its lines are one step
  // The size check of the read measures the cursor's padding: the location
  // record must describe the cursor, not what the last command left there.
  locate_cursor(view.cursor_row, starting_column());
  if (!read_transfer_file() || transfer.bytes == nullptr) return;
  ColumnPlace at{view.cursor_row, starting_column(), true};
  for (uint32_t from = 0; from < transfer.count; from += IO_BUFFER_BYTES) {
    const uint32_t to = std::min(transfer.count - from, IO_BUFFER_BYTES) + from;
    if (!paste_block(at, transfer.bytes + from, transfer.bytes + to)) break;
  }
  reset_transfer_state();
  keep_view_on_text();
  // The Selection's pointers may no longer fit the text that moved.
  locate_cursor(view.cursor_row, starting_column());
  empty_selection(doc.cursor_ptr);
  sync_scroll_thumb();
  redraw_text_view();
}

}  // namespace vusk
