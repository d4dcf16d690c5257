// The move interpreter: decodes a SAN half-move token and carries it out on
// the game state. It knows where pieces can come from, not
// whether a move is legal: the moving piece is found by searching outward
// from the target square in a fixed order of directions.
#pragma once

#include <cstdint>

#include "board/board.h"

namespace boardshot {

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

/// Decodes `token` (NUL-terminated SAN) and carries the move out for `side`
/// on `state`, describing it in `report` when one is given. Besides the
/// usual SAN forms it takes castling with digit zeros ('0-0'), a rank or
/// whole-square source without capture ('N1d2', 'Ng1f3', 'e2e4') and a pawn
/// capture without 'x' ('de4'); a source written as a whole square is taken
/// whatever it holds. Returns -1 when
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
