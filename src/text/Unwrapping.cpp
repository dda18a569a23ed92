#include "text/Unwrapping.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "text/TextFile.h"

namespace bookloom {

namespace {

// The length of a line without its trailing blanks; 0 for a blank line.
size_t Length(std::u16string_view line) {
  size_t n = line.size();
  while (n > 0 && IsBlankChar(line[n - 1])) --n;
  return n;
}

size_t FirstWordLength(std::u16string_view line) {
  const std::u16string_view text = TrimBlanks(line);
  size_t n = 0;
  while (n < text.size() && !IsBlankChar(text[n])) ++n;
  return n;
}

// A row of a table: a run of three blanks between its cells.
bool IsTableRow(std::u16string_view line) {
  const std::u16string_view text = TrimBlanks(line);
  return text.find(u"   ") != std::u16string_view::npos || text.find(u'\t') != std::u16string_view::npos;
}

// The opening of a list item: a bullet or a dash, "12." or "a)", then a blank.
bool IsListItem(std::u16string_view line) {
  const std::u16string_view text = TrimBlanks(line);
  const auto blankAt = [&](size_t i) { return i < text.size() && IsBlankChar(text[i]); };
  if (text.empty()) return false;
  if (std::u16string_view(u"-*\u2022\u00B7\u2013\u2014").find(text[0]) != std::u16string_view::npos)
    return blankAt(1);
  size_t digits = 0;
  while (digits < text.size() && digits < 4 && text[digits] >= u'0' && text[digits] <= u'9') ++digits;
  if (digits > 0 && digits < 4 && digits < text.size() && (text[digits] == u'.' || text[digits] == u')'))
    return blankAt(digits + 1);
  return text.size() > 1 && u_islower(text[0]) && text[1] == u')' && blankAt(2);
}

bool IsWordHyphen(char16_t c) { return c == u'-' || c == u'\u2010' || c == u'\u00AD'; }

std::string Percent(size_t part, size_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

}  // namespace

UnwrapDecision DecideUnwrap(const std::vector<std::u16string_view>& lines) {
  constexpr size_t kFewestInnerLines = 8;
  constexpr size_t kShortestWrap = 40;
  constexpr size_t kMostLinesPerBlock = 40;  // more without a blank line: paragraphs are not set apart
  std::vector<size_t> lengths;
  size_t inner = 0, fitting = 0, blocks = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    const size_t length = Length(lines[i]);
    if (length == 0) continue;
    lengths.push_back(length);
    if (i == 0 || Length(lines[i - 1]) == 0) ++blocks;
    if (i + 1 < lines.size() && Length(lines[i + 1]) > 0) ++inner;
  }
  if (inner < kFewestInnerLines) return {false, "left alone: too few lines run on into the next to tell"};
  if (blocks * kMostLinesPerBlock < lengths.size())
    return {false, "left alone: its paragraphs are not set apart by blank lines (" +
                       std::to_string(lengths.size()) + " lines in " + std::to_string(blocks) + " blocks)"};
  std::vector<size_t> sorted = lengths;
  const size_t at = (sorted.size() * 99 + 99) / 100 - 1;
  std::nth_element(sorted.begin(), sorted.begin() + static_cast<ptrdiff_t>(at), sorted.end());
  const size_t column = sorted[at];
  if (column < kShortestWrap)
    return {false,
            "left alone: its lines keep within " + std::to_string(column) + " characters (verse or a list)"};
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const size_t length = Length(lines[i]), next = Length(lines[i + 1]);
    if (length > 0 && next > 0 && length + 1 + FirstWordLength(lines[i + 1]) > column) ++fitting;
  }
  const std::string share = Percent(fitting, inner);
  const std::string why = share +
                          " of the lines inside paragraphs end where the next word would pass column " +
                          std::to_string(column);
  if (fitting * 10 >= inner * 9) return {true, "joined: " + why};
  return {false, "left alone: only " + why + " (verse, lists or one paragraph per line)"};
}

std::vector<LineRange> JoinedParagraphs(const std::vector<std::u16string_view>& lines,
                                        std::span<const size_t> alone) {
  std::vector<LineRange> paragraphs;
  size_t nextAlone = 0;
  const auto standsAlone = [&](size_t i) {
    while (nextAlone < alone.size() && alone[nextAlone] < i) ++nextAlone;
    return (nextAlone < alone.size() && alone[nextAlone] == i) || Length(lines[i]) == 0 ||
           IsTableRow(lines[i]);
  };
  for (size_t i = 0; i < lines.size();) {
    const size_t first = i++;
    if (!standsAlone(first))
      while (i < lines.size() && !standsAlone(i) && !IsListItem(lines[i])) ++i;
    paragraphs.push_back({first, i - first});
  }
  return paragraphs;
}

std::u16string JoinLines(const std::vector<std::u16string_view>& lines, LineRange range) {
  std::u16string text(lines[range.first]);
  if (range.count == 1) return text;
  text.resize(Length(text));
  for (size_t k = 1; k < range.count; ++k) {
    const std::u16string_view line = lines[range.first + k];
    const std::u16string_view next = TrimBlanks(line);
    const size_t n = text.size();
    if (n >= 2 && IsWordHyphen(text[n - 1]) && u_isalpha(text[n - 2]) && !next.empty() && u_islower(next[0]))
      text.pop_back();
    else if (!next.empty())
      text += u' ';
    text += next;
  }
  return text;
}

}  // namespace bookloom
