// Replays games given as half-move tokens, one game per input line, White
// first, and prints for each the final board as the piece-placement field of
// a FEN followed by the pieces each side captured ("<placement> <white>
// <black>", '-' for an empty list, '.' for an Empty entry). Used by
// check_moves.py to compare the move interpreter with an independent replayer.
#include <iostream>
#include <sstream>
#include <string>

#include "board/board.h"
#include "board/move.h"

namespace {

constexpr char kPieceLetters[] = ".pnbrqk";

std::string PlacementOf(const boardshot::GameState& state) {
  using namespace boardshot;
  std::string text;
  for (int rank = kBoardSize - 1; rank >= 0; --rank) {
    int gap = 0;
    for (int file = 0; file < kBoardSize; ++file) {
      const PieceType type = TypeAt(state, file, rank);
      if (type == Empty) {
        ++gap;
        continue;
      }
      if (gap > 0) text += static_cast<char>('0' + gap);
      gap = 0;
      const char letter = kPieceLetters[type];
      text += ColourAt(state, file, rank) == White ? letter - 0x20 : letter;
    }
    if (gap > 0) text += static_cast<char>('0' + gap);
    if (rank > 0) text += '/';
  }
  return text;
}

std::string LettersOf(const boardshot::CaptureList& list) {
  std::string text;
  for (int i = 0; i < list.count; ++i) text += kPieceLetters[list.entries[i]];
  return text.empty() ? "-" : text;
}

}  // namespace

int main() {
  using namespace boardshot;
  std::string line;
  while (std::getline(std::cin, line)) {
    GameState state{};
    SetUpBoard(state);
    std::istringstream tokens(line);
    std::string token;
    Side side = White;
    while (tokens >> token) {
      if (ApplyMove(state, token.c_str(), side) != 0) break;
      side = side == White ? Black : White;
    }
    std::cout << PlacementOf(state) << ' ' << LettersOf(state.capturedByWhite)
              << ' ' << LettersOf(state.capturedByBlack) << '\n';
  }
  return 0;
}
