#include "board/board.h"

#include <gtest/gtest.h>

namespace boardshot {
namespace {

TEST(SetUpBoard, PutsSixteenPiecesOfEachColourOnTheirRanks) {
  GameState state{};
  ASSERT_EQ(SetUpBoard(state), 0);
  int white = 0, black = 0;
  for (int file = 0; file < kBoardSize; ++file) {
    for (int rank = 0; rank < kBoardSize; ++rank) {
      if (TypeAt(state, file, rank) == Empty) continue;
      if (ColourAt(state, file, rank) == White) {
        ++white;
        EXPECT_LE(rank, 1);
      } else {
        ++black;
        EXPECT_GE(rank, 6);
      }
    }
  }
  EXPECT_EQ(white, 16);
  EXPECT_EQ(black, 16);
  EXPECT_TRUE(HoldsPiece(state, 3, 0, Queen, White));
  EXPECT_TRUE(HoldsPiece(state, 3, 7, Queen, Black));
  EXPECT_TRUE(HoldsPiece(state, 4, 0, King, White));
  EXPECT_TRUE(HoldsPiece(state, 4, 7, King, Black));
  EXPECT_EQ(state.capturedByWhite.count, 0);
  EXPECT_EQ(state.capturedByBlack.count, 0);
}

TEST(Square, TypeAndColourAreWrittenIndependently) {
  GameState state{};
  SetColour(state, 2, 5, Black);
  EXPECT_EQ(TypeAt(state, 2, 5), Empty);
  SetType(state, 2, 5, Rook);
  EXPECT_TRUE(HoldsPiece(state, 2, 5, Rook, Black));
  Vacate(state, 2, 5);
  EXPECT_EQ(TypeAt(state, 2, 5), Empty);
  EXPECT_EQ(ColourAt(state, 2, 5), Black);  // the colour bit stays behind
  EXPECT_EQ(state.board.squares[2 * 8 + 5], 0x8u);
  SetColour(state, 2, 5, White);
  EXPECT_EQ(state.board.squares[2 * 8 + 5], 0u);
}

TEST(Square, IndexIsFileMajor) {
  GameState state{};
  SetType(state, 0, 7, King);   // a8
  SetType(state, 1, 0, Queen);  // b1
  EXPECT_EQ(state.board.squares[7], static_cast<Square>(King));
  EXPECT_EQ(state.board.squares[8], static_cast<Square>(Queen));
}

TEST(OnBoard, AcceptsOnlyTheSixtyFourSquares) {
  EXPECT_TRUE(OnBoard(0, 0));
  EXPECT_TRUE(OnBoard(7, 7));
  EXPECT_FALSE(OnBoard(-1, 0));
  EXPECT_FALSE(OnBoard(0, 8));
  EXPECT_FALSE(OnBoard(8, 3));
  EXPECT_FALSE(OnBoard(3, -1));
}

// A list that is full must not spill into the other list or the board.
TEST(AppendCapture, StopsStoringAfterFifteenEntries) {
  GameState state{};
  SetUpBoard(state);
  const GameState before = state;
  for (int i = 0; i < 20; ++i) appendCapture(state, White, Knight);
  EXPECT_EQ(state.capturedByWhite.count, kCaptureListSize);
  for (int i = 0; i < kCaptureListSize; ++i) {
    EXPECT_EQ(state.capturedByWhite.entries[i], Knight);
  }
  EXPECT_EQ(state.capturedByBlack.count, 0);
  for (int i = 0; i < kSquareCount; ++i) {
    EXPECT_EQ(state.board.squares[i], before.board.squares[i]) << i;
  }
}

TEST(AppendCapture, KeepsTheOrderOfCapturesPerSide) {
  GameState state{};
  appendCapture(state, Black, Pawn);
  appendCapture(state, White, Queen);
  appendCapture(state, Black, Empty);
  appendCapture(state, Black, Rook);
  ASSERT_EQ(state.capturedByBlack.count, 3);
  EXPECT_EQ(state.capturedByBlack.entries[0], Pawn);
  EXPECT_EQ(state.capturedByBlack.entries[1], Empty);
  EXPECT_EQ(state.capturedByBlack.entries[2], Rook);
  ASSERT_EQ(state.capturedByWhite.count, 1);
  EXPECT_EQ(state.capturedByWhite.entries[0], Queen);
}

}  // namespace
}  // namespace boardshot
