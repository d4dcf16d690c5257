// Reading and listing files of FEN and EPD lines.
#include "position/fen_file.h"

#include <algorithm>
#include <cinttypes>
#include <memory>
#include <string>

#include "board/char_class.h"
#include "board/tag_text.h"
#include "reader/fen.h"
#include "reader/game_text.h"

namespace boardshot {
namespace {

// A line is kept this far; a FEN is far shorter, and an EPD line's `id`
// rarely stands beyond it. The rest of a longer line is read and dropped.
constexpr std::size_t kPositionLineCapacity = 1024;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kPlacementCharacters = "pnbrqkPNBRQK12345678/";
constexpr int kRankSeparators = 7;

// Reads the next line that holds more than white space into `line`, up to
// kPositionLineCapacity bytes. Returns false at the end of the input, and
// where a failed read cut the line short.
bool NextPositionLine(GameText& text, std::string& line) {
  line.clear();
  for (int c = NextChar(text); c != EOF; c = NextChar(text)) {
    if (c == kLineFeed) {
      if (line.find_first_not_of(" \t\v\f") != std::string::npos) return true;
      line.clear();
    } else if (line.size() < kPositionLineCapacity) {
      line.push_back(static_cast<char>(c));
    }
  }
  // A last line without its line end is whole only if the input ended there.
  return !text.readError &&
         line.find_first_not_of(" \t\v\f") != std::string::npos;
}

// The first `count` white-space separated fields of `line`, as written.
std::string_view LeadingFields(std::string_view line, int count) {
  std::size_t at = 0;
  while (at < line.size() && IsBlank(line[at])) ++at;
  const std::size_t start = at;
  std::size_t end = at;
  for (int field = 0; field < count && at < line.size(); ++field) {
    while (at < line.size() && !IsBlank(line[at])) ++at;
    end = at;
    while (at < line.size() && IsBlank(line[at])) ++at;
  }
  return line.substr(start, end - start);
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Where the EPD operation that starts `operations` ends: at its ';', or at
// the end. A quoted operand may hold ';' and, escaped, '"' and '\\'.
std::size_t OperationEnd(std::string_view operations) {
  bool quoted = false;
  for (std::size_t at = 0; at < operations.size(); ++at) {
    const char c = operations[at];
    if (quoted && c == '\\') {
      ++at;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == ';' && !quoted) {
      return at;
    }
  }
  return operations.size();
}

// A quoted EPD operand without its quotes and escapes.
std::string Unquoted(std::string_view operand) {
  if (!operand.starts_with('"')) return std::string(operand);
  std::string text;
  for (std::size_t at = 1; at < operand.size() && operand[at] != '"'; ++at) {
    if (operand[at] == '\\' && at + 1 < operand.size()) ++at;
    text.push_back(operand[at]);
  }
  return text;
}

// The operand of the EPD operation `id` among the operations after the
// four position fields ('bm Qg6; id "WAC.001";'); empty when there is none.
std::string EpdId(std::string_view line) {
  const std::string_view position = LeadingFields(line, 4);
  std::string_view rest =
      line.substr(static_cast<std::size_t>(position.data() - line.data()) +
                  position.size());
  while (!rest.empty()) {
    const std::size_t end = OperationEnd(rest);
    const std::string_view operation = Trimmed(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (operation.starts_with("id") && operation.size() > 2 &&
        IsBlank(operation[2])) {
      return Unquoted(Trimmed(operation.substr(3)));
    }
  }
  return {};
}

// Fills in the summary of a position without moves.
void SummarizePosition(GameSummary& summary, const FenPosition& position) {
  summary = GameSummary{};
  summary.startsFromFen = true;
  summary.fenDescribesBoard = true;
  summary.sideToMove = position.sideToMove;
}

Status TakePosition(const std::string& line, std::int32_t number,
                    GameState& state, std::FILE* console,
                    GameSummary* summary) {
  FenPosition position{};
  if (!ParseFen(line.c_str(), position)) {
    std::fprintf(console, "\nInvalid FEN in game #%" PRIi32, number);
    return Status::kInvalidFen;
  }
  state = position.state;
  if (summary != nullptr) SummarizePosition(*summary, position);
  return Status::kDone;
}

}  // namespace

bool LooksLikePositions(std::string_view start) {
  if (start.starts_with(kByteOrderMark)) start.remove_prefix(3);
  const std::size_t first = start.find_first_not_of(" \t\r\n\v\f\x1A");
  if (first == std::string_view::npos) return false;
  const std::size_t end = start.find_first_of(" \t\r\n\v\f", first);
  if (end == std::string_view::npos) return false;
  const std::string_view word = start.substr(first, end - first);
  return word.find_first_not_of(kPlacementCharacters) ==
             std::string_view::npos &&
         std::count(word.begin(), word.end(), '/') == kRankSeparators;
}

Status ReadPositionFromFile(std::FILE* input, std::int32_t number,
                            GameState& state, std::FILE* console,
                            GameSummary* summary) {
  const auto text = std::make_unique<GameText>();
  OpenGameText(*text, input);
  std::string line;
  for (std::int32_t seen = 0; seen < number; ++seen) {
    if (!NextPositionLine(*text, line)) {
      if (text->readError) return Status::kInputNotRead;
      std::fprintf(console, "\nGame #%" PRIi32 " does not exist in this file",
                   number);
      return Status::kGameNotInFile;
    }
  }
  return TakePosition(line, number, state, console, summary);
}

Status ReadPositionFromText(std::string_view fen, GameState& state,
                            std::FILE* console, GameSummary* summary) {
  // Only the first line counts, as in a file; a NUL ends the text.
  const std::string line(fen.substr(0, fen.find_first_of("\r\n")));
  return TakePosition(line, 1, state, console, summary);
}

Status WritePositionList(std::FILE* input, std::FILE* out) {
  std::fputs("Position\tId\tSide to move\tFEN\n", out);
  const auto text = std::make_unique<GameText>();
  OpenGameText(*text, input);
  std::string line;
  for (std::int64_t number = 1; NextPositionLine(*text, line); ++number) {
    FenPosition position{};
    const char* side = "invalid";
    if (ParseFen(line.c_str(), position)) {
      side = position.sideToMove == White ? "white" : "black";
    }
    std::fprintf(out, "%" PRId64 "\t%s\t%s\t%s\n", number,
                 ListFieldText(EpdId(line)).c_str(), side,
                 ListFieldText(LeadingFields(line, 4)).c_str());
  }
  if (text->readError) return Status::kInputNotRead;
  // A full disk may only show when the buffered lines reach it.
  const bool written = std::fflush(out) == 0 && std::ferror(out) == 0;
  return written ? Status::kDone : Status::kOutputNotWritten;
}

}  // namespace boardshot
