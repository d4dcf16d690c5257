// Where the game scanner finds each game: a table of texts and the tag line
// each game number lands on, run with every mask kernel, with the text moved
// across chunk edges (64 bytes) and block edges (small read capacities).
#include "reader/game_scan.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace boardshot {
namespace {

struct StartsCase {
  const char* what;
  std::string text;  // follows game 1, a movetext line
  // The first line of game 2, 3, ...; the game after the last is missing.
  std::vector<std::string> starts;
};

void PrintTo(const StartsCase& c, std::ostream* os) { *os << c.what; }

// The line at the read position, up to its line feed.
std::string LineAt(GameText& text) {
  std::string line;
  for (int c = NextChar(text); c != EOF && c != '\n'; c = NextChar(text)) {
    line += static_cast<char>(c);
  }
  return line;
}

// The first line of game `game` of `input`, or "missing".
std::string StartOf(std::string input, std::int64_t game, MaskKernel kernel,
                    std::size_t capacity) {
  std::FILE* file = fmemopen(input.data(), input.size(), "r");
  auto text = std::make_unique<GameText>();
  OpenGameText(*text, file, capacity);
  const bool found = SkipToGameStart(*text, game, kernel);
  const std::string line = found ? LineAt(*text) : "missing";
  std::fclose(file);
  return line;
}

class GameStarts : public testing::TestWithParam<StartsCase> {};

TEST_P(GameStarts, AreFoundAtEveryChunkAndBlockEdge) {
  const StartsCase& c = GetParam();
  std::vector<std::string> expected = c.starts;
  expected.push_back("missing");
  for (MaskKernel kernel : {MaskKernel::kPortable, MaskKernel::kSse2,
                            MaskKernel::kAvx2, MaskKernel::kAvx512}) {
    if (!KernelRuns(kernel)) continue;
    for (std::size_t capacity :
         {std::size_t{256}, std::size_t{300}, kTextBlockSize}) {
      for (std::size_t pad = 0; pad <= 140; ++pad) {
        const std::string input =
            "1. e4" + std::string(pad, ' ') + "\n" + c.text;
        for (std::size_t i = 0; i < expected.size(); ++i) {
          const std::int64_t game = static_cast<std::int64_t>(i) + 2;
          ASSERT_EQ(StartOf(input, game, kernel, capacity), expected[i])
              << c.what << ": game " << game << ", kernel "
              << static_cast<int>(kernel) << ", capacity " << capacity
              << ", pad " << pad;
        }
      }
    }
  }
}

const std::string kLongComment(300, 'x');

INSTANTIATE_TEST_SUITE_P(
    Scanner, GameStarts,
    testing::Values(
        StartsCase{"tag blocks after movetext",
                   "[Event \"2\"]\n[Site \"x\"]\n\n1. d4 *\n\n[Event \"3\"]\n"
                   "1. c4 *\n",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"tag line inside a brace comment",
                   "[Event \"2\"]\n\n1. e4 {a note\n[C54] a note}\ne5 *\n"
                   "[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"clock comments, one wrapped",
                   "[Event \"2\"]\n1. e4 {[%clk 1]} e5 {\n[%clk 2]} *\n"
                   "[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"brace in a semicolon comment opens nothing",
                   "[Event \"2\"]\n1. e4 ; {not a comment\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"brace in a percent line opens nothing",
                   "[Event \"2\"]\n1. e4\n%{ escaped\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"blanks and percent lines in tags, CR LF",
                   "[Event \"2\"]\r\n \t\r\n%x\r\n[Site \"y\"]\r\n\r\n1. d4 *"
                   "\r\n[Event \"3\"]\r\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"bracket and blanks then a letter is a tag line",
                   "[Event \"2\"]\n1. d4\n[%clk 1]\n[ \tEvent \"3\"]\n*",
                   {"[Event \"2\"]", "[ \tEvent \"3\"]"}},
        StartsCase{"a bracket line without a letter begins the movetext",
                   "[Event \"2\"]\n[%evp 1]\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"unclosed brace runs to the end",
                   "[Event \"2\"]\n1. e4 {\n[Event \"x\"]\n*\n",
                   {"[Event \"2\"]"}},
        StartsCase{"braces in tag lines and a stray closing brace",
                   "[Event \"{2\"]\n1. e4 } e5 *\n[Event \"3}\"]\n{x}\n"
                   "[Event \"4\"]\n*",
                   {"[Event \"{2\"]", "[Event \"3}\"]", "[Event \"4\"]"}},
        StartsCase{"comment longer than a block",
                   "[Event \"2\"]\n1. e4 {" + kLongComment +
                       "\n[Event \"x\"]\n" + kLongComment +
                       "}\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"tag text after a comment on the same line",
                   "[Event \"2\"]\n1. e4 {x} [Event \"x\"]\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"lone CR ends a line",
                   "[Event \"2\"]\r1. e4\r[Event \"3\"]\r\r1. d4 ;x\r"
                   "[Event \"4\"]\r*",
                   {"[Event \"2\"]", "[Event \"3\"]", "[Event \"4\"]"}},
        StartsCase{
            "indented tag lines",
            "  [Event \"2\"]\n\t[Site \"x\"]\n1. d4 *\n \t[ Event \"3\"]\n"
            "\t1. c4\n\t[Event \"4\"]\n*",
            {"  [Event \"2\"]", " \t[ Event \"3\"]", "\t[Event \"4\"]"}},
        StartsCase{
            "movetext after the tags on their line",
            "[Event \"2\"][Result \"*\"] 1. d4 *\n[Event \"3\"] [Site "
            "\"a] \\\" ] b\"]1. c4 {\n[Event \"x\"]\n}\n[Event \"4\"]\n*",
            {"[Event \"2\"][Result \"*\"] 1. d4 *",
             "[Event \"3\"] [Site \"a] \\\" ] b\"]1. c4 {", "[Event \"4\"]"}},
        StartsCase{"quoted brackets and escapes end no tag",
                   "[Event \"2\"]\n[Site \"a]b\"]\n[Round \"\\\"] 1. d4\n"
                   "[Date \"x][\"]\n[Black \"un]closed\n[White \"y\"] 1. d4\n"
                   "[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"an escaped quote in a long value",
                   "[Event \"2\"]\n[Round \"\\\"" + std::string(70, 'y') +
                       "] 1. d4\n[Site \"z\"]\n1. e4 *\n[Event \"3\"]\n*",
                   {"[Event \"2\"]", "[Event \"3\"]"}},
        StartsCase{"tag lines longer than a chunk",
                   "[Event \"" + std::string(70, '2') + "\"][Site \"" +
                       std::string(70, 'x') + "\"]\n[Round \"" +
                       std::string(70, 'x') + "\"] 1. d4 *\n[Event \"3\"]\n*",
                   {"[Event \"" + std::string(70, '2') + "\"][Site \"" +
                        std::string(70, 'x') + "\"]",
                    "[Event \"3\"]"}},
        StartsCase{"Ctrl-Z bytes are dropped",
                   "[Event \"2\"]\n1. e4 *\n\x1a[Event \"3\"]\n1. d4 {\x1a}\n"
                   "[Ev\x1a\x1a"
                   "ent \"4\"]\n*\x1a",
                   {"[Event \"2\"]", "[Event \"3\"]", "[Event \"4\"]"}},
        StartsCase{"tag block at the very end",
                   "[Event \"2\"]\n1. e4 *\n[Event \"3\"]",
                   {"[Event \"2\"]", "[Event \"3\"]"}}));

}  // namespace
}  // namespace boardshot
