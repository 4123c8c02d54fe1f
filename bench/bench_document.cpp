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
#include "app/startup.h"

using namespace vusk;

namespace {

constexpr uint32_t DOCUMENT_BYTES = 100u << 20;
constexpr uint32_t LINE_BYTES = 60;  // content and line feed (and one filler byte)

// Builds the Document in memory: lines of 59 content bytes and a 0x0A, each
// followed by one 0x00 of filler when `filler` is set, up to about 100 MB.
void build_document(bool filler) {
  reset_all_state();
  create_empty_document();
  const uint32_t stride = LINE_BYTES + (filler ? 1 : 0);
  const uint32_t lines = DOCUMENT_BYTES / stride;
  const uint32_t length = lines * stride + LINE_BYTES;
  free_block(doc.text_buffer);
  doc.text_capacity = length + (1u << 20);  // spare room: no reallocation while timing
  doc.text_buffer = static_cast<uint8_t*>(alloc_or_exit(doc.text_capacity));
  uint8_t* p = doc.text_buffer;
  for (uint32_t k = 0; k <= lines; ++k, p += stride) {
    for (uint32_t i = 0; i + 1 < LINE_BYTES; ++i) p[i] = static_cast<uint8_t>('a' + (k + i) % 26);
    p[LINE_BYTES - 1] = '\n';
    if (filler) p[LINE_BYTES] = 0;
  }
  // The last line: 59 bytes and the end marker instead of a line feed.
  p -= stride;
  p[LINE_BYTES - 1] = '\r';
  doc.text_length = static_cast<uint32_t>(p + LINE_BYTES - doc.text_buffer);
  doc.last_line = lines;
  rebuild_line_table(0);
}

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
