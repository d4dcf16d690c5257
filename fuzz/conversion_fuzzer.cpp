// libFuzzer target: a whole conversion on arbitrary bytes, the first of
// which choose `-g` and `-m`, the rest being the game text. A state the
// program could never reach counts as a finding, like a crash.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  // The reader's messages are not looked at; one stream serves every input.
  static std::FILE* const console = std::fopen("/dev/null", "w");
  if (console == nullptr) std::abort();
  const boardshot::FuzzRun run =
      boardshot::ConvertFuzzInput(data, size, console);
  if (run.result < 0 || !boardshot::IsSoundState(run.state)) std::abort();
  return 0;
}
