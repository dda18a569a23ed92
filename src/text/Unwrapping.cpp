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

// The width of text in the measure: characters, or the bytes of its UTF-8 form (a surrogate pair
// counts two units of two bytes each).
size_t Width(std::u16string_view text, WidthMeasure measure) {
  if (measure == WidthMeasure::kCharacters) return text.size();
  size_t bytes = 0;
  for (const char16_t c : text) bytes += c < 0x80 ? 1 : c < 0x800 || (c >= 0xD800 && c < 0xE000) ? 2 : 3;
  return bytes;
}

size_t LineWidth(std::u16string_view line, WidthMeasure measure) {
  return Width(line.substr(0, Length(line)), measure);
}

bool IsDash(char16_t c) { return c == u'-' || c == u'\u2013' || c == u'\u2014'; }

// The width of the line's first word; a dash before it counts with it, as a dialogue's dash does
// not stand apart from its words.
size_t FirstWordWidth(std::u16string_view line, WidthMeasure measure) {
  const std::u16string_view text = TrimBlanks(line);
  size_t n = 0;
  if (text.size() > 2 && IsDash(text[0]) && IsBlankChar(text[1])) n = 2;
  while (n < text.size() && !IsBlankChar(text[n])) ++n;
  return Width(text.substr(0, n), measure);
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

// Whether the line ends a sentence: its last mark one that ends one, or a closing quote after it.
bool EndsSentence(std::u16string_view line) {
  std::u16string_view text = TrimBlanks(line);
  while (!text.empty() &&
         std::u16string_view(u"\"'\u00BB\u201D)").find(text.back()) != std::u16string_view::npos)
    text.remove_suffix(1);
  return !text.empty() && std::u16string_view(u".!?\u2026:;").find(text.back()) != std::u16string_view::npos;
}

bool IsWordHyphen(char16_t c) { return c == u'-' || c == u'\u2010' || c == u'\u00AD'; }

std::string Percent(size_t part, size_t whole) {
  char text[16];
  std::snprintf(text, sizeof text, "%.1f%%", 100.0 * static_cast<double>(part) / static_cast<double>(whole));
  return text;
}

// Whether line `i` ends where the next line's first word would have passed the column: the wrapping
// cut it, and the paragraph goes on.
bool CutByWrapping(const std::vector<std::u16string_view>& lines, size_t i, const UnwrapDecision& wrapping) {
  if (wrapping.cutKeepsBlank && !IsBlankChar(lines[i].back())) return false;
  return LineWidth(lines[i], wrapping.measure) + 1 + FirstWordWidth(lines[i + 1], wrapping.measure) >
         wrapping.column;
}

// What the lines show of wrapping when measured one way.
struct WrapEvidence {
  WidthMeasure measure = WidthMeasure::kCharacters;
  size_t column = 0;        // the width all but one in a hundred lines keep within
  size_t inner = 0;         // lines followed by a line of text
  size_t longInner = 0;     // of them, those of three quarters of the column or more
  size_t cut = 0;           // of those, the ones the wrapping cut
  size_t cutWithBlank = 0;  // and of those, the ones that end with a blank
};

WrapEvidence Measure(const std::vector<std::u16string_view>& lines, WidthMeasure measure) {
  WrapEvidence e;
  e.measure = measure;
  std::vector<size_t> widths;
  for (const std::u16string_view line : lines)
    if (const size_t width = LineWidth(line, measure); width > 0) widths.push_back(width);
  if (widths.empty()) return e;
  const size_t at = (widths.size() * 99 + 99) / 100 - 1;
  std::nth_element(widths.begin(), widths.begin() + static_cast<ptrdiff_t>(at), widths.end());
  e.column = widths[at];
  const UnwrapDecision wrapping{true, {}, measure, e.column, false};
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const size_t width = LineWidth(lines[i], measure);
    if (width == 0 || Length(lines[i + 1]) == 0) continue;
    ++e.inner;
    if (width * 4 < e.column * 3) continue;
    ++e.longInner;
    if (!CutByWrapping(lines, i, wrapping)) continue;
    ++e.cut;
    e.cutWithBlank += IsBlankChar(lines[i].back());
  }
  return e;
}

}  // namespace

UnwrapDecision DecideUnwrap(const std::vector<std::u16string_view>& lines) {
  constexpr size_t kFewestInnerLines = 8;
  constexpr size_t kShortestWrap = 40;
  WrapEvidence best = Measure(lines, WidthMeasure::kCharacters);
  // UTF-8 bytes win when they show the wrapping better: a text wrapped by a tool that counts bytes.
  if (const WrapEvidence bytes = Measure(lines, WidthMeasure::kUtf8Bytes);
      bytes.longInner > 0 && bytes.cut * best.longInner > best.cut * bytes.longInner)
    best = bytes;
  const std::string unit = best.measure == WidthMeasure::kCharacters ? "characters" : "UTF-8 bytes";
  UnwrapDecision decision{
      false, {}, best.measure, best.column, best.cut > 0 && best.cutWithBlank * 10 >= best.cut * 9};
  if (best.inner < kFewestInnerLines) {
    decision.reason = "left alone: too few lines run on into the next to tell";
  } else if (best.column < kShortestWrap) {
    decision.reason = "left alone: its lines keep within " + std::to_string(best.column) + " " + unit +
                      " (verse or a list)";
  } else if (best.longInner * 2 < best.inner) {
    decision.reason = "left alone: only " + Percent(best.longInner, best.inner) +
                      " of the lines that run on come near column " + std::to_string(best.column) +
                      " (one paragraph per line, or verse)";
  } else {
    const std::string why =
        Percent(best.cut, best.longInner) +
        " of the long lines inside paragraphs end where the next word would pass column " +
        std::to_string(best.column) + " (in " + unit + ")";
    decision.wrapped = best.cut * 10 >= best.longInner * 9;
    decision.reason = decision.wrapped ? "joined: " + why : "left alone: only " + why + " (verse or lists)";
  }
  return decision;
}

std::vector<LineRange> JoinedParagraphs(const std::vector<std::u16string_view>& lines,
                                        std::span<const size_t> alone, const UnwrapDecision* wrapping) {
  std::vector<LineRange> paragraphs;
  size_t nextAlone = 0;
  const auto standsAlone = [&](size_t i) {
    while (nextAlone < alone.size() && alone[nextAlone] < i) ++nextAlone;
    return (nextAlone < alone.size() && alone[nextAlone] == i) || Length(lines[i]) == 0 ||
           IsTableRow(lines[i]);
  };
  // Whether line i (after line i - 1 of the same block) goes on with the paragraph of the line before.
  const auto continues = [&](size_t i) {
    if (!wrapping) return !IsListItem(lines[i]);
    if (!CutByWrapping(lines, i - 1, *wrapping)) return false;
    if (!IsListItem(lines[i])) return true;
    return IsDash(TrimBlanks(lines[i])[0]) && !EndsSentence(lines[i - 1]);
  };
  for (size_t i = 0; i < lines.size();) {
    const size_t first = i++;
    if (!standsAlone(first))
      while (i < lines.size() && !standsAlone(i) && continues(i)) ++i;
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
