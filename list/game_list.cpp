// Lists the games of a file as tab-separated lines.
#include "list/game_list.h"

#include <cinttypes>
#include <string>

#include "reader/reader.h"

namespace boardshot {
namespace {

// A tag value as one field: a tab or a line break inside it would start
// another field or another game's line.
std::string Field(const std::string& value) {
  std::string field = value;
  for (char& c : field) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  }
  return field;
}

const char* FenColumn(const GameSummary& game) {
  if (!game.startsFromFen) return "no";
  return game.fenDescribesBoard ? "yes" : "invalid";
}

}  // namespace

bool WriteGameList(std::FILE* input, std::FILE* out) {
  std::fputs("Game\tWhite\tBlack\tResult\tDate\tEvent\tHalf-moves\tFEN\n", out);
  const Status status = ReadEveryGame(input, [out](std::int64_t number,
                                                   const GameSummary& game) {
    std::fprintf(out, "%" PRId64 "\t%s\t%s\t%s\t%s\t%s\t%" PRId64 "\t%s\n",
                 number, Field(game.white).c_str(), Field(game.black).c_str(),
                 Field(game.result).c_str(), Field(game.date).c_str(),
                 Field(game.event).c_str(), game.halfMoves, FenColumn(game));
  });
  return status == Status::kDone;
}

}  // namespace boardshot
