// The long soak: MESSAGES random messages (input_driver.h) on a loaded text
// of about DOC_BYTES bytes, under the test build's sanitizers. Every message
// is followed by the view's invariant checks, every CHECK_EVERY-th (default
// 1) by the Document's, whose LineTable rebuild costs a pass over the whole
// text, and every 10000th by a text save whose bytes are checked. Prints
// the count, the time and the outcome.
//   vusk-soak MESSAGES DOC_BYTES [SEED [CHECK_EVERY]]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "fuzz_support.h"

using namespace vusk::fuzz;

namespace {

// Lines of letters, spaces and 0x00, with every kind of line end.
std::string soak_text(std::mt19937& rng, size_t bytes) {
  static const char* const ENDS[] = {"\r\n", "\n", "\r", "\r\n"};
  std::string text;
  text.reserve(bytes + 100);
  while (text.size() < bytes) {
    for (uint32_t n = rng() % 90; n > 0; --n) text += rng() % 17 == 0 ? '\0' : static_cast<char>('a' + rng() % 27);
    text += ENDS[rng() % 4];
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s MESSAGES DOC_BYTES [SEED]\n", argv[0]);
    return 2;
  }
  const uint64_t messages = std::strtoull(argv[1], nullptr, 10);
  const size_t bytes = std::strtoull(argv[2], nullptr, 10);
  const uint32_t seed = argc > 3 ? static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 10)) : 1;
  const uint64_t check_every = argc > 4 ? std::max<uint64_t>(1, std::strtoull(argv[4], nullptr, 10)) : 1;
  std::mt19937 rng(seed);
  Choices c{[&](uint32_t n) { return n <= 1 ? 0u : static_cast<uint32_t>(rng() % n); }, [] { return false; }};
  const auto start = std::chrono::steady_clock::now();
  InputDriver driver(scratch_dir());
  driver.load(soak_text(rng, bytes));
  for (uint64_t n = 1; n <= messages; ++n) {
    std::string why = driver.step(c, n % check_every == 0);
    if (why.empty() && n % 10000 == 0) {
      why = driver.check_save();
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      std::printf("soak: %llu messages, %.0f s\n", static_cast<unsigned long long>(n), s);
      std::fflush(stdout);
    }
    if (!why.empty()) {
      std::printf("soak: FAILED after message %llu (seed %u): %s\n", static_cast<unsigned long long>(n), seed, why.c_str());
      return 1;
    }
  }
  std::string why = broken_invariant(true);
  if (why.empty()) why = driver.check_save();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("soak: %llu messages on %zu bytes, seed %u, %.1f s: %s\n", static_cast<unsigned long long>(messages),
              bytes, seed, seconds, why.empty() ? "ok" : why.c_str());
  return why.empty() ? 0 : 1;
}
