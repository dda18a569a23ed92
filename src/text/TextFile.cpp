#include "text/TextFile.h"

#include <cstdint>

#include "platform/AnsiCodePage.h"
#include "platform/Utf.h"

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

}  // namespace

std::u16string DecodeTextFile(std::string_view bytes) {
  if (StartsWith(bytes, "\xFF\xFE")) return Utf16(bytes.substr(2), false);
  if (StartsWith(bytes, "\xFE\xFF")) return Utf16(bytes.substr(2), true);
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return Utf8ToUtf16(bytes.substr(3));
  return AnsiToWide(bytes);
}

std::vector<std::u16string> SplitLines(std::u16string_view text) {
  text = text.substr(0, text.find(u'\0'));
  std::vector<std::u16string> lines;
  size_t pos = 0;
  const auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n' || c == u'\u2028'; };
  while (pos < text.size()) {
    size_t lineEnd = pos;
    while (lineEnd < text.size() && !isBreak(text[lineEnd])) ++lineEnd;
    lines.emplace_back(text.substr(pos, lineEnd - pos));
    pos = lineEnd;
    for (const char16_t breakChar : {u'\r', u'\n', u'\u2028'})
      if (pos < text.size() && text[pos] == breakChar) ++pos;
  }
  return lines;
}

}  // namespace bookloom
