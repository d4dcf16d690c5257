// Square access, capture lists and the initial position.
#include "board/board.h"

namespace boardshot {
namespace {

constexpr Square kTypeMask = 0x7;
constexpr Square kColourBit = 0x8;

constexpr int IndexOf(int file, int rank) { return file * kBoardSize + rank; }

Square& SquareAt(GameState& state, int file, int rank) {
  return state.board.squares[IndexOf(file, rank)];
}

Square SquareAt(const GameState& state, int file, int rank) {
  return state.board.squares[IndexOf(file, rank)];
}

// The back rank from the a-file to the h-file, the same for both sides.
constexpr PieceType kBackRank[kBoardSize] = {Rook, Knight, Bishop, Queen,
                                             King, Bishop, Knight, Rook};

// The letter and the name of each kind of piece, by PieceType.
struct PieceText {
  char letter;
  const char* name;
};
constexpr PieceText kPieceTexts[] = {
    {'\0', ""},    {'P', "Pawn"},  {'N', "Knight"}, {'B', "Bishop"},
    {'R', "Rook"}, {'Q', "Queen"}, {'K', "King"}};
constexpr int kPieceTextCount = sizeof kPieceTexts / sizeof kPieceTexts[0];

}  // namespace

PieceType PieceOfLetter(char letter) {
  for (int type = Pawn; type < kPieceTextCount; ++type) {
    if (kPieceTexts[type].letter == letter) return static_cast<PieceType>(type);
  }
  return Empty;
}

const char* PieceName(PieceType type) {
  return type < kPieceTextCount ? kPieceTexts[type].name : "";
}

PieceType TypeAt(const GameState& state, int file, int rank) {
  return static_cast<PieceType>(SquareAt(state, file, rank) & kTypeMask);
}

Side ColourAt(const GameState& state, int file, int rank) {
  return (SquareAt(state, file, rank) & kColourBit) ? Black : White;
}

void SetType(GameState& state, int file, int rank, PieceType type) {
  Square& square = SquareAt(state, file, rank);
  square = (square & ~kTypeMask) | (static_cast<Square>(type) & kTypeMask);
}

void SetColour(GameState& state, int file, int rank, Side side) {
  Square& square = SquareAt(state, file, rank);
  square = side == Black ? (square | kColourBit) : (square & ~kColourBit);
}

void Vacate(GameState& state, int file, int rank) {
  SetType(state, file, rank, Empty);
}

bool HoldsPiece(const GameState& state, int file, int rank, PieceType type,
                Side side) {
  return TypeAt(state, file, rank) == type &&
         ColourAt(state, file, rank) == side;
}

CaptureList& CapturesBy(GameState& state, Side side) {
  return side == White ? state.capturedByWhite : state.capturedByBlack;
}

const CaptureList& CapturesBy(const GameState& state, Side side) {
  return side == White ? state.capturedByWhite : state.capturedByBlack;
}

int AppendCapture(GameState& state, Side side, PieceType type) {
  CaptureList& list = CapturesBy(state, side);
  if (list.count < 0 || list.count >= kCaptureListSize) return -1;
  list.entries[list.count] = static_cast<std::int16_t>(type);
  return list.count++;
}

void SetUpBoard(GameState& state) {
  for (int file = 0; file < kBoardSize; ++file) {
    SetType(state, file, kWhitePawnRank, Pawn);
    SetType(state, file, kBlackPawnRank, Pawn);
  }
  for (int file = 0; file < kBoardSize; ++file) {
    SetType(state, file, kWhiteBackRank, kBackRank[file]);
    SetType(state, file, kBlackBackRank, kBackRank[file]);
  }
  for (int file = 0; file < kBoardSize; ++file) {
    SetColour(state, file, kWhiteBackRank, White);
    SetColour(state, file, kWhitePawnRank, White);
    SetColour(state, file, kBlackPawnRank, Black);
    SetColour(state, file, kBlackBackRank, Black);
  }
}

}  // namespace boardshot
