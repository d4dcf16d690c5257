// Numbers written at the start of a text: move numbers in movetext and FEN,
// and the numbers of command-line options.
#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

#include "board/char_class.h"

namespace boardshot {

/// The value of the decimal digits at the start of `text`, held at 2^31
/// once it gets there, so that it saturates either way; 0 when no digit
/// comes first.
inline std::int64_t LeadingDigitsValue(const char* text) {
  constexpr std::int64_t kBeyond = std::int64_t{1} << 31;
  std::int64_t value = 0;
  for (; IsAsciiDigit(*text); ++text) {
    value = std::min(value * 10 + (*text - '0'), kBeyond);
  }
  return value;
}

/// `value` held to the 32-bit range.
constexpr std::int32_t Saturated(std::int64_t value) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

/// The decimal number at the start of `text`, saturated to the 32-bit
/// range; 0 when no digit comes first.
inline std::int32_t LeadingNumber(const char* text) {
  return Saturated(LeadingDigitsValue(text));
}

/// LeadingNumber after white space and a sign, as a command-line number is
/// written ("-g 12", "-g+3", "-g-1").
inline std::int32_t LeadingSignedNumber(const char* text) {
  while (IsWhiteSpace(*text)) ++text;
  bool negative = false;
  if (*text == '+' || *text == '-') negative = *text++ == '-';
  const std::int64_t magnitude = LeadingDigitsValue(text);
  return Saturated(negative ? -magnitude : magnitude);
}

}  // namespace boardshot
