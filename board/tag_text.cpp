// Decoding and encoding of the characters of tag values.
#include "board/tag_text.h"

namespace boardshot {
namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The code point of the UTF-8 character starting text[at], and its length
// in bytes; a length of 0 when no well-formed character starts there.
char32_t DecodeUtf8(std::string_view text, std::size_t at,
                    std::size_t& length) {
  const auto byte = [&](std::size_t i) {
    return static_cast<unsigned char>(text[at + i]);
  };
  length = 0;
  const std::size_t left = text.size() - at;
  if ((byte(0) & 0xE0) == 0xC0 && left >= 2 && IsContinuationByte(byte(1))) {
    const char32_t code = (byte(0) & 0x1Fu) << 6 | (byte(1) & 0x3Fu);
    if (code >= 0x80) length = 2;
    return code;
  }
  if ((byte(0) & 0xF0) == 0xE0 && left >= 3 && IsContinuationByte(byte(1)) &&
      IsContinuationByte(byte(2))) {
    const char32_t code =
        (byte(0) & 0x0Fu) << 12 | (byte(1) & 0x3Fu) << 6 | (byte(2) & 0x3Fu);
    if (code >= 0x800 && (code < 0xD800 || code > 0xDFFF)) length = 3;
    return code;
  }
  if ((byte(0) & 0xF8) == 0xF0 && left >= 4 && IsContinuationByte(byte(1)) &&
      IsContinuationByte(byte(2)) && IsContinuationByte(byte(3))) {
    const char32_t code = (byte(0) & 0x07u) << 18 | (byte(1) & 0x3Fu) << 12 |
                          (byte(2) & 0x3Fu) << 6 | (byte(3) & 0x3Fu);
    if (code >= 0x10000 && code <= 0x10FFFF) length = 4;
    return code;
  }
  return 0;
}

}  // namespace

char32_t TagCharacter(std::string_view text, std::size_t at,
                      std::size_t& used) {
  const auto first = static_cast<unsigned char>(text[at]);
  used = 1;
  if (first < 0x80) return first;
  std::size_t length = 0;
  const char32_t decoded = DecodeUtf8(text, at, length);
  if (length == 0) return first;
  used = length;
  return decoded;
}

void AppendUtf8(std::string& out, char32_t code) {
  const auto unit = [](char32_t bits) { return static_cast<char>(bits); };
  if (code < 0x80) {
    out += unit(code);
  } else if (code < 0x800) {
    out += unit(0xC0 | code >> 6);
    out += unit(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += unit(0xE0 | code >> 12);
    out += unit(0x80 | (code >> 6 & 0x3F));
    out += unit(0x80 | (code & 0x3F));
  } else {
    out += unit(0xF0 | code >> 18);
    out += unit(0x80 | (code >> 12 & 0x3F));
    out += unit(0x80 | (code >> 6 & 0x3F));
    out += unit(0x80 | (code & 0x3F));
  }
}

std::string ListFieldText(std::string_view value) {
  std::string field;
  for (std::size_t at = 0, used = 0; at < value.size(); at += used) {
    const char32_t code = TagCharacter(value, at, used);
    AppendUtf8(field, IsControlCharacter(code) ? U' ' : code);
  }
  return field;
}

}  // namespace boardshot
