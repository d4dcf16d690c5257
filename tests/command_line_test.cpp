// End-to-end tests of the command line, the files and the exit statuses,
// run on the real binary in a scratch directory.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/binary_runner.h"

namespace boardshot_test {
namespace {

const char kUsage[] =
    "\nUsage:\n\tboardshot inputFile [outputFile] [-gn] [-mn]"
    "\n\t\t-gn\tconvert game #n"
    "\n\t\t-mn\tstop after parsing move #n";

// The starting position as the scene lists it: a1..a8, b1..b8, ..., h8.
std::string InitialScene() {
  const char* backRank[] = {"Rook", "Knight", "Bishop", "Queen",
                            "King", "Bishop", "Knight", "Rook"};
  std::string text;
  for (int file = 0; file < 8; ++file) {
    const std::string f(1, static_cast<char>('a' + file));
    const std::string back = backRank[file];
    text += "\n_" + back + "(\"" + f + "1\",0)";
    text += "\n_Pawn(\"" + f + "2\",0)";
    text += "\n_Pawn(\"" + f + "7\",1)";
    text += "\n_" + back + "(\"" + f + "8\",1)";
  }
  return text;
}

const char kGame[] = "[Event \"e2e\"]\n\n*\n";

std::string Converting(const std::string& in, const std::string& out,
                       const std::string& game, const std::string& move) {
  return "\nConverting " + in + " to " + out + ", game #" + game +
         ", through move " + move;
}

class CommandLine : public testing::Test {
 protected:
  void SetUp() override { dir.Write("game.pgn", kGame); }
  RunResult Run(const std::vector<std::string>& args) {
    return RunBoardshot(args, dir.path());
  }
  ScratchDir dir;
};

TEST_F(CommandLine, NoArgumentsPrintsUsageAndExits16) {
  RunResult r = Run({});
  EXPECT_EQ(r.stdoutText, kUsage);
  EXPECT_EQ(r.exitStatus, 16);
}

TEST_F(CommandLine, HelpAndVersionAsTheOnlyArgumentExitZero) {
  RunResult help = Run({"--help"});
  EXPECT_EQ(help.stdoutText, kUsage);
  EXPECT_EQ(help.exitStatus, 0);
  RunResult version = Run({"--version"});
  EXPECT_EQ(version.stdoutText, "\nboardshot 1.0.0");
  EXPECT_EQ(version.exitStatus, 0);
}

TEST_F(CommandLine, DefaultOutputAppendsIncToTheWholeName) {
  RunResult r = Run({"game.pgn"});
  EXPECT_EQ(r.stdoutText, Converting("game.pgn", "game.pgn.inc", "1", "999.0"));
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(dir.Read("game.pgn.inc"), InitialScene());
}

TEST_F(CommandLine, ExplicitOutputNameIsUsed) {
  RunResult r = Run({"game.pgn", "board.inc"});
  EXPECT_EQ(r.stdoutText, Converting("game.pgn", "board.inc", "1", "999.0"));
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(dir.Read("board.inc"), InitialScene());
  EXPECT_FALSE(dir.Exists("game.pgn.inc"));
}

TEST_F(CommandLine, SecondArgumentWithDashIsAnOption) {
  dir.Write("three.pgn", std::string(kGame) + "\n" + kGame + "\n" + kGame);
  RunResult r = Run({"three.pgn", "-g3"});
  EXPECT_EQ(r.stdoutText,
            Converting("three.pgn", "three.pgn.inc", "3", "999.0"));
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(dir.Read("three.pgn.inc"), InitialScene());
}

struct MessageCase {
  const char* name;
  std::vector<std::string> args;
  std::string stdoutText;
  int exitStatus;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.name; }

class Messages : public CommandLine,
                 public testing::WithParamInterface<MessageCase> {};

TEST_P(Messages, PrintExactlyAndExitWithTheirStatus) {
  const MessageCase& c = GetParam();
  RunResult r = Run(c.args);
  EXPECT_EQ(r.stdoutText, c.stdoutText);
  EXPECT_EQ(r.exitStatus, c.exitStatus);
}

const std::string kConvertingGame =
    Converting("game.pgn", "game.pgn.inc", "1", "999.0");

INSTANTIATE_TEST_SUITE_P(
    Options, Messages,
    testing::Values(
        MessageCase{"ExtraArgumentIsAnInvalidFlag",
                    {"game.pgn", "out.inc", "extra"},
                    "\nInvalid flag extra\nAborting...",
                    17},
        MessageCase{"EmptyOptionIsAnInvalidFlag",
                    {"game.pgn", "out.inc", ""},
                    "\nInvalid flag \nAborting...",
                    17},
        MessageCase{"GameWithoutDigitsIsZero",
                    {"game.pgn", "-g"},
                    "\nInvalid game number 0",
                    18},
        MessageCase{
            "GameZero", {"game.pgn", "-g0"}, "\nInvalid game number 0", 18},
        MessageCase{"GameNegative",
                    {"game.pgn", "-G-2"},
                    "\nInvalid game number -2",
                    18},
        MessageCase{"GameBelow32BitsSaturates",
                    {"game.pgn", "-g-99999999999"},
                    "\nInvalid game number -2147483648",
                    18},
        MessageCase{"InvalidGameStopsBeforeLaterFlags",
                    {"game.pgn", "-g0", "-x"},
                    "\nInvalid game number 0",
                    18},
        MessageCase{"EarlierFlagsAreReportedFirst",
                    {"game.pgn", "-x", "-g0"},
                    "\nIgnoring unknown flag -x\nInvalid game number 0",
                    18},
        MessageCase{"LoneDashIsIgnored",
                    {"game.pgn", "-"},
                    "\nIgnoring unknown flag -" + kConvertingGame,
                    0},
        MessageCase{"LaterGameReplacesEarlier",
                    {"game.pgn", "-g5", "-g1"},
                    kConvertingGame,
                    0}),
    [](const testing::TestParamInfo<MessageCase>& p) {
      return std::string(p.param.name);
    });

struct MoveCase {
  const char* name;
  std::string flag;
  std::string shown;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }

class ConvertingMove : public CommandLine,
                       public testing::WithParamInterface<MoveCase> {};

TEST_P(ConvertingMove, ShowsHalfTheLimitRoundedAwayFromZero) {
  RunResult r = Run({"game.pgn", GetParam().flag});
  EXPECT_EQ(r.stdoutText,
            Converting("game.pgn", "game.pgn.inc", "1", GetParam().shown));
  EXPECT_EQ(r.exitStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, ConvertingMove,
    testing::Values(MoveCase{"Ten", "-m10", "5.0"},
                    MoveCase{"MinusFour", "-m-4", "-2.0"},
                    MoveCase{"HalfRoundsUp", "-m0.5", "0.3"},
                    MoveCase{"MinusHalfRoundsDown", "-m-0.5", "-0.3"},
                    MoveCase{"Bare", "-m", "0.0"},
                    MoveCase{"CapitalLetter", "-M3", "1.5"},
                    MoveCase{"Exponent", "-m1e1", "5.0"},
                    MoveCase{"NotQuiteAHalf", "-m0.3", "0.1"}),
    [](const testing::TestParamInfo<MoveCase>& p) {
      return std::string(p.param.name);
    });

TEST_F(CommandLine, HugeGameNumberSaturates) {
  RunResult r = Run({"game.pgn", "-g99999999999"});
  EXPECT_EQ(
      r.stdoutText.rfind(
          Converting("game.pgn", "game.pgn.inc", "2147483647", "999.0"), 0),
      0u);
}

TEST_F(CommandLine, MissingInputExits254) {
  RunResult r = Run({"missing.pgn"});
  EXPECT_EQ(r.stdoutText,
            Converting("missing.pgn", "missing.pgn.inc", "1", "999.0") +
                "\nInput file missing.pgn could not be opened for read");
  EXPECT_EQ(r.exitStatus, 254);
  EXPECT_FALSE(dir.Exists("missing.pgn.inc"));
}

TEST_F(CommandLine, DirectoryAsInputCannotBeOpenedForRead) {
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  RunResult r = Run({"folder", "out.inc"});
  EXPECT_EQ(r.stdoutText,
            Converting("folder", "out.inc", "1", "999.0") +
                "\nInput file folder could not be opened for read");
  EXPECT_EQ(r.exitStatus, 254);
  EXPECT_FALSE(dir.Exists("out.inc"));
}

TEST_F(CommandLine, OutputInMissingDirectoryExits253) {
  RunResult r = Run({"game.pgn", "nowhere/out.inc"});
  EXPECT_EQ(r.stdoutText,
            Converting("game.pgn", "nowhere/out.inc", "1", "999.0") +
                "\nOutput file nowhere/out.inc could not be opened for write");
  EXPECT_EQ(r.exitStatus, 253);
}

TEST_F(CommandLine, DirectoryAsOutputExits253) {
  ASSERT_EQ(mkdir(dir.File("folder").c_str(), 0755), 0);
  RunResult r = Run({"game.pgn", "folder"});
  EXPECT_EQ(r.exitStatus, 253);
}

TEST_F(CommandLine, FullDiskExits252) {
  RunResult r = Run({"game.pgn", "/dev/full"});
  EXPECT_EQ(r.stdoutText, Converting("game.pgn", "/dev/full", "1", "999.0") +
                              "\nOutput file /dev/full could not be written");
  EXPECT_EQ(r.exitStatus, 252);
}

// Opening the output for writing used to empty the input when both named the
// same file; the input must come out byte for byte unchanged.
TEST_F(CommandLine, OutputThatIsTheInputIsRefused) {
  ASSERT_EQ(link(dir.File("game.pgn").c_str(), dir.File("hard.pgn").c_str()),
            0);
  ASSERT_EQ(symlink("game.pgn", dir.File("soft.pgn").c_str()), 0);
  for (const std::string output :
       {"game.pgn", "./game.pgn", "hard.pgn", "soft.pgn"}) {
    RunResult r = Run({"game.pgn", output});
    EXPECT_EQ(r.stdoutText, Converting("game.pgn", output, "1", "999.0") +
                                "\nOutput file " + output +
                                " would overwrite the input file");
    EXPECT_EQ(r.exitStatus, 253) << output;
    EXPECT_EQ(dir.Read("game.pgn"), kGame) << output;
  }
}

TEST_F(CommandLine, PathsLongerThan255CharactersAreHeldWhole) {
  const std::string folder(200, 'd');
  ASSERT_EQ(mkdir(dir.File(folder).c_str(), 0755), 0);
  const std::string input = folder + "/" + std::string(200, 'g') + ".pgn";
  dir.Write(input, kGame);
  RunResult r = Run({input});
  EXPECT_EQ(r.stdoutText, Converting(input, input + ".inc", "1", "999.0"));
  EXPECT_EQ(r.exitStatus, 0);
  EXPECT_EQ(dir.Read(input + ".inc"), InitialScene());
}

}  // namespace
}  // namespace boardshot_test
