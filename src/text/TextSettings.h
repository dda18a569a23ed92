// How a text file is read and written into a book: its encoding, its chapters and its lines.
#pragma once

#include <string>
#include <vector>

namespace bookloom {

// Whether the lines of a text are joined into paragraphs.
enum class Unwrap {
  kOff,   // one paragraph per line, as the file has them
  kOn,    // the lines of each block between blank lines joined
  kAuto,  // joined when the text is hard-wrapped (see DecideUnwrap)
};

struct TextSettings {
  std::string encoding;                         // any name iconv knows; "" tells it from the bytes
  bool chapters = false;                        // heading lines become sections and table-of-contents entries
  std::vector<std::u16string> chapterPatterns;  // ICU regular expressions of the user's own headings
  Unwrap unwrap = Unwrap::kOff;

  friend bool operator==(const TextSettings&, const TextSettings&) = default;
};

}  // namespace bookloom
