// A scratch directory, file helpers and Document accessors shared by the load
// and save tests. Included only by tests/unit.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "editor/document.h"
#include "files/load_save.h"
#include "screens/file_menu.h"
#include "backends/headless/headless.h"
#include "app/startup.h"
#include "app/window.h"

namespace vusk::testing {

// A fresh directory under /tmp, the current directory from enter() until
// leave(), which removes it with everything in it.
struct ScratchDir {
  std::string dir;
  std::filesystem::path previous;

  void enter() {
    char pattern[] = "/tmp/vusk-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
  }
  void leave() {
    if (dir.empty()) return;
    std::filesystem::current_path(previous);
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    dir.clear();
  }
};

// Each test runs in a fresh directory under /tmp, which is also the current
// directory while it runs, with the start-up's empty Document.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reset_all_state();
    headless::reset();
    create_empty_document();
    scratch.enter();
    dir = scratch.dir;
  }
  void TearDown() override {
    scratch.leave();
    reset_all_state();
  }

  std::string path(const std::string& name) const { return dir + "/" + name; }

  static void write_file(const std::string& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  static std::string read_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static void set_path(const std::string& p) {
    ASSERT_LT(p.size(), PATH_BYTES);
    std::memcpy(files.file_path, p.c_str(), p.size() + 1);
  }

  // Loads `file` in `mode`; the Document must be whole afterwards.
  static int load(const std::string& file, uint8_t mode) {
    set_path(file);
    files.file_mode = mode;
    const int result = load_document();
    const char* why = "";
    EXPECT_TRUE(check_document(&why)) << why;
    return result;
  }

  // Saves to `file` in `mode` and returns what landed on disk.
  static std::string save(const std::string& file, uint8_t mode) {
    set_path(file);
    files.file_mode = mode;
    EXPECT_TRUE(save_document());
    return read_file(file);
  }

  // The Document's used bytes, end marker and dead bytes included.
  static std::string document_bytes() {
    return std::string(reinterpret_cast<const char*>(doc.text_buffer), doc.text_length);
  }

  static bool transcript_has(const std::string& line) {
    for (const std::string& l : headless::state.transcript) {
      if (l == line) return true;
    }
    return false;
  }

  ScratchDir scratch;
  std::string dir;  // scratch.dir
};

}  // namespace vusk::testing
