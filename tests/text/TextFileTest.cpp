#include <gtest/gtest.h>

#include "text/TextFile.h"

namespace bookloom {
namespace {

using Lines = std::vector<std::u16string>;

TEST(SplitLines, BreaksAtCrLfAndLineSeparator) {
  const struct {
    std::u16string text;
    Lines lines;
  } cases[] = {
      {u"A\r\nB\r\n", {u"A", u"B"}},
      {u"A\rB", {u"A", u"B"}},
      {u"A\nB\n", {u"A", u"B"}},
      {u"A\n\rB", {u"A", u"", u"B"}},  // LF CR is two breaks
      {u"A\r\rB", {u"A", u"", u"B"}},
      {u"A\u2028B", {u"A", u"B"}},
      {u"A\r\n\u2028B\r\u2028", {u"A", u"B"}},
      {u"\n", {u""}},
      {u"A\n\n", {u"A", u""}},
      {std::u16string(u"A\nB\0C\nD", 7), {u"A", u"B"}},  // U+0000 ends the text
      {u"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << testing::PrintToString(c.lines);
}

}  // namespace
}  // namespace bookloom
