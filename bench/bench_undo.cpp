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
#include "document_builder.h"

using namespace vusk;
using vusk::bench::LINE_BYTES;
using vusk::bench::DOCUMENT_BYTES;

namespace {

// The benchmark Document, its history empty.
void build_undo_document(bool filler) {
  vusk::bench::build_document(filler);
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
  build_undo_document(true);
  time_undo_redo(state, 10);
}

void BM_UndoRedoWithTailMoveOnLine10(benchmark::State& state) {
  build_undo_document(false);
  time_undo_redo(state, 10);
}

void BM_UndoRedoOnLastLine(benchmark::State& state) {
  build_undo_document(false);
  time_undo_redo(state, doc.last_line);
}

}  // namespace

BENCHMARK(BM_UndoRedoInPlaceOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoWithTailMoveOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoRedoOnLastLine)->UseManualTime()->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
