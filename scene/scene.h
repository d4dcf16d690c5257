// The scene include file: one macro call per piece, for a ray-tracer scene
// that defines the six piece macros.
#pragma once

#include <cstdio>
#include <string>

#include "board/board.h"
#include "board/game_summary.h"

namespace boardshot {

/// The text of the scene include for `state`: the pieces on the board (a1,
/// a2, ..., h8), then White's lost pieces on the imaginary file 'i' from
/// position 1 upward, then Black's lost pieces on the file '`' from position
/// 8 downward. Every record is a line break followed by one macro call, so
/// the text starts with a line break and does not end with one.
std::string FormatScene(const GameState& state);

/// Writes FormatScene(state) to `out`, followed by FormatDetails(*details)
/// when `details` is given. Returns true when every byte was accepted by the
/// stream; flushing and closing are the caller's to check.
bool WriteScene(std::FILE* out, const GameState& state,
                const GameSummary* details = nullptr);

}  // namespace boardshot
