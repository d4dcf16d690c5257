// The game reading stage: finds the wanted game in a PGN text and replays
// its movetext on the game state; and the walk through every game of a text
// that lists them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "board/board.h"
#include "board/game_summary.h"
#include "board/move.h"
#include "reader/status.h"

namespace boardshot {

// What the command line asks of the reader.
struct RunOptions {
  std::int32_t gameNumber = 1;  // 1-based number of the game to convert
  // At most this many half-moves are applied (`-m`; a fraction lets one
  // more through, NaN all of them). The default stops after move 999.
  double halfMoveLimit = 1998.0;
};

/// The half-move limit as the move cycle meets it: moved up by two in two
/// steps of 1.0, each rounded to a double, never in one step of 2.0 and never
/// left as it is. The reader stops when the half-moves applied, also moved up
/// by two, reach this mark, and the driver shows the move the run goes
/// through as half the mark, less one. The two roundings differ from the
/// plain forms only at the edges of a double (-m-0.3 shows move -0.2 where
/// half the limit is -0.15, and -m2.0000000000000004 applies two half-moves
/// where the plain comparison would apply three), and they are kept so that
/// every limit ever given goes on meaning exactly what it meant.
double LimitMark(double halfMoveLimit);

// Carries out one half-move for a side, describing it in the report;
// returns non-zero when the token is an end marker. ApplyMove
// (board/move.h) is the real one.
using HalfMoveHandler = std::function<int(GameState& state, const char* token,
                                          Side side, MoveReport* report)>;

/// Finds game options.gameNumber in `input` and applies its half-moves to
/// `state` up to options.halfMoveLimit, printing the reader's messages to
/// `console` and nowhere else. A game with a FEN tag starts from that
/// position: `state` is then cleared and set from it. Reads `input` from its
/// current position in blocks, stopping within a block of the end of the
/// wanted game. With a `summary`, the game's tags and last half-move are
/// kept there, and its text is read on past the half-move limit, quietly, to
/// count all its half-moves; the result and the messages stay the same.
/// Returns kDone when the position is complete, kGameNotInFile when the file
/// holds fewer games, kInputNotRead when a read failed before the position
/// (or, with a `summary`, the game's text) was complete, kInputEndedInMovetext
/// when the game's text ends before its end, kInvalidFen for a FEN tag that
/// describes no board.
Status ReadGame(std::FILE* input, const RunOptions& options, GameState& state,
                std::FILE* console, GameSummary* summary = nullptr);

/// ReadGame with another handler for the half-moves (tests use it to see
/// exactly which tokens the reader hands on, and for which side).
Status ReadGameWith(std::FILE* input, const RunOptions& options,
                    GameState& state, std::FILE* console,
                    const HalfMoveHandler& applyHalfMove,
                    GameSummary* summary = nullptr);

// Told about each game of a text in turn: its number as -g counts, and its
// tags and half-moves.
using GameVisitor =
    std::function<void(std::int64_t gameNumber, const GameSummary& game)>;

/// Reads every game of `input`, from its current position, and tells
/// `visit` about each: its tags, whether its FEN describes a board, and all
/// the half-moves of its text; nothing is applied and nothing printed.
/// Memory stays one block whatever the text. Returns kDone, or
/// kInputNotRead when a read fails.
Status ReadEveryGame(std::FILE* input, const GameVisitor& visit);

}  // namespace boardshot
