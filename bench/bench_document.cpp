// Cost of one typed byte in a 100 MB Document of 60-byte lines: in place
// into the filler of line 10, on line 10 without filler (with and without
// slack filler opened by the tail move), and on the last line. Only the
// insertion itself is timed; the undo that restores the starting layout
// between iterations is not.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>

#include "editor/document.h"
#include "platform/platform.h"
#include "document_builder.h"
#include "app/startup.h"

using namespace vusk;
using vusk::bench::build_document;
using vusk::bench::LINE_BYTES;
using vusk::bench::DOCUMENT_BYTES;

namespace {


// Times one insertion of 'X' at (line, 5) per iteration; `undo` runs untimed.
template <typename Undo>
void time_insertions(benchmark::State& state, uint32_t line, Undo undo) {
  const uint8_t byte = 'X';
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    locate_line(line, 5);
    insert_at_cursor(&byte, 1);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    undo();
  }
  const char* why = "";
  if (!check_document(&why)) state.SkipWithError(why);
}

void BM_InsertInPlaceOnLine10(benchmark::State& state) {
  build_document(true);
  // Deleting the byte again gives the filler byte back.
  time_insertions(state, 10, [] { delete_byte_at(10, 5); });
}

void BM_InsertWithTailMoveOnLine10(benchmark::State& state) {
  build_document(false);
  // Line 10 simply grows: the first insertion moves the tail and opens slack
  // filler behind the line, the next ones go in place.
  time_insertions(state, 10, [] {});
}

void BM_InsertWithTailMoveNoSlackOnLine10(benchmark::State& state) {
  build_document(false);
  // Without slack the tail moves on every insertion; the LineTable's later
  // entries only shift.
  doc_tuning.slack_tail_bytes = UINT32_MAX;
  time_insertions(state, 10, [] {});
}

void BM_InsertOnLastLine(benchmark::State& state) {
  build_document(false);
  // Closing the gap again keeps the last line and the text from growing.
  time_insertions(state, doc.last_line, [] {
    delete_selected_text(doc.cursor_ptr - 1, doc.cursor_ptr);
  });
}

}  // namespace

BENCHMARK(BM_InsertInPlaceOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertWithTailMoveOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertWithTailMoveNoSlackOnLine10)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InsertOnLastLine)->UseManualTime()->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
