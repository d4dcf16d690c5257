// Reads the command line, opens the game text and the scene file, and runs
// the stages of a conversion in order.
#include "driver/driver.h"

#include <sys/stat.h>

#include <cinttypes>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "list/game_list.h"
#include "reader/leading_number.h"
#include "reader/reader.h"
#include "scene/scene.h"

namespace boardshot {
namespace {

constexpr const char* kOutputSuffix = ".inc";

void PrintUsage(std::FILE* console) {
  std::fputs("\nUsage:\n\tboardshot inputFile [outputFile] [-gn] [-mn]",
             console);
  std::fputs("\n\t\t-gn\tconvert game #n", console);
  std::fputs("\n\t\t-mn\tstop after parsing move #n", console);
}

// The usage, then what the long options add; --help prints it.
void PrintHelp(std::FILE* out) {
  PrintUsage(out);
  std::fputs(
      "\n\t\t\t(n half-moves; without -m the game is converted up to move "
      "999)"
      "\n\t\t--details\tadd the move reached, the last move and the "
      "game's tags to the scene"
      "\n\tboardshot --list inputFile"
      "\n\t\t--list\tlist the games of the file, one line each: number, "
      "White, Black, Result, Date, Event, half-moves, FEN; no scene is written"
      "\n\tboardshot --help | --version"
      "\n\t\t--help\tprint this text"
      "\n\t\t--version\tprint the version\n",
      out);
}

// The number printed as the move the conversion goes through: half the
// half-move limit, as the move cycle counts full moves, taken from the mark
// the reader stops at so that the two always agree.
double ShownMove(double halfMoveLimit) {
  return LimitMark(halfMoveLimit) * 0.5 - 1.0;
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
  bool list = false;     // --list: list the games instead of converting one
};

// Long options may stand anywhere after the program name; they are taken out
// before the file names and the one-letter options are read, so that a
// command line without them means exactly what it always meant.
std::vector<const char*> TakeLongOptions(int argc, const char* const argv[],
                                         CommandLine& line) {
  std::vector<const char*> rest(argv, argv + argc);
  std::erase_if(rest, [&line](const char* arg) {
    if (std::strcmp(arg, "--details") == 0) return line.details = true;
    if (std::strcmp(arg, "--list") == 0) return line.list = true;
    return false;
  });
  return rest;
}

// Reads the options that follow the file names. Returns kDone, or the
// result of the first option that ends the run.
Status ReadOptions(int argc, const char* const argv[], int first,
                   RunOptions& options, std::FILE* console) {
  for (int i = first; i < argc; ++i) {
    const char* arg = argv[i];
    if (arg[0] != '-') {
      std::fprintf(console, "\nInvalid flag %s\nAborting...", arg);
      return Status::kInvalidFlag;
    }
    const char letter = arg[1];
    if (letter == 'g' || letter == 'G') {
      options.gameNumber = LeadingSignedNumber(arg + 2);
      if (options.gameNumber < 1) {
        std::fprintf(console, "\nInvalid game number %" PRId32,
                     options.gameNumber);
        return Status::kInvalidGameNumber;
      }
    } else if (letter == 'm' || letter == 'M') {
      options.halfMoveLimit = std::strtod(arg + 2, nullptr);
    } else {
      std::fprintf(console, "\nIgnoring unknown flag %s", arg);
    }
  }
  return Status::kDone;
}

Status ReadCommandLine(int argc, const char* const argv[], CommandLine& line,
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

// Closes its file when it goes. The output is closed by FlushAndClose
// instead, where a failure to write out its last bytes can be seen.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// A directory opens for reading on some systems but holds no text.
File OpenInput(const std::string& path) {
  File input(std::fopen(path.c_str(), "r"));
  struct stat info {};
  if (input &&
      (fstat(fileno(input.get()), &info) != 0 || S_ISDIR(info.st_mode))) {
    input.reset();
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
Status RunStages(std::FILE* input, std::FILE* output, const CommandLine& line,
                 std::FILE* console) {
  GameState state{};
  GameSummary summary;
  GameSummary* details = line.details ? &summary : nullptr;
  SetUpBoard(state);
  const Status result = ReadGame(input, line.options, state, console, details);
  if (result == Status::kDone && !WriteScene(output, state, details)) {
    return Status::kOutputNotWritten;
  }
  return result;
}

// A full disk or an I/O error may only show when buffered bytes reach the
// file, so the flush and the close are checked as well as the writes.
bool FlushAndClose(File output) {
  const bool written =
      std::fflush(output.get()) == 0 && std::ferror(output.get()) == 0;
  return std::fclose(output.release()) == 0 && written;
}

// Prints the message about the file at `path` and returns `result`.
Status FileFailure(std::FILE* console, Status result, const char* message,
                   const std::string& path) {
  std::fprintf(console, message, path.c_str());
  return result;
}

Status InputNotRead(std::FILE* console, const std::string& path) {
  return FileFailure(console, Status::kInputNotRead,
                     "\nInput file %s could not be read to its end", path);
}

Status ConvertFiles(const CommandLine& line, std::FILE* console) {
  File input = OpenInput(line.inputFile);
  if (!input) {
    return FileFailure(console, Status::kInputNotOpened,
                       "\nInput file %s could not be opened for read",
                       line.inputFile);
  }
  if (IsSameFile(input.get(), line.outputFile)) {
    return FileFailure(console, Status::kOutputNotOpened,
                       "\nOutput file %s would overwrite the input file",
                       line.outputFile);
  }
  File output(std::fopen(line.outputFile.c_str(), "w"));
  if (!output) {
    return FileFailure(console, Status::kOutputNotOpened,
                       "\nOutput file %s could not be opened for write",
                       line.outputFile);
  }
  const Status result = RunStages(input.get(), output.get(), line, console);
  input.reset();
  const bool closed = FlushAndClose(std::move(output));
  if (result == Status::kInputNotRead) {
    return InputNotRead(console, line.inputFile);
  }
  if (result == Status::kOutputNotWritten ||
      (result == Status::kDone && !closed)) {
    return FileFailure(console, Status::kOutputNotWritten,
                       "\nOutput file %s could not be written",
                       line.outputFile);
  }
  return result;
}

// Prints the list of the games of the input; any argument after the input
// is left out, and said so on a line before the list.
Status ListFile(const std::vector<const char*>& args, std::FILE* console) {
  for (std::size_t i = 2; i < args.size(); ++i) {
    std::fprintf(console, "\nIgnoring %s with --list", args[i]);
  }
  const std::string path = args[1];
  File input = OpenInput(path);
  if (!input) {
    return FileFailure(console, Status::kInputNotOpened,
                       "\nInput file %s could not be opened for read", path);
  }
  if (args.size() > 2) std::fputc('\n', console);
  const Status listed = WriteGameList(input.get(), stdout);
  if (listed == Status::kInputNotRead) return InputNotRead(console, path);
  if (listed == Status::kOutputNotWritten) {
    std::fputs("\nThe list could not be written", console);
  }
  return listed;
}

// The exit status of a run that printed on standard output. Messages that
// never reach the user (a full disk, a closed pipe) make a run that would
// have succeeded fail as a write does.
int FinishOutput(Status status) {
  const bool printed = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
  if (status == Status::kDone && !printed) status = Status::kOutputNotWritten;
  return ExitStatus(status);
}

}  // namespace

Status RunConversion(int argc, const char* const argv[], std::FILE* console) {
  CommandLine line;
  const std::vector<const char*> args = TakeLongOptions(argc, argv, line);
  if (args.size() < 2) {
    PrintUsage(console);
    return Status::kUsagePrinted;
  }
  if (line.list) return ListFile(args, console);
  const Status result = ReadCommandLine(static_cast<int>(args.size()),
                                        args.data(), line, console);
  if (result != Status::kDone) return result;
  std::fprintf(
      console, "\nConverting %s to %s, game #%" PRId32 ", through move %s",
      line.inputFile.c_str(), line.outputFile.c_str(), line.options.gameNumber,
      FormatOneDecimal(ShownMove(line.options.halfMoveLimit)).c_str());
  return ConvertFiles(line, console);
}

int Main(int argc, const char* const argv[]) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    PrintHelp(stdout);
    return FinishOutput(Status::kDone);
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("\nboardshot %s\n", BOARDSHOT_VERSION);
    return FinishOutput(Status::kDone);
  }
  return FinishOutput(RunConversion(argc, argv, stdout));
}

}  // namespace boardshot
