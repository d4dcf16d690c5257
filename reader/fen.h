// Set-up positions written in Forsyth-Edwards Notation (the FEN tag).
#pragma once

#include <cstdint>

#include "board/board.h"

namespace boardshot {

// What a FEN gives the replay: the pieces, who moves first and the number
// of the first full move.
struct FenPosition {
  GameState state;  // the placement; both capture lists empty
  Side sideToMove;
  std::int32_t fullMoveNumber;
};

/// Reads the FEN `text` (NUL-terminated) into `position`. Returns false
/// when it describes no board: a piece placement without exactly 8 ranks of
/// exactly 8 squares each, a character other than a piece letter
/// (PNBRQK, pnbrqk) or a digit 1-8 in it, or no side to move ('w' or 'b')
/// after it. Castling rights, the en passant square and the half-move clock
/// are not needed and not checked; a full-move number that is missing or
/// not a positive number reads as 1.
bool ParseFen(const char* text, FenPosition& position);

}  // namespace boardshot
