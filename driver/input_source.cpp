// Tells games from positions by the first bytes of the input, keeping every
// byte for the reader that follows.
#include "driver/input_source.h"

#include "position/fen_file.h"

namespace boardshot {
namespace {

// Enough for a FEN's first word after any usual run of blank lines.
constexpr std::size_t kSniffBytes = 4096;

// Copies `start` and the rest of `input` into an unnamed scratch file, which
// the system removes when it is closed. Returns it wound back to its start,
// or nullptr when a read or a write failed.
std::FILE* CopyToScratch(std::string_view start, std::FILE* input) {
  std::FILE* copy = std::tmpfile();
  if (copy == nullptr) return nullptr;
  bool written =
      std::fwrite(start.data(), 1, start.size(), copy) == start.size();
  char block[64 * 1024];
  for (std::size_t got = 0;
       written && (got = std::fread(block, 1, sizeof block, input)) > 0;) {
    written = std::fwrite(block, 1, got, copy) == got;
  }
  if (!written || std::ferror(input) || std::fflush(copy) != 0 ||
      std::fseek(copy, 0, SEEK_SET) != 0) {
    std::fclose(copy);
    return nullptr;
  }
  return copy;
}

}  // namespace

std::FILE* SniffInput(std::FILE* input, bool& positions) {
  char start[kSniffBytes];
  const long origin = std::ftell(input);  // -1 for a pipe
  const std::size_t got = std::fread(start, 1, sizeof start, input);
  if (std::ferror(input)) return nullptr;
  positions = LooksLikePositions(std::string_view(start, got));
  if (origin >= 0 && std::fseek(input, origin, SEEK_SET) == 0) return input;
  return CopyToScratch(std::string_view(start, got), input);
}

}  // namespace boardshot
