// The text and listing loaders on arbitrary file bytes. Each load must give
// a whole Document; the text save must write the bytes back with CR LF line
// ends, and the listing, saved as binary, must give exactly the file again.
#include <cstddef>
#include <cstdint>

#include "app/startup.h"
#include "backends/headless/headless.h"
#include "editor/document.h"
#include "files/load_save.h"
#include "fuzz_support.h"

using namespace vusk;
using namespace vusk::fuzz;

namespace {

// What a text save writes for a loaded file: every line end (CR LF, CR or
// LF) as CR LF, and the 0x00 bytes that open a line dropped, since the line
// table steps over them as the filler of a line end; `dropped` counts those.
std::string saved_text(const std::string& file, uint32_t* dropped) {
  std::string out;
  *dropped = 0;
  bool line_start = false;  // the first line starts at the first byte, whatever it is
  for (size_t i = 0; i < file.size(); ++i) {
    const char c = file[i];
    if (c == '\0' && line_start) {
      ++*dropped;
      continue;
    }
    line_start = false;
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < file.size() && file[i + 1] == '\n') ++i;
      out += "\r\n";
      line_start = true;
    } else {
      out += c;
    }
  }
  return out;
}

// Loads `path` in `mode`, checks the Document and saves it to `out` in the
// same mode; returns what landed there. A text load must have counted the
// `dropped` NULs, and the save asks about them once.
std::string load_and_save(const std::string& path, const std::string& out, uint8_t mode, uint32_t dropped) {
  std::snprintf(files.file_path, PATH_BYTES, "%s", path.c_str());
  files.file_mode = mode;
  if (load_document() != 0) fail("the load failed");
  const char* why = "";
  if (!check_document(&why)) fail(std::string("document: ") + why);
  if (files.nul_filler != (mode == FILE_MODE_TEXT ? dropped : 0)) fail("the NULs taken for filler were miscounted");
  headless::state.answers.assign(1, {headless::DialogAnswer::YES, "", 0});
  std::snprintf(files.file_path, PATH_BYTES, "%s", out.c_str());
  if (!save_document()) fail("the save failed");
  if (headless::state.answers.empty() != (files.file_mode == FILE_MODE_TEXT && dropped != 0)) {
    fail("the question about NULs at line starts was asked wrongly");
  }
  return read_whole(out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  reset_all_state();
  headless::reset();
  create_empty_document();
  const std::string file(reinterpret_cast<const char*>(data), size);
  const std::string in = scratch_dir() + "/in.bin", out = scratch_dir() + "/out.bin";
  write_whole(in, file);
  uint32_t dropped = 0;
  const std::string expected = saved_text(file, &dropped);
  if (load_and_save(in, out, FILE_MODE_TEXT, dropped) != expected) fail("the text save differs");
  if (load_and_save(in, out, FILE_MODE_HEX, dropped) != file) fail("the listing's binary save differs from the file");
  return 0;
}
