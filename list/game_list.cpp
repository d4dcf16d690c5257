// Lists the games of a file as tab-separated lines.
#include "list/game_list.h"

#include <cinttypes>
#include <string>

#include "board/tag_text.h"
#include "reader/reader.h"

namespace boardshot {
namespace {

const char* FenColumn(const GameSummary& game) {
  if (!game.startsFromFen) return "no";
  return game.fenDescribesBoard ? "yes" : "invalid";
}

}  // namespace

Status WriteGameList(std::FILE* input, std::FILE* out) {
  std::fputs("Game\tWhite\tBlack\tResult\tDate\tEvent\tHalf-moves\tFEN\n", out);
  const Status status = ReadEveryGame(input, [out](std::int64_t number,
                                                   const GameSummary& game) {
    std::fprintf(
        out, "%" PRId64 "\t%s\t%s\t%s\t%s\t%s\t%" PRId64 "\t%s\n", number,
        ListFieldText(game.white).c_str(), ListFieldText(game.black).c_str(),
        ListFieldText(game.result).c_str(), ListFieldText(game.date).c_str(),
        ListFieldText(game.event).c_str(), game.halfMoves, FenColumn(game));
  });
  if (status != Status::kDone) return status;
  // A full disk may only show when the buffered lines reach it.
  const bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
  return written ? Status::kDone : Status::kOutputNotWritten;
}

}  // namespace boardshot
