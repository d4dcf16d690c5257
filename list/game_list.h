// The game list: one line per game of a file, numbered as -g counts, with
// what a user picks a game by.
#pragma once

#include <cstdio>

namespace boardshot {

/// Writes the list of the games of `input` to `out`: a header line, then
/// one line per game with its number, White, Black, Result, Date, Event, its
/// half-moves and whether it starts from a FEN ("no", "yes", or "invalid"
/// for one that describes no board), separated by tabs. Control characters
/// in tag values become spaces, so every game keeps to its line. Returns
/// false when `input` could not be read to its end.
bool WriteGameList(std::FILE* input, std::FILE* out);

}  // namespace boardshot
