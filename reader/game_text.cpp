// Block reading of the game text and the line conventions of every host.
#include "reader/game_text.h"

#include <cstring>

namespace boardshot {
namespace {

constexpr char kEndOfFileByte = 0x1A;
constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};

// Moves the unread bytes to the front of the block and reads as many more
// as fit. A 0x1A byte cuts the text there and ends the input.
void FillBlock(GameText& text) {
  if (text.finished) return;
  const std::size_t unread = text.end - text.pos;
  if (unread > 0 && text.pos > 0) {
    std::memmove(text.block, text.block + text.pos, unread);
  }
  text.pos = 0;
  const std::size_t wanted = kTextBlockSize - unread;
  const std::size_t got = std::fread(text.block + unread, 1, wanted, text.file);
  const void* stop = std::memchr(text.block + unread, kEndOfFileByte, got);
  if (stop != nullptr) {
    text.end =
        static_cast<std::size_t>(static_cast<const char*>(stop) - text.block);
    text.finished = true;
    return;
  }
  text.end = unread + got;
  if (got < wanted) {
    text.finished = true;
    text.readError = std::ferror(text.file) != 0;
  }
}

}  // namespace

void OpenGameText(GameText& text, std::FILE* file) {
  text.file = file;
  text.pos = 0;
  text.end = 0;
  text.finished = false;
  text.readError = false;
  if (EnsureBytes(text, sizeof kByteOrderMark) &&
      std::memcmp(text.block, kByteOrderMark, sizeof kByteOrderMark) == 0) {
    text.pos = sizeof kByteOrderMark;
  }
}

bool EnsureBytes(GameText& text, std::size_t count) {
  while (text.end - text.pos < count && !text.finished) FillBlock(text);
  return text.end - text.pos >= count;
}

int NextCharSlow(GameText& text) {
  EnsureBytes(text, 2);
  if (text.pos >= text.end) return EOF;
  const unsigned char c = static_cast<unsigned char>(text.block[text.pos++]);
  if (c == '\r' && text.pos < text.end && text.block[text.pos] == '\n') {
    ++text.pos;
    return '\n';
  }
  return c;
}

int PeekChar(GameText& text) {
  EnsureBytes(text, 2);
  if (text.pos >= text.end) return EOF;
  const unsigned char c = static_cast<unsigned char>(text.block[text.pos]);
  if (c == '\r' && text.pos + 1 < text.end &&
      text.block[text.pos + 1] == '\n') {
    return '\n';
  }
  return c;
}

bool SkipPast(GameText& text, char stop) {
  for (;;) {
    const char* start = text.block + text.pos;
    const void* found = std::memchr(start, stop, text.end - text.pos);
    if (found != nullptr) {
      text.pos += static_cast<const char*>(found) - start + 1;
      return true;
    }
    text.pos = text.end;
    if (!EnsureBytes(text, 1)) return false;
  }
}

bool SkipRestOfLine(GameText& text) { return SkipPast(text, '\n'); }

LineKind ClassifyLine(GameText& text) {
  EnsureBytes(text, kLineLookahead);
  const char* line = text.block + text.pos;
  const std::size_t available = text.end - text.pos;
  if (available == 0) return LineKind::kEndOfInput;
  if (line[0] == '\n') return LineKind::kBlank;
  if (line[0] == '\r' && available > 1 && line[1] == '\n') {
    return LineKind::kBlank;
  }
  if (line[0] == '%') return LineKind::kEscape;
  if (line[0] == '[') {
    std::size_t i = 1;
    while (i < available && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i < available && IsAsciiLetter(line[i])) return LineKind::kTag;
  }
  return LineKind::kText;
}

// Tag lines are the only lines that begin with '[' and a letter, and '['
// is rare in most movetext, so the scan jumps to the next '[' and looks at
// the byte before it: this passes over a game in a few block searches
// instead of one per line.
LineKind SkipToTagLine(GameText& text) {
  // The line's first byte is not a tag line's '[': step over it.
  int before = NextChar(text);
  if (before == EOF) return LineKind::kEndOfInput;
  for (;;) {
    const char* start = text.block + text.pos;
    const std::size_t length = text.end - text.pos;
    const void* found = std::memchr(start, '[', length);
    if (found == nullptr) {
      if (length > 0) before = start[length - 1];
      text.pos = text.end;
      if (text.finished) return LineKind::kEndOfInput;
      FillBlock(text);
      continue;
    }
    const char* bracket = static_cast<const char*>(found);
    if (bracket > start) before = bracket[-1];
    text.pos += static_cast<std::size_t>(bracket - start);
    if (before == '\n' && ClassifyLine(text) == LineKind::kTag) {
      return LineKind::kTag;
    }
    // No tag line starts before the next line break; lines with clock
    // comments hold several '[' each.
    if (!SkipRestOfLine(text)) return LineKind::kEndOfInput;
    before = '\n';
  }
}

}  // namespace boardshot
