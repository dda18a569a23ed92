// Any bytes as a text file whose chapters are found and whose lines are joined: every heading must
// name a line of the text, on a level from 1 to 3, in order; every paragraph must be a run of the
// text's lines that follows the one before; the conversion to Windows-1251 must keep only bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "DecoderFuzzing.h"
#include "text/Chapters.h"
#include "text/TextFile.h"
#include "text/Unwrapping.h"
#include "text/Win1251.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace bookloom;
  static const ChapterPatterns patterns({u"(?i)§\\s*\\d+"});
  const auto file = DecodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto lines = SplitLines(file.text);
  std::vector<size_t> headingLines;
  for (const Heading& heading : FindHeadings(lines, patterns)) {
    if (heading.line >= lines.size() || heading.level < 1 || heading.level > 3) __builtin_trap();
    if (!headingLines.empty() && heading.line <= headingLines.back()) __builtin_trap();
    headingLines.push_back(heading.line);
  }
  const UnwrapDecision wrapping = DecideUnwrap(lines);
  size_t next = 0;
  FallbackReport report;
  for (const LineRange& range :
       JoinedParagraphs(lines, headingLines, wrapping.wrapped ? &wrapping : nullptr)) {
    if (range.first != next || range.count == 0) __builtin_trap();
    next = range.first + range.count;
    WideToWin1251(fuzz::TargetRuntime(), JoinLines(lines, range), &report, range.first + 1);
  }
  if (next != lines.size()) __builtin_trap();
  return 0;
}
