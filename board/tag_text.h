// The characters of a tag value as the game file holds them: UTF-8 where the
// bytes form it, and otherwise Latin-1, as older game files write names.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace boardshot {

/// The character that starts at text[at], which must be inside `text`, and
/// in `used` how many bytes it takes (1 to 4): a well-formed UTF-8
/// character, or else the byte alone read as Latin-1.
char32_t TagCharacter(std::string_view text, std::size_t at, std::size_t& used);

/// True for the C0 and C1 control characters and DEL; a tag value shows each
/// of them as a space.
constexpr bool IsControlCharacter(char32_t code) {
  return code < 0x20 || (code >= 0x7F && code < 0xA0);
}

/// Appends `code` (at most 0x10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t code);

/// `value` as one field of a list line, in UTF-8: its characters as
/// TagCharacter reads them, a control character as a space, since a tab or
/// a line break would start another field or another line.
std::string ListFieldText(std::string_view value);

}  // namespace boardshot
