// Text from a game file as a scene string: whatever the bytes, the result is
// one POV-Ray string literal that keeps every character it can.
#include "scene/details.h"

#include <gtest/gtest.h>

#include <string>

namespace boardshot {
namespace {

std::string Repeat(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

TEST(SceneString, EscapesSpacesAndCaps) {
  const struct {
    std::string text;
    std::string literal;
  } rows[] = {
      {"Carlsen, Magnus", "\"Carlsen, Magnus\""},
      {"\"; #include \"/etc/passwd", "\"\\\"; #include \\\"/etc/passwd\""},
      {"back\\slash\\", "\"back\\\\slash\\\\\""},
      {"tab\tline\nbell\x07 del\x7f", "\"tab line bell  del \""},
      {"R\xc3\xa9ti \xe4\xb8\xad \xf0\x9f\x98\x80!",
       "\"R\\u00E9ti \\u4E2D !\""},
      {"Latin-1 \xf6 and \xe9\x80", "\"Latin-1 \\u00F6 and \\u00E9 \""},
      {"overlong \xc0\xaf, surrogate \xed\xa0\x80",
       "\"overlong \\u00C0\\u00AF, surrogate \\u00ED\\u00A0 \""},
      {"C1 \xc2\x85 and Latin-1 \x85", "\"C1   and Latin-1  \""},
      {Repeat("a", 300), "\"" + Repeat("a", 240) + "\""},
      {"a" + Repeat("\xc3\xa9", 50), "\"a" + Repeat("\\u00E9", 39) + "\""},
      {Repeat("\\", 200), "\"" + Repeat("\\\\", 120) + "\""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SceneString(row.text), row.literal) << row.text;
  }
}

}  // namespace
}  // namespace boardshot
