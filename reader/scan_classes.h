// The class table the game scanner builds its bit masks from: one bit per
// class of byte it looks for, from the byte constants of board/char_class.h,
// which its vector kernels compare with too.
#pragma once

#include <array>
#include <cstdint>

#include "board/char_class.h"

namespace boardshot {

// One bit per class the game scanner looks for.
enum ScanClass : std::uint16_t {
  kClassLineFeed = 1 << 0,
  kClassCarriageReturn = 1 << 1,
  kClassCommentOpen = 1 << 2,
  kClassCommentClose = 1 << 3,
  kClassLineComment = 1 << 4,
  kClassTagOpen = 1 << 5,
  kClassTagClose = 1 << 6,
  kClassTagQuote = 1 << 7,
  kClassTagEscape = 1 << 8,
  kClassEscape = 1 << 9,
  kClassBlank = 1 << 10,
  kClassLetter = 1 << 11,
  kClassLineEnd = kClassLineFeed | kClassCarriageReturn,
};

// Calls ADD(class, byte) for each class that stands for one byte or a few
// (a class named twice holds both bytes); letters are a class of their own,
// a range. A macro, so that each vector kernel of the scanner expands the
// compares inside its own instruction set.
#define BOARDSHOT_FOR_EACH_BYTE_CLASS(ADD)    \
  ADD(kClassLineFeed, kLineFeed);             \
  ADD(kClassCarriageReturn, kCarriageReturn); \
  ADD(kClassCommentOpen, kCommentOpen);       \
  ADD(kClassCommentClose, kCommentClose);     \
  ADD(kClassLineComment, kLineCommentMark);   \
  ADD(kClassTagOpen, kTagOpen);               \
  ADD(kClassTagClose, kTagClose);             \
  ADD(kClassTagQuote, kTagQuote);             \
  ADD(kClassTagEscape, kTagEscape);           \
  ADD(kClassEscape, kEscapeMark);             \
  ADD(kClassBlank, ' ');                      \
  ADD(kClassBlank, '\t')

constexpr std::uint16_t ScanClassOf(char c) {
  std::uint16_t classes = IsAsciiLetter(c) ? kClassLetter : 0;
  const auto add = [&](ScanClass scanClass, char byte) {
    if (c == byte) classes |= scanClass;
  };
  BOARDSHOT_FOR_EACH_BYTE_CLASS(add);
  return classes;
}

// The classes of every byte value, for the scanner's portable kernel.
inline constexpr std::array<std::uint16_t, 256> kScanClasses = [] {
  std::array<std::uint16_t, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = ScanClassOf(static_cast<char>(byte));
  }
  return table;
}();

}  // namespace boardshot
