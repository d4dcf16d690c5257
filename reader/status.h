// The result of a run and of each of its stages, and the exit status the
// user sees for it.
#pragma once

namespace boardshot {

// Each value is the run's result code. The process exits with its low 8
// bits (shown beside each), except kGameNotInFile, whose low bits would
// read as success, and kInputNotRead, which exits as kInputNotOpened.
enum class Status : int {
  kDone = 0,                    // 0: the scene is written
  kUsagePrinted = 16,           // 16: no arguments
  kInvalidFlag = 17,            // 17: an option without its '-'
  kInvalidGameNumber = 18,      // 18: -g below 1
  kInputNotOpened = -2,         // 254
  kOutputNotOpened = -3,        // 253: also an output that is the input
  kOutputNotWritten = -4,       // 252: disk full, I/O error
  kInputNotRead = -5,           // 254: a read failed before the input's end
  kGameNotInFile = 256,         // 1
  kInputEndedInMovetext = 258,  // 2
  kInvalidFen = 259,            // 3
};

/// The process exit status for `status`.
constexpr int ExitStatus(Status status) {
  if (status == Status::kInputNotRead) status = Status::kInputNotOpened;
  return status == Status::kGameNotInFile ? 1 : static_cast<int>(status) & 0xFF;
}

}  // namespace boardshot
