// The column paste: the transfer file's lines go one below the other at the
// cursor's column, each text line padded with spaces up to it and missing
// lines created. The bytes are cut into pieces at every 2048-byte
// (IO_BUFFER_BYTES) boundary of the file, so a line that a boundary cuts
// goes in as two pieces, the second continuing where the first
// ended. Only the filler behind a line break (and NUL bytes that open the
// file) is skipped: a NUL that a boundary brings to a piece's start is
// content and goes in.
//
// The pasted lines are not inserted one by one, which would move the rest
// of the text once per line: the new text of every line the paste touches
// is built in one pass and replaces the old in one change, so the paste and
// its undo cost what the ordinary paste costs. The bytes are those the
// insertions one by one would leave, down to the filler: a piece that fits
// in the filler behind its line's break uses that filler up, as an
// insertion in place does.
#include <algorithm>
#include <cstring>

#include "editor/cells.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "platform/platform.h"

namespace vusk {

namespace {

constexpr uint8_t LF = 0x0A;

// The new text of the lines the paste touches, from the place of its first
// change on. Built twice from the same pieces: once with no `out`, to
// measure it, then into `out`. Offsets are in the text as it stands (the
// Document changes only when the whole is built).
struct ColumnSplice {
  uint8_t* out;         // null while measuring
  uint64_t size;        // bytes built so far
  uint64_t end_at;      // where the last pasted byte ends, in the new text
  bool begun;           // whether anything changes
  uint32_t start;       // the first changed offset
  uint32_t copied_to;   // the old text before it is in the new one, or replaced
  uint32_t first_line;  // the cursor's text line
  uint64_t first_col;   // the cursor's text column
  uint32_t line;        // the line the next piece goes onto, and its column
  uint64_t col;
  uint32_t last_line;    // grows as lines are created
  uint32_t created;      // line breaks added below the text
  bool at_line_start;    // the transfer bytes so far end at a line's start
  bool line_open;        // something went onto this line already
  uint32_t line_feed;    // the open text line's 0x0A (an existing line, not the last)
  uint32_t filler_left;  // filler behind it that pieces may still use up
  uint32_t filler_used;
};

uint64_t starting_column() { return static_cast<uint64_t>(view.left_col) + view.cursor_col; }

void emit(ColumnSplice& s, const uint8_t* bytes, uint64_t n) {
  if (s.out != nullptr && n != 0) std::memcpy(s.out + s.size, bytes, static_cast<size_t>(n));
  s.size += n;
}

void emit_run(ColumnSplice& s, uint8_t byte, uint64_t n) {
  if (s.out != nullptr && n != 0) std::memset(s.out + s.size, byte, static_cast<size_t>(n));
  s.size += n;
}

// The new text reaches `offset` of the old: what lies between the last
// change and it is taken over unchanged. The first call fixes the start.
void reach(ColumnSplice& s, uint32_t offset) {
  if (!s.begun) {
    s.begun = true;
    s.start = s.copied_to = offset;
  }
  emit(s, doc.text_buffer + s.copied_to, offset - s.copied_to);
  s.copied_to = offset;
}

// Offset of the terminator of text line k: its 0x0A (the last non-filler
// byte before the next line), or the end marker.
uint32_t terminator_of(uint32_t k) {
  uint32_t at = line_entry(k + 1) - 1;
  if (k < doc.last_line) {
    while (doc.text_buffer[at] == 0) --at;
  }
  return at;
}

// `n` bytes went onto an existing line: they use up its filler if they fit
// in what is left of it.
void use_filler(ColumnSplice& s, uint64_t n) {
  if (n == 0 || n > s.filler_left) return;
  s.filler_left -= static_cast<uint32_t>(n);
  s.filler_used += static_cast<uint32_t>(n);
}

// The first piece on a line of the text: the spaces up to the column, then
// the bytes; nothing at all when both are none.
void open_text_line(ColumnSplice& s, const uint8_t* bytes, uint32_t count) {
  const uint32_t start = line_entry(s.line);
  const uint32_t terminator = terminator_of(s.line);
  uint64_t reached = std::min<uint64_t>(s.col, terminator - start);
  uint64_t spaces = s.col - reached;
  if (doc.encoding == ENCODING_UTF8) {
    // The column counts cells; inside a wide character or a tab the piece
    // goes in at its start.
    const CellPlace place = place_of_column(doc.text_buffer + start, static_cast<uint32_t>(s.col));
    reached = static_cast<uint64_t>(place.at - (doc.text_buffer + start));
    spaces = place.pad;
  }
  if (spaces + count == 0) return;
  reach(s, start + static_cast<uint32_t>(reached));
  s.line_open = true;
  s.line_feed = terminator;
  s.filler_left = s.line < doc.last_line ? line_entry(s.line + 1) - terminator - 1 : 0;
  s.filler_used = 0;
  emit_run(s, ' ', spaces);
  emit(s, bytes, count);
  use_filler(s, spaces + count);
  s.end_at = s.size;
}

// The first piece below the text: the missing line breaks, the spaces up
// to the column, then the bytes, behind the text's last line.
void open_new_line(ColumnSplice& s, const uint8_t* bytes, uint32_t count) {
  reach(s, line_entry(doc.last_line + 1) - 1);
  const uint32_t breaks = s.line - s.last_line;
  emit_run(s, LF, breaks);
  emit_run(s, ' ', s.col);
  emit(s, bytes, count);
  s.created += breaks;
  s.last_line = s.line;
  s.line_open = true;
  s.filler_left = s.filler_used = 0;
  s.end_at = s.size;
}

// One piece goes onto the current line at the current column; a further
// piece of a line goes right behind the one before.
void add_piece(ColumnSplice& s, const uint8_t* bytes, uint32_t count) {
  if (s.line > s.last_line) {
    open_new_line(s, bytes, count);
  } else if (!s.line_open) {
    open_text_line(s, bytes, count);
  } else if (count != 0) {
    emit(s, bytes, count);
    use_filler(s, count);
    s.end_at = s.size;
  }
  s.col += count;
}

// The line is done: its break is taken over, without the filler used up.
void close_line(ColumnSplice& s) {
  if (s.line_open && s.filler_used != 0) {
    reach(s, s.line_feed + 1);
    s.copied_to += s.filler_used;
  }
  s.line_open = false;
}

// The pieces of one block: from each line's first byte that is not filler
// to its line break, which moves on to the next line. Filler cut by the
// block's end goes on being skipped in the next block.
void add_block(ColumnSplice& s, const uint8_t* p, const uint8_t* end) {
  while (p < end) {
    if (s.at_line_start) {
      while (p < end && *p == 0) ++p;
      if (p == end) break;
      s.at_line_start = false;
    }
    const auto* lf = static_cast<const uint8_t*>(std::memchr(p, LF, static_cast<size_t>(end - p)));
    const uint8_t* stop = lf != nullptr ? lf : end;
    add_piece(s, p, static_cast<uint32_t>(stop - p));
    p = stop;
    if (lf != nullptr) {
      close_line(s);
      s.line += 1;
      s.col = s.first_col;
      s.at_line_start = true;
      ++p;
    }
  }
}

// Builds (or, with `out` null, measures) the new text for the transfer
// bytes held.
ColumnSplice build_splice(uint8_t* out) {
  ColumnSplice s{};
  s.out = out;
  s.first_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
  s.first_col = starting_column();
  s.line = s.first_line;
  s.col = s.first_col;
  s.last_line = doc.last_line;
  s.at_line_start = true;
  for (uint32_t from = 0; from < transfer.count; from += IO_BUFFER_BYTES) {
    const uint32_t to = std::min(transfer.count - from, IO_BUFFER_BYTES) + from;
    add_block(s, transfer.bytes + from, transfer.bytes + to);
  }
  close_line(s);
  return s;
}

// Whether the Document can take the new text in place of the old.
bool fits(const ColumnSplice& s) {
  const uint64_t removed = s.copied_to - s.start;
  // The growth counts every padding; the location record's is not added.
  doc.pad_spaces = doc.pad_newlines = 0;
  return s.size >= removed && document_can_take(s.size - removed, s.created);
}

// Replaces the old text of the lines touched by the new, as one change, and
// scrolls the view; nothing changes, after the "error!?" box, when the
// Document cannot take it.
void splice_columns() {
  const ColumnSplice measured = build_splice(nullptr);
  if (!measured.begun) {  // nothing to insert, not even padding
    view.top_line += static_cast<int32_t>(measured.line - measured.first_line);
    return;
  }
  void* block = fits(measured) ? obtain_file_block(static_cast<size_t>(measured.size)) : nullptr;
  if (block == nullptr) {
    show_message(files.transfer_path, ERROR_CAPTION);
    return;
  }
  const ColumnSplice built = build_splice(static_cast<uint8_t*>(block));
  replace_text(built.start, built.copied_to - built.start, built.out, static_cast<uint32_t>(built.size),
               static_cast<uint32_t>(built.end_at));
  free_block(block);
  // The view scrolls one line per line break, under the cursor's row.
  view.top_line += static_cast<int32_t>(built.line - built.first_line);
}

}  // namespace

// The view scrolled one line per line break: it may stand past the end.
void keep_view_on_text() {
  const auto last = static_cast<int32_t>(doc.last_line);
  if (view.top_line > last) {
    const int32_t row = view.cursor_row + view.top_line - last;
    view.cursor_row = static_cast<uint8_t>(std::min<int32_t>(row, static_cast<int32_t>(view.visible_rows) - 1));
    view.top_line = last;
  }
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
}

void paste_column() {
  begin_command();  // all its lines are one step
  // The size check of the read measures the cursor's padding: the location
  // record must describe the cursor, not what the last command left there.
  locate_cursor(view.cursor_row, static_cast<uint32_t>(starting_column()));
  if (!read_transfer_file() || transfer.bytes == nullptr) return;
  splice_columns();
  reset_transfer_state();
  keep_view_on_text();
  // The Selection's pointers may no longer fit the text that moved.
  locate_cursor(view.cursor_row, static_cast<uint32_t>(starting_column()));
  empty_selection(doc.cursor_ptr);
  sync_scroll_thumb();
  redraw_text_view();
}

}  // namespace vusk
