// The game text as a stream of characters: read from the file in large
// blocks, with the same line conventions on every host.
//
// A CR LF pair reads as one '\n'; a CR alone stays in the text. A byte 0x1A
// (Ctrl-Z) ends the input as if the file ended there, and a UTF-8 byte order
// mark at the very start of the file is passed over. Memory is one block,
// whatever the length of the file or of its lines.
#pragma once

#include <cstddef>
#include <cstdio>

namespace boardshot {

inline constexpr std::size_t kTextBlockSize = 64 * 1024;

/// True for 'a'..'z' and 'A'..'Z' whatever the locale.
inline bool IsAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// How many characters a line-start test may look at without reading them.
inline constexpr std::size_t kLineLookahead = 64;

// The read position in the game text. Value-initialise, then OpenGameText.
struct GameText {
  std::FILE* file;
  std::size_t pos;  // next unread byte in `block`
  std::size_t end;  // one past the last valid byte in `block`
  bool finished;    // the file gives no more bytes (end, error or 0x1A)
  bool readError;   // a read failed: the rest of the file is unknown
  char block[kTextBlockSize];
};

/// Starts reading `file` from its current position; a byte order mark there
/// is passed over.
void OpenGameText(GameText& text, std::FILE* file);

/// Makes at least `count` (at most kLineLookahead) unread bytes sit in the
/// block from `pos` on, reading more as needed. Returns false when the input
/// ends before that; the bytes that are left are still available.
bool EnsureBytes(GameText& text, std::size_t count);

/// Reads the next character, or returns EOF at the end of the input.
int NextCharSlow(GameText& text);

/// Reads the next character (CR LF as '\n'), or returns EOF at the end of
/// the input.
inline int NextChar(GameText& text) {
  if (text.pos + 1 < text.end) {
    const unsigned char c = static_cast<unsigned char>(text.block[text.pos++]);
    if (c == '\r' && text.block[text.pos] == '\n') {
      ++text.pos;
      return '\n';
    }
    return c;
  }
  return NextCharSlow(text);
}

/// The character NextChar would return, without reading it.
int PeekChar(GameText& text);

/// Reads up to and including the next `stop` byte. Returns false when the
/// input ends first.
bool SkipPast(GameText& text, char stop);

/// Reads up to and including the next line break. Returns false when the
/// input ends first (the line was the last one, without a line break).
bool SkipRestOfLine(GameText& text);

// What a line is, told from its first characters.
enum class LineKind {
  kEndOfInput,  // no line: the input is at its end
  kBlank,       // a bare line break
  kTag,         // '[', optional spaces or tabs, then a letter
  kEscape,      // begins with '%': skipped whole
  kText,        // anything else: movetext, or a damaged tag
};

/// Tells what the line that starts at the read position is, reading nothing.
/// Call only at the start of a line.
LineKind ClassifyLine(GameText& text);

/// Passes over the line at the read position, which must be a kText line,
/// and every line after it up to the next tag line. Returns kTag with the
/// read position at that line's start, or kEndOfInput.
LineKind SkipToTagLine(GameText& text);

}  // namespace boardshot
