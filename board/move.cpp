// Move decoding and execution: turns a SAN token into a MoveSpec, finds the
// piece that makes the move by searching outward from the target square, and
// changes the board and the capture lists.
#include "board/move.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>

#include "board/char_class.h"

namespace boardshot {
namespace {

// Which castling a token names, if any.
enum class Castling { None, KingSide, QueenSide };

// What one SAN token says, before the position is looked at. Coordinates
// come straight from the token's letters and digits with no range check, so
// every field may name something off the board.
struct MoveSpec {
  bool endMarker = false;  // the token begins with '*'
  Castling castling = Castling::None;
  PieceType piece = Pawn;
  bool isCapture = false;
  std::int16_t fileHint = -1;  // 0..7 when present, negative when absent
  std::int16_t rankHint = -1;  // 0..7 when present, negative when absent
  int targetFile = -1;
  int targetRank = -1;
  int suffix = 0;  // index in the token just after the target square
};

// ---------------------------------------------------------------- decoding

// A token's characters by index. Every index at or past the terminating NUL
// reads as NUL, so the decoder never looks beyond the token.
struct TokenText {
  const char* text;
  int length;

  char At(int index) const { return index < length ? text[index] : '\0'; }
};

bool IsFileLetter(char c) { return c >= 'a' && c <= 'h'; }
std::int16_t FileOf(char c) { return static_cast<std::int16_t>(c - 'a'); }
std::int16_t RankOf(char c) { return static_cast<std::int16_t>(c - '1'); }
bool HintPresent(std::int16_t hint) { return hint >= 0; }

// A source written as a whole square ('Ng1f3', 'e2e4', 'e5xd6').
bool HasBothHints(const MoveSpec& spec) {
  return HintPresent(spec.fileHint) && HintPresent(spec.rankHint);
}

// Castling in either spelling: the letter O (either case), or digit zeros as
// many files write it ('0-0', '0-0-0'). A result such as '0-1' is not one.
Castling CastlingOf(const TokenText& t) {
  const char first = t.At(0);
  const bool letters = first == 'O' || first == 'o';
  const bool zeros = first == '0' && t.At(1) == '-' && t.At(2) == '0';
  if (!letters && !zeros) return Castling::None;
  return t.At(3) == '-' ? Castling::QueenSide : Castling::KingSide;
}

// The piece a SAN token's first letter names; Empty for any other character
// and for 'P', which leave the token to a pawn move.
PieceType MoverOfLetter(char c) {
  const PieceType named = PieceOfLetter(c);
  return named == Pawn ? Empty : named;
}

// A lone disambiguation character: a digit names the rank the piece comes
// from, anything else its file.
void SetSingleHint(MoveSpec& spec, char c) {
  if (IsAsciiDigit(c)) {
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

bool IsSquareAt(const TokenText& t, int index) {
  return IsFileLetter(t.At(index)) && IsAsciiDigit(t.At(index + 1));
}

// Decodes the target square and whatever hint stands before it, and sets
// the suffix just after the target.
void DecodeSquarePart(const TokenText& t, int q, MoveSpec& spec) {
  int target = q;
  if (IsAsciiDigit(t.At(q + 1))) {
    // A whole source square before the target ('Ng1f3', 'e2e4', 'Ng1-f3').
    if (IsSquareAt(t, q + 2)) {
      SetSquareHints(spec, t.At(q), t.At(q + 1));
      target = q + 2;
    } else if (t.At(q + 2) == '-' && IsSquareAt(t, q + 3)) {
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

// Decodes the NUL-terminated `token` without looking at any position. Never
// fails and never reads past the token's NUL: a token too short to name a
// target square yields a target off the board.
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
  const PieceType named = MoverOfLetter(t.At(0));
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

// ------------------------------------------------------------- directions

// A unit step: dx changes the file (towards h), dy the rank (towards 8).
struct Step {
  int dx;
  int dy;
};

// The steps each search tries, in its order: counter-clockwise, the lines
// from east, the diagonals from north-east.
constexpr Step kOrthogonalSteps[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
constexpr Step kDiagonalSteps[] = {{1, 1}, {-1, 1}, {-1, -1}, {1, -1}};
constexpr Step kAllSteps[] = {{1, 0},  {1, 1},   {0, 1},  {-1, 1},
                              {-1, 0}, {-1, -1}, {0, -1}, {1, -1}};

// ------------------------------------------------------------------- pins

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

// The squares a search found holding a piece that could make the move, in
// search order: at most one per direction, or per knight square.
constexpr int kMaxCandidates = 8;
struct Candidates {
  Coord squares[kMaxCandidates];
  int count = 0;
};

void Add(Candidates& candidates, const Coord& square) {
  if (candidates.count < kMaxCandidates) {
    candidates.squares[candidates.count++] = square;
  }
}

// The first candidate that may move without exposing its king, or else the
// first one met. A lone candidate moves whatever its pins, so the king is
// only looked for when there is a choice.
Coord Choose(const GameState& state, Side side, const MoveSpec& spec,
             const Candidates& candidates) {
  if (candidates.count == 0) return {};
  if (candidates.count == 1) return candidates.squares[0];
  const Coord king = KingOf(state, side);
  if (!OnBoard(king)) return candidates.squares[0];
  const Coord target{spec.targetFile, spec.targetRank};
  for (int i = 0; i < candidates.count; ++i) {
    if (!ExposesKing(state, side, king, candidates.squares[i], target)) {
      return candidates.squares[i];
    }
  }
  return candidates.squares[0];
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
Coord FindKnightSource(const GameState& state, const MoveSpec& spec,
                       Side side) {
  Candidates candidates;
  for (const Step& s : kDiagonalSteps) {
    const Coord squares[2] = {
        {spec.targetFile + s.dx, spec.targetRank + 2 * s.dy},
        {spec.targetFile + 2 * s.dx, spec.targetRank + s.dy}};
    for (const Coord& c : squares) {
      if (IsCandidate(state, spec, side, c.file, c.rank)) Add(candidates, c);
    }
  }
  return Choose(state, side, spec, candidates);
}

// Bishops, rooks and queens walk outward along each line; the first occupied
// square ends the line, whether or not it holds the piece sought.
Coord FindSliderSource(const GameState& state, const MoveSpec& spec, Side side,
                       std::span<const Step> directions) {
  Candidates candidates;
  for (const Step& s : directions) {
    for (int n = 1;; ++n) {
      const Coord at{spec.targetFile + n * s.dx, spec.targetRank + n * s.dy};
      if (!OnBoard(at)) break;
      if (TypeAt(state, at.file, at.rank) == Empty) continue;
      if (IsCandidate(state, spec, side, at.file, at.rank)) Add(candidates, at);
      break;
    }
  }
  return Choose(state, side, spec, candidates);
}

Coord FindKingSource(const GameState& state, const MoveSpec& spec, Side side) {
  for (const Step& step : kAllSteps) {
    const Coord at{spec.targetFile + step.dx, spec.targetRank + step.dy};
    if (OnBoard(at) && HoldsPiece(state, at.file, at.rank, King, side)) {
      return at;
    }
  }
  return {};
}

// The rank a pawn moving to the target comes from lies behind it.
int PawnBack(Side side) { return side == White ? -1 : 1; }

// A pawn comes from behind its target: for a capture from the hinted file,
// otherwise one square back or, for a double step, two. Only the mover's own
// pawn is taken by a step, so no other piece is ever lifted by a pawn move.
Coord FindPawnSource(const GameState& state, const MoveSpec& spec, Side side) {
  const int back = PawnBack(side);
  if (spec.isCapture) {
    if (!HintPresent(spec.fileHint)) return {};
    return {spec.fileHint, spec.targetRank + back};
  }
  for (int distance = 1; distance <= 2; ++distance) {
    const int rank = spec.targetRank + distance * back;
    if (IsCandidate(state, spec, side, spec.targetFile, rank)) {
      return {spec.targetFile, rank};
    }
  }
  return {};
}

// The pawn passed by a double step, when a pawn captures onto the empty
// square behind it: only an opposing pawn there is taken. Off the board when
// the capture is no capture en passant.
Coord EnPassantVictim(const GameState& state, const MoveSpec& spec, Side side) {
  const Coord passed{spec.targetFile, spec.targetRank + PawnBack(side)};
  if (TypeAt(state, spec.targetFile, spec.targetRank) != Empty) return {};
  if (!OnBoard(passed)) return {};
  const Side other = side == White ? Black : White;
  if (!HoldsPiece(state, passed.file, passed.rank, Pawn, other)) return {};
  return passed;
}

// The square the piece making the move `spec` for `side` leaves, or a Coord
// off the board when none is found (not an error). With both hints present
// it is that square, whatever it holds; for a pawn capture with a file hint
// the square behind the target on that file, whatever it holds. Otherwise
// the search goes outward from the target in a fixed order, takes only
// squares that agree with the hints present, and passes over a knight,
// bishop, rook or queen pinned to its king (unless every candidate is
// pinned). Changes nothing and reads only squares on the board.
Coord FindSource(const GameState& state, const MoveSpec& spec, Side side) {
  if (HasBothHints(spec)) return {spec.fileHint, spec.rankHint};
  if (!OnBoard(spec.targetFile, spec.targetRank)) return {};
  switch (spec.piece) {
    case Pawn: return FindPawnSource(state, spec, side);
    case Knight: return FindKnightSource(state, spec, side);
    case Bishop: return FindSliderSource(state, spec, side, kDiagonalSteps);
    case Rook: return FindSliderSource(state, spec, side, kOrthogonalSteps);
    case Queen: return FindSliderSource(state, spec, side, kAllSteps);
    case King: return FindKingSource(state, spec, side);
    case Empty: break;
  }
  return {};
}

// -------------------------------------------------------------- execution

void ReportMisfit(MoveReport& report, Misfit misfit, const GameState& state,
                  const Coord& square) {
  report.misfit = misfit;
  report.misfitSquare = square;
  report.misfitPiece = TypeAt(state, square.file, square.rank);
}

// Tells where the board does not allow the castling: the king or the rook
// is not at home, or the king's target, the rook's target or another square
// between them holds a piece. The first misfit in that order is reported.
void CheckCastling(const GameState& state, Side side, int kingFile,
                   int rookFile, int rookHome, MoveReport& report) {
  const int rank = BackRank(side);
  if (!HoldsPiece(state, kFileE, rank, King, side)) {
    ReportMisfit(report, Misfit::kNoKing, state, {kFileE, rank});
    return;
  }
  if (!HoldsPiece(state, rookHome, rank, Rook, side)) {
    ReportMisfit(report, Misfit::kNoRook, state, {rookHome, rank});
    return;
  }
  const int step = rookHome > kFileE ? 1 : -1;
  for (const int file : {kingFile, rookFile}) {
    if (TypeAt(state, file, rank) != Empty) {
      ReportMisfit(report, Misfit::kSquareTaken, state, {file, rank});
      return;
    }
  }
  for (int file = kFileE + step; file != rookHome; file += step) {
    if (TypeAt(state, file, rank) != Empty) {
      ReportMisfit(report, Misfit::kSquareTaken, state, {file, rank});
      return;
    }
  }
}

// Castling puts king and rook on their squares whatever the board holds.
void Castle(GameState& state, Castling kind, Side side, MoveReport& report) {
  const int rank = BackRank(side);
  const bool kingSide = kind == Castling::KingSide;
  const int kingFile = kingSide ? kFileG : kFileC;
  const int rookFile = kingSide ? kFileF : kFileD;
  const int rookHome = kingSide ? kFileH : kFileA;
  CheckCastling(state, side, kingFile, rookFile, rookHome, report);
  SetType(state, kingFile, rank, King);
  SetType(state, rookFile, rank, Rook);
  Vacate(state, kFileE, rank);
  Vacate(state, rookHome, rank);
  SetColour(state, kingFile, rank, side);
  SetColour(state, rookFile, rank, side);
  report.moved = report.sourceFound = report.castled = true;
  report.from = {kFileE, rank};
  report.to = {kingFile, rank};
  report.rookFrom = {rookHome, rank};
  report.rookTo = {rookFile, rank};
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
  const PieceType promoted = PieceOfLetter(letter);
  return promoted >= Knight && promoted <= Queen ? promoted : mover;
}

// A move written as its two squares without a piece letter ('g1f3', 'e7e5',
// 'e7e8q'), as engines and some exporters write moves, moves whatever piece
// of the mover stands on the first square. Returns that piece, or Empty when
// the token is no such move or the square holds none of the mover's pieces.
PieceType CoordinateMover(const GameState& state, const MoveSpec& spec,
                          Side side) {
  if (spec.piece != Pawn || !HasBothHints(spec) ||
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
  const int home = BackRank(side);
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

// A move written as two squares without a piece letter ('g1f3', 'e7e8q')
// names no kind of piece.
bool NamesSourceSquareOnly(const char* token, const MoveSpec& spec) {
  return spec.piece == Pawn && HasBothHints(spec) &&
         token[0] == 'a' + spec.fileHint;
}

// Whether the square a move leaves held what the move names: the mover's
// piece of the named kind, or, for a source written as a whole square, any
// piece of the mover.
bool LiftsPieceOfMover(const GameState& state, const MoveSpec& spec,
                       const Coord& from, Side side) {
  const PieceType type = TypeAt(state, from.file, from.rank);
  if (type == Empty || ColourAt(state, from.file, from.rank) != side) {
    return false;
  }
  return type == spec.piece || HasBothHints(spec);
}

// Whether the token marks the move as a capture. The two files of a piece's
// coordinate move ('g1f3') are no old-style pawn capture ('de4'): for it
// only an 'x' counts.
bool WritesCapture(const char* token, const MoveSpec& spec,
                   PieceType coordinateMover) {
  if (coordinateMover == Empty || coordinateMover == Pawn) {
    return spec.isCapture;
  }
  return std::memchr(token, 'x', spec.suffix) != nullptr;
}

// Whether the move goes into the mover's capture list: a piece of the other
// side on the target is taken even when the token leaves out its 'x'.
bool RecordsCapture(const GameState& state, const char* token,
                    const MoveSpec& spec, PieceType coordinateMover,
                    Side side) {
  return WritesCapture(token, spec, coordinateMover) ||
         HoldsOpposingPiece(state, spec.targetFile, spec.targetRank, side);
}

// A move onto a piece of the mover's own side replaces it, unless the move
// stays on its square.
void CheckOwnPieceOnTarget(const GameState& state, Side side, const Coord& from,
                           const Coord& target, MoveReport& report) {
  if (TypeAt(state, target.file, target.rank) != Empty &&
      ColourAt(state, target.file, target.rank) == side &&
      !SameSquare(from, target)) {
    ReportMisfit(report, Misfit::kOwnPieceOnTarget, state, target);
  }
}

// Empties the square the move leaves, noting whether it held what the move
// names.
void LiftMover(GameState& state, const MoveSpec& spec, const Coord& from,
               Side side, MoveReport& report) {
  if (!OnBoard(from)) return;
  report.from = from;
  report.sourceFound = LiftsPieceOfMover(state, spec, from, side);
  Vacate(state, from.file, from.rank);
}

// What a move takes: the piece and the square it stood on.
struct Taken {
  PieceType piece;
  Coord square;
};

// A pawn capture onto the empty square behind a pawn that has made a double
// step takes that pawn; one written from a whole square ('e5xd6') does not.
void TakeEnPassant(GameState& state, const MoveSpec& spec, Side side,
                   Taken& taken) {
  if (spec.piece != Pawn || !spec.isCapture || HasBothHints(spec)) return;
  const Coord passed = EnPassantVictim(state, spec, side);
  if (!OnBoard(passed)) return;
  Vacate(state, passed.file, passed.rank);
  taken.piece = Pawn;
  taken.square = passed;
}

void RecordCapture(GameState& state, Side side, const Taken& taken,
                   MoveReport& report) {
  report.captureIndex = AppendCapture(state, side, taken.piece);
  if (taken.piece == Empty) return;
  report.captured = taken.piece;
  report.capturedFrom = taken.square;
}

// Carries out a move other than castling onto its target, which is on the
// board: the mover leaves its square, what it takes goes to its side's
// capture list, and it (or its promotion) stands on the target.
void MovePiece(GameState& state, const char* token, const MoveSpec& spec,
               Side side, PieceType coordinateMover, MoveReport& report) {
  const Coord target{spec.targetFile, spec.targetRank};
  const bool recordsCapture =
      RecordsCapture(state, token, spec, coordinateMover, side);
  Taken taken{TypeAt(state, target.file, target.rank), target};
  const Coord from = FindSource(state, spec, side);
  CheckOwnPieceOnTarget(state, side, from, target, report);
  LiftMover(state, spec, from, side, report);
  TakeEnPassant(state, spec, side, taken);
  if (recordsCapture) RecordCapture(state, side, taken, report);
  const PieceType mover =
      coordinateMover != Empty ? coordinateMover : spec.piece;
  SetColour(state, target.file, target.rank, side);
  SetType(state, target.file, target.rank, PlacedPiece(token, spec, mover));
}

}  // namespace

int ApplyMove(GameState& state, const char* token, Side side,
              MoveReport* report) {
  MoveReport unused;
  MoveReport& done = report != nullptr ? *report : unused;
  done = MoveReport{};
  const MoveSpec spec = DecodeMove(token);
  if (spec.endMarker) return -1;
  if (spec.castling != Castling::None) {
    Castle(state, spec.castling, side, done);
    return 0;
  }
  const Coord target{spec.targetFile, spec.targetRank};
  if (!OnBoard(target)) return 0;
  done.moved = true;
  done.to = target;
  done.piece = NamesSourceSquareOnly(token, spec) ? Empty : spec.piece;
  const PieceType coordinateMover = CoordinateMover(state, spec, side);
  const Castling castling =
      coordinateMover == King ? CoordinateCastling(spec, side) : Castling::None;
  if (castling != Castling::None) {
    Castle(state, castling, side, done);
  } else {
    MovePiece(state, token, spec, side, coordinateMover, done);
  }
  return 0;
}

}  // namespace boardshot
