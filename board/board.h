// The game state a run works on: the board of 64 squares and the two lists
// of captured pieces, with the routines that read and change them.
//
// Squares are indexed file-major (file * 8 + rank, both 0..7), so a1 is 0,
// a8 is 7 and h8 is 63. Every accessor takes (file, rank) on the board;
// callers holding coordinates from game text must test them with OnBoard
// first, since no square outside the 64 exists.
#pragma once

#include <cstdint>

namespace boardshot {

// Codes of the pieces as stored in a square's type field; 7 fits the field
// but is never written.
enum PieceType : std::uint32_t {
  Empty = 0,
  Pawn = 1,
  Knight = 2,
  Bishop = 3,
  Rook = 4,
  Queen = 5,
  King = 6,
};

// The side to move, the colour of a piece and the colour number in the scene.
enum Side : std::uint32_t {
  White = 0,
  Black = 1,
};

inline constexpr int kBoardSize = 8;

// Files and ranks by name, as coordinates.
inline constexpr int kFileA = 0, kFileB = 1, kFileC = 2, kFileD = 3, kFileE = 4,
                     kFileF = 5, kFileG = 6, kFileH = 7;
inline constexpr int kWhiteBackRank = 0, kWhitePawnRank = 1, kBlackPawnRank = 6,
                     kBlackBackRank = 7;
inline constexpr int kSquareCount = kBoardSize * kBoardSize;
inline constexpr int kCaptureListSize = 15;

// One square: bits 0-2 hold the PieceType, bit 3 the colour; the other bits
// stay zero. The two fields are written independently, so a vacated square
// keeps its old colour bit: read the colour only when the type is not Empty.
using Square = std::uint32_t;

struct Board {
  Square squares[kSquareCount];
};

// Pieces taken by one side, in the order they were taken.
struct CaptureList {
  std::int16_t entries[kCaptureListSize];
  std::int16_t count;
};

// The whole position. Value-initialise it (GameState state{}) so every square
// starts Empty with colour 0 and both lists start empty.
struct GameState {
  Board board;
  CaptureList capturedByWhite;  // Black's pieces, appended when White captures
  CaptureList capturedByBlack;  // White's pieces, appended when Black captures
};

/// True when (file, rank) names one of the 64 squares.
constexpr bool OnBoard(int file, int rank) {
  return file >= 0 && file < kBoardSize && rank >= 0 && rank < kBoardSize;
}

// A square by its coordinates; the default names no square of the board.
struct Coord {
  int file = -1;
  int rank = -1;
};

/// True when `square` is one of the 64 squares.
constexpr bool OnBoard(const Coord& square) {
  return OnBoard(square.file, square.rank);
}

/// The type of the piece on (file, rank), which must be on the board.
PieceType TypeAt(const GameState& state, int file, int rank);

/// The colour bit of (file, rank); meaningful only when its type is not Empty.
Side ColourAt(const GameState& state, int file, int rank);

/// Sets the type of (file, rank) and leaves its colour bit as it was.
void SetType(GameState& state, int file, int rank, PieceType type);

/// Sets the colour of (file, rank) and leaves its type as it was.
void SetColour(GameState& state, int file, int rank, Side side);

/// Empties (file, rank): its type becomes Empty, its colour bit stays.
void Vacate(GameState& state, int file, int rank);

/// True when (file, rank) holds a piece of `type` and colour `side`.
bool HoldsPiece(const GameState& state, int file, int rank, PieceType type,
                Side side);

/// The list of pieces that `side` has captured.
CaptureList& CapturesBy(GameState& state, Side side);
const CaptureList& CapturesBy(const GameState& state, Side side);

/// Appends `type` to the list of pieces captured by `side`. Returns the
/// entry's index, or -1 when the list already holds kCaptureListSize entries:
/// it is then left as it is, and nothing else in the state changes.
int AppendCapture(GameState& state, Side side, PieceType type);

/// The rank `side`'s king and rooks start on.
constexpr int BackRank(Side side) {
  return side == White ? kWhiteBackRank : kBlackBackRank;
}

/// The kind of piece an upper-case letter names ('P', 'N', 'B', 'R', 'Q',
/// 'K', as SAN and FEN write them); Empty for any other character.
PieceType PieceOfLetter(char letter);

/// The name of a kind of piece, capitalised ("Pawn" ... "King"); "" for
/// Empty and for any value that is no kind of piece.
const char* PieceName(PieceType type);

/// Puts the initial position on ranks 1, 2, 7 and 8, relying on the
/// value-initialised state for ranks 3 to 6; the capture lists are not
/// touched. It cannot fail.
void SetUpBoard(GameState& state);

}  // namespace boardshot
