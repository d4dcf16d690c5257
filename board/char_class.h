// The byte classes of game text, in one place for every stage that reads
// it: the bytes that shape lines, tags and comments, and the predicates the
// move decoder, the reader and the FEN parser test bytes with. The game
// scanner's class table (reader/scan_classes.h) is built from the same
// constants.
#pragma once

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

/// A space or a tab: the blanks that may stand between a tag line's '[' and
/// its name, that a blank line may hold, and that separate FEN fields.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

/// The blanks around a tag's name and value inside a tag line.
constexpr bool IsTagSpace(char c) { return IsBlank(c) || c == '\r'; }

}  // namespace boardshot
