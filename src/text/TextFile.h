// Plain text files as text: their bytes decoded by byte order mark, by the pattern of their bytes
// or in the encoding the user names, and cut into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/Utf.h"

namespace bookloom {

// Control characters (U+0001 to U+001F but tab, line feed and carriage return, and U+007F) left out
// of a text: how many, and the line (from 1) of the first.
struct LeftOutControls {
  size_t count = 0;
  size_t firstLine = 0;
};

// "3 control characters left out, the first on line 12"; "" when there were none.
std::string DescribeControls(const LeftOutControls& controls);

// Whether the character is one of those control characters.
constexpr bool IsControlChar(char32_t c) {
  return (c < 0x20 && c != 0 && c != u'\t' && c != u'\n' && c != u'\r') || c == 0x7F;
}

// A text file's text and how it was read.
struct DecodedTextFile {
  std::u16string text;
  std::string encoding;       // what the bytes were read as: "UTF-8", "UTF-16LE", "KOI8-R", ...
  DecodingFaults faults;      // sequences that form no character in it, each now one U+FFFD
  size_t firstFaultLine = 0;  // the line (from 1) of the first of them; 0 when there is none
  LeftOutControls controls;   // control characters, which have no place in a book's text
};

// The text of a text file's bytes. In `encoding` (any name iconv knows, a byte order mark of it
// left out) when one is given; otherwise UTF-16 after FF FE (little-endian) or FE FF (big-endian),
// UTF-8 after EF BB BF, UTF-16 without a mark when its zero bytes show it, and otherwise the
// system's code page (see AnsiToWide). An odd last byte of UTF-16 is dropped, and so are control
// characters, which are counted. Raises ConvertError when iconv does not know `encoding`.
DecodedTextFile DecodeTextFile(std::string_view bytes, const std::string& encoding = "");

// How much of a file LooksLikeText needs to see.
inline constexpr size_t kTextSniffBytes = 65536;

// Whether the start of a file is text, for files whose name says nothing of their type: no control
// character other than the blanks, line and page ends, the end-of-file mark and the escape of
// coloured text art, among its bytes, or among its UTF-16 units when its byte order mark or its zero
// bytes show UTF-16. Every other byte decodes, as UTF-8 or in a single-byte code page.
bool LooksLikeText(std::string_view start);

// The warning a file's faults give: "3 byte sequences that are no UTF-8 replaced by U+FFFD, the
// first on line 12"; "" when it has none.
std::string DescribeFaults(const DecodedTextFile& file);
// Every warning of reading the file: its faults, then the control characters left out.
std::vector<std::string> DecodingWarnings(const DecodedTextFile& file);

// The lines of a text, which ends at its end or at its first U+0000, as views into it. CR, LF and
// U+2028 end a line; CR LF, CR U+2028 and CR LF U+2028 count as one break. A break at the very end
// adds no empty line.
std::vector<std::u16string_view> SplitLines(std::u16string_view text);

// Blanks around and inside lines: spaces, tabs, no-break spaces, byte order marks and every other
// Unicode white space.
bool IsBlankChar(char16_t c);
// The line without the blanks at its start and end.
std::u16string_view TrimBlanks(std::u16string_view line);
// Whether the line is empty or blanks only.
inline bool IsBlankLine(std::u16string_view line) { return TrimBlanks(line).empty(); }

}  // namespace bookloom
