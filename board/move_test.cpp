#include "board/move.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>

namespace boardshot {
namespace {

// ------------------------------------------------------------- helpers

constexpr char kPieceLetters[] = ".pnbrqk";

PieceType PieceOfFenLetter(char c) {
  const char* at = std::strchr(kPieceLetters, c | 0x20);
  return static_cast<PieceType>(at - kPieceLetters);
}

// A position from the piece-placement field of a FEN (rank 8 first).
GameState FromPlacement(const std::string& placement) {
  GameState state{};
  int file = 0, rank = 7;
  for (char c : placement) {
    if (c == '/') {
      file = 0;
      --rank;
    } else if (c >= '1' && c <= '8') {
      file += c - '0';
    } else {
      SetType(state, file, rank, PieceOfFenLetter(c));
      SetColour(state, file, rank, (c & 0x20) ? Black : White);
      ++file;
    }
  }
  return state;
}

// The piece-placement field of a FEN for the board of `state`.
std::string Placement(const GameState& state) {
  std::string text;
  for (int rank = 7; rank >= 0; --rank) {
    int gap = 0;
    for (int file = 0; file < kBoardSize; ++file) {
      const PieceType type = TypeAt(state, file, rank);
      if (type == Empty) {
        ++gap;
        continue;
      }
      if (gap > 0) text += static_cast<char>('0' + gap);
      gap = 0;
      const char letter = kPieceLetters[type];
      text += ColourAt(state, file, rank) == White ? letter - 0x20 : letter;
    }
    if (gap > 0) text += static_cast<char>('0' + gap);
    if (rank > 0) text += '/';
  }
  return text;
}

// A capture list as lower-case piece letters ('.' for an Empty entry).
std::string Letters(const CaptureList& list) {
  std::string text;
  for (int i = 0; i < list.count; ++i) text += kPieceLetters[list.entries[i]];
  return text;
}

// Applies space-separated half-moves to `state`, White first.
void Play(GameState& state, const std::string& tokens, Side first = White) {
  std::istringstream in(tokens);
  std::string token;
  Side side = first;
  while (in >> token) {
    ASSERT_EQ(ApplyMove(state, token.c_str(), side), 0) << token;
    side = side == White ? Black : White;
  }
}

GameState InitialPosition() {
  GameState state{};
  SetUpBoard(state);
  return state;
}

constexpr const char* kInitial = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

// ------------------------------------------------------------- decoding

struct DecodeCase {
  const char* token;
  PieceType piece;
  bool isCapture;
  char fileHint;  // '-' for none
  char rankHint;  // '-' for none
  const char* target;
  const char* suffix;
};

TEST(DecodeMove, ReadsPieceCaptureHintsTargetAndSuffix) {
  const DecodeCase cases[] = {
      {"e4", Pawn, false, '-', '-', "e4", ""},
      {"exd5", Pawn, true, 'e', '-', "d5", ""},
      {"e8=Q", Pawn, false, '-', '-', "e8", "=Q"},
      {"e8Q", Pawn, false, '-', '-', "e8", "Q"},
      {"exd8=N+", Pawn, true, 'e', '-', "d8", "=N+"},
      {"Nf3", Knight, false, '-', '-', "f3", ""},
      {"Nbd7", Knight, false, 'b', '-', "d7", ""},
      {"R1xa3", Rook, true, '-', '1', "a3", ""},
      {"Qh4+", Queen, false, '-', '-', "h4", "+"},
      {"Ng1xf3", Knight, true, 'g', '1', "f3", ""},
      {"xd5", Pawn, true, '-', '-', "d5", ""},
      {"Kxb7", King, true, '-', '-', "b7", ""},
      {"Bb5+", Bishop, false, '-', '-', "b5", "+"},
      {"Ng5++", Knight, false, '-', '-', "g5", "++"},
      {"Rae1!?", Rook, false, 'a', '-', "e1", "!?"},
      {"dxc6ep", Pawn, true, 'd', '-', "c6", "ep"},
      {"exd6e", Pawn, true, 'e', '-', "d6", "e"},
      // Non-capturing rank and whole-square sources.
      {"N1d2", Knight, false, '-', '1', "d2", ""},
      {"Ng1f3", Knight, false, 'g', '1', "f3", ""},
      {"Ng1-f3+", Knight, false, 'g', '1', "f3", "+"},
      {"e2e4", Pawn, false, 'e', '2', "e4", ""},
      {"e7e8Q", Pawn, false, 'e', '7', "e8", "Q"},
      // A pawn move from another file is a capture even without 'x'.
      {"de4", Pawn, true, 'd', '-', "e4", ""},
      {"e5d6", Pawn, true, 'e', '5', "d6", ""},
      // A lower-case piece letter is a pawn with a file hint off the board.
      {"nf3", Pawn, false, 'n', '-', "f3", ""},
  };
  for (const DecodeCase& c : cases) {
    SCOPED_TRACE(c.token);
    const MoveSpec spec = DecodeMove(c.token);
    EXPECT_FALSE(spec.endMarker);
    EXPECT_EQ(spec.castling, Castling::None);
    EXPECT_EQ(spec.piece, c.piece);
    EXPECT_EQ(spec.isCapture, c.isCapture);
    if (c.fileHint == '-') {
      EXPECT_LT(spec.fileHint, 0);
    } else {
      EXPECT_EQ(spec.fileHint, c.fileHint - 'a');
    }
    if (c.rankHint == '-') {
      EXPECT_LT(spec.rankHint, 0);
    } else {
      EXPECT_EQ(spec.rankHint, c.rankHint - '1');
    }
    EXPECT_EQ(spec.targetFile, c.target[0] - 'a');
    EXPECT_EQ(spec.targetRank, c.target[1] - '1');
    EXPECT_STREQ(c.token + spec.suffix, c.suffix);
  }
}

TEST(DecodeMove, RecognisesEndMarkerAndBothCastlingSpellings) {
  const struct {
    const char* token;
    bool endMarker;
    Castling castling;
  } cases[] = {
      {"*", true, Castling::None},
      {"*x", true, Castling::None},
      {"O-O", false, Castling::KingSide},
      {"o-o", false, Castling::KingSide},
      {"O-O+", false, Castling::KingSide},
      {"O-O#", false, Castling::KingSide},
      {"0-0", false, Castling::KingSide},
      {"0-0+", false, Castling::KingSide},
      {"O-O-O", false, Castling::QueenSide},
      {"O-O-O+", false, Castling::QueenSide},
      {"o-o-o", false, Castling::QueenSide},
      {"0-0-0", false, Castling::QueenSide},
      // Results are neither castling nor an end marker.
      {"0-1", false, Castling::None},
      {"1-0", false, Castling::None},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    const MoveSpec spec = DecodeMove(c.token);
    EXPECT_EQ(spec.endMarker, c.endMarker);
    EXPECT_EQ(spec.castling, c.castling);
  }
}

// Tokens that name no square, or a square off the board. Each is copied to a
// heap block of its exact size so that the address sanitizer catches any
// read past the NUL.
constexpr const char* kOffBoardTokens[] = {
    "",   "1",   "N",  "e",   "x",       "$1",  "12", "1-0", "0-1",
    "--", "Z0",  "+",  "Qz9", "1/2-1/2", "e9",  "i4", "a0",  "Nx",
    "Ng", "exd", "(5", "!",   "Pxe9",    "Rzz", "h",  "N1"};

std::unique_ptr<char[]> ExactCopy(const char* token) {
  const std::size_t size = std::strlen(token) + 1;
  auto copy = std::make_unique<char[]>(size);
  std::memcpy(copy.get(), token, size);
  return copy;
}

TEST(DecodeMove, ShortAndForeignTokensYieldATargetOffTheBoard) {
  for (const char* text : kOffBoardTokens) {
    SCOPED_TRACE(text);
    const auto token = ExactCopy(text);
    const MoveSpec spec = DecodeMove(token.get());
    EXPECT_FALSE(OnBoard(spec.targetFile, spec.targetRank));
    EXPECT_GE(spec.suffix, 0);
    EXPECT_LE(spec.suffix, static_cast<int>(std::strlen(text)));
  }
}

// ----------------------------------------------------------- directions

TEST(DirectionFromAngle, StoredAnglesGiveExactStepsInSearchOrder) {
  const double right = 1.5707963268, half = 0.785398163398;
  const Step diagonal[] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
  const Step orthogonal[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  const Step all[] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                      {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};
  for (int k = 0; k < 4; ++k) {
    const Step d = DirectionFromAngle(k * right + half);
    const Step o = DirectionFromAngle(k * right);
    EXPECT_EQ(d.dx, diagonal[k].dx) << k;
    EXPECT_EQ(d.dy, diagonal[k].dy) << k;
    EXPECT_EQ(o.dx, orthogonal[k].dx) << k;
    EXPECT_EQ(o.dy, orthogonal[k].dy) << k;
  }
  for (int k = 0; k < 8; ++k) {
    const Step a = DirectionFromAngle(k * half);
    EXPECT_EQ(a.dx, all[k].dx) << k;
    EXPECT_EQ(a.dy, all[k].dy) << k;
  }
}

// ------------------------------------------------------------ execution

struct MoveCase {
  const char* name;
  const char* before;  // FEN placement
  const char* token;
  Side side;
  const char* after;           // FEN placement
  const char* capturedBySide;  // the mover's capture list afterwards
};

void RunMoveCases(const MoveCase* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const MoveCase& c = cases[i];
    SCOPED_TRACE(std::string(c.name) + ": " + c.token);
    GameState state = FromPlacement(c.before);
    ASSERT_EQ(ApplyMove(state, c.token, c.side), 0);
    EXPECT_EQ(Placement(state), c.after);
    EXPECT_EQ(Letters(CapturesBy(state, c.side)), c.capturedBySide);
    const Side other = c.side == White ? Black : White;
    EXPECT_EQ(CapturesBy(state, other).count, 0);
  }
}

TEST(ApplyMove, SearchesOutwardInTheFixedOrder) {
  const MoveCase cases[] = {
      {"knight from g1", kInitial, "Nf3", White,
       "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R", ""},
      {"knight: e1 before g1", "8/8/8/8/8/8/8/4N1N1", "Nf3", White,
       "8/8/8/8/8/5N2/8/6N1", ""},
      {"knight: e5 before d4", "8/8/8/4n3/3n4/8/8/8", "Nf3", Black,
       "8/8/8/8/3n4/5n2/8/8", ""},
      {"rook: east first", "8/8/8/8/R6R/8/8/8", "Rd4", White,
       "8/8/8/8/R2R4/8/8/8", ""},
      {"rook: north before south", "3R4/8/8/8/8/8/8/3R4", "Rd4", White,
       "8/8/8/8/3R4/8/8/3R4", ""},
      {"bishop: north-east first", "8/8/5B2/8/8/8/1B6/8", "Bd4", White,
       "8/8/8/8/3B4/8/1B6/8", ""},
      {"queen: north-east before north", "3Q3Q/8/8/8/8/8/8/8", "Qd4", White,
       "3Q4/8/8/8/3Q4/8/8/8", ""},
      {"king", "8/8/8/8/8/8/8/4K3", "Kd2", White, "8/8/8/8/8/8/3K4/8", ""},
      {"line blocked by a pawn", "3R4/8/3P4/8/R7/8/8/8", "Rd4", White,
       "3R4/8/3P4/8/3R4/8/8/8", ""},
      {"blocked everywhere: a rook appears", "8/8/8/2pPp3/2P1P3/2pPp3/8/R7",
       "Rd4", White, "8/8/8/2pPp3/2PRP3/2pPp3/8/R7", ""},
      {"the other side's rook is not taken", "r7/8/8/8/8/8/8/8", "Ra4", White,
       "r7/8/8/8/R7/8/8/8", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, HintsFilterTheCandidates) {
  const MoveCase cases[] = {
      // Replacing the file instead would examine b4 first and move it.
      {"Nbd2 with knights on b4 and b1", "8/8/8/8/1N6/8/8/1N6", "Nbd2", White,
       "8/8/8/8/1N6/8/3N4/8", ""},
      {"N1d2: b3 would come first", "8/8/8/8/8/1N6/8/1N6", "N1d2", White,
       "8/8/8/8/8/1N6/3N4/8", ""},
      {"Ng1f3: e1 would come first", "8/8/8/8/8/8/8/4N1N1", "Ng1f3", White,
       "8/8/8/8/8/5N2/8/4N3", ""},
      {"Nge2 capture form", "8/8/8/8/8/2N5/8/6N1", "Ngxe2", White,
       "8/8/8/8/8/2N5/4N3/8", "."},
      {"Rae1: f1 would come first", "8/8/8/8/8/8/8/R4R2", "Rae1", White,
       "8/8/8/8/8/8/8/4RR2", ""},
      {"R1a3: a5 would come first", "8/8/8/R7/8/8/8/R7", "R1a3", White,
       "8/8/8/R7/8/R7/8/8", ""},
      {"a hinted rook behind another is not reached", "8/8/8/8/8/8/8/R1R5",
       "Rae1", White, "8/8/8/8/8/8/8/R1R1R3", ""},
      {"long algebraic pawn", kInitial, "e2e4", White,
       "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", ""},
      {"both hints: that square, no search", "8/8/8/8/8/8/8/Q6Q", "Qa1d4",
       White, "8/8/8/8/3Q4/8/8/7Q", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, PassesOverPinnedPieces) {
  const MoveCase cases[] = {
      {"pinned knight stays", "4k3/8/8/8/1b6/8/3N4/4K1N1", "Nf3", White,
       "4k3/8/8/8/1b6/5N2/3N4/4K3", ""},
      {"unpinned knight is first", "4k3/8/8/8/8/8/3N4/4K1N1", "Nf3", White,
       "4k3/8/8/8/8/5N2/8/4K1N1", ""},
      {"own piece shields the line", "4k3/8/8/8/1b6/2P5/3N4/4K1N1", "Nf3",
       White, "4k3/8/8/8/1b6/2P2N2/8/4K1N1", ""},
      {"no king, no pin test", "4k3/8/8/8/1b6/8/3N4/6N1", "Nf3", White,
       "4k3/8/8/8/1b6/5N2/8/6N1", ""},
      {"every candidate pinned: the first moves", "4k3/8/8/8/1b6/8/3N4/4K3",
       "Nf3", White, "4k3/8/8/8/1b6/5N2/8/4K3", ""},
      {"pinned rook stays", "1R2r2k/8/8/8/8/8/4R3/4K3", "Rb2", White,
       "4r2k/8/8/8/8/8/1R2R3/4K3", ""},
      {"pinned rook moves along the line", "4k3/4r3/8/8/8/r7/8/4R2K", "Re3",
       Black, "4k3/8/8/8/8/r3r3/8/4R2K", ""},
      {"pinned rook takes the pinner", "4k3/4r3/8/8/8/8/8/r3R2K", "Rxe1", Black,
       "4k3/8/8/8/8/8/8/r3r2K", "r"},
      {"pinned queen stays", "k7/8/8/8/8/8/4Q3/K1Q4r", "Qc4", White,
       "k7/8/8/8/2Q5/8/8/K1Q4r", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, PawnSteps) {
  const MoveCase cases[] = {
      {"double step", kInitial, "e4", White,
       "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR", ""},
      {"single step", kInitial, "e3", White,
       "rnbqkbnr/pppppppp/8/8/8/4P3/PPPP1PPP/RNBQKBNR", ""},
      {"black double step", kInitial, "d5", Black,
       "rnbqkbnr/ppp1pppp/8/3p4/8/8/PPPPPPPP/RNBQKBNR", ""},
      {"pawn capture", "8/8/8/3n4/4P3/8/8/8", "exd5", White,
       "8/8/8/3P4/8/8/8/8", "n"},
      {"old-style pawn capture", "8/8/8/3n4/4P3/8/8/8", "ed5", White,
       "8/8/8/3P4/8/8/8/8", "n"},
      {"en passant", "8/8/8/3pP3/8/8/8/8", "exd6", White, "8/8/3P4/8/8/8/8/8",
       "p"},
      {"black en passant", "8/8/8/8/3Pp3/8/8/8", "exd3", Black,
       "8/8/8/8/8/3p4/8/8", "p"},
      {"both hints: no en passant", "8/8/8/3pP3/8/8/8/8", "e5xd6", White,
       "8/8/3P4/3p4/8/8/8/8", "."},
      {"promotion with '='", "8/4P3/8/8/8/8/8/8", "e8=Q", White,
       "4Q3/8/8/8/8/8/8/8", ""},
      {"promotion without '='", "8/4P3/8/8/8/8/8/8", "e8Q", White,
       "4Q3/8/8/8/8/8/8/8", ""},
      {"promotion with check", "8/4P3/8/8/8/8/8/8", "e8=R+", White,
       "4R3/8/8/8/8/8/8/8", ""},
      {"bishop promotion", "8/4P3/8/8/8/8/8/8", "e8B", White,
       "4B3/8/8/8/8/8/8/8", ""},
      {"capturing underpromotion", "3r4/4P3/8/8/8/8/8/8", "exd8=N", White,
       "3N4/8/8/8/8/8/8/8", "r"},
      {"black promotion", "8/8/8/8/8/8/3p4/8", "d1=Q", Black,
       "8/8/8/8/8/8/8/3q4", ""},
      {"check mark is no promotion", "8/8/8/8/8/8/8/5B2", "Bb5+", White,
       "8/8/8/1B6/8/8/8/8", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

// Bug: long algebraic promotions with the piece letter in lower case, as
// UCI writes them ('d7d8q'), left a pawn on the last rank.
TEST(ApplyMove, LowerCasePromotionLettersOfLongAlgebraicPawnMoves) {
  const MoveCase cases[] = {
      {"queen", "8/3P4/8/8/8/8/8/8", "d7d8q", White, "3Q4/8/8/8/8/8/8/8", ""},
      {"rook", "8/3P4/8/8/8/8/8/8", "d7d8r", White, "3R4/8/8/8/8/8/8/8", ""},
      {"knight", "8/3P4/8/8/8/8/8/8", "d7d8n", White, "3N4/8/8/8/8/8/8/8", ""},
      {"bishop", "8/3P4/8/8/8/8/8/8", "d7d8b", White, "3B4/8/8/8/8/8/8/8", ""},
      {"black, capturing", "8/8/8/8/8/8/4p3/3R4", "e2d1q", Black,
       "8/8/8/8/8/8/8/3q4", "r"},
      {"a piece's lower-case suffix is no promotion", "8/8/8/8/8/8/8/6N1",
       "Nf3b", White, "8/8/8/8/8/5N2/8/8", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

// Bug: moves written as two squares without a piece letter ('g1f3') put a
// pawn on the target and lost the piece that moved.
TEST(ApplyMove, CoordinateMovesKeepTheirPiece) {
  const char* home = "r3k2r/8/8/8/8/8/8/R3K2R";
  const MoveCase cases[] = {
      {"knight", kInitial, "g1f3", White,
       "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R", ""},
      {"black knight", kInitial, "g8f6", Black,
       "rnbqkb1r/pppppppp/5n2/8/8/8/PPPPPPPP/RNBQKBNR", ""},
      {"pawn", kInitial, "e7e5", Black,
       "rnbqkbnr/pppp1ppp/8/4p3/8/8/PPPPPPPP/RNBQKBNR", ""},
      {"rook capturing", "r7/8/8/8/8/8/8/R7", "a1a8", White, "R7/8/8/8/8/8/8/8",
       "r"},
      {"king one file is no castling", home, "e1f1", White,
       "r3k2r/8/8/8/8/8/8/R4K1R", ""},
      {"white castles king-side", home, "e1g1", White,
       "r3k2r/8/8/8/8/8/8/R4RK1", ""},
      {"black castles queen-side", home, "e8c8", Black,
       "2kr3r/8/8/8/8/8/8/R3K2R", ""},
      {"a rook two files from e1 does not castle", "8/8/8/8/8/8/8/4R3", "e1g1",
       White, "8/8/8/8/8/8/8/6R1", ""},
      {"promotion letter in upper case", "8/4P3/8/8/8/8/8/8", "e7e8N", White,
       "4N3/8/8/8/8/8/8/8", ""},
      {"bishop with 'x' onto an empty square", "8/8/8/8/8/8/8/2B5", "c1xe3",
       White, "8/8/8/8/8/4B3/8/8", "."},
      {"the other side's piece: a pawn as before", "8/8/8/8/8/8/8/6n1", "g1f3",
       White, "8/8/8/8/8/5P2/8/8", "."},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, Castling) {
  const char* home = "r3k2r/8/8/8/8/8/8/R3K2R";
  const MoveCase cases[] = {
      {"white king-side", home, "O-O", White, "r3k2r/8/8/8/8/8/8/R4RK1", ""},
      {"white queen-side", home, "O-O-O+", White, "r3k2r/8/8/8/8/8/8/2KR3R",
       ""},
      {"black king-side", home, "O-O", Black, "r4rk1/8/8/8/8/8/8/R3K2R", ""},
      {"black queen-side", home, "O-O-O", Black, "2kr3r/8/8/8/8/8/8/R3K2R", ""},
      {"digit zeros king-side", home, "0-0", White, "r3k2r/8/8/8/8/8/8/R4RK1",
       ""},
      {"digit zeros queen-side", home, "0-0-0", Black,
       "2kr3r/8/8/8/8/8/8/R3K2R", ""},
      {"squares written whatever they held", kInitial, "O-O", Black,
       "rnbq1rk1/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, CapturesAreRecordedEvenWithoutX) {
  const MoveCase cases[] = {
      {"'x' onto an empty square records Empty", "8/8/8/8/8/8/8/R7", "Rxa5",
       White, "8/8/8/R7/8/8/8/8", "."},
      {"no 'x', black takes a queen", "r4Q2/8/8/8/8/8/8/8", "Raf8", Black,
       "5r2/8/8/8/8/8/8/8", "q"},
      {"no 'x', opposing queen on target", "R4q2/8/8/8/8/8/8/8", "Raf8", White,
       "5R2/8/8/8/8/8/8/8", "q"},
      {"own piece on target is not recorded", "R4N2/8/8/8/8/8/8/8", "Raf8",
       White, "5R2/8/8/8/8/8/8/8", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

// Regression: a pawn capture onto an empty square took whatever pawn stood
// behind the target, even the mover's own, and recorded a captured pawn.
// Regression: a pawn step lifted an opposing pawn from the square behind the
// target, and a double step lifted any piece two squares back.
TEST(ApplyMove, PawnMovesLiftOnlyTheMoversPawns) {
  const MoveCase cases[] = {
      {"own pawn behind an empty capture target", "8/8/8/8/8/8/3PP3/8", "exd3",
       White, "8/8/8/8/8/3P4/3P4/8", "."},
      {"opposing pawn in front stays", "8/8/8/8/8/4p3/4P3/8", "e4", White,
       "8/8/8/8/4P3/4p3/8/8", ""},
      {"no pawn behind: the king stays", "8/8/8/8/8/8/8/4K3", "e3", White,
       "8/8/8/8/8/4P3/8/4K3", ""},
  };
  RunMoveCases(cases, std::size(cases));
}

TEST(ApplyMove, EndMarkerReturnsMinusOneAndChangesNothing) {
  GameState state = InitialPosition();
  EXPECT_EQ(ApplyMove(state, "*", White), -1);
  EXPECT_EQ(ApplyMove(state, "*e4", Black), -1);
  EXPECT_EQ(Placement(state), kInitial);
}

TEST(ApplyMove, TokensOffTheBoardChangeNothing) {
  for (const char* text : kOffBoardTokens) {
    for (Side side : {White, Black}) {
      SCOPED_TRACE(text);
      GameState state = InitialPosition();
      const GameState before = state;
      const auto token = ExactCopy(text);
      EXPECT_EQ(ApplyMove(state, token.get(), side), 0);
      EXPECT_EQ(std::memcmp(&state, &before, sizeof state), 0);
    }
  }
}

TEST(ApplyMove, SourcesOffTheBoardAreNotFound) {
  // Each of these names a target on the board but a source square off it
  // (a pawn step from behind the edge, a hint beyond h); the sanitizer build
  // proves no square outside the 64 is touched.
  const struct {
    const char* token;
    Side side;
  } cases[] = {{"e1", White},  {"e8", Black},   {"exf1", White},
               {"a8", Black},  {"nf3", White},  {"Nz1f3", White},
               {"Qi1", White}, {"R9a3", Black}, {"pxe5", Black},
               {"h1", White},  {"Ka1", Black},  {"x1", White}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    GameState state = InitialPosition();
    const auto token = ExactCopy(c.token);
    EXPECT_EQ(ApplyMove(state, token.get(), c.side), 0);
    EXPECT_LE(CapturesBy(state, c.side).count, 1);
  }
}

TEST(ApplyMove, RecordsCapturesInTheOrderTheyHappen) {
  GameState state = InitialPosition();
  Play(state, "e4 d5 exd5 Qxd5 Nc3 Qxa2 Rxa2");
  EXPECT_EQ(Letters(state.capturedByWhite), "pq");
  EXPECT_EQ(Letters(state.capturedByBlack), "pp");
  EXPECT_EQ(Placement(state), "rnb1kbnr/ppp1pppp/8/8/8/2N5/RPPP1PPP/2BQKBNR");
}

// Whole games as their files write them, checked against the final
// position and the pieces each side took in order, as an independent
// replayer gives them.
TEST(ApplyMove, ReplaysRealGames) {
  const struct {
    const char* name;
    const char* tokens;
    const char* placement;
    const char* byWhite;
    const char* byBlack;
  } games[] = {
      {"CURIO: two en passant forms, underpromotion, O-O-O",
       "b4 e6 Bb2 Nf6 a3 d5 e3 Be7 c4 dxc4 Bxc4 O-O Nf3 Nbd7 Qc2 Nb6 Be2 Bd7 "
       "Nc3 Nfd5 Nxd5 Nxd5 Bd3 h6 h4 a6 g4 Bf6 Nd4 Bb5 Bh7+ Kh8 g5 Bxd4 Bxd4 "
       "f5 gxf6ep gxf6 Bb2 a5 bxa5 Qd7 Bg6 Rxa5 Qc5 Rg8 Rg1 e5 d4 b6 dxe5 bxc5 "
       "exf6 Rxg6 f7+ Kh7 f8N+ Kg8 Nxg6 Qd6 O-O-O Kf7 e4 Nf4 Rxd6 Ne2+ Kd2 "
       "cxd6 Nh8+ Ke7 Rg7+ Kd8 Nf7+ Kc7 Nxh6+ Kc6 Nf7 c4 Nd8+ Kb6 Rb7+ Ka6 "
       "Kxe2 c3+ Rxb5 Kxb5 Bxc3",
       "3N4/8/3p4/rk6/4P2P/P1B5/4KP2/8", "pnbpppprqpnbp", "pnnppqbrr"},
      {"immortal games: castling with zeros, 'Raf8' taking a queen",
       "d4 f5 e4 fxe4 Nc3 Nf6 f3 Nc6 fxe4 e5 dxe5 Nxe5 Nf3 Bd6 Bg5 h6 Bh4 0-0 "
       "Nd5 Nxf3+ gxf3 Be7 Nxe7+ Qxe7 Qd2 d5 0-0-0 dxe4 fxe4 Qxe4 Bxf6 Rxf6 "
       "Bg2 Qe8 Rhe1 Qf8 Qd5+ Kh8 Qd8 Bg4 Qxf8+ Raf8 Rd4 Bc8 Re7 c6 h4 Kg8 h5 "
       "R6f7 Rxf7 Kxf7 Kd2 Kf6 Ke3 Kg5 Bf3 Bf5 c3 Re8+ Kf2 Re7 b4 Rd7 Rc4 Be6 "
       "Re4 Bxa2 Re5+ Kf4 Ra5 Rd2+ Ke1 Rh2 Be2 Be6 Bf1 Ra2",
       "8/pp4p1/2p1b2p/R6P/1P3k2/2P5/r7/4KB2", "ppnbpnqr", "ppnnppbqrp"},
  };
  for (const auto& game : games) {
    SCOPED_TRACE(game.name);
    GameState state = InitialPosition();
    Play(state, game.tokens);
    EXPECT_EQ(Placement(state), game.placement);
    EXPECT_EQ(Letters(state.capturedByWhite), game.byWhite);
    EXPECT_EQ(Letters(state.capturedByBlack), game.byBlack);
  }
}

}  // namespace
}  // namespace boardshot
