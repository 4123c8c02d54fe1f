// Searching a 100 MB document: a pattern that is nowhere in it, forwards from
// the top (with and without case folding) and backwards from the end, and a
// word that stands once, 50 MB ahead. The text is about 60-byte lines of
// common English words, CR LF, held as the Document holds it (each CR LF a
// '\n' and a NUL of filler, a CR end marker). The plain scan that tries every
// candidate in turn, and the routine without SSE2, are timed beside it for
// scale. The BM_Command cases time the whole F3 instead, on the running
// editor with the file loaded: the key through the window procedure and the
// dispatcher, the search, the view moved to the match and redrawn (or the
// status message drawn), and the dirty rectangle presented.
//
//   bench_search --make-file FILE  writes the text
//   bench_search --patterns        prints the patterns that never match, one
//                                  a line, in the order of the benchmarks'
//                                  arguments
//   bench_search [benchmark flags] times the routines on the text in
//                                  $VUSK_BENCH_FILES/search.txt, or else on
//                                  one made in a scratch directory under
//                                  /dev/shm (or /tmp)
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "backends/posix/posix_support.h"
#include "editor/document.h"
#include "editor/text_view.h"
#include "files/search.h"
#include "files/text_search.h"
#include "platform/messages.h"
#include "widgets/status.h"
#include "bench_files_dir.h"

using namespace vusk;

namespace {

constexpr size_t TEXT_BYTES = 100u << 20;
constexpr size_t NEEDLE_AT = 50u << 20;
constexpr char NEEDLE[] = "needle";

// None of these occurs in the text, in either case: each word of the text is
// followed by a space or a line end, never by an 's'.
const char* const NO_MATCH[] = {"pictures", "houses", "every animals"};
constexpr int NO_MATCH_COUNT = static_cast<int>(std::size(NO_MATCH));

const char* const WORDS[] = {
    "the",   "of",     "and",    "to",     "in",      "is",     "it",    "that",  "was",    "for",
    "on",    "are",    "with",   "as",     "they",    "be",     "at",    "one",   "have",   "this",
    "from",  "or",     "had",    "by",     "word",    "but",    "what",  "some",  "we",     "can",
    "out",   "other",  "were",   "all",    "there",   "when",   "up",    "use",   "your",   "how",
    "said",  "each",   "which",  "do",     "their",   "time",   "if",    "will",  "way",    "about",
    "many",  "then",   "them",   "write",  "would",   "like",   "so",    "these", "her",    "long",
    "make",  "thing",  "see",    "him",    "two",     "has",    "look",  "more",  "day",    "could",
    "go",    "come",   "did",    "number", "sound",   "no",     "most",  "people", "my",    "over",
    "know",  "water",  "than",   "call",   "first",   "who",    "may",   "down",  "side",   "been",
    "now",   "find",   "new",    "work",   "part",    "take",   "get",   "place", "made",   "live",
    "where", "after",  "back",   "little", "only",    "round",  "man",   "year",  "came",   "show",
    "every", "good",   "give",   "our",    "under",   "name",   "very",  "through", "just", "form",
    "great", "think",  "help",   "low",    "line",    "turn",   "cause", "much",  "mean",   "before",
    "move",  "right",  "boy",    "old",    "too",     "same",   "tell",  "does",  "set",    "three",
    "want",  "air",    "well",   "also",   "play",    "small",  "end",   "put",   "home",   "read",
    "hand",  "port",   "large",  "spell",  "add",     "even",   "land",  "here",  "must",   "big",
    "high",  "such",   "follow", "act",    "why",     "ask",    "men",   "change", "went",  "light",
    "kind",  "off",    "need",   "house",  "picture", "try",    "us",    "again", "animal", "point",
    "mother", "world", "near",   "build",  "self",    "earth",  "father", "quick", "jump",  "zone"};

// One line of 20 to 100 characters (about 60): words, the first of a
// sentence capitalized, a full stop now and then.
std::string make_line(std::mt19937& rng) {
  std::string line;
  const size_t target = 20 + rng() % 81;
  bool sentence_start = true;
  while (line.size() < target) {
    std::string word = WORDS[rng() % std::size(WORDS)];
    if (sentence_start) word[0] = static_cast<char>(word[0] - 'a' + 'A');
    sentence_start = rng() % 8 == 0;
    line += word;
    line += sentence_start ? ". " : " ";
  }
  return line;
}

void make_text(const std::string& file) {
  std::mt19937 rng(42);
  std::string out;
  out.reserve(TEXT_BYTES + 256);
  bool needle_placed = false;
  while (out.size() < TEXT_BYTES) {
    if (!needle_placed && out.size() >= NEEDLE_AT) {
      out += std::string("a ") + NEEDLE + " in a haystack\r\n";
      needle_placed = true;
    }
    out += make_line(rng) + "\r\n";
  }
  std::ofstream(file, std::ios::binary).write(out.data(), static_cast<std::streamsize>(out.size()));
}

std::vector<uint8_t> text;  // the document's bytes, end marker included

// Reads `file` and turns it into the Document's form, as a load does.
void load_text(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') continue;
    text[i] = '\n';
    if (i + 1 < text.size() && text[i + 1] == '\n') text[++i] = 0;
  }
  text.push_back('\r');
}

int64_t search(const char* pattern, int64_t from, bool backwards, bool fold, bool utf8 = false) {
  return find_match(text.data(), text.size(), from, backwards, reinterpret_cast<const uint8_t*>(pattern),
                    std::strlen(pattern), fold, nullptr, utf8);
}

// The plain scan: every candidate in turn, compared until its first mismatch.
int64_t plain_scan(const char* pattern, bool fold) {
  const size_t n = std::strlen(pattern);
  const auto* pat = reinterpret_cast<const uint8_t*>(pattern);
  for (size_t p = 0; p + n < text.size(); ++p) {
    if (text[p] == 0 || text[p] == '\n') continue;
    size_t i = 0;
    while (i < n && bytes_match(text[p + i], pat[i], fold)) ++i;
    if (i == n) return static_cast<int64_t>(p);
  }
  return -1;
}

void expect(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "bench_search: %s\n", what);
  std::abort();
}

void BM_SearchNoMatch(benchmark::State& state) {
  const char* pattern = NO_MATCH[state.range(0)];
  for (auto _ : state) expect(search(pattern, 0, false, false) == -1, "a no-match pattern matched");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_SearchNoMatchFold(benchmark::State& state) {
  const char* pattern = NO_MATCH[state.range(0)];
  for (auto _ : state) expect(search(pattern, 0, false, true) == -1, "a no-match pattern matched");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// The same text read as UTF-8 instead of Shift_JIS (the boundary checks differ).
void BM_SearchNoMatchUtf8(benchmark::State& state) {
  const char* pattern = NO_MATCH[state.range(0)];
  for (auto _ : state) expect(search(pattern, 0, false, false, true) == -1, "a no-match pattern matched");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_SearchBackwardNoMatch(benchmark::State& state) {
  const char* pattern = NO_MATCH[state.range(0)];
  const auto end = static_cast<int64_t>(text.size());
  for (auto _ : state) expect(search(pattern, end, true, false) == -1, "a no-match pattern matched");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_SearchHit50MB(benchmark::State& state) {
  const bool fold = state.range(0) != 0;
  for (auto _ : state) {
    expect(search(NEEDLE, 0, false, fold) >= static_cast<int64_t>(NEEDLE_AT), "the needle was missed");
  }
}

// What a build without SSE2 (32-bit Windows) runs.
void BM_PortableNoMatch(benchmark::State& state) {
  const bool fold = state.range(0) != 0;
  const auto* pattern = reinterpret_cast<const uint8_t*>(NO_MATCH[0]);
  const size_t n = std::strlen(NO_MATCH[0]);
  for (auto _ : state) {
    expect(find_match_portable(text.data(), text.size(), 0, false, pattern, n, fold) == -1,
           "a no-match pattern matched");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_PlainScanNoMatch(benchmark::State& state) {
  const bool fold = state.range(0) != 0;
  for (auto _ : state) expect(plain_scan(NO_MATCH[0], fold) == -1, "a no-match pattern matched");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

// Starts the editor on `file`, as the command line would.
void start_editor(const std::string& file) {
  reset_all_state();
  headless::reset();
  set_command_line(("vusk " + file).c_str());
  start_up_steps();
  expect(doc.text_length + 0ull == text.size(), "the editor did not load the text");
}

// Between the timed presses: the pattern in the find field, the view and the
// cursor back at the top, nothing selected, and the screen drawn so.
void prepare_search(const std::string& pattern) {
  std::memset(find_pattern, ' ', FIND_PATTERN_CHARS);
  std::memcpy(find_pattern, pattern.data(), pattern.size());
  view.top_line = view.left_col = 0;
  view.cursor_row = 0;
  view.cursor_col = 0;
  view.cursor_abs_line = 0;
  empty_selection(doc.text_buffer);
  sync_scroll_thumb();
  redraw_text_view();
  headless::send(WM_KEYUP, 'A', 0);  // presents it
}

// F3 pressed and released as Windows delivers it.
void press_f3() {
  headless::send(WM_KEYDOWN, VK_F3, 1);
  headless::send(WM_KEYUP, VK_F3, 0xC0000001);
}

void command_no_match(benchmark::State& state, const std::string& pattern) {
  for (auto _ : state) {
    state.PauseTiming();
    prepare_search(pattern);
    status.status_text = nullptr;
    state.ResumeTiming();
    press_f3();
    expect(view.sel_start == view.sel_end && status.status_text != nullptr, "a no-match pattern matched");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_CommandNoMatch(benchmark::State& state) { command_no_match(state, NO_MATCH[state.range(0)]); }

void BM_CommandNoMatchFold(benchmark::State& state) {
  command_no_match(state, std::string(1, static_cast<char>(CASE_FOLD_MARK)) + NO_MATCH[state.range(0)]);
}

void BM_CommandHit50MB(benchmark::State& state) {
  const std::string fold = state.range(0) != 0 ? std::string(1, static_cast<char>(CASE_FOLD_MARK)) : "";
  for (auto _ : state) {
    state.PauseTiming();
    prepare_search(fold + NEEDLE);
    state.ResumeTiming();
    press_f3();
    expect(view.sel_start - doc.text_buffer >= static_cast<ptrdiff_t>(NEEDLE_AT) && view.top_line > 0,
           "the needle was missed, or the view did not go to it");
  }
}

BENCHMARK(BM_SearchNoMatch)->DenseRange(0, NO_MATCH_COUNT - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchNoMatchFold)->DenseRange(0, NO_MATCH_COUNT - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchNoMatchUtf8)->DenseRange(0, NO_MATCH_COUNT - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchBackwardNoMatch)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SearchHit50MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PortableNoMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainScanNoMatch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommandNoMatch)->DenseRange(0, NO_MATCH_COUNT - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommandNoMatchFold)->DenseRange(0, NO_MATCH_COUNT - 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommandHit50MB)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--make-file") == 0) {
    make_text(argv[2]);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--patterns") == 0) {
    for (const char* pattern : NO_MATCH) std::printf("%s\n", pattern);
    return 0;
  }
  vusk::bench::BenchFilesDir files;
  if (!files.open([](const std::string& dir) { make_text(dir + "/search.txt"); })) return 1;
  const std::string file = files.dir() + "/search.txt";
  load_text(file);
  if (text.size() < TEXT_BYTES) return 1;
  start_editor(file);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
