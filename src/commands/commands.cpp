// The editing dispatcher: turns one CommandCode into an edit, a cursor or
// view move, a selection change, or a call into the files (search,
// transfer, reloading, directory stepping), then redraws exactly what
// changed. The selection rules and the redraw live in command_end.cpp.
#include "commands/commands.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

#include "commands/command_keys.h"
#include "commands/command_work.h"
#include "commands/unsaved.h"
#include "editor/cells.h"
#include "editor/document.h"
#include "editor/modified.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/dir_step.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "platform/messages.h"
#include "raster/raster.h"
#include "widgets/input.h"
#include "widgets/label.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

CommandState cmd;
char goto_field[GOTO_FIELD_CHARS + 1];

void reset_command_state() {
  cmd = CommandState{};
  cmd.last_command = NO_COMMAND;
  std::memset(goto_field, ' ', GOTO_FIELD_CHARS);
  goto_field[GOTO_FIELD_CHARS] = 0;
}

namespace {

constexpr uint32_t BOOKMARK_F7 = 0, BOOKMARK_F8 = 1;
constexpr uint32_t SEARCH_FORWARD = 0, SEARCH_BACKWARD = 1;
constexpr int32_t PREVIOUS_FILE = -1, NEXT_FILE = 1;
constexpr int32_t CTRL_COLUMN_STEP = 5;
constexpr uint8_t TAB_SPACES[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};

int32_t visible_rows() { return static_cast<int32_t>(view.visible_rows); }
int32_t visible_cols() { return static_cast<int32_t>(view.visible_cols); }

// Insertion of k bytes at the located cursor, with the pending virtual line
// breaks and spaces written first.
void insert_located(Work& w, const uint8_t* bytes, uint32_t k) {
  insert_at_cursor(bytes, k);
  if (doc.encoding == ENCODING_UTF8 && k != 0 && std::memchr(bytes, LINE_FEED, k) == nullptr) {
    // The cursor stands after the bytes, in the cells they now form.
    w.col = static_cast<int32_t>(column_of(line_start(doc.cursor_line), doc.cursor_ptr)) - view.left_col;
  } else {
    w.col += static_cast<int32_t>(k);
  }
  sync_scroll_thumb();
}

// Whether typing writes over the content byte at the cursor: overwrite
// mode, with no padding to write first and no line end there.
bool overwrites() {
  const uint8_t at = *doc.cursor_ptr;
  return view.insert_mode == 0 && doc.pad_newlines == 0 && doc.pad_spaces == 0 && at != LINE_FEED &&
         at != END_MARKER;
}

// Overwrite mode in UTF-8: the n typed bytes replace the whole cell under
// the located cursor, so that no character is left cut; the cursor stands
// after them.
void overwrite_cell(Work& w, const uint8_t* bytes, uint32_t n) {
  const auto offset = static_cast<uint32_t>(doc.cursor_ptr - doc.text_buffer);
  replace_text(offset, cell_at(doc.cursor_ptr, doc.cursor_column).bytes, bytes, n, n);
  sync_scroll_thumb();  // a line break or a NUL may have changed the lines
  if (n == 1 && bytes[0] == LINE_FEED) {
    w.col += 1;  // as over a single byte
  } else {
    w.col = static_cast<int32_t>(column_of(line_start(doc.cursor_line), doc.text_buffer + offset + n)) - view.left_col;
  }
}

// Overwrites the content byte under the cursor in overwrite mode (in UTF-8
// mode the whole character there, while a continuation byte goes in behind
// the lead typed before it), else inserts the byte at the cursor.
void put_typed_byte(Work& w, uint8_t c) {
  w.rule = SelectionRule::TYPING;
  const uint8_t at = *doc.cursor_ptr;
  if (overwrites()) {
    if (doc.encoding == ENCODING_UTF8 && is_utf8_continuation(c)) {
      insert_located(w, &c, 1);
      return;
    }
    if (doc.encoding == ENCODING_UTF8 && cell_at(doc.cursor_ptr, doc.cursor_column).bytes > 1) {
      overwrite_cell(w, &c, 1);
      return;
    }
    if (at != c) mark_document_modified();
    record_change(static_cast<uint32_t>(doc.cursor_ptr - doc.text_buffer), 1, 1, 1);
    *doc.cursor_ptr = c;
    w.col += 1;
    // A line break or a NUL written over a content byte changes the line
    // structure: index the lines that byte touched.
    if (c == LINE_FEED || c == 0x00) {
      reindex_after_splice(static_cast<uint32_t>(doc.cursor_ptr - doc.text_buffer), 1, 1);
      sync_scroll_thumb();
    }
    return;
  }
  insert_located(w, &c, 1);
}

// A typed byte: bytes typed one after the other on a line, the cursor
// never moved between them, are undone together.
void type_byte(Work& w, uint8_t c) {
  const auto line = static_cast<uint32_t>(view.top_line + w.row);
  const auto column = static_cast<uint32_t>(view.left_col + w.col);
  continue_typing_run(line, column);
  put_typed_byte(w, c);
  // A raw line break ends the line the run was typed on.
  if (c != LINE_FEED) end_typing_run(line, static_cast<uint32_t>(view.left_col + w.col));
}

// A character of several bytes, typed as one step of the typing run: it
// goes in at the cursor, or in overwrite mode over the whole cell there, so
// that no character is left cut.
void type_sequence(Work& w, const uint8_t* bytes, uint32_t n) {
  const auto line = static_cast<uint32_t>(view.top_line + w.row);
  const auto column = static_cast<uint32_t>(view.left_col + w.col);
  continue_typing_run(line, column);
  w.rule = SelectionRule::TYPING;
  if (overwrites()) overwrite_cell(w, bytes, n);
  else insert_located(w, bytes, n);
  end_typing_run(line, static_cast<uint32_t>(view.left_col + w.col));
}

// Enter: the line splits at the cursor, which goes to column 0 of the new
// line with the view fully left.
void split_line(Work& w) {
  w.col = 0;
  view.left_col = 0;
  doc.pad_newlines += 1;
  doc.pad_spaces = 0;  // the new line starts empty, not with untyped spaces
  w.row += 1;
  insert_located(w, nullptr, 0);
}

// Backspace in the first column joins the line onto the one above.
void join_with_line_above(Work& w) {
  if (w.row == 0) {
    if (view.top_line == 0) return;
    // The line above is out of view: scroll it in, then join as on any row.
    view.top_line -= 1;
    w.row += 1;
  }
  w.row -= 1;
  locate_cursor(static_cast<uint32_t>(w.row), COLUMN_LINE_END);
  w.col = static_cast<int32_t>(doc.cursor_column);
  doc.pad_spaces = 0;
  w.full_redraw = true;
  if (doc.pad_newlines == 0) {
    delete_char_at_cursor();
    w.deleted = true;
  }
}

void backspace(Work& w) {
  if (w.col + view.left_col == 0) {
    join_with_line_above(w);
    return;
  }
  w.col -= 1;
  locate_work(w);
  // Inside a wide character or a tab, the cursor goes to its start.
  w.col = static_cast<int32_t>(doc.cursor_column) - view.left_col;
  const uint8_t at = *doc.cursor_ptr;
  if (at == LINE_FEED || at == END_MARKER || doc.pad_newlines != 0 || doc.pad_spaces != 0) return;
  delete_char_at_cursor();
  w.deleted = true;
}

// Deletes the Selection and puts the cursor where it began, on its line and
// at its column; the common end then scrolls the view to it. The location
// record is made for that place, so that a paste replacing the Selection
// lands there: Delete, Cut and the pastes all end here.
void delete_selection_to_cursor(Work& w) {
  const size_t start = static_cast<size_t>(view.sel_start - doc.text_buffer);
  const uint32_t line = delete_selected_text(view.sel_start, view.sel_end);
  uint8_t* at = doc.text_buffer + start;
  empty_selection(at);
  // A start that the deletion left in front of the line's first byte (the
  // bytes behind it opened with filler) stands at the line's start.
  const uint8_t* first = line_start(line);
  uint32_t column = at > first ? column_of(first, at) : 0;
  w.row = static_cast<int32_t>(line) - view.top_line;
  locate_cursor(static_cast<uint32_t>(w.row), column);
  column = doc.cursor_column - doc.pad_spaces;  // never beyond the line's end
  doc.pad_spaces = 0;
  w.col = static_cast<int32_t>(column) - view.left_col;
  w.full_redraw = true;  // the highlight must disappear
}

// `count` bytes at the cursor (Delete one, F5 three); beyond the line's end
// the gap is filled with spaces first, below the last line nothing happens.
void delete_bytes(Work& w, uint32_t count) {
  if (doc.pad_newlines != 0) return;
  w.row_redraw = true;
  if (doc.pad_spaces != 0) {
    // The pending spaces go in as an insertion of nothing behind them.
    insert_at_cursor(nullptr, 0);
    sync_scroll_thumb();
    // The deletions need a fresh record: the line is now n bytes longer.
    locate_work(w);
  }
  delete_bytes_at_cursor(count);
  w.deleted = true;
}

void delete_key(Work& w) {
  if (view.sel_start == view.sel_end) {
    delete_bytes(w, 1);
    return;
  }
  delete_selection_to_cursor(w);
  // The cursor's old place may lie beyond the shortened text: Shift must
  // not extend a selection from there.
  w.rule = SelectionRule::SKIP;
}

// Shift+Insert: the transfer file replaces the selection, or goes in at the
// cursor; either way the cursor stands at the start of the pasted text.
// Returns whether the common end follows: a file refused ends the command
// with the Selection kept (a repeat's step down stands, as for Ctrl+V).
bool paste_transfer(Work& w) {
  if (!read_transfer_file()) return w.repeated;
  if (view.sel_start != view.sel_end) delete_selection_to_cursor(w);
  insert_transfer_file();
  w.row_redraw = true;
  sync_scroll_thumb();
  w.rule = SelectionRule::TYPING;
  return true;
}

// Ctrl+Insert and Ctrl+C: the Selection is copied and stays; nothing
// happens when it is empty.
void copy_key(Work& w) {
  if (view.sel_start == view.sel_end) return;
  copy_selection_to_transfer_file();
  w.rule = SelectionRule::SKIP;
}

// Ctrl+X, as the Edit menu's cut: the Selection is copied, then deleted as
// Delete does. A copy that failed keeps it, since deleting would lose the
// text. Returns whether the common end follows.
bool cut_key(Work& w) {
  // With nothing cut, a repeat's step down still stands (the view may have
  // scrolled), so the common end follows then.
  if (view.sel_start == view.sel_end) {
    post_status("nothing selected!");
    return w.repeated;
  }
  if (!copy_selection_to_transfer_file()) return w.repeated;
  delete_key(w);
  return true;
}

// Insert: Ctrl copies the selection, Shift pastes, alone it switches
// between insert and overwrite mode. Returns whether the common end follows.
bool insert_key(Work& w) {
  if (w.ctrl) {
    copy_key(w);
  } else if (w.shift) {
    return paste_transfer(w);
  } else {
    view.insert_mode ^= 1;
    w.row_redraw = true;
    w.rule = SelectionRule::SKIP;
  }
  return true;
}

// Ctrl+V. Returns whether the common end follows: nothing to paste ends the
// command, but a repeat's step down stands (the view may have scrolled).
bool paste_clipboard(Work& w) {
  if (!paste_clipboard_text()) return w.repeated;
  w.row_redraw = true;
  sync_scroll_thumb();
  return true;
}

// An arrow key, as a step (dx, dy). Ctrl moves five columns sideways, and
// up or down scrolls the view one line under a cursor that keeps its line.
// In UTF-8 mode a step right of `columns` goes to the start of the cell it
// reaches, but never less than over the cell the cursor (located on entry)
// is on: a tab or a wide character is passed, not stood on again.
void step_right(Work& w, uint32_t columns) {
  uint8_t* line = line_start(doc.cursor_line);
  const CellPlace place = place_of_column(line, doc.cursor_column + columns);
  const uint32_t reached = place.column + place.pad;
  const uint32_t to = reached > doc.cursor_column ? reached : next_cell_column(line, doc.cursor_column);
  w.col = static_cast<int32_t>(to) - view.left_col;
}

void move_cursor(Work& w, int32_t dx, int32_t dy) {
  if (dx > 0 && doc.encoding == ENCODING_UTF8 && doc.pad_newlines == 0) {
    step_right(w, w.ctrl ? static_cast<uint32_t>(CTRL_COLUMN_STEP) : 1u);
  } else if (!w.ctrl) {
    w.col += dx;
    w.row += dy;
  } else if (dx != 0) {
    w.col += CTRL_COLUMN_STEP * dx;
  } else {
    view.top_line += dy;
    if (view.top_line == -1) return;
    w.row -= dy;
    if (w.row < 0) w.row = 0;
    if (w.row > visible_rows() - 1) w.row = visible_rows() - 1;
  }
}

// PageUp (-1) and PageDown (+1): a screen less one line; with Ctrl, a
// screen width sideways (one column more to the right).
void page(Work& w, int32_t direction) {
  if (!w.ctrl) {
    view.top_line += direction * (visible_rows() - 1);
  } else {
    w.col += direction < 0 ? -(visible_cols() - 1) : visible_cols() + 1;
  }
}

void go_home(Work& w) {
  if (w.ctrl) {
    view.top_line = 0;
    w.row = 0;
    w.full_redraw = true;
  }
  view.left_col = 0;
  w.col = 0;
}

void go_end(Work& w) {
  if (w.ctrl) {
    w.row = static_cast<int32_t>(doc.last_line) - view.top_line;
    w.full_redraw = true;
  }
  locate_cursor(static_cast<uint32_t>(w.row), COLUMN_LINE_END);
  w.col = static_cast<int32_t>(doc.cursor_column) - view.left_col;
}

// Ctrl+A: the whole text selected, with the cursor at its end as Ctrl+End
// puts it, where the Selection's moving end is.
void select_all(Work& w) {
  w.ctrl = true;
  go_end(w);
  locate_work(w);
  view.sel_anchor = view.sel_start = doc.text_buffer;
  view.sel_head = view.sel_end = doc.cursor_ptr;
  w.rule = SelectionRule::SKIP;
}

// The Ctrl+letters that act on the whole window or Document rather than at
// the cursor: Save, Open, the find, replace and go-to bars and Select all
// (Ctrl+H arrives as Backspace's character: only Ctrl makes it a command).
// F6 does not repeat them. Returns whether `code` was one; *common says
// whether the common end follows. Every other Ctrl+letter types its control
// byte, Ctrl+C, Ctrl+X, Ctrl+V, Ctrl+Z and Ctrl+Y aside, which the main
// dispatch handles.
bool window_command(Work& w, uint32_t code, bool* common) {
  if (!w.ctrl) return false;
  *common = false;
  switch (code) {
    case CHAR_CTRL_S: w.result = COMMAND_SAVE; return true;
    case CHAR_CTRL_O: w.result = COMMAND_OPEN; return true;
    case CHAR_CTRL_F: w.result = COMMAND_FIND; return true;
    case CHAR_CTRL_H: w.result = COMMAND_REPLACE; return true;
    case CHAR_CTRL_G: w.result = COMMAND_GO_TO; return true;
    case CHAR_CTRL_A:
      select_all(w);
      *common = true;
      return true;
    default: return false;
  }
}

// F7 / F8 set bookmark k to the cursor's line; with Ctrl the view goes to
// it, centred where the text allows.
void bookmark(Work& w, uint32_t k) {
  if (!w.ctrl) {
    cmd.bookmark_line[k] = view.cursor_abs_line;
    w.groups |= GROUP_BOTTOM | GROUP_OVERLAY;
    w.rule = SelectionRule::SKIP;
    return;
  }
  w.row = visible_rows() / 2;
  const int64_t top = static_cast<int64_t>(cmd.bookmark_line[k]) - w.row;
  if (top < 0) {
    w.row = static_cast<int32_t>(cmd.bookmark_line[k]);
    view.top_line = 0;
  } else {
    view.top_line = static_cast<int32_t>(top);
  }
}

// F6: the remembered command's modifiers and column, one line further down
// (the view scrolls once the cursor is below the middle). Returns its code.
uint32_t recall_for_repeat(Work& w) {
  w.shift = cmd.last_shift;
  w.ctrl = cmd.last_ctrl;
  w.col = cmd.last_column;
  if (w.row > visible_rows() / 2) view.top_line += 1;
  else w.row += 1;
  w.repeated = true;
  return cmd.last_command;
}

// Whether the Document may be replaced: unsaved changes are saved or given
// up first, unless the user cancels.
bool may_replace_document() { return settle_unsaved_changes(); }

// Ctrl+F2: the reload in the other mode, which then goes on as Ctrl+Home.
uint32_t reload_key(Work& w) {
  reload_in_other_mode();
  w.loaded = true;
  w.rule = SelectionRule::SKIP;  // the reload emptied the Selection
  return KEY_HOME;
}

// Puts the cursor on the text byte at `offset` (at its line's end when
// that is filler); the common end scrolls the view to it.
void place_at_offset(Work& w, uint32_t offset) {
  const uint32_t line = line_of_pointer(doc.text_buffer + offset);
  const uint32_t start = line_entry(line);
  locate_line(line, COLUMN_LINE_END);
  const uint32_t within = std::min(offset > start ? offset - start : 0, doc.cursor_line_length);
  const uint32_t column = column_of(doc.text_buffer + start, doc.text_buffer + start + within);
  w.row = static_cast<int32_t>(line) - view.top_line;
  w.col = static_cast<int32_t>(column) - view.left_col;
}

// Ctrl+Z takes back the last step, Ctrl+Y and Ctrl+Shift+Z do it again;
// the cursor goes to the change, and nothing stays selected. Returns
// whether the common end follows.
bool step_history(Work& w, bool forward) {
  uint32_t at = 0;
  if (!(forward ? redo_step(&at) : undo_step(&at))) {
    post_status(forward ? "nothing to redo!" : "nothing to undo!");
    return false;
  }
  place_at_offset(w, at);
  empty_selection(doc.text_buffer + at);
  w.entry_buffer = doc.text_buffer;  // the Selection was made for this block
  w.rule = SelectionRule::SKIP;
  w.full_redraw = true;
  sync_scroll_thumb();
  return true;
}

bool is_history_key(const Work& w, uint32_t code) {
  return w.ctrl && (code == CHAR_CTRL_Z || code == CHAR_CTRL_Y);
}

// The bookmark keys and the view moves are not remembered for F6; every
// other command is, characters and keys without a binding included.
bool is_remembered(uint32_t code) {
  for (const uint32_t k : {KEY_F7, KEY_F8, KEY_PAGE_UP, KEY_PAGE_DOWN, KEY_HOME, KEY_END}) {
    if (code == k) return false;
  }
  return true;
}

void remember_for_repeat(const Work& w, uint32_t code) {
  cmd.last_shift = w.shift;
  cmd.last_ctrl = w.ctrl;
  cmd.last_command = code;
  cmd.last_column = w.col;
}

// The main dispatch. Returns false when the command ends without the
// common end.
bool dispatch(Work& w, uint32_t code) {
  code &= COMMAND_KEY_MASK;
  // A character typed anew becomes the one F6 types again.
  if (code == CHAR_SEQUENCE) {
    std::memcpy(cmd.repeat_typed, cmd.typed, sizeof cmd.typed);
    cmd.repeat_typed_length = cmd.typed_length;
  }
  if (code == KEY_F6) {
    if (cmd.last_command == NO_COMMAND) return false;  // nothing to repeat yet
    code = recall_for_repeat(w);
  }
  // Undo and redo are not remembered for F6: a repeat would walk the history.
  if (is_history_key(w, code)) return step_history(w, code == CHAR_CTRL_Y || w.shift);
  locate_work(w);
  w.before = static_cast<size_t>(doc.cursor_ptr - doc.text_buffer);
  if (code == KEY_F2 && w.ctrl) {
    if (!may_replace_document()) return false;
    code = reload_key(w);
  }
  bool common = false;
  if (window_command(w, code, &common)) return common;
  if (is_remembered(code)) remember_for_repeat(w, code);
  switch (code) {
    case KEY_F7: bookmark(w, BOOKMARK_F7); break;
    case KEY_F8: bookmark(w, BOOKMARK_F8); break;
    case KEY_PAGE_UP: page(w, -1); break;
    case KEY_PAGE_DOWN: page(w, 1); break;
    case KEY_HOME: go_home(w); break;
    case KEY_END: go_end(w); break;
    case CHAR_CTRL_V:
      if (w.ctrl) return paste_clipboard(w);
      type_byte(w, static_cast<uint8_t>(code));
      break;
    case CHAR_CTRL_C:
      if (w.ctrl) copy_key(w);
      else type_byte(w, static_cast<uint8_t>(code));
      break;
    case CHAR_CTRL_X:
      if (w.ctrl) return cut_key(w);
      type_byte(w, static_cast<uint8_t>(code));
      break;
    case KEY_INSERT: return insert_key(w);
    case KEY_LEFT: move_cursor(w, -1, 0); break;
    case KEY_UP: move_cursor(w, 0, -1); break;
    case KEY_RIGHT: move_cursor(w, 1, 0); break;
    case KEY_DOWN: move_cursor(w, 0, 1); break;
    case KEY_F5: delete_bytes(w, 3); break;
    case KEY_DELETE: delete_key(w); break;
    case CHAR_TAB: insert_located(w, TAB_SPACES, sizeof TAB_SPACES); break;
    case CHAR_BACKSPACE:
      // The character of Ctrl+H too: with Ctrl held it is that Ctrl+letter.
      if (w.ctrl) type_byte(w, static_cast<uint8_t>(code));
      else backspace(w);
      break;
    case CHAR_ENTER: split_line(w); break;
    case CHAR_SEQUENCE: type_sequence(w, cmd.repeat_typed, cmd.repeat_typed_length); break;
    default: type_byte(w, static_cast<uint8_t>(code)); break;
  }
  return true;
}

// Ctrl+F3 / Ctrl+F4: the view goes to the top-left of the file loaded, and
// the title bar names it. The title lies under the menu bar, so the top bars
// are drawn whole, and before the full redraw, which keeps open panels on top.
bool step_to_file(Work& w, int32_t step) {
  StepResult stepped = step_directory(step, false);
  if (stepped == STEP_ASK) stepped = may_replace_document() ? step_directory(step, true) : STEP_NOTHING;
  if (stepped != STEP_LOADED) return false;
  w.loaded = true;
  w.full_redraw = true;
  view.top_line = 0;
  w.row = 0;
  view.left_col = 0;
  w.col = 0;
  w.rule = SelectionRule::SKIP;  // the load emptied the Selection
  return true;
}

// Whether the selected bytes [start, end) lie on other lines than `line`.
bool reaches_beyond(const uint8_t* start, const uint8_t* end, uint32_t line) {
  if (start == end) return false;
  return line_of_pointer(start) != line || line_of_pointer(end - 1) != line;
}

}  // namespace

// The cursor goes to line `line` at its column: on its row when the line is
// in view, else with the view centred on it.
void show_line(Work& w, int32_t line) {
  if (static_cast<uint32_t>(line - view.top_line) < view.visible_rows) {
    w.row = line - view.top_line;
    return;
  }
  w.row = visible_rows() / 2;
  view.top_line = line - w.row;
  if (view.top_line < 0) {
    view.top_line = 0;
    w.row = line;
  }
}

// F3 / F4 and Enter in the find field: the find pattern without its
// trailing spaces, searched from the cursor; the match stays selected.
bool search(Work& w, uint32_t direction, int64_t origin) {
  const auto* start = reinterpret_cast<const uint8_t*>(find_pattern);
  const uint8_t* end = field_text_end(find_pattern, FIND_PATTERN_CHARS);
  if (end == start) {
    raster.redraw_pending = 1;
    return false;
  }
  locate_work(w);
  const uint8_t* old_start = view.sel_start;
  const uint8_t* old_end = view.sel_end;
  const int32_t line = find_text(direction, end, start, origin);
  if (line < 0) {
    post_status("Search string not found");
    return false;
  }
  // Redrawing the cursor's old and new rows is enough only while neither
  // the old Selection nor the match shows on any other row.
  const auto entry_line = static_cast<uint32_t>(view.top_line + w.row);
  w.full_redraw = reaches_beyond(old_start, old_end, entry_line) ||
                  reaches_beyond(view.sel_start, view.sel_end, static_cast<uint32_t>(line));
  w.row_redraw = true;
  show_line(w, line);
  w.rule = SelectionRule::SKIP;
  return true;
}

namespace {

// F3 searches forward and F4 backward; with Ctrl they step to the previous
// and the next file. Enter in the find field searches forward.
bool search_or_step(Work& w, uint32_t code) {
  const bool f4 = code == KEY_F4;
  if (code != CHAR_ENTER && w.ctrl) return step_to_file(w, f4 ? NEXT_FILE : PREVIOUS_FILE);
  return search(w, f4 ? SEARCH_BACKWARD : SEARCH_FORWARD);
}

bool is_find_field(int32_t slot) {
  const void* field = find_pattern;
  return is_live_slot(slot) && wt.w_kind[slot_index(slot)] == WK_TEXT_INPUT &&
         wt.w_data[slot_index(slot)].ptr == field;
}

bool is_search_key(uint32_t code) {
  return code == KEY_F3 || code == KEY_F4 || (code == CHAR_ENTER && is_find_field(wt.focus_widget));
}

// Keys the key table forwards without a binding: ignored, not typed.
bool unbound_key(uint32_t code, bool ctrl) {
  for (const uint32_t k : {KEY_ALT, KEY_PAUSE, KEY_F1, KEY_F9, KEY_F10, KEY_SCROLLLOCK}) {
    if (code == k) return true;
  }
  return code == KEY_F2 && !ctrl;
}

// The working values at the start of a command.
Work begin_work(uint32_t code) {
  const bool synthetic = code >= SYNTHETIC_FLAG;
  Work w{};
  w.shift = synthetic ? (code & SYNTHETIC_SHIFT) != 0 : input.shift_down != 0;
  w.ctrl = synthetic ? (code & SYNTHETIC_CTRL) != 0 : input.ctrl_down != 0;
  w.col = view.cursor_col;
  w.row = view.cursor_row;
  w.entry_col = view.cursor_col;
  w.entry_row = view.cursor_row;
  w.entry_top = view.top_line;
  w.entry_left = view.left_col;
  w.entry_last = doc.last_line;
  w.entry_buffer = doc.text_buffer;
  w.rule = SelectionRule::MOVEMENT;
  return w;
}

// Editing keys act only while the focus is on a text row or on no widget.
bool focus_on_text(int32_t focus) { return focus <= 4 * (visible_rows() - 1); }

}  // namespace

void locate_work(const Work& w) {
  locate_cursor(static_cast<uint32_t>(w.row), static_cast<uint32_t>(w.col + view.left_col));
}

uint32_t run_typed_sequence(const uint8_t* bytes, uint32_t n) {
  if (n < 2 || n > sizeof cmd.typed) return COMMAND_DONE;
  std::memcpy(cmd.typed, bytes, n);
  cmd.typed_length = static_cast<uint8_t>(n);
  return run_command(CHAR_SEQUENCE);
}

uint32_t run_command(uint32_t code) {
  if (code == KEY_CAPSLOCK || code == KEY_NUMLOCK) return COMMAND_DONE;
  Work w = begin_work(code);
  begin_command();
  if (unbound_key(code & COMMAND_KEY_MASK, w.ctrl)) return COMMAND_DONE;
  // The bars' Enter and the replace All button: not remembered for F6.
  if (is_bar_command(code)) {
    if (run_bar_command(w, code)) common_end(w);
    return COMMAND_DONE;
  }
  if (code < SYNTHETIC_FLAG) {
    if (is_search_key(code)) {
      if (search_or_step(w, code)) common_end(w);
      return COMMAND_DONE;
    }
    if (!focus_on_text(wt.focus_widget)) return COMMAND_DONE;
  }
  if (!dispatch(w, code)) return w.result;
  rebase_selection(w);
  common_end(w);
  return w.result;
}

}  // namespace vusk
