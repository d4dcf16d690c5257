// Renders scene includes with the example scene and the real POV-Ray, and
// checks what a viewer would see: where pieces stand, that captured pieces
// line up beside the board, and that a broken include is refused.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>
#include <vector>

#include "tests/binary_runner.h"

namespace boardshot_test {
namespace {

// Small and without anti-aliasing: enough to tell squares apart, quick in CI.
constexpr int kWidth = 160;
constexpr int kHeight = 120;

struct ProgramRun {
  int exitStatus = -1;
  std::string diagnostics;  // what the program wrote to stdout and stderr
};

// Runs `argv` in `dir` with both output streams caught in a file there.
ProgramRun RunProgram(const std::vector<std::string>& argv,
                      const ScratchDir& dir) {
  const std::string logPath = dir.File("program.log");
  pid_t child = fork();
  if (child < 0) return {};
  if (child == 0) {
    int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (log < 0 || chdir(dir.path().c_str()) != 0) _exit(127);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& arg : argv)
      args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProgramRun run;
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.diagnostics = ReadFileBytes(logPath);
  return run;
}

// POV-Ray ends with status 0 after some parse warnings (a missing #version,
// a second camera), so its messages are read as well.
bool HasParseTrouble(const std::string& diagnostics) {
  return diagnostics.find("Error") != std::string::npos ||
         diagnostics.find("Warning:") != std::string::npos ||
         diagnostics.find("Parse Warning") != std::string::npos;
}

struct Image {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // rows top to bottom, 3 bytes a pixel
};

// Reads a binary PPM (P6, maxval 255) as POV-Ray writes it with +FP,
// comment lines included. An unreadable file gives an empty image.
Image ReadPpm(const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  std::size_t pos = 0;
  auto nextField = [&]() {
    for (;;) {
      while (pos < bytes.size() &&
             std::isspace(static_cast<unsigned char>(bytes[pos])))
        ++pos;
      if (pos < bytes.size() && bytes[pos] == '#') {
        while (pos < bytes.size() && bytes[pos] != '\n') ++pos;
        continue;
      }
      break;
    }
    std::size_t start = pos;
    while (pos < bytes.size() &&
           !std::isspace(static_cast<unsigned char>(bytes[pos])))
      ++pos;
    return bytes.substr(start, pos - start);
  };
  Image image;
  if (nextField() != "P6") return image;
  const int width = std::atoi(nextField().c_str());
  const int height = std::atoi(nextField().c_str());
  if (nextField() != "255") return image;
  ++pos;  // the single white-space character before the pixels
  const std::size_t size = static_cast<std::size_t>(width) * height * 3;
  if (width <= 0 || height <= 0 || bytes.size() - pos < size) return image;
  image.width = width;
  image.height = height;
  image.rgb.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                   bytes.begin() + static_cast<std::ptrdiff_t>(pos + size));
  return image;
}

struct Vec {
  double x, y, z;
};
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec Cross(Vec a, Vec b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec Normalized(Vec a) {
  const double length = std::sqrt(Dot(a, a));
  return {a.x / length, a.y / length, a.z / length};
}

struct Pixel {
  int column, row;
};

// Where a point of the scene lands in the image, through the example
// scene's own camera (keep in step with boardshot.pov): POV-Ray's
// perspective camera with the horizontal field of view `angle`.
Pixel Project(Vec point) {
  const Vec location{0, 11, -12.5};
  const Vec lookAt{0, -0.7, -0.6};
  const double angleDegrees = 47;
  const double aspect = static_cast<double>(kWidth) / kHeight;
  const Vec forward = Normalized(lookAt - location);
  const Vec right = Normalized(Cross({0, 1, 0}, forward));
  const Vec up = Normalized(Cross(forward, right));
  const double directionLength =
      0.5 * aspect / std::tan(angleDegrees * std::numbers::pi / 360.0);
  const Vec toPoint = point - location;
  const double depth = Dot(toPoint, forward);
  const double across =
      Dot(toPoint, right) * directionLength / (depth * aspect);
  const double upward = Dot(toPoint, up) * directionLength / depth;
  return {static_cast<int>(std::floor((across + 0.5) * kWidth)),
          static_cast<int>(std::floor((0.5 - upward) * kHeight))};
}

// The point of a square where a standing piece's body is, or the square's
// surface when `height` is 0. Files '`' and 'i' are the rows beside the
// board, 0.55 further out than a plain file step; off-board squares lie on
// the table 0.3 below the board's top.
Vec SquarePoint(const std::string& square, double height) {
  const int file = square[0] - 'a';
  const int rank = std::atoi(square.c_str() + 1);
  double x = file - 3.5;
  if (file < 0) x -= 0.55;
  if (file > 7) x += 0.55;
  const bool onBoard = file >= 0 && file <= 7 && rank >= 1 && rank <= 8;
  return {x, (onBoard ? 0.0 : -0.3) + height, rank - 4.5};
}

// Calls visit(at) with the byte offset of every pixel of the 3x3 window
// around `centre` that lies inside the image.
template <typename Visit>
void ForEachWindowPixel(const Image& image, Pixel centre, Visit visit) {
  for (int dr = -1; dr <= 1; ++dr) {
    for (int dc = -1; dc <= 1; ++dc) {
      const int row = centre.row + dr;
      const int column = centre.column + dc;
      if (row < 0 || row >= image.height || column < 0 || column >= image.width)
        continue;
      visit((static_cast<std::size_t>(row) * image.width + column) * 3);
    }
  }
}

// Mean of red, green and blue over the 3x3 pixels around `centre`.
double MeanLevel(const Image& image, Pixel centre) {
  double sum = 0;
  int count = 0;
  ForEachWindowPixel(image, centre, [&](std::size_t at) {
    sum += image.rgb[at] + image.rgb[at + 1] + image.rgb[at + 2];
    count += 3;
  });
  return count == 0 ? -1 : sum / count;
}

// Mean absolute difference of the two images over the 3x3 pixels around
// `centre`, on the 0..255 scale.
double Difference(const Image& a, const Image& b, Pixel centre) {
  double sum = 0;
  int count = 0;
  ForEachWindowPixel(a, centre, [&](std::size_t at) {
    for (int channel = 0; channel < 3; ++channel) {
      sum += std::abs(a.rgb[at + channel] - b.rgb[at + channel]);
      ++count;
    }
  });
  return count == 0 ? -1 : sum / count;
}

constexpr double kBodyHeight = 0.35;  // every piece is solid at this height
constexpr double kChanged = 15;       // a piece came or went
constexpr double kUnchanged = 5;      // noise from reflections and shadows

struct Rendered {
  ProgramRun run;
  Image image;
};

// Renders the scene include text `position` at kWidth x kHeight.
Rendered Render(const std::string& position, int width = kWidth,
                int height = kHeight) {
  ScratchDir dir;
  dir.Write("position.inc", position);
  dir.Write("render.pov",
            "#version 3.7;\n#declare Boardshot_Position = \"position.inc\";\n"
            "#include \"boardshot.pov\"\n");
  Rendered rendered;
  rendered.run = RunProgram(
      {BOARDSHOT_POVRAY, "+Irender.pov", "+L" + SourcePath("scene/example"),
       "+Oimage.ppm", "+FP", "+W" + std::to_string(width),
       "+H" + std::to_string(height), "-A", "-D", "+WT1"},
      dir);
  rendered.image = ReadPpm(dir.File("image.ppm"));
  return rendered;
}

class RenderedPositions : public testing::Test {
 protected:
  // The starting position comes from the real binary; the final position of
  // the bundled sample game (18 pieces captured, on i1..i8 and `8..`-1) is
  // a fixture written by hand.
  static void SetUpTestSuite() {
    ScratchDir dir;
    RunResult converted = RunBoardshot(
        {SourcePath("samples/fried-liver.pgn"), "start.inc", "-m0"},
        dir.path());
    // A failed conversion leaves an empty include: an empty board whose
    // pictures fail the checks below.
    EXPECT_EQ(converted.exitStatus, 0) << converted.stdoutText;
    start_ = new Rendered(Render(dir.Read("start.inc")));
    final_ = new Rendered(Render(
        ReadFileBytes(SourcePath("tests/render/fried-liver-final.inc"))));
  }
  static void TearDownTestSuite() {
    delete start_;
    delete final_;
  }
  static Rendered* start_;
  static Rendered* final_;
};
Rendered* RenderedPositions::start_ = nullptr;
Rendered* RenderedPositions::final_ = nullptr;

TEST_F(RenderedPositions, RenderWithoutParseTrouble) {
  for (const Rendered* rendered : {start_, final_}) {
    EXPECT_EQ(rendered->run.exitStatus, 0) << rendered->run.diagnostics;
    EXPECT_FALSE(HasParseTrouble(rendered->run.diagnostics))
        << rendered->run.diagnostics;
    EXPECT_EQ(rendered->image.width, kWidth);
    EXPECT_EQ(rendered->image.height, kHeight);
  }
}

TEST_F(RenderedPositions, SquaresThatChangedLookDifferent) {
  ASSERT_FALSE(start_->image.rgb.empty());
  ASSERT_FALSE(final_->image.rgb.empty());
  // Emptied in the game (pawns, a knight, the kings' and queens' squares),
  // or filled (Black's rook on e5, bishop on e6).
  for (const char* square :
       {"e2", "d2", "d7", "f7", "b1", "d1", "e8", "e5", "e6"}) {
    const Pixel at = Project(SquarePoint(square, kBodyHeight));
    EXPECT_GT(Difference(start_->image, final_->image, at), kChanged)
        << square << " at column " << at.column << ", row " << at.row;
  }
  // Standing or empty in both, with nothing changed in front of them.
  for (const char* square : {"a1", "a2", "h2", "h7", "c4", "f4"}) {
    const Pixel at = Project(SquarePoint(square, kBodyHeight));
    EXPECT_LT(Difference(start_->image, final_->image, at), kUnchanged)
        << square << " at column " << at.column << ", row " << at.row;
  }
}

TEST_F(RenderedPositions, CapturedPiecesStandBesideTheBoard) {
  ASSERT_FALSE(start_->image.rgb.empty());
  ASSERT_FALSE(final_->image.rgb.empty());
  for (const char* square :
       {"i1", "i2", "i5", "i8", "`8", "`5", "`1", "`0", "`-1"}) {
    const Pixel at = Project(SquarePoint(square, kBodyHeight));
    EXPECT_GT(Difference(start_->image, final_->image, at), kChanged)
        << square << " at column " << at.column << ", row " << at.row;
  }
  // In front of each row the table stays empty.
  for (const char* square : {"i0", "`-2"}) {
    const Pixel at = Project(SquarePoint(square, kBodyHeight));
    EXPECT_LT(Difference(start_->image, final_->image, at), kUnchanged)
        << square << " at column " << at.column << ", row " << at.row;
  }
}

TEST_F(RenderedPositions, WhiteAndBlackPiecesAndSquaresAreTold) {
  const Image& image = start_->image;
  ASSERT_FALSE(image.rgb.empty());
  // Pawns on dark squares of both sides; then two empty squares.
  const double whitePawn =
      MeanLevel(image, Project(SquarePoint("d2", kBodyHeight)));
  const double blackPawn =
      MeanLevel(image, Project(SquarePoint("e7", kBodyHeight)));
  EXPECT_GT(whitePawn, blackPawn + 80);
  const double lightSquare = MeanLevel(image, Project(SquarePoint("e4", 0)));
  const double darkSquare = MeanLevel(image, Project(SquarePoint("d4", 0)));
  EXPECT_GT(lightSquare, darkSquare + 60);
}

// Square names the writer produces past the board's edge, and names it
// never produces, which the macros refuse with their own message.
struct SquareCase {
  const char* name;
  const char* record;
  bool accepted;
};

class SquareNames : public testing::TestWithParam<SquareCase> {};

TEST_P(SquareNames, AreParsedByTheMacros) {
  const SquareCase& c = GetParam();
  const Rendered rendered = Render(std::string("\n") + c.record, 16, 12);
  if (c.accepted) {
    EXPECT_EQ(rendered.run.exitStatus, 0) << rendered.run.diagnostics;
    EXPECT_FALSE(HasParseTrouble(rendered.run.diagnostics))
        << rendered.run.diagnostics;
  } else {
    EXPECT_NE(rendered.run.exitStatus, 0);
    EXPECT_NE(rendered.run.diagnostics.find("boardshot.pov:"),
              std::string::npos)
        << rendered.run.diagnostics;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Records, SquareNames,
    testing::Values(SquareCase{"FileIPastTen", "_Queen(\"i15\",0)", true},
                    SquareCase{"FileITen", "_Rook(\"i10\",0)", true},
                    SquareCase{"GraveFileNegative", "_Knight(\"`-6\",1)", true},
                    SquareCase{"GraveFileZero", "_Bishop(\"`0\",1)", true},
                    SquareCase{"BoardCorner", "_King(\"h8\",1)", true},
                    SquareCase{"FileAfterI", "_Pawn(\"j1\",0)", false},
                    SquareCase{"FileBeforeGrave", "_Pawn(\"_1\",0)", false},
                    SquareCase{"NoRank", "_Pawn(\"a\",0)", false},
                    SquareCase{"EmptyName", "_Pawn(\"\",0)", false},
                    SquareCase{"SignWithoutDigits", "_Pawn(\"a-\",0)", false},
                    SquareCase{"FractionalRank", "_Pawn(\"e4.5\",0)", false},
                    SquareCase{"ColourTwo", "_Pawn(\"e4\",2)", false}),
    [](const testing::TestParamInfo<SquareCase>& p) {
      return std::string(p.param.name);
    });

TEST(RenderScript, RendersAPngOfAnInclude) {
  ScratchDir dir;
  dir.Write("game.inc", "\n_King(\"e1\",0)\n_King(\"e8\",1)");
  const ProgramRun run = RunProgram(
      {SourcePath("scripts/render.sh"), "game.inc", "out.png", "40", "30"},
      dir);
  EXPECT_EQ(run.exitStatus, 0) << run.diagnostics;
  EXPECT_EQ(dir.Read("out.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
}

}  // namespace
}  // namespace boardshot_test
