// End-to-end tests of the scene file a whole game produces.
#include <gtest/gtest.h>

#include <string>

#include "tests/binary_runner.h"

namespace boardshot_test {
namespace {

std::string ConvertText(const std::string& text, int* exitStatus) {
  ScratchDir dir;
  dir.Write("game.pgn", text);
  *exitStatus = RunBoardshot({"game.pgn", "out.inc"}, dir.path()).exitStatus;
  return dir.Read("out.inc");
}

// The bundled sample's final position was worked out by hand, move by move,
// independently of the program.
TEST(SceneFile, SampleGameEndsInTheHandReplayedPosition) {
  ScratchDir dir;
  const RunResult run = RunBoardshot(
      {SourcePath("samples/fried-liver.pgn"), dir.File("out.inc")}, dir.path());
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(dir.Read("out.inc"),
            ReadFileBytes(SourcePath("tests/render/fried-liver-final.inc")));
}

TEST(SceneFile, CapturedPawnGoesToTheGraveAccentFile) {
  int status = -1;
  const std::string scene = ConvertText("1. e4 d5 2. exd5 *", &status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(scene.find("_Pawn(\"d7\",1)"), std::string::npos);
  EXPECT_EQ(scene.find("_Pawn(\"e2\",0)"), std::string::npos);
  EXPECT_NE(scene.find("\n_Pawn(\"d5\",0)"), std::string::npos);
  const std::string last = "\n_Pawn(\"`8\",1)";
  EXPECT_EQ(scene.substr(scene.size() - last.size()), last);
}

// White's knight shuttles between g1 and f3 "capturing" the empty squares,
// which fills White's capture list with empty entries; then it takes a real
// pawn on e5.
std::string ShuttleThenTake(int emptyCaptures) {
  std::string text;
  int move = 1;
  for (int i = 0; i < emptyCaptures; ++i, ++move) {
    text += std::to_string(move) + (i % 2 ? ". Nxg1 Nb8 " : ". Nxf3 Nc6 ");
  }
  const bool knightOnG1 = emptyCaptures % 2 == 0;
  text += std::to_string(move++) + (knightOnG1 ? ". Nf3 e5 " : ". e3 e5 ");
  return text + std::to_string(move) + ". Nxe5 *\n";
}

// A capture list holds fifteen entries; a sixteenth capture used to be
// written past the list's end, over the game state that follows it.
TEST(SceneFile, CaptureListKeepsFifteenEntriesAndDropsTheRest) {
  int status = -1;
  const std::string fifteenth = ConvertText(ShuttleThenTake(14), &status);
  EXPECT_EQ(status, 0);
  const std::string stored = "\n_Rook(\"h8\",1)\n_Pawn(\"`-6\",1)";
  ASSERT_GE(fifteenth.size(), stored.size());
  EXPECT_EQ(fifteenth.substr(fifteenth.size() - stored.size()), stored);

  const std::string sixteenth = ConvertText(ShuttleThenTake(15), &status);
  EXPECT_EQ(status, 0);
  const std::string boardOnly = "\n_Pawn(\"h7\",1)\n_Rook(\"h8\",1)";
  ASSERT_GE(sixteenth.size(), boardOnly.size());
  EXPECT_EQ(sixteenth.substr(sixteenth.size() - boardOnly.size()), boardOnly);
  EXPECT_NE(sixteenth.find("\n_Knight(\"e5\",0)"), std::string::npos);
  EXPECT_EQ(sixteenth.find("\n_Pawn(\"e5\",1)"), std::string::npos);
}

}  // namespace
}  // namespace boardshot_test
