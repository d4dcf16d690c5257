// Lists the games of a file as tab-separated lines.
#include "list/game_list.h"

#include <cinttypes>
#include <string>

#include "board/tag_text.h"
#include "reader/reader.h"

namespace boardshot {
namespace {

// A tag value as one field of UTF-8 text, its characters read as the scene's
// details read them. A control character becomes a space: a tab or a line
// break inside it would start another field or another game's line.
std::string Field(const std::string& value) {
  std::string field;
  for (std::size_t at = 0, used = 0; at < value.size(); at += used) {
    const char32_t code = TagCharacter(value, at, used);
    AppendUtf8(field, IsControlCharacter(code) ? U' ' : code);
  }
  return field;
}

const char* FenColumn(const GameSummary& game) {
  if (!game.startsFromFen) return "no";
  return game.fenDescribesBoard ? "yes" : "invalid";
}

}  // namespace

Status WriteGameList(std::FILE* input, std::FILE* out) {
  std::fputs("Game\tWhite\tBlack\tResult\tDate\tEvent\tHalf-moves\tFEN\n", out);
  const Status status = ReadEveryGame(input, [out](std::int64_t number,
                                                   const GameSummary& game) {
    std::fprintf(out, "%" PRId64 "\t%s\t%s\t%s\t%s\t%s\t%" PRId64 "\t%s\n",
                 number, Field(game.white).c_str(), Field(game.black).c_str(),
                 Field(game.result).c_str(), Field(game.date).c_str(),
                 Field(game.event).c_str(), game.halfMoves, FenColumn(game));
  });
  if (status != Status::kDone) return status;
  // A full disk may only show when the buffered lines reach it.
  const bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
  return written ? Status::kDone : Status::kOutputNotWritten;
}

}  // namespace boardshot
