// Where the scene puts captured pieces: on two imaginary files beside the
// board, which the piece records and the position's details both name.
#pragma once

#include <string>

#include "board/board.h"

namespace boardshot {

// White's lost pieces count up from i1, Black's count down from `8, and
// both simply run on past the board's edge.
inline constexpr char kWhiteLossFile = 'i';
inline constexpr char kBlackLossFile = '`';
inline constexpr int kFirstWhiteLossRank = 1;
inline constexpr int kFirstBlackLossRank = 8;

/// The square name where entry `index` of the list of pieces captured by
/// `capturer` stands in the scene: "`8", "`7", ... for the pieces White took,
/// "i1", "i2", ... for those Black took.
std::string CaptureSquareName(Side capturer, int index);

}  // namespace boardshot
