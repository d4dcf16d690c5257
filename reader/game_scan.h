// Game selection at the speed of reading: passes over whole games to the
// first tag line of the wanted one, looking at 64 bytes at a time.
#pragma once

#include <cstdint>

#include "reader/game_text.h"

namespace boardshot {

// How the scanner turns 64 bytes of text into one bit per byte and class.
// All give the same masks; kBest is the fastest one this processor runs.
enum class MaskKernel { kPortable, kSse2, kAvx2, kAvx512, kBest };

/// True when this build and processor can run `kernel`.
bool KernelRuns(MaskKernel kernel);

/// From the start of the input (the start of game 1), passes over games up
/// to the first tag line of game `gameNumber` (2 or more) and leaves the
/// read position at that line's start. Games are told apart exactly as the
/// movetext reader ends them: a game starts at a tag line that follows
/// movetext and stands outside brace comments. Returns false when the input
/// holds fewer games or a read failed (text.readError tells which).
bool SkipToGameStart(GameText& text, std::int64_t gameNumber,
                     MaskKernel kernel = MaskKernel::kBest);

}  // namespace boardshot
