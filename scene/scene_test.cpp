#include "scene/scene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace boardshot {
namespace {

TEST(FormatScene, EmptyStateWritesNothing) {
  GameState state{};
  EXPECT_EQ(FormatScene(state), "");
}

TEST(FormatScene, InitialPositionStartsWithTheAFileThenTheBFile) {
  GameState state{};
  SetUpBoard(state);
  const std::string text = FormatScene(state);
  EXPECT_EQ(text.rfind("\n_Rook(\"a1\",0)\n_Pawn(\"a2\",0)\n_Pawn(\"a7\",1)"
                       "\n_Rook(\"a8\",1)\n_Knight(\"b1\",0)",
                       0),
            0u);
  EXPECT_EQ(text.back(), ')');
}

TEST(FormatScene, VacatedSquaresWriteNothingWhateverTheirColourBit) {
  GameState state{};
  SetType(state, 7, 7, King);
  SetColour(state, 7, 7, Black);
  SetColour(state, 0, 0, Black);  // colour without a piece
  EXPECT_EQ(FormatScene(state), "\n_King(\"h8\",1)");
}

struct LossCase {
  const char* name;
  Side capturer;
  std::vector<PieceType> entries;
  const char* expected;
};

void PrintTo(const LossCase& c, std::ostream* os) { *os << c.name; }

class LossRows : public testing::TestWithParam<LossCase> {};

TEST_P(LossRows, LineUpBesideTheBoard) {
  const LossCase& c = GetParam();
  GameState state{};
  CaptureList& list = CapturesBy(state, c.capturer);
  for (PieceType type : c.entries) {
    list.entries[list.count++] = static_cast<std::int16_t>(type);
  }
  EXPECT_EQ(FormatScene(state), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    CaptureLists, LossRows,
    testing::Values(
        LossCase{"WhiteLossesCountUpOnFileI",
                 Black,
                 {Pawn, Queen},
                 "\n_Pawn(\"i1\",0)\n_Queen(\"i2\",0)"},
        LossCase{"BlackLossesCountDownOnGraveFile",
                 White,
                 {Rook, Bishop},
                 "\n_Rook(\"`8\",1)\n_Bishop(\"`7\",1)"},
        LossCase{"EmptyEntryLeavesAGap",
                 Black,
                 {Pawn, Empty, Knight},
                 "\n_Pawn(\"i1\",0)\n_Knight(\"i3\",0)"},
        LossCase{"InvalidTypeLeavesAGap",
                 White,
                 {King, PieceType{7}, Pawn},
                 "\n_King(\"`8\",1)\n_Pawn(\"`6\",1)"},
        LossCase{"WhiteRowRunsPastRankEight",
                 Black,
                 {Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Knight},
                 "\n_Pawn(\"i1\",0)\n_Pawn(\"i2\",0)\n_Pawn(\"i3\",0)"
                 "\n_Pawn(\"i4\",0)\n_Pawn(\"i5\",0)\n_Pawn(\"i6\",0)"
                 "\n_Pawn(\"i7\",0)\n_Pawn(\"i8\",0)\n_Knight(\"i9\",0)"},
        LossCase{"BlackRowRunsPastRankOne",
                 White,
                 {Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Pawn, Rook, Queen},
                 "\n_Pawn(\"`8\",1)\n_Pawn(\"`7\",1)\n_Pawn(\"`6\",1)"
                 "\n_Pawn(\"`5\",1)\n_Pawn(\"`4\",1)\n_Pawn(\"`3\",1)"
                 "\n_Pawn(\"`2\",1)\n_Pawn(\"`1\",1)\n_Rook(\"`0\",1)"
                 "\n_Queen(\"`-1\",1)"}),
    [](const testing::TestParamInfo<LossCase>& p) {
      return std::string(p.param.name);
    });

TEST(FormatScene, GroupsComeBoardThenWhiteLossesThenBlackLosses) {
  GameState state{};
  SetType(state, 3, 4, Pawn);  // d5, White
  appendCapture(state, White, Pawn);
  appendCapture(state, Black, Knight);
  EXPECT_EQ(FormatScene(state),
            "\n_Pawn(\"d5\",0)\n_Knight(\"i1\",0)\n_Pawn(\"`8\",1)");
}

TEST(WriteScene, ReportsAStreamThatRefusesBytes) {
  GameState state{};
  SetUpBoard(state);
  std::FILE* readOnly = std::fopen("/dev/null", "r");
  ASSERT_NE(readOnly, nullptr);
  EXPECT_FALSE(WriteScene(readOnly, state));
  std::fclose(readOnly);
}

}  // namespace
}  // namespace boardshot
