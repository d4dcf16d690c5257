// The byte classes of the game text, in one place: the bytes that shape lines
// and comments, and the class table the game scanner builds its bit masks
// from (its vector kernels compare with the same constants).
#pragma once

#include <array>
#include <cstdint>

namespace boardshot {

inline constexpr char kLineFeed = '\n';
inline constexpr char kCarriageReturn = '\r';
inline constexpr char kTagOpen = '[';
inline constexpr char kEscapeMark = '%';
inline constexpr char kCommentOpen = '{';
inline constexpr char kCommentClose = '}';
inline constexpr char kLineCommentMark = ';';
// DOS end-of-file mark: dropped from the text wherever it stands.
inline constexpr char kCtrlZ = 0x1A;

/// True for 'a'..'z' and 'A'..'Z' whatever the locale.
constexpr bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// The blanks that may stand between a tag line's '[' and its name, and that
/// a blank line may hold.
constexpr bool IsLineBlank(char c) { return c == ' ' || c == '\t'; }

// One bit per class the game scanner looks for.
enum ScanClass : std::uint8_t {
  kClassLineFeed = 1 << 0,
  kClassCommentOpen = 1 << 1,
  kClassCommentClose = 1 << 2,
  kClassLineComment = 1 << 3,
  kClassTagOpen = 1 << 4,
  kClassEscape = 1 << 5,
  kClassLetter = 1 << 6,
};

constexpr std::uint8_t ScanClassOf(char c) {
  std::uint8_t classes = 0;
  if (c == kLineFeed) classes |= kClassLineFeed;
  if (c == kCommentOpen) classes |= kClassCommentOpen;
  if (c == kCommentClose) classes |= kClassCommentClose;
  if (c == kLineCommentMark) classes |= kClassLineComment;
  if (c == kTagOpen) classes |= kClassTagOpen;
  if (c == kEscapeMark) classes |= kClassEscape;
  if (IsAsciiLetter(c)) classes |= kClassLetter;
  return classes;
}

// The classes of every byte value, for the scanner's portable kernel.
inline constexpr std::array<std::uint8_t, 256> kScanClasses = [] {
  std::array<std::uint8_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = ScanClassOf(static_cast<char>(byte));
  }
  return table;
}();

}  // namespace boardshot
