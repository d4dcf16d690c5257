// The game reading stage: finds the wanted game in a PGN text and replays
// its movetext on the game state.
#pragma once

#include <cstdint>
#include <cstdio>

#include "board/board.h"

namespace boardshot {

// What the command line asks of the reader.
struct RunOptions {
  std::int32_t gameNumber = 1;  // 1-based number of the game to convert
  double moveLimit = 1000.0;    // half-move n is applied while below this
};

// Results of the game reading stage besides 0 (position complete).
inline constexpr int kGameNotInFile = 256;
inline constexpr int kInputEndedInMovetext = 258;

/// Finds game options.gameNumber in `input` and applies its half-moves to
/// `state` up to options.moveLimit, printing the reader's messages to
/// `console`. Returns 0 when the position is complete, kGameNotInFile or
/// kInputEndedInMovetext otherwise.
int ReadGame(std::FILE* input, const RunOptions& options, GameState& state,
             std::FILE* console);

}  // namespace boardshot
