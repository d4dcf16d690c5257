// Reading [%csl] and [%cal] commands out of comment text.
#include "annotations/annotations.h"

#include <algorithm>

namespace boardshot {
namespace {

constexpr std::string_view kColours = "GRYB";
constexpr std::string_view kMarkCommand = "[%csl";
constexpr std::string_view kArrowCommand = "[%cal";
// A list ends at the command's ']', or where its comment or the next command
// begins for want of one.
constexpr std::string_view kListEnds = "]}[";
constexpr char kEntrySeparator = ',';
constexpr std::string_view kBlanks = " \t\n";

bool ReadSquare(std::string_view text, Coord& square) {
  if (text.size() != 2 || text[0] < 'a' || text[0] > 'h' || text[1] < '1' ||
      text[1] > '8') {
    return false;
  }
  square = Coord{text[0] - 'a', text[1] - '1'};
  return true;
}

bool IsColour(char c) { return kColours.find(c) != std::string_view::npos; }

bool SameSquare(const Coord& a, const Coord& b) {
  return a.file == b.file && a.rank == b.rank;
}

void AddMark(Annotations& annotations, std::string_view entry) {
  MarkedSquare mark{};
  if (entry.size() != 3 || !IsColour(entry[0]) ||
      !ReadSquare(entry.substr(1), mark.square)) {
    return;
  }
  mark.colour = entry[0];
  auto& squares = annotations.squares;
  const auto same = std::find_if(
      squares.begin(), squares.end(),
      [&](const MarkedSquare& m) { return SameSquare(m.square, mark.square); });
  if (same != squares.end()) {
    same->colour = mark.colour;
  } else if (squares.size() < kMostMarkedSquares) {
    squares.push_back(mark);
  }
}

void AddArrow(Annotations& annotations, std::string_view entry) {
  Arrow arrow{};
  if (entry.size() != 5 || !IsColour(entry[0]) ||
      !ReadSquare(entry.substr(1, 2), arrow.from) ||
      !ReadSquare(entry.substr(3), arrow.to) ||
      SameSquare(arrow.from, arrow.to)) {
    return;
  }
  arrow.colour = entry[0];
  auto& arrows = annotations.arrows;
  const auto same =
      std::find_if(arrows.begin(), arrows.end(), [&](const Arrow& a) {
        return SameSquare(a.from, arrow.from) && SameSquare(a.to, arrow.to);
      });
  if (same != arrows.end()) {
    same->colour = arrow.colour;
  } else if (arrows.size() < kMostArrows) {
    arrows.push_back(arrow);
  }
}

std::string_view Trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// Reads the entries of the command list `list` with `add`.
template <typename Add>
void ReadEntries(std::string_view list, Annotations& annotations, Add add) {
  while (!list.empty()) {
    const std::size_t comma = list.find(kEntrySeparator);
    add(annotations, Trimmed(list.substr(0, comma)));
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
}

std::string SquareText(const Coord& square) {
  return {static_cast<char>('a' + square.file),
          static_cast<char>('1' + square.rank)};
}

}  // namespace

Annotations ReadAnnotations(std::string_view comments) {
  Annotations annotations;
  for (std::size_t at = comments.find("[%"); at != std::string_view::npos;
       at = comments.find("[%", at + 1)) {
    const std::string_view rest = comments.substr(at);
    const bool marks = rest.starts_with(kMarkCommand);
    if (!marks && !rest.starts_with(kArrowCommand)) continue;
    // The command's name ends at white space: '[%cals ...]' is another.
    const std::size_t name = kMarkCommand.size();
    if (rest.size() <= name || kBlanks.find(rest[name]) == std::string::npos) {
      continue;
    }
    const std::string_view list =
        rest.substr(name, rest.find_first_of(kListEnds, name) - name);
    if (marks) {
      ReadEntries(list, annotations, AddMark);
    } else {
      ReadEntries(list, annotations, AddArrow);
    }
  }
  return annotations;
}

std::string MarkedSquaresText(const Annotations& annotations) {
  std::string text;
  for (const MarkedSquare& mark : annotations.squares) {
    if (!text.empty()) text += kEntrySeparator;
    text += mark.colour + SquareText(mark.square);
  }
  return text;
}

std::string ArrowsText(const Annotations& annotations) {
  std::string text;
  for (const Arrow& arrow : annotations.arrows) {
    if (!text.empty()) text += kEntrySeparator;
    text += arrow.colour + SquareText(arrow.from) + SquareText(arrow.to);
  }
  return text;
}

}  // namespace boardshot
