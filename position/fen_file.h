// Files of positions without games: one position a line, written in FEN
// ("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1") or EPD (the
// first four FEN fields, then operations such as `id "WAC.001";`).
//
// Such a file is told from a PGN file by its first word: eight ranks of piece
// letters and digits separated by seven '/'. No PGN text can begin so: its
// first word is a tag ('['), an escape line ('%'), a comment, a move number
// or a move, none of which holds a '/' between piece letters.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

#include "board/board.h"
#include "board/game_summary.h"
#include "reader/status.h"

namespace boardshot {

/// True when `start`, the first bytes of an input (a byte order mark, blank
/// lines and white space may come first), begins with a FEN piece placement,
/// so that the input is read as a file of positions. False when no word is
/// within `start`.
bool LooksLikePositions(std::string_view start);

/// Reads position `number` of the position file `input` (its non-blank lines
/// counted from 1, so that blank lines may separate groups) into `state`,
/// printing the messages to `console`. With a `summary`, it is filled in as
/// for a game that starts from the position and has no moves. Returns kDone,
/// kGameNotInFile when the file holds fewer positions (or cannot be read),
/// and kInvalidFen, with "Invalid FEN in game #n", for a line that describes
/// no board; `state` is then left as it was.
Status ReadPositionFromFile(std::FILE* input, std::int32_t number,
                            GameState& state, std::FILE* console,
                            GameSummary* summary = nullptr);

/// ReadPositionFromFile for one position given as text (`--fen`): the
/// position numbered 1.
Status ReadPositionFromText(std::string_view fen, GameState& state,
                            std::FILE* console, GameSummary* summary = nullptr);

/// Writes the list of the positions of `input` to `out`: a header line, then
/// one tab-separated line per position with its number as -g counts, its EPD
/// `id` (empty when it has none), the side to move ("white", "black", or
/// "invalid" for a line that describes no board) and its first four fields
/// as written. Control characters become spaces, so every position keeps to
/// its line. Returns kInputNotRead when `input` could not be read to its end
/// and kOutputNotWritten when `out` refused the list.
Status WritePositionList(std::FILE* input, std::FILE* out);

}  // namespace boardshot
