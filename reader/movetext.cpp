// The movetext tokenizer: comments, variations, escape lines and annotation
// tokens are consumed here, so the move cycle sees only the words it counts.
#include "reader/movetext.h"

#include <cstdio>
#include <cstring>

#include "board/char_class.h"

namespace boardshot {
namespace {

// Check and evaluation marks written apart from their move: '+', '!?',
// '+/-', '='; the en passant mark 'ep' (its dotted form leaves an empty
// word). The null move '--' is a half-move, not an annotation.
bool IsAnnotationOnly(const MovetextToken& token) {
  if (std::strcmp(token.text, "--") == 0) return false;
  if (std::strcmp(token.text, "ep") == 0) return true;
  return std::strspn(token.text, "!?+-/=#") == token.length;
}

bool IsNumericAnnotation(const MovetextToken& token) {
  return token.text[0] == '$';
}

// Reads the rest of the token that begins with `first`. Characters beyond
// the token's capacity are read and dropped, so they never start a token of
// their own.
void ReadWord(GameText& text, int first, MovetextToken& token) {
  token.text[0] = static_cast<char>(first);
  token.length = 1;
  for (;;) {
    const int c = PeekChar(text);
    if (c == EOF || EndsToken(c)) break;
    NextChar(text);
    if (token.length + 1 < kTokenCapacity) {
      token.text[token.length++] = static_cast<char>(c);
    }
  }
  token.text[token.length] = '\0';
}

// The en passant mark written with dots, 'e.p.', as a separate token or
// after its move: since '.' separates tokens it would otherwise become the
// tokens 'e' and 'p', each taken for a half-move. No move ends in 'e', so a
// word that ends in 'e' before '.p' ends in this mark: the 'e' is dropped
// from the word and the '.p' or '.p.' after it is read.
void DropEnPassantMark(GameText& text, MovetextToken& token) {
  if (token.text[token.length - 1] != 'e') return;
  EnsureBytes(text, 3);
  const char* next = text.block + text.pos;
  const std::size_t available = text.end - text.pos;
  if (available < 2 || next[0] != '.' || next[1] != 'p') return;
  std::size_t markLength = 2;
  if (available > 2) {
    if (next[2] == '.') {
      markLength = 3;
    } else if (!EndsToken(static_cast<unsigned char>(next[2]))) {
      return;
    }
  }
  text.pos += markLength;
  token.text[--token.length] = '\0';
}

// The results a move may carry at its end, the longest first.
constexpr std::string_view kResults[] = {"1/2-1/2", "1-0", "0-1", "*"};

// Cuts a result written onto a move ('h6*', 'Qxf7#1-0') off the token and
// keeps it as the cursor's next token. Only a token that begins with a
// letter is cut, so no number, result or castling with zeros ever is.
void SplitResultOffMove(MovetextCursor& cursor, MovetextToken& token) {
  if (!IsAsciiLetter(token.text[0])) return;
  const std::string_view text(token.text, token.length);
  for (const std::string_view result : kResults) {
    if (text.size() > result.size() && text.ends_with(result)) {
      token.length -= result.size();
      token.text[token.length] = '\0';
      cursor.pendingResult = result;
      return;
    }
  }
}

// Passes over a brace comment up to and including the first '}', keeping
// its text and the '}' in `kept` when given. Returns false when the input
// ends inside it.
bool SkipComment(GameText& text, std::string* kept) {
  if (kept == nullptr) return SkipPast(text, kCommentClose);
  for (int c = NextChar(text); c != EOF; c = NextChar(text)) {
    if (kept->size() < kKeptCommentCapacity)
      kept->push_back(static_cast<char>(c));
    if (c == kCommentClose) return true;
  }
  return false;
}

// Handles what a line's first characters say. Returns false when the game's
// text ends here.
bool EnterLine(MovetextCursor& cursor) {
  for (;;) {
    switch (ClassifyLine(*cursor.text)) {
      case LineKind::kEndOfInput:
      case LineKind::kTag: return false;
      case LineKind::kEscape:
        if (!SkipRestOfLine(*cursor.text)) return false;
        continue;
      case LineKind::kBlank:
      case LineKind::kText: cursor.atLineStart = false; return true;
    }
  }
}

}  // namespace

MovetextCursor StartMovetext(GameText& text, bool atLineStart) {
  return MovetextCursor{&text, atLineStart, 0, {}, nullptr};
}

bool NextToken(MovetextCursor& cursor, MovetextToken& token) {
  if (!cursor.pendingResult.empty()) {
    token.length = cursor.pendingResult.size();
    cursor.pendingResult.copy(token.text, token.length);
    token.text[token.length] = '\0';
    cursor.pendingResult = {};
    return true;
  }
  GameText& text = *cursor.text;
  for (;;) {
    if (cursor.atLineStart && !EnterLine(cursor)) return false;
    const int c = NextChar(text);
    if (c == EOF) return false;
    if (c == '\n') {
      cursor.atLineStart = true;
    } else if (c == '{') {
      // A variation's comments belong to its own positions.
      std::string* kept =
          cursor.variationDepth == 0 ? cursor.keptComments : nullptr;
      if (!SkipComment(text, kept)) return false;
    } else if (c == ';') {
      if (!SkipRestOfLine(text)) return false;
      cursor.atLineStart = true;
    } else if (c == '(') {
      ++cursor.variationDepth;
    } else if (c == ')') {
      // A ')' without its '(' closes nothing.
      if (cursor.variationDepth > 0) --cursor.variationDepth;
    } else if (!EndsToken(c)) {
      ReadWord(text, c, token);
      DropEnPassantMark(text, token);
      if (cursor.variationDepth > 0 || IsNumericAnnotation(token) ||
          IsAnnotationOnly(token)) {
        continue;
      }
      SplitResultOffMove(cursor, token);
      return true;
    }
  }
}

}  // namespace boardshot
