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
#include "driver/input_source.h"
#include "list/game_list.h"
#include "position/fen_file.h"
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
      "\n\t\t--details\tadd the move reached, the last move, the "
      "game's tags and the arrows and marked squares of the comments after "
      "the move reached to the scene"
      "\n\t\tinputFile\ta PGN file, or a file of FEN or EPD lines (-gn "
      "picks position n); - reads standard input and needs an outputFile"
      "\n\tboardshot --fen 'FEN' outputFile [--details]"
      "\n\t\t--fen\tconvert the position FEN, without a game"
      "\n\tboardshot --list inputFile"
      "\n\t\t--list\tlist the games of the file, one line each: number, "
      "White, Black, Result, Date, Event, half-moves, FEN (of a file of "
      "positions: number, EPD id, side to move, FEN); no scene is written"
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
  bool hasFen = false;   // --fen: the position is `fen`, there is no input
  std::string fen;
};

// Takes `--fen FEN` or `--fen=FEN` at argv[i], moving i past its value.
bool TakeFenOption(int argc, const char* const argv[], int& i,
                   CommandLine& line) {
  constexpr std::string_view kFenOption = "--fen";
  const std::string_view arg = argv[i];
  if (arg == kFenOption) {
    line.hasFen = true;
    if (i + 1 < argc) line.fen = argv[++i];
    return true;
  }
  if (!arg.starts_with(kFenOption) || arg[kFenOption.size()] != '=') {
    return false;
  }
  line.hasFen = true;
  line.fen = arg.substr(kFenOption.size() + 1);
  return true;
}

// Long options may stand anywhere after the program name; they are taken out
// before the file names and the one-letter options are read, so that a
// command line without them means exactly what it always meant.
std::vector<const char*> TakeLongOptions(int argc, const char* const argv[],
                                         CommandLine& line) {
  std::vector<const char*> rest;
  for (int i = 0; i < argc; ++i) {
    const char* arg = argv[i];
    if (std::strcmp(arg, "--details") == 0) {
      line.details = true;
    } else if (std::strcmp(arg, "--list") == 0) {
      line.list = true;
    } else if (i == 0 || !TakeFenOption(argc, argv, i, line)) {
      rest.push_back(arg);
    }
  }
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

// Standard input and a FEN on the command line have no name to call the
// scene after, so the user must give one.
Status OutputNameMissing(std::FILE* console, const char* why) {
  std::fprintf(console, "\nOutput file must be named %s", why);
  PrintUsage(console);
  return Status::kUsagePrinted;
}

Status ReadCommandLine(int argc, const char* const argv[], CommandLine& line,
                       std::FILE* console) {
  int firstOption = 1;
  if (!line.hasFen) line.inputFile = argv[firstOption++];
  if (argc > firstOption && argv[firstOption][0] != '-') {
    line.outputFile = argv[firstOption++];
  } else if (line.hasFen) {
    return OutputNameMissing(console, "with --fen");
  } else if (line.inputFile == kStandardInputName) {
    return OutputNameMissing(console, "when the input is - (standard input)");
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
  File input(path == kStandardInputName ? stdin
                                        : std::fopen(path.c_str(), "r"));
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

// The position comes from the game, the file of positions or --fen.
Status ReadPosition(std::FILE* input, bool positions, const CommandLine& line,
                    GameState& state, std::FILE* console,
                    GameSummary* details) {
  if (line.hasFen) {
    return ReadPositionFromText(line.fen, state, console, details);
  }
  if (positions) {
    return ReadPositionFromFile(input, line.options.gameNumber, state, console,
                                details);
  }
  return ReadGame(input, line.options, state, console, details);
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

// Tells games from positions, leaving the input ready to be read from its
// start (a pipe then through a stream that serves its first bytes again).
Status PrepareInput(File& input, bool& positions, const std::string& path,
                    std::FILE* console) {
  std::FILE* ready = SniffInput(input.get(), positions);
  if (ready == nullptr) return InputNotRead(console, path);
  if (ready != input.get()) {
    static_cast<void>(input.release());  // the replaying stream owns it now
    input.reset(ready);
  }
  return Status::kDone;
}

// Runs the stages in order; a stage runs only while all before it gave 0.
Status RunStages(std::FILE* input, bool positions, std::FILE* output,
                 const CommandLine& line, std::FILE* console) {
  GameState state{};
  GameSummary summary;
  GameSummary* details = line.details ? &summary : nullptr;
  SetUpBoard(state);
  const Status result =
      ReadPosition(input, positions, line, state, console, details);
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

// Opens the input, refusing one that is the output, and tells games from
// positions. With --fen there is no input.
Status OpenRunInput(const CommandLine& line, File& input, bool& positions,
                    std::FILE* console) {
  if (line.hasFen) return Status::kDone;
  input = OpenInput(line.inputFile);
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
  return PrepareInput(input, positions, line.inputFile, console);
}

Status ConvertFiles(const CommandLine& line, std::FILE* console) {
  File input;
  bool positions = false;
  const Status opened = OpenRunInput(line, input, positions, console);
  if (opened != Status::kDone) return opened;
  File output(std::fopen(line.outputFile.c_str(), "w"));
  if (!output) {
    return FileFailure(console, Status::kOutputNotOpened,
                       "\nOutput file %s could not be opened for write",
                       line.outputFile);
  }
  const Status result =
      RunStages(input.get(), positions, output.get(), line, console);
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
  bool positions = false;
  const Status ready = PrepareInput(input, positions, path, console);
  if (ready != Status::kDone) return ready;
  if (args.size() > 2) std::fputc('\n', console);
  const Status listed = positions ? WritePositionList(input.get(), stdout)
                                  : WriteGameList(input.get(), stdout);
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
  if (args.size() < 2 && !line.hasFen) {
    PrintUsage(console);
    return Status::kUsagePrinted;
  }
  if (line.list && !line.hasFen) return ListFile(args, console);
  const Status result = ReadCommandLine(static_cast<int>(args.size()),
                                        args.data(), line, console);
  if (result != Status::kDone) return result;
  if (line.hasFen) {
    std::fprintf(console, "\nConverting the FEN \"%s\" to %s", line.fen.c_str(),
                 line.outputFile.c_str());
  } else {
    std::fprintf(
        console, "\nConverting %s to %s, game #%" PRId32 ", through move %s",
        line.inputFile.c_str(), line.outputFile.c_str(),
        line.options.gameNumber,
        FormatOneDecimal(ShownMove(line.options.halfMoveLimit)).c_str());
  }
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
