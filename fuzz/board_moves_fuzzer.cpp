// libFuzzer target: arbitrary tokens applied to an arbitrary board. A state
// the program could never reach (a field bit out of range, a capture count
// beyond the list) counts as a finding, like a crash.
#include <cstdlib>

#include "fuzz/fuzz_inputs.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  const boardshot::FuzzRun run = boardshot::ApplyFuzzTokens(data, size);
  if (!boardshot::IsSoundState(run.state)) std::abort();
  return 0;
}
