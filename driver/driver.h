// The conversion driver: the command line, the two files, the stages of a
// run, their messages and result codes.
#pragma once

#include <cstdio>

namespace boardshot {

// Result codes of a run besides the reader's (kGameNotInFile,
// kInputEndedInMovetext, kInvalidFen) and 0 for a written scene.
inline constexpr int kUsagePrinted = 16;
inline constexpr int kInvalidFlag = 17;
inline constexpr int kInvalidGameNumber = 18;
inline constexpr int kInputNotOpened = -2;
inline constexpr int kOutputNotOpened = -3;
inline constexpr int kOutputNotWritten = -4;

/// Runs one conversion as `boardshot inputFile [outputFile] [-gn] [-mn]`,
/// printing every message to `console`. Returns the result code: 0 when the
/// scene was written, otherwise the code of the first failure.
int RunConversion(int argc, const char* const argv[], std::FILE* console);

/// The process exit status for a result code: its low 8 bits, except that
/// the game-not-in-file code maps to 1 so that it never reads as success.
int ExitStatusFor(int resultCode);

/// The whole program: `--help` or `--version` as the only argument print the
/// usage or the version and return 0; anything else runs a conversion on
/// stdout. Returns the process exit status.
int Main(int argc, const char* const argv[]);

}  // namespace boardshot
