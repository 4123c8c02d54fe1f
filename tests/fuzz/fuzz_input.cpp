// The whole input path on arbitrary message sequences: the first byte sizes
// a loaded text, the rest chooses the messages (input_driver.h).
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"

using namespace vusk::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  InputChoices in(data, size);
  InputDriver driver(scratch_dir());
  const uint32_t loaded = in.below(256);
  driver.load(in.bytes(loaded));
  Choices c = in.choices();
  for (uint32_t n = 0; !c.exhausted() && n < 2000; ++n) {
    const std::string why = driver.step(c);
    if (!why.empty()) fail("after message " + std::to_string(n + 1) + ": " + why);
  }
  const std::string why = driver.check_save();
  if (!why.empty()) fail(why);
  return 0;
}
