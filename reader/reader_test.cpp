// Tests of the game reader on in-memory game texts: which tokens reach the
// move interpreter, for which side, and what the reader prints and returns.
#include "reader/reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>
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

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

class ReaderCases : public testing::TestWithParam<Case> {};

TEST_P(ReaderCases, HandsOnTheHalfMovesAndReports) {
  const Case& c = GetParam();
  const Outcome outcome = Read(c.text);
  EXPECT_EQ(outcome.result, c.result) << c.what;
  EXPECT_EQ(outcome.moves, c.moves) << c.what;
  EXPECT_EQ(outcome.console, c.console) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Movetext, ReaderCases,
    testing::Values(
        Case{"closing brace inside first token", "1. e4 {good} e5 *", 0,
             "W:e4 B:e5", ""},
        Case{"percent only at line start", "1. e4 %x e5 *", 0, "W:e4 B:%x W:e5",
             ""},
        Case{"move number after comment",
             "1. e4 {[%clk 0:03:00]} 1... e5 {x} 2. Nf3 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"wrong number after comment warned", "1. e4 {x} 7... e5 *", 0,
             "W:e4 B:e5", "\nMove 7 found, expecting 1"},
        Case{"annotations skipped", "1. e4 $1 ! e5 !? += 2. Nf3 +/- $14 *", 0,
             "W:e4 B:e5 W:Nf3", ""},
        Case{"en passant marks",
             "1. e4 d5 2. e5 f5 3. exf6 e.p. Nxf6 4. d4 e5 5. dxe6e.p. ep "
             "Bxe6 6. Nf3 e.p *",
             0,
             "W:e4 B:d5 W:e5 B:f5 W:exf6 B:Nxf6 W:d4 B:e5 W:dxe6 B:Bxe6 "
             "W:Nf3",
             ""},
        Case{"null move handed on", "1. e4 -- 2. -- e5 *", 0,
             "W:e4 B:-- W:-- B:e5", ""},
        Case{"tag line ends game in half-move position",
             "1. e4\n[ Event \"next\"]\n1. d4 *", 258, "W:e4", ""},
        Case{"bracket without a letter is text", "1. e4\n[%x e5 *", 0,
             "W:e4 B:[%x W:e5", ""},
        Case{"castling with zeros without numbers", "e4 e5 0-0 0-0-0+ 1-0", 0,
             "W:e4 B:e5 W:0-0 B:0-0-0+", ""},
        Case{"lone CR stays in the line", "1. e4\r[Event \"x\"] e5 *", 0,
             "W:e4 B:[Event W:e5", "\nMove \"x\"] found, expecting 2"},
        Case{"NUL bytes separate tokens", std::string("1. e4\0e5\0 *", 11), 0,
             "W:e4 B:e5", ""}));

TEST(Fen, RefusesWhatDescribesNoBoard) {
  const struct {
    const char* fen;
    bool valid;
  } cases[] = {
      {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", true},
      {"  8/8/8/8/8/8/8/8 b", true},
      {"8/8/8/8/8/8/8/8 w - - 0 x", true},
      {"8/8/8/8/8/8/8 w", false},
      {"8/8/8/8/8/8/8/8/8 w", false},
      {"8/8/8/8/8/8/8/7 w", false},
      {"8/8/8/8/8/8/8/9 w", false},
      {"8/8/8/8/8/8/8/44p w", false},
      {"8/8/8/8/8/8/8/7x w", false},
      {"8/8/8/8/8/8/8/08 w", false},
      {"8/8/8/8/8/8/8/8", false},
      {"8/8/8/8/8/8/8/8 white", false},
      {"8/8/8/8/8/8/8/8w", false},
  };
  for (const auto& c : cases) {
    FenPosition position{};
    EXPECT_EQ(ParseFen(c.fen, position), c.valid) << c.fen;
  }
}

TEST(Fen, SetsPiecesSideAndMoveNumber) {
  FenPosition position{};
  ASSERT_TRUE(ParseFen("4k3/8/8/8/8/8/3p4/R3K3 b Q - 3 41", position));
  EXPECT_EQ(position.sideToMove, Black);
  EXPECT_EQ(position.fullMoveNumber, 41);
  EXPECT_TRUE(HoldsPiece(position.state, 4, 7, King, Black));
  EXPECT_TRUE(HoldsPiece(position.state, 3, 1, Pawn, Black));
  EXPECT_TRUE(HoldsPiece(position.state, 0, 0, Rook, White));
  EXPECT_TRUE(HoldsPiece(position.state, 4, 0, King, White));
  int pieces = 0;
  for (int square = 0; square < kSquareCount; ++square) {
    pieces += TypeAt(position.state, square / 8, square % 8) != Empty;
  }
  EXPECT_EQ(pieces, 4);
  ASSERT_TRUE(ParseFen("8/8/8/8/8/8/8/8 w - - 0 99999999999", position));
  EXPECT_EQ(position.fullMoveNumber, INT32_MAX);
}

TEST(Fen, TheWantedGamesFirstFenTagStartsTheGame) {
  // A tag value holding brackets and quotes must not hide or fake a tag.
  const std::string text =
      "[Event \"a ] [FEN \\\"8/8/8/8/8/8/8/8 w\\\"\"] [fen \"4k3/8/8/8/8/8/"
      "8/4K3 b - - 0 7\"]\n[FEN \"8/8/8/8/8/8/8/8 w\"]\n\nKd7 8. Ke2 *";
  const Outcome outcome = Read(text);
  EXPECT_EQ(outcome.result, 0);
  EXPECT_EQ(outcome.moves, "B:Kd7 W:Ke2");
  EXPECT_EQ(outcome.console, "");
}

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
  // '[' inside movetext lines, and after a lone CR, starts no game.
  const std::string clocks =
      "[Event \"one\"]\n1. e4 {[%clk 1]} e5 {[%clk 2]}\r[Event \"x\"]\n"
      "[%clk 3] 2. Nf3 *\n[Event \"two\"]\n1. c4 *";
  EXPECT_EQ(Read(clocks, 2).moves, "W:c4");
  EXPECT_EQ(Read(clocks, 3).result, 256);
  // A line of spaces and tabs is blank: it does not end the tag block.
  const std::string spaces = "[A \"x\"]\n \t \n[B \"y\"]\n1. c4 *";
  EXPECT_EQ(Read(spaces, 1).moves, "W:c4");
  EXPECT_EQ(Read(spaces, 2).result, 256);
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
