// A plain model of the text that the editing commands change: the lines
// joined by '\n', with no filler, end marker or LineTable. Each command is
// applied at the cursor's absolute line and column, virtual space included,
// by the rules users see, so that a run of real commands can be compared
// with it, in byte columns or (utf8) in UTF-8 cells. Included only by tests.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

#include "commands/command_keys.h"
#include "platform/messages.h"
#include "raster/unicode_width.h"

namespace vusk::test {

// CommandCodes of the commands that change the text.
constexpr uint32_t CODE_INSERT = KEY_INSERT, CODE_DELETE = KEY_DELETE, CODE_F5 = KEY_F5, CODE_F6 = KEY_F6;

class EditModel {
 public:
  std::string text;
  std::string clipboard;  // the system clipboard's text, as the platform gives it
  std::string transfer;   // what the last copy wrote, without filler
  bool has_transfer = false;
  bool utf8 = false;  // columns count cells

  // What a text file's bytes load as: CR LF, a lone CR and a lone LF each
  // end a line; 0x00 bytes that open a line are filler.
  static std::string loaded(const std::string& bytes) {
    std::string out;
    for (size_t i = 0; i < bytes.size(); ++i) {
      if (bytes[i] != '\r') {
        out += bytes[i];
        continue;
      }
      out += '\n';
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    }
    return without_filler(out);
  }

  // The bytes a text save writes.
  std::string saved() const {
    std::string out;
    for (const char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
  }

  // Commands that change the text (and copies), by their CommandCode; every
  // other code leaves it alone. `sel_from` and `sel_to` are the Selection's
  // offsets in `text`.
  void apply(uint32_t code, bool ctrl, bool shift, uint32_t line, uint32_t column, bool insert_mode,
             size_t sel_from, size_t sel_to) {
    if (code == CHAR_CTRL_V && ctrl) {
      insert_some(line, column, clipboard_form());  // a selection stays
    } else if (code == CODE_INSERT && ctrl) {
      if (sel_from == sel_to) return;
      transfer = text.substr(sel_from, sel_to - sel_from);
      has_transfer = true;
      clipboard = copied_text(transfer);  // a copy goes to the system clipboard too
    } else if (code == CODE_INSERT) {
      if (shift) paste_transfer(line, column, sel_from, sel_to);  // alone it switches the mode
    } else if (code == CODE_DELETE && sel_from != sel_to) {
      text.erase(sel_from, sel_to - sel_from);
    } else if (code == CODE_DELETE || code == CODE_F5) {
      delete_run(line, column, code == CODE_F5 ? 3 : 1);
    } else if (code == CHAR_TAB) {
      insert(line, column, std::string(8, ' '));
    } else if (code == CHAR_BACKSPACE) {
      backspace(line, column);
    } else if (code == CHAR_ENTER) {
      enter(line, column);
    } else if (code < KEY_CODE_OFFSET) {
      type(line, column, static_cast<char>(code), insert_mode);
    }
    text = without_filler(text);
  }

 private:
  uint32_t last_line() const { return static_cast<uint32_t>(std::count(text.begin(), text.end(), '\n')); }
  size_t begin_of(uint32_t line) const {
    size_t at = 0;
    for (uint32_t k = 0; k < line; ++k) at = text.find('\n', at) + 1;
    return at;
  }
  uint32_t length_of(uint32_t line) const {
    const size_t at = begin_of(line);
    const size_t end = text.find('\n', at);
    return static_cast<uint32_t>((end == std::string::npos ? text.size() : end) - at);
  }

  // A well-formed sequence at `at`: its length, or 0 (a stray byte).
  size_t sequence_at(size_t at, uint32_t* cp) const {
    const auto b = static_cast<uint8_t>(text[at]);
    const size_t n = b >= 0xF0 && b < 0xF5 ? 4 : b >= 0xE0 ? (b < 0xF0 ? 3 : 0) : b >= 0xC2 ? 2 : 0;
    if (n == 0 || at + n > text.size()) return 0;
    *cp = b & (0x7F >> n);
    for (size_t i = 1; i < n; ++i) {
      const auto c = static_cast<uint8_t>(text[at + i]);
      if ((c & 0xC0) != 0x80) return 0;
      *cp = *cp << 6 | (c & 0x3F);
    }
    return n;
  }
  // The bytes and columns of the UTF-8 cell at `at` (not a line end), at `column`.
  std::pair<size_t, uint32_t> cell(size_t at, uint32_t column) const {
    uint32_t cp = 0;
    const size_t n = static_cast<uint8_t>(text[at]) < 0x80 ? 1 : sequence_at(at, &cp);
    uint32_t width = text[at] == '\t' ? 8 - column % 8 : n > 1 ? std::max(unicode_cell_width(cp), 1u) : 1;
    size_t bytes = std::max<size_t>(n, 1);
    for (size_t k; at + bytes < text.size() && (k = sequence_at(at + bytes, &cp)) != 0 && unicode_cell_width(cp) == 0;) {
      bytes += k;
    }
    return {bytes, width};
  }
  // Where `column` of `line` stands (an existing line): the offset of its
  // cell's start, or of the line's end with *pad columns beyond it.
  size_t spot(uint32_t line, uint32_t column, uint32_t* pad) const {
    size_t at = begin_of(line);
    const size_t end = at + length_of(line);
    if (!utf8) {
      *pad = column > end - at ? column - static_cast<uint32_t>(end - at) : 0;
      return at + std::min<size_t>(column, end - at);
    }
    uint32_t col = 0;
    for (; at < end; ) {
      const auto [bytes, width] = cell(at, col);
      if (col + width > column) break;
      at += bytes;
      col += width;
    }
    *pad = at == end ? column - std::min(column, col) : 0;
    return at;
  }
  size_t cell_bytes(size_t at) const { return utf8 && text[at] != '\n' ? cell(at, 0).first : 1; }

  // What a copy of `bytes` puts on the system clipboard: CR LF line ends,
  // no 0x00 bytes.
  static std::string copied_text(const std::string& bytes) {
    std::string out;
    for (const char c : bytes) {
      if (c == '\n') out += '\r';
      if (c != 0) out += c;
    }
    return out;
  }

  // 0x00 bytes directly behind a line break are filler, not text.
  static std::string without_filler(const std::string& s) {
    std::string kept;
    for (const char c : s) {
      if (c != 0 || kept.empty() || kept.back() != '\n') kept += c;
    }
    return kept;
  }

  // Makes the virtual space up to (line, column) real and returns its offset.
  size_t reach(uint32_t line, uint32_t column) {
    if (line > last_line()) text.append(line - last_line(), '\n');
    uint32_t pad = 0;
    const size_t at = spot(line, column, &pad);
    text.insert(at, pad, ' ');
    return at + pad;
  }
  void insert(uint32_t line, uint32_t column, const std::string& bytes) { text.insert(reach(line, column), bytes); }

  // An insertion that brings nothing reaches no virtual space either.
  void insert_some(uint32_t line, uint32_t column, const std::string& bytes) {
    if (!bytes.empty()) insert(line, column, bytes);
  }

  // Clipboard text goes in as a loaded file's text: every kind of line end
  // ends a line.
  std::string clipboard_form() const { return loaded(clipboard); }

  // Shift+Insert: the transfer file replaces the selection, which goes even
  // when nothing was ever copied.
  void paste_transfer(uint32_t line, uint32_t column, size_t sel_from, size_t sel_to) {
    if (sel_from == sel_to) {
      if (has_transfer) insert_some(line, column, transfer);
      return;
    }
    text.erase(sel_from, sel_to - sel_from);
    if (has_transfer) text.insert(sel_from, transfer);
  }

  // Overwriting replaces a whole cell; in UTF-8 a continuation byte goes in
  // behind the lead typed before it.
  void type(uint32_t line, uint32_t column, char c, bool insert_mode) {
    uint32_t pad = 1;
    const size_t at = line <= last_line() ? spot(line, column, &pad) : 0;
    const bool continuation = utf8 && (static_cast<uint8_t>(c) & 0xC0) == 0x80;
    if (!insert_mode && pad == 0 && at < text.size() && text[at] != '\n' && !continuation) {
      text.replace(at, cell_bytes(at), 1, c);
    } else {
      insert(line, column, std::string(1, c));
    }
  }

  // Enter: the line splits at the cursor (no spaces carried over); below the
  // text, the missing lines and one more are added.
  void enter(uint32_t line, uint32_t column) {
    if (line > last_line()) text.append(line - last_line() + 1, '\n');
    else text.insert(spot(line, column, &column), 1, '\n');
  }

  // Delete and F5: at a line's end the next line joins on; at the text's end
  // nothing goes. Below the text nothing happens at all.
  void delete_run(uint32_t line, uint32_t column, int count) {
    if (line > last_line()) return;
    const size_t at = reach(line, column);
    for (int i = 0; i < count && at < text.size(); ++i) text.erase(at, cell_bytes(at));
  }

  // In the first column the line joins the one above it (none on line 0);
  // elsewhere the byte before the cursor goes, if the line reaches it.
  void backspace(uint32_t line, uint32_t column) {
    if (column == 0) {
      if (line != 0 && line <= last_line()) text.erase(begin_of(line) - 1, 1);
      return;
    }
    uint32_t pad = 0;
    const size_t at = line <= last_line() ? spot(line, column - 1, &pad) : 0;
    if (line <= last_line() && pad == 0 && at < begin_of(line) + length_of(line)) text.erase(at, cell_bytes(at));
  }
};

}  // namespace vusk::test
