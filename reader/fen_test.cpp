// FEN set-ups as a table: which texts describe a board, and the side to move
// and first move number of those that do.
#include "reader/fen.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <string>

namespace boardshot {
namespace {

struct FenRow {
  const char* fen;
  bool valid;
  Side side = White;
  std::int32_t moveNumber = 1;
  const char* pieces = nullptr;  // the placement as Pieces gives it, if given
};

// The pieces on the board, file by file: letter (upper case for White) and
// square, "Ra1 pd2".
std::string Pieces(const GameState& state) {
  std::string text;
  for (int file = 0; file < kBoardSize; ++file) {
    for (int rank = 0; rank < kBoardSize; ++rank) {
      const PieceType type = TypeAt(state, file, rank);
      if (type == Empty) continue;
      const char letter = ".pnbrqk"[type];
      if (!text.empty()) text += ' ';
      text += ColourAt(state, file, rank) == White
                  ? static_cast<char>(std::toupper(letter))
                  : letter;
      text += static_cast<char>('a' + file);
      text += static_cast<char>('1' + rank);
    }
  }
  return text;
}

const FenRow kRows[] = {
    {"4k3/8/8/8/8/8/3p4/R3K3 b Q - 3 41", true, Black, 41, "Ra1 pd2 Ke1 ke8"},
    {"1N6/8/8/8/8/8/8/2bqQ3 w", true, White, 1, "Nb8 bc1 qd1 Qe1"},
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
    if (row.pieces != nullptr) {
      EXPECT_EQ(Pieces(position.state), row.pieces) << row.fen;
    }
  }
}

}  // namespace
}  // namespace boardshot
