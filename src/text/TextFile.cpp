#include "text/TextFile.h"

#include <unicode/uchar.h>

#include <algorithm>
#include <cstdint>

#include "platform/AnsiCodePage.h"
#include "platform/Vectors.h"

namespace bookloom {

namespace {

std::u16string Utf16(std::string_view bytes, bool bigEndian) {
  std::u16string text(bytes.size() / 2, u'\0');
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  for (size_t i = 0; i < text.size(); ++i, p += 2)
    text[i] = static_cast<char16_t>(bigEndian ? p[0] << 8 | p[1] : p[1] << 8 | p[0]);
  return text;
}

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

enum class ByteOrder { kNone, kLittleEndian, kBigEndian };

// UTF-16 without a mark, told by its zero bytes: the high byte of every unit of mostly-Latin text
// is zero, and so is that of the blanks, digits and punctuation of mostly-Cyrillic text (U+04xx),
// at least one unit in ten; the low byte almost never is. A text in a single-byte code page or
// in UTF-8 has no zero bytes at all.
ByteOrder Utf16ByteOrder(std::string_view bytes) {
  constexpr size_t kSample = 65536;
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t units = std::min(bytes.size(), kSample) / 2;
  if (units < 2) return ByteOrder::kNone;
  size_t evenZeros = 0, oddZeros = 0;
  for (size_t i = 0; i < units; ++i) {
    evenZeros += p[2 * i] == 0;
    oddZeros += p[2 * i + 1] == 0;
  }
  const auto looksLikeHighBytes = [units](size_t high, size_t low) {
    return high * 10 >= units && low * 100 <= units;
  };
  if (looksLikeHighBytes(oddZeros, evenZeros)) return ByteOrder::kLittleEndian;
  if (looksLikeHighBytes(evenZeros, oddZeros)) return ByteOrder::kBigEndian;
  return ByteOrder::kNone;
}

#if BOOKLOOM_X86_VECTORS
// Past the blocks of 16 units from `from` on that hold none of the stops.
template <char16_t... kStops>
__attribute__((target("avx2"))) size_t SkipBlocksWithout(std::u16string_view text, size_t from) {
  size_t i = from;
  for (; i + 16 <= text.size(); i += 16) {
    const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + i));
    const __m256i hits = (... | _mm256_cmpeq_epi16(units, _mm256_set1_epi16(static_cast<short>(kStops))));
    if (!_mm256_testz_si256(hits, hits)) break;
  }
  return i;
}
#endif

// The first unit from `from` on that is one of the stops, or the text's end.
template <char16_t... kStops>
size_t FindFirstOf(std::u16string_view text, size_t from) {
#if BOOKLOOM_X86_VECTORS
  if (HasAvx2()) from = SkipBlocksWithout<kStops...>(text, from);
#endif
  while (from < text.size() && ((text[from] != kStops) && ...)) ++from;
  return from;
}

// Where the line after the one that starts at `pos` starts: past its break, or the text's end.
size_t NextLineStart(std::u16string_view text, size_t pos, size_t& lineEnd) {
  lineEnd = FindFirstOf<u'\r', u'\n', u'\u2028'>(text, pos);
  pos = lineEnd;
  for (const char16_t breakChar : {u'\r', u'\n', u'\u2028'})
    if (pos < text.size() && text[pos] == breakChar) ++pos;
  return pos;
}

// The line (from 1) that holds the unit at `index`.
size_t LineAt(std::u16string_view text, size_t index) {
  size_t line = 1, lineEnd;
  for (size_t pos = 0; (pos = NextLineStart(text, pos, lineEnd)) <= index && pos < text.size();) ++line;
  return line;
}

DecodedTextFile Decode(std::string_view bytes, const std::string& encoding) {
  DecodedTextFile file;
  file.encoding = encoding;
  if (!encoding.empty()) {
    file.text = CharsetToWide(bytes, encoding, &file.faults);
    if (!file.text.empty() && file.text[0] == u'\uFEFF') {
      file.text.erase(0, 1);
      if (file.faults.count > 0) --file.faults.firstAt;
    }
    return file;
  }
  if (StartsWith(bytes, "\xFF\xFE")) return {Utf16(bytes.substr(2), false), "UTF-16LE"};
  if (StartsWith(bytes, "\xFE\xFF")) return {Utf16(bytes.substr(2), true), "UTF-16BE"};
  if (StartsWith(bytes, "\xEF\xBB\xBF")) {
    file.text = Utf8ToUtf16(bytes.substr(3), &file.faults);
    file.encoding = "UTF-8";
    return file;
  }
  switch (Utf16ByteOrder(bytes)) {
    case ByteOrder::kLittleEndian:
      return {Utf16(bytes, false), "UTF-16LE"};
    case ByteOrder::kBigEndian:
      return {Utf16(bytes, true), "UTF-16BE"};
    case ByteOrder::kNone:
      break;
  }
  file.text = AnsiToWide(bytes, &file.faults, &file.encoding);
  return file;
}

}  // namespace

bool LooksLikeText(std::string_view start) {
  // The blanks, line and page ends, the end-of-file mark and the escape of coloured text art.
  const auto isText = [](uint16_t unit) {
    return (unit >= 0x20 && unit != 0x7F) || (unit >= '\t' && unit <= '\r') || unit == 0x1A || unit == 0x1B;
  };
  ByteOrder order = Utf16ByteOrder(start);
  if (StartsWith(start, "\xFF\xFE")) order = ByteOrder::kLittleEndian;
  if (StartsWith(start, "\xFE\xFF")) order = ByteOrder::kBigEndian;
  if (order == ByteOrder::kNone)
    return std::all_of(start.begin(), start.end(),
                       [&](char c) { return isText(static_cast<unsigned char>(c)); });
  const std::u16string units = Utf16(start, order == ByteOrder::kBigEndian);
  return std::all_of(units.begin(), units.end(), isText);
}

DecodedTextFile DecodeTextFile(std::string_view bytes, const std::string& encoding) {
  DecodedTextFile file = Decode(bytes, encoding);
  if (file.faults.count > 0) file.firstFaultLine = LineAt(file.text, file.faults.firstAt);
  const auto first = std::find_if(file.text.begin(), file.text.end(), IsControlChar);
  if (first != file.text.end()) {
    file.controls.firstLine = LineAt(file.text, static_cast<size_t>(first - file.text.begin()));
    file.controls.count = std::erase_if(file.text, IsControlChar);
  }
  return file;
}

std::string DescribeControls(const LeftOutControls& controls) {
  const size_t n = controls.count;
  if (n == 0) return "";
  return std::to_string(n) + (n == 1 ? " control character" : " control characters") +
         " left out, the first on line " + std::to_string(controls.firstLine);
}

std::vector<std::string> DecodingWarnings(const DecodedTextFile& file) {
  std::vector<std::string> warnings;
  for (std::string warning : {DescribeFaults(file), DescribeControls(file.controls)})
    if (!warning.empty()) warnings.push_back(std::move(warning));
  return warnings;
}

std::string DescribeFaults(const DecodedTextFile& file) {
  const size_t n = file.faults.count;
  if (n == 0) return "";
  return std::to_string(n) + (n == 1 ? " byte sequence that is" : " byte sequences that are") + " no " +
         file.encoding + " replaced by U+FFFD, the first on line " + std::to_string(file.firstFaultLine);
}

std::vector<std::u16string_view> SplitLines(std::u16string_view text) {
  text = text.substr(0, FindFirstOf<u'\0'>(text, 0));
  std::vector<std::u16string_view> lines;
  size_t lineEnd;
  for (size_t pos = 0, next; pos < text.size(); pos = next) {
    next = NextLineStart(text, pos, lineEnd);
    lines.emplace_back(text.substr(pos, lineEnd - pos));
  }
  return lines;
}

}  // namespace bookloom

namespace bookloom {

bool IsBlankChar(char16_t c) {
  if (c < 0x80) return c == u' ' || (c >= u'\t' && c <= u'\r');  // ASCII's white space, asked most
  return c == u'\uFEFF' || u_isUWhiteSpace(c);
}

std::u16string_view TrimBlanks(std::u16string_view line) {
  size_t from = 0, to = line.size();
  while (from < to && IsBlankChar(line[from])) ++from;
  while (to > from && IsBlankChar(line[to - 1])) --to;
  return line.substr(from, to - from);
}

}  // namespace bookloom
