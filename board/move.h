// The move interpreter: decodes a SAN half-move token and carries it out on
// the game state.
#pragma once

#include "board/board.h"

namespace boardshot {

/// Decodes `token` (NUL-terminated SAN) and carries the move out for `side`
/// on `state`. Returns -1 when the token is an end marker ('*' first),
/// leaving the state unchanged, and 0 for every other token.
int ApplyMove(GameState& state, const char* token, Side side);

}  // namespace boardshot
