// Tests of the game reader on in-memory game texts: which tokens reach the
// move interpreter, for which side, and what the reader prints and returns.
#include "reader/reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "reader/fen.h"
#include "reader/movetext.h"

namespace boardshot {
namespace {

// The half-moves handed on during one ReadGameWith call, as "W:e4 B:e5".
// The handler has no context argument, so the log lives here for the test.
std::string handedOn;

int RecordHalfMove(GameState& /*state*/, const char* token, Side side) {
  if (!handedOn.empty()) handedOn += ' ';
  handedOn += side == White ? "W:" : "B:";
  handedOn += token;
  return token[0] == '*' ? -1 : 0;
}

struct Outcome {
  int result;
  std::string moves;
  std::string console;
};

Outcome Read(const std::string& text, std::int32_t game = 1,
             double moveLimit = 1000.0) {
  handedOn.clear();
  // fmemopen may refuse a zero-length buffer: an empty text is then a
  // one-byte stream whose byte has been read.
  std::string input = text.empty() ? std::string("x") : text;
  std::FILE* file = fmemopen(input.data(), input.size(), "r");
  if (text.empty()) std::fgetc(file);
  char* consoleText = nullptr;
  std::size_t consoleSize = 0;
  std::FILE* console = open_memstream(&consoleText, &consoleSize);
  GameState state{};
  RunOptions options;
  options.gameNumber = game;
  options.moveLimit = moveLimit;
  const int result =
      ReadGameWith(file, options, state, console, RecordHalfMove);
  std::fclose(console);
  std::fclose(file);
  Outcome outcome{result, handedOn, consoleText};
  std::free(consoleText);
  return outcome;
}

struct Case {
  const char* what;
  std::string text;
  int result;
  const char* moves;
  const char* console;
};

class ReaderCases : public testing::TestWithParam<Case> {};

TEST_P(ReaderCases, HandsOnTheHalfMovesAndReports) {
  const Case& c = GetParam();
  const Outcome outcome = Read(c.text);
  EXPECT_EQ(outcome.result, c.result) << c.what;
  EXPECT_EQ(outcome.moves, c.moves) << c.what;
  EXPECT_EQ(outcome.console, c.console) << c.what;
}

const char kEof[] = "\nUnexpected end-of-file found";

INSTANTIATE_TEST_SUITE_P(
    Movetext, ReaderCases,
    testing::Values(
        Case{"plain", "1. e4 e5 2. Nf3 Nc6 *\n", 0, "W:e4 B:e5 W:Nf3 B:Nc6",
             ""},
        Case{"dot joins", "1.e4 e5 2.Nf3 *", 0, "W:e4 B:e5 W:Nf3", ""},
        Case{"number and move on two lines", "1.\ne4 e5 *", 0, "W:e4 B:e5", ""},
        Case{"result after Black", "1. e4 e5 1-0", 0, "W:e4 B:e5", ""},
        Case{"mismatch warned, move applied", "1. e4 e5 2. Nf3 Nc6 2. Bb5 *", 0,
             "W:e4 B:e5 W:Nf3 B:Nc6 W:Bb5", "\nMove 2 found, expecting 3"},
        Case{"eof after full move", "1. e4 e5", 258, "W:e4 B:e5", kEof},
        Case{"eof in half-move position is silent", "1. e4", 258, "W:e4", ""},
        Case{"comment across lines",
             "1. e4 {a comment\nover 1. d4\nthree lines} e5 *", 0, "W:e4 B:e5",
             ""},
        Case{"closing brace inside first token", "1. e4 {good} e5 *", 0,
             "W:e4 B:e5", ""},
        Case{"semicolon comment", "1. e4 ; 1... c5 here\ne5 *", 0, "W:e4 B:e5",
             ""},
        Case{"percent line", "1. e4\n% 1... c5\ne5 *", 0, "W:e4 B:e5", ""},
        Case{"percent only at line start", "1. e4 %x e5 *", 0, "W:e4 B:%x W:e5",
             ""},
        Case{"eof inside comment in number position", "1. e4 e5 { open", 258,
             "W:e4 B:e5", kEof},
        Case{"eof inside comment in half-move position", "1. e4 { open", 258,
             "W:e4", ""},
        Case{"nested variation",
             "1. e4 (1. d4 d5 (1... Nf6 {)} 2. c4)) e5 (e6\n2. d4) *", 0,
             "W:e4 B:e5", ""},
        Case{"brackets end tokens", "1. e4{!}e5(e6)2. Nf3 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"tabs and other white space", "1.\te4\ve5\f2.\rNf3 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"move number after comment",
             "1. e4 {[%clk 0:03:00]} 1... e5 {x} 2. Nf3 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"wrong number after comment warned", "1. e4 {x} 7... e5 *", 0,
             "W:e4 B:e5", "\nMove 7 found, expecting 1"},
        Case{"annotations skipped", "1. e4 $1 ! e5 !? += 2. Nf3 +/- $14 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"null move handed on", "1. e4 -- 2. -- e5 *", 0,
             "W:e4 B:-- W:-- B:e5", ""},
        Case{"result in White's position", "1. e4 e5 2. 1-0", 0, "W:e4 B:e5",
             ""},
        Case{"old draw mark in Black's position", "1. e4 1/2", 0, "W:e4", ""},
        Case{"old draw mark in number position", "1. e4 e5 1/2", 0, "W:e4 B:e5",
             ""},
        Case{"star in half-move position", "1. e4 *", 0, "W:e4", ""},
        Case{"tag line ends game in number position",
             "1. e4 e5\n[Event \"next\"]\n1. d4 *", 258, "W:e4 B:e5", kEof},
        Case{"tag line ends game in half-move position",
             "1. e4\n[ Event \"next\"]\n1. d4 *", 258, "W:e4", ""},
        Case{"wrapped clock comment is no tag line",
             "1. e4 {\n[%clk 0:00:59] } e5 *", 0, "W:e4 B:e5", ""},
        Case{"bracket without a letter is text", "1. e4\n[%x e5 *", 0,
             "W:e4 B:[%x W:e5", ""},
        Case{"no move numbers", "e4 e5 Nf3 Nc6 O-O *", 0,
             "W:e4 B:e5 W:Nf3 B:Nc6 W:O-O", ""},
        Case{"castling with zeros without numbers", "e4 e5 0-0 0-0-0+ 1-0", 0,
             "W:e4 B:e5 W:0-0 B:0-0-0+", ""},
        Case{"empty text", "", 258, "", kEof},
        Case{"tags without movetext", "[Event \"x\"]\n\n", 258, "", kEof},
        Case{"CR LF is one break", "[Event \"x\"]\r\n\r\n1. e4\r\ne5 *\r\n", 0,
             "W:e4 B:e5", ""},
        Case{"lone CR stays in the line", "1. e4\r[Event \"x\"] e5 *", 0,
             "W:e4 B:[Event W:e5", "\nMove \"x\"] found, expecting 2"},
        Case{"Ctrl-Z ends the input", "1. e4 e5\x1a 2. Nf3 *", 258, "W:e4 B:e5",
             kEof},
        Case{"byte order mark skipped", "\xEF\xBB\xBF[Event \"x\"]\n\n1. e4 *",
             0, "W:e4", ""}));

std::string Repeat(char c, std::size_t count) { return std::string(count, c); }

TEST(Reader, LongLineKeepsItsTokensWhole) {
  // A line far longer than any buffer; a move across every block border.
  std::string text = "1. e4 {" + Repeat('x', 200000) + "} e5";
  for (int move = 2; move <= 999; ++move) {
    text += " " + std::to_string(move) + ". Nf3 Nf6";
  }
  text += " *";
  const Outcome outcome = Read(text);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.console, "");
  EXPECT_EQ(outcome.moves.size(), std::string("W:e4 B:e5").size() +
                                      998 * std::string(" W:Nf3 B:Nf6").size());
}

TEST(Reader, OverlongTokenIsShortenedAndLeaksIntoNoOtherToken) {
  const std::string giant = "N" + Repeat('a', 10000);
  const Outcome outcome = Read("1. " + giant + " e5 *");
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.moves,
            "W:" + giant.substr(0, kTokenCapacity - 1) + " B:e5");
}

TEST(Reader, MoveLimitCountsHalfMovesAfterEachFetch) {
  const std::string game = "1. e4 e5 2. Nf3 Nc6 *";
  const struct {
    double halfMoves;
    const char* moves;
  } cases[] = {{0, ""}, {1, "W:e4"}, {3, "W:e4 B:e5 W:Nf3"}};
  for (const auto& c : cases) {
    const Outcome outcome = Read(game, 1, (c.halfMoves + 2.0) * 0.5);
    EXPECT_EQ(outcome.result, 0);
    EXPECT_EQ(outcome.moves, c.moves) << c.halfMoves;
  }
  // The half-move held back by the limit must still be in the text.
  EXPECT_EQ(Read("1. e4 e5 2. Nf3", 1, 2.5).result, 258);
}

TEST(Reader, SelectsGamesByTagBlocks) {
  const std::string two =
      "[Event \"one\"]\n[Site \"x\"]\n\n1. e4 {\n[%clk 1] } e5 1-0\n\n"
      "Event \"damaged\"]\n[Event \"two\"]\n\n1. d4 d5 *\n";
  EXPECT_EQ(Read(two, 1).moves, "W:e4 B:e5");
  EXPECT_EQ(Read(two, 2).moves, "W:d4 B:d5");
  const Outcome third = Read(two, 3);
  EXPECT_EQ(third.result, 256);
  EXPECT_EQ(third.console, "\nGame #3 does not exist in this file");
  EXPECT_EQ(Read("", 2).result, 256);
  EXPECT_EQ(Read("1. e4 *\n\n\n[Event \"two\"]\n1. c4 *", 2).moves, "W:c4");
  EXPECT_EQ(Read("[A \"x\"]\n% escape\n[B \"y\"]\n1. c4 *", 1).moves, "W:c4");
  // A line of spaces is movetext: it ends the tag block.
  EXPECT_EQ(Read("[A \"x\"]\n   \n[B \"y\"]\n1. c4 *", 2).moves, "W:c4");
}

TEST(Reader, ReadErrorMeansTheGameIsMissing) {
  std::FILE* unreadable = std::fopen("/dev/null", "w");
  char* consoleText = nullptr;
  std::size_t consoleSize = 0;
  std::FILE* console = open_memstream(&consoleText, &consoleSize);
  GameState state{};
  EXPECT_EQ(
      ReadGameWith(unreadable, RunOptions{}, state, console, RecordHalfMove),
      256);
  std::fclose(console);
  std::fclose(unreadable);
  EXPECT_STREQ(consoleText, "\nGame #1 does not exist in this file");
  std::free(consoleText);
}

}  // namespace
}  // namespace boardshot
