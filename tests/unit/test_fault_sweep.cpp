// Every file call of a save, a load, a copy and a paste failing in turn, on
// the running editor: for n = 1, 2, ... the n-th call fails (refused, or
// moving half its bytes first, or an open refused) until the operation runs
// through without meeting the fault. After each failed run the target holds
// its old bytes, the "error!?" box or the missing "Copied." tells of it, and
// nothing is left behind; the run without a fault completes the operation.
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "edit_model.h"
#include "editor/modified.h"
#include "editor_session.h"
#include "file_test_support.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "screens/file_menu.h"
#include "screens/title.h"
#include "widgets/label.h"
#include "widgets/status.h"

using namespace vusk;
using namespace vusk::test;

namespace {

// How the failing call fails.
struct Style {
  const char* name;
  bool partial;    // a read or write moves half its bytes, then comes back short
  bool opens_too;  // opens and creates are counted and can fail too
};
constexpr Style STYLES[] = {{"refused", false, false}, {"half", true, false}, {"open", false, true}};

class FaultSweep : public EditorSession {
 protected:
  void SetUp() override {
    EditorSession::SetUp();
    scratch.enter();
    dir = scratch.dir;
    set_transfer_path((dir + "/VUSK.TMP").c_str());
  }
  void TearDown() override {
    fail_file_operations(0);
    scratch.leave();
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }
  static void write(const std::string& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
  static std::string read(const std::string& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
      names.push_back(std::filesystem::relative(e.path(), dir).string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  static std::string document() { return std::string(reinterpret_cast<char*>(doc.text_buffer), doc.text_length); }
  static bool box_shown() {
    for (const std::string& line : headless::state.transcript) {
      if (line.rfind("box error!?: ", 0) == 0) return true;
    }
    return false;
  }
  static std::string status_shown() { return status.status_text == nullptr ? "" : status.status_text; }

  // The live slot of the File menu's entry with this handler and mode,
  // opening the menu first.
  static int32_t file_entry(void (*handler)(int32_t), uint8_t mode) {
    keys({"alt", "Enter"});
    for (int32_t s = view.thumb_end; s < wt.widget_end; s += 4) {
      const int32_t i = slot_index(s);
      if (wt.w_data[i].handler == handler && wt.w_value[i] == mode) return s;
    }
    ADD_FAILURE() << "no such entry in the File menu";
    return view.thumb_end;
  }

  // Runs `operation` once per style and per n until it meets no fault. A
  // run that met one either failed, which `failed(where)` checks, or got
  // round it (a partial read goes on, a save that cannot make its temporary
  // file saves in place), which `done()` checks as it checks the last run;
  // `succeeded()` tells which. Returns the number of runs that failed.
  int sweep(const std::function<void()>& prepare, const std::function<void()>& operation,
            const std::function<bool()>& succeeded, const std::function<void(const std::string&)>& failed,
            const std::function<void()>& done) {
    int failures = 0;
    for (const Style& style : STYLES) {
      for (uint32_t n = 0;; ++n) {
        if (n == 64) {
          ADD_FAILURE() << "more than 64 file calls";
          break;
        }
        prepare();
        headless::state.transcript.clear();
        status.status_text = nullptr;  // no message, none to show
        status.status_state = 0;
        fail_file_operations(uint64_t{1} << n);
        set_fault_style(style.partial, style.opens_too);
        operation();
        const bool met = file_operations_counted() > n;
        fail_file_operations(0);
        if (met && !succeeded()) {
          ++failures;
          failed(std::string(style.name) + " call " + std::to_string(n + 1));
        } else {
          done();
        }
        if (!met) break;
      }
    }
    return failures;
  }

  // What a save that does not happen must leave as it was.
  struct Names {
    std::string path, name, title, window;
    uint8_t mode;
    bool modified;
    bool operator==(const Names&) const = default;
  };
  static Names names() {
    refresh_title_label();  // both titles as the end of the message leaves them
    refresh_window_title();
    return {files.file_path, files.file_name, std::string(reinterpret_cast<const char*>(title.label), PATH_BYTES),
            headless::state.window_title, files.file_mode, document_modified()};
  }
  // After a failed save: the names and mode as before, so that Ctrl+S then
  // writes `origin` as `bytes` (answering Yes when another program wrote it).
  void expect_kept_then_saved(const Names& before, const std::string& origin, const std::string& bytes,
                              bool rewritten, const std::string& where) {
    EXPECT_TRUE(names() == before) << where << ": now " << files.file_path << ", mode " << int{files.file_mode};
    headless::state.answers.clear();
    if (rewritten) headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
    save_in_place();  // Ctrl+S's service (the menu still has the focus)
    EXPECT_TRUE(read(origin) == bytes) << "Ctrl+S after " << where;
    EXPECT_TRUE(headless::state.answers.empty()) << where;
  }

  vusk::testing::ScratchDir scratch;
  std::string dir;  // scratch.dir
};

// An edited Document of several gathered pieces, so that saves take several
// writes; the target's old bytes are longer still.
const std::string NEW_TEXT = std::string(300000, 'n') + "\r\nend";
const std::string OLD_TEXT(400000, 'o');

TEST_F(FaultSweep, SavesKeepTheOldBytesUntilTheNewOnesAreWhole) {
  write(path("doc.txt"), NEW_TEXT);
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("doc.txt"), 0});
  open_file_dialog(file_entry(open_file_dialog, FILE_MODE_TEXT));
  ASSERT_EQ(document().size(), NEW_TEXT.size() + 1);  // and the end marker
  std::filesystem::create_directory(path("links"));
  // Renamed into place: "Save" and "save As text" on a file of its own; in
  // place behind a backup: a file with a second link.
  // "Save" finds its file rewritten by the sweep, and saves it anyway.
  const struct {
    const char* target;
    std::function<void()> save;
  } cases[] = {
      {"doc.txt", [] {
         headless::state.answers.push_back({headless::DialogAnswer::YES, "", 0});
         save_under_file_name(file_entry(save_under_file_name, FILE_MODE_TEXT));
       }},
      {"as.txt", [this] {
         headless::state.answers.push_back({headless::DialogAnswer::SAVE, path("as.txt"), 0});
         save_file_dialog(file_entry(save_file_dialog, FILE_MODE_TEXT));
       }},
      {"links/a.txt", [this] {
         headless::state.answers.push_back({headless::DialogAnswer::SAVE, path("links/a.txt"), 0});
         save_file_dialog(file_entry(save_file_dialog, FILE_MODE_TEXT));
       }},
  };
  const std::string saved = std::string(300000, 'n') + "\r\nend";
  for (const auto& c : cases) {
    const std::string target = path(c.target);
    const bool save_as = target != path("doc.txt");
    std::vector<std::string> before;
    Names names_before;
    const int failures = sweep(
        [&] {
          if (save_as) {  // the last run left the Document under its new name
            headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("doc.txt"), 0});
            open_file_dialog(file_entry(open_file_dialog, FILE_MODE_TEXT));
          }
          write(target, OLD_TEXT);
          if (c.target[0] == 'l' && !std::filesystem::exists(path("links/b.txt"))) {
            std::filesystem::create_hard_link(target, path("links/b.txt"));
          }
          before = entries();
          names_before = names();
        },
        [&] { c.save(); }, [] { return status_shown() == "File saved."; },
        [&](const std::string& where) {
          EXPECT_TRUE(read(target) == OLD_TEXT) << c.target << ", " << where;
          EXPECT_TRUE(box_shown()) << c.target << ", " << where;
          EXPECT_EQ(status_shown(), "") << c.target << ", " << where;
          EXPECT_EQ(entries(), before) << c.target << ", " << where;
          expect_kept_then_saved(names_before, path("doc.txt"), saved, !save_as, std::string(c.target) + ", " + where);
        },
        [&] {
          EXPECT_TRUE(read(target) == saved) << c.target;
          EXPECT_EQ(status_shown(), "File saved.") << c.target;
          EXPECT_FALSE(box_shown()) << c.target;
          EXPECT_EQ(entries(), before) << c.target;
        });
    EXPECT_GE(failures, 3 * 3) << c.target;
  }
  EXPECT_TRUE(read(path("links/b.txt")) == saved);
}

// "save hex as Bin" and "save As text" of a listing; after each failure
// Ctrl+S still writes the listing's file back as the binary it describes.
TEST_F(FaultSweep, TheSavesOfAListingKeepTheOldBytesAndTheMode) {
  std::string bytes;
  for (int i = 0; i < 70000; ++i) bytes += static_cast<char>(i * 7);
  for (const uint8_t mode : {FILE_MODE_HEX, FILE_MODE_TEXT}) {
    const std::string target = path(mode == FILE_MODE_HEX ? "out.bin" : "out.txt");
    std::vector<std::string> before;
    Names names_before;
    std::string expected = bytes;
    sweep(
        [&] {
          write(path("data.bin"), bytes);  // a wrong Ctrl+S must not snowball
          headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("data.bin"), 0});
          open_file_dialog(file_entry(open_file_dialog, FILE_MODE_HEX));
          if (mode == FILE_MODE_TEXT) {
            EditModel listing;
            listing.text = document().substr(0, doc.text_length - 1);  // the end marker is not saved
            expected = listing.saved();
          }
          write(target, "old");
          before = entries();
          names_before = names();
        },
        [&] {
          headless::state.answers.push_back({headless::DialogAnswer::SAVE, target, 0});
          save_file_dialog(file_entry(save_file_dialog, mode));
        },
        [] { return status_shown() == "File saved."; },
        [&](const std::string& where) {
          EXPECT_EQ(read(target), "old") << where;
          EXPECT_TRUE(box_shown()) << where;
          EXPECT_EQ(status_shown(), "") << where;
          EXPECT_EQ(entries(), before) << where;
          expect_kept_then_saved(names_before, path("data.bin"), bytes, false, std::to_string(mode) + ", " + where);
        },
        [&] {
          EXPECT_TRUE(read(target) == expected) << int{mode};
          EXPECT_EQ(status_shown(), "File saved.");
        });
  }
}

TEST_F(FaultSweep, AFailedLoadChangesNothing) {
  write(path("first.txt"), "first\r\n");
  headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("first.txt"), 0});
  open_file_dialog(file_entry(open_file_dialog, FILE_MODE_TEXT));
  // Large enough that a listing is read in several pieces.
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>('a' + i % 26);
  write(path("big.txt"), bytes);
  for (const uint8_t mode : {FILE_MODE_TEXT, FILE_MODE_HEX}) {
    std::string doc_before, name_before, title_before;
    uint8_t mode_before = 0;
    sweep(
        [&] {
          headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("first.txt"), 0});
          open_file_dialog(file_entry(open_file_dialog, FILE_MODE_TEXT));
          doc_before = document();
          name_before = files.file_name;
          refresh_title_label();
          title_before = std::string(reinterpret_cast<const char*>(title.label), PATH_BYTES);
          mode_before = files.file_mode;
        },
        [&] {
          headless::state.answers.push_back({headless::DialogAnswer::OPEN, path("big.txt"), 0});
          open_file_dialog(file_entry(open_file_dialog, mode));
        },
        [] { return std::string(files.file_name) == "big.txt"; },
        [&](const std::string& where) {
          EXPECT_EQ(document(), doc_before) << int{mode} << ", " << where;
          EXPECT_EQ(files.file_name, name_before) << where;
          refresh_title_label();
          EXPECT_EQ(std::string(reinterpret_cast<const char*>(title.label), PATH_BYTES), title_before);
          EXPECT_EQ(files.file_mode, mode_before) << where;
          EXPECT_TRUE(box_shown()) << where;
          EXPECT_TRUE(check_document()) << where;
        },
        [&] {
          EXPECT_STREQ(files.file_name, "big.txt");
          EXPECT_EQ(files.file_mode, mode);
          EXPECT_EQ(doc.text_length, mode == FILE_MODE_TEXT ? bytes.size() + 1 : 80 + 200000 / 16 * 80 + 1);
          EXPECT_FALSE(box_shown());
        });
  }
}

TEST_F(FaultSweep, ACopyThatCouldNotWriteShowedNoBoxAndKeepsThePreviousCopy) {
  set_text("the new selection");
  const std::string transfer_file = files.transfer_path;
  std::vector<std::string> before;
  const int failures = sweep(
      [&] {
        write(transfer_file, "previous copy");
        click_cell(0, 0);
        key("shift+End");
        before = entries();
      },
      [&] { key("ctrl+Insert"); }, [] { return status_shown() == "Copied."; },
      [&](const std::string& where) {
        EXPECT_EQ(read(transfer_file), "previous copy") << where;
        EXPECT_EQ(status_shown(), "") << where;
        EXPECT_EQ(headless::state.transcript, std::vector<std::string>{"box error!?: " + transfer_file}) << where;
        EXPECT_EQ(entries(), before) << where;
      },
      [&] {
        EXPECT_EQ(read(transfer_file), "the new selection");
        EXPECT_EQ(status_shown(), "Copied.");
        EXPECT_FALSE(box_shown());
      });
  // The write, the flush and the rename, refused or half done.
  EXPECT_GE(failures, 3 + 3);
}

TEST_F(FaultSweep, APasteThatCannotReadTheWholeFileInsertsNothing) {
  std::string copied;
  for (int i = 0; i < 5000; ++i) copied += "copied line\n";
  write(files.transfer_path, copied);
  std::string before;
  for (const bool column : {false, true}) {
    sweep(
        [&] {
          set_text("keep\nthis");
          click_cell(0, 2);
          before = document();
        },
        [&] {
          if (column) {
            paste_column();
          } else {
            key("shift+Insert");
          }
        },
        [&] { return document() != before; },
        [&](const std::string& where) {
          EXPECT_EQ(document(), before) << column << ", " << where;
          // A transfer file that cannot be opened reads as none copied yet.
          const bool refused_open = where.rfind("open call 1", 0) == 0;
          EXPECT_TRUE(box_shown() || refused_open) << column << ", " << where;
          EXPECT_TRUE(check_document()) << where;
        },
        [&] {
          // The column paste fills lines 0 to 4999; the paste adds 5000 breaks.
          EXPECT_EQ(doc.last_line, column ? 4999u : 5001u);
          EXPECT_FALSE(box_shown());
        });
  }
}

}  // namespace
