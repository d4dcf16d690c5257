// The game reader as a table of game texts: which tokens reach the move
// interpreter, for which side, what is printed and what is returned.
#include "reader/reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "reader/failing_stream.h"
#include "reader/movetext.h"

namespace boardshot {
namespace {

// A handler that logs the half-moves handed on, as "W:e4 B:e5".
HalfMoveHandler RecordInto(std::string& log) {
  return [&log](GameState&, const char* token, Side side, MoveReport*) {
    log += log.empty() ? "" : " ";
    log += (side == White ? "W:" : "B:") + std::string(token);
    return token[0] == '*' ? -1 : 0;
  };
}

struct ReadRow {
  const char* what;
  std::string text;
  int result;
  std::string moves;
  std::string console = "";
  std::int32_t game = 1;
  double halfMoveLimit = 1998.0;
};

void PrintTo(const ReadRow& row, std::ostream* out) { *out << row.what; }

class Reading : public testing::TestWithParam<ReadRow> {};

TEST_P(Reading, HandsOnTheHalfMovesAndReports) {
  const ReadRow& row = GetParam();
  std::string handedOn;
  // fmemopen may refuse an empty buffer: an empty text is then a one-byte
  // stream whose byte has been read.
  std::string input = row.text.empty() ? "x" : row.text;
  std::FILE* file = fmemopen(input.data(), input.size(), "r");
  if (row.text.empty()) std::fgetc(file);
  char* printed = nullptr;
  std::size_t printedSize = 0;
  std::FILE* console = open_memstream(&printed, &printedSize);
  GameState state{};
  const RunOptions options{row.game, row.halfMoveLimit};
  EXPECT_EQ(static_cast<int>(ReadGameWith(file, options, state, console,
                                          RecordInto(handedOn))),
            row.result);
  std::fclose(console);
  std::fclose(file);
  EXPECT_EQ(handedOn, row.moves);
  EXPECT_EQ(printed, row.console);
  std::free(printed);
}

const std::string kTwoGames =
    "[Event \"one\"]\n[Site \"x\"]\n\n1. e4 {\n[%clk 1] } e5 1-0\n\n"
    "Event \"damaged\"]\n[Event \"two\"]\n\n1. d4 d5 *\n";
const std::string kClocks =
    "[Event \"one\"]\n1. e4 {[%clk 1]} e5 {[%clk 2]} [Event \"x\"]\n"
    "[%clk 3] 2. Nf3 *\n[Event \"two\"]\n1. c4 *";
// Tag pairs and movetext on one line; a FEN tag before the moves counts.
const std::string kOneLineGames =
    "[Event \"a\"][Result \"1-0\"] 1. e4 e5 1-0\n[Event \"b\"] [FEN "
    "\"4k3/8/8/8/8/8/8/4K3 b - - 0 7\"] Kd7 8. Ke2 *\n";
const std::string kLongLine = [] {
  std::string text = "1. e4 {" + std::string(200000, 'x') + "} e5";
  for (int move = 2; move <= 999; ++move) {
    text += " " + std::to_string(move) + ". Nf3 Nf6";
  }
  return text + " *";
}();
const std::string kAllNf3 = [] {
  std::string moves = "W:e4 B:e5";
  for (int move = 2; move <= 999; ++move) moves += " W:Nf3 B:Nf6";
  return moves;
}();
const std::string kGiant = "N" + std::string(10000, 'a');

const ReadRow kRows[] = {
    {"closing brace inside the first token", "1. e4 {good} e5 *", 0,
     "W:e4 B:e5"},
    {"percent only at a line start", "1. e4 %x e5 *", 0, "W:e4 B:%x W:e5"},
    {"move numbers after comments",
     "1. e4 {[%clk 0:03:00]} 1... e5 {x} 2. Nf3 *", 0, "W:e4 B:e5 W:Nf3"},
    {"wrong number after a comment", "1. e4 {x} 7... e5 *", 0, "W:e4 B:e5",
     "\nMove 7 found, expecting 1"},
    {"annotations", "1. e4 $1 ! e5 !? += 2. Nf3 +/- $14 *", 0,
     "W:e4 B:e5 W:Nf3"},
    {"en passant marks",
     "1. e4 d5 2. e5 f5 3. exf6 e.p. Nxf6 4. d4 e5 5. dxe6e.p. ep Bxe6 6. Nf3 "
     "e.p *",
     0, "W:e4 B:d5 W:e5 B:f5 W:exf6 B:Nxf6 W:d4 B:e5 W:dxe6 B:Bxe6 W:Nf3"},
    {"null moves", "1. e4 -- 2. -- e5 *", 0, "W:e4 B:-- W:-- B:e5"},
    {"null move where a number belongs", "1. e4 e5 -- Nc6 *", 0,
     "W:e4 B:e5 W:-- B:Nc6"},
    {"castling with zeros without numbers", "e4 e5 0-0 0-0-0+ 1-0", 0,
     "W:e4 B:e5 W:0-0 B:0-0-0+"},
    {"variations, also unbalanced", "1. e4 ) (1. d4 (1... d5)) e5 ( 2. c4 *",
     258, "W:e4 B:e5", "\nUnexpected end-of-file found"},
    {"tag line ends the game in a half-move position",
     "1. e4\n[ Event \"next\"]\n1. d4 *", 258, "W:e4"},
    {"bracket without a letter is text", "1. e4\n[%x e5 *", 0,
     "W:e4 B:[%x W:e5"},
    {"lone CR ends a line", "1. e4\r[Event \"x\"] e5 *", 258, "W:e4"},
    {"lone CRs in the tags",
     "[Event \"a\"]\r[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 7\"]\r\rKd7 8. Ke2 *\r",
     0, "B:Kd7 W:Ke2"},
    {"indented tag lines",
     " [Event \"a\"]\n\t[FEN \"4k3/8/8/8/8/8/8/4K3 b - - 0 7\"]\n\nKd7 8. Ke2 "
     "*",
     0, "B:Kd7 W:Ke2"},
    {"movetext after the tags on their line", kOneLineGames, 0, "W:e4 B:e5"},
    {"the next game's tags and movetext on one line", kOneLineGames, 0,
     "B:Kd7 W:Ke2", "", 2},
    {"two such games are two", kOneLineGames, 256, "",
     "\nGame #3 does not exist in this file", 3},
    {"a ']' in a quoted value ends no tag",
     "[Event \"a] 1. e4 \\\" ] x\"] 1. c4 *", 0, "W:c4"},
    {"results written onto moves", "1. e4 h6*\n[Event \"b\"]\n1. d4 *", 0,
     "W:e4 B:h6"},
    {"a result onto White's move", "1. f3 e5 2. g4 Qh4 3. Qxf7#1-0\n*", 0,
     "W:f3 B:e5 W:g4 B:Qh4 W:Qxf7#"},
    {"a token that begins with a digit keeps its result", "1. e4 e5 2* Nf3 *",
     0, "W:e4 B:e5 W:Nf3"},
    {"a result onto a move in a variation goes with it",
     "1. e4 (1. d4 d5*) e5 *", 0, "W:e4 B:e5"},
    {"after a skipped number the count follows the file",
     "1. e4 e5 3. Nf3 Nc6 4. Bb5 *", 0, "W:e4 B:e5 W:Nf3 B:Nc6 W:Bb5",
     "\nMove 3 found, expecting 2"},
    {"a token without digits leaves the count", "1. e4 e5 ] Nf3 Nc6 2. Bb5 *",
     0, "W:e4 B:e5 W:Nf3 B:Nc6 W:Bb5",
     "\nMove ] found, expecting 2\nMove 2 found, expecting 3"},
    {"NUL bytes separate tokens", std::string("1. e4\0e5\0 *", 11), 0,
     "W:e4 B:e5"},
    {"a line far longer than any buffer", kLongLine, 0, kAllNf3},
    {"an overlong token is shortened and leaks into no other",
     "1. " + kGiant + " e5 *", 0,
     "W:" + kGiant.substr(0, kTokenCapacity - 1) + " B:e5"},
    {"limit: Black's half-move is fetched, not applied", "1. e4 e5 2. Nf3 Nc6",
     0, "W:e4 B:e5 W:Nf3", "", 1, 3},
    {"limit: the text may end where the next half-move is past it", "1. e4 e5",
     0, "W:e4 B:e5", "", 1, 2},
    {"limit: a half-move within it must still be there", "1. e4 e5", 258,
     "W:e4 B:e5", "\nUnexpected end-of-file found", 1, 3},
    {"tag value hiding brackets and quotes; the first FEN tag counts",
     "[Event \"a ] [FEN \\\"8/8/8/8/8/8/8/8 w\\\"\"] [fen \"4k3/8/8/8/8/8/8/"
     "4K3 b - - 0 7\"]\n[FEN \"8/8/8/8/8/8/8/8 w\"]\n\nKd7 8. Ke2 *",
     0, "B:Kd7 W:Ke2"},
    {"invalid FEN", "[FEN \"8/8/8 w\"]\n\n1. e4 *", 259, "",
     "\nInvalid FEN in game #1"},
    {"game 1 of two", kTwoGames, 0, "W:e4 B:e5", "", 1},
    {"game 2 after a damaged tag line", kTwoGames, 0, "W:d4 B:d5", "", 2},
    {"game 3 of two", kTwoGames, 256, "",
     "\nGame #3 does not exist in this file", 3},
    {"game 2 of nothing", "", 256, "", "\nGame #2 does not exist in this file",
     2},
    {"untagged first game", "1. e4 *\n\n\n[Event \"two\"]\n1. c4 *", 0, "W:c4",
     "", 2},
    {"'%' line inside a tag block", "[A \"x\"]\n% escape\n[B \"y\"]\n1. c4 *",
     0, "W:c4"},
    {"'[' in movetext and after a lone CR starts no game", kClocks, 0, "W:c4",
     "", 2},
    {"three games are only two", kClocks, 256, "",
     "\nGame #3 does not exist in this file", 3},
    {"a line of spaces and tabs is blank in a tag block",
     "[A \"x\"]\n \t \n[B \"y\"]\n1. c4 *", 0, "W:c4"},
    {"so the tags before it are no game of their own",
     "[A \"x\"]\n \t \n[B \"y\"]\n1. c4 *", 256, "",
     "\nGame #2 does not exist in this file", 2},
};
INSTANTIATE_TEST_SUITE_P(Texts, Reading, testing::ValuesIn(kRows));

// Bug: a read that failed was reported as a missing game or as the end of
// the game's text.
TEST(Reader, FailedReadIsToldAsSuch) {
  const struct {
    const char* text;
    std::int32_t game;
    double halfMoveLimit;
    Status result;
  } rows[] = {
      {"", 1, 1998.0, Status::kInputNotRead},
      {"[Event \"cut", 1, 1998.0, Status::kInputNotRead},
      // Not an invalid FEN: the rest of the tag was never read.
      {"[FEN \"8/8/8/8", 1, 1998.0, Status::kInputNotRead},
      {"1. e4 e5 2. Nf3", 1, 1998.0, Status::kInputNotRead},
      {"1. e4 e5 *\n", 2, 1998.0, Status::kInputNotRead},
      // The position was complete before the read failed.
      {"1. e4 e5 *\n", 1, 1998.0, Status::kDone},
      {"1. e4 e5 2. Nf3", 1, 2.0, Status::kDone},
      {"1. e4 e5", 1, 2.0, Status::kDone},
  };
  for (const auto& row : rows) {
    std::FILE* input = FailingAfter(row.text);
    std::FILE* console = std::fopen("/dev/null", "w");
    GameState state{};
    const RunOptions options{row.game, row.halfMoveLimit};
    EXPECT_EQ(ReadGame(input, options, state, console), row.result) << row.text;
    std::fclose(console);
    std::fclose(input);
  }
  std::FILE* input = FailingAfter("1. e4 *\n\n[Event \"2\"]\n\n1. d4");
  int listed = 0;
  EXPECT_EQ(
      ReadEveryGame(input, [&](std::int64_t, const GameSummary&) { ++listed; }),
      Status::kInputNotRead);
  EXPECT_EQ(listed, 1);
  std::fclose(input);
}

}  // namespace
}  // namespace boardshot
