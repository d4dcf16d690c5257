// FEN set-ups as a table: which texts describe a board, and the side to move
// and first move number of those that do.
#include "reader/fen.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "scene/scene.h"

namespace boardshot {
namespace {

struct FenRow {
  const char* fen;
  bool valid;
  Side side = White;
  std::int32_t moveNumber = 1;
  const char* scene = nullptr;  // the placement as scene records, if given
};

const FenRow kRows[] = {
    {"4k3/8/8/8/8/8/3p4/R3K3 b Q - 3 41", true, Black, 41,
     "\n_Rook(\"a1\",0)\n_Pawn(\"d2\",1)\n_King(\"e1\",0)\n_King(\"e8\",1)"},
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
    {"  8/8/8/8/8/8/8/8 b", true, Black, 1, ""},
    {"8/8/8/8/8/8/8/8 w - - 0 x", true},
    {"8/8/8/8/8/8/8/8 w - - 0 0", true},
    {"8/8/8/8/8/8/8/8 w - - 0 99999999999", true, White, INT32_MAX},
    {"8/8/8/8/8/8/8 w", false},
    {"8/8/8/8/8/8/8/8/8 w", false},
    {"8/8/8/8/8/8/8/7 w", false},
    {"8/8/8/8/8/8/8/9 w", false},
    {"8/8/8/8/8/8/8/44p w", false},
    {"8/8/8/8/8/8/8/7x w", false},
    {"8/8/8/8/8/8/8/08 w", false},
    {"8/8/8/8/8/8/8/8", false},
    {"8/8/8/8/8/8/8/8 x - - 0 1", false},
    {"8/8/8/8/8/8/8/8 white", false},
    {"8/8/8/8/8/8/8/8w", false},
    {"", false},
};

TEST(Fen, DescribesABoardOrIsRefused) {
  for (const FenRow& row : kRows) {
    FenPosition position{};
    ASSERT_EQ(ParseFen(row.fen, position), row.valid) << row.fen;
    if (!row.valid) continue;
    EXPECT_EQ(position.sideToMove, row.side) << row.fen;
    EXPECT_EQ(position.fullMoveNumber, row.moveNumber) << row.fen;
    if (row.scene != nullptr) {
      EXPECT_EQ(FormatScene(position.state), row.scene) << row.fen;
    }
  }
}

}  // namespace
}  // namespace boardshot
