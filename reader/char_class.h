// The byte classes of the game text, in one place: the bytes that shape lines
// and comments, and the class table the game scanner builds its bit masks
// from (its vector kernels compare with the same constants).
#pragma once

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>

namespace boardshot {

inline constexpr char kLineFeed = '\n';
inline constexpr char kCarriageReturn = '\r';
inline constexpr char kTagOpen = '[';
inline constexpr char kTagClose = ']';
inline constexpr char kTagQuote = '"';
inline constexpr char kTagEscape = '\\';
inline constexpr char kEscapeMark = '%';
inline constexpr char kCommentOpen = '{';
inline constexpr char kCommentClose = '}';
inline constexpr char kLineCommentMark = ';';
// DOS end-of-file mark: dropped from the text wherever it stands.
inline constexpr char kCtrlZ = 0x1A;

/// True for 'a'..'z' and 'A'..'Z' whatever the locale.
constexpr bool IsAsciiLetter(int c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

/// True for '0'..'9' whatever the locale.
constexpr bool IsAsciiDigit(int c) { return c >= '0' && c <= '9'; }

/// True for the ASCII white space that separates tokens of movetext.
constexpr bool IsWhiteSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

/// True for a character that ends a movetext token. A NUL byte separates
/// like white space, so no token is ever empty or cut short as a C string.
constexpr bool EndsToken(int c) {
  return IsWhiteSpace(c) || c == '.' || c == '(' || c == ')' ||
         c == kCommentOpen || c == kCommentClose || c == kLineCommentMark ||
         c == '\0';
}

/// The decimal number at the start of `text`, saturated to the 32-bit
/// range; 0 when no digit comes first. With `signedNumber`, white space and
/// a sign may come before the digits, as a command-line number is written.
inline std::int32_t LeadingNumber(const char* text, bool signedNumber = false) {
  bool negative = false;
  if (signedNumber) {
    while (IsWhiteSpace(*text)) ++text;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
  }
  constexpr std::int64_t kBeyond = std::int64_t{1} << 31;
  std::int64_t value = 0;
  for (; IsAsciiDigit(*text); ++text) {
    value = std::min(value * 10 + (*text - '0'), kBeyond);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

/// The blanks that may stand between a tag line's '[' and its name, and that
/// a blank line may hold.
constexpr bool IsLineBlank(char c) { return c == ' ' || c == '\t'; }

// One bit per class the game scanner looks for.
enum ScanClass : std::uint16_t {
  kClassLineFeed = 1 << 0,
  kClassCarriageReturn = 1 << 1,
  kClassCommentOpen = 1 << 2,
  kClassCommentClose = 1 << 3,
  kClassLineComment = 1 << 4,
  kClassTagOpen = 1 << 5,
  kClassTagClose = 1 << 6,
  kClassTagQuote = 1 << 7,
  kClassTagEscape = 1 << 8,
  kClassEscape = 1 << 9,
  kClassBlank = 1 << 10,
  kClassLetter = 1 << 11,
  kClassLineEnd = kClassLineFeed | kClassCarriageReturn,
};

// Calls ADD(class, byte) for each class that stands for one byte or a few
// (a class named twice holds both bytes); letters are a class of their own,
// a range. A macro, so that each vector kernel of the scanner expands the
// compares inside its own instruction set.
#define BOARDSHOT_FOR_EACH_BYTE_CLASS(ADD)    \
  ADD(kClassLineFeed, kLineFeed);             \
  ADD(kClassCarriageReturn, kCarriageReturn); \
  ADD(kClassCommentOpen, kCommentOpen);       \
  ADD(kClassCommentClose, kCommentClose);     \
  ADD(kClassLineComment, kLineCommentMark);   \
  ADD(kClassTagOpen, kTagOpen);               \
  ADD(kClassTagClose, kTagClose);             \
  ADD(kClassTagQuote, kTagQuote);             \
  ADD(kClassTagEscape, kTagEscape);           \
  ADD(kClassEscape, kEscapeMark);             \
  ADD(kClassBlank, ' ');                      \
  ADD(kClassBlank, '\t')

constexpr std::uint16_t ScanClassOf(char c) {
  std::uint16_t classes = IsAsciiLetter(c) ? kClassLetter : 0;
  const auto add = [&](ScanClass scanClass, char byte) {
    if (c == byte) classes |= scanClass;
  };
  BOARDSHOT_FOR_EACH_BYTE_CLASS(add);
  return classes;
}

// The classes of every byte value, for the scanner's portable kernel.
inline constexpr std::array<std::uint16_t, 256> kScanClasses = [] {
  std::array<std::uint16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = ScanClassOf(static_cast<char>(byte));
  }
  return table;
}();

}  // namespace boardshot
