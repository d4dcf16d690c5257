// Splitting movetext into tokens: the words that carry move numbers, moves
// and results, with everything else (comments, variations, annotations)
// passed over.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "reader/game_text.h"

namespace boardshot {

// Room for a token and its terminating NUL. No move or move number comes
// near it; a longer token is kept shortened and the rest of it is dropped.
inline constexpr std::size_t kTokenCapacity = 4096;

// The comments a cursor keeps are kept up to this many bytes in all.
inline constexpr std::size_t kKeptCommentCapacity = 64 * 1024;

// The read position in the movetext.
struct MovetextCursor {
  GameText* text;
  bool atLineStart;     // the next character begins a line
  long variationDepth;  // how many '(' are open
  // A result that was written onto the move before it ('h6*'): the next
  // token, when not empty.
  std::string_view pendingResult;
  // When set, the text of each brace comment outside variations is appended
  // here, followed by a '}', up to kKeptCommentCapacity bytes.
  std::string* keptComments;
};

struct MovetextToken {
  std::size_t length;
  char text[kTokenCapacity];  // NUL-terminated
};

/// Starts a cursor at the read position of `text`: at the start of a line,
/// or within one (movetext after tags on the same line).
MovetextCursor StartMovetext(GameText& text, bool atLineStart);

/// Fetches the next token of the game's movetext into `token`. Passes over
/// white space and '.', brace comments (to the first '}', across lines),
/// ';' comments (to the end of the line), lines that begin with '%',
/// variations in parentheses (nested, with everything in them), numeric
/// annotation glyphs ('$' first) and tokens made only of the annotation
/// characters !?+-/=# other than the null move '--', and the en passant
/// mark ('ep', 'e.p.', also right after its move: 'exd6e.p.'). A token ends at
/// white space, a NUL byte or one of . ( ) { } ; A result written onto a
/// move ('h6*', 'Qxf7#1-0') is a token of its own, after the move. Returns
/// false when the game's text ends: at the end of the input (also inside a
/// comment or a variation) or at a tag line outside a comment, which begins
/// the next game.
bool NextToken(MovetextCursor& cursor, MovetextToken& token);

}  // namespace boardshot
