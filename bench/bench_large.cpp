// Editing a large document on the running editor: a 100 MB text of about
// 1.7 million CR LF lines, loaded as text from the command line, with the
// cursor on line 10 (the text is ASCII, so it shows as UTF-8; one figure is
// taken again in Shift_JIS mode), and a line of 1 MB of é. Each figure is one whole command as the window
// procedure runs it: the key or character through the router and the
// dispatcher, the edit, the redraw and the presentation. What puts the
// cursor back between commands is not timed.
//
//   bench_large --make-file FILE   writes the text
//   bench_large --peak-rss FILE    loads FILE as the editor does and prints
//                                  the peak resident memory and the file's
//                                  size, in bytes
//   bench_large [benchmark flags]  times the commands on
//                                  $VUSK_BENCH_FILES/large.txt, or else on
//                                  one made in a scratch directory under
//                                  /dev/shm (or /tmp)
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/headless/script_keys.h"
#include "backends/posix/posix_support.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "platform/messages.h"
#include "bench_files_dir.h"

using namespace vusk;

namespace {

constexpr size_t TEXT_BYTES = 100u << 20;
constexpr int32_t CURSOR_LINE = 10;
constexpr int32_t CURSOR_COLUMN = 5;

std::string text_file;

// Lines of 20 to 100 characters (about 60) of words, each ended by CR LF.
void make_text(const std::string& file) {
  static const char* const words[] = {"the", "quick", "brown", "fox", "jumps", "over", "lazy", "dog",
                                      "editor", "buffer", "line", "table", "of", "a", "text", "file"};
  std::mt19937 rng(42);
  std::string out;
  out.reserve(TEXT_BYTES + 256);
  while (out.size() < TEXT_BYTES) {
    const size_t target = 20 + rng() % 81;
    const size_t start = out.size();
    while (out.size() - start < target) {
      out += words[rng() % 16];
      out += ' ';
    }
    out += "\r\n";
  }
  std::ofstream(file, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

void expect(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "bench_large: %s\n", what);
  std::abort();
}

// Starts the editor on the text, as the command line would.
void start_editor() {
  reset_all_state();
  headless::reset();
  set_command_line(("vusk " + text_file).c_str());
  start_up_steps();
  expect(doc.last_line > 1000000, "the editor did not load the text");
}

// The cursor at (line, column) with line 0 at the top of the view, nothing
// selected, and the screen drawn and presented so.
void place_cursor(int32_t line, int32_t column) {
  view.top_line = 0;
  view.left_col = 0;
  view.cursor_row = static_cast<uint8_t>(line);
  view.cursor_col = static_cast<uint16_t>(column);
  view.cursor_abs_line = static_cast<uint32_t>(line);
  empty_selection(doc.text_buffer);
  sync_scroll_thumb();
  redraw_text_view();
  headless::send(WM_KEYUP, 'A', 0);
}

void press(const char* name) {
  for (const KeyMessage& m : parse_key(name).messages) headless::send(m.message, m.wparam, m.lparam);
}

// Times `command` once per iteration, with `before` run untimed ahead of it.
// Beside the mean, the counters give the median and the slowest command in
// microseconds: a tail move now and then shows in the mean, not the median.
template <typename Before, typename Command>
void time_commands(benchmark::State& state, Before before, Command command) {
  std::vector<double> times;
  for (auto _ : state) {
    before();
    const auto begin = std::chrono::steady_clock::now();
    command();
    const auto end = std::chrono::steady_clock::now();
    times.push_back(std::chrono::duration<double>(end - begin).count());
    state.SetIterationTime(times.back());
  }
  expect(check_document(), "the Document is broken");
  std::sort(times.begin(), times.end());
  state.counters["median_us"] = times[times.size() / 2] * 1e6;
  state.counters["max_us"] = times.back() * 1e6;
}

// Typing on line 10: the first byte fills the line's CR LF filler, the next
// moves the tail once and opens slack filler, the rest go in place.
void BM_TypeOnLine10(benchmark::State& state) {
  start_editor();
  place_cursor(CURSOR_LINE, CURSOR_COLUMN);
  time_commands(state, [] {}, [] { headless::send(WM_CHAR, 'x', 1); });
}

// The same in Shift_JIS mode, where a column is a byte: the text is ASCII,
// so it loads as UTF-8, and this is the figure to compare that one with.
void BM_TypeOnLine10ShiftJis(benchmark::State& state) {
  start_editor();
  doc.encoding = ENCODING_SHIFT_JIS;
  place_cursor(CURSOR_LINE, CURSOR_COLUMN);
  time_commands(state, [] {}, [] { headless::send(WM_CHAR, 'x', 1); });
}

// Typing é (two bytes, one character) at the end of a line of 1 MB of é, in
// `encoding`: the line's cells are never walked from its start again.
void type_at_end_of_long_line(benchmark::State& state, uint8_t encoding) {
  reset_all_state();
  headless::reset();
  set_command_line("vusk");
  start_up_steps();
  std::string line;
  for (size_t i = 0; i < (1u << 20) / 2; ++i) line += "\xC3\xA9";
  locate_line(0, 0);
  insert_at_cursor(reinterpret_cast<const uint8_t*>(line.data()), static_cast<uint32_t>(line.size()));
  doc.encoding = encoding;
  place_cursor(0, 0);
  press("End");
  time_commands(state, [] {}, [] {
    headless::send(WM_CHAR, 0xC3, 1);
    headless::send(WM_CHAR, 0xA9, 1);
  });
}
void BM_TypeAtEndOf1MBLine(benchmark::State& state) { type_at_end_of_long_line(state, ENCODING_UTF8); }
void BM_TypeAtEndOf1MBLineShiftJis(benchmark::State& state) {
  type_at_end_of_long_line(state, ENCODING_SHIFT_JIS);
}

// The whole view redrawn (44 rows of ASCII text), in `encoding`.
void redraw_view(benchmark::State& state, uint8_t encoding) {
  start_editor();
  doc.encoding = encoding;
  place_cursor(CURSOR_LINE, CURSOR_COLUMN);
  time_commands(state, [] {}, [] { redraw_text_view(); });
}
void BM_RedrawView(benchmark::State& state) { redraw_view(state, ENCODING_UTF8); }
void BM_RedrawViewShiftJis(benchmark::State& state) { redraw_view(state, ENCODING_SHIFT_JIS); }

// Enter held down on line 10: each splits the line the cursor went to.
void BM_EnterOnLine10(benchmark::State& state) {
  start_editor();
  place_cursor(CURSOR_LINE, CURSOR_COLUMN);
  time_commands(state, [] {}, [] { press("Enter"); });
}

void backspace_join(benchmark::State& state, uint8_t encoding) {
  start_editor();
  doc.encoding = encoding;
  time_commands(state, [] { place_cursor(CURSOR_LINE + 1, 0); }, [] { press("Backspace"); });
}
void BM_BackspaceJoinOnLine10(benchmark::State& state) { backspace_join(state, ENCODING_UTF8); }
void BM_BackspaceJoinOnLine10ShiftJis(benchmark::State& state) { backspace_join(state, ENCODING_SHIFT_JIS); }

// Delete with 1 MB selected from line 10 on.
void BM_DeleteSelection1MB(benchmark::State& state) {
  start_editor();
  const auto select = [] {
    place_cursor(CURSOR_LINE, 0);
    view.sel_anchor = view.sel_start = line_start(CURSOR_LINE);
    view.sel_head = view.sel_end = view.sel_start + (1u << 20);
  };
  time_commands(state, select, [] { press("Delete"); });
}

void BM_PageDown(benchmark::State& state) {
  start_editor();
  place_cursor(CURSOR_LINE, CURSOR_COLUMN);
  time_commands(state, [] {}, [] { press("PageDown"); });
}

void BM_CtrlEndToLastLine(benchmark::State& state) {
  start_editor();
  time_commands(state, [] { place_cursor(CURSOR_LINE, CURSOR_COLUMN); }, [] { press("ctrl+End"); });
}

BENCHMARK(BM_TypeOnLine10)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeOnLine10ShiftJis)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEndOf1MBLine)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TypeAtEndOf1MBLineShiftJis)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawView)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RedrawViewShiftJis)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EnterOnLine10)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BackspaceJoinOnLine10)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BackspaceJoinOnLine10ShiftJis)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeleteSelection1MB)->Iterations(10)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageDown)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CtrlEndToLastLine)->Iterations(100)->Repetitions(5)->UseManualTime()->Unit(benchmark::kMicrosecond);

// Loads `file` as the editor does at start-up and prints the peak resident
// memory and the file's size.
int print_peak_rss(const std::string& file) {
  text_file = file;
  start_editor();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%lld %llu\n", static_cast<long long>(usage.ru_maxrss) * 1024,
              static_cast<unsigned long long>(std::filesystem::file_size(file)));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--make-file") == 0) {
    make_text(argv[2]);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--peak-rss") == 0) return print_peak_rss(argv[2]);
  vusk::bench::BenchFilesDir files;
  if (!files.open([](const std::string& dir) { make_text(dir + "/large.txt"); })) return 1;
  text_file = files.dir() + "/large.txt";
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
