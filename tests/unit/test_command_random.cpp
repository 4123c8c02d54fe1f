// Long random sequences of editing keys, characters (control bytes too),
// presses and drags on the rows, wheel turns and resizes, each followed by a
// check of the Document and of the view and Selection invariants.
#include <cstdio>
#include <cstring>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include "editor_session.h"
#include "files/load_save.h"

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

  uint32_t below(uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(rng); }

  // One random action; returns its description.
  std::string act() {
    const uint32_t kind = below(100);
    if (kind < 45) {
      std::string stroke;
      if (below(4) == 0) stroke += "shift+";
      if (below(5) == 0) stroke += "ctrl+";
      stroke += KEYS[below(std::size(KEYS))];
      const bool steps_directory = stroke.find("ctrl+F3") != std::string::npos || stroke.find("ctrl+F4") != std::string::npos;
      if (!steps_directory) key(stroke);
      return stroke;
    }
    if (kind < 80) {
      // Mostly letters, sometimes any byte: NUL, line feed, lead bytes.
      const uint32_t c = below(4) == 0 ? below(256) : 'a' + below(26);
      headless::send(WM_CHAR, c, 1);
      return "char " + std::to_string(c);
    }
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
    }
    std::vector<uint8_t*> rows(view.row_ptr, view.row_ptr + view.visible_rows);
    fill_row_pointers();
    if (!std::equal(rows.begin(), rows.end(), view.row_ptr)) return "row pointers do not match the text";
    return "";
  }

  void run(uint32_t seed, int steps) {
    rng.seed(seed);
    recent.clear();
    // Copies and pastes go through a transfer file of this test's own.
    const std::string transfer = ::testing::TempDir() + "vusk-random-editing.tmp";
    std::snprintf(files.transfer_path, sizeof files.transfer_path, "%s", transfer.c_str());
    headless::state.clipboard_has_text = true;
    headless::state.clipboard = "one\r\ntwo\nthree";
    for (int step = 0; step < steps; ++step) {
      recent.push_back(act());
      if (recent.size() > 12) recent.pop_front();
      const std::string why = broken();
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
