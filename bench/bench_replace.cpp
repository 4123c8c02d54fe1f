// Replace All on a 100 MB text of about 60-byte CR LF lines of common words
// with 92,000 occurrences of "needle", each replaced by "pin": the whole
// Shift+Enter in the replace field on the running editor with the file
// loaded (key, dispatcher, the matches found, the new text built, the
// LineTable re-indexed, the history's step, the view redrawn and
// presented), and its undo. Each timed run starts from the loaded text.
//
//   bench_replace --make-file FILE  writes the text
//   bench_replace [benchmark flags] times it on $VUSK_BENCH_FILES/replace.txt,
//                                   or on one made in a scratch directory
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/posix/posix_support.h"
#include "commands/command_keys.h"
#include "editor/document.h"
#include "screens/panel_ids.h"
#include "editor/text_view.h"
#include "editor/undo.h"
#include "files/search.h"
#include "platform/messages.h"
#include "widgets/status.h"
#include "widgets/widget_table.h"
#include "bench_files_dir.h"

using namespace vusk;

namespace {

constexpr size_t TEXT_BYTES = 100u << 20;
constexpr uint32_t NEEDLES = 92000;
constexpr char NEEDLE[] = "needle";
constexpr char PIN[] = "pin";

const char* const WORDS[] = {"the", "of", "and", "to", "in", "is", "it", "that", "was", "for", "on", "are",
                             "with", "as", "they", "be", "at", "one", "have", "this", "from", "or", "had",
                             "by", "word", "but", "what", "some", "we", "can", "out", "other", "were", "all"};

// A line of about 60 bytes; the needle stands in it when asked for.
std::string make_line(std::mt19937& rng, bool needle) {
  std::string line;
  const size_t target = 30 + rng() % 61;
  while (line.size() < target) {
    if (needle && rng() % 4 == 0) {
      line += NEEDLE;
      line += ' ';
      needle = false;
    }
    line += WORDS[rng() % std::size(WORDS)];
    line += ' ';
  }
  if (needle) line += NEEDLE;
  return line + "\r\n";
}

void make_text(const std::string& file) {
  std::mt19937 rng(7);
  std::string out;
  out.reserve(TEXT_BYTES + 256);
  const size_t spacing = TEXT_BYTES / NEEDLES;  // one needle in every stretch of this many bytes
  uint32_t placed = 0;
  while (out.size() < TEXT_BYTES) {
    const bool needle = placed < NEEDLES && out.size() >= placed * spacing;
    out += make_line(rng, needle);
    placed += needle ? 1 : 0;
  }
  std::ofstream(file, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

void expect(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "bench_replace: %s\n", what);
  std::abort();
}

uint32_t loaded_length;  // the text's length as loaded: each run starts from it

void set_field(char* field, const char* text) {
  std::memset(field, ' ', FIND_PATTERN_CHARS);
  std::memcpy(field, text, std::strlen(text));
}

// The editor on `file`, the replace bar open with "needle" and "pin", the
// focus in the replace field.
void start_editor(const std::string& file) {
  reset_all_state();
  headless::reset();
  set_command_line(("vusk " + file).c_str());
  start_up_steps();
  expect(doc.text_length > TEXT_BYTES, "the editor did not load the text");
  set_field(find_pattern, NEEDLE);
  set_field(replace_pattern, PIN);
  show_panel_by_id(PANEL_REPLACE_BAR);
  wt.focus_widget = first_slot_of(PANEL_REPLACE_BAR) + 4;
  loaded_length = doc.text_length;
}

// Shift+Enter as Windows delivers it.
void press_shift_enter() {
  headless::send(WM_KEYDOWN, VK_SHIFT, 1);
  headless::send(WM_KEYDOWN, VK_RETURN, 1);
  headless::send(WM_CHAR, '\r', 1);
  headless::send(WM_KEYUP, VK_RETURN, 0xC0000001);
  headless::send(WM_KEYUP, VK_SHIFT, 0xC0000001);
}

void undo() { run_command(SYNTHETIC_FLAG | SYNTHETIC_CTRL | CHAR_CTRL_Z); }

void replace_all_checked(uint32_t length) {
  status.status_text = nullptr;
  press_shift_enter();
  expect(status.status_text != nullptr && std::strcmp(status.status_text, "92000 replaced.") == 0,
         "Replace All did not replace every needle");
  expect(doc.text_length == length - NEEDLES * (sizeof NEEDLE - sizeof PIN), "the text has the wrong length");
}

void BM_ReplaceAll(benchmark::State& state) {
  const uint32_t length = loaded_length;
  for (auto _ : state) {
    state.PauseTiming();
    if (doc.text_length != length) undo();
    state.ResumeTiming();
    replace_all_checked(length);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * length));
}

void BM_UndoReplaceAll(benchmark::State& state) {
  const uint32_t length = loaded_length;
  for (auto _ : state) {
    state.PauseTiming();
    if (doc.text_length == length) replace_all_checked(length);
    state.ResumeTiming();
    undo();
    expect(doc.text_length == length, "the undo did not bring the text back");
  }
}

BENCHMARK(BM_ReplaceAll)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_UndoReplaceAll)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--make-file") == 0) {
    make_text(argv[2]);
    return 0;
  }
  vusk::bench::BenchFilesDir files;
  if (!files.open([](const std::string& dir) { make_text(dir + "/replace.txt"); })) return 1;
  start_editor(files.dir() + "/replace.txt");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
