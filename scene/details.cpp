// Writes what a scene may know of the position besides its pieces, with all
// text from the game file made harmless.
#include "scene/details.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "board/tag_text.h"
#include "scene/capture_squares.h"

namespace boardshot {
namespace {

// POV-Ray refuses string literals of 256 characters or more, escapes
// included; a whole character is left out rather than cut in half.
constexpr std::size_t kLiteralCapacity = 240;

// The escaped form of the character at text[at], and how many bytes it
// used: a space for a control character, empty for one beyond the \uXXXX
// range, which is left out.
std::string EscapedCharacter(std::string_view text, std::size_t at,
                             std::size_t& used) {
  const char32_t code = TagCharacter(text, at, used);
  if (IsControlCharacter(code)) return " ";
  if (code > 0xFFFF) return "";
  if (code == '"' || code == '\\') return {'\\', static_cast<char>(code)};
  if (code < 0x80) return std::string(1, static_cast<char>(code));
  char escape[16];
  std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(code));
  return escape;
}

void Declare(std::string& text, const char* name, const std::string& value) {
  text += "\n#declare ";
  text += name;
  text += " = ";
  text += value;
  text += ';';
}

void DeclareNumber(std::string& text, const char* name, std::int64_t value) {
  char number[24];
  std::snprintf(number, sizeof number, "%" PRId64, value);
  Declare(text, name, number);
}

std::string SquareName(const Coord& square) {
  return {'"', static_cast<char>('a' + square.file),
          static_cast<char>('1' + square.rank), '"'};
}

void DeclareLastMove(std::string& text, const GameSummary& summary) {
  const MoveReport& move = summary.lastReport;
  Declare(text, "Boardshot_Last_Move", SceneString(summary.lastMove));
  DeclareNumber(text, "Boardshot_Last_Move_Number", summary.lastMoveNumber);
  DeclareNumber(text, "Boardshot_Last_Side", summary.lastSide);
  if (OnBoard(move.from) && move.sourceFound) {
    Declare(text, "Boardshot_Last_From", SquareName(move.from));
  }
  if (OnBoard(move.to)) Declare(text, "Boardshot_Last_To", SquareName(move.to));
  if (move.castled) {
    Declare(text, "Boardshot_Last_Rook_From", SquareName(move.rookFrom));
    Declare(text, "Boardshot_Last_Rook_To", SquareName(move.rookTo));
  }
  if (move.captured != Empty) {
    Declare(text, "Boardshot_Last_Captured",
            '"' + std::string(PieceName(move.captured)) + '"');
    Declare(text, "Boardshot_Last_Captured_From",
            SquareName(move.capturedFrom));
    if (move.captureIndex >= 0) {
      Declare(
          text, "Boardshot_Last_Captured_At",
          '"' + CaptureSquareName(summary.lastSide, move.captureIndex) + '"');
    }
  }
}

}  // namespace

std::string SceneString(std::string_view text) {
  std::string literal = "\"";
  for (std::size_t at = 0, used = 0; at < text.size(); at += used) {
    const std::string piece = EscapedCharacter(text, at, used);
    if (literal.size() - 1 + piece.size() > kLiteralCapacity) break;
    literal += piece;
  }
  return literal + '"';
}

std::string FormatDetails(const GameSummary& summary) {
  std::string text;
  DeclareNumber(text, "Boardshot_Half_Move", summary.halfMovesApplied);
  DeclareNumber(text, "Boardshot_Half_Moves", summary.halfMoves);
  DeclareNumber(text, "Boardshot_Side_To_Move", summary.sideToMove);
  Declare(text, "Boardshot_White", SceneString(summary.white));
  Declare(text, "Boardshot_Black", SceneString(summary.black));
  Declare(text, "Boardshot_Event", SceneString(summary.event));
  Declare(text, "Boardshot_Date", SceneString(summary.date));
  Declare(text, "Boardshot_Result", SceneString(summary.result));
  if (summary.hasLastMove) DeclareLastMove(text, summary);
  return text;
}

}  // namespace boardshot
