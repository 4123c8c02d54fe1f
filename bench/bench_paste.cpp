// The column paste against the ordinary paste of the same transfer file: a
// 1 MB file of 17,720 CR LF lines pasted at column 5 of line 10 of the
// 100 MB Document (60-byte lines with their filler), and the undo and redo
// of each; and both pastes once more right after a load, when the text
// must first move into a larger block. The editor runs headless: Shift+Insert, Ctrl+Z and Ctrl+Y go
// through the window procedure, the column paste is the Edit menu's action
// with its redraw. What puts the text back between iterations is not timed.
// bench/compare-paste.sh gives the ratios.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "backends/posix/posix_support.h"
#include "document_builder.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/transfer.h"
#include "platform/messages.h"

using namespace vusk;

namespace {

constexpr uint32_t TRANSFER_LINES = 17720;
constexpr uint32_t TRANSFER_LINE_BYTES = 57;  // and CR LF: 1 MB in all
constexpr int32_t CURSOR_LINE = 10;
constexpr int32_t CURSOR_COLUMN = 5;

std::string transfer_file;

void expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "bench_paste: %s\n", what);
  std::abort();
}

void write_transfer_file() {
  std::string line(TRANSFER_LINE_BYTES, 'T');
  line += "\r\n";
  std::ofstream out(transfer_file, std::ios::binary);
  for (uint32_t k = 0; k < TRANSFER_LINES; ++k) out << line;
}

// The editor started headless on the 100 MB Document, with the transfer
// file in place and no history.
void start_editor() {
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  start_up_steps();
  vusk::bench::fill_document(true);
  expect(set_transfer_path(transfer_file.c_str()), "the transfer file's path is too long");
  clear_history();
}

// The cursor at (CURSOR_LINE, CURSOR_COLUMN) with line 0 at the top, nothing
// selected, the screen drawn and presented.
void place_cursor() {
  view.top_line = 0;
  view.left_col = 0;
  view.cursor_row = static_cast<uint8_t>(CURSOR_LINE);
  view.cursor_col = static_cast<uint16_t>(CURSOR_COLUMN);
  view.cursor_abs_line = static_cast<uint32_t>(CURSOR_LINE);
  locate_cursor(view.cursor_row, view.cursor_col);
  empty_selection(doc.cursor_ptr);
  sync_scroll_thumb();
  redraw_text_view();
  headless::send(WM_KEYUP, 'A', 0);
}

// The text block as a load leaves it, with only the spare room of a
// reallocation: the next paste must move the text into a larger block.
void leave_block_as_loaded() {
  const uint32_t size = doc.text_length + TEXT_SPARE_BYTES;
  auto* block = static_cast<uint8_t*>(alloc_or_exit(size));
  std::memcpy(block, doc.text_buffer, doc.text_length);
  free_block(doc.text_buffer);
  doc.text_buffer = block;
  doc.text_capacity = size;
}

void press(const char* name) {
  for (const KeyMessage& m : parse_key(name).messages) headless::send(m.message, m.wparam, m.lparam);
}

void shift_insert() { press("shift+Insert"); }
void column_paste() { paste_column(); }
void undo() { press("ctrl+z"); }
void redo() { press("ctrl+y"); }
void nothing() {}

// Per iteration: `before` untimed, `timed` timed (it must change the
// text's length), then `after` untimed, which must leave the text as it was.
void time_step(benchmark::State& state, void (*before)(), void (*timed)(), void (*after)(), bool as_loaded = false) {
  start_editor();
  const uint32_t length = doc.text_length;
  for (auto _ : state) {
    if (as_loaded) leave_block_as_loaded();
    place_cursor();
    before();
    const uint32_t was = doc.text_length;
    const auto begin = std::chrono::steady_clock::now();
    timed();
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    expect(doc.text_length != was, "the timed command changed nothing");
    after();
  }
  expect(check_document(), "the Document is broken");
  expect(doc.text_length == length, "the text did not come back to its length");
}

void BM_ShiftInsert(benchmark::State& state) { time_step(state, nothing, shift_insert, undo); }
void BM_ShiftInsertUndo(benchmark::State& state) { time_step(state, shift_insert, undo, nothing); }
void BM_ShiftInsertRedo(benchmark::State& state) {
  time_step(state, [] { shift_insert(); undo(); }, redo, undo);
}
void BM_ShiftInsertAsLoaded(benchmark::State& state) { time_step(state, nothing, shift_insert, undo, true); }
void BM_ColumnPasteAsLoaded(benchmark::State& state) { time_step(state, nothing, column_paste, undo, true); }
void BM_ColumnPaste(benchmark::State& state) { time_step(state, nothing, column_paste, undo); }
void BM_ColumnPasteUndo(benchmark::State& state) { time_step(state, column_paste, undo, nothing); }
void BM_ColumnPasteRedo(benchmark::State& state) {
  time_step(state, [] { column_paste(); undo(); }, redo, undo);
}

}  // namespace

BENCHMARK(BM_ShiftInsert)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftInsertUndo)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftInsertRedo)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ShiftInsertAsLoaded)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnPasteAsLoaded)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnPaste)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnPasteUndo)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColumnPasteRedo)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  char pattern[] = "/dev/shm/vusk-paste-XXXXXX";
  char fallback[] = "/tmp/vusk-paste-XXXXXX";
  const char* dir = mkdtemp(pattern) != nullptr ? pattern : mkdtemp(fallback);
  if (dir == nullptr) return 1;
  transfer_file = std::string(dir) + "/VUSK.TMP";
  write_transfer_file();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(dir);
  return 0;
}
