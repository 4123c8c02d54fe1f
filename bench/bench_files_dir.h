// Where a benchmark keeps its input files: the folder that VUSK_BENCH_FILES
// names (the compare scripts fill it beforehand with --make-file), or else a
// scratch folder made here, in memory under /dev/shm where it can be (else
// under /tmp), which is filled once and removed again at the end.
#pragma once
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace vusk::bench {

class BenchFilesDir {
 public:
  // The folder, made and filled by `fill(dir)` unless VUSK_BENCH_FILES
  // gives one; false when no scratch folder could be made.
  template <typename Fill>
  bool open(Fill fill) {
    if (const char* given = std::getenv("VUSK_BENCH_FILES")) {
      dir_ = given;
      return true;
    }
    char shm_pattern[] = "/dev/shm/vusk-bench-XXXXXX";
    char tmp_pattern[] = "/tmp/vusk-bench-XXXXXX";
    const char* made = mkdtemp(shm_pattern) != nullptr ? shm_pattern : mkdtemp(tmp_pattern);
    if (made == nullptr) return false;
    dir_ = scratch_ = made;
    fill(dir_);
    return true;
  }
  const std::string& dir() const { return dir_; }
  ~BenchFilesDir() {
    std::error_code ignored;
    if (!scratch_.empty()) std::filesystem::remove_all(scratch_, ignored);
  }

 private:
  std::string dir_, scratch_;
};

}  // namespace vusk::bench
