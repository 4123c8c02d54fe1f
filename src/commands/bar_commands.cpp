// The commands of the replace bar and the go-to bar: Enter in the replace
// field (replace the selected match, select the next), Shift+Enter in either
// of its fields or its "replace All" button (every match at once), and Enter
// in the go-to field (a line number, or a byte offset in a hex listing).
// None is remembered for F6, as searching is not.
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "commands/command_keys.h"
#include "commands/commands.h"
#include "commands/command_work.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/replace.h"
#include "files/search.h"
#include "raster/raster.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"

namespace vusk {

namespace {

constexpr uint32_t SEARCH_FORWARD = 0;
constexpr uint64_t NUMBER_CEILING = uint64_t{1} << 40;  // past any line or offset of the Document
constexpr uint32_t HEX_BYTES_PER_LINE = 16;
constexpr uint32_t HEX_GROUP_BYTES = 4;
constexpr uint32_t HEX_CELL_COLUMNS = 3;

// The replacement: the replace field's bytes, its trailing spaces not
// counted.
size_t replacement_length() {
  return static_cast<size_t>(field_text_end(replace_pattern, FIND_PATTERN_CHARS) -
                             reinterpret_cast<const uint8_t*>(replace_pattern));
}
const uint8_t* replacement() { return reinterpret_cast<const uint8_t*>(replace_pattern); }

// Empties the Selection at the text's offset `at`, valid in the block the
// text now lives in, and has the whole view drawn again.
void settle_after_change(Work& w, uint32_t at) {
  empty_selection(doc.text_buffer + at);
  w.entry_buffer = doc.text_buffer;
  w.full_redraw = true;
  w.rule = SelectionRule::SKIP;
  sync_scroll_thumb();
}

// Enter in the replace field: a selected match is replaced, then the next
// match is searched from behind the replacement; without one selected, the
// next match is only searched.
bool replace_next(Work& w) {
  const SearchPattern pattern = find_field_pattern();
  if (pattern.n == 0 || !selection_is_match(pattern)) return search(w, SEARCH_FORWARD);
  uint32_t after = 0;
  if (!replace_selection(replacement(), replacement_length(), &after)) {
    post_status("too large to replace!");
    return false;
  }
  settle_after_change(w, after);
  search(w, SEARCH_FORWARD, after);
  w.full_redraw = true;  // the text changed, whether or not another match follows
  return true;
}

// Shift+Enter and "replace All": every match replaced; the view stays and
// the Selection is emptied.
bool replace_everywhere(Work& w) {
  const SearchPattern pattern = find_field_pattern();
  const int64_t replaced = pattern.n == 0 ? 0 : replace_all_matches(pattern, replacement(), replacement_length());
  if (replaced <= 0) {
    post_status(replaced == 0 ? "Search string not found" : "too large to replace!");
    return false;
  }
  std::snprintf(cmd.replaced_message, sizeof cmd.replaced_message, "%lld replaced.", static_cast<long long>(replaced));
  post_status(cmd.replaced_message);
  // Fewer lines may now end above the view's top.
  if (static_cast<uint32_t>(view.top_line) > doc.last_line) view.top_line = static_cast<int32_t>(doc.last_line);
  locate_work(w);
  settle_after_change(w, static_cast<uint32_t>(doc.cursor_ptr - doc.text_buffer));
  return true;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The value of hex digit c, either case; -1 for any other character.
int hex_digit_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The go-to field's number, between its padding spaces: decimal, or (when
// `hex_allowed`) hex after 0x. Values beyond NUMBER_CEILING read as it.
// False when the field holds anything else, or nothing.
bool read_goto_number(bool hex_allowed, uint64_t* value) {
  const char* p = goto_field;
  const char* end = reinterpret_cast<const char*>(field_text_end(goto_field, GOTO_FIELD_CHARS));
  while (p < end && *p == ' ') ++p;
  uint64_t base = 10;
  if (hex_allowed && end - p > 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) {
    base = 16;
    p += 2;
  }
  if (p == end) return false;
  uint64_t v = 0;
  for (; p < end; ++p) {
    const int digit = base == 16 ? hex_digit_value(*p) : (is_digit(*p) ? *p - '0' : -1);
    if (digit < 0) return false;
    v = v * base + static_cast<uint64_t>(digit);
    if (v > NUMBER_CEILING) v = NUMBER_CEILING;
  }
  *value = v;
  return true;
}

// The bytes a listing line describes, counted as its cells stand: two hex
// digits at each cell's column, before any ';'.
uint32_t listed_bytes(uint32_t line) {
  locate_line(line, COLUMN_LINE_END);
  const uint8_t* text = line_start(line);
  const uint32_t length = doc.cursor_line_length;
  uint32_t n = 0;
  for (; n < HEX_BYTES_PER_LINE; ++n) {
    const uint32_t column = HEX_CELL_COLUMNS * n + n / HEX_GROUP_BYTES;
    if (column + 1 >= length || hex_digit_value(static_cast<char>(text[column])) < 0 ||
        hex_digit_value(static_cast<char>(text[column + 1])) < 0) {
      break;
    }
  }
  return n;
}

// The offset of a listing's last byte: the last line that lists bytes, all
// the lines between it and the header full. 0 when it lists none.
uint64_t last_listed_offset() {
  for (uint32_t line = doc.last_line; line >= 1; --line) {
    const uint32_t n = listed_bytes(line);
    if (n != 0) return uint64_t{line - 1} * HEX_BYTES_PER_LINE + n - 1;
  }
  return 0;
}

// Puts the cursor on (line, column), the line shown as a search hit is.
void go_to_place(Work& w, uint32_t line, uint32_t column) {
  view.left_col = 0;
  w.col = static_cast<int32_t>(column);
  show_line(w, static_cast<int32_t>(line));
  locate_work(w);
  settle_after_change(w, static_cast<uint32_t>(doc.cursor_ptr - doc.text_buffer));
}

// Enter in the go-to field: a line counted from 1 in a text, the first hex
// digit of a byte in a hex listing; past the end, the last line or byte.
bool go_to(Work& w) {
  const bool listing = files.file_mode == FILE_MODE_HEX;
  uint64_t value = 0;
  if (!read_goto_number(listing, &value) || (!listing && value == 0)) {
    post_status(listing ? "not a byte offset!" : "not a line number!");
    return false;
  }
  if (!listing) {
    go_to_place(w, static_cast<uint32_t>(std::min<uint64_t>(value - 1, doc.last_line)), 0);
    return true;
  }
  const uint64_t offset = std::min(value, last_listed_offset());
  const auto in_line = static_cast<uint32_t>(offset % HEX_BYTES_PER_LINE);
  const uint64_t line = std::min<uint64_t>(1 + offset / HEX_BYTES_PER_LINE, doc.last_line);
  go_to_place(w, static_cast<uint32_t>(line), HEX_CELL_COLUMNS * in_line + in_line / HEX_GROUP_BYTES);
  return true;
}

}  // namespace

bool is_bar_command(uint32_t code) {
  return code == CODE_REPLACE_ALL || code == CODE_REPLACE_NEXT || code == CODE_GO_TO;
}

bool run_bar_command(Work& w, uint32_t code) {
  if (code == CODE_REPLACE_ALL) return replace_everywhere(w);
  if (code == CODE_GO_TO) return go_to(w);
  return replace_next(w);
}

}  // namespace vusk
