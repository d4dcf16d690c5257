// Parsing of FEN piece placements, side to move and full-move number.
#include "reader/fen.h"

#include <algorithm>
#include <cstring>

#include "board/char_class.h"
#include "reader/leading_number.h"

namespace boardshot {
namespace {

const char* SkipSpaces(const char* p) {
  while (IsBlank(*p)) ++p;
  return p;
}

const char* SkipField(const char* p) {
  while (*p != '\0' && !IsBlank(*p)) ++p;
  return p;
}

// The piece a FEN letter names, with its colour; false for other letters.
bool PieceForLetter(char letter, PieceType& type, Side& side) {
  const bool black = letter >= 'a' && letter <= 'z';
  const char upper = black ? static_cast<char>(letter - 'a' + 'A') : letter;
  type = PieceOfLetter(upper);
  if (type == Empty) return false;
  side = black ? Black : White;
  return true;
}

// Reads the eight ranks, rank 8 first. Returns the position after the
// placement, or nullptr when it is no board.
const char* ReadPlacement(const char* p, GameState& state) {
  for (int rank = kBoardSize - 1; rank >= 0; --rank) {
    int file = 0;
    for (; *p != '\0' && *p != '/' && !IsBlank(*p); ++p) {
      if (*p >= '1' && *p <= '8') {
        file += *p - '0';
        if (file > kBoardSize) return nullptr;
        continue;
      }
      PieceType type;
      Side side;
      if (!PieceForLetter(*p, type, side) || file >= kBoardSize) {
        return nullptr;
      }
      SetType(state, file, rank, type);
      SetColour(state, file, rank, side);
      ++file;
    }
    if (file != kBoardSize) return nullptr;
    if (rank > 0) {
      if (*p != '/') return nullptr;
      ++p;
    }
  }
  return p;
}

}  // namespace

bool ParseFen(const char* text, FenPosition& position) {
  position = FenPosition{};
  const char* p = ReadPlacement(SkipSpaces(text), position.state);
  if (p == nullptr || !IsBlank(*p)) return false;
  p = SkipSpaces(p);
  if ((*p != 'w' && *p != 'b') || !(IsBlank(p[1]) || p[1] == '\0')) {
    return false;
  }
  position.sideToMove = *p == 'w' ? White : Black;
  // Castling rights, en passant square and half-move clock come before the
  // full-move number.
  for (int field = 0; field < 4; ++field) p = SkipSpaces(SkipField(p));
  // A missing or zero full-move number counts as the first.
  position.fullMoveNumber = std::max(1, LeadingNumber(p));
  return true;
}

}  // namespace boardshot
