// Helpers shared by the fuzz targets: a scratch directory made once per
// process, whole-file reads and writes, and choices taken from fuzz input.
#pragma once
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "input_driver.h"

namespace vusk::fuzz {

// A directory of this process's own under /tmp, made on first use and the
// current directory from then on.
inline const std::string& scratch_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/vusk-fuzz-XXXXXX";
    if (mkdtemp(pattern) == nullptr) std::abort();
    return std::string(pattern);
  }();
  return dir;
}

inline void write_whole(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Choices read from the fuzz input: one byte for up to 256 outcomes, two
// otherwise; 0 once the input is used up.
class InputChoices {
 public:
  InputChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  Choices choices() {
    return {[this](uint32_t n) { return below(n); }, [this] { return at_ >= size_; }};
  }
  uint32_t below(uint32_t n) {
    if (n <= 1) return 0;
    uint32_t v = take();
    if (n > 256) v |= take() << 8;
    if (n > 65536) v |= take() << 16;
    return v % n;
  }
  std::string bytes(size_t n) {
    n = std::min(n, size_ - at_);
    std::string out(reinterpret_cast<const char*>(data_ + at_), n);
    at_ += n;
    return out;
  }

 private:
  uint32_t take() { return at_ < size_ ? data_[at_++] : 0; }
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Stops the run at once with the reason, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const std::string& why) {
  std::fprintf(stderr, "fuzz check failed: %s\n", why.c_str());
  std::abort();
}

}  // namespace vusk::fuzz
