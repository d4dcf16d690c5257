// The game list's failures: a list that cannot be written is told as such.
#include "list/game_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace boardshot {
namespace {

TEST(GameList, FullDiskIsAWriteFailure) {
  std::string text = "[White \"A\"]\n\n1. e4 *\n";
  std::FILE* input = fmemopen(text.data(), text.size(), "r");
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  EXPECT_EQ(WriteGameList(input, full), Status::kOutputNotWritten);
  std::fclose(full);
  std::fclose(input);
}

}  // namespace
}  // namespace boardshot
