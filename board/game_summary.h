// What is known of a game besides its position: the tags a scene names and
// the game's last half-move, filled in by the reader.
#pragma once

#include <cstdint>
#include <string>

#include "board/board.h"
#include "board/move.h"

namespace boardshot {

// What a scene's description of the position tells about the game.
struct GameSummary {
  // Tag values as the reader keeps them (at most 255 bytes), "" if absent.
  std::string white, black, event, date, result;
  bool startsFromFen = false;
  bool fenDescribesBoard = false;     // its FEN tag could be read
  std::int64_t halfMovesApplied = 0;  // the position reached
  std::int64_t halfMoves = 0;         // all the half-moves of the game's text
  Side sideToMove = White;
  bool hasLastMove = false;  // the fields below describe the last half-move
  std::string lastMove;      // as written
  std::int32_t lastMoveNumber = 0;
  Side lastSide = White;
  MoveReport lastReport;
  // The brace comments between the half-move reached (or the game's start)
  // and the next half-move, outside variations, each followed by its '}':
  // where analysis boards write the arrows and marked squares they show on
  // that position.
  std::string comments;
};

}  // namespace boardshot
