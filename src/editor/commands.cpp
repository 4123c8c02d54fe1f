// The editing dispatcher: turns one CommandCode into an edit, a cursor or
// view move, a selection change, or a call into search, transfer, reloading
// and directory stepping, then redraws exactly what changed.
#include "editor/commands.h"

#include <cstring>
#include <initializer_list>

#include "editor/document.h"
#include "editor/text_view.h"
#include "files/dir_step.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "raster/raster.h"
#include "app/window.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/widget_table.h"

namespace vusk {

CommandState cmd;

void reset_command_state() {
  cmd = CommandState{};
  cmd.insert_mode = 1;
}

namespace {

// CommandCodes of the keys that have meanings here (0x100 + virtual key).
constexpr uint32_t CODE_ALT = 0x112, CODE_PAUSE = 0x113, CODE_CAPSLOCK = 0x114;
constexpr uint32_t CODE_PAGE_UP = 0x121, CODE_PAGE_DOWN = 0x122, CODE_END = 0x123, CODE_HOME = 0x124;
constexpr uint32_t CODE_LEFT = 0x125, CODE_DOWN = 0x128;
constexpr uint32_t CODE_INSERT = 0x12D, CODE_DELETE = 0x12E;
constexpr uint32_t CODE_F1 = 0x170, CODE_F2 = 0x171, CODE_F3 = 0x172, CODE_F4 = 0x173, CODE_F5 = 0x174;
constexpr uint32_t CODE_F6 = 0x175, CODE_F7 = 0x176, CODE_F8 = 0x177, CODE_F9 = 0x178, CODE_F10 = 0x179;
constexpr uint32_t CODE_NUMLOCK = 0x190, CODE_SCROLLLOCK = 0x191;
constexpr uint32_t CHAR_PASTE_CLIPBOARD = 0x16, CHAR_TAB = 0x09, CHAR_BACKSPACE = 0x08, CHAR_ENTER = 0x0D;

enum class SelectionRule { MOVEMENT, TYPING, SKIP };

enum RedrawGroup : uint8_t { GROUP_BOTTOM = 1, GROUP_OVERLAY = 2 };

// The working values of one command.
struct Work {
  bool shift, ctrl;
  int32_t col, row;
  uint16_t entry_col;
  uint8_t entry_row;
  int32_t entry_top, entry_left;
  uint32_t entry_last;
  bool full_redraw;
  bool row_redraw;  // the cursor row must be redrawn even if the cursor stays
  bool deleted;     // bytes were deleted at the cursor (the end marker may have moved back)
  uint8_t groups;
  SelectionRule rule;
  size_t before;        // cursor offset when the command began
  bool loaded;          // a load replaced the Document
  uint8_t* entry_buffer;
};

void draw_range(int32_t from, int32_t to) {
  for (int32_t s = from; s < to; s += 4) draw_widget(s);
}

// Insertion of k bytes at the located cursor, with the pending virtual line
// breaks and spaces written first.
void insert_located(Work& w, const uint8_t* bytes, uint32_t k) {
  insert_at_cursor(bytes, k);
  w.col += static_cast<int32_t>(k);
  sync_scroll_thumb();
}

void type_byte(Work& w, uint8_t c) {
  w.rule = SelectionRule::TYPING;
  const uint8_t at = *doc.cursor_ptr;
  if (cmd.insert_mode == 0 && doc.pad_newlines == 0 && doc.pad_spaces == 0 && at != 0x0A && at != 0x0D) {
    *doc.cursor_ptr = c;
    w.col += 1;
    // A line break or a NUL written over a content byte changes the line
    // structure: index it as an insertion would.
    if (c == 0x0A) doc.last_line += 1;
    if (c == 0x0A || c == 0x00) {
      rebuild_line_table(static_cast<int32_t>(doc.cursor_line));
      sync_scroll_thumb();
    }
    return;
  }
  insert_located(w, &c, 1);
}

void backspace(Work& w) {
  if (w.col + view.left_col == 0) {
    if (w.row == 0) {
      if (view.top_line == 0) return;
      // The line above is out of view: scroll it in, then join as on any row.
      view.top_line -= 1;
      w.row += 1;
    }
    w.row -= 1;
    locate_cursor(static_cast<uint32_t>(w.row), COLUMN_LINE_END);
    w.col = static_cast<int32_t>(doc.cursor_line_length);
    doc.pad_spaces = 0;
    w.full_redraw = true;
    if (doc.pad_newlines == 0) {
      delete_char_at_cursor();
      w.deleted = true;
    }
    return;
  }
  w.col -= 1;
  locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
  const uint8_t at = *doc.cursor_ptr;
  if (at == 0x0A || at == 0x0D || doc.pad_newlines != 0 || doc.pad_spaces != 0) return;
  delete_char_at_cursor();
  w.deleted = true;
}

// Deletes the Selection and puts the cursor where it began, on its line and
// at its column; the common end then scrolls the view to it. The location
// record is made for that place, so that a paste replacing the Selection
// lands there: Delete, Cut and the pastes all end here.
void delete_selection_to_cursor(Work& w) {
  const size_t start = static_cast<size_t>(view.sel_start - doc.text_buffer);
  const uint32_t line = delete_selected_text();
  uint8_t* at = doc.text_buffer + start;
  empty_selection(at);
  // A start that the deletion left in front of the line's first byte (the
  // bytes behind it opened with filler) stands at the line's start.
  const uint8_t* first = line_start(line);
  uint32_t column = at > first ? static_cast<uint32_t>(at - first) : 0;
  w.row = static_cast<int32_t>(line) - view.top_line;
  locate_cursor(static_cast<uint32_t>(w.row), column);
  column -= doc.pad_spaces;  // never beyond the line's end
  doc.pad_spaces = 0;
  w.col = static_cast<int32_t>(column) - view.left_col;
  w.full_redraw = true;  // the highlight must disappear
}

// Delete (one byte, or the selection) and F5 (three bytes).
void delete_at_cursor(Work& w, uint32_t code) {
  if (code == CODE_DELETE && view.sel_start != view.sel_end) {
    delete_selection_to_cursor(w);
    // The cursor's old place may lie beyond the shortened text: Shift must
    // not extend a selection from there.
    w.rule = SelectionRule::SKIP;
    return;
  }
  if (doc.pad_newlines != 0) return;
  w.row_redraw = true;
  if (doc.pad_spaces != 0) {
    const uint32_t n = doc.pad_spaces;
    const int32_t r = make_room(n);
    std::memset(doc.cursor_ptr, ' ', n);
    rebuild_line_table(r);
    sync_scroll_thumb();
    // The deletions need a fresh record: the line is now n bytes longer.
    locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
  }
  delete_bytes_at_cursor(code == CODE_DELETE ? 1 : 3);
  w.deleted = true;
}

// Shift+Insert: the transfer file replaces the selection, or goes in at the
// cursor; either way the cursor stands at the start of the pasted text.
void paste_transfer(Work& w) {
  if (view.sel_start != view.sel_end) delete_selection_to_cursor(w);
  insert_transfer_file();
  w.row_redraw = true;
  sync_scroll_thumb();
}

// F3/F4 and Enter in the find field search; Ctrl+F3/F4 step through the
// directory. Returns false when the command ends here without the common end.
bool search_or_step(Work& w, uint32_t code) {
  if (code != CHAR_ENTER && w.ctrl) {
    const int32_t step = 2 * static_cast<int32_t>(code & 1) - 1;
    if (!step_directory(step)) return false;
    w.loaded = true;
    w.full_redraw = true;
    view.top_line = 0;
    w.row = 0;
    view.left_col = 0;
    w.col = 0;
    w.rule = SelectionRule::SKIP;  // the load emptied the Selection
    return true;
  }
  const auto* start = reinterpret_cast<const uint8_t*>(find_pattern);
  const uint8_t* end = start + FIND_PATTERN_CHARS;
  while (end > start && end[-1] == ' ') --end;
  if (end == start) {
    raster.redraw_pending = 1;
    return false;
  }
  locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
  const uint32_t direction = code == CHAR_ENTER ? 0 : (code & 1);
  const int32_t line = find_text(direction, end, start);
  if (line < 0) {
    post_status("Search string not found");
    return false;
  }
  w.row_redraw = true;
  if (static_cast<uint32_t>(line - view.top_line) < view.visible_rows) {
    w.row = line - view.top_line;
  } else {
    w.row = static_cast<int32_t>(view.visible_rows / 2);
    view.top_line = line - w.row;
    if (view.top_line < 0) {
      view.top_line = 0;
      w.row = line;
    }
  }
  w.rule = SelectionRule::SKIP;  // the match stays selected
  return true;
}

bool is_find_field(int32_t slot) {
  return is_live_slot(slot) && wt.w_kind[slot_index(slot)] == WK_TEXT_INPUT &&
         wt.w_data[slot_index(slot)].ptr == static_cast<void*>(find_pattern);
}

bool unbound_key(uint32_t code, bool ctrl) {
  switch (code) {
    case CODE_ALT: case CODE_PAUSE: case CODE_F1: case CODE_F9: case CODE_F10: case CODE_SCROLLLOCK:
      return true;
    case CODE_F2:
      return !ctrl;
    default:
      return false;
  }
}

// The main dispatch. Returns false when the command ends without the
// common end.
bool dispatch(Work& w, uint32_t code) {
  bool repeated = false;  // F6 has already moved the cursor one line down
  for (;;) {
    code &= COMMAND_KEY_MASK;
    locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
    w.before = static_cast<size_t>(doc.cursor_ptr - doc.text_buffer);

    if (code == CODE_F7 || code == CODE_F8) {
      const uint32_t k = code - CODE_F7;
      if (!w.ctrl) {
        cmd.bookmark_line[k] = view.cursor_abs_line;
        w.groups |= GROUP_BOTTOM | GROUP_OVERLAY;
        w.rule = SelectionRule::SKIP;
        return true;
      }
      w.row = static_cast<int32_t>(view.visible_rows / 2);
      const int64_t top = static_cast<int64_t>(cmd.bookmark_line[k]) - w.row;
      if (top < 0) {
        w.row = static_cast<int32_t>(cmd.bookmark_line[k]);
        view.top_line = 0;
      } else {
        view.top_line = static_cast<int32_t>(top);
      }
      return true;
    }
    if (code == CODE_F2 && w.ctrl) {
      reload_in_other_mode();
      w.loaded = true;
      w.rule = SelectionRule::SKIP;  // the reload emptied the Selection
      code = CODE_HOME;              // then as Ctrl+Home
    }
    if (code == CODE_PAGE_UP || code == CODE_PAGE_DOWN) {
      const int32_t d = code == CODE_PAGE_UP ? -1 : 1;
      if (!w.ctrl) {
        view.top_line += d * (static_cast<int32_t>(view.visible_rows) - 1);
      } else {
        w.col += d < 0 ? -(static_cast<int32_t>(view.visible_cols) - 1) : static_cast<int32_t>(view.visible_cols) + 1;
      }
      return true;
    }
    if (code == CODE_HOME) {
      if (w.ctrl) {
        view.top_line = 0;
        w.row = 0;
        w.full_redraw = true;
      }
      view.left_col = 0;
      w.col = 0;
      return true;
    }
    if (code == CODE_END) {
      if (w.ctrl) {
        w.row = static_cast<int32_t>(doc.last_line) - view.top_line;
        w.full_redraw = true;
      }
      locate_cursor(static_cast<uint32_t>(w.row), COLUMN_LINE_END);
      w.col = static_cast<int32_t>(doc.cursor_line_length) - view.left_col;
      return true;
    }
    if (code == CODE_F6) {
      w.shift = cmd.last_shift;
      w.ctrl = cmd.last_ctrl;
      code = cmd.last_command;
      w.col = cmd.last_column;
      if (w.row > static_cast<int32_t>(view.visible_rows / 2)) view.top_line += 1;
      else w.row += 1;
      repeated = true;
      continue;  // the remembered command runs as if it had just arrived
    }
    break;
  }

  // Every command from here on is remembered for F6.
  cmd.last_shift = w.shift;
  cmd.last_ctrl = w.ctrl;
  cmd.last_command = code;
  cmd.last_column = w.col;

  if (code == CHAR_PASTE_CLIPBOARD && w.ctrl) {
    // Nothing to paste ends the command, but a repeat's step down stands
    // and needs the common end (the view may have scrolled).
    if (!paste_clipboard_text()) return repeated;
    w.row_redraw = true;
    sync_scroll_thumb();
    return true;
  }
  if (code == CODE_INSERT) {
    if (w.ctrl) {
      if (view.sel_start != view.sel_end) {
        copy_selection_to_transfer_file();
        w.rule = SelectionRule::SKIP;
      }
    } else if (w.shift) {
      paste_transfer(w);
      w.rule = SelectionRule::TYPING;
    } else {
      cmd.insert_mode ^= 1;
      w.row_redraw = true;
      w.rule = SelectionRule::SKIP;
    }
    return true;
  }
  if (code >= CODE_LEFT && code <= CODE_DOWN) {
    const int32_t dx = code == CODE_LEFT ? -1 : code == CODE_LEFT + 2 ? 1 : 0;
    const int32_t dy = code == CODE_LEFT + 1 ? -1 : code == CODE_DOWN ? 1 : 0;
    if (!w.ctrl) {
      w.col += dx;
      w.row += dy;
    } else if (dx != 0) {
      w.col += 5 * dx;
    } else {
      view.top_line += dy;
      if (view.top_line != -1) {
        w.row -= dy;
        if (w.row < 0) w.row = 0;
        if (w.row > static_cast<int32_t>(view.visible_rows) - 1) w.row = static_cast<int32_t>(view.visible_rows) - 1;
      }
    }
    return true;
  }
  if (code == CODE_F5 || code == CODE_DELETE) {
    delete_at_cursor(w, code);
    return true;
  }
  if (code == CHAR_TAB) {
    static constexpr uint8_t spaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    insert_located(w, spaces, 8);
    return true;
  }
  if (code == CHAR_BACKSPACE) {
    backspace(w);
    return true;
  }
  if (code == CHAR_ENTER) {
    w.col = 0;
    view.left_col = 0;
    doc.pad_newlines += 1;
    doc.pad_spaces = 0;  // the new line starts empty, not with untyped spaces
    w.row += 1;
    insert_located(w, nullptr, 0);
    return true;
  }
  type_byte(w, static_cast<uint8_t>(code & 0xFF));
  return true;
}

// When an insertion moved the text block, the Selection pointers follow it
// to the same offsets, so that none points into the released block.
void rebase_selection(Work& w) {
  if (w.loaded || doc.text_buffer == w.entry_buffer) return;
  const auto old_base = reinterpret_cast<uintptr_t>(w.entry_buffer);
  for (uint8_t** p : {&view.sel_anchor, &view.sel_head, &view.sel_start, &view.sel_end}) {
    if (*p == nullptr) continue;
    uintptr_t offset = reinterpret_cast<uintptr_t>(*p) - old_base;
    if (offset > doc.text_length) offset = doc.text_length;
    *p = doc.text_buffer + offset;
  }
}

// A deletion on the last line moves its end marker back, so an anchor set
// before it may now lie on a dead byte: the selection would take in the
// marker. Such an anchor goes back to the marker.
void keep_before_end_marker(uint8_t** anchor) {
  uint8_t* line = line_start(doc.last_line);
  auto* marker = static_cast<uint8_t*>(std::memchr(line, 0x0D, static_cast<size_t>(doc.text_buffer + doc.text_length - line)));
  if (marker != nullptr && *anchor > marker) *anchor = marker;
}

void order_selection() {
  view.sel_start = view.sel_anchor;
  view.sel_end = view.sel_head;
  if (view.sel_start >= view.sel_end) {
    view.sel_start = view.sel_head;
    view.sel_end = view.sel_anchor;
  }
}

void collapse_selection(Work& w) {
  view.sel_head = view.sel_anchor;
  if (view.sel_start == view.sel_end) return;
  w.full_redraw = true;
  order_selection();
}

// Brings a screen coordinate back into 0..count-1 by moving the view's
// origin along the same axis.
void clamp_into_view(int32_t& position, int32_t& origin, uint32_t count) {
  const auto n = static_cast<int32_t>(count);
  if (position < 0) {
    origin += position;
    position = 0;
  }
  if (position >= n) {
    origin += position - n + 1;
    position = n - 1;
  }
}

void common_end(Work& w) {
  clamp_into_view(w.col, view.left_col, view.visible_cols);
  clamp_into_view(w.row, view.top_line, view.visible_rows);
  if (view.left_col < 0) view.left_col = 0;
  if (view.top_line < 0) view.top_line = 0;
  if (static_cast<uint32_t>(view.top_line) > doc.last_line) view.top_line = static_cast<int32_t>(doc.last_line);

  switch (w.rule) {
    case SelectionRule::MOVEMENT:
      if (w.shift) {
        locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
        if (view.sel_anchor == view.sel_head) view.sel_anchor = doc.text_buffer + w.before;
        view.sel_head = doc.cursor_ptr;
        if (w.deleted) keep_before_end_marker(&view.sel_anchor);
        order_selection();
      } else if (view.sel_anchor == view.sel_head) {
        // A match the search selected (it leaves anchor and head alone)
        // goes here; it may reach rows the redraw below would not touch.
        if (view.sel_start != view.sel_end) w.full_redraw = true;
        order_selection();
      } else {
        collapse_selection(w);
      }
      break;
    case SelectionRule::TYPING:
      collapse_selection(w);
      break;
    case SelectionRule::SKIP:
      break;
  }

  view.cursor_col = static_cast<uint16_t>(w.col);
  view.cursor_row = static_cast<uint8_t>(w.row);
  view.cursor_abs_line = static_cast<uint32_t>(view.top_line + w.row);

  if (doc.last_line != w.entry_last || view.left_col != w.entry_left || view.top_line != w.entry_top ||
      w.full_redraw) {
    sync_scroll_thumb();
    redraw_text_view();
    return;
  }
  // A deletion can turn a NUL that now opens a line into filler, which moves
  // that line's start: the rows are drawn from fresh pointers.
  if (w.deleted) fill_row_pointers();
  if (w.row != w.entry_row) {
    draw_widget(4 * w.entry_row);
    draw_widget(4 * w.row);
    w.groups |= GROUP_BOTTOM | GROUP_OVERLAY;
  } else if (w.col != w.entry_col || w.row_redraw) {
    draw_widget(4 * w.row);
    w.groups |= GROUP_OVERLAY;
  }
  if (w.groups & GROUP_BOTTOM) draw_range(view.top_bars_end, view.thumb_end);
  if (w.groups & GROUP_OVERLAY) draw_range(view.thumb_end, wt.widget_end);
}

}  // namespace

void run_command(uint32_t code) {
  if (code == CODE_CAPSLOCK || code == CODE_NUMLOCK) return;
  const bool synthetic = code >= SYNTHETIC_FLAG;
  Work w{};
  w.shift = synthetic ? (code & SYNTHETIC_SHIFT) != 0 : input.shift_down != 0;
  w.ctrl = synthetic ? (code & SYNTHETIC_CTRL) != 0 : input.ctrl_down != 0;
  // Keys the key table forwards without a binding are ignored, not typed.
  if (unbound_key(code & COMMAND_KEY_MASK, w.ctrl)) return;
  w.col = view.cursor_col;
  w.row = view.cursor_row;
  w.entry_col = view.cursor_col;
  w.entry_row = view.cursor_row;
  w.entry_top = view.top_line;
  w.entry_left = view.left_col;
  w.entry_last = doc.last_line;
  w.entry_buffer = doc.text_buffer;
  w.rule = SelectionRule::MOVEMENT;

  if (!synthetic) {
    const bool find_enter = code == CHAR_ENTER && is_find_field(wt.focus_widget);
    if (code == CODE_F3 || code == CODE_F4 || find_enter) {
      if (search_or_step(w, code)) common_end(w);
      return;
    }
    if (wt.focus_widget > 4 * (static_cast<int32_t>(view.visible_rows) - 1)) return;
  }
  if (!dispatch(w, code)) return;
  rebase_selection(w);
  common_end(w);
}

}  // namespace vusk
