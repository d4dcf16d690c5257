// The description of a position that a scene may use besides its pieces:
// POV-Ray declarations of the half-move reached, the last half-move and the
// game's tags, written after the piece records when asked for.
#pragma once

#include <string>
#include <string_view>

#include "board/game_summary.h"

namespace boardshot {

/// `text` from a game file as a POV-Ray string literal, quotes included,
/// that can never be anything but a string: '"' and '\' are escaped,
/// control characters written as spaces, other characters beyond ASCII
/// written as \uXXXX (a byte that starts no UTF-8 character is read as
/// Latin-1) or, beyond U+FFFF, left out, and the literal is cut, between
/// characters, to fit POV-Ray's string length.
std::string SceneString(std::string_view text);

/// The declarations describing `summary`, each a line break followed by
/// `#declare Name = value;`. The last half-move's are present only when one
/// was applied, its squares only as far as the move had them.
std::string FormatDetails(const GameSummary& summary);

}  // namespace boardshot
