// Decoding of fuzzer inputs into options, boards and tokens, and the runs
// of the stages on them.
#include "fuzz/fuzz_inputs.h"

#include <climits>
#include <cstring>
#include <memory>

#include "board/move.h"
#include "reader/reader.h"
#include "scene/scene.h"

namespace boardshot {
namespace {

constexpr std::uint8_t kLargestGameByte = 0xFF;
constexpr Square kTypeBits = 0x7;
constexpr Square kFieldBits = 0xF;
constexpr Square kUnusedType = 7;
constexpr int kPieceTypeCount = King + 1;

RunOptions OptionsFromHeader(const std::uint8_t* header) {
  RunOptions options;
  options.gameNumber =
      header[0] == kLargestGameByte ? INT32_MAX : 1 + header[0];
  double halfMoves = 0.0;
  if (header[1] % 2 == 0) {
    std::int16_t count = 0;
    std::memcpy(&count, header + 2, sizeof count);
    halfMoves = count;
  } else {
    std::memcpy(&halfMoves, header + 2, sizeof halfMoves);
  }
  // The same conversion as the command line's `-m`.
  options.moveLimit = (halfMoves + 1.0 + 1.0) * 0.5;
  return options;
}

// Type 7 fits the field but is never written, so it becomes Empty.
Square SquareFromByte(std::uint8_t byte) {
  Square square = byte & kFieldBits;
  if ((square & kTypeBits) == kUnusedType) square &= ~kTypeBits;
  return square;
}

void FillCaptureList(const std::uint8_t* bytes, CaptureList& list) {
  list = CaptureList{};
  list.count = static_cast<std::int16_t>(bytes[0] % (kCaptureListSize + 1));
  for (int i = 0; i < list.count; ++i) {
    list.entries[i] = static_cast<std::int16_t>(bytes[1 + i] % kPieceTypeCount);
  }
}

GameState StateFromHeader(const std::uint8_t* header) {
  GameState state{};
  for (int i = 0; i < kSquareCount; ++i) {
    state.board.squares[i] = SquareFromByte(header[i]);
  }
  const std::uint8_t* lists = header + kSquareCount;
  FillCaptureList(lists, state.capturedByWhite);
  FillCaptureList(lists + 1 + kCaptureListSize, state.capturedByBlack);
  return state;
}

bool IsSoundList(const CaptureList& list) {
  if (list.count < 0 || list.count > kCaptureListSize) return false;
  for (int i = 0; i < list.count; ++i) {
    if (list.entries[i] < 0 || list.entries[i] > static_cast<int>(King)) {
      return false;
    }
  }
  return true;
}

// Hands ApplyMove the token in an allocation of exactly its size, so that a
// read past its NUL is caught by the address sanitizer (the reader's own
// token buffer is far larger than most tokens).
int ApplyExactToken(GameState& state, const char* bytes, std::size_t length,
                    Side side) {
  std::unique_ptr<char[]> token(new char[length + 1]);
  std::memcpy(token.get(), bytes, length);
  token[length] = '\0';
  return ApplyMove(state, token.get(), side);
}

int ApplyMoveOnExactCopy(GameState& state, const char* token, Side side) {
  return ApplyExactToken(state, token, std::strlen(token), side);
}

}  // namespace

FuzzRun ConvertFuzzInput(const std::uint8_t* data, std::size_t size,
                         std::FILE* console) {
  std::uint8_t header[kConversionHeaderSize] = {};
  const std::size_t headerBytes =
      size < kConversionHeaderSize ? size : kConversionHeaderSize;
  if (headerBytes > 0) std::memcpy(header, data, headerBytes);
  const RunOptions options = OptionsFromHeader(header);

  // The game text gets its own allocation so that a read beyond it is
  // caught; an empty text still needs a valid buffer to open a stream on.
  const std::size_t textSize = size - headerBytes;
  std::unique_ptr<char[]> text(new char[textSize == 0 ? 1 : textSize]);
  if (textSize > 0) std::memcpy(text.get(), data + headerBytes, textSize);
  FuzzRun run;
  std::FILE* input = fmemopen(text.get(), textSize, "r");
  if (input == nullptr) {
    run.result = -1;
    return run;
  }
  run.result = SetUpBoard(run.state);
  if (run.result == 0) {
    run.result =
        ReadGameWith(input, options, run.state, console, ApplyMoveOnExactCopy);
  }
  std::fclose(input);
  if (run.result == 0) run.scene = FormatScene(run.state);
  return run;
}

FuzzRun ApplyFuzzTokens(const std::uint8_t* data, std::size_t size) {
  std::uint8_t header[kBoardHeaderSize] = {};
  const std::size_t headerBytes =
      size < kBoardHeaderSize ? size : kBoardHeaderSize;
  if (headerBytes > 0) std::memcpy(header, data, headerBytes);
  FuzzRun run;
  run.state = StateFromHeader(header);

  Side side = White;
  std::size_t start = headerBytes;
  while (start < size) {
    const void* nul = std::memchr(data + start, '\0', size - start);
    const std::size_t end =
        nul == nullptr ? size
                       : static_cast<std::size_t>(
                             static_cast<const std::uint8_t*>(nul) - data);
    ApplyExactToken(run.state, reinterpret_cast<const char*>(data + start),
                    end - start, side);
    side = side == White ? Black : White;
    start = end + 1;
  }
  run.scene = FormatScene(run.state);
  return run;
}

bool IsSoundState(const GameState& state) {
  for (Square square : state.board.squares) {
    if ((square & ~kFieldBits) != 0) return false;
    if ((square & kTypeBits) == kUnusedType) return false;
  }
  return IsSoundList(state.capturedByWhite) &&
         IsSoundList(state.capturedByBlack);
}

}  // namespace boardshot
