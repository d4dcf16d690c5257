// libFuzzer target: a whole conversion on arbitrary bytes. The first bytes
// choose `-g` and `-m` and whether the rest is read as a game text, a file
// of positions or a `--fen`; the text is read from memory. Besides
// crashes and sanitizer reports, a game state the program could never reach
// counts as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "board/move.h"
#include "position/fen_file.h"
#include "reader/reader.h"
#include "scene/annotation_details.h"
#include "scene/details.h"
#include "scene/scene.h"

namespace {

using namespace boardshot;

// Byte 0 chooses the game (1 + byte; 255 the largest number); bytes 1-8 are
// the `-m` value as a raw double, NaN and infinities included; byte 9's bit
// 0 asks for the position's details, bit 1 reads the text as a file of
// positions (and lists it), bit 2 as a `--fen`.
constexpr std::size_t kHeaderSize = 10;

RunOptions OptionsFrom(const std::uint8_t* header) {
  RunOptions options;
  options.gameNumber = header[0] == 0xFF ? INT32_MAX : 1 + header[0];
  double halfMoves = 0.0;
  std::memcpy(&halfMoves, header + 1, sizeof halfMoves);
  options.halfMoveLimit = halfMoves;
  return options;
}

// The reader's token buffer is far larger than most tokens, so each token
// goes to the interpreter in an allocation of exactly its size: a read past
// its end is then caught.
int ApplyExactCopy(GameState& state, const char* token, Side side,
                   MoveReport* report) {
  const std::size_t size = std::strlen(token) + 1;
  const std::unique_ptr<char[]> copy(new char[size]);
  std::memcpy(copy.get(), token, size);
  return ApplyMove(state, copy.get(), side, report);
}

// Every square holds a type 0..6 and no bit beyond the colour; both capture
// lists hold 0..15 entries of types 0..6.
bool IsSoundState(const GameState& state) {
  for (Square square : state.board.squares) {
    if (square > 0xF || (square & 0x7) == 7) return false;
  }
  for (const CaptureList* list :
       {&state.capturedByWhite, &state.capturedByBlack}) {
    if (list->count < 0 || list->count > kCaptureListSize) return false;
    for (int i = 0; i < list->count; ++i) {
      if (list->entries[i] < 0 || list->entries[i] > int{King}) return false;
    }
  }
  return true;
}

// Every declaration of the details is `#declare Name = value;` on a line of
// its own, the value a number or one string literal with nothing unescaped
// in it, short enough for POV-Ray: no game text can become scene language.
bool IsHarmless(const std::string& details) {
  std::size_t at = 0;
  while (at < details.size()) {
    const std::size_t end = details.find('\n', at + 1);
    const std::string line = details.substr(at, end - at);
    at = end == std::string::npos ? details.size() : end;
    const std::size_t equals = line.find(" = ");
    if (line.rfind("\n#declare Boardshot_", 0) != 0 ||
        equals == std::string::npos || line.back() != ';') {
      return false;
    }
    const std::string value = line.substr(equals + 3, line.size() - equals - 4);
    if (value.find_first_not_of("-0123456789") == std::string::npos) continue;
    if (value.size() < 2 || value.size() > 255 || value.front() != '"' ||
        value.back() != '"') {
      return false;
    }
    for (std::size_t i = 1; i + 1 < value.size(); ++i) {
      const unsigned char c = static_cast<unsigned char>(value[i]);
      if (c < 0x20 || c >= 0x7F || c == '"') return false;
      if (c == '\\' && ++i + 1 >= value.size()) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  static std::FILE* const console = std::fopen("/dev/null", "w");
  std::uint8_t header[kHeaderSize] = {};
  const std::size_t headerBytes = size < kHeaderSize ? size : kHeaderSize;
  if (headerBytes > 0) std::memcpy(header, data, headerBytes);

  // The text gets its own allocation so that a read beyond it is caught.
  const std::size_t textSize = size - headerBytes;
  const std::unique_ptr<char[]> text(new char[textSize + 1]);
  if (textSize > 0) std::memcpy(text.get(), data + headerBytes, textSize);
  std::FILE* input = fmemopen(text.get(), textSize, "r");
  if (console == nullptr || input == nullptr) std::abort();

  GameState state{};
  GameSummary summary;
  GameSummary* details = (header[9] & 1) != 0 ? &summary : nullptr;
  SetUpBoard(state);
  const RunOptions options = OptionsFrom(header);
  Status result;
  LooksLikePositions(std::string_view(text.get(), textSize));
  if ((header[9] & 4) != 0) {
    result = ReadPositionFromText(std::string_view(text.get(), textSize), state,
                                  console, details);
  } else if ((header[9] & 2) != 0) {
    result = ReadPositionFromFile(input, options.gameNumber, state, console,
                                  details);
    std::rewind(input);
    WritePositionList(input, console);
  } else {
    result =
        ReadGameWith(input, options, state, console, ApplyExactCopy, details);
  }
  std::fclose(input);
  if (result == Status::kDone) FormatScene(state);
  if (!IsSoundState(state)) std::abort();
  if (result == Status::kDone && details != nullptr &&
      !IsHarmless(FormatDetails(summary) +
                  FormatAnnotationDetails(summary.comments)))
    std::abort();
  return 0;
}
