// Game selection and movetext reading.
//
// Games are counted as blocks of tag lines: a game starts at a tag line that
// follows movetext (or at the start of the file). The movetext of the wanted
// game is walked in the cycle move number, White's half-move, Black's
// half-move, and each half-move is handed to the move interpreter until a
// result, the half-move limit or the end of the game's text.
#include "reader/reader.h"

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <string>
#include <string_view>

#include "board/char_class.h"
#include "board/move.h"
#include "reader/fen.h"
#include "reader/game_scan.h"
#include "reader/game_text.h"
#include "reader/leading_number.h"
#include "reader/movetext.h"

namespace boardshot {
namespace {

// A tag line is read this far for its tags; FEN tags are far shorter.
constexpr std::size_t kTagLineCapacity = 1024;

// Tag values are kept up to this many bytes, their PGN escapes undone.
constexpr std::size_t kTagValueCapacity = 255;

// The tags the reader keeps, by name in lower case; tag names are matched in
// any case, and the first tag of a name counts.
enum TagIndex {
  kFenTag,
  kWhiteTag,
  kBlackTag,
  kEventTag,
  kDateTag,
  kResultTag,
  kKeptTags
};
constexpr const char* kKeptTagNames[kKeptTags] = {"fen",   "white", "black",
                                                  "event", "date",  "result"};

// What the wanted game's tags say.
struct GameHeader {
  bool seen[kKeptTags];
  std::string values[kKeptTags];
  bool fenTooLong;
};

// The kept tag `name` names, or kKeptTags for any other.
int KeptTagIndex(const char* name, std::size_t length) {
  for (int index = 0; index < kKeptTags; ++index) {
    const char* kept = kKeptTagNames[index];
    if (std::strlen(kept) != length) continue;
    std::size_t i = 0;
    while (i < length && (name[i] | 0x20) == kept[i]) ++i;
    if (i == length) return index;
  }
  return kKeptTags;
}

// Passes over a tag value that starts after its opening quote, up to its
// closing quote (or the end of the line), appending it to `value` (when
// given) with the \" and \\ escapes undone, up to kTagValueCapacity bytes.
// Returns the position after the value; `cut` tells that some was left out.
const char* ReadTagValue(const char* p, std::string* value, bool& cut) {
  for (; *p != '\0' && *p != '"'; ++p) {
    if (*p == '\\' && (p[1] == '"' || p[1] == '\\')) ++p;
    if (value == nullptr) continue;
    if (value->size() < kTagValueCapacity) {
      value->push_back(*p);
    } else {
      cut = true;
    }
  }
  return *p == '"' ? p + 1 : p;
}

// Finds the tag pairs in one tag line and keeps the values of the first tag
// of each kept name.
void ReadTagPairs(const char* line, GameHeader& header) {
  for (const char* p = std::strchr(line, '['); p != nullptr;
       p = std::strchr(p, '[')) {
    ++p;
    while (IsTagSpace(*p)) ++p;
    const char* name = p;
    while (IsAsciiLetter(*p) || IsAsciiDigit(*p) || *p == '_') ++p;
    const int index = KeptTagIndex(name, static_cast<std::size_t>(p - name));
    while (IsTagSpace(*p)) ++p;
    if (*p != '"') continue;
    std::string* value = nullptr;
    bool cut = false;
    if (index < kKeptTags && !header.seen[index]) {
      header.seen[index] = true;
      value = &header.values[index];
    }
    p = ReadTagValue(p + 1, value, cut);
    if (index == kFenTag && cut) header.fenTooLong = true;
  }
}

// Reads the tag line at the read position: its tag pairs, up to the line
// end, or up to the movetext that follows the last pair on the same line.
// Returns true when such movetext begins there; the read position is then
// at its first byte, otherwise past the line end.
bool ReadTagLine(GameText& text, GameHeader& header) {
  char pairs[kTagLineCapacity];
  std::size_t length = 0;
  TagLineState state{};
  enum { kRunsOn, kLineEnds, kMovetextFollows } stop = kRunsOn;
  while (stop == kRunsOn && EnsureBytes(text, 1)) {
    for (; text.pos < text.end; ++text.pos) {
      const char c = text.block[text.pos];
      if (c == kLineFeed || c == kCarriageReturn) {
        stop = kLineEnds;
        break;
      }
      if (!TakeTagLineByte(state, c)) {
        stop = kMovetextFollows;
        break;
      }
      if (length + 1 < kTagLineCapacity) pairs[length++] = c;
    }
  }
  if (stop == kLineEnds) NextChar(text);  // the line end, CR LF as one
  pairs[length] = '\0';
  ReadTagPairs(pairs, header);
  return stop == kMovetextFollows;
}

// Where the tag block ends: at the start of a movetext line, inside a tag
// line where movetext follows its tags, or at the end of the input.
enum class TagBlockEnd { kTextLine, kAfterTags, kEndOfInput };

// Passes over tag lines, blank lines and '%' lines; the tag lines are read
// into `header`.
TagBlockEnd SkipTagBlock(GameText& text, GameHeader& header) {
  for (;;) {
    switch (ClassifyLine(text)) {
      case LineKind::kEndOfInput: return TagBlockEnd::kEndOfInput;
      case LineKind::kText: return TagBlockEnd::kTextLine;
      case LineKind::kTag:
        if (ReadTagLine(text, header)) return TagBlockEnd::kAfterTags;
        break;
      case LineKind::kBlank:
      case LineKind::kEscape: SkipRestOfLine(text); break;
    }
  }
}

Status GameMissing(std::int32_t gameNumber, std::FILE* console) {
  std::fprintf(console, "\nGame #%" PRIi32 " does not exist in this file",
               gameNumber);
  return Status::kGameNotInFile;
}

// Leaves the read position at the movetext of game `gameNumber`, its tags
// in `header` and in `tagsEnd` where its tag block ended. Game 1 starts at
// the start of the input, every later one at its first tag line. Returns
// kDone, kGameNotInFile, or kInputNotRead when a read failed on the way.
Status SkipToGame(GameText& text, std::int32_t gameNumber, GameHeader& header,
                  TagBlockEnd& tagsEnd, std::FILE* console) {
  if (gameNumber > 1 && !SkipToGameStart(text, gameNumber)) {
    if (text.readError) return Status::kInputNotRead;
    return GameMissing(gameNumber, console);
  }
  tagsEnd = SkipTagBlock(text, header);
  if (tagsEnd == TagBlockEnd::kEndOfInput && text.readError) {
    return Status::kInputNotRead;
  }
  return Status::kDone;
}

// The state of the walk through one game's movetext.
struct MovetextWalk {
  MovetextCursor cursor;
  MovetextToken token;
  std::int32_t moveNumber;  // the full-move number expected next
  std::int64_t halfMoves;   // half-moves handed on so far
  double halfMoveLimit;
  GameState* state;
  const HalfMoveHandler* applyHalfMove;  // none: half-moves are only counted
  std::FILE* console;                    // none: nothing is printed
  // With a summary the walk goes on past the limit, counting half-moves
  // without applying them and without printing.
  GameSummary* summary;
  bool pastLimit;
};

enum class HalfMoveResult { kGoOn, kGameOver };

bool TokenIs(const MovetextToken& token, std::string_view text) {
  return std::string_view(token.text, token.length) == text;
}

bool IsDigitsOnly(const MovetextToken& token) {
  return std::strspn(token.text, "0123456789") == token.length;
}

bool IsTerminationMarker(const MovetextToken& token) {
  return token.text[0] == '*' || TokenIs(token, "1-0") ||
         TokenIs(token, "0-1") || TokenIs(token, "1/2-1/2") ||
         TokenIs(token, "1/2");
}

// Castling written with zeros: '0-0', '0-0-0', with check or annotation
// marks after it.
bool IsCastlingWithZeros(const MovetextToken& token) {
  std::size_t length = 0;
  if (std::strncmp(token.text, "0-0-0", 5) == 0) {
    length = 5;
  } else if (std::strncmp(token.text, "0-0", 3) == 0) {
    length = 3;
  } else {
    return false;
  }
  return std::strspn(token.text + length, "+#!?") == token.length - length;
}

// A half-move met where a move number belongs: movetext that leaves the
// numbers out ('e4 e5 Nf3').
bool IsMoveWithoutNumber(const MovetextToken& token) {
  return IsAsciiLetter(token.text[0]) || TokenIs(token, "--") ||
         IsCastlingWithZeros(token);
}

// Where a move number belongs, a result ends the game, and so does any
// other token with a '-' in it: castling and the null move are taken as
// moves first, so what is left ('1-0', '0-1', '1/2-1/2', '+-', '--+') is a
// result or an annotation that only comes after the last move.
bool EndsGameWhereNumberBelongs(const MovetextToken& token) {
  return token.text[0] == '*' || std::strchr(token.text, '-') != nullptr ||
         TokenIs(token, "1/2");
}

void Print(const MovetextWalk& walk, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

void Print(const MovetextWalk& walk, const char* format, ...) {
  if (walk.console == nullptr || walk.pastLimit) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(walk.console, format, arguments);
  va_end(arguments);
}

// A move number other than the expected one is reported once: the count
// then follows the file's numbers, so that the numbers after it match again
// and later messages name the moves as the file numbers them.
void CheckMoveNumber(MovetextWalk& walk) {
  const std::int32_t found = LeadingNumber(walk.token.text);
  if (found == walk.moveNumber) return;
  Print(walk, "\nMove %s found, expecting %" PRIi32, walk.token.text,
        walk.moveNumber);
  if (IsAsciiDigit(walk.token.text[0])) walk.moveNumber = found;
}

// Fetches the token of White's or Black's position; a move number written
// there ('1...' after a comment) is checked and passed over. Returns false
// when the game's text ends.
bool FetchHalfMove(MovetextWalk& walk) {
  while (NextToken(walk.cursor, walk.token)) {
    if (!IsDigitsOnly(walk.token)) return true;
    CheckMoveNumber(walk);
  }
  return false;
}

// True when the next half-move lies beyond the limit. Half-moves are
// counted from the game's first position, whichever side makes it.
bool NextBeyondLimit(const MovetextWalk& walk) {
  return static_cast<double>(walk.halfMoves) + 2.0 >=
         LimitMark(walk.halfMoveLimit);
}

// A kind of piece as a message names it ("knight"); a move that names no
// kind is made by a "piece".
std::string LowerCaseName(PieceType type) {
  std::string name = type == Empty ? "Piece" : PieceName(type);
  for (char& c : name) c = static_cast<char>(std::tolower(c));
  return name;
}

const char* SideName(Side side) { return side == White ? "white" : "black"; }

// The half-move as the file writes it: "2. Nf5", "2... Nf5".
std::string MoveAsWritten(const MovetextWalk& walk, Side side) {
  return std::to_string(walk.moveNumber) + (side == White ? ". " : "... ") +
         walk.token.text;
}

// The replay goes on as written, putting the piece on its target; the user
// learns that the picture may hold a piece the game never had.
void WarnNoPieceFound(const MovetextWalk& walk, Side side,
                      const MoveReport& report) {
  Print(walk, "\nNo %s %s can make the move %s", SideName(side),
        LowerCaseName(report.piece).c_str(), MoveAsWritten(walk, side).c_str());
}

// The replay goes on as written, and the board loses a piece a legal game
// would keep (or gains a king or rook); the user learns where.
void WarnMisfit(const MovetextWalk& walk, Side side, const MoveReport& report) {
  if (report.misfit == Misfit::kNone) return;
  const std::string move = MoveAsWritten(walk, side);
  const char* mover = side == White ? "White" : "Black";
  const char square[] = {static_cast<char>('a' + report.misfitSquare.file),
                         static_cast<char>('1' + report.misfitSquare.rank),
                         '\0'};
  switch (report.misfit) {
    case Misfit::kNone: break;
    case Misfit::kNoKing:
    case Misfit::kNoRook:
      Print(walk, "\n%s cannot castle as written in %s: no %s on %s", mover,
            move.c_str(), report.misfit == Misfit::kNoKing ? "king" : "rook",
            square);
      break;
    case Misfit::kSquareTaken:
      Print(walk, "\n%s cannot castle as written in %s: %s holds a %s", mover,
            move.c_str(), square, LowerCaseName(report.misfitPiece).c_str());
      break;
    case Misfit::kOwnPieceOnTarget:
      Print(walk, "\n%s cannot move as written in %s: %s holds its own %s",
            mover, move.c_str(), square,
            LowerCaseName(report.misfitPiece).c_str());
      break;
  }
}

void RecordLastMove(GameSummary& summary, const MovetextWalk& walk, Side side,
                    const MoveReport& report) {
  ++summary.halfMovesApplied;
  summary.sideToMove = side == White ? Black : White;
  summary.hasLastMove = true;
  summary.lastMove = walk.token.text;
  summary.lastMoveNumber = walk.moveNumber;
  summary.lastSide = side;
  summary.lastReport = report;
  summary.comments.clear();
}

// Ends the game at a result or at the half-move limit; otherwise hands the
// token to the move interpreter.
HalfMoveResult PlayHalfMove(MovetextWalk& walk, Side side) {
  if (IsTerminationMarker(walk.token)) return HalfMoveResult::kGameOver;
  if (walk.pastLimit || NextBeyondLimit(walk)) {
    if (walk.summary == nullptr) return HalfMoveResult::kGameOver;
    walk.pastLimit = true;
    walk.cursor.keptComments = nullptr;
  } else if (walk.applyHalfMove != nullptr) {
    MoveReport report;
    if ((*walk.applyHalfMove)(*walk.state, walk.token.text, side, &report) !=
        0) {
      return HalfMoveResult::kGameOver;
    }
    // One warning a half-move: a missing piece explains the rest.
    if (report.moved && !report.sourceFound) {
      WarnNoPieceFound(walk, side, report);
    } else {
      WarnMisfit(walk, side, report);
    }
    if (walk.summary != nullptr) {
      RecordLastMove(*walk.summary, walk, side, report);
    }
  }
  ++walk.halfMoves;
  if (walk.summary != nullptr) walk.summary->halfMoves = walk.halfMoves;
  return HalfMoveResult::kGoOn;
}

// The game's text has ended where the next half-move was to come. That is
// its normal end when the half-move lies beyond the limit anyway (a game
// without a result converted up to its last half-move, or counted on past
// the limit for the details); otherwise the game is cut short, announced
// when `announce` says so. A text ended by a failed read is unknown from
// there on: the position, unless the limit was reached, and the count of all
// the half-moves a summary keeps.
Status TextEnded(const MovetextWalk& walk, bool announce) {
  const bool limitReached = walk.pastLimit || NextBeyondLimit(walk);
  if (walk.cursor.text->readError &&
      (!limitReached || walk.summary != nullptr)) {
    return Status::kInputNotRead;
  }
  if (limitReached) return Status::kDone;
  if (announce) Print(walk, "\nUnexpected end-of-file found");
  return Status::kInputEndedInMovetext;
}

// Walks the movetext from the read position. `firstSide` moves first after
// the first move number. Returns kDone, kInputEndedInMovetext or
// kInputNotRead.
Status ReadMovetext(MovetextWalk& walk, Side firstSide) {
  Side sideAfterNumber = firstSide;
  for (;;) {
    if (!NextToken(walk.cursor, walk.token)) return TextEnded(walk, true);
    const bool numberLeftOut = IsMoveWithoutNumber(walk.token);
    if (!numberLeftOut) {
      if (EndsGameWhereNumberBelongs(walk.token)) return Status::kDone;
      CheckMoveNumber(walk);
    }
    Side side = sideAfterNumber;
    sideAfterNumber = White;
    bool haveToken = numberLeftOut;
    for (;;) {
      if (!haveToken && !FetchHalfMove(walk)) return TextEnded(walk, false);
      haveToken = false;
      if (PlayHalfMove(walk, side) == HalfMoveResult::kGameOver) {
        return Status::kDone;
      }
      if (side == Black) break;
      side = Black;
    }
    if (walk.moveNumber < INT32_MAX) ++walk.moveNumber;
  }
}

void StartSummary(GameSummary& summary, const GameHeader& header,
                  bool fenDescribesBoard, Side firstSide) {
  summary = GameSummary{};
  summary.white = header.values[kWhiteTag];
  summary.black = header.values[kBlackTag];
  summary.event = header.values[kEventTag];
  summary.date = header.values[kDateTag];
  summary.result = header.values[kResultTag];
  summary.startsFromFen = header.seen[kFenTag];
  summary.fenDescribesBoard = fenDescribesBoard;
  summary.sideToMove = firstSide;
}

// The game's first position from its tags: the FEN's when it has one.
// Returns false for a FEN that describes no board.
bool ReadFirstPosition(const GameHeader& header, FenPosition& position) {
  if (!header.seen[kFenTag]) return true;
  return !header.fenTooLong &&
         ParseFen(header.values[kFenTag].c_str(), position);
}

// Starts the walk of a game's movetext, where the tag block ended, from the
// game's first position.
MovetextWalk StartWalk(GameText& text, TagBlockEnd tagsEnd,
                       const FenPosition& first, bool fromFen) {
  MovetextWalk walk{};
  walk.cursor = StartMovetext(text, tagsEnd != TagBlockEnd::kAfterTags);
  walk.moveNumber = fromFen ? first.fullMoveNumber : 1;
  walk.halfMoveLimit = INFINITY;
  return walk;
}

}  // namespace

double LimitMark(double halfMoveLimit) { return halfMoveLimit + 1.0 + 1.0; }

Status ReadGameWith(std::FILE* input, const RunOptions& options,
                    GameState& state, std::FILE* console,
                    const HalfMoveHandler& applyHalfMove,
                    GameSummary* summary) {
  GameText text{};
  OpenGameText(text, input);
  GameHeader header{};
  TagBlockEnd tagsEnd{};
  const Status found =
      SkipToGame(text, options.gameNumber, header, tagsEnd, console);
  if (found != Status::kDone) return found;

  FenPosition first{};
  if (!ReadFirstPosition(header, first)) {
    std::fprintf(console, "\nInvalid FEN in game #%" PRIi32,
                 options.gameNumber);
    return Status::kInvalidFen;
  }
  const bool fromFen = header.seen[kFenTag];
  if (fromFen) state = first.state;
  const Side firstSide = fromFen ? first.sideToMove : White;
  MovetextWalk walk = StartWalk(text, tagsEnd, first, fromFen);
  walk.halfMoveLimit = options.halfMoveLimit;
  walk.state = &state;
  walk.applyHalfMove = &applyHalfMove;
  walk.console = console;
  walk.summary = summary;
  if (summary != nullptr) {
    StartSummary(*summary, header, true, firstSide);
    walk.cursor.keptComments = &summary->comments;
  }
  return ReadMovetext(walk, firstSide);
}

Status ReadGame(std::FILE* input, const RunOptions& options, GameState& state,
                std::FILE* console, GameSummary* summary) {
  return ReadGameWith(input, options, state, console, ApplyMove, summary);
}

Status ReadEveryGame(std::FILE* input, const GameVisitor& visit) {
  GameText text{};
  OpenGameText(text, input);
  MovetextToken rest;
  for (std::int64_t number = 1;; ++number) {
    GameHeader header{};
    const TagBlockEnd tagsEnd = SkipTagBlock(text, header);
    FenPosition first{};
    const bool describesBoard = ReadFirstPosition(header, first);
    const bool fromFen = header.seen[kFenTag] && describesBoard;
    const Side firstSide = fromFen ? first.sideToMove : White;
    GameSummary summary;
    StartSummary(summary, header, describesBoard, firstSide);
    MovetextWalk walk = StartWalk(text, tagsEnd, first, fromFen);
    walk.summary = &summary;
    ReadMovetext(walk, firstSide);
    // The rest of the game's text, after its result, up to the next game's
    // first tag line: where the movetext reader would stop, which is where
    // game selection starts the next game.
    while (NextToken(walk.cursor, rest)) {
    }
    // Only a failed read that ends the text leaves a game unknown.
    const bool lastGame = ClassifyLine(text) == LineKind::kEndOfInput;
    if (lastGame && text.readError) return Status::kInputNotRead;
    visit(number, summary);
    if (lastGame) return Status::kDone;
  }
}

}  // namespace boardshot
