// The undo history. Each change holds the bytes that stood at its place
// before it ran; applying a change swaps the bytes now in the text with the
// held ones, so the same routine undoes and redoes, and the history holds
// only one side of each change at a time. Offsets, never pointers, are
// kept: the text block may move. Every swap re-indexes through
// reindex_after_splice, so its cost follows the change, not the Document.
#include "editor/undo.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <vector>

#include "editor/cells.h"
#include "editor/document.h"
#include "platform/platform.h"

namespace vusk {

void (*history_listener)(bool at_saved) = nullptr;

namespace {

// One raw change: `present` bytes stand at `offset`, and `held` are the
// bytes to put there instead to go the other way.
struct Change {
  uint32_t offset;
  uint32_t present;
  std::vector<uint8_t> held;
};

struct Step {
  uint64_t id;
  std::vector<Change> changes;
  uint32_t first_at;  // start of the first change: the cursor after an undo
  uint32_t end_at;    // where the last change left the cursor: after a redo
  uint64_t bytes;
};

// A typing run: the last command typed a byte and left the cursor at
// (line, column); `pending` carries that over the start of the next command.
struct TypingRun {
  bool open, pending;
  uint32_t line, column;
};

constexpr uint64_t UNREACHABLE = UINT64_MAX;
constexpr uint64_t CHANGE_OVERHEAD = sizeof(Change);
constexpr uint64_t STEP_OVERHEAD = sizeof(Step);

struct History {
  std::deque<Step> steps;
  size_t applied;    // steps[0, applied) are done, the rest undone
  uint64_t base_id;  // names the state before steps[0]
  uint64_t next_id;
  uint64_t saved_id;  // the state of the last save or load, or UNREACHABLE
  uint64_t bytes;
  bool step_open;  // the next change joins the newest step
  TypingRun run;
};
History history;

// The name of the state the Document is in: the last step done.
uint64_t position_id() { return history.applied == 0 ? history.base_id : history.steps[history.applied - 1].id; }

// Makes room for `extra` more used bytes, moving the text to a larger block
// when needed (with the spare room a reallocation always gets).
void grow_text_block(uint32_t extra) {
  const uint64_t need = uint64_t{doc.text_length} + extra;
  if (need < doc.text_capacity) return;
  const uint64_t size = need + TEXT_SPARE_BYTES;
  if (size > UINT32_MAX) exit_process(1);  // as any refused allocation of the Document
  auto* block = static_cast<uint8_t*>(alloc_or_exit(static_cast<size_t>(size)));
  std::memcpy(block, doc.text_buffer, doc.text_length);
  free_block(doc.text_buffer);
  doc.text_buffer = block;
  doc.text_capacity = static_cast<uint32_t>(size);
}

// Replaces the `removed` bytes at `offset` by `count` bytes, moving the rest
// of the text, and re-indexes.
void splice(uint32_t offset, uint32_t removed, const uint8_t* bytes, uint32_t count) {
  if (count > removed) grow_text_block(count - removed);
  uint8_t* at = doc.text_buffer + offset;
  if (count != removed) std::memmove(at + count, at + removed, doc.text_length - offset - removed);
  if (count != 0) std::memcpy(at, bytes, count);
  doc.text_length = doc.text_length - removed + count;
  reindex_after_splice(offset, removed, count);
}

// Swaps the bytes standing at the change's place with the held ones.
void apply(Change& c) {
  forget_cells_from(c.offset);
  const uint8_t* at = doc.text_buffer + c.offset;
  std::vector<uint8_t> taken(at, at + c.present);
  splice(c.offset, c.present, c.held.data(), static_cast<uint32_t>(c.held.size()));
  c.present = static_cast<uint32_t>(c.held.size());
  c.held.swap(taken);
}

bool pure_overwrite(const Change& c) { return c.present == c.held.size(); }

// Joins `next` onto `last` when one change can stand for both: `next`
// starts right behind what `last` put in, or both only overwrite ranges
// that touch (each byte then keeps its oldest value).
bool merge(Change& last, const Change& next) {
  if (next.offset == last.offset + last.present) {
    last.present += next.present;
    last.held.insert(last.held.end(), next.held.begin(), next.held.end());
    return true;
  }
  if (!pure_overwrite(last) || !pure_overwrite(next)) return false;
  const uint32_t a1 = last.offset, b1 = last.offset + last.present;
  const uint32_t a2 = next.offset, b2 = next.offset + next.present;
  if (a2 > b1 || a1 > b2) return false;
  // Typing goes forwards, so the held bytes mostly grow at their end only.
  if (a2 < a1) last.held.insert(last.held.begin(), next.held.begin(), next.held.begin() + (a1 - a2));
  if (b2 > b1) last.held.insert(last.held.end(), next.held.end() - (b2 - b1), next.held.end());
  last.offset = std::min(a1, a2);
  last.present = std::max(b1, b2) - last.offset;
  return true;
}

void drop_newest() {
  history.bytes -= history.steps.back().bytes;
  history.steps.pop_back();
}

void drop_oldest() {
  history.base_id = history.steps.front().id;
  history.bytes -= history.steps.front().bytes;
  history.steps.pop_front();
  history.applied -= 1;
}

// The oldest steps go while the rest would still keep the step count or
// the data bound; the newest step always stays.
void trim() {
  while (history.steps.size() > 1 && history.applied > 0 &&
         (history.steps.size() - 1 >= UNDO_MAX_STEPS ||
          history.bytes - history.steps.front().bytes >= UNDO_MAX_BYTES)) {
    drop_oldest();
  }
}

// The step a change joins: the newest one while it is open, else a new one,
// after dropping the steps undone (a new change ends the way back to them).
Step& step_for_change(uint32_t offset) {
  if (history.step_open) return history.steps.back();
  if (history.saved_id > position_id()) history.saved_id = UNREACHABLE;
  while (history.steps.size() > history.applied) drop_newest();
  history.steps.push_back(Step{history.next_id++, {}, offset, offset, STEP_OVERHEAD});
  history.bytes += STEP_OVERHEAD;
  history.applied = history.steps.size();
  history.step_open = true;
  return history.steps.back();
}

void close_step() {
  history.step_open = false;
  history.run = TypingRun{};
}

void report_move() {
  if (history_listener != nullptr) history_listener(at_saved_state());
}

// Applies every change of `s`, newest first for an undo; keeps the byte
// count in step with the bytes now held.
void apply_step(Step& s, bool backwards) {
  uint64_t held = 0;
  if (backwards) {
    for (auto c = s.changes.rbegin(); c != s.changes.rend(); ++c) apply(*c);
  } else {
    for (Change& c : s.changes) apply(c);
  }
  for (const Change& c : s.changes) held += c.held.size() + CHANGE_OVERHEAD;
  history.bytes = history.bytes - s.bytes + STEP_OVERHEAD + held;
  s.bytes = STEP_OVERHEAD + held;
}

// Leaves the cursor-location record on the changed place, so that nothing
// reads a pointer into bytes the step took away.
void leave_record_at(uint32_t offset) {
  doc.cursor_ptr = doc.text_buffer + offset;
  doc.pad_spaces = doc.pad_newlines = 0;
  doc.cursor_line = line_of_pointer(doc.cursor_ptr);
}

}  // namespace

void record_change(uint32_t offset, uint32_t removed, uint32_t inserted, uint32_t advance) {
  if (removed == 0 && inserted == 0) return;
  forget_cells_from(offset);
  Step& s = step_for_change(offset);
  const uint8_t* at = doc.text_buffer + offset;
  Change c{offset, inserted, std::vector<uint8_t>(at, at + removed)};
  const uint64_t before = s.changes.empty() ? 0 : s.changes.back().held.size();
  if (!s.changes.empty() && merge(s.changes.back(), c)) {
    const uint64_t grown = s.changes.back().held.size() - before;
    s.bytes += grown;
    history.bytes += grown;
  } else {
    const uint64_t size = c.held.size() + CHANGE_OVERHEAD;
    s.changes.push_back(std::move(c));
    s.bytes += size;
    history.bytes += size;
  }
  s.end_at = offset + advance;
  trim();
}

void begin_command() {
  history.run.pending = history.run.open;
  history.run.open = false;
  history.step_open = false;
}

void continue_typing_run(uint32_t line, uint32_t column) {
  const TypingRun& r = history.run;
  if (!r.pending || r.line != line || r.column != column) return;
  if (history.steps.empty() || history.applied != history.steps.size()) return;
  history.step_open = true;
}

void end_typing_run(uint32_t line, uint32_t column) { history.run = TypingRun{true, false, line, column}; }

bool undo_step(uint32_t* cursor_offset) {
  close_step();
  if (history.applied == 0) return false;
  Step& s = history.steps[history.applied - 1];
  apply_step(s, true);
  history.applied -= 1;
  *cursor_offset = s.first_at;
  leave_record_at(s.first_at);
  report_move();
  return true;
}

bool redo_step(uint32_t* cursor_offset) {
  close_step();
  if (history.applied == history.steps.size()) return false;
  Step& s = history.steps[history.applied];
  apply_step(s, false);
  history.applied += 1;
  *cursor_offset = s.end_at;
  leave_record_at(s.end_at);
  report_move();
  return true;
}

void clear_history() {
  history.steps.clear();
  history.applied = 0;
  history.bytes = 0;
  history.base_id = history.next_id++;
  history.saved_id = history.base_id;
  close_step();
}

void note_saved_state() {
  history.saved_id = position_id();
  close_step();  // typing on after a save is a step of its own
}

bool at_saved_state() { return history.saved_id == position_id(); }

uint32_t undo_step_count() { return static_cast<uint32_t>(history.applied); }
uint32_t redo_step_count() { return static_cast<uint32_t>(history.steps.size() - history.applied); }
uint64_t history_bytes() { return history.bytes; }

void reset_history_state() {
  history_listener = nullptr;  // the app installs it again when it wires the layers
  history.steps = std::deque<Step>{};
  history.applied = 0;
  history.bytes = 0;
  history.base_id = history.saved_id = 0;
  history.next_id = 1;
  close_step();
}

}  // namespace vusk
