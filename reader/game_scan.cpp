// The game scanner: finds where game n begins without reading the games
// before it token by token.
//
// The scan walks the text as a state machine with four regions:
//
//   tag block     Only line starts matter. A tag line ('[' and a letter,
//                 maybe with blanks before either) is walked as a tag line;
//                 a blank line (spaces or tabs only) or a '%' line keeps the
//                 block going; any other line is the game's first movetext
//                 line, and the scan reads it as movetext.
//   tag line      The tag pairs of a line of the tag block, each from '['
//                 to the first ']' outside its quoted value. The line end
//                 returns to the tag block; a byte after the last pair that
//                 is neither white space nor a '[' begins the movetext.
//   movetext      '{' opens a brace comment and the first '}' after it closes
//                 it, across lines; while one is open nothing else counts.
//                 Outside one, ';' and a line that begins with '%' start a
//                 line comment, and a tag line begins the next game: the scan
//                 stops there if that is the wanted game, and walks it as the
//                 next game's first tag line otherwise.
//   line comment  Everything up to the next line end, which returns to
//                 movetext at the start of the next line.
//
// A line ends at LF, at CR LF or at a CR alone. The scan takes a CR LF pair
// for a line end and an empty line, which changes nothing in any region.
//
// These are the movetext reader's own rules, so both agree on where each
// game starts; an unclosed '{' runs to the end of the input in both.
//
// The text is taken 64 bytes at a time. A kernel (vector compares, or the
// class table of scan_classes.h) turns a chunk into a 64-bit mask per set of
// byte classes, one bit per byte, and the machine asks only for the masks
// its region needs. Line starts are the line-end mask shifted by one, with
// the chunk before's last byte carried in. Most chunks are passed over by a
// few mask operations, without visiting any byte: in the tag block, when
// every line start is a line end or '[' directly followed by a letter, no
// '\' comes up and every ']' is followed by '[' or the line end, so that
// no tag line can end in movetext and only the parity of its quotes needs
// carrying; in movetext, when no ';' and no '[', '%' or blank at a line
// start is in the chunk. There the brace state is set by the chunk's last
// brace, since braces do not nest: of the '{' mask and the '}' mask the
// greater holds it. Other chunks (about two per game: where the movetext
// begins, where the next tag block begins) go through the whole machine,
// which passes the plain lines by the same masks and classifies or walks
// the odd ones byte by byte. A line start is classified from the block
// itself: the scan keeps kLineLookahead bytes past the chunk in the block,
// so no state but the region, the brace flag, the tag line's state and the
// line-start carry crosses a chunk or block edge.
#include "reader/game_scan.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "reader/scan_classes.h"

namespace boardshot {
namespace {

constexpr std::size_t kChunkSize = 64;
// Bytes that must sit in the block for a chunk to be scanned: the chunk and
// the lookahead of a line start at its last byte.
constexpr std::size_t kScanReach = kChunkSize + kLineLookahead;

// ------------------------------------------------------------ the kernels
//
// A kernel holds one chunk and answers Mask(classes): bit i is set when byte
// i belongs to any of `classes` (ScanClass bits).

class PortableChunk {
 public:
  explicit PortableChunk(const char* bytes) : bytes_(bytes) {}

  template <std::uint16_t kClasses>
  std::uint64_t Mask() const {
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < kChunkSize; ++i) {
      const std::uint16_t has =
          kScanClasses[static_cast<unsigned char>(bytes_[i])];
      mask |= static_cast<std::uint64_t>((has & kClasses) != 0) << i;
    }
    return mask;
  }

 private:
  const char* bytes_;
};

#if defined(__x86_64__)

// Letters are the bytes that fold (| 0x20) into 'a'..'z'.
constexpr char kLetterFold = 0x20;
constexpr char kLetterSpan = 'z' - 'a';

// The bytes of `lanes` that belong to any of `kClasses`, as 0xFF bytes.
template <std::uint16_t kClasses>
__m128i Sse2Match(__m128i lanes) {
  __m128i hits = _mm_setzero_si128();
  const auto add = [&](ScanClass scanClass, char c) {
    if (kClasses & scanClass) {
      hits = _mm_or_si128(hits, _mm_cmpeq_epi8(lanes, _mm_set1_epi8(c)));
    }
  };
  BOARDSHOT_FOR_EACH_BYTE_CLASS(add);
  if constexpr ((kClasses & kClassLetter) != 0) {
    const __m128i folded = _mm_sub_epi8(
        _mm_or_si128(lanes, _mm_set1_epi8(kLetterFold)), _mm_set1_epi8('a'));
    hits = _mm_or_si128(
        hits, _mm_cmpeq_epi8(_mm_min_epu8(folded, _mm_set1_epi8(kLetterSpan)),
                             folded));
  }
  return hits;
}

class Sse2Chunk {
 public:
  explicit Sse2Chunk(const char* bytes) {
    for (int part = 0; part < 4; ++part) {
      lanes_[part] =
          _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 16 * part));
    }
  }

  template <std::uint16_t kClasses>
  std::uint64_t Mask() const {
    std::uint64_t mask = 0;
    for (int part = 0; part < 4; ++part) {
      const std::uint32_t bits = static_cast<std::uint32_t>(
          _mm_movemask_epi8(Sse2Match<kClasses>(lanes_[part])));
      mask |= static_cast<std::uint64_t>(bits) << (16 * part);
    }
    return mask;
  }

 private:
  __m128i lanes_[4];
};

#define BOARDSHOT_AVX2 __attribute__((target("avx2")))

template <std::uint16_t kClasses>
BOARDSHOT_AVX2 __m256i Avx2Match(__m256i lanes) {
  __m256i hits = _mm256_setzero_si256();
  const auto add = [&](ScanClass scanClass, char c) BOARDSHOT_AVX2 {
    if (kClasses & scanClass) {
      hits =
          _mm256_or_si256(hits, _mm256_cmpeq_epi8(lanes, _mm256_set1_epi8(c)));
    }
  };
  BOARDSHOT_FOR_EACH_BYTE_CLASS(add);
  if constexpr ((kClasses & kClassLetter) != 0) {
    const __m256i folded =
        _mm256_sub_epi8(_mm256_or_si256(lanes, _mm256_set1_epi8(kLetterFold)),
                        _mm256_set1_epi8('a'));
    hits = _mm256_or_si256(
        hits,
        _mm256_cmpeq_epi8(
            _mm256_min_epu8(folded, _mm256_set1_epi8(kLetterSpan)), folded));
  }
  return hits;
}

class Avx2Chunk {
 public:
  BOARDSHOT_AVX2 explicit Avx2Chunk(const char* bytes)
      : low_(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes))),
        high_(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + 32))) {}

  template <std::uint16_t kClasses>
  BOARDSHOT_AVX2 std::uint64_t Mask() const {
    const std::uint32_t low = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(Avx2Match<kClasses>(low_)));
    const std::uint32_t high = static_cast<std::uint32_t>(
        _mm256_movemask_epi8(Avx2Match<kClasses>(high_)));
    return low | static_cast<std::uint64_t>(high) << 32;
  }

 private:
  __m256i low_;
  __m256i high_;
};

#define BOARDSHOT_AVX512 __attribute__((target("avx512f,avx512bw")))

// AVX-512 compares give the 64-bit masks directly, with no bytes to gather.
class Avx512Chunk {
 public:
  BOARDSHOT_AVX512 explicit Avx512Chunk(const char* bytes)
      : bytes_(_mm512_loadu_si512(bytes)) {}

  template <std::uint16_t kClasses>
  BOARDSHOT_AVX512 std::uint64_t Mask() const {
    std::uint64_t hits = 0;
    const auto add = [&](ScanClass scanClass, char c) BOARDSHOT_AVX512 {
      if (kClasses & scanClass) {
        hits |= _mm512_cmpeq_epi8_mask(bytes_, _mm512_set1_epi8(c));
      }
    };
    BOARDSHOT_FOR_EACH_BYTE_CLASS(add);
    if constexpr ((kClasses & kClassLetter) != 0) {
      const __m512i folded = _mm512_sub_epi8(
          _mm512_or_si512(bytes_, _mm512_set1_epi8(kLetterFold)),
          _mm512_set1_epi8('a'));
      hits |= _mm512_cmple_epu8_mask(folded, _mm512_set1_epi8(kLetterSpan));
    }
    return hits;
  }

 private:
  __m512i bytes_;
};

#endif  // __x86_64__

// Bit i set when byte i of `chunk` belongs to any of `kClasses`.
template <std::uint16_t kClasses, class Chunk>
std::uint64_t MaskOf(const Chunk& chunk) {
  return chunk.template Mask<kClasses>();
}

// ------------------------------------------------------------ the machine

enum class Region { kTagBlock, kTagLine, kMovetext, kLineComment };

struct ScanState {
  Region region;
  bool inBraces;         // a '{' is open (movetext only)
  bool lineStartCarry;   // the chunk begins a line
  TagLineState tagLine;  // where a tag line stands (kTagLine only)
  std::int64_t game;     // the game the scan is in
  std::int64_t wanted;
};

constexpr int kNoGameStart = -1;
constexpr int kNoMovetext = -1;

std::uint64_t Above(int bit) {
  return bit == 63 ? 0 : ~std::uint64_t{0} << (bit + 1);
}
std::uint64_t AtOrAbove(int bit) { return ~std::uint64_t{0} << bit; }
std::uint64_t Below(int bit) { return (std::uint64_t{1} << bit) - 1; }
int Lowest(std::uint64_t mask) { return std::countr_zero(mask); }
int Highest(std::uint64_t mask) { return 63 - std::countl_zero(mask); }
bool OddCount(std::uint64_t mask) { return (std::popcount(mask) & 1) != 0; }

bool IsLineEnd(char c) { return c == kLineFeed || c == kCarriageReturn; }

// Braces do not nest: the last one before a point tells whether a comment
// is open there. Of two masks without common bits, the greater holds the
// highest bit, so no bit search is needed.
bool LastBraceOpens(std::uint64_t opens, std::uint64_t closes) {
  return opens > closes;
}

// Every mask of one chunk, for the chunks that need the whole machine.
struct ChunkMasks {
  std::uint64_t lineEnd;
  std::uint64_t commentOpen;
  std::uint64_t commentClose;
  std::uint64_t lineComment;
  std::uint64_t tagOpen;
  std::uint64_t tagClose;
  std::uint64_t tagQuote;
  std::uint64_t tagEscape;
  std::uint64_t escape;
  std::uint64_t blank;
  std::uint64_t letter;
};

template <class Chunk>
ChunkMasks AllMasks(const Chunk& chunk) {
  return ChunkMasks{
      MaskOf<kClassLineEnd>(chunk),      MaskOf<kClassCommentOpen>(chunk),
      MaskOf<kClassCommentClose>(chunk), MaskOf<kClassLineComment>(chunk),
      MaskOf<kClassTagOpen>(chunk),      MaskOf<kClassTagClose>(chunk),
      MaskOf<kClassTagQuote>(chunk),     MaskOf<kClassTagEscape>(chunk),
      MaskOf<kClassEscape>(chunk),       MaskOf<kClassBlank>(chunk),
      MaskOf<kClassLetter>(chunk),
  };
}

// The bytes that follow a byte of `mask`; the chunk's last byte is followed
// when `lastByteFollows`.
std::uint64_t Following(std::uint64_t mask, bool lastByteFollows) {
  return mask >> 1 | static_cast<std::uint64_t>(lastByteFollows) << 63;
}

// What the tag block needs of a chunk.
struct TagMasks {
  std::uint64_t lineStarts;
  std::uint64_t lineEnds;
  std::uint64_t tagLines;  // line starts holding '[' followed by a letter
  std::uint64_t tagCloses;
  // The bytes after a '[' or a line end, and the chunk's last byte when the
  // byte after the chunk is one of them or the input ends there.
  std::uint64_t closeFollowers;
  std::uint64_t tagEscapes;
  std::uint64_t tagQuotes;
};

// The tag-block masks of a chunk from its masks `m` and line starts;
// `bytes` has `available` readable bytes.
TagMasks MakeTagMasks(const ChunkMasks& m, std::uint64_t lineStarts,
                      const char* bytes, std::size_t available) {
  const bool byteAfter = available > kChunkSize;
  const char after = byteAfter ? bytes[kChunkSize] : kLineFeed;
  return TagMasks{
      lineStarts,
      m.lineEnd,
      lineStarts & m.tagOpen &
          Following(m.letter, byteAfter && IsAsciiLetter(after)),
      m.tagClose,
      Following(m.tagOpen | m.lineEnd, after == kTagOpen || IsLineEnd(after)),
      m.tagEscape,
      m.tagQuote,
  };
}

// A stretch of a tag line can be passed with masks when it holds no '\',
// every ']' in it is followed by '[' or the line end, and, when it starts
// between two pairs, its first byte is a '['. Then no byte of it begins
// movetext, every '"' in it toggles the quoted value, and a pair ends only
// where the next begins or the line ends.
bool PlainTagStretch(const TagLineState& t, std::uint64_t stretch,
                     const TagMasks& m, bool startsWithOpen) {
  return !t.escaped && (m.tagEscapes & stretch) == 0 &&
         (m.tagCloses & stretch & ~m.closeFollowers) == 0 &&
         (t.inPair || startsWithOpen);
}

// The tag line's state after a plain stretch holding `quotes`. It ends in
// a pair, or just after one, when the next byte is a '[' or the line end:
// the state after that byte is the same either way.
void PassPlainTagStretch(TagLineState& t, std::uint64_t quotes) {
  t.inQuote = t.inQuote != OddCount(quotes);
  t.inPair = true;
}

// Passes the bytes `rest` of a chunk in the tag block by masks, when every
// line that starts in them begins with '[' and a letter or is empty, and
// all of them are plain (PlainTagStretch); returns false, changing nothing,
// otherwise. The bytes before the first line end continue the line the scan
// is in; those of a blank or '%' line are held to the same test, which they
// rarely fail.
bool PassPlainTagRest(ScanState& s, const TagMasks& m, std::uint64_t rest,
                      const char* text) {
  if ((m.lineStarts & rest & ~(m.tagLines | m.lineEnds)) != 0) return false;
  const bool inTagLine = s.region == Region::kTagLine;
  const int first = Lowest(rest);
  const bool startsWithOpen =
      !inTagLine || text[first] == kTagOpen || IsLineEnd(text[first]);
  if (!PlainTagStretch(inTagLine ? s.tagLine : TagLineState{}, rest, m,
                       startsWithOpen)) {
    return false;
  }
  const std::uint64_t ends = m.lineEnds & rest;
  if ((ends >> Highest(rest) & 1) != 0) {
    s.region = Region::kTagBlock;
  } else if (ends != 0 || (m.lineStarts >> first & 1) != 0) {
    // A tag line begins after the last line end, or where the rest does.
    s.region = Region::kTagLine;
    s.tagLine = TagLineState{};
    const std::uint64_t lastLine = ends != 0 ? Above(Highest(ends)) : rest;
    PassPlainTagStretch(s.tagLine, m.tagQuotes & rest & lastLine);
  } else if (inTagLine) {
    PassPlainTagStretch(s.tagLine, m.tagQuotes & rest);
  }
  return true;
}

// Walks the bytes `stretch` of a tag line (none a line end) one by one;
// returns the offset of the byte that begins its movetext, or kNoMovetext.
int WalkTagLine(TagLineState& t, std::uint64_t stretch, const char* text) {
  for (; stretch != 0; stretch &= stretch - 1) {
    const int at = Lowest(stretch);
    if (!TakeTagLineByte(t, text[at])) return at;
  }
  return kNoMovetext;
}

// Goes on with the line of the tag block that the scan is at or in, up to
// its end or to the movetext it begins, within `unscanned`.
void ScanTagLine(ScanState& s, const TagMasks& m, std::uint64_t& unscanned,
                 const char* text, std::size_t available) {
  if (s.region == Region::kTagBlock) {
    // Empty lines pass; a tag line is walked; a blank or '%' line is
    // passed whole; any other line begins the movetext.
    const std::uint64_t starts = m.lineStarts & ~m.lineEnds & unscanned;
    if (starts == 0) {
      unscanned = 0;
      return;
    }
    const int at = Lowest(starts);
    const LineKind kind = (m.tagLines >> at & 1) != 0
                              ? LineKind::kTag
                              : ClassifyLineAt(text + at, available - at);
    if (kind == LineKind::kTag) {
      s.region = Region::kTagLine;
      s.tagLine = TagLineState{};
      unscanned &= AtOrAbove(at);
    } else if (kind == LineKind::kText) {
      s.region = Region::kMovetext;
      s.inBraces = false;
      unscanned &= AtOrAbove(at);
    } else {
      unscanned &= Above(at);
    }
    return;
  }
  const std::uint64_t ends = m.lineEnds & unscanned;
  const std::uint64_t stretch =
      ends != 0 ? unscanned & Below(Lowest(ends)) : unscanned;
  const int movetext = WalkTagLine(s.tagLine, stretch, text);
  if (movetext != kNoMovetext) {
    s.region = Region::kMovetext;
    s.inBraces = false;
    unscanned &= AtOrAbove(movetext);
  } else if (ends != 0) {
    s.region = Region::kTagBlock;
    unscanned &= Above(Lowest(ends));
  } else {
    unscanned = 0;
  }
}

// One chunk's part of the scan. `text` has `available` readable bytes (64
// unless the input ends sooner, plus the lookahead) and `m` its masks;
// `valid` marks the bytes of the chunk that are text. Returns the offset of
// the wanted game's first tag line in the chunk, or kNoGameStart.
int ScanChunk(ScanState& s, const ChunkMasks& m, std::uint64_t valid,
              const char* text, std::size_t available) {
  const std::uint64_t lineStarts =
      (m.lineEnd << 1 | static_cast<std::uint64_t>(s.lineStartCarry)) & valid;
  const TagMasks tagMasks = MakeTagMasks(m, lineStarts, text, available);
  std::uint64_t unscanned = valid;
  while (unscanned != 0) {
    switch (s.region) {
      case Region::kTagBlock:
      case Region::kTagLine: {
        // The lines up to the first that begins otherwise than with '['
        // and a letter, or a line end, pass by masks when they are plain;
        // the lines that are not are scanned one by one.
        const std::uint64_t odd =
            lineStarts & unscanned & ~(tagMasks.tagLines | m.lineEnd);
        const std::uint64_t plain =
            odd != 0 ? unscanned & Below(Lowest(odd)) : unscanned;
        if (plain != 0 && PassPlainTagRest(s, tagMasks, plain, text)) {
          unscanned &= ~plain;
        } else {
          ScanTagLine(s, tagMasks, unscanned, text, available);
        }
        break;
      }
      case Region::kMovetext: {
        const std::uint64_t braces =
            (m.commentOpen | m.commentClose) & unscanned;
        const std::uint64_t events =
            (m.lineComment | (lineStarts & (m.tagOpen | m.escape | m.blank))) &
            unscanned;
        if (events == 0) {
          if (braces != 0) {
            s.inBraces = LastBraceOpens(m.commentOpen & unscanned,
                                        m.commentClose & unscanned);
          }
          return kNoGameStart;
        }
        const int at = Lowest(events);
        const std::uint64_t bracesBefore = braces & Below(at);
        if (bracesBefore != 0) {
          s.inBraces = LastBraceOpens(m.commentOpen & bracesBefore,
                                      m.commentClose & bracesBefore);
        }
        unscanned &= Above(at);
        if (s.inBraces) break;
        if (text[at] == kLineCommentMark || text[at] == kEscapeMark) {
          s.region = Region::kLineComment;  // ';' or a '%' line
          break;
        }
        if (ClassifyLineAt(text + at, available - at) != LineKind::kTag) {
          break;
        }
        if (++s.game == s.wanted) return at;
        // The next game's tag block begins with this tag line, walked from
        // its first byte.
        s.region = Region::kTagLine;
        s.tagLine = TagLineState{};
        unscanned |= std::uint64_t{1} << at;
        break;
      }
      case Region::kLineComment: {
        const std::uint64_t lineEnds = m.lineEnd & unscanned;
        if (lineEnds == 0) return kNoGameStart;
        unscanned &= Above(Lowest(lineEnds));
        s.region = Region::kMovetext;
        break;
      }
    }
  }
  return kNoGameStart;
}

// Passes a full chunk of the tag block by masks when it is plain
// (PassPlainTagRest); returns false, changing nothing, otherwise.
template <class Chunk>
bool PlainTagLines(ScanState& s, const Chunk& chunk, const char* bytes,
                   std::size_t available) {
  ChunkMasks m{};
  m.lineEnd = MaskOf<kClassLineEnd>(chunk);
  m.tagOpen = MaskOf<kClassTagOpen>(chunk);
  m.tagClose = MaskOf<kClassTagClose>(chunk);
  m.tagQuote = MaskOf<kClassTagQuote>(chunk);
  m.tagEscape = MaskOf<kClassTagEscape>(chunk);
  m.letter = MaskOf<kClassLetter>(chunk);
  const TagMasks tagMasks =
      MakeTagMasks(m, m.lineEnd << 1 | s.lineStartCarry, bytes, available);
  if (!PassPlainTagRest(s, tagMasks, ~std::uint64_t{0}, bytes)) return false;
  s.lineStartCarry = m.lineEnd >> 63;
  return true;
}

// True when a full movetext chunk holds no ';' and no line that begins with
// '[', '%' or a blank: then only its last brace, if any, changes the scan.
template <class Chunk>
bool PlainMovetext(ScanState& s, const Chunk& chunk) {
  const std::uint64_t lineEnds = MaskOf<kClassLineEnd>(chunk);
  const std::uint64_t events =
      MaskOf<kClassLineComment>(chunk) |
      ((lineEnds << 1 | s.lineStartCarry) &
       MaskOf<kClassTagOpen | kClassEscape | kClassBlank>(chunk));
  if (events != 0) return false;
  const std::uint64_t opens = MaskOf<kClassCommentOpen>(chunk);
  const std::uint64_t closes = MaskOf<kClassCommentClose>(chunk);
  const bool lastOpens = LastBraceOpens(opens, closes);
  s.inBraces = (opens | closes) != 0 ? lastOpens : s.inBraces;
  s.lineStartCarry = lineEnds >> 63;
  return true;
}

// Passes over the plain chunks of the current region from `bytes` on, up
// to the chunk that starts at `last`; returns the first chunk not passed.
// `end` is the end of the text in the block. The state is kept in a local
// copy, which the compiler may hold in registers.
template <class Chunk>
const char* PassPlainChunks(ScanState& state, const char* bytes,
                            const char* last, const char* end) {
  ScanState s = state;
  switch (s.region) {
    case Region::kMovetext:
      for (; bytes <= last; bytes += kChunkSize) {
        if (!PlainMovetext(s, Chunk(bytes))) break;
      }
      break;
    case Region::kTagBlock:
    case Region::kTagLine:
      for (; bytes <= last; bytes += kChunkSize) {
        const std::size_t available = static_cast<std::size_t>(end - bytes);
        if (!PlainTagLines(s, Chunk(bytes), bytes, available)) break;
      }
      break;
    case Region::kLineComment: break;
  }
  state = s;
  return bytes;
}

// ScanChunk on the chunk at `bytes` (its masks) and `text` (its bytes, the
// same unless the chunk is a padded copy). Kept out of the fast loops,
// which need one to three masks of most chunks, not all of them.
using WholeChunkScan = int (*)(ScanState& s, const char* bytes,
                               std::uint64_t valid, const char* text,
                               std::size_t available);

template <class Chunk>
[[gnu::noinline]] int ScanWholeChunk(ScanState& s, const char* bytes,
                                     std::uint64_t valid, const char* text,
                                     std::size_t available) {
  return ScanChunk(s, AllMasks(Chunk(bytes)), valid, text, available);
}

// Scans the last, partial chunk of the input; its masks come from a padded
// copy.
template <WholeChunkScan kScanWhole>
bool ScanLastChunk(GameText& text, ScanState& s) {
  const std::size_t available = text.end - text.pos;
  if (available == 0) return false;
  char padded[kChunkSize] = {};
  std::memcpy(padded, text.block + text.pos, available);
  const std::uint64_t valid = (std::uint64_t{1} << available) - 1;
  const int at = kScanWhole(s, padded, valid, text.block + text.pos, available);
  if (at == kNoGameStart) {
    text.pos = text.end;
    return false;
  }
  text.pos += at;
  return true;
}

// Scans from the read position to the end of the input or the wanted game.
template <class Chunk, WholeChunkScan kScanWhole>
bool ScanText(GameText& text, ScanState& s) {
  for (;;) {
    if (text.end - text.pos < kScanReach) {
      EnsureBytes(text, kScanReach);
      if (text.end - text.pos < kChunkSize)
        return ScanLastChunk<kScanWhole>(text, s);
    }
    // The chunks that can be scanned before the block needs more text.
    const char* end = text.block + text.end;
    const char* last = end - (text.finished ? kChunkSize : kScanReach);
    const char* bytes =
        PassPlainChunks<Chunk>(s, text.block + text.pos, last, end);
    text.pos = static_cast<std::size_t>(bytes - text.block);
    if (bytes > last) continue;
    const int at = kScanWhole(s, bytes, ~std::uint64_t{0}, bytes,
                              static_cast<std::size_t>(end - bytes));
    if (at != kNoGameStart) {
      text.pos += at;
      return true;
    }
    s.lineStartCarry = IsLineEnd(bytes[kChunkSize - 1]);
    text.pos += kChunkSize;
  }
}

bool ScanPortable(GameText& text, ScanState& s) {
  return ScanText<PortableChunk, ScanWholeChunk<PortableChunk>>(text, s);
}

#if defined(__x86_64__)
bool ScanSse2(GameText& text, ScanState& s) {
  return ScanText<Sse2Chunk, ScanWholeChunk<Sse2Chunk>>(text, s);
}

// The AVX2 functions are compiled for AVX2 with every call inlined, so no
// vector crosses a call.
__attribute__((target("avx2"), flatten, noinline)) int ScanWholeChunkAvx2(
    ScanState& s, const char* bytes, std::uint64_t valid, const char* text,
    std::size_t available) {
  return ScanChunk(s, AllMasks(Avx2Chunk(bytes)), valid, text, available);
}

__attribute__((target("avx2"), flatten)) bool ScanAvx2(GameText& text,
                                                       ScanState& s) {
  return ScanText<Avx2Chunk, ScanWholeChunkAvx2>(text, s);
}

__attribute__((target("avx512f,avx512bw"), flatten, noinline)) int
ScanWholeChunkAvx512(ScanState& s, const char* bytes, std::uint64_t valid,
                     const char* text, std::size_t available) {
  return ScanChunk(s, AllMasks(Avx512Chunk(bytes)), valid, text, available);
}

__attribute__((target("avx512f,avx512bw"), flatten)) bool ScanAvx512(
    GameText& text, ScanState& s) {
  return ScanText<Avx512Chunk, ScanWholeChunkAvx512>(text, s);
}
#endif

}  // namespace

bool KernelRuns(MaskKernel kernel) {
  switch (kernel) {
    case MaskKernel::kPortable:
    case MaskKernel::kBest: return true;
#if defined(__x86_64__)
    case MaskKernel::kSse2: return true;
    case MaskKernel::kAvx2: return __builtin_cpu_supports("avx2");
    case MaskKernel::kAvx512:
      return __builtin_cpu_supports("avx512f") &&
             __builtin_cpu_supports("avx512bw");
#else
    case MaskKernel::kSse2:
    case MaskKernel::kAvx2:
    case MaskKernel::kAvx512: return false;
#endif
  }
  return false;
}

bool SkipToGameStart(GameText& text, std::int64_t gameNumber,
                     MaskKernel kernel) {
  ScanState s{Region::kTagBlock, false, true, {}, 1, gameNumber};
#if defined(__x86_64__)
  if (kernel == MaskKernel::kBest) {
    kernel = KernelRuns(MaskKernel::kAvx512) ? MaskKernel::kAvx512
             : KernelRuns(MaskKernel::kAvx2) ? MaskKernel::kAvx2
                                             : MaskKernel::kSse2;
  }
  if (kernel == MaskKernel::kAvx512) return ScanAvx512(text, s);
  if (kernel == MaskKernel::kAvx2) return ScanAvx2(text, s);
  if (kernel == MaskKernel::kSse2) return ScanSse2(text, s);
#endif
  return ScanPortable(text, s);
}

}  // namespace boardshot
