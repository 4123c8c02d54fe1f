// Loading and saving at full size: a 100 MB CR LF text of about 60-byte
// lines, loaded as text and saved again; 16 MB of random bytes, loaded as a
// HexListing and saved back as binary. Also the listing's formatter and
// parser alone, in memory.
//
//   bench_files --make-files DIR   writes text.txt and random.bin into DIR
//   bench_files [benchmark flags]  times the routines on the files in
//                                  $VUSK_BENCH_FILES, or else in a scratch
//                                  directory made under /dev/shm (or /tmp),
//                                  so that they stay in the OS cache
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "editor/document.h"
#include "files/file_output.h"
#include "files/hex_listing.h"
#include "files/load_save.h"
#include "platform/platform.h"
#include "app/startup.h"
#include "bench_files_dir.h"

using namespace vusk;

namespace {

constexpr uint64_t TEXT_BYTES = 100u << 20;
constexpr uint64_t RANDOM_BYTES = 16u << 20;

std::string files_dir;

// A text of words in lines of 20 to 100 characters (about 60 on average),
// each ended by CR LF.
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

void make_random(const std::string& file) {
  std::mt19937_64 rng(7);
  std::vector<uint64_t> words(RANDOM_BYTES / 8);
  for (uint64_t& w : words) w = rng();
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(words.data()), RANDOM_BYTES);
}

void make_files(const std::string& dir) {
  make_text(dir + "/text.txt");
  make_random(dir + "/random.bin");
}

void set_path(const std::string& p) { std::snprintf(files.file_path, PATH_BYTES, "%s", p.c_str()); }

// Loads `name` from the files directory in `mode`.
void load_file(const char* name, uint8_t mode) {
  set_path(files_dir + "/" + name);
  files.file_mode = mode;
  if (load_document() != 0) std::abort();
}

void fresh_state() {
  reset_all_state();
  create_empty_document();
}

void BM_TextLoad(benchmark::State& state) {
  fresh_state();
  for (auto _ : state) load_file("text.txt", FILE_MODE_TEXT);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * (doc.text_length - 1)));
}

void BM_HexLoad(benchmark::State& state) {
  fresh_state();
  for (auto _ : state) load_file("random.bin", FILE_MODE_HEX);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * RANDOM_BYTES));
}

void BM_HexToBinarySave(benchmark::State& state) {
  fresh_state();
  load_file("random.bin", FILE_MODE_HEX);
  set_path(files_dir + "/saved.bin");
  for (auto _ : state) {
    if (!save_document()) std::abort();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * RANDOM_BYTES));
}

void BM_TextSave(benchmark::State& state) {
  fresh_state();
  load_file("text.txt", FILE_MODE_TEXT);
  set_path(files_dir + "/saved.txt");
  for (auto _ : state) {
    if (!save_document()) std::abort();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.text_length));
}

// The formatter alone: 1 MiB of bytes into its listing, in memory.
void BM_RenderHexLines(benchmark::State& state) {
  std::vector<uint8_t> bytes(1u << 20);
  std::mt19937 rng(3);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
  std::vector<uint8_t> listing(hex_listing_length(bytes.size()) + 16);
  for (auto _ : state) {
    benchmark::DoNotOptimize(render_hex_lines(listing.data(), bytes.data(), static_cast<uint32_t>(bytes.size()), 0));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * listing.size()));
}

// The parser alone: the listing of 1 MiB back into bytes, gathered in memory
// (the writes go to a null file).
void BM_ParseHexDocument(benchmark::State& state) {
  fresh_state();
  const std::string scratch = files_dir + "/one_mib.bin";
  std::vector<char> bytes(1u << 20);
  std::mt19937 rng(5);
  for (char& b : bytes) b = static_cast<char>(rng());
  std::ofstream(scratch, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  load_file("one_mib.bin", FILE_MODE_HEX);
  const FileHandle null_file = create_for_write("/dev/null");
  std::vector<uint8_t> gather(256 * 1024);
  for (auto _ : state) {
    OutputFile out{null_file, gather.data(), static_cast<uint32_t>(gather.size()), 0, false};
    parse_hex_document(out);
    drain_output(out);
  }
  close_file(null_file);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.text_length));
}

BENCHMARK(BM_TextLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HexLoad)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HexToBinarySave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextSave)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RenderHexLines)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ParseHexDocument)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--make-files") == 0) {
    make_files(argv[2]);
    return 0;
  }
  vusk::bench::BenchFilesDir files;
  if (!files.open(make_files)) return 1;
  files_dir = files.dir();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
