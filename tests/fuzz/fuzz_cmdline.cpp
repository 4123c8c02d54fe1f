// The Linux argv rebuild and the command-line parser: every argument that
// the parser takes (not refused) must come back exactly as it was given,
// one that holds a quote or is too long must be refused, and the program
// path must never leak into the argument. Start-up reads only the first
// argument (a second is ignored, and where the parser leaves off after a
// name cut at the length limit is of no account), so only it is compared;
// the others still go through the rebuild. The input is split at 0x00 bytes
// into the program path and up to three arguments.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/startup.h"
#include "backends/posix/posix_support.h"
#include "fuzz_support.h"

using namespace vusk;
using namespace vusk::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> args(1);
  for (size_t i = 0; i < size && args.size() <= 4; ++i) {
    if (data[i] == 0) {
      args.emplace_back();
    } else {
      args.back() += static_cast<char>(data[i]);
    }
  }
  if (args.size() > 4) args.pop_back();
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  set_command_line_from_argv(static_cast<int>(argv.size()), argv.data());
  startup.cmdline_cursor = skip_program_path();
  char dest[LONGEST_ARGUMENT + 1];
  const uint32_t n = next_argument(dest);
  if (n > LONGEST_ARGUMENT || dest[n] != 0) fail("argument not terminated within its limit");
  if (args.size() == 1) {
    if (n != 0) fail("an argument that was never given");
    return 0;
  }
  const std::string& first = args[1];
  const bool refusable = first.size() > LONGEST_ARGUMENT || first.find('"') != std::string::npos;
  if (refusable != last_argument_refused()) fail("the argument refused wrongly");
  if (!refusable && std::string(dest) != first) fail("the argument read as another name");
  return 0;
}
