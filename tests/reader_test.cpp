// End-to-end tests of game reading on the real binary: which game is found,
// which half-moves reach the board, what is printed and the exit status.
// Most checks compare the scene of a game as real files write it with the
// scene of the same game written plainly.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/binary_runner.h"

namespace boardshot_test {
namespace {

struct Conversion {
  std::string stdoutText;  // without the "Converting" line
  int exitStatus;
  std::string scene;
};

// Converts `text` as game.pgn with `options` and returns what the user sees.
Conversion Convert(const std::string& text,
                   const std::vector<std::string>& options = {}) {
  ScratchDir dir;
  dir.Write("game.pgn", text);
  std::vector<std::string> args = {"game.pgn", "out.inc"};
  args.insert(args.end(), options.begin(), options.end());
  const RunResult run = RunBoardshot(args, dir.path());
  std::string printed = run.stdoutText;
  const std::size_t afterConverting = printed.find('\n', 1);
  printed.erase(0, afterConverting == std::string::npos ? printed.size()
                                                        : afterConverting);
  return Conversion{printed, run.exitStatus, dir.Read("out.inc")};
}

const char kEof[] = "\nUnexpected end-of-file found";
const char kRuyLopez[] = "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *";

// The scene of the plainly written `movetext`, checked to be a real game.
std::string SceneOf(const std::string& movetext) {
  const Conversion plain = Convert(movetext);
  EXPECT_EQ(plain.exitStatus, 0) << movetext;
  EXPECT_EQ(plain.stdoutText, "") << movetext;
  return plain.scene;
}

TEST(ReaderEndToEnd, PlainGameIsReplayed) {
  const Conversion c = Convert(kRuyLopez);
  EXPECT_EQ(c.exitStatus, 0);
  EXPECT_NE(c.scene, Convert("*").scene);
  EXPECT_NE(c.scene.find("\n_Bishop(\"b5\",0)"), std::string::npos);
  EXPECT_NE(c.scene.find("\n_Pawn(\"a6\",1)"), std::string::npos);
}

struct SameGame {
  const char* what;
  std::string text;
  const char* plain;  // the same position written plainly
};

void PrintTo(const SameGame& c, std::ostream* os) { *os << c.what; }

class SameScene : public testing::TestWithParam<SameGame> {};

TEST_P(SameScene, AsThePlainGame) {
  const SameGame& c = GetParam();
  const Conversion real = Convert(c.text);
  EXPECT_EQ(real.exitStatus, 0) << c.what;
  EXPECT_EQ(real.stdoutText, "") << c.what;
  EXPECT_EQ(real.scene, SceneOf(c.plain)) << c.what;
}

const std::string kLongLine = [] {
  std::string text =
      "[Event \"x\"]\n\n1. d4 {" + std::string(3000, 'x') + "} d5";
  for (int move = 2; move <= 300; ++move) {
    text += " " + std::to_string(move) + (move % 2 ? ". Nc3 Nc6" : ". Nb1 Nb8");
  }
  return text + " *";
}();

INSTANTIATE_TEST_SUITE_P(
    Mends, SameScene,
    testing::Values(
        SameGame{"dot joins number and move", "1.e4 e5 2.Nf3 Nc6 3.Bb5 a6 *",
                 kRuyLopez},
        SameGame{"number and move on two lines",
                 "1.\ne4 e5 2. Nf3\nNc6\n3.\nBb5\na6\n*", kRuyLopez},
        SameGame{"one line longer than any buffer", kLongLine, "1. d4 d5 *"},
        SameGame{"byte order mark",
                 "\xEF\xBB\xBF[Event \"x\"]\n\n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *",
                 kRuyLopez},
        SameGame{"Ctrl-Z ends the input",
                 "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *\x1a"
                 "garbage 9. Qxf7",
                 kRuyLopez},
        SameGame{"comments across lines and semicolons",
                 "1. e4 {a comment\n2. d4 over\n3. c4 three lines} e5 ; 2. d4\n"
                 "% 2. c4 escaped\n2. Nf3 {good} Nc6 3. Bb5 a6 *",
                 kRuyLopez},
        SameGame{"nested variations",
                 "1. e4 (1. d4 d5 (1... Nf6 2. c4 {)})\n"
                 "2. Nf3) e5 2. Nf3(2. Bc4)Nc6 3. Bb5 a6 *",
                 kRuyLopez},
        SameGame{"brackets end tokens and all white space delimits",
                 "1.\te4{!}e5\v2.\fNf3(2. d4)Nc6\r3. Bb5 a6 *", kRuyLopez},
        SameGame{"move numbers after comments",
                 "1. e4 {[%clk 0:03:00]} 1... e5 {[%clk 0:03:00]} 2. Nf3 {x} "
                 "2... Nc6 3. Bb5 3... a6 *",
                 kRuyLopez},
        SameGame{"annotations",
                 "1. e4! $1 e5 += 2. Nf3 !? Nc6 $14 3. Bb5 +/- a6 "
                 "= *",
                 kRuyLopez},
        SameGame{"result in White's position",
                 "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. 1-0", kRuyLopez},
        SameGame{"old draw mark in Black's position",
                 "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 4. Ba4 1/2",
                 "1. e4 e5 2. Nf3 "
                 "Nc6 3. Bb5 a6 4. "
                 "Ba4 *"},
        SameGame{"old draw mark in number position",
                 "1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 1/2", kRuyLopez},
        SameGame{"wrapped clock comment is no tag line",
                 "[Event \"x\"]\n\n1. e4 {\n[%clk 0:00:59] } e5 2. Nf3 Nc6 3. "
                 "Bb5 a6 *",
                 kRuyLopez},
        SameGame{"movetext without move numbers", "e4 e5 Nf3 Nc6 Bb5 a6 *",
                 kRuyLopez},
        SameGame{"castling without a number is no result",
                 "e4 e5 Nf3 Nc6 Bc4 Bc5 O-O Nf6 *",
                 "1. e4 e5 2. Nf3 Nc6 3. Bc4 Bc5 4. O-O Nf6 *"},
        SameGame{"line of spaces is the first movetext line",
                 "[Event \"x\"]\n   \n1. e4 e5 2. Nf3 Nc6 3. Bb5 a6 *",
                 kRuyLopez}));

TEST(ReaderEndToEnd, NullMoveIsAHalfMove) {
  // The null move passes the turn, so e5 after it is still Black's move.
  const Conversion c = Convert("1. e4 -- 2. d4 e5 *");
  EXPECT_EQ(c.exitStatus, 0);
  EXPECT_EQ(c.stdoutText, "");
  EXPECT_EQ(c.scene, SceneOf("1. e4 e5 2. d4 *"));
}

struct Outcome {
  const char* what;
  std::string text;
  std::vector<std::string> options;
  std::string printed;
  int exitStatus;
};

void PrintTo(const Outcome& c, std::ostream* os) { *os << c.what; }

class PrintsAndExits : public testing::TestWithParam<Outcome> {};

TEST_P(PrintsAndExits, AsExpected) {
  const Outcome& c = GetParam();
  const Conversion conversion = Convert(c.text, c.options);
  EXPECT_EQ(conversion.stdoutText, c.printed) << c.what;
  EXPECT_EQ(conversion.exitStatus, c.exitStatus) << c.what;
  // A game that cannot be read leaves the scene file empty.
  if (c.exitStatus != 0) {
    EXPECT_EQ(conversion.scene, "") << c.what;
  }
}

const std::string kTwoGames =
    "[Event \"one\"]\n[Round \"1\"]\n\n1. e4 e5 1-0\n\n"
    "[Event \"two\"]\n\n1. d4 d5 0-1\n";

INSTANTIATE_TEST_SUITE_P(
    Messages, PrintsAndExits,
    testing::Values(
        Outcome{"game 3 of 2",
                kTwoGames,
                {"-g3"},
                "\nGame #3 does not exist in this file",
                1},
        Outcome{"game 2 of an empty file",
                "",
                {"-g2"},
                "\nGame #2 does not exist in this file",
                1},
        Outcome{"empty file", "", {}, kEof, 2},
        Outcome{"tags without movetext", "[Event \"x\"]\n\n", {}, kEof, 2},
        Outcome{"mismatch warned and read on",
                "1. e4 e5 3. Nf3 *",
                {},
                "\nMove 3 found, expecting 2",
                0},
        Outcome{"number after comment warned",
                "1. e4 {x} 2... e5 *",
                {},
                "\nMove 2 found, expecting 1",
                0},
        Outcome{"end of input after a full move", "1. e4 e5", {}, kEof, 2},
        Outcome{"end of input in a half-move position",
                "1. e4 e5 2. Nf3",
                {},
                "",
                2},
        Outcome{"end of input in a comment, number position",
                "1. e4 e5 {",
                {},
                kEof,
                2},
        Outcome{"end of input in a comment, half-move position",
                "1. e4 {",
                {},
                "",
                2},
        Outcome{"end of input in a variation", "1. e4 e5 (2. d4", {}, kEof, 2},
        Outcome{"next game's tags in number position",
                "1. e4 e5\n[Event \"two\"]\n\n1. d4 d5 *",
                {},
                kEof,
                2},
        Outcome{"next game's tags in half-move position",
                "1. e4\n[ Event \"two\"]\n\n1. d4 d5 *",
                {},
                "",
                2},
        Outcome{"limit reached before the missing tail",
                "1. e4 e5 2. Nf3",
                {"-m2"},
                "",
                0},
        Outcome{"limit held half-move must be present",
                "1. e4 e5",
                {"-m2"},
                kEof,
                2}));

TEST(ReaderEndToEnd, SelectsGamesByTagBlocks) {
  const std::string second = SceneOf("1. d4 d5 *");
  EXPECT_EQ(Convert(kTwoGames, {"-g2"}).scene, second);
  EXPECT_EQ(Convert(kTwoGames, {"-g1"}).scene, SceneOf("1. e4 e5 *"));
  // Without tags the first game starts at the first line; blank lines and
  // '%' lines do not split a tag block.
  EXPECT_EQ(Convert("1. e4 e5 *\n\n\n[Event \"two\"]\n%x\n\n[Round \"2\"]\n"
                    "1. d4 d5 *",
                    {"-g2"})
                .scene,
            second);
  // A line beginning with '[' and no letter is no tag line: no new game.
  const Conversion wrapped =
      Convert("[Event \"one\"]\n\n1. e4 {\n[%clk 0:00:59] } e5 *\n", {"-g2"});
  EXPECT_EQ(wrapped.exitStatus, 1);
}

TEST(ReaderEndToEnd, MoveLimitCountsHalfMoves) {
  EXPECT_EQ(Convert(kRuyLopez, {"-m0"}).scene, Convert("*").scene);
  EXPECT_EQ(Convert(kRuyLopez, {"-m1"}).scene, SceneOf("1. e4 *"));
  EXPECT_EQ(Convert(kRuyLopez, {"-m3"}).scene, SceneOf("1. e4 e5 2. Nf3 *"));
}

// A game that starts from the position of its FEN tag.
std::string SetUpGame(const std::string& fen, const std::string& movetext,
                      const std::string& tagName = "FEN") {
  return "[Event \"study\"]\n[SetUp \"1\"]\n[" + tagName + " \"" + fen +
         "\"]\n\n" + movetext + "\n";
}

const char kKingAndPawn[] = "4k3/8/8/8/8/8/4P3/4K3";

struct SetUpCase {
  const char* what;
  std::string text;
  std::vector<std::string> options;
  std::string printed;
  std::string scene;
};

void PrintTo(const SetUpCase& c, std::ostream* os) { *os << c.what; }

class SetUpPositions : public testing::TestWithParam<SetUpCase> {};

TEST_P(SetUpPositions, StartFromTheFen) {
  const SetUpCase& c = GetParam();
  const Conversion conversion = Convert(c.text, c.options);
  EXPECT_EQ(conversion.exitStatus, 0) << c.what;
  EXPECT_EQ(conversion.stdoutText, c.printed) << c.what;
  EXPECT_EQ(conversion.scene, c.scene) << c.what;
}

const std::string kWhiteToMove =
    SetUpGame(std::string(kKingAndPawn) + " w - - 0 1", "1. e4 Kd7 2. Kf2 *");
const std::string kBlackToMove = SetUpGame(
    std::string(kKingAndPawn) + " b - - 3 23", "23... Kd7 24. e4 Ke6 *");
const char kPlacement[] = "\n_King(\"e1\",0)\n_Pawn(\"e2\",0)\n_King(\"e8\",1)";

INSTANTIATE_TEST_SUITE_P(
    Fen, SetUpPositions,
    testing::Values(
        SetUpCase{"White to move",
                  kWhiteToMove,
                  {},
                  "",
                  "\n_King(\"d7\",1)\n_Pawn(\"e4\",0)\n_King(\"f2\",0)"},
        SetUpCase{"White to move, -m0", kWhiteToMove, {"-m0"}, "", kPlacement},
        SetUpCase{"White to move, -m1",
                  kWhiteToMove,
                  {"-m1"},
                  "",
                  "\n_King(\"e1\",0)\n_Pawn(\"e4\",0)\n_King(\"e8\",1)"},
        SetUpCase{"Black to move from move 23",
                  kBlackToMove,
                  {},
                  "",
                  "\n_King(\"e1\",0)\n_Pawn(\"e4\",0)\n_King(\"e6\",1)"},
        SetUpCase{"Black to move, -m0", kBlackToMove, {"-m0"}, "", kPlacement},
        SetUpCase{"Black to move, -m1",
                  kBlackToMove,
                  {"-m1"},
                  "",
                  "\n_King(\"d7\",1)\n_King(\"e1\",0)\n_Pawn(\"e2\",0)"},
        SetUpCase{"Black to move, -m2",
                  kBlackToMove,
                  {"-m2"},
                  "",
                  "\n_King(\"d7\",1)\n_King(\"e1\",0)\n_Pawn(\"e4\",0)"},
        SetUpCase{"Black to move without the move number",
                  SetUpGame(std::string(kKingAndPawn) + " b - - 0 23",
                            "Kd7 24. e4 *"),
                  {},
                  "",
                  "\n_King(\"d7\",1)\n_King(\"e1\",0)\n_Pawn(\"e4\",0)"},
        SetUpCase{
            "move number checked against the FEN's",
            SetUpGame(std::string(kKingAndPawn) + " b - - 0 23", "1... Kd7 *"),
            {},
            "\nMove 1 found, expecting 23",
            "\n_King(\"d7\",1)\n_King(\"e1\",0)\n_Pawn(\"e2\",0)"},
        SetUpCase{
            "tag name in lower case, capture lists start empty",
            SetUpGame("4k3/8/8/8/8/8/3p4/4K3 w - - 0 1", "1. Kxd2 *", "fen"),
            {},
            "",
            "\n_King(\"d2\",0)\n_King(\"e8\",1)\n_Pawn(\"`8\",1)"},
        SetUpCase{"without move number fields",
                  SetUpGame(std::string(kKingAndPawn) + " w", "1. e4 *"),
                  {},
                  "",
                  "\n_King(\"e1\",0)\n_Pawn(\"e4\",0)\n_King(\"e8\",1)"}));

TEST(ReaderEndToEnd, InvalidFenIsRefused) {
  const char* invalid[] = {
      "4k3/8/8/8/8/8/4K3 w - - 0 1",        // seven ranks
      "4k3/8/8/8/8/8/8/4P3/4K3 w - - 0 1",  // nine ranks
      "4k3/8/8/8/8/8/4X3/4K3 w - - 0 1",    // no piece letter
      "4k3/8/8/8/8/8/4P4/4K3 w - - 0 1",    // a rank of nine squares
      "4k2/8/8/8/8/8/4P3/4K3 w - - 0 1",    // a rank of seven squares
      "4k3/8/8/8/8/8/4P3/4K3",              // no side to move
      "4k3/8/8/8/8/8/4P3/4K3 x - - 0 1",    // no side to move
      "",                                   // nothing
  };
  for (const char* fen : invalid) {
    const Conversion c = Convert(SetUpGame(fen, "1. e4 *"));
    EXPECT_EQ(c.stdoutText, "\nInvalid FEN in game #1") << fen;
    EXPECT_EQ(c.exitStatus, 3) << fen;
    EXPECT_EQ(c.scene, "") << fen;
  }
}

TEST(ReaderEndToEnd, FenBelongsToItsOwnGame) {
  const std::string file =
      SetUpGame(std::string(kKingAndPawn) + " w - - 0 1", "1. e4 *") + "\n" +
      SetUpGame("8/8/8/8/8/8/8/8/8 w - - 0 1", "1. e4 *") + "\n" +
      "[Event \"standard\"]\n\n1. e4 *\n" + "\n" +
      SetUpGame("4k3/8/8/8/8/8/8/R3K3 b - - 0 40", "40... Kd8 41. Ra8# 1-0");
  EXPECT_EQ(Convert(file, {"-g1"}).scene,
            "\n_King(\"e1\",0)\n_Pawn(\"e4\",0)\n_King(\"e8\",1)");
  const Conversion second = Convert(file, {"-g2"});
  EXPECT_EQ(second.stdoutText, "\nInvalid FEN in game #2");
  EXPECT_EQ(second.exitStatus, 3);
  EXPECT_EQ(Convert(file, {"-g3"}).scene, SceneOf("1. e4 *"));
  const Conversion fourth = Convert(file, {"-g4"});
  EXPECT_EQ(fourth.exitStatus, 0);
  EXPECT_EQ(fourth.scene,
            "\n_Rook(\"a8\",0)\n_King(\"d8\",1)\n_King(\"e1\",0)");
}

// Every line break of `text` as CR LF.
std::string WithCrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

TEST(ReaderEndToEnd, CrLfAndLfCopiesGiveTheSameScenes) {
  const std::string lf = ReadFileBytes(CorpusPath("dhtmlchess/lcc2016.pgn"));
  ASSERT_FALSE(lf.empty());
  ASSERT_EQ(lf.find('\r'), std::string::npos);
  const std::string crlf = WithCrLf(lf);
  for (const char* game : {"-g1", "-g17", "-g45"}) {
    const Conversion a = Convert(lf, {game});
    const Conversion b = Convert(crlf, {game});
    EXPECT_EQ(a.exitStatus, 0) << game;
    EXPECT_EQ(b.exitStatus, 0) << game;
    EXPECT_EQ(a.scene, b.scene) << game;
    EXPECT_EQ(a.stdoutText, b.stdoutText) << game;
  }
}

// Games counted the way a user counts them: a game starts at a tag line
// ('[' and a letter) that follows movetext, or at the start of the file.
int CountGames(const std::string& text) {
  std::istringstream lines(text);
  std::string line;
  int games = 0;
  bool inTags = false;
  bool sawText = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (games == 0 && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    const bool tag = line.size() > 1 && line[0] == '[' && std::isalpha(line[1]);
    if (tag) {
      if (!inTags) ++games;
      inTags = true;
    } else if (!line.empty() && line[0] != '%') {
      if (games == 0) games = 1;
      inTags = false;
      sawText = true;
    }
  }
  return games == 0 && !sawText ? 1 : games;
}

TEST(ReaderEndToEnd, EveryCorpusFileConvertsAtItsLastGameAndDefault) {
  std::vector<std::string> files;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(CorpusPath(""))) {
    if (entry.path().extension() == ".pgn") files.push_back(entry.path());
  }
  ASSERT_GE(files.size(), 50u);
  std::sort(files.begin(), files.end());
  ScratchDir dir;
  for (const std::string& file : files) {
    // The default is game 1; each sanitized run costs a fraction of a
    // second, so a one-game file is run once.
    std::vector<std::vector<std::string>> runs = {{file, "out.inc"}};
    const int last = CountGames(ReadFileBytes(file));
    if (last > 1)
      runs.push_back({file, "out.inc", "-g" + std::to_string(last)});
    for (const std::vector<std::string>& args : runs) {
      const RunResult run = RunBoardshot(args, dir.path());
      // 0, or 2 for a game that ends without its result (before the next
      // game's tags or the end of the file).
      EXPECT_TRUE(run.exitStatus == 0 || run.exitStatus == 2)
          << args.back() << " exit " << run.exitStatus;
    }
  }
}

}  // namespace
}  // namespace boardshot_test
