// Replays fuzzer inputs through the same code paths as the fuzz targets:
// every input saved under fuzz/regressions/ and the decoding of the inputs'
// heads into options, boards and capture lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/fuzz_inputs.h"
#include "reader/reader.h"

namespace boardshot {
namespace {

std::vector<std::uint8_t> FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in),
                                   std::istreambuf_iterator<char>());
}

class DevNull {
 public:
  DevNull() : stream_(std::fopen("/dev/null", "w")) {}
  ~DevNull() {
    if (stream_ != nullptr) std::fclose(stream_);
  }
  DevNull(const DevNull&) = delete;
  DevNull& operator=(const DevNull&) = delete;
  std::FILE* get() const { return stream_; }

 private:
  std::FILE* stream_;
};

// Saved findings are named after their fuzz target: conversion-* replays
// through the whole conversion, board_moves-* through the token target.
TEST(FuzzRegression, SavedFindingsReplayToSoundStates) {
  const std::filesystem::path dir =
      std::filesystem::path(BOARDSHOT_SOURCE_DIR) / "fuzz" / "regressions";
  DevNull console;
  ASSERT_NE(console.get(), nullptr);
  int replayed = 0;
  if (!std::filesystem::is_directory(dir)) return;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    const std::vector<std::uint8_t> bytes = FileBytes(entry.path());
    if (name.rfind("conversion-", 0) == 0) {
      FuzzRun run = ConvertFuzzInput(bytes.data(), bytes.size(), console.get());
      EXPECT_GE(run.result, 0) << name;
      EXPECT_TRUE(IsSoundState(run.state)) << name;
      ++replayed;
    } else if (name.rfind("board_moves-", 0) == 0) {
      FuzzRun run = ApplyFuzzTokens(bytes.data(), bytes.size());
      EXPECT_TRUE(IsSoundState(run.state)) << name;
      ++replayed;
    }
  }
  RecordProperty("replayed", replayed);
}

std::vector<std::uint8_t> ConversionInput(std::vector<std::uint8_t> head,
                                          const std::string& text) {
  head.resize(kConversionHeaderSize, 0);
  head.insert(head.end(), text.begin(), text.end());
  return head;
}

std::vector<std::uint8_t> RawDoubleLimit(double halfMoves) {
  std::vector<std::uint8_t> head = {0, 1};
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&halfMoves);
  head.insert(head.end(), bytes, bytes + sizeof halfMoves);
  return head;
}

const char kTwoGames[] =
    "[Event \"a\"]\n\n1. e4 e5 *\n\n[Event \"b\"]\n\n1. d4 d5 *\n";

TEST(FuzzInputs, ConversionInputHeadChoosesGameAndLimit) {
  DevNull console;
  // Game 2, one half-move as an int16.
  auto input = ConversionInput({1, 0, 1, 0}, kTwoGames);
  FuzzRun run = ConvertFuzzInput(input.data(), input.size(), console.get());
  ASSERT_EQ(run.result, 0);
  EXPECT_EQ(TypeAt(run.state, 3, 3), Pawn);   // d4
  EXPECT_EQ(TypeAt(run.state, 3, 1), Empty);  // d2
  EXPECT_EQ(TypeAt(run.state, 3, 6), Pawn);   // d7: d5 is past the limit
  EXPECT_EQ(TypeAt(run.state, 4, 1), Pawn);   // e2: game 1 is not played
  EXPECT_NE(run.scene.find("_Pawn(\"d4\",0)"), std::string::npos);

  // -m-4 as a raw double: no half-move at all.
  input = ConversionInput(RawDoubleLimit(-4.0), kTwoGames);
  run = ConvertFuzzInput(input.data(), input.size(), console.get());
  ASSERT_EQ(run.result, 0);
  EXPECT_EQ(TypeAt(run.state, 4, 1), Pawn);  // e2

  // Byte 255 asks for the largest game number.
  input = ConversionInput({255, 0, 0x10, 0}, kTwoGames);
  run = ConvertFuzzInput(input.data(), input.size(), console.get());
  EXPECT_EQ(run.result, kGameNotInFile);
  EXPECT_EQ(run.scene, "");

  // Too short for a header: no game text at all.
  const std::uint8_t shortInput[] = {0, 0, 5};
  run = ConvertFuzzInput(shortInput, sizeof shortInput, console.get());
  EXPECT_EQ(run.result, kInputEndedInMovetext);
}

TEST(FuzzInputs, TokenInputHeadBecomesBoardAndLists) {
  std::vector<std::uint8_t> head(kBoardHeaderSize, 0);
  head[0] = 0x0F;   // type 7, never written: an Empty square, colour kept
  head[8] = 0x1E;   // bits beyond the colour are dropped: a black king
  head[63] = 0x02;  // a white knight on h8
  head[kSquareCount] = 17;           // White's count, taken modulo 16
  head[kSquareCount + 1] = 9;        // a type taken modulo 7: Knight
  head[kSquareCount + 16] = 15;      // Black's count: a full list
  head[kSquareCount + 17 + 14] = 6;  // its last entry: King
  FuzzRun run = ApplyFuzzTokens(head.data(), head.size());
  EXPECT_TRUE(IsSoundState(run.state));
  EXPECT_EQ(run.state.board.squares[0], 0x08u);
  EXPECT_EQ(run.state.board.squares[8], 0x0Eu);
  EXPECT_EQ(run.state.board.squares[63], 0x02u);
  EXPECT_EQ(run.state.capturedByWhite.count, 1);
  EXPECT_EQ(run.state.capturedByWhite.entries[0], Knight);
  EXPECT_EQ(run.state.capturedByBlack.count, 15);
  EXPECT_EQ(run.state.capturedByBlack.entries[14], King);
  EXPECT_EQ(run.scene,
            "\n_King(\"b1\",1)\n_Knight(\"h8\",0)\n_King(\"i15\",0)"
            "\n_Knight(\"`8\",1)");
}

TEST(FuzzInputs, SoundStateRejectsWhatTheProgramNeverWrites) {
  GameState state{};
  EXPECT_TRUE(IsSoundState(state));
  GameState strayBit{};
  strayBit.board.squares[5] = 0x11;
  EXPECT_FALSE(IsSoundState(strayBit));
  GameState typeSeven{};
  typeSeven.board.squares[5] = 0x07;
  EXPECT_FALSE(IsSoundState(typeSeven));
  GameState overfull{};
  overfull.capturedByBlack.count = kCaptureListSize + 1;
  EXPECT_FALSE(IsSoundState(overfull));
  GameState badEntry{};
  badEntry.capturedByWhite.count = 1;
  badEntry.capturedByWhite.entries[0] = -3;
  EXPECT_FALSE(IsSoundState(badEntry));
}

}  // namespace
}  // namespace boardshot
