// Cost of undoing and redoing one typed byte in a 100 MB Document of
// 60-byte lines: in place into the filler of line 10, with a move of the
// whole tail from line 10, and on the last line. Each iteration times one
// undo and one redo of the same step.
#include <benchmark/benchmark.h>

#include <chrono>

#include "app/startup.h"
#include "editor/document.h"
#include "editor/undo.h"
#include "platform/platform.h"

using namespace vusk;

namespace {

constexpr uint32_t DOCUMENT_BYTES = 100u << 20;
constexpr uint32_t LINE_BYTES = 60;  // content and line feed (and one filler byte)

// Lines of 59 content bytes and a 0x0A, each followed by one 0x00 of filler
// when `filler` is set, up to about 100 MB; the history starts empty.
void build_document(bool filler) {
  reset_all_state();
  create_empty_document();
  const uint32_t stride = LINE_BYTES + (filler ? 1 : 0);
  const uint32_t lines = DOCUMENT_BYTES / stride;
  const uint32_t length = lines * stride + LINE_BYTES;
  free_block(doc.text_buffer);
  doc.text_capacity = length + (1u << 20);
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(doc.text_capacity));
  uint8_t* p = doc.text_buffer;
  for (uint32_t k = 0; k <= lines; ++k, p += stride) {
    for (uint32_t i = 0; i + 1 < LINE_BYTES; ++i) p[i] = static_cast<uint8_t>('a' + (k + i) % 26);
    p[LINE_BYTES - 1] = '\n';
    if (filler) p[LINE_BYTES] = 0;
  }
  p -= stride;
  p[LINE_BYTES - 1] = '\r';
  doc.text_length = static_cast<uint32_t>(p + LINE_BYTES - doc.text_buffer);
  doc.last_line = lines;
  rebuild_line_table(0);
  clear_history();
}

// Types 'X' at (line, 5) as one step, then times its undo and redo.
void time_undo_redo(benchmark::State& state, uint32_t line) {
  const uint8_t byte = 'X';
  begin_command();
  locate_line(line, 5);
  insert_at_cursor(&byte, 1);
  uint32_t at = 0;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    const bool done = undo_step(&at) && redo_step(&at);
    const auto end = std::chrono::steady_clock::now();
    if (!done) state.SkipWithError("no step to undo and redo");
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
  }
  const char* why = "";
  if (!check_document(&why)) state.SkipWithError(why);
}

void BM_UndoRedoInPlaceOnLine10(benchmark::State& state) {
  build_document(true);
  time_undo_redo(state, 10);
}

void BM_UndoRedoWithTailMoveOnLine10(benchmark::State& state) {
  build_document(false);
  time_undo_redo(state, 10);
}

void BM_UndoRedoOnLastLine(benchmark::State& state) {
  build_document(false);
  time_undo_redo(state, doc.last_line);
}

}  // namespace

BENCHMARK(BM_UndoRedoInPlaceOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoWithTailMoveOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoOnLastLine)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
