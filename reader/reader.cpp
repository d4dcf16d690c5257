// Game selection and movetext reading.
#include "reader/reader.h"

namespace boardshot {

int ReadGame(std::FILE* /*input*/, const RunOptions& /*options*/,
             GameState& /*state*/, std::FILE* /*console*/) {
  // The game text is not read yet: every run shows the initial position.
  return 0;
}

}  // namespace boardshot
