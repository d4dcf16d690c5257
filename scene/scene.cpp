// Formats the final game state as ray-tracer macro calls.
#include "scene/scene.h"

#include <cstdio>

#include "scene/annotation_details.h"
#include "scene/capture_squares.h"
#include "scene/details.h"

namespace boardshot {
namespace {

// The scene's macro for a kind of piece ("_Knight"); empty for Empty and for
// any value that is no kind of piece.
std::string MacroName(int type) {
  const char* name = PieceName(static_cast<PieceType>(type));
  return *name == '\0' ? "" : std::string("_") + name;
}

void AppendRecord(std::string& text, const std::string& macro, char file,
                  int rank, int colour) {
  char record[64];
  int length = std::snprintf(record, sizeof record, "\n%s(\"%c%i\",%i)",
                             macro.c_str(), file, rank, colour);
  text.append(record, static_cast<std::size_t>(length));
}

void AppendBoard(std::string& text, const GameState& state) {
  for (int file = 0; file < kBoardSize; ++file) {
    for (int rank = 0; rank < kBoardSize; ++rank) {
      const std::string macro = MacroName(TypeAt(state, file, rank));
      if (macro.empty()) continue;
      AppendRecord(text, macro, static_cast<char>('a' + file), rank + 1,
                   static_cast<int>(ColourAt(state, file, rank)));
    }
  }
}

// An entry that names no piece writes nothing but still uses up its place.
void AppendLosses(std::string& text, const CaptureList& list, char file,
                  int firstRank, int rankStep, Side colour) {
  for (int k = 0; k < list.count && k < kCaptureListSize; ++k) {
    const std::string macro = MacroName(list.entries[k]);
    if (macro.empty()) continue;
    AppendRecord(text, macro, file, firstRank + k * rankStep,
                 static_cast<int>(colour));
  }
}

}  // namespace

std::string FormatScene(const GameState& state) {
  std::string text;
  AppendBoard(text, state);
  AppendLosses(text, CapturesBy(state, Black), kWhiteLossFile,
               kFirstWhiteLossRank, +1, White);
  AppendLosses(text, CapturesBy(state, White), kBlackLossFile,
               kFirstBlackLossRank, -1, Black);
  return text;
}

bool WriteScene(std::FILE* out, const GameState& state,
                const GameSummary* details) {
  std::string text = FormatScene(state);
  if (details != nullptr) {
    text += FormatDetails(*details);
    text += FormatAnnotationDetails(details->comments);
  }
  return std::fwrite(text.data(), 1, text.size(), out) == text.size();
}

}  // namespace boardshot
