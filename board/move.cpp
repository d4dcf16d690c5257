// Move decoding and execution: turns a SAN token into a MoveSpec, finds the
// piece that makes the move by searching outward from the target square, and
// changes the board and the capture lists.
#include "board/move.h"

#include <cmath>
#include <cstring>

namespace boardshot {
namespace {

// Angles are kept as these rounded constants, not as exact fractions of pi;
// the threshold below absorbs the residues (about 1e-11) so the steps come
// out as exact small integers.
constexpr double kRightAngle = 1.5707963268;
constexpr double kHalfRightAngle = 0.785398163398;
constexpr double kZeroThreshold = 1e-10;

constexpr int kWhiteBackRank = 0;
constexpr int kBlackBackRank = 7;
constexpr int kFileA = 0;
constexpr int kFileC = 2;
constexpr int kFileD = 3;
constexpr int kFileE = 4;
constexpr int kFileF = 5;
constexpr int kFileG = 6;
constexpr int kFileH = 7;

// ---------------------------------------------------------------- decoding

// A token's characters by index. Every index at or past the terminating NUL
// reads as NUL, so the decoder never looks beyond the token.
struct TokenText {
  const char* text;
  int length;

  char At(int index) const { return index < length ? text[index] : '\0'; }
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsFileLetter(char c) { return c >= 'a' && c <= 'h'; }
std::int16_t FileOf(char c) { return static_cast<std::int16_t>(c - 'a'); }
std::int16_t RankOf(char c) { return static_cast<std::int16_t>(c - '1'); }
bool HintPresent(std::int16_t hint) { return hint >= 0; }

// Castling in either spelling: the letter O (either case), or digit zeros as
// many files write it ('0-0', '0-0-0'). A result such as '0-1' is not one.
Castling CastlingOf(const TokenText& t) {
  const char first = t.At(0);
  const bool letters = first == 'O' || first == 'o';
  const bool zeros = first == '0' && t.At(1) == '-' && t.At(2) == '0';
  if (!letters && !zeros) return Castling::None;
  return t.At(3) == '-' ? Castling::QueenSide : Castling::KingSide;
}

// The piece named by an upper-case SAN letter; Empty for any other character,
// which leaves the token to a pawn move.
PieceType PieceOfLetter(char c) {
  switch (c) {
    case 'K': return King;
    case 'Q': return Queen;
    case 'R': return Rook;
    case 'B': return Bishop;
    case 'N': return Knight;
    default: return Empty;
  }
}

// A lone disambiguation character: a digit names the rank the piece comes
// from, anything else its file.
void SetSingleHint(MoveSpec& spec, char c) {
  if (IsDigit(c)) {
    spec.rankHint = RankOf(c);
  } else {
    spec.fileHint = FileOf(c);
  }
}

void SetSquareHints(MoveSpec& spec, char file, char rank) {
  spec.fileHint = FileOf(file);
  spec.rankHint = RankOf(rank);
}

// Decodes an 'x' in one of its three places and the hints before it; returns
// the index where the square part begins.
int DecodeCaptureAndHints(const TokenText& t, int rest, MoveSpec& spec) {
  if (t.At(rest) == 'x') {
    spec.isCapture = true;
    return rest + 1;
  }
  if (t.At(rest + 1) == 'x') {
    spec.isCapture = true;
    SetSingleHint(spec, t.At(rest));
    return rest + 2;
  }
  if (t.At(rest + 2) == 'x') {
    spec.isCapture = true;
    SetSquareHints(spec, t.At(rest), t.At(rest + 1));
    return rest + 3;
  }
  return rest;
}

bool SquareAt(const TokenText& t, int index) {
  return IsFileLetter(t.At(index)) && IsDigit(t.At(index + 1));
}

// Decodes the target square and whatever hint stands before it, and sets
// the suffix just after the target.
void DecodeSquarePart(const TokenText& t, int q, MoveSpec& spec) {
  int target = q;
  if (IsDigit(t.At(q + 1))) {
    // A whole source square before the target ('Ng1f3', 'e2e4', 'Ng1-f3').
    if (SquareAt(t, q + 2)) {
      SetSquareHints(spec, t.At(q), t.At(q + 1));
      target = q + 2;
    } else if (t.At(q + 2) == '-' && SquareAt(t, q + 3)) {
      SetSquareHints(spec, t.At(q), t.At(q + 1));
      target = q + 3;
    }
  } else {
    SetSingleHint(spec, t.At(q));
    target = q + 1;
  }
  spec.targetFile = FileOf(t.At(target));
  spec.targetRank = RankOf(t.At(target + 1));
  spec.suffix = target + 2 < t.length ? target + 2 : t.length;
}

// ------------------------------------------------------------- directions

// A set of unit steps, in the order every search tries them.
struct Directions {
  Step steps[8];
  int count = 0;
};

int UnitSign(double value) {
  if (std::fabs(value) < kZeroThreshold) return 0;
  return static_cast<int>(value / std::fabs(value));
}

Directions StepsFromAngles(double first, double increment, int count) {
  Directions directions;
  for (int k = 0; k < count; ++k) {
    directions.steps[k] = DirectionFromAngle(k * increment + first);
  }
  directions.count = count;
  return directions;
}

Directions DiagonalDirections() {
  return StepsFromAngles(kHalfRightAngle, kRightAngle, 4);
}
Directions OrthogonalDirections() {
  return StepsFromAngles(0.0, kRightAngle, 4);
}
Directions AllDirections() { return StepsFromAngles(0.0, kHalfRightAngle, 8); }

// ------------------------------------------------------------------- pins

struct Coord {
  int file = -1;
  int rank = -1;
};

bool SameSquare(const Coord& a, const Coord& b) {
  return a.file == b.file && a.rank == b.rank;
}

int Sign(int value) { return (value > 0) - (value < 0); }

// The first square holding `side`'s king, or an off-board Coord if none.
Coord KingOf(const GameState& state, Side side) {
  for (int file = 0; file < kBoardSize; ++file) {
    for (int rank = 0; rank < kBoardSize; ++rank) {
      if (HoldsPiece(state, file, rank, King, side)) return {file, rank};
    }
  }
  return {};
}

// True when a piece of `type` attacks along an orthogonal line (or, when
// `orthogonal` is false, along a diagonal one).
bool SlidesAlong(PieceType type, bool orthogonal) {
  return type == Queen || type == (orthogonal ? Rook : Bishop);
}

// True when lifting the piece on `from` and putting it on `to` leaves the
// line from `king` through `from` open to an opposing rook, bishop or queen.
// A piece that stays on the line, or takes the attacker, keeps it closed.
bool ExposesKing(const GameState& state, Side side, const Coord& king,
                 const Coord& from, const Coord& to) {
  const int df = from.file - king.file;
  const int dr = from.rank - king.rank;
  const bool orthogonal = df == 0 || dr == 0;
  if ((df == 0 && dr == 0) || (!orthogonal && df != dr && df != -dr)) {
    return false;
  }
  const Step step{Sign(df), Sign(dr)};
  bool passedFrom = false;
  for (Coord at{king.file + step.dx, king.rank + step.dy};
       OnBoard(at.file, at.rank); at = {at.file + step.dx, at.rank + step.dy}) {
    if (SameSquare(at, to)) return false;
    if (SameSquare(at, from)) {
      passedFrom = true;
      continue;
    }
    const PieceType type = TypeAt(state, at.file, at.rank);
    if (type == Empty) continue;
    // Something between the king and the piece already shields the king.
    if (!passedFrom) return false;
    return ColourAt(state, at.file, at.rank) != side &&
           SlidesAlong(type, orthogonal);
  }
  return false;
}

// Chooses among the pieces a search meets, in search order: the first one
// that may move without exposing its king, or else the first one met.
struct CandidatePicker {
  const GameState& state;
  Side side;
  Coord target;
  Coord king;
  Coord first;
  Coord chosen;
};

CandidatePicker StartPicking(const GameState& state, Side side,
                             const MoveSpec& spec) {
  const Coord target{spec.targetFile, spec.targetRank};
  return {state, side, target, KingOf(state, side), Coord{}, Coord{}};
}

// Offers a square holding a piece of the mover; returns true when it is
// taken and the search can stop.
bool Offer(CandidatePicker& picker, const Coord& square) {
  if (!OnBoard(picker.first.file, picker.first.rank)) picker.first = square;
  const bool noKing = !OnBoard(picker.king.file, picker.king.rank);
  if (noKing || !ExposesKing(picker.state, picker.side, picker.king, square,
                             picker.target)) {
    picker.chosen = square;
    return true;
  }
  return false;
}

void VacatePicked(GameState& state, const CandidatePicker& picker) {
  const Coord pick = OnBoard(picker.chosen.file, picker.chosen.rank)
                         ? picker.chosen
                         : picker.first;
  if (OnBoard(pick.file, pick.rank)) Vacate(state, pick.file, pick.rank);
}

// ------------------------------------------------------------------ search

// A square is a candidate only if it agrees with every hint present.
bool MatchesHints(const MoveSpec& spec, int file, int rank) {
  return (!HintPresent(spec.fileHint) || spec.fileHint == file) &&
         (!HintPresent(spec.rankHint) || spec.rankHint == rank);
}

bool IsCandidate(const GameState& state, const MoveSpec& spec, Side side,
                 int file, int rank) {
  return OnBoard(file, rank) && MatchesHints(spec, file, rank) &&
         HoldsPiece(state, file, rank, spec.piece, side);
}

// The knight's squares: for each diagonal step, first the one two ranks
// away, then the one two files away.
void FindKnightSource(GameState& state, const MoveSpec& spec, Side side) {
  CandidatePicker picker = StartPicking(state, side, spec);
  const Directions diagonals = DiagonalDirections();
  for (int i = 0; i < diagonals.count; ++i) {
    const Step s = diagonals.steps[i];
    const Coord candidates[2] = {
        {spec.targetFile + s.dx, spec.targetRank + 2 * s.dy},
        {spec.targetFile + 2 * s.dx, spec.targetRank + s.dy}};
    for (const Coord& c : candidates) {
      if (IsCandidate(state, spec, side, c.file, c.rank) && Offer(picker, c)) {
        VacatePicked(state, picker);
        return;
      }
    }
  }
  VacatePicked(state, picker);
}

// Bishops, rooks and queens walk outward along each line; the first occupied
// square ends the line, whether or not it holds the piece sought.
void FindSliderSource(GameState& state, const MoveSpec& spec, Side side,
                      const Directions& directions) {
  CandidatePicker picker = StartPicking(state, side, spec);
  for (int i = 0; i < directions.count; ++i) {
    const Step s = directions.steps[i];
    for (int n = 1;; ++n) {
      const Coord at{spec.targetFile + n * s.dx, spec.targetRank + n * s.dy};
      if (!OnBoard(at.file, at.rank)) break;
      if (TypeAt(state, at.file, at.rank) == Empty) continue;
      if (IsCandidate(state, spec, side, at.file, at.rank) &&
          Offer(picker, at)) {
        VacatePicked(state, picker);
        return;
      }
      break;
    }
  }
  VacatePicked(state, picker);
}

void FindKingSource(GameState& state, const MoveSpec& spec, Side side) {
  const Directions all = AllDirections();
  for (int i = 0; i < all.count; ++i) {
    const int file = spec.targetFile + all.steps[i].dx;
    const int rank = spec.targetRank + all.steps[i].dy;
    if (OnBoard(file, rank) && HoldsPiece(state, file, rank, King, side)) {
      Vacate(state, file, rank);
      return;
    }
  }
}

// Removes the pawn passed by a double step when a pawn captures onto the
// empty square behind it. Only an opposing pawn is taken.
bool TakeEnPassant(GameState& state, const MoveSpec& spec, Side side,
                   int back) {
  const int file = spec.targetFile;
  const int rank = spec.targetRank + back;
  if (TypeAt(state, file, spec.targetRank) != Empty) return false;
  if (!OnBoard(file, rank)) return false;
  if (!HoldsPiece(state, file, rank, Pawn, side == White ? Black : White)) {
    return false;
  }
  Vacate(state, file, rank);
  return true;
}

// A pawn comes from behind its target: diagonally for a capture, otherwise
// one square back or, for a double step, two. Only the mover's own pawn is
// taken by a step, so no other piece is ever lifted by a pawn move.
bool FindPawnSource(GameState& state, const MoveSpec& spec, Side side) {
  const int back = side == White ? -1 : 1;
  if (spec.isCapture) {
    const int rank = spec.targetRank + back;
    if (HintPresent(spec.fileHint) && OnBoard(spec.fileHint, rank)) {
      Vacate(state, spec.fileHint, rank);
    }
    return TakeEnPassant(state, spec, side, back);
  }
  for (int distance = 1; distance <= 2; ++distance) {
    const int rank = spec.targetRank + distance * back;
    if (IsCandidate(state, spec, side, spec.targetFile, rank)) {
      Vacate(state, spec.targetFile, rank);
      return false;
    }
  }
  return false;
}

// -------------------------------------------------------------- execution

// Castling puts king and rook on their squares without looking at the board.
void Castle(GameState& state, Castling kind, Side side) {
  const int rank = side == White ? kWhiteBackRank : kBlackBackRank;
  const bool kingSide = kind == Castling::KingSide;
  const int kingFile = kingSide ? kFileG : kFileC;
  const int rookFile = kingSide ? kFileF : kFileD;
  SetType(state, kingFile, rank, King);
  SetType(state, rookFile, rank, Rook);
  Vacate(state, kFileE, rank);
  Vacate(state, kingSide ? kFileH : kFileA, rank);
  SetColour(state, kingFile, rank, side);
  SetColour(state, rookFile, rank, side);
}

// The piece that stands on the target after the move: a promotion letter at
// the suffix (after an optional '='), or else `mover`, the piece that moved.
// Long algebraic notation writes a pawn's promotion letter in lower case
// ('d7d8q').
PieceType PlacedPiece(const char* token, const MoveSpec& spec,
                      PieceType mover) {
  const char* suffix = token + spec.suffix;
  if (*suffix == '=') ++suffix;
  char letter = *suffix;
  if (spec.piece == Pawn && letter >= 'a' && letter <= 'z') letter -= 'a' - 'A';
  switch (letter) {
    case 'B': return Bishop;
    case 'N': return Knight;
    case 'Q': return Queen;
    case 'R': return Rook;
    default: return mover;
  }
}

// A move written as its two squares without a piece letter ('g1f3', 'e7e5',
// 'e7e8q'), as engines and some exporters write moves, moves whatever piece
// of the mover stands on the first square. Returns that piece, or Empty when
// the token is no such move or the square holds none of the mover's pieces.
PieceType CoordinateMover(const GameState& state, const MoveSpec& spec,
                          Side side) {
  const bool bothHints =
      HintPresent(spec.fileHint) && HintPresent(spec.rankHint);
  if (spec.piece != Pawn || !bothHints ||
      !OnBoard(spec.fileHint, spec.rankHint)) {
    return Empty;
  }
  const PieceType type = TypeAt(state, spec.fileHint, spec.rankHint);
  if (type == Empty || ColourAt(state, spec.fileHint, spec.rankHint) != side) {
    return Empty;
  }
  return type;
}

// The castling that a king's coordinate move two files along its home rank
// from its home square ('e1g1', 'e8c8') makes, if any.
Castling CoordinateCastling(const MoveSpec& spec, Side side) {
  const int home = side == White ? kWhiteBackRank : kBlackBackRank;
  if (spec.fileHint != kFileE || spec.rankHint != home ||
      spec.targetRank != home) {
    return Castling::None;
  }
  if (spec.targetFile == kFileG) return Castling::KingSide;
  if (spec.targetFile == kFileC) return Castling::QueenSide;
  return Castling::None;
}

bool HoldsOpposingPiece(const GameState& state, int file, int rank, Side side) {
  return TypeAt(state, file, rank) != Empty &&
         ColourAt(state, file, rank) != side;
}

}  // namespace

MoveSpec DecodeMove(const char* token) {
  MoveSpec spec;
  const TokenText t{token, static_cast<int>(std::strlen(token))};
  if (t.At(0) == '*') {
    spec.endMarker = true;
    return spec;
  }
  spec.castling = CastlingOf(t);
  if (spec.castling != Castling::None) return spec;

  int rest = 0;
  const PieceType named = PieceOfLetter(t.At(0));
  if (named != Empty) {
    spec.piece = named;
    rest = 1;
  }
  DecodeSquarePart(t, DecodeCaptureAndHints(t, rest, spec), spec);

  // An old-style pawn capture names only the two files ('de4').
  if (spec.piece == Pawn && spec.fileHint >= 0 && spec.fileHint < kBoardSize &&
      spec.fileHint != spec.targetFile) {
    spec.isCapture = true;
  }
  return spec;
}

Step DirectionFromAngle(double theta) {
  return {UnitSign(std::cos(theta)), UnitSign(std::sin(theta))};
}

bool FindSource(GameState& state, const MoveSpec& spec, Side side) {
  if (HintPresent(spec.fileHint) && HintPresent(spec.rankHint)) {
    if (OnBoard(spec.fileHint, spec.rankHint)) {
      Vacate(state, spec.fileHint, spec.rankHint);
    }
    return false;
  }
  if (!OnBoard(spec.targetFile, spec.targetRank)) return false;
  switch (spec.piece) {
    case Pawn: return FindPawnSource(state, spec, side);
    case Knight: FindKnightSource(state, spec, side); break;
    case Bishop:
      FindSliderSource(state, spec, side, DiagonalDirections());
      break;
    case Rook:
      FindSliderSource(state, spec, side, OrthogonalDirections());
      break;
    case Queen: FindSliderSource(state, spec, side, AllDirections()); break;
    case King: FindKingSource(state, spec, side); break;
    case Empty: break;
  }
  return false;
}

int ApplyMove(GameState& state, const char* token, Side side) {
  const MoveSpec spec = DecodeMove(token);
  if (spec.endMarker) return -1;
  if (spec.castling != Castling::None) {
    Castle(state, spec.castling, side);
    return 0;
  }
  const int file = spec.targetFile;
  const int rank = spec.targetRank;
  if (!OnBoard(file, rank)) return 0;

  const PieceType coordinateMover = CoordinateMover(state, spec, side);
  if (coordinateMover == King) {
    const Castling castling = CoordinateCastling(spec, side);
    if (castling != Castling::None) {
      Castle(state, castling, side);
      return 0;
    }
  }

  // A piece of the other side on the target is taken even when the token
  // leaves out its 'x'. The two files of a piece's coordinate move ('g1f3')
  // are no old-style pawn capture ('de4'): only an 'x' or a piece on the
  // target makes it a capture.
  const bool writesCapture =
      coordinateMover == Empty || coordinateMover == Pawn
          ? spec.isCapture
          : std::memchr(token, 'x', spec.suffix) != nullptr;
  const bool recordsCapture =
      writesCapture || HoldsOpposingPiece(state, file, rank, side);
  PieceType captured = TypeAt(state, file, rank);
  if (FindSource(state, spec, side)) captured = Pawn;
  if (recordsCapture) appendCapture(state, side, captured);

  SetColour(state, file, rank, side);
  const PieceType mover =
      coordinateMover != Empty ? coordinateMover : spec.piece;
  SetType(state, file, rank, PlacedPiece(token, spec, mover));
  return 0;
}

}  // namespace boardshot
