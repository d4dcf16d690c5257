// Where the text of a run comes from: a file by its name or standard input
// by "-", and whether it holds games or positions.
#pragma once

#include <cstdio>
#include <string_view>

namespace boardshot {

/// The input name that stands for standard input.
inline constexpr std::string_view kStandardInputName = "-";

/// Looks at the first bytes of `input` to tell in `positions` whether it
/// holds FEN or EPD lines rather than games, then makes it readable again
/// from where it started: a file is wound back; a pipe, which cannot be, is
/// read through a stream that serves the bytes taken again before the rest.
/// Returns the stream to read from: `input` itself, or that stream, which
/// then owns `input` and closes it; nullptr when the input could not be read.
std::FILE* SniffInput(std::FILE* input, bool& positions);

}  // namespace boardshot
