// End-to-end runs of the real binary in a hostile environment: degenerate
// and huge game files, deep nesting, invalid UTF-8, odd paths and extreme
// arguments. Every run must end with its messages and documented exit
// status, within the runner's time limit, and leave every file other than
// the named output exactly as it was. The big inputs are made at test time
// in the scratch directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/binary_runner.h"

namespace boardshot_test {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kFiftyMegabytes = 50u * 1000 * 1000;
constexpr std::size_t kNestingDepth = 100000;
// Files up to this size are compared byte for byte; bigger ones by size,
// inode and modification time.
constexpr off_t kComparedBytesLimit = 1 << 20;

const char kGame[] = "[Event \"hostile\"]\n\n1. e4 e5 2. Nf3 *\n";
const char kOpening[] = "1. e4 e5 2. Nf3 *";

// What one directory entry looked like, enough to tell that it was written,
// replaced or removed.
struct EntryFacts {
  mode_t mode = 0;
  off_t size = 0;
  ino_t inode = 0;
  timespec modified{};
  std::string bytes;
};

bool operator==(const EntryFacts& a, const EntryFacts& b) {
  return a.mode == b.mode && a.size == b.size && a.inode == b.inode &&
         a.modified.tv_sec == b.modified.tv_sec &&
         a.modified.tv_nsec == b.modified.tv_nsec && a.bytes == b.bytes;
}

// Every entry under `root`, by its path relative to it. Symbolic links are
// recorded as links, not followed.
std::map<std::string, EntryFacts> Snapshot(const std::string& root) {
  std::map<std::string, EntryFacts> entries;
  for (const fs::directory_entry& entry :
       fs::recursive_directory_iterator(root)) {
    struct stat info {};
    if (lstat(entry.path().c_str(), &info) != 0) continue;
    EntryFacts facts;
    facts.mode = info.st_mode;
    facts.size = info.st_size;
    facts.inode = info.st_ino;
    facts.modified = info.st_mtim;
    if (S_ISREG(info.st_mode) && info.st_size <= kComparedBytesLimit) {
      facts.bytes = ReadFileBytes(entry.path().string());
    }
    entries[fs::relative(entry.path(), root).string()] = facts;
  }
  return entries;
}

void ExpectOnlyOutputChanged(const std::map<std::string, EntryFacts>& before,
                             const std::map<std::string, EntryFacts>& after,
                             const std::string& output) {
  for (const auto& [path, facts] : before) {
    if (path == output) continue;
    auto found = after.find(path);
    if (found == after.end()) {
      ADD_FAILURE() << path << " was removed";
    } else {
      EXPECT_TRUE(found->second == facts) << path << " was changed";
    }
  }
  for (const auto& [path, facts] : after) {
    if (path != output && before.count(path) == 0) {
      ADD_FAILURE() << path << " was created";
    }
  }
}

// The scene of `movetext` as the tool writes it for a plain, well-formed
// game: the expected result of the hostile variants of the same game.
std::string SceneOf(const std::string& movetext) {
  ScratchDir clean;
  clean.Write("clean.pgn", "[Event \"clean\"]\n\n" + movetext + "\n");
  RunResult r = RunBoardshot({"clean.pgn", "clean.inc"}, clean.path());
  EXPECT_EQ(r.exitStatus, 0) << movetext;
  return clean.Read("clean.inc");
}

// Also false for a path too long to name a file.
bool PathExists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

std::string Converting(const std::string& in, const std::string& out,
                       const std::string& game, const std::string& move) {
  return "\nConverting " + in + " to " + out + ", game #" + game +
         ", through move " + move;
}

std::string Repeated(const std::string& piece, std::size_t times) {
  std::string text;
  text.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) text += piece;
  return text;
}

// What must be left at the named output.
enum class Output {
  kAbsent,  // never created
  kEmpty,   // created, then the game could not be read
  kScene,   // the scene of `expectedGame`
};

struct HostileCase {
  const char* name;
  std::function<std::string()> input;  // written to in.pgn before the run
  std::vector<std::string> args;
  std::string stdoutText;
  int exitStatus;
  std::string output;  // the named output, relative to the scratch directory
  Output left;
  std::string expectedGame;  // movetext whose scene the output must hold
};

void PrintTo(const HostileCase& c, std::ostream* out) { *out << c.name; }

class Hostile : public testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, EndsWithItsMessageAndTouchesOnlyTheOutput) {
  const HostileCase& c = GetParam();
  ScratchDir dir;
  dir.Write("in.pgn", c.input());
  const auto before = Snapshot(dir.path());
  RunResult r = RunBoardshot(c.args, dir.path());
  EXPECT_EQ(r.stdoutText, c.stdoutText);
  EXPECT_EQ(r.exitStatus, c.exitStatus);
  ExpectOnlyOutputChanged(before, Snapshot(dir.path()), c.output);
  switch (c.left) {
    case Output::kAbsent:
      // An empty name names no file: the snapshot shows nothing was made.
      if (!c.output.empty()) {
        EXPECT_FALSE(PathExists(dir.File(c.output)));
      }
      break;
    case Output::kEmpty:
      EXPECT_TRUE(dir.Exists(c.output));
      EXPECT_EQ(dir.Read(c.output), "");
      break;
    case Output::kScene:
      EXPECT_EQ(dir.Read(c.output), SceneOf(c.expectedGame));
      break;
  }
}

std::string CaseName(const testing::TestParamInfo<HostileCase>& p) {
  return p.param.name;
}

std::function<std::string()> Text(std::string text) {
  return [text] { return text; };
}

const std::string kConvertingIn = Converting("in.pgn", "out.inc", "1", "999.0");
const char kUnexpectedEnd[] = "\nUnexpected end-of-file found";

INSTANTIATE_TEST_SUITE_P(
    InputFiles, Hostile,
    testing::Values(
        HostileCase{"EmptyFile",
                    Text(""),
                    {"in.pgn", "out.inc"},
                    kConvertingIn + kUnexpectedEnd,
                    2,
                    "out.inc",
                    Output::kEmpty,
                    ""},
        HostileCase{
            "DevNull",
            Text(kGame),
            {"/dev/null", "out.inc"},
            Converting("/dev/null", "out.inc", "1", "999.0") + kUnexpectedEnd,
            2,
            "out.inc",
            Output::kEmpty,
            ""},
        // NUL bytes were read as part of a token, which the messages and the
        // move interpreter then saw cut at its first NUL: a file of NULs
        // printed "Move  found, expecting 1", and "e4\0\0e5" was lost.
        HostileCase{"NulBytes",
                    Text(std::string(100000, '\0')),
                    {"in.pgn", "out.inc"},
                    kConvertingIn + kUnexpectedEnd,
                    2,
                    "out.inc",
                    Output::kEmpty,
                    ""},
        HostileCase{"NulBytesBetweenMoves",
                    [] {
                      const char text[] =
                          "[Event \"x\"]\n\n1.\0e4\0\0e5 2. Nf3\0*";
                      return std::string(text, sizeof text - 1);
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"InvalidUtf8InTagsAndComments",
                    Text("[White \"\xc0\xaf\xed\xa0\x80\xff\xfe\"]\n"
                         "%\x80\xbf\n\n1. e4 {\xf8\x88\x80\x80\x80} e5 ; \xfe\n"
                         "2. Nf3 *\n"),
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"FiftyMegabyteLine",
                    [] {
                      return "[Event \"x\"]\n\n1. e4" +
                             std::string(kFiftyMegabytes, ' ') +
                             "e5 2. Nf3 *\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"FiftyMegabyteTagLine",
                    [] {
                      return "[Event \"" + std::string(kFiftyMegabytes, 'e') +
                             "\"]\n\n1. e4 e5 2. Nf3 *\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"FiftyMegabyteTokenAsAHalfMove",
                    [] {
                      return "[Event \"x\"]\n\n1. e4 " +
                             std::string(kFiftyMegabytes, 'x') + " *\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    "1. e4 *"},
        HostileCase{"FiftyMegabyteTokenInAnEarlierGame",
                    [] {
                      return "[Event \"a\"]\n\n1. e4 " +
                             std::string(kFiftyMegabytes, 'x') +
                             " *\n\n[Event \"b\"]\n\n1. d4 d5 *\n";
                    },
                    {"in.pgn", "out.inc", "-g2"},
                    Converting("in.pgn", "out.inc", "2", "999.0"),
                    0,
                    "out.inc",
                    Output::kScene,
                    "1. d4 d5 *"},
        HostileCase{"DeepNestingClosed",
                    [] {
                      return "[Event \"x\"]\n\n1. e4 " +
                             std::string(kNestingDepth, '(') +
                             std::string(kNestingDepth, '{') + "}" +
                             std::string(kNestingDepth, ')') + " e5 2. Nf3 *\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"DeepBraces",
                    [] {
                      return "[Event \"x\"]\n\n1. e4 " +
                             std::string(kNestingDepth, '{') +
                             "} e5 2. Nf3 *\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        // The input ends in Black's position: the status says so, without
        // a message.
        HostileCase{"DeepNestingNeverClosed",
                    [] {
                      return "[Event \"x\"]\n\n1. e4 " +
                             Repeated("({", kNestingDepth) + "\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn,
                    2,
                    "out.inc",
                    Output::kEmpty,
                    ""},
        HostileCase{"DeepNestingNeverClosedAfterAFullMove",
                    [] {
                      return "[Event \"x\"]\n\n1. e4 e5 " +
                             std::string(kNestingDepth, '(') + "\n";
                    },
                    {"in.pgn", "out.inc"},
                    kConvertingIn + kUnexpectedEnd,
                    2,
                    "out.inc",
                    Output::kEmpty,
                    ""}),
    CaseName);

const std::string kNines(5000, '9');
const std::string kLongName(255, 'n');  // the longest name a file may have

INSTANTIATE_TEST_SUITE_P(
    Arguments, Hostile,
    testing::Values(
        HostileCase{"HugeMoveLimit",
                    Text(kGame),
                    {"in.pgn", "out.inc", "-m1e400"},
                    Converting("in.pgn", "out.inc", "1", "inf"),
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"HugeNegativeMoveLimit",
                    Text(kGame),
                    {"in.pgn", "out.inc", "-m-1e400"},
                    Converting("in.pgn", "out.inc", "1", "-inf"),
                    0,
                    "out.inc",
                    Output::kScene,
                    "*"},
        HostileCase{"FiveThousandDigitMoveLimit",
                    Text(kGame),
                    {"in.pgn", "out.inc", "-m" + kNines},
                    Converting("in.pgn", "out.inc", "1", "inf"),
                    0,
                    "out.inc",
                    Output::kScene,
                    kOpening},
        HostileCase{"FiveThousandDigitGameNumber",
                    Text(kGame),
                    {"in.pgn", "out.inc", "-g" + kNines},
                    Converting("in.pgn", "out.inc", "2147483647", "999.0") +
                        "\nGame #2147483647 does not exist in this file",
                    1,
                    "out.inc",
                    Output::kEmpty,
                    ""},
        HostileCase{"EmptyInputPath",
                    Text(kGame),
                    {""},
                    Converting("", ".inc", "1", "999.0") +
                        "\nInput file  could not be opened for read",
                    254,
                    ".inc",
                    Output::kAbsent,
                    ""},
        HostileCase{"EmptyOutputPath",
                    Text(kGame),
                    {"in.pgn", ""},
                    Converting("in.pgn", "", "1", "999.0") +
                        "\nOutput file  could not be opened for write",
                    253,
                    "",
                    Output::kAbsent,
                    ""},
        HostileCase{
            "InputNameLongerThanAnyFileName",
            Text(kGame),
            {kLongName + "n"},
            Converting(kLongName + "n", kLongName + "n.inc", "1", "999.0") +
                "\nInput file " + kLongName + "n could not be opened for read",
            254,
            kLongName + "n.inc",
            Output::kAbsent,
            ""},
        HostileCase{"InputPathLongerThanAnyPath",
                    Text(kGame),
                    {Repeated("./", 3000) + "in.pgn", "out.inc"},
                    Converting(Repeated("./", 3000) + "in.pgn", "out.inc", "1",
                               "999.0") +
                        "\nInput file " + Repeated("./", 3000) +
                        "in.pgn could not be opened for read",
                    254,
                    "out.inc",
                    Output::kAbsent,
                    ""},
        HostileCase{"OutputNameLongerThanAnyFileName",
                    Text(kGame),
                    {"in.pgn", kLongName + "o"},
                    Converting("in.pgn", kLongName + "o", "1", "999.0") +
                        "\nOutput file " + kLongName +
                        "o could not be opened for write",
                    253,
                    kLongName + "o",
                    Output::kAbsent,
                    ""},
        HostileCase{"InvalidUtf8InFileNames",
                    Text(kGame),
                    {"in.pgn", "\xff\xfe.inc"},
                    Converting("in.pgn", "\xff\xfe.inc", "1", "999.0"),
                    0,
                    "\xff\xfe.inc",
                    Output::kScene,
                    kOpening}),
    CaseName);

// The default output name of an input whose name is as long as a name may
// be is too long; the input itself must survive.
TEST(HostilePaths, DefaultOutputNameTooLongLeavesTheInputAlone) {
  ScratchDir dir;
  dir.Write(kLongName, kGame);
  const auto before = Snapshot(dir.path());
  RunResult r = RunBoardshot({kLongName}, dir.path());
  EXPECT_EQ(r.stdoutText,
            Converting(kLongName, kLongName + ".inc", "1", "999.0") +
                "\nOutput file " + kLongName +
                ".inc could not be opened for write");
  EXPECT_EQ(r.exitStatus, 253);
  ExpectOnlyOutputChanged(before, Snapshot(dir.path()), "");
}

}  // namespace
}  // namespace boardshot_test
