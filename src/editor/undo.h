// The undo history: the raw changes of the Document's text block, reported
// by its primitives before they change it, grouped into steps (one per
// command, or one run of typing on a line), and the undo and redo that swap
// them back and forth. It also knows where the last save or load left the
// history, for the modified flag. Editor layer: the Document and the
// dispatcher record into it; the app and the files may ask it about the
// saved state.
#pragma once
#include <cstdint>

namespace vusk {

// The history keeps at least this many steps or this much undo data,
// whichever is less; beyond both, the oldest steps go first.
constexpr uint32_t UNDO_MAX_STEPS = 10000;
constexpr uint64_t UNDO_MAX_BYTES = uint64_t{64} << 20;

// Called by a primitive just before it changes the text: the `removed`
// bytes from `offset` on (offset from text_buffer) are about to be replaced
// by `inserted` bytes, and the edit's cursor will stand at offset + advance.
// Writes into the inserted bytes that follow at once (the contents of a gap
// that make_room opened) belong to the same change.
void record_change(uint32_t offset, uint32_t removed, uint32_t inserted, uint32_t advance);

// A command begins: its changes form a step of their own, unless it types
// on at the end of a typing run.
void begin_command();
// A typed byte goes in at (line, column) of the text grid: when the last
// command typed and left the cursor exactly there, its step takes this one too.
void continue_typing_run(uint32_t line, uint32_t column);
// ... and the typing run now ends at (line, column).
void end_typing_run(uint32_t line, uint32_t column);

// Takes back the newest step still done, or does again the step undone last.
// False when there is none; otherwise *cursor_offset is where the cursor
// belongs: the start of the step's first change after an undo, the place
// its last change left the cursor after a redo. Both report the move to
// history_listener.
bool undo_step(uint32_t* cursor_offset);
bool redo_step(uint32_t* cursor_offset);

// Forgets every step: a loaded or new Document starts without history, and
// counts as saved.
void clear_history();
// The Document was saved: the history's place now is the saved state.
void note_saved_state();
// Whether the Document is in the state that the last save or load left
// (undo and redo can lead back to it; a change after an undo past it can not).
bool at_saved_state();
// Told after every undo and redo whether the history stands at the saved
// state; the modified flag follows through it. Null drops the report.
extern void (*history_listener)(bool at_saved);

// Steps that undo can take back, that redo can do again, and the bytes the
// history holds (the changes' bytes plus their bookkeeping).
uint32_t undo_step_count();
uint32_t redo_step_count();
uint64_t history_bytes();

// Frees the history and drops the listener (the Document is being reset).
void reset_history_state();

}  // namespace vusk
