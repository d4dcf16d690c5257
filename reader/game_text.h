// The game text as a stream of characters: read from the file in large
// blocks, with the same line conventions on every host.
//
// A line ends at LF, CR LF or a CR alone (old Mac files); each reads as one
// '\n'. A byte 0x1A (Ctrl-Z) is dropped wherever it stands, as if it were not
// in the file, and a UTF-8 byte order mark at the very start of the file is
// passed over. Memory is one block, whatever the length of the file or of its
// lines.
#pragma once

#include <cstddef>
#include <cstdio>

#include "board/char_class.h"

namespace boardshot {

inline constexpr std::size_t kTextBlockSize = 64 * 1024;

// How many characters of a line its kind is told from: a tag line's letter
// and a blank line's line break must come within them.
inline constexpr std::size_t kLineLookahead = 64;

// The read position in the game text. Value-initialise, then OpenGameText.
struct GameText {
  std::FILE* file;
  std::size_t capacity;  // how much of `block` a read may fill
  std::size_t pos;       // next unread byte in `block`
  std::size_t end;       // one past the last valid byte in `block`
  bool finished;         // the file gives no more bytes (end or error)
  bool readError;        // a read failed: the rest of the file is unknown
  char block[kTextBlockSize];
};

/// Starts reading `file` from its current position; a byte order mark there
/// is passed over. `capacity` (at most kTextBlockSize, at least
/// 4 * kLineLookahead) bounds each read; tests make it small to move block
/// edges around.
void OpenGameText(GameText& text, std::FILE* file,
                  std::size_t capacity = kTextBlockSize);

/// Makes at least `count` (at most text.capacity / 2) unread bytes sit in
/// the block from `pos` on, reading more as needed. Returns false when the
/// input ends before that; the bytes that are left are still available.
bool EnsureBytes(GameText& text, std::size_t count);

/// The character at `p` with a line end (CR LF, or a CR alone) folded into
/// '\n', and in `width` how many bytes it takes. `available` (1 or more)
/// bytes may be read.
inline int FoldedChar(const char* p, std::size_t available,
                      std::size_t& width) {
  const unsigned char c = static_cast<unsigned char>(p[0]);
  width = 1;
  if (c != kCarriageReturn) return c;
  if (available > 1 && p[1] == kLineFeed) width = 2;
  return kLineFeed;
}

/// Reads the next character, or returns EOF at the end of the input.
int NextCharSlow(GameText& text);

/// Reads the next character (a line end as '\n'), or returns EOF at the end of
/// the input.
inline int NextChar(GameText& text) {
  if (text.pos + 1 < text.end) {
    std::size_t width = 0;
    const int c = FoldedChar(text.block + text.pos, 2, width);
    text.pos += width;
    return c;
  }
  return NextCharSlow(text);
}

/// The character NextChar would return, without reading it.
int PeekChar(GameText& text);

/// Reads up to and including the next `stop` byte. Returns false when the
/// input ends first.
bool SkipPast(GameText& text, char stop);

/// Reads up to and including the next line end (LF, CR LF or CR). Returns
/// false when the input ends first (the line was the last one, without a
/// line break).
bool SkipRestOfLine(GameText& text);

// What a line is, told from its first kLineLookahead characters.
enum class LineKind {
  kEndOfInput,  // no line: the input is at its end
  kBlank,       // only spaces or tabs before the line break
  kTag,         // optional spaces or tabs, '[', optional spaces or tabs,
                // then a letter
  kEscape,      // begins with '%': skipped whole
  kText,        // anything else: movetext, or a damaged tag
};

/// Tells what the line whose first `available` bytes start at `line` is.
/// Game selection and the movetext reader both classify lines with it.
LineKind ClassifyLineAt(const char* line, std::size_t available);

/// Tells what the line that starts at the read position is, reading nothing.
/// Call only at the start of a line.
LineKind ClassifyLine(GameText& text);

// Where a tag line stands after some of its bytes. A tag pair runs from '['
// to the first ']' outside its quoted value, in which \" and \\ are escapes;
// after a pair only white space and the next pair's '[' may follow, and any
// other byte begins the movetext that shares the line with the tags.
struct TagLineState {
  bool inPair;
  bool inQuote;
  bool escaped;  // a '\' in a quoted value: the next byte is taken as is
};

/// Takes the next byte of a tag line, one that is no line end, starting
/// from a value-initialised state at the line's first byte. Returns false
/// when the byte begins the line's movetext; the state is then unchanged.
/// Game selection and the tag reader both walk tag lines with it.
constexpr bool TakeTagLineByte(TagLineState& s, char c) {
  if (!s.inPair) {
    s.inPair = c == kTagOpen;
    return s.inPair || IsWhiteSpace(c) || c == '\0';
  }
  if (s.escaped) {
    s.escaped = false;
  } else if (s.inQuote) {
    s.escaped = c == kTagEscape;
    s.inQuote = c != kTagQuote;
  } else if (c == kTagQuote) {
    s.inQuote = true;
  } else if (c == kTagClose) {
    s.inPair = false;
  }
  return true;
}

}  // namespace boardshot
