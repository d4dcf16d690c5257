// Move decoding and execution.
#include "board/move.h"

namespace boardshot {

int ApplyMove(GameState& /*state*/, const char* token, Side /*side*/) {
  // Moves are not carried out yet; only the end marker is recognised.
  return token[0] == '*' ? -1 : 0;
}

}  // namespace boardshot
