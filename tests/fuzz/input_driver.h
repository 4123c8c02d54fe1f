// Drives the whole input path of a headless editor from a stream of
// choices: keys with modifiers, characters (control bytes and double-byte
// pairs), clicks, drags, the wheel, resizes, dialog answers, clipboard texts
// and transfer-file contents. After every message the Document and the view
// invariants are checked; a text save may hold only bytes that were typed,
// pasted or loaded. Used by the input fuzzer and the soak run. A File menu
// quit ends the session, and a new one starts on the same text.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

namespace vusk::fuzz {

// Where the driver's choices come from: fuzz input or a random generator.
// below(n) is a number from 0 to n - 1; exhausted() ends the run.
struct Choices {
  std::function<uint32_t(uint32_t)> below;
  std::function<bool()> exhausted;
};

// One editor session in a scratch directory of its own, started on the
// given file bytes as a loaded text.
class InputDriver {
 public:
  explicit InputDriver(const std::string& scratch_dir);
  // Loads `bytes` as the Document; they become allowed save bytes.
  void load(const std::string& bytes);
  // Sends one message chosen by `c`; returns a description of the first
  // broken invariant, or "" when all hold. The view's invariants are always
  // checked, the Document's (a rebuild of its LineTable) when asked.
  std::string step(Choices& c, bool whole_document = true);
  // Saves as text and checks the bytes; "" when they are all allowed.
  std::string check_save();
  // Messages sent so far.
  uint64_t messages() const { return sent_; }

 private:
  void start();
  void allow_file_on_disk();
  void send_one(Choices& c);
  void send_key(Choices& c);
  void send_chars(Choices& c);
  void send_mouse(Choices& c);
  void set_clipboard(Choices& c);
  void set_transfer(Choices& c);
  void drop_file(Choices& c);
  void queue_answer(Choices& c);
  std::string random_text(Choices& c, uint32_t max);
  void allow(const std::string& bytes);
  std::string dir_;
  std::string loaded_;
  std::string seen_file_;
  bool allowed_[256] = {};
  uint64_t sent_ = 0;
};

// The invariants between two messages; "" when all hold.
std::string broken_invariant(bool whole_document);

}  // namespace vusk::fuzz
