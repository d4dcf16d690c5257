// Writes what a scene may know of the position besides its pieces, with all
// text from the game file made harmless.
#include "scene/details.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

#include "scene/scene.h"

namespace boardshot {
namespace {

// POV-Ray refuses string literals of 256 characters or more, escapes
// included; a whole character is left out rather than cut in half.
constexpr std::size_t kLiteralCapacity = 240;

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point of the UTF-8 character starting text[at], and its length
// in bytes; a length of 0 when no well-formed character starts there.
char32_t DecodeUtf8(std::string_view text, std::size_t at,
                    std::size_t& length) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[at + i]);
  };
  length = 0;
  const std::size_t left = text.size() - at;
  if ((byte(0) & 0xE0) == 0xC0 && left >= 2 && IsContinuationByte(byte(1))) {
    const char32_t code = (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    if (code >= 0x80) length = 2;
    return code;
  }
  if ((byte(0) & 0xF0) == 0xE0 && left >= 3 && IsContinuationByte(byte(1)) &&
      IsContinuationByte(byte(2))) {
    const char32_t code =
        (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) length = 3;
    return code;
  }
  if ((byte(0) & 0xF8) == 0xF0 && left >= 4 && IsContinuationByte(byte(1)) &&
      IsContinuationByte(byte(2)) && IsContinuationByte(byte(3))) {
    const char32_t code = (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 |
                          (byte(2) & 0x3Fu) << 6 | (byte(3) & 0x3Fu);
    if (code >= 0x10000 && code <= 0x10FFFF) length = 4;
    return code;
  }
  return 0;
}

bool IsControl(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

// The escaped form of the character at text[at], and how many bytes it
// used; empty for a character that is left out: a control character, or
// one beyond the \uXXXX range. A byte that starts no UTF-8 character is a
// Latin-1 character, as older game files write names.
std::string EscapedCharacter(std::string_view text, std::size_t at,
                             std::size_t& used) {
  const auto first = static_cast<unsigned char>(text[at]);
  used = 1;
  char32_t code = first;
  if (first >= 0x80) {
    std::size_t length = 0;
    const char32_t decoded = DecodeUtf8(text, at, length);
    if (length > 0) {
      code = decoded;
      used = length;
    }
  }
  if (IsControl(code) || code > 0xFFFF) return "";
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

const char* PieceName(PieceType type) {
  switch (type) {
    case Pawn: return "\"Pawn\"";
    case Knight: return "\"Knight\"";
    case Bishop: return "\"Bishop\"";
    case Rook: return "\"Rook\"";
    case Queen: return "\"Queen\"";
    case King: return "\"King\"";
    default: return "\"\"";
  }
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
    Declare(text, "Boardshot_Last_Captured", PieceName(move.captured));
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
