// The move interpreter: decodes a SAN half-move token into a MoveSpec and
// carries it out on the game state. It knows where pieces can come from, not
// whether a move is legal: the moving piece is found by searching outward
// from the target square in a fixed order of directions.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace boardshot {

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

// A unit step: dx changes the file (towards h), dy the rank (towards 8).
struct Step {
  int dx = 0;
  int dy = 0;
};

// How the board differs from what a half-move as written needs, where the
// replay, going on regardless, loses a piece or puts one where none could
// have come from.
enum class Misfit {
  kNone,
  kNoKing,           // castling: no king of the mover on its home square
  kNoRook,           // castling: no rook of the mover on its corner
  kSquareTaken,      // castling: a square the king or rook crosses or lands on
                     // holds a piece
  kOwnPieceOnTarget  // a move onto a piece of the mover's own side
};

// What one half-move did to the board, for describing the last move.
struct MoveReport {
  bool moved = false;        // the token named a square of the board
  PieceType piece = Empty;   // the kind the token names; Empty for a move
                             // written as two squares without a letter
  bool sourceFound = false;  // a piece of the mover left `from`
  Coord from;                // the square vacated for the moving piece
  Coord to;
  bool castled = false;
  Coord rookFrom;
  Coord rookTo;
  PieceType captured = Empty;  // the piece taken, Empty when none
  Coord capturedFrom;          // where it stood: the target or, en passant,
                               // the passed pawn's square
  int captureIndex = -1;       // its entry in the mover's capture list
  Misfit misfit = Misfit::kNone;
  Coord misfitSquare;             // the square the misfit is on
  PieceType misfitPiece = Empty;  // what stands there
};

/// Decodes the NUL-terminated `token` without looking at any position. Never
/// fails and never reads past the token's NUL: a token too short to name a
/// target square yields a target off the board. Besides the usual SAN forms
/// it takes castling with digit zeros ('0-0'), a rank or whole-square source
/// without capture ('N1d2', 'Ng1f3', 'e2e4') and a pawn capture without 'x'
/// ('de4').
MoveSpec DecodeMove(const char* token);

/// The unit step for angle `theta` (radians): each component is the sign of
/// cos (for dx) or sin (for dy), or 0 when its magnitude is below 1e-10.
Step DirectionFromAngle(double theta);

/// The square the piece making the move `spec` for `side` leaves, or a Coord
/// off the board when none is found (not an error). With both hints present
/// it is that square, whatever it holds; for a pawn capture with a file hint
/// the square behind the target on that file, whatever it holds. Otherwise
/// the search goes outward from the target in a fixed order, takes only
/// squares that agree with the hints present, and passes over a knight,
/// bishop, rook or queen pinned to its king (unless every candidate is
/// pinned). Changes nothing and reads only squares on the board.
Coord FindSource(const GameState& state, const MoveSpec& spec, Side side);

/// Decodes `token` (NUL-terminated SAN) and carries the move out for `side`
/// on `state`, describing it in `report` when one is given. Returns -1 when
/// the token is an end marker ('*' first), leaving the state unchanged, and
/// 0 for every other token. A piece of the other side on the target (or
/// anything on it, for a token with 'x') is appended to `side`'s capture
/// list. A token whose target lies off the board (a result, a move number, a
/// null move, garbage) changes nothing. Castling puts king and rook on their
/// squares whatever stands there, and a move onto a piece of the mover's own
/// side replaces it; the report's misfit tells of both.
int ApplyMove(GameState& state, const char* token, Side side,
              MoveReport* report = nullptr);

}  // namespace boardshot
