// The arrows and marked squares that analysis boards write into a game's
// comments, as lichess, chess.com and ChessBase export them:
// `[%cal Ge2e4,Rd8d1]` draws arrows, `[%csl Gd4,Re5]` marks squares, each
// entry a colour letter (G green, R red, Y yellow, B blue) followed by its
// squares.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "board/board.h"

namespace boardshot {

// More than this many of either kind is no longer a plan a viewer can read.
inline constexpr std::size_t kMostMarkedSquares = 32;
inline constexpr std::size_t kMostArrows = 32;

struct MarkedSquare {
  char colour;  // 'G', 'R', 'Y' or 'B'
  Coord square;
};

struct Arrow {
  char colour;
  Coord from, to;  // never the same square
};

struct Annotations {
  std::vector<MarkedSquare> squares;  // in the order first written
  std::vector<Arrow> arrows;
};

/// Reads every `[%csl ...]` and `[%cal ...]` command in `comments`, comment
/// texts each ended by '}'. A command's list runs to its ']' (without one,
/// to the end of its comment or the next '['); its entries are separated by
/// commas, white space around them allowed. An entry that is not a colour
/// letter and one square (two different squares for an arrow) is left out, as
/// is everything beyond kMostMarkedSquares or kMostArrows; a square or arrow
/// given again keeps its first place and takes the later colour, as a site
/// redraws it.
Annotations ReadAnnotations(std::string_view comments);

/// The entries as the sites write them, separated by commas: "Gd4,Re5",
/// "Ge2e4,Rd8d1"; empty when there are none.
std::string MarkedSquaresText(const Annotations& annotations);
std::string ArrowsText(const Annotations& annotations);

}  // namespace boardshot
