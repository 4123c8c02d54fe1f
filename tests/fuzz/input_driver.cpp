// The input path driven by choices: see input_driver.h.
#include "screens/panel_ids.h"
#include "input_driver.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/startup.h"
#include "app/typing.h"
#include "app/window.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "backends/posix/posix_support.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "files/load_save.h"
#include "files/transfer.h"
#include "platform/messages.h"
#include "raster/raster.h"
#include "screens/file_menu.h"
#include "screens/screens.h"
#include "widgets/widget_table.h"

namespace vusk::fuzz {

namespace {

// Keys with and without a binding, the modifiers and the menu keys among
// them. Ctrl+F3 and Ctrl+F4 would step to the scratch files and are left
// out by step(): they load other Documents, which the byte check cannot see.
const char* const KEYS[] = {"Left", "Right",    "Up",       "Down",      "Home",   "End",     "PageUp", "PageDown",
                            "Insert", "Delete", "F2",       "F3",        "F4",     "F5",      "F6",     "F7",
                            "F8",   "F10",      "Tab",      "Enter",     "Escape", "Backspace", "Space", "CapsLock",
                            "alt",  "minus",    "a",        "v",         "o",      "s",       "x",      "9"};
const char* const MODIFIERS[] = {"", "", "", "shift+", "ctrl+", "ctrl+shift+", "alt+"};
// The bytes the issue names, each a likely place for a fault.
const uint8_t SPECIAL_CHARS[] = {0x00, 0x0A, 0x0D, 0x1B, 0x09, 0x08, 0x16, 0x7F, 0xFF, 0xFE, 0x20};

// Writes `bytes` to `path`; false when it cannot.
bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void set_path(const std::string& path) { std::snprintf(files.file_path, PATH_BYTES, "%s", path.c_str()); }

// The Selection's ends lie inside the text and in order, clear of the end
// marker.
std::string broken_selection() {
  uint8_t* const ends[] = {view.sel_anchor, view.sel_head, view.sel_start, view.sel_end};
  if (std::count(std::begin(ends), std::end(ends), nullptr) == 4) return "";
  for (uint8_t* p : ends) {
    if (p < doc.text_buffer || p > doc.text_buffer + doc.text_length) return "a Selection end outside the text";
  }
  if (view.sel_start > view.sel_end) return "sel_start after sel_end";
  if (std::memchr(view.sel_start, 0x0D, static_cast<size_t>(view.sel_end - view.sel_start)) != nullptr) {
    return "the Selection takes in the end marker";
  }
  return "";
}

}  // namespace

std::string broken_invariant(bool whole_document) {
  const char* why = nullptr;
  if (whole_document && !check_document(&why)) return std::string("document: ") + why;
  if (view.top_line < 0 || static_cast<uint32_t>(view.top_line) > doc.last_line) return "top_line out of range";
  if (view.left_col < 0) return "left_col negative";
  if (view.cursor_abs_line != static_cast<uint32_t>(view.top_line) + view.cursor_row) return "cursor_abs_line";
  const std::string selection = broken_selection();
  if (!selection.empty()) return selection;
  std::vector<uint8_t*> rows(view.row_ptr, view.row_ptr + view.visible_rows);
  fill_row_pointers();
  if (!std::equal(rows.begin(), rows.end(), view.row_ptr)) return "row pointers do not match the text";
  return "";
}

namespace {
// Thrown by the exit handler: the File menu's quit ends the session.
struct SessionEnded {};
}  // namespace

InputDriver::InputDriver(const std::string& scratch_dir) : dir_(scratch_dir) {
  start();
  for (const char c : std::string(" \r\n")) allowed_[static_cast<uint8_t>(c)] = true;  // padding, line ends
  // The transfer file outlives a run, as it outlives the program: what an
  // earlier run of this process left there may be pasted in this one.
  allow(read_file(files.transfer_path));
}

void InputDriver::start() {
  reset_all_state();
  headless::reset();
  headless::set_exit_handler([](int) { throw SessionEnded{}; });
  // An answer of the wrong kind acts as a cancel.
  headless::set_script_error_handler([](const std::string&) {});
  set_command_line("vusk");
  start_up_steps();
  set_transfer_path((dir_ + "/VUSK.TMP").c_str());
  // The Edit menu's benchmark redraws for four seconds by the clock: it would
  // take most of every run. Its entry stays, inert.
  for (PanelRecord* r = panel_directory[PANEL_EDIT_MENU]; r->label != nullptr; ++r) {
    if (r->data.handler == run_benchmark) r->data.handler = no_action;
  }
}

void InputDriver::allow(const std::string& bytes) {
  for (const char c : bytes) allowed_[static_cast<uint8_t>(c)] = true;
}

void InputDriver::load(const std::string& bytes) {
  loaded_ = bytes;
  const std::string path = dir_ + "/loaded.txt";
  write_file(path, bytes);
  allow(bytes);
  set_path(path);
  files.file_mode = FILE_MODE_TEXT;
  if (load_document() == 0) show_loaded_document();
}

// Pieces of valid UTF-8: a text of them alone shows in UTF-8 mode.
const char* const UTF8_PIECES[] = {"\t", "\n", "\r\n", " ", "a", "\xC3\xA9", "\xE6\xBC\xA2", "\xCC\x81",
                                   "\xF0\x9F\x98\x80", ""};  // "": a NUL

std::string InputDriver::random_text(Choices& c, uint32_t max) {
  std::string text;
  if (c.below(2) == 0) {
    for (uint32_t n = c.below(max + 1); n > 0 && !c.exhausted(); --n) {
      const char* piece = UTF8_PIECES[c.below(std::size(UTF8_PIECES))];
      text += *piece != 0 ? std::string(piece) : std::string(1, '\0');
    }
    return text;
  }
  for (uint32_t n = c.below(max + 1); n > 0 && !c.exhausted(); --n) {
    const uint32_t kind = c.below(4);
    text += kind == 0 ? static_cast<char>(SPECIAL_CHARS[c.below(sizeof SPECIAL_CHARS)])
                      : kind == 1 ? static_cast<char>(c.below(256)) : static_cast<char>('a' + c.below(26));
  }
  return text;
}

void InputDriver::send_key(Choices& c) {
  std::string name = MODIFIERS[c.below(std::size(MODIFIERS))];
  const std::string key = KEYS[c.below(std::size(KEYS))];
  if (name.find("ctrl") != std::string::npos && (key == "F3" || key == "F4")) name.clear();
  const KeyStroke stroke = parse_key(name + key);
  for (const KeyMessage& m : stroke.messages) {
    if (m.message == WM_CHAR) allowed_[m.wparam & 0xFF] = true;  // typed
    headless::send(m.message, m.wparam, m.lparam);
  }
}

void InputDriver::send_chars(Choices& c) {
  if (c.below(4) == 0) {  // one character beyond ASCII, now and then none at all
    static const uint32_t RANGES[] = {0x80, 0x800, 0x3000, 0xD800, 0xFF61, 0x10000, 0x110000};
    const uint32_t base = RANGES[c.below(std::size(RANGES))];
    const uint32_t cp = base + c.below(0x100);
    uint8_t bytes[4];
    allow(std::string(reinterpret_cast<const char*>(bytes), encode_typed(cp, bytes)));
    headless::send(WM_UNICHAR, cp, 1);
    return;
  }
  std::string text = random_text(c, 6);
  if (c.below(4) == 0) {  // a double-byte pair
    text = std::string(1, static_cast<char>(0x81 + c.below(0x1F))) + static_cast<char>(0x40 + c.below(0xBD));
  }
  allow(text);
  // A typed CR is the Enter key's character: a line break, not a byte.
  for (const char ch : text) headless::send(WM_CHAR, static_cast<uint8_t>(ch), 1);
}

void InputDriver::send_mouse(Choices& c) {
  static const uint32_t MESSAGES[] = {WM_LBUTTONDOWN, WM_MOUSEMOVE,   WM_LBUTTONUP,     WM_RBUTTONDOWN,
                                      WM_RBUTTONUP,   WM_MOUSEWHEEL,  WM_RBUTTONDOWN,   WM_LBUTTONDBLCLK};
  const uint32_t message = MESSAGES[c.below(std::size(MESSAGES))];
  // Mostly inside the frame; now and then anywhere a 16-bit position reaches.
  const bool anywhere = c.below(8) == 0;
  const uint32_t x = anywhere ? c.below(65536) : c.below(raster.frame_width + 1);
  const uint32_t y = anywhere ? c.below(65536) : c.below(raster.frame_height + 1);
  uintptr_t wparam = c.below(2) == 0 ? MK_LBUTTON : 0;
  if (c.below(4) == 0) wparam |= MK_SHIFT;
  if (message == WM_MOUSEWHEEL) wparam = static_cast<uintptr_t>(static_cast<uint16_t>(120 * (int(c.below(9)) - 4))) << 16;
  headless::send(message, wparam, make_position(y, x));
}

void InputDriver::set_clipboard(Choices& c) {
  headless::state.clipboard = random_text(c, 40);
  headless::state.clipboard_has_text = c.below(8) != 0;
  allow(headless::state.clipboard);  // its line ends paste as line ends, never as 0x00
}

void InputDriver::set_transfer(Choices& c) {
  const std::string text = random_text(c, 40);
  allow(text);
  write_file(files.transfer_path, text);
}

// A drop of the loaded file, or of the scratch folder, which cannot load.
void InputDriver::drop_file(Choices& c) {
  const std::string path = c.below(2) == 0 ? dir_ + "/loaded.txt" : dir_;
  headless::send(WM_DROPFILES, reinterpret_cast<uintptr_t>(path.c_str()), 0);
}

void InputDriver::queue_answer(Choices& c) {
  using headless::DialogAnswer;
  switch (c.below(4)) {
    case 0: headless::state.answers.push_back({DialogAnswer::CANCEL, "", 0}); break;
    case 1: headless::state.answers.push_back({DialogAnswer::SAVE, dir_ + "/saved-by-menu.txt", 0}); break;
    case 2: headless::state.answers.push_back({DialogAnswer::OPEN, dir_ + "/loaded.txt", 0}); break;
    default: headless::state.answers.push_back({DialogAnswer::FAIL, "", 0x3002}); break;
  }
}

// A load or reload reads whatever lies at file_path, which a save through
// the menu may have written: its bytes count as loaded, read again only
// when the file changed.
void InputDriver::allow_file_on_disk() {
  struct stat st {};
  if (stat(files.file_path, &st) != 0 || !S_ISREG(st.st_mode)) return;
  const std::string seen = std::string(files.file_path) + "|" + std::to_string(st.st_size) + "|" +
                           std::to_string(st.st_mtim.tv_sec) + "." + std::to_string(st.st_mtim.tv_nsec);
  if (seen == seen_file_) return;
  seen_file_ = seen;
  allow(read_file(files.file_path));
}

void InputDriver::send_one(Choices& c) {
  switch (c.below(17)) {
    case 0: case 1: case 2: case 3: case 4: send_key(c); break;
    case 5: case 6: case 7: case 8: send_chars(c); break;
    case 9: case 10: case 11: send_mouse(c); break;
    case 12: headless::resize_client(static_cast<int32_t>(1 + c.below(1600)), static_cast<int32_t>(1 + c.below(1200))); break;
    case 13: set_clipboard(c); break;
    case 14: set_transfer(c); break;
    case 15: queue_answer(c); break;
    default: drop_file(c); break;
  }
}

std::string InputDriver::step(Choices& c, bool whole_document) {
  ++sent_;
  // A dialog always finds an answer: a cancel unless one was chosen.
  if (headless::state.answers.empty()) headless::state.answers.push_back({headless::DialogAnswer::CANCEL, "", 0});
  allow_file_on_disk();
  try {
    send_one(c);
    if (!headless::drain_queue()) throw SessionEnded{};
    allow_file_on_disk();
  } catch (const SessionEnded&) {
    start();
    load(loaded_);
  }
  // A listing shows digits, its header and its path: all of them loaded.
  if (files.file_mode == FILE_MODE_HEX) allow("0123456789ABCDEF ;x hex listing of " + dir_ + "/loaded.txt");
  return broken_invariant(whole_document);
}

std::string InputDriver::check_save() {
  const std::string path = dir_ + "/saved.txt";
  const uint8_t mode = files.file_mode;
  char old_path[PATH_BYTES];
  std::memcpy(old_path, files.file_path, PATH_BYTES);
  set_path(path);
  files.file_mode = FILE_MODE_TEXT;
  // The check is of the bytes: both questions a save may ask are answered Yes.
  std::vector<headless::DialogAnswer> queued;
  queued.swap(headless::state.answers);
  headless::state.answers.assign(2, {headless::DialogAnswer::YES, "", 0});
  const bool saved = save_document();
  headless::state.answers.swap(queued);
  files.file_mode = mode;
  std::memcpy(files.file_path, old_path, PATH_BYTES);
  if (!saved) return "the text save failed";
  for (const char ch : read_file(path)) {
    if (!allowed_[static_cast<uint8_t>(ch)]) {
      return "the save holds byte " + std::to_string(static_cast<uint8_t>(ch)) + ", never typed, pasted or loaded";
    }
  }
  return "";
}

}  // namespace vusk::fuzz
