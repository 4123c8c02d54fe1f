// Long random sequences of editing keys, characters (control bytes too),
// copies and pastes (the transfer file and the clipboard), presses and drags
// on the rows, wheel turns and resizes, on loaded texts with 0x00 inside
// lines and at their starts and every kind of line end; some sessions open
// with F6; UTF-8 sessions edit texts of tabs, accented, wide and combining
// characters, typed whole or byte by byte. After each step the
// Document and the view and Selection invariants are checked, and the text
// is compared with a plain model of it; now and then a text save is too.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>


#include "edit_model.h"
#include "editor/cells.h"
#include "editor/modified.h"
#include "editor_session.h"
#include "files/load_save.h"
#include "screens/file_menu.h"

using namespace vusk;
using namespace vusk::test;

namespace {

// Keys with and without a binding; "v" gives Ctrl+V with Ctrl. (Ctrl+F3 and
// Ctrl+F4 step to other files and are left out.)
const char* const KEYS[] = {"Left", "Right",  "Up", "Down",     "Home",      "End",   "PageUp",   "PageDown",
                            "Insert", "Delete", "F5", "F6",     "F7",        "F8",    "F3",       "F4",
                            "Tab",  "Enter",  "v",  "CapsLock", "Backspace", "F1",    "F9",       "Pause"};

class RandomEditing : public EditorSession {
 protected:
  std::mt19937 rng;
  std::deque<std::string> recent;  // the last actions, shown on a failure
  EditModel model;
  uint32_t most_filler = 0;  // the most slack filler seen in a Document
  size_t dropped_nuls = 0;   // the loaded file's NULs a text save drops, until one is done
  bool utf8 = false;         // UTF-8 texts and characters

  uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); }

  // A scratch file of this test's own: the tests may run side by side, also
  // from other checkouts on the same machine (hence the process id).
  static std::string scratch(const std::string& what) {
    return ::testing::TempDir() + "vusk-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
           std::to_string(getpid()) + "-" + what;
  }
  void TearDown() override {
    for (const char* what : {"loaded.txt", "saved.txt", "transfer.tmp"}) std::remove(scratch(what).c_str());
  }

  // A text file of random lines: letters, spaces, 0x00 and other bytes
  // inside lines and at their starts, and line ends of every kind (CR LF,
  // CR CR LF, CR, LF).
  // The characters of the UTF-8 sessions: tabs, é, 漢, a combining acute.
  std::string utf8_character() {
    static const char* const CHARACTERS[] = {"\t", "\xC3\xA9", "\xE6\xBC\xA2", "\xCC\x81", " "};
    return below(3) == 0 ? CHARACTERS[below(std::size(CHARACTERS))] : std::string(1, static_cast<char>('a' + below(26)));
  }

  std::string random_file() {
    static const char* const ENDS[] = {"\r\n", "\r\r\n", "\r", "\n", "\r\n"};
    if (utf8) {
      std::string bytes;
      for (uint32_t lines = 1 + below(30); lines > 0; --lines) {
        if (below(6) == 0) bytes.append(1 + below(2), '\0');
        for (uint32_t n = below(4) == 0 ? below(120) : below(16); n > 0; --n) bytes += utf8_character();
        if (lines > 1 || below(2) == 0) bytes += ENDS[below(std::size(ENDS))];
      }
      return bytes;
    }
    std::string bytes;
    for (uint32_t lines = 1 + below(40); lines > 0; --lines) {
      // Some lines open with 0x00 bytes (filler once loaded, content at the
      // file's start), half with a character and a 0x00.
      if (below(4) == 0) bytes.append(1 + below(3), '\0');
      if (below(2) == 0) bytes += std::string(1, static_cast<char>('a' + below(26))) + '\0';
      for (uint32_t n = below(4) == 0 ? below(200) : below(16); n > 0; --n) {
        const uint32_t r = below(16);
        bytes += r < 3    ? '\0'
                 : r < 5  ? ' '
                 : r == 5 ? static_cast<char>(below(256))
                          : static_cast<char>('a' + below(26));
      }
      if (lines > 1 || below(2) == 0) bytes += ENDS[below(std::size(ENDS))];
    }
    return bytes;
  }

  // Loads a random text through the real loader; the model starts from it.
  void load_random_document() {
    const std::string bytes = random_file();
    const std::string path = scratch("loaded.txt");
    std::ofstream(path, std::ios::binary) << bytes;
    std::snprintf(files.file_path, sizeof files.file_path, "%s", path.c_str());
    files.file_mode = FILE_MODE_TEXT;
    ASSERT_EQ(load_document(), 0);
    show_loaded_document();  // as the File menu does: the view goes to the top
    ASSERT_EQ(doc.encoding == ENCODING_UTF8, utf8 || is_valid_utf8(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    model.utf8 = doc.encoding == ENCODING_UTF8;
    model.text = EditModel::loaded(bytes);
    // The model's loaded text holds every NUL but the filler.
    dropped_nuls = std::count(bytes.begin(), bytes.end(), '\0') - std::count(model.text.begin(), model.text.end(), '\0');
  }

  // A text save must write what the model holds.
  std::string save_differs() {
    const std::string path = scratch("saved.txt");
    std::snprintf(files.file_path, sizeof files.file_path, "%s", path.c_str());
    // The first save after a load that took NULs for filler asks, with their count.
    headless::state.transcript.clear();
    if (dropped_nuls != 0) headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    if (!save_document()) return "the save failed";
    const std::vector<std::string>& asked = headless::state.transcript;
    const std::string count = " " + std::to_string(dropped_nuls) + " NUL bytes ";
    if (dropped_nuls == 0 ? !asked.empty() : asked.size() != 1 || asked[0].find(count) == std::string::npos) {
      return "the save did not ask about" + count + "alone";
    }
    dropped_nuls = 0;
    std::ifstream in(path, std::ios::binary);
    const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return saved == model.saved() ? "" : "the saved text differs from the model's";
  }

  // Offset in the model's text of a text pointer: the bytes before it that
  // are not filler (0x00 directly behind a line break or behind filler).
  static size_t model_offset(const uint8_t* p) {
    size_t n = 0;
    bool behind_break = false;
    for (const uint8_t* q = doc.text_buffer; q < p && *q != 0x0D; ++q) {
      if (*q == 0 && behind_break) continue;
      behind_break = *q == 0x0A;
      ++n;
    }
    return n;
  }

  // Whether the router hands the key or character to the dispatcher: with
  // the focus on a text row, or on nothing (where Tab moves the focus).
  static bool reaches_dispatcher(uint32_t message, uintptr_t wparam) {
    const int32_t f = wt.focus_widget;
    const bool key = message == WM_KEYDOWN && wparam < 160 && command_key_table[wparam] != 0 &&
                     wparam != VK_SHIFT && wparam != VK_CONTROL;
    if (!key && message != WM_CHAR) return false;
    if (message == WM_CHAR && wparam == VK_ESCAPE && !(win.window_flags & WINDOW_KEEP_ESCAPE)) return false;
    if (f == NO_SLOT) return !(message == WM_CHAR && wparam == VK_TAB);
    return f >= 0 && f <= 4 * (static_cast<int32_t>(view.visible_rows) - 1);
  }

  // Applies to the model the command that the dispatcher is about to run,
  // at the cursor's place; F6 repeats the remembered one a line further down.
  void model_command(uint32_t code) {
    bool ctrl = input.ctrl_down != 0, shift = input.shift_down != 0;
    uint32_t line = static_cast<uint32_t>(view.top_line) + view.cursor_row;
    uint32_t column = static_cast<uint32_t>(view.left_col) + view.cursor_col;
    if (code == CODE_F6) {
      if (cmd.last_command == NO_COMMAND) return;  // nothing recorded: nothing to repeat
      code = cmd.last_command;
      ctrl = cmd.last_ctrl != 0;
      shift = cmd.last_shift != 0;
      line += 1;
      column = static_cast<uint32_t>(view.left_col + cmd.last_column);
    }
    const size_t from = model_offset(view.sel_start), to = model_offset(view.sel_end);
    model.apply(code, ctrl, shift, line, column, view.insert_mode != 0, from, to);
  }

  void deliver(uint32_t message, uintptr_t wparam, intptr_t lparam) {
    if (reaches_dispatcher(message, wparam)) {
      const auto k = static_cast<uint32_t>(wparam);
      model_command(message == WM_CHAR ? (k & 0xFF) : KEY_CODE_OFFSET + k);
    }
    headless::send(message, wparam, lparam);
  }

  // Presses and releases a key, every message through deliver().
  void stroke(const std::string& name) {
    for (const KeyMessage& m : parse_key(name).messages) deliver(m.message, m.wparam, m.lparam);
  }

  // Deletions at a line's start, where 0x00 bytes come to open the line,
  // and Backspace in the top row's first column, also with lines above it.
  std::string edit_at_line_start() {
    static const char* const EDITS[] = {"F5", "F5", "Delete", "Backspace"};
    const std::string edit = EDITS[below(std::size(EDITS))];
    if (below(3) == 0) {
      click_cell(0, 0);
      stroke("Home");
      stroke("Backspace");
      return "top row Home Backspace";
    }
    const uint32_t row = below(std::min(view.visible_rows, doc.last_line - static_cast<uint32_t>(view.top_line) + 1));
    click_cell(row, below(8));
    stroke("Home");
    stroke(edit);
    return "row " + std::to_string(row) + " Home " + edit;
  }

  // A copy of a few bytes or lines from the cursor on, or one of the pastes
  // (keys without a selection, or over it).
  std::string transfer_action() {
    static const char* const STEPS[] = {"shift+Right", "shift+Down", "shift+Left"};
    if (below(3) != 0) {
      const char* paste = below(2) == 0 ? "shift+Insert" : "ctrl+v";
      stroke(paste);
      return paste;
    }
    std::string d = "copy";
    for (uint32_t n = 1 + below(4); n > 0; --n) {
      const char* step = STEPS[below(std::size(STEPS))];
      stroke(step);
      d += std::string(" ") + step;
    }
    stroke("ctrl+Insert");
    return d;
  }

  // One random action; returns its description.
  std::string act() {
    const uint32_t kind = below(100);
    if (kind < 40) {
      std::string name;
      if (below(4) == 0) name += "shift+";
      if (below(5) == 0) name += "ctrl+";
      name += KEYS[below(std::size(KEYS))];
      const bool steps_directory = name.find("ctrl+F3") != std::string::npos || name.find("ctrl+F4") != std::string::npos;
      if (!steps_directory) stroke(name);
      return name;
    }
    if (kind < 68 && utf8) {
      // Whole characters, or one of their bytes alone.
      static const uint8_t STRAYS[] = {0xC3, 0xA9, 0xE6, 0xBC, 0xA2, 0xCC, 0x81, 0xFF, 0x0A, 0x00};
      const std::string chars = below(5) == 0 ? std::string(1, static_cast<char>(STRAYS[below(std::size(STRAYS))]))
                                              : utf8_character();
      for (const char c : chars) deliver(WM_CHAR, static_cast<uint8_t>(c), 1);
      return "chars " + ::testing::PrintToString(chars);
    }
    if (kind < 68) {
      // Mostly letters, sometimes any byte: NUL, line feed, lead bytes.
      const uint32_t c = below(4) == 0 ? below(256) : 'a' + below(26);
      deliver(WM_CHAR, c, 1);
      return "char " + std::to_string(c);
    }
    if (kind < 72) return transfer_action();
    if (kind < 82) return edit_at_line_start();
    const uint32_t bottom = 36 + 16 * view.visible_rows;
    // Presses stay on the rows, clear of the menu titles, buttons and thumb that touch them.
    const uint32_t x = below(raster.frame_width - 30), y = 37 + below(bottom - 37);
    if (kind < 90) {
      mouse(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
      std::string d = "press " + std::to_string(x) + "," + std::to_string(y);
      for (uint32_t n = below(4); n > 0; --n) {
        const uint32_t mx = below(raster.frame_width), my = 30 + below(bottom);
        mouse(WM_MOUSEMOVE, MK_LBUTTON, mx, my);
        d += " drag " + std::to_string(mx) + "," + std::to_string(my);
      }
      mouse(WM_LBUTTONUP, 0, x, y);
      return d;
    }
    if (kind < 97) {
      const int16_t delta = below(2) == 0 ? 120 : -120;
      headless::send(WM_MOUSEWHEEL, static_cast<uint32_t>(static_cast<uint16_t>(delta)) << 16, make_position(y, x));
      return "wheel " + std::to_string(delta);
    }
    const auto w = static_cast<int32_t>(200 + below(1100)), h = static_cast<int32_t>(100 + below(900));
    headless::resize_client(w, h);  // also below the minimum, which the frame keeps
    return "resize " + std::to_string(w) + "x" + std::to_string(h);
  }

  // Whether p stands after the first byte of a valid UTF-8 sequence.
  static bool inside_character(const uint8_t* p) {
    for (const uint8_t* q = p - 1; q >= doc.text_buffer && q + 4 > p; --q) {
      const Utf8Char c = decode_utf8(q, doc.text_buffer + doc.text_length);
      if (c.bytes != 0 && q + c.bytes > p) return true;
    }
    return false;
  }

  // Every invariant that must hold between two messages; empty when all do.
  static std::string broken() {
    const char* why = nullptr;
    if (!check_document(&why)) return std::string("document: ") + why;
    if (view.top_line < 0 || static_cast<uint32_t>(view.top_line) > doc.last_line) return "top_line out of range";
    if (view.left_col < 0) return "left_col negative";
    if (view.cursor_abs_line != static_cast<uint32_t>(view.top_line) + view.cursor_row) return "cursor_abs_line";
    uint8_t* const ends[] = {view.sel_anchor, view.sel_head, view.sel_start, view.sel_end};
    if (std::count(std::begin(ends), std::end(ends), nullptr) != 4) {
      for (uint8_t* p : ends) {
        if (p < doc.text_buffer || p > doc.text_buffer + doc.text_length) return "a Selection end outside the text";
      }
      if (view.sel_start > view.sel_end) return "sel_start after sel_end";
      if (std::memchr(view.sel_start, 0x0D, static_cast<size_t>(view.sel_end - view.sel_start)) != nullptr) {
        return "the Selection takes in the end marker";
      }
      // An empty Selection is only a place, taken afresh before it is extended.
      const bool selected = view.sel_start != view.sel_end;
      if (selected && doc.encoding == ENCODING_UTF8 && (inside_character(view.sel_start) || inside_character(view.sel_end))) {
        return "a Selection end splits a character";
      }
    }
    std::vector<uint8_t*> rows(view.row_ptr, view.row_ptr + view.visible_rows);
    fill_row_pointers();
    if (!std::equal(rows.begin(), rows.end(), view.row_ptr)) return "row pointers do not match the text";
    return "";
  }

  // The invariants, then the text against the model's.
  std::string fault(int step) {
    std::string why = broken();
    if (!why.empty()) return why;
    const std::string real = text();
    if (real != model.text) {
      const auto at = static_cast<size_t>(
          std::mismatch(real.begin(), real.end(), model.text.begin(), model.text.end()).first - real.begin());
      const size_t from = at < 20 ? 0 : at - 20;
      return "the text differs from the model's at byte " + std::to_string(at) + ": " +
             ::testing::PrintToString(real.substr(from, 40)) + " against " +
             ::testing::PrintToString(model.text.substr(from, 40));
    }
    return step % 100 == 99 ? save_differs() : "";
  }

  void run(uint32_t seed, int steps) {
    rng.seed(seed);
    recent.clear();
    // Copies and pastes go through a transfer file of this test's own.
    const std::string transfer = scratch("transfer.tmp");
    std::snprintf(files.transfer_path, sizeof files.transfer_path, "%s", transfer.c_str());
    std::remove(transfer.c_str());
    model.has_transfer = false;
    headless::state.clipboard_has_text = true;
    headless::state.clipboard = model.clipboard = "one\r\ntwo\nthree";
    load_random_document();
    if (HasFatalFailure()) return;
    // Odd seeds open with F6: with nothing recorded yet it does nothing, and
    // a 0x00 it typed at a line's start would hide as filler from the text.
    if (seed % 2 == 1) {
      const uint32_t row = view.cursor_row;
      stroke("F6");
      EXPECT_FALSE(document_modified()) << "seed " << seed << ": F6 as the first key";
      EXPECT_EQ(view.cursor_row, row) << "seed " << seed << ": F6 as the first key";
      recent.push_back("F6");
    }
    for (int step = 0; step < steps; ++step) {
      // A fresh text now and then: edits wear away the lines that open
      // with a character and a 0x00.
      if (step % 200 == 199) {
        load_random_document();
        if (HasFatalFailure()) return;
        recent.push_back("load");
      }
      recent.push_back(act());
      if (recent.size() > 12) recent.pop_front();
      most_filler = std::max(most_filler, doc.filler_added);
      const std::string why = fault(step);
      if (!why.empty()) {
        std::string trail;
        for (const std::string& a : recent) trail += "\n  " + a;
        FAIL() << "seed " << seed << ", step " << step << ": " << why << "; last actions:" << trail;
      }
    }
  }
};

}  // namespace

TEST_F(RandomEditing, FixedSeed) { run(20240501, 1000); }

TEST_F(RandomEditing, MoreSeeds) {
  for (uint32_t seed : {1u, 2u, 3u}) {
    SetUp();
    run(seed, 400);
    if (HasFatalFailure()) return;
  }
}

// UTF-8 texts: every command works on whole cells, as the model does.
TEST_F(RandomEditing, Utf8Texts) {
  utf8 = true;
  for (uint32_t seed : {7u, 8u, 9u}) {
    SetUp();
    run(seed, 700);
    if (HasFatalFailure()) return;
  }
}

// With the slack threshold below these texts' sizes, tail moves open filler
// behind the cursor's line, and the edits that follow use it.
TEST_F(RandomEditing, WithSlackFiller) {
  for (uint32_t seed : {5u, 6u}) {
    SetUp();
    doc_tuning = DocumentTuning{48, 16};
    run(seed, 1000);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(most_filler, 0u);
}
