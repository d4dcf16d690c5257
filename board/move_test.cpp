// The move interpreter as a table: a position (FEN piece placement), the
// half-moves applied to it (the first for `side`, then alternating), and the
// position and capture lists they must leave.
#include "board/move.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace boardshot {
namespace {

constexpr const char* kStart = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

struct MoveRow {
  const char* what;
  const char* before;             // FEN piece placement
  const char* moves;              // space-separated half-moves
  Side side;                      // the side of the first half-move
  const char* after;              // FEN piece placement
  const char* takenByWhite = "";  // piece letters, '.' for an Empty entry
  const char* takenByBlack = "";
};

constexpr const char* kPieceLetters = ".pnbrqk";  // by PieceType

// The position a FEN piece placement describes (rank 8 first, digits for
// empty squares), with empty capture lists.
GameState FromPlacement(const std::string& placement) {
  GameState state{};
  int file = 0;
  int rank = kBoardSize - 1;
  for (const char c : placement) {
    if (c == '/') {
      file = 0;
      --rank;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      const char lower = static_cast<char>(std::tolower(c));
      SetType(state, file, rank,
              static_cast<PieceType>(std::strchr(kPieceLetters, lower) -
                                     kPieceLetters));
      SetColour(state, file, rank, c == lower ? Black : White);
      ++file;
    }
  }
  return state;
}

void AppendLetters(GameState& state, Side side, const char* letters) {
  for (; *letters != '\0'; ++letters) {
    AppendCapture(state, side,
                  static_cast<PieceType>(std::strchr(kPieceLetters, *letters) -
                                         kPieceLetters));
  }
}

// Every square's piece, file by file, then the pieces each side took.
std::string Describe(const GameState& state) {
  std::string text;
  for (int file = 0; file < kBoardSize; ++file) {
    for (int rank = 0; rank < kBoardSize; ++rank) {
      const PieceType type = TypeAt(state, file, rank);
      const char letter = kPieceLetters[type];
      text += type != Empty && ColourAt(state, file, rank) == White
                  ? static_cast<char>(std::toupper(letter))
                  : letter;
    }
  }
  for (const Side side : {White, Black}) {
    const CaptureList& list = CapturesBy(state, side);
    text += '/';
    for (int k = 0; k < list.count; ++k) text += kPieceLetters[list.entries[k]];
  }
  return text;
}

// Each half-move goes to ApplyMove in an allocation of exactly its size, so
// the sanitizer build catches a read past a token's end.
int ApplyExactCopy(GameState& state, const std::string& token, Side side) {
  const auto copy = std::make_unique<char[]>(token.size() + 1);
  std::memcpy(copy.get(), token.c_str(), token.size() + 1);
  return ApplyMove(state, copy.get(), side);
}

void PrintTo(const MoveRow& row, std::ostream* out) { *out << row.what; }

class Moves : public testing::TestWithParam<MoveRow> {};

TEST_P(Moves, LeaveThePositionAndCaptures) {
  const MoveRow& row = GetParam();
  SCOPED_TRACE(row.moves);
  GameState state = FromPlacement(row.before);
  std::istringstream moves(row.moves);
  Side side = row.side;
  for (std::string token; moves >> token;
       side = side == White ? Black : White) {
    ASSERT_EQ(ApplyExactCopy(state, token, side), 0) << token;
  }
  GameState expected = FromPlacement(row.after);
  AppendLetters(expected, White, row.takenByWhite);
  AppendLetters(expected, Black, row.takenByBlack);
  EXPECT_EQ(Describe(state), Describe(expected));
}

const MoveRow kSearchOrder[] = {
    {"knight from g1", kStart, "Nf3", White,
     "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R"},
    {"knight: e1 before g1", "8/8/8/8/8/8/8/4N1N1", "Nf3", White,
     "8/8/8/8/8/5N2/8/6N1"},
    {"knight: e5 before d4", "8/8/8/4n3/3n4/8/8/8", "Nf3", Black,
     "8/8/8/8/3n4/5n2/8/8"},
    {"knight: g5 before h4", "8/8/8/6N1/7N/8/8/8", "Nf3", White,
     "8/8/8/8/7N/5N2/8/8"},
    {"rook: east first", "8/8/8/8/R6R/8/8/8", "Rd4", White,
     "8/8/8/8/R2R4/8/8/8"},
    {"rook: north before west and south", "3R4/8/8/8/R7/8/8/3R4", "Rd4", White,
     "8/8/8/8/R2R4/8/8/3R4"},
    {"bishop: north-east first", "8/8/5B2/8/8/8/1B6/8", "Bd4", White,
     "8/8/8/8/3B4/8/1B6/8"},
    {"bishop: south-west before south-east", "8/8/8/8/8/8/2B1B3/8", "Bd3",
     White, "8/8/8/8/8/3B4/4B3/8"},
    {"queen: north-east before north", "3Q3Q/8/8/8/8/8/8/8", "Qd4", White,
     "3Q4/8/8/8/3Q4/8/8/8"},
    {"queen: diagonal south-west before south", "8/8/8/8/8/8/8/Q2Q4", "Qd4",
     White, "8/8/8/8/3Q4/8/8/3Q4"},
    {"king", "8/8/8/8/8/8/8/4K3", "Kd2", White, "8/8/8/8/8/8/3K4/8"},
    {"king: east before west", "8/8/8/8/8/8/8/2K1K3", "Kd1", White,
     "8/8/8/8/8/8/8/2KK4"},
    {"line blocked by a pawn", "3R4/8/3P4/8/R7/8/8/8", "Rd4", White,
     "3R4/8/3P4/8/3R4/8/8/8"},
    {"blocked everywhere: a rook appears", "8/8/8/2pPp3/2P1P3/2pPp3/8/R7",
     "Rd4", White, "8/8/8/2pPp3/2PRP3/2pPp3/8/R7"},
    {"the other side's rook is not moved", "r7/8/8/8/8/8/8/8", "Ra4", White,
     "r7/8/8/8/R7/8/8/8"},
};
INSTANTIATE_TEST_SUITE_P(SearchOrder, Moves, testing::ValuesIn(kSearchOrder));

const MoveRow kHints[] = {
    {"Nbd2 with knights on b4 and b1", "8/8/8/8/1N6/8/8/1N6", "Nbd2", White,
     "8/8/8/8/1N6/8/3N4/8"},
    {"N1d2: b3 would come first", "8/8/8/8/8/1N6/8/1N6", "N1d2", White,
     "8/8/8/8/8/1N6/3N4/8"},
    {"Ng1f3: e1 would come first", "8/8/8/8/8/8/8/4N1N1", "Ng1f3", White,
     "8/8/8/8/8/5N2/8/4N3"},
    {"Ng1-f3", "8/8/8/8/8/8/8/4N1N1", "Ng1-f3+", White, "8/8/8/8/8/5N2/8/4N3"},
    {"Ngxe2 onto an empty square", "8/8/8/8/8/2N5/8/6N1", "Ngxe2", White,
     "8/8/8/8/8/2N5/4N3/8", "."},
    {"Rae1: f1 would come first", "8/8/8/8/8/8/8/R4R2", "Rae1", White,
     "8/8/8/8/8/8/8/4RR2"},
    {"R1a3: a5 would come first", "8/8/8/R7/8/8/8/R7", "R1a3", White,
     "8/8/8/R7/8/R7/8/8"},
    {"R1xa3", "8/8/8/R7/8/n7/8/R7", "R1xa3", White, "8/8/8/R7/8/R7/8/8", "n"},
    {"a hinted rook behind another is not reached", "8/8/8/8/8/8/8/R1R5",
     "Rae1", White, "8/8/8/8/8/8/8/R1R1R3"},
    {"long algebraic pawn", kStart, "e2e4", White,
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"},
    {"both hints: that square, no search", "8/8/8/8/8/8/8/Q6Q", "Qa1d4", White,
     "8/8/8/8/3Q4/8/8/7Q"},
};
INSTANTIATE_TEST_SUITE_P(Hints, Moves, testing::ValuesIn(kHints));

const MoveRow kPins[] = {
    {"pinned knight stays", "4k3/8/8/8/1b6/8/3N4/4K1N1", "Nf3", White,
     "4k3/8/8/8/1b6/5N2/3N4/4K3"},
    {"knight pinned by a queen stays", "4k3/8/8/8/1q6/8/3N4/4K1N1", "Nf3",
     White, "4k3/8/8/8/1q6/5N2/3N4/4K3"},
    {"knight pinned on a file by a queen stays", "4q2k/8/8/8/8/8/4N3/4K1N1",
     "Nf3", White, "4q2k/8/8/8/8/5N2/4N3/4K3"},
    {"a rook does not pin on a diagonal", "4k3/8/8/8/1r6/8/3N4/4K1N1", "Nf3",
     White, "4k3/8/8/8/1r6/5N2/8/4K1N1"},
    {"unpinned knight is first", "4k3/8/8/8/8/8/3N4/4K1N1", "Nf3", White,
     "4k3/8/8/8/8/5N2/8/4K1N1"},
    {"own piece shields the line", "4k3/8/8/8/1b6/2P5/3N4/4K1N1", "Nf3", White,
     "4k3/8/8/8/1b6/2P2N2/8/4K1N1"},
    {"no king, no pin test", "4k3/8/8/8/1b6/8/3N4/6N1", "Nf3", White,
     "4k3/8/8/8/1b6/5N2/8/6N1"},
    {"every candidate pinned: the first moves", "4k3/8/8/8/1b6/8/3N4/4K3",
     "Nf3", White, "4k3/8/8/8/1b6/5N2/8/4K3"},
    {"both candidates pinned: the first in order moves",
     "4k3/8/8/8/1b5b/8/3N1N2/4K3", "Ne4", White, "4k3/8/8/8/1b2N2b/8/5N2/4K3"},
    {"pinned rook stays", "1R2r2k/8/8/8/8/8/4R3/4K3", "Rb2", White,
     "4r2k/8/8/8/8/8/1R2R3/4K3"},
    {"pinned rook moves along the line", "4k3/4r3/8/8/8/r7/8/4R2K", "Re3",
     Black, "4k3/8/8/8/8/r3r3/8/4R2K"},
    {"pinned rook takes the pinner", "4k3/4r3/8/8/8/8/8/r3R2K", "Rxe1", Black,
     "4k3/8/8/8/8/8/8/r3r2K", "", "r"},
    {"pinned queen stays", "k7/8/8/8/8/8/4Q3/K1Q4r", "Qc4", White,
     "k7/8/8/8/2Q5/8/8/K1Q4r"},
    {"pinned bishop stays", "7k/8/b7/8/8/3B4/4K3/1B6", "Bc2", White,
     "7k/8/b7/8/8/3B4/2B1K3/8"},
};
INSTANTIATE_TEST_SUITE_P(Pins, Moves, testing::ValuesIn(kPins));

const MoveRow kPawns[] = {
    {"double step", kStart, "e4", White,
     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR"},
    {"single step", kStart, "e3", White,
     "rnbqkbnr/pppppppp/8/8/8/4P3/PPPP1PPP/RNBQKBNR"},
    {"black double step", kStart, "d5", Black,
     "rnbqkbnr/ppp1pppp/8/3p4/8/8/PPPPPPPP/RNBQKBNR"},
    {"pawn capture", "8/8/8/3n4/4P3/8/8/8", "exd5", White, "8/8/8/3P4/8/8/8/8",
     "n"},
    {"old-style pawn capture", "8/8/8/3n4/4P3/8/8/8", "ed5", White,
     "8/8/8/3P4/8/8/8/8", "n"},
    {"en passant", "8/8/8/3pP3/8/8/8/8", "exd6", White, "8/8/3P4/8/8/8/8/8",
     "p"},
    {"en passant with its mark", "8/8/8/3pP3/8/8/8/8", "exd6ep", White,
     "8/8/3P4/8/8/8/8/8", "p"},
    {"black en passant", "8/8/8/8/3Pp3/8/8/8", "exd3", Black,
     "8/8/8/8/8/3p4/8/8", "", "p"},
    {"both hints: no en passant", "8/8/8/3pP3/8/8/8/8", "e5xd6", White,
     "8/8/3P4/3p4/8/8/8/8", "."},
    {"own pawn behind an empty capture target", "8/8/8/8/8/8/3PP3/8", "exd3",
     White, "8/8/8/8/8/3P4/3P4/8", "."},
    {"opposing pawn in front stays", "8/8/8/8/8/4p3/4P3/8", "e4", White,
     "8/8/8/8/4P3/4p3/8/8"},
    {"no pawn behind: the king stays", "8/8/8/8/8/8/8/4K3", "e3", White,
     "8/8/8/8/8/4P3/8/4K3"},
    {"promotion with '='", "8/4P3/8/8/8/8/8/8", "e8=Q", White,
     "4Q3/8/8/8/8/8/8/8"},
    {"promotion without '='", "8/4P3/8/8/8/8/8/8", "e8Q", White,
     "4Q3/8/8/8/8/8/8/8"},
    {"promotion with check", "8/4P3/8/8/8/8/8/8", "e8=R+", White,
     "4R3/8/8/8/8/8/8/8"},
    {"bishop promotion", "8/4P3/8/8/8/8/8/8", "e8B", White,
     "4B3/8/8/8/8/8/8/8"},
    {"capturing underpromotion", "3r4/4P3/8/8/8/8/8/8", "exd8=N", White,
     "3N4/8/8/8/8/8/8/8", "r"},
    {"black promotion", "8/8/8/8/8/8/3p4/8", "d1=Q", Black,
     "8/8/8/8/8/8/8/3q4"},
    {"check mark is no promotion", "8/8/8/8/8/8/8/5B2", "Bb5+", White,
     "8/8/8/1B6/8/8/8/8"},
    // Long algebraic promotions with the letter in lower case, as UCI writes
    // them, used to leave a pawn on the last rank.
    {"lower-case queen", "8/3P4/8/8/8/8/8/8", "d7d8q", White,
     "3Q4/8/8/8/8/8/8/8"},
    {"lower-case knight", "8/3P4/8/8/8/8/8/8", "d7d8n", White,
     "3N4/8/8/8/8/8/8/8"},
    {"lower-case black capturing", "8/8/8/8/8/8/4p3/3R4", "e2d1q", Black,
     "8/8/8/8/8/8/8/3q4", "", "r"},
    {"a piece's lower-case suffix is no promotion", "8/8/8/8/8/8/8/6N1", "Nf3b",
     White, "8/8/8/8/8/5N2/8/8"},
};
INSTANTIATE_TEST_SUITE_P(Pawns, Moves, testing::ValuesIn(kPawns));

constexpr const char* kHome = "r3k2r/8/8/8/8/8/8/R3K2R";
const MoveRow kCastling[] = {
    {"white king-side", kHome, "O-O", White, "r3k2r/8/8/8/8/8/8/R4RK1"},
    {"white queen-side", kHome, "O-O-O+", White, "r3k2r/8/8/8/8/8/8/2KR3R"},
    {"black king-side", kHome, "O-O", Black, "r4rk1/8/8/8/8/8/8/R3K2R"},
    {"black queen-side", kHome, "o-o-o", Black, "2kr3r/8/8/8/8/8/8/R3K2R"},
    {"digit zeros king-side", kHome, "0-0", White, "r3k2r/8/8/8/8/8/8/R4RK1"},
    {"digit zeros queen-side", kHome, "0-0-0", Black,
     "2kr3r/8/8/8/8/8/8/R3K2R"},
    {"squares written whatever they held", kStart, "O-O", Black,
     "rnbq1rk1/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR"},
};
INSTANTIATE_TEST_SUITE_P(Castling, Moves, testing::ValuesIn(kCastling));

const MoveRow kCaptures[] = {
    {"'x' onto an empty square records Empty", "8/8/8/8/8/8/8/R7", "Rxa5",
     White, "8/8/8/R7/8/8/8/8", "."},
    {"no 'x', black takes a queen", "r4Q2/8/8/8/8/8/8/8", "Raf8", Black,
     "5r2/8/8/8/8/8/8/8", "", "q"},
    {"own piece on the target is not recorded", "R4N2/8/8/8/8/8/8/8", "Raf8",
     White, "5R2/8/8/8/8/8/8/8"},
    {"captures in the order they happen", kStart,
     "e4 d5 exd5 Qxd5 Nc3 Qxa2 Rxa2", White,
     "rnb1kbnr/ppp1pppp/8/8/8/2N5/RPPP1PPP/2BQKBNR", "pq", "pp"},
};
INSTANTIATE_TEST_SUITE_P(Captures, Moves, testing::ValuesIn(kCaptures));

// Tokens that name no square on the board change nothing, and neither do
// moves from squares off the board; none is read past its end.
const MoveRow kNoSquare[] = {
    {"results, numbers, annotations, garbage", kStart,
     "1 N e x $1 12 1-0 0-1 -- Z0 + Qz9 1/2-1/2 e9 i4 a0 Nx Ng exd (5 ! Pxe9 "
     "Rzz h N1",
     White, kStart},
    // A piece whose source is off the board still lands on its target.
    {"sources off the board", kStart, "e1 e8 exf1 a8 Ka1 Qi1 x1", White,
     "pnbqpbnr/pppppppp/8/8/8/8/PPPPPPPP/KNBQPPNR", "b"},
};
INSTANTIATE_TEST_SUITE_P(NoSquare, Moves, testing::ValuesIn(kNoSquare));

// Whole games as their files write them, against the final position and the
// pieces each side took, in order, as an independent replayer gives them.
const MoveRow kRealGames[] = {
    {"CURIO: two en passant forms, underpromotion, O-O-O", kStart,
     "b4 e6 Bb2 Nf6 a3 d5 e3 Be7 c4 dxc4 Bxc4 O-O Nf3 Nbd7 Qc2 Nb6 Be2 Bd7 "
     "Nc3 Nfd5 Nxd5 Nxd5 Bd3 h6 h4 a6 g4 Bf6 Nd4 Bb5 Bh7+ Kh8 g5 Bxd4 Bxd4 "
     "f5 gxf6ep gxf6 Bb2 a5 bxa5 Qd7 Bg6 Rxa5 Qc5 Rg8 Rg1 e5 d4 b6 dxe5 bxc5 "
     "exf6 Rxg6 f7+ Kh7 f8N+ Kg8 Nxg6 Qd6 O-O-O Kf7 e4 Nf4 Rxd6 Ne2+ Kd2 "
     "cxd6 Nh8+ Ke7 Rg7+ Kd8 Nf7+ Kc7 Nxh6+ Kc6 Nf7 c4 Nd8+ Kb6 Rb7+ Ka6 "
     "Kxe2 c3+ Rxb5 Kxb5 Bxc3",
     White, "3N4/8/3p4/rk6/4P2P/P1B5/4KP2/8", "pnbpppprqpnbp", "pnnppqbrr"},
    {"castling with zeros, 'Raf8' taking a queen", kStart,
     "d4 f5 e4 fxe4 Nc3 Nf6 f3 Nc6 fxe4 e5 dxe5 Nxe5 Nf3 Bd6 Bg5 h6 Bh4 0-0 "
     "Nd5 Nxf3+ gxf3 Be7 Nxe7+ Qxe7 Qd2 d5 0-0-0 dxe4 fxe4 Qxe4 Bxf6 Rxf6 "
     "Bg2 Qe8 Rhe1 Qf8 Qd5+ Kh8 Qd8 Bg4 Qxf8+ Raf8 Rd4 Bc8 Re7 c6 h4 Kg8 h5 "
     "R6f7 Rxf7 Kxf7 Kd2 Kf6 Ke3 Kg5 Bf3 Bf5 c3 Re8+ Kf2 Re7 b4 Rd7 Rc4 Be6 "
     "Re4 Bxa2 Re5+ Kf4 Ra5 Rd2+ Ke1 Rh2 Be2 Be6 Bf1 Ra2",
     White, "8/pp4p1/2p1b2p/R6P/1P3k2/2P5/r7/4KB2", "ppnbpnqr", "ppnnppbqrp"},
};
INSTANTIATE_TEST_SUITE_P(RealGames, Moves, testing::ValuesIn(kRealGames));

// Bug: moves written as two squares without a piece letter ('g1f3') put a
// pawn on the target and lost the piece that moved.
const MoveRow kCoordinateMoves[] = {
    {"knight", kStart, "g1f3", White,
     "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R"},
    {"black knight and pawn", kStart, "g8f6 e2e4 e7e5", Black,
     "rnbqkb1r/pppp1ppp/5n2/4p3/4P3/8/PPPP1PPP/RNBQKBNR"},
    {"a piece's two files are no capture", "4k3/8/8/4p3/8/8/8/4K1N1",
     "g1f3 e8d8 f3e5", White, "3k4/8/8/4N3/8/8/8/4K3", "p"},
    {"rook capturing", "r7/8/8/8/8/8/8/R7", "a1a8", White, "R7/8/8/8/8/8/8/8",
     "r"},
    {"bishop's 'x' onto an empty square", "4k3/8/8/2p5/8/8/8/2B5",
     "c1xe3 e8d8 e3c5", White, "3k4/8/8/2B5/8/8/8/8", ".p"},
    {"king one file is no castling", "r3k2r/8/8/8/8/8/8/R3K2R", "e1f1", White,
     "r3k2r/8/8/8/8/8/8/R4K1R"},
    {"white castles king-side", "r3k2r/8/8/8/8/8/8/R3K2R", "e1g1", White,
     "r3k2r/8/8/8/8/8/8/R4RK1"},
    {"black castles queen-side", "r3k2r/8/8/8/8/8/8/R3K2R", "e8c8", Black,
     "2kr3r/8/8/8/8/8/8/R3K2R"},
    {"a rook two files from e1 does not castle", "8/8/8/8/8/8/8/4R3", "e1g1",
     White, "8/8/8/8/8/8/8/6R1"},
    {"promotion letters in either case", "8/3P4/8/8/8/8/4p3/8", "d7d8N e2e1q",
     White, "3N4/8/8/8/8/8/8/4q3"},
    {"the other side's piece: a pawn as before", "8/8/8/8/8/8/8/6n1", "g1f3",
     White, "8/8/8/8/8/5P2/8/8", "."},
};
INSTANTIATE_TEST_SUITE_P(CoordinateMoves, Moves,
                         testing::ValuesIn(kCoordinateMoves));

// Where the board does not fit a half-move as written, the report says so
// (the replay itself is in the tables above): the first misfit, in the
// order king, rook, king's target, rook's target, the squares between.
struct MisfitRow {
  const char* what;
  const char* before;  // FEN piece placement
  const char* move;
  Side side;
  Misfit misfit;
  const char* square = "";
  PieceType piece = Empty;
};

void PrintTo(const MisfitRow& row, std::ostream* out) { *out << row.what; }

class Misfits : public testing::TestWithParam<MisfitRow> {};

TEST_P(Misfits, AreReportedWithTheirSquare) {
  const MisfitRow& row = GetParam();
  GameState state = FromPlacement(row.before);
  MoveReport report;
  ASSERT_EQ(ApplyMove(state, row.move, row.side, &report), 0);
  EXPECT_EQ(report.misfit, row.misfit);
  if (row.misfit == Misfit::kNone) return;
  const char square[] = {static_cast<char>('a' + report.misfitSquare.file),
                         static_cast<char>('1' + report.misfitSquare.rank),
                         '\0'};
  EXPECT_STREQ(square, row.square);
  EXPECT_EQ(report.misfitPiece, row.piece);
}

const MisfitRow kMisfits[] = {
    {"castling as the rules allow", kHome, "O-O", White, Misfit::kNone},
    {"black long castling as allowed", kHome, "O-O-O", Black, Misfit::kNone},
    {"the king has left e1", "r3k2r/8/8/8/8/8/8/R4K1R", "O-O", White,
     Misfit::kNoKing, "e1"},
    {"the king's square holds a rook", "r3r2k/8/8/8/8/8/8/8", "O-O", Black,
     Misfit::kNoKing, "e8", Rook},
    {"no rook on h1", "r3k2r/8/8/8/8/8/8/R3K3", "O-O", White, Misfit::kNoRook,
     "h1"},
    {"the other side's rook on a1", "r3k2r/8/8/8/8/8/8/r3K2R", "O-O-O", White,
     Misfit::kNoRook, "a1", Rook},
    {"king's target before rook's", kStart, "O-O", White, Misfit::kSquareTaken,
     "g1", Knight},
    {"black: c8 before d8 and b8", kStart, "O-O-O", Black, Misfit::kSquareTaken,
     "c8", Bishop},
    {"rook's target", "r3k2r/8/8/8/8/8/8/R2QK2R", "O-O-O", White,
     Misfit::kSquareTaken, "d1", Queen},
    {"the square the rook crosses", "r3k2r/8/8/8/8/8/8/Rn2K2R", "O-O-O", White,
     Misfit::kSquareTaken, "b1", Knight},
    {"castling written as the king's squares", "r3k2r/8/8/8/8/8/8/R3KB1R",
     "e1g1", White, Misfit::kSquareTaken, "f1", Bishop},
    {"onto an own pawn", kStart, "Nd2", White, Misfit::kOwnPieceOnTarget, "d2",
     Pawn},
    {"'x' onto an own pawn", kStart, "Bxe7", Black, Misfit::kOwnPieceOnTarget,
     "e7", Pawn},
    {"a capture of the other side", "8/8/8/3n4/4P3/8/8/8", "exd5", White,
     Misfit::kNone},
    {"a move that stays on its square", kStart, "e2e2", White, Misfit::kNone},
};
INSTANTIATE_TEST_SUITE_P(Replays, Misfits, testing::ValuesIn(kMisfits));

TEST(ApplyMove, EndMarkerReturnsMinusOne) {
  GameState state{};
  EXPECT_EQ(ApplyMove(state, "*", White), -1);
  EXPECT_EQ(ApplyMove(state, "e4", White), 0);
}

}  // namespace
}  // namespace boardshot
