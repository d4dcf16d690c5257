// Reads the command line, opens the game text and the scene file, and runs
// the stages of a conversion in order.
#include "driver/driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "reader/reader.h"
#include "scene/scene.h"

namespace boardshot {
namespace {

constexpr const char* kVersion = "1.0.0";
constexpr const char* kOutputSuffix = ".inc";

void PrintUsage(std::FILE* console) {
  std::fputs("\nUsage:\n\tboardshot inputFile [outputFile] [-gn] [-mn]",
             console);
  std::fputs("\n\t\t-gn\tconvert game #n", console);
  std::fputs("\n\t\t-mn\tstop after parsing move #n", console);
}

// Leading white space and a sign are allowed and conversion stops at the
// first non-digit, as with strtol; values beyond 32 bits saturate.
std::int32_t ParseGameNumber(const char* text) {
  errno = 0;
  long long value = std::strtoll(text, nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

// `-m`n lets exactly n half-moves be applied: the reader applies half-move k
// (counted from 1) while (k + 1) / 2 is below the limit.
double MoveLimitFor(const char* text) {
  double halfMoves = std::strtod(text, nullptr);
  return (halfMoves + 1.0 + 1.0) * 0.5;
}

// One decimal, exact halves rounded away from zero. The value's exact
// decimal expansion is printed first (glibc prints every digit), so the
// rounding decision looks at true digits and never at a rounded copy.
std::string FormatOneDecimal(double value) {
  if (!std::isfinite(value)) {
    char text[16];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
  }
  const bool negative = std::signbit(value);
  const double magnitude = std::fabs(value);
  // A finite double has at most 309 integer digits and, past the point,
  // 1074 significant ones: the expansion below is exact.
  char expansion[1500];
  std::snprintf(expansion, sizeof expansion, "%.1100f", magnitude);
  const std::string digits = expansion;

  const std::size_t point = digits.find('.');
  const bool roundUp = digits[point + 2] >= '5';
  std::string kept = digits.substr(0, point) + digits.substr(point + 1, 1);
  if (roundUp) {
    std::size_t i = kept.size();
    while (i > 0 && kept[i - 1] == '9') kept[--i] = '0';
    if (i == 0) {
      kept.insert(kept.begin(), '1');
    } else {
      ++kept[i - 1];
    }
  }
  std::string text = kept.substr(0, kept.size() - 1) + "." + kept.back();
  return negative ? "-" + text : text;
}

struct CommandLine {
  std::string inputFile;
  std::string outputFile;
  RunOptions options;
  bool details = false;  // --details: describe the position after the pieces
};

// Long options may stand anywhere after the program name; they are taken out
// before the file names and the one-letter options are read, so that a
// command line without them means exactly what it always meant.
std::vector<const char*> TakeLongOptions(int argc, const char* const argv[],
                                         CommandLine& line) {
  std::vector<const char*> rest(argv, argv + argc);
  std::erase_if(rest, [&line](const char* arg) {
    if (std::strcmp(arg, "--details") != 0) return false;
    line.details = true;
    return true;
  });
  return rest;
}

// Reads the options that follow the file names. Returns 0, or the result
// code of the first option that ends the run.
int ReadOptions(int argc, const char* const argv[], int first,
                RunOptions& options, std::FILE* console) {
  for (int i = first; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') {
      std::fprintf(console, "\nInvalid flag %s\nAborting...", arg);
      return kInvalidFlag;
    }
    const char letter = arg[1];
    if (letter == 'g' || letter == 'G') {
      options.gameNumber = ParseGameNumber(arg + 2);
      if (options.gameNumber < 1) {
        std::fprintf(console, "\nInvalid game number %" PRId32,
                     options.gameNumber);
        return kInvalidGameNumber;
      }
    } else if (letter == 'm' || letter == 'M') {
      options.moveLimit = MoveLimitFor(arg + 2);
    } else {
      std::fprintf(console, "\nIgnoring unknown flag %s", arg);
    }
  }
  return 0;
}

int ReadCommandLine(int argc, const char* const argv[], CommandLine& line,
                    std::FILE* console) {
  line.inputFile = argv[1];
  int firstOption = 2;
  if (argc > 2 && argv[2][0] != '-') {
    line.outputFile = argv[2];
    firstOption = 3;
  } else {
    line.outputFile = line.inputFile + kOutputSuffix;
  }
  return ReadOptions(argc, argv, firstOption, line.options, console);
}

// A directory opens for reading on some systems but holds no text.
std::FILE* OpenInput(const std::string& path) {
  std::FILE* input = std::fopen(path.c_str(), "r");
  if (input == nullptr) return nullptr;
  struct stat info {};
  if (fstat(fileno(input), &info) != 0 || S_ISDIR(info.st_mode)) {
    std::fclose(input);
    return nullptr;
  }
  return input;
}

// Opening the output for writing empties it, so an output that is the input
// under another name (the same path, a link) must be caught beforehand.
bool IsSameFile(std::FILE* input, const std::string& outputPath) {
  struct stat inputInfo {};
  struct stat outputInfo {};
  if (fstat(fileno(input), &inputInfo) != 0) return false;
  if (stat(outputPath.c_str(), &outputInfo) != 0) return false;
  return inputInfo.st_dev == outputInfo.st_dev &&
         inputInfo.st_ino == outputInfo.st_ino;
}

// Runs the stages in order; a stage runs only while all before it gave 0.
int RunStages(std::FILE* input, std::FILE* output, const CommandLine& line,
              std::FILE* console) {
  GameState state{};
  GameSummary summary;
  GameSummary* details = line.details ? &summary : nullptr;
  int result = SetUpBoard(state);
  if (result == 0) {
    result = ReadGame(input, line.options, state, console, details);
  }
  if (result == 0 && !WriteScene(output, state, details)) {
    result = kOutputNotWritten;
  }
  return result;
}

// A full disk or an I/O error may only show when buffered bytes reach the
// file, so the flush and the close are checked as well as the writes.
bool FlushAndClose(std::FILE* output) {
  bool written = std::fflush(output) == 0 && std::ferror(output) == 0;
  return std::fclose(output) == 0 && written;
}

int ConvertFiles(const CommandLine& line, std::FILE* console) {
  std::FILE* input = OpenInput(line.inputFile);
  if (input == nullptr) {
    std::fprintf(console, "\nInput file %s could not be opened for read",
                 line.inputFile.c_str());
    return kInputNotOpened;
  }
  if (IsSameFile(input, line.outputFile)) {
    std::fprintf(console, "\nOutput file %s would overwrite the input file",
                 line.outputFile.c_str());
    std::fclose(input);
    return kOutputNotOpened;
  }
  std::FILE* output = std::fopen(line.outputFile.c_str(), "w");
  if (output == nullptr) {
    std::fprintf(console, "\nOutput file %s could not be opened for write",
                 line.outputFile.c_str());
    std::fclose(input);
    return kOutputNotOpened;
  }
  int result = RunStages(input, output, line, console);
  std::fclose(input);
  const bool closed = FlushAndClose(output);
  if (result == kOutputNotWritten || (result == 0 && !closed)) {
    std::fprintf(console, "\nOutput file %s could not be written",
                 line.outputFile.c_str());
    result = kOutputNotWritten;
  }
  return result;
}

}  // namespace

int RunConversion(int argc, const char* const argv[], std::FILE* console) {
  CommandLine line;
  const std::vector<const char*> args = TakeLongOptions(argc, argv, line);
  if (args.size() < 2) {
    PrintUsage(console);
    return kUsagePrinted;
  }
  int result = ReadCommandLine(static_cast<int>(args.size()), args.data(), line,
                               console);
  if (result != 0) return result;
  std::fprintf(
      console, "\nConverting %s to %s, game #%" PRId32 ", through move %s",
      line.inputFile.c_str(), line.outputFile.c_str(), line.options.gameNumber,
      FormatOneDecimal(line.options.moveLimit - 1.0).c_str());
  return ConvertFiles(line, console);
}

int ExitStatusFor(int resultCode) {
  if (resultCode == kGameNotInFile) return 1;
  return resultCode & 0xFF;
}

int Main(int argc, const char* const argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("\nboardshot %s", kVersion);
    return 0;
  }
  const int status = ExitStatusFor(RunConversion(argc, argv, stdout));
  std::fflush(stdout);
  return status;
}

}  // namespace boardshot
