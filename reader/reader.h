// The game reading stage: finds the wanted game in a PGN text and replays
// its movetext on the game state.
#pragma once

#include <cstdint>
#include <cstdio>
#include "board/board.h"
#include "board/game_summary.h"
#include "board/move.h"

namespace boardshot {

// What the command line asks of the reader.
struct RunOptions {
  std::int32_t gameNumber = 1;  // 1-based number of the game to convert
  double moveLimit = 1000.0;    // half-move n is applied while below this
};

// Results of the game reading stage besides 0 (position complete).
inline constexpr int kGameNotInFile = 256;
inline constexpr int kInputEndedInMovetext = 258;
inline constexpr int kInvalidFen = 259;

// Carries out one half-move for a side, describing it in the report;
// returns non-zero when the token is an end marker. ApplyMove
// (board/move.h) is the real one.
using HalfMoveHandler = int (*)(GameState& state, const char* token, Side side,
                                MoveReport* report);

/// Finds game options.gameNumber in `input` and applies its half-moves to
/// `state` up to options.moveLimit, printing the reader's messages to
/// `console` and nowhere else. A game with a FEN tag starts from that
/// position: `state` is then cleared and set from it. Reads `input` from its
/// current position in blocks, stopping within a block of the end of the
/// wanted game.
/// Returns 0 when the position is complete, kGameNotInFile when the file
/// holds fewer games (or cannot be read), kInputEndedInMovetext when the
/// game's text ends before its end, kInvalidFen for a FEN tag that
/// describes no board. With a `summary`, the game's tags and last half-move
/// are kept there, and its text is read on past the half-move limit, quietly,
/// to count all its half-moves; the result and the messages stay the same.
int ReadGame(std::FILE* input, const RunOptions& options, GameState& state,
             std::FILE* console, GameSummary* summary = nullptr);

/// ReadGame with another handler for the half-moves (tests use it to see
/// exactly which tokens the reader hands on, and for which side).
int ReadGameWith(std::FILE* input, const RunOptions& options, GameState& state,
                 std::FILE* console, HalfMoveHandler applyHalfMove,
                 GameSummary* summary = nullptr);

}  // namespace boardshot
