// The game list: one line per game of a file, numbered as -g counts, with
// what a user picks a game by.
#pragma once

#include <cstdio>

#include "reader/status.h"

namespace boardshot {

/// Writes the list of the games of `input` to `out`: a header line, then
/// one line per game with its number, White, Black, Result, Date, Event, its
/// half-moves and whether it starts from a FEN ("no", "yes", or "invalid"
/// for one that describes no board), separated by tabs. Tag values are
/// written as UTF-8 (a byte that starts no UTF-8 character is read as
/// Latin-1) with every control character as a space, so every game keeps to
/// its line. Flushes `out`. Returns kDone, kInputNotRead when `input` could
/// not be read to its end, or kOutputNotWritten when `out` refused a byte.
Status WriteGameList(std::FILE* input, std::FILE* out);

}  // namespace boardshot
