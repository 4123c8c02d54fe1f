// Random editing sessions, then everything undone and done again: the text
// save after the undos must be the one before the session, byte for byte,
// and after the redos the one at its end. Texts hold CR LF and other line
// ends, 0x00 bytes and double-byte characters; the edits are typing (in
// virtual space, in overwrite mode, control bytes too), Tab, Enter,
// Backspace, Delete, F5, F6, joins, selection deletes, the three pastes,
// Cut, copies, Replace All and the replace of a selected match. In a sample of sessions every single undo and redo is
// compared with the text it must give.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

#include "editor/undo.h"
#include "editor_session.h"
#include "files/load_save.h"
#include "files/search.h"
#include "files/transfer.h"
#include "screens/file_menu.h"
#include "screens/screens.h"

using namespace vusk;
using namespace vusk::test;

namespace {

const char* const EDIT_KEYS[] = {"Tab",      "Enter",  "Backspace", "Backspace", "Delete",     "Delete", "F5",
                                 "F6",       "Insert", "Left",      "Right",     "Up",         "Down",   "Home",
                                 "End",      "ctrl+End", "PageDown", "shift+Right", "shift+Down", "shift+Left"};

class UndoSessions : public EditorSession {
 protected:
  std::mt19937 rng;
  std::vector<std::string> states;  // states[k]: the text save with k steps done ("" unknown)
  std::vector<std::string> recent;

  uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); }

  static std::string scratch(const std::string& what) {
    // The process id keeps apart runs of other checkouts at the same time.
    return ::testing::TempDir() + "vusk-" + std::to_string(getpid()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" + what;
  }
  void TearDown() override {
    for (const char* what : {"loaded.txt", "saved.txt", "transfer.tmp"}) std::remove(scratch(what).c_str());
  }

  // Lines of letters, spaces, 0x00 bytes and Shift_JIS characters, ended
  // by CR LF mostly, sometimes by LF or a lone CR.
  std::string random_file() {
    static const char* const ENDS[] = {"\r\n", "\r\n", "\n", "\r"};
    static const char* const WIDE[] = {"\x82\xa0", "\x88\x9f", "\x83\x41", "\xe0\x40"};
    std::string bytes;
    for (uint32_t lines = 1 + below(30); lines > 0; --lines) {
      if (below(3) == 0) bytes += '\0';  // opens the line: filler once loaded behind CR LF
      for (uint32_t n = below(24); n > 0; --n) {
        const uint32_t r = below(12);
        bytes += r < 2 ? std::string(1, '\0') : r < 4 ? std::string(WIDE[below(4)]) : r == 4 ? " " : std::string(1, static_cast<char>('a' + below(26)));
      }
      if (lines > 1 || below(2) == 0) bytes += ENDS[below(4)];
    }
    return bytes;
  }

  void load_random_document() {
    const std::string path = scratch("loaded.txt");
    std::ofstream(path, std::ios::binary) << random_file();
    std::snprintf(files.file_path, sizeof files.file_path, "%s", path.c_str());
    files.file_mode = FILE_MODE_TEXT;
    ASSERT_EQ(load_document(), 0);
    show_loaded_document();
  }

  // What a text save writes now.
  static std::string text_save() {
    const std::string path = scratch("saved.txt");
    std::snprintf(files.file_path, sizeof files.file_path, "%s", path.c_str());
    // Dropping the loaded file's NULs at line starts is asked about first.
    if (files.nul_filler != 0) headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    if (!save_document()) return "(the save failed)";
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  // Cut from the Edit menu, as a click on its entry runs it.
  static void menu_cut() {
    const int32_t focus = wt.focus_widget;
    open_panel(0, 0, PANEL_EDIT_MENU);
    for (uint32_t r = 0; panel_slot(PANEL_EDIT_MENU, r) != NO_SLOT; ++r) {
      const int32_t slot = panel_slot(PANEL_EDIT_MENU, r);
      if (wt.w_value[slot_index(slot)] != EDIT_CUT) continue;
      edit_menu_command(slot);
      close_panel(slot);
      break;
    }
    wt.focus_widget = focus;
  }

  // Shift+Enter or Enter in the replace bar's replace field, the bar then
  // closed and the focus back where it was.
  std::string replace_action() {
    static const char* const PATTERNS[] = {"a", "\x1b" "B", "\x82\xa0", "\n", " b"};
    static const char* const REPLACEMENTS[] = {"", "Q", "xyz\n", "\x82"};
    const std::string pattern = PATTERNS[below(std::size(PATTERNS))];
    const std::string replacement = REPLACEMENTS[below(std::size(REPLACEMENTS))];
    for (const auto& [field, text] : {std::pair{find_pattern, pattern}, std::pair{replace_pattern, replacement}}) {
      std::memset(field, ' ', FIND_PATTERN_CHARS);
      std::memcpy(field, text.data(), text.size());
    }
    const int32_t focus = wt.focus_widget;
    show_panel_by_id(PANEL_REPLACE_BAR);
    wt.focus_widget = panel_slot(PANEL_REPLACE_BAR, 1);
    const bool all = below(2) == 0;
    key(all ? "shift+Enter" : "Enter");
    close_panel(panel_slot(PANEL_REPLACE_BAR, 0));
    wt.focus_widget = focus;
    return (all ? "replace all " : "replace ") + ::testing::PrintToString(pattern) + " by " +
           ::testing::PrintToString(replacement);
  }

  std::string act() {
    const uint32_t kind = below(100);
    if (kind < 30) {
      const std::string k = EDIT_KEYS[below(std::size(EDIT_KEYS))];
      key(k);
      return k;
    }
    if (kind < 45) {
      // Joins and deletions at both ends of a line, and typing into the
      // filler that deletions leave.
      static const std::vector<std::string> RUNS[] = {
          {"End", "Delete"}, {"Home", "Backspace"}, {"End", "F5"}, {"End", "Left", "F5"}, {"Home", "F5", "yz"}};
      std::string d;
      for (const std::string& k : RUNS[below(std::size(RUNS))]) {
        if (k == "yz") chars(k);
        else key(k);
        d += k + " ";
      }
      return d;
    }
    if (kind < 60) {
      static const char* const TYPED[] = {"x", "yz", "\x82\xa0", "\x0a", "\x01", " "};
      const std::string t = TYPED[below(std::size(TYPED))];
      chars(t);
      return "type " + ::testing::PrintToString(t);
    }
    if (kind < 75) {
      // Anywhere in view: beyond line ends and below the last line too.
      const uint32_t r = below(std::min(view.visible_rows, 40u)), c = below(40);
      click_cell(r, c);
      return "click " + std::to_string(r) + "," + std::to_string(c);
    }
    if (kind < 80) {
      key("ctrl+Insert");
      return "copy";
    }
    if (kind < 86) {
      key("shift+Insert");
      return "paste";
    }
    if (kind < 90) {
      key("ctrl+v");
      return "clipboard paste";
    }
    if (kind < 94) {
      menu_cut();
      return "cut";
    }
    if (kind < 97) return replace_action();
    paste_column();
    return "column paste";
  }

  // The Document's invariants and the row pointers; empty when all hold.
  static std::string broken() {
    const char* why = nullptr;
    if (!check_document(&why)) return std::string("document: ") + why;
    if (view.sel_start != view.sel_end) return "a Selection after undo or redo";
    std::vector<uint8_t*> rows(view.row_ptr, view.row_ptr + view.visible_rows);
    fill_row_pointers();
    if (!std::equal(rows.begin(), rows.end(), view.row_ptr)) return "row pointers do not match the text";
    return "";
  }

  // The state with `steps` steps done, as a save writes it, if known.
  void note_state() {
    const uint32_t n = undo_step_count();
    if (states.size() <= n) states.resize(n + 1);
    states[n] = text_save();
  }

  std::string trail() const {
    std::string t;
    for (size_t i = recent.size() > 12 ? recent.size() - 12 : 0; i < recent.size(); ++i) t += "\n  " + recent[i];
    return t;
  }

  // One step back (key "ctrl+z") or forward; then the invariants, and the
  // text save against states[k] when that is known and `compare` is set.
  void step_and_check(const char* stroke, uint32_t k, bool compare, uint32_t seed) {
    key(stroke);
    const std::string why = broken();
    ASSERT_EQ(why, "") << "seed " << seed << ", " << stroke << " to " << k << " steps" << trail();
    if (compare && k < states.size() && !states[k].empty()) {
      ASSERT_EQ(text_save(), states[k]) << "seed " << seed << ", " << stroke << " to " << k << " steps" << trail();
    }
  }

  void run(uint32_t seed, int actions, bool every_step) {
    rng.seed(seed);
    states.clear();
    recent.clear();
    const std::string transfer = scratch("transfer.tmp");
    std::snprintf(files.transfer_path, sizeof files.transfer_path, "%s", transfer.c_str());
    std::remove(transfer.c_str());
    headless::state.clipboard_has_text = true;
    headless::state.clipboard = "one\r\ntwo \x82\xa0\nthree";
    load_random_document();
    if (HasFatalFailure()) return;
    click_cell(0, 0);
    const std::string original = text_save();
    for (int a = 0; a < actions; ++a) {
      recent.push_back(act());
      if (every_step) note_state();
    }
    note_state();
    const std::string final_save = states.back();
    const uint32_t n = undo_step_count();
    for (uint32_t k = n; k > 0; --k) {
      step_and_check("ctrl+z", k - 1, every_step, seed);
      if (HasFatalFailure()) return;
    }
    ASSERT_EQ(undo_step_count(), 0u);
    ASSERT_EQ(text_save(), original) << "seed " << seed << " after undoing everything" << trail();
    for (uint32_t k = 1; k <= n; ++k) {
      step_and_check("ctrl+y", k, every_step, seed);
      if (HasFatalFailure()) return;
    }
    ASSERT_EQ(text_save(), final_save) << "seed " << seed << " after redoing everything" << trail();
  }
};

TEST_F(UndoSessions, EveryStepComparedInASample) {
  for (uint32_t seed : {11u, 12u}) {
    SetUp();
    run(seed, 120, true);
    if (HasFatalFailure()) return;
  }
}

TEST_F(UndoSessions, WholeSessionsTakenBackAndDoneAgain) {
  for (uint32_t seed = 100; seed < 105; ++seed) {
    SetUp();
    run(seed, 200, false);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
