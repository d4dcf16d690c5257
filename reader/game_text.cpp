// Block reading of the game text and the line conventions of every host.
#include "reader/game_text.h"

#include <algorithm>
#include <cstring>

namespace boardshot {
namespace {

constexpr unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
constexpr std::size_t kStdioBuffer = 4096;

// Removes every 0x1A from `length` bytes at `data`; returns the new length.
std::size_t DropCtrlZ(char* data, std::size_t length) {
  char* out = static_cast<char*>(std::memchr(data, kCtrlZ, length));
  if (out == nullptr) return length;
  for (const char* in = out; in != data + length; ++in) {
    if (*in != kCtrlZ) *out++ = *in;
  }
  return static_cast<std::size_t>(out - data);
}

// Moves the unread bytes to the front of the block and reads as many more
// as fit.
void FillBlock(GameText& text) {
  if (text.finished) return;
  const std::size_t unread = text.end - text.pos;
  if (unread > 0 && text.pos > 0) {
    std::memmove(text.block, text.block + text.pos, unread);
  }
  text.pos = 0;
  std::size_t wanted = text.capacity - unread;
  // A request of whole stdio buffers is read straight into the block with
  // one system call; a ragged tail would cost a second call and a copy.
  if (wanted > kStdioBuffer) wanted -= wanted % kStdioBuffer;
  const std::size_t got = std::fread(text.block + unread, 1, wanted, text.file);
  text.end = unread + DropCtrlZ(text.block + unread, got);
  if (got < wanted) {
    text.finished = true;
    text.readError = std::ferror(text.file) != 0;
  }
}

}  // namespace

void OpenGameText(GameText& text, std::FILE* file, std::size_t capacity) {
  text.file = file;
  text.capacity = std::clamp(capacity, 4 * kLineLookahead, kTextBlockSize);
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
  std::size_t width = 0;
  const int c = FoldedChar(text.block + text.pos, text.end - text.pos, width);
  text.pos += width;
  return c;
}

int PeekChar(GameText& text) {
  EnsureBytes(text, 2);
  if (text.pos >= text.end) return EOF;
  std::size_t width = 0;
  return FoldedChar(text.block + text.pos, text.end - text.pos, width);
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

bool SkipRestOfLine(GameText& text) {
  for (;;) {
    const char* start = text.block + text.pos;
    const std::size_t unread = text.end - text.pos;
    const char* lineFeed =
        static_cast<const char*>(std::memchr(start, kLineFeed, unread));
    // Only a CR before the first LF can end the line sooner.
    const std::size_t beforeLineFeed =
        lineFeed != nullptr ? static_cast<std::size_t>(lineFeed - start)
                            : unread;
    const char* carriageReturn = static_cast<const char*>(
        std::memchr(start, kCarriageReturn, beforeLineFeed));
    const char* lineEnd = carriageReturn != nullptr ? carriageReturn : lineFeed;
    if (lineEnd != nullptr) {
      text.pos += static_cast<std::size_t>(lineEnd - start);
      NextChar(text);  // the line end, CR LF as one
      return true;
    }
    text.pos = text.end;
    if (!EnsureBytes(text, 1)) return false;
  }
}

LineKind ClassifyLineAt(const char* line, std::size_t available) {
  available = std::min(available, kLineLookahead);
  if (available == 0) return LineKind::kEndOfInput;
  if (line[0] == kEscapeMark) return LineKind::kEscape;
  // A tag line may be indented, and its name may stand apart from its '['.
  std::size_t i = 0;
  while (i < available && IsBlank(line[i])) ++i;
  if (i < available && line[i] == kTagOpen) {
    ++i;
    while (i < available && IsBlank(line[i])) ++i;
    return i < available && IsAsciiLetter(line[i]) ? LineKind::kTag
                                                   : LineKind::kText;
  }
  if (i == available) return LineKind::kText;
  std::size_t width = 0;
  return FoldedChar(line + i, available - i, width) == kLineFeed
             ? LineKind::kBlank
             : LineKind::kText;
}

LineKind ClassifyLine(GameText& text) {
  EnsureBytes(text, kLineLookahead);
  return ClassifyLineAt(text.block + text.pos, text.end - text.pos);
}

}  // namespace boardshot
