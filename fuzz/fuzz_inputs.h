// Turns the raw bytes of a fuzzer input into a run of the program's own
// stages. The libFuzzer targets and the regression tests both go through
// these functions, so a saved input replays exactly the code path that
// found it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "board/board.h"

namespace boardshot {

// A conversion input starts with this many bytes choosing the options:
// byte 0 the game (1 + byte, 255 meaning the largest game number), byte 1
// how the limit is written (even: bytes 2-3 are a little-endian int16 count
// of half-moves as after `-m`; odd: bytes 2-9 are the `-m` value as a raw
// double, NaN and infinities included). The rest is the game text.
inline constexpr std::size_t kConversionHeaderSize = 10;

// A token input starts with the board (one byte per square, a1, a2, ...,
// h8: the low three bits the type, bit 3 the colour) and the two capture
// lists (a count byte and 15 entry bytes each, White's list first). The
// rest is a sequence of NUL-separated tokens.
inline constexpr std::size_t kCaptureHeaderSize = 2 * (1 + kCaptureListSize);
inline constexpr std::size_t kBoardHeaderSize =
    kSquareCount + kCaptureHeaderSize;

// What one fuzzer input led to.
struct FuzzRun {
  int result = 0;     // the stage result; -1 if the input could not be read
  GameState state{};  // the position reached
  std::string scene;  // its scene text, when result is 0
};

/// Runs board set-up, game reading and scene formatting on `data` the way a
/// conversion does, reading the game text from memory and printing the
/// reader's messages to `console`. Each half-move goes to ApplyMove in an
/// allocation of exactly the token's size, as in ApplyFuzzTokens. The result is
/// the stage result (0, kGameNotInFile or kInputEndedInMovetext), or -1 when no
/// stream could be opened on the bytes; the scene is formatted only on 0.
FuzzRun ConvertFuzzInput(const std::uint8_t* data, std::size_t size,
                         std::FILE* console);

/// Builds a game state from the head of `data` and applies every token of
/// the rest to it with ApplyMove, White first and the sides alternating,
/// then formats the scene. Each token is handed over in an allocation of
/// exactly its own size, so a read past its end is caught by the address
/// sanitizer. The result is 0.
FuzzRun ApplyFuzzTokens(const std::uint8_t* data, std::size_t size);

/// True when `state` is one the program can reach: every square holds a
/// type 0..6 and no bit beyond the colour, and both capture counts lie in
/// 0..kCaptureListSize with every stored entry a type 0..6.
bool IsSoundState(const GameState& state);

}  // namespace boardshot
