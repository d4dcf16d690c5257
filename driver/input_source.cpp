// Tells games from positions by the first bytes of the input, keeping every
// byte for the reader that follows.
#include "driver/input_source.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "position/fen_file.h"

namespace boardshot {
namespace {

// Enough for a FEN's first word after any usual run of blank lines.
constexpr std::size_t kSniffBytes = 4096;
constexpr std::size_t kPipeCapacity = 64 * 1024;

// A pipe cannot be wound back, so the bytes already taken from it are
// served again before the rest of it. The stream owns the pipe.
struct ReplayedStream {
  std::string start;
  std::size_t served = 0;
  std::FILE* rest = nullptr;
  std::vector<char> buffer = std::vector<char>(kPipeCapacity);
};

ssize_t ReadReplayed(void* cookie, char* buffer, std::size_t size) {
  auto& stream = *static_cast<ReplayedStream*>(cookie);
  if (stream.served < stream.start.size()) {
    const std::size_t count =
        std::min(size, stream.start.size() - stream.served);
    std::memcpy(buffer, stream.start.data() + stream.served, count);
    stream.served += count;
    return static_cast<ssize_t>(count);
  }
  ssize_t got;
  do {
    got = read(fileno(stream.rest), buffer, size);
  } while (got < 0 && errno == EINTR);
  return got;
}

int CloseReplayed(void* cookie) {
  auto* stream = static_cast<ReplayedStream*>(cookie);
  const int closed = std::fclose(stream->rest);
  delete stream;
  return closed;
}

std::FILE* Replayed(std::string_view start, std::FILE* rest) {
  auto* stream = new ReplayedStream{std::string(start), 0, rest};
  std::FILE* replayed = fopencookie(
      stream, "r",
      cookie_io_functions_t{ReadReplayed, nullptr, nullptr, CloseReplayed});
  if (replayed == nullptr) {
    delete stream;
    return nullptr;
  }
  // stdio fills a cookie stream's buffer one call at a time: a buffer the
  // size of a full pipe keeps those calls, and so the reads, few.
  std::setvbuf(replayed, stream->buffer.data(), _IOFBF, stream->buffer.size());
  return replayed;
}

// Reads up to `size` bytes of a pipe straight from its descriptor, so that
// nothing of it waits in the stream's buffer. Returns -1 on a failed read.
ssize_t ReadPipeStart(std::FILE* pipe, char* buffer, std::size_t size) {
  std::size_t got = 0;
  while (got < size) {
    const ssize_t part = read(fileno(pipe), buffer + got, size - got);
    if (part == 0) break;
    if (part < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    got += static_cast<std::size_t>(part);
  }
  return static_cast<ssize_t>(got);
}

}  // namespace

std::FILE* SniffInput(std::FILE* input, bool& positions) {
  char start[kSniffBytes];
  const long origin = std::ftell(input);  // -1 for a pipe
  if (origin >= 0) {  // a file: read its start and wind back
    const std::size_t got = std::fread(start, 1, sizeof start, input);
    if (std::ferror(input) || std::fseek(input, origin, SEEK_SET) != 0) {
      return nullptr;
    }
    positions = LooksLikePositions(std::string_view(start, got));
    return input;
  }
  const ssize_t got = ReadPipeStart(input, start, sizeof start);
  if (got < 0) return nullptr;
  const std::string_view taken(start, static_cast<std::size_t>(got));
  positions = LooksLikePositions(taken);
  return Replayed(taken, input);
}

}  // namespace boardshot
