// Files of positions whose read fails partway: told as a failed read, not as
// a missing position or an invalid FEN.
#include "position/fen_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "reader/failing_stream.h"

namespace boardshot {
namespace {

TEST(PositionFile, FailedReadIsToldAsSuch) {
  const struct {
    const char* text;
    std::int32_t number;
    Status result;
  } rows[] = {
      {"8/8/8/8/8/8/8/K6k w - - 0 1\n", 2, Status::kInputNotRead},
      {"8/8/8/8/8/8/8/K6k w - -", 1, Status::kInputNotRead},
      {"8/8/8/8/8/8/8/K6k w - - 0 1\n", 1, Status::kDone},
  };
  for (const auto& row : rows) {
    std::FILE* input = FailingAfter(row.text);
    std::FILE* console = std::fopen("/dev/null", "w");
    GameState state{};
    EXPECT_EQ(ReadPositionFromFile(input, row.number, state, console),
              row.result)
        << row.text;
    std::fclose(console);
    std::fclose(input);
  }
}

}  // namespace
}  // namespace boardshot
