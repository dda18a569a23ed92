// The reader's two fonts and its line breaking: how wide every Windows-1251 byte is, how many
// bytes of a paragraph fill the next line, and where a word may be hyphenated.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace bookloom {

// Width in pixels of one Windows-1251 byte in font 0 or 1 (any other index reads font 1).
int CharWidth(int fontIndex, uint8_t byte);

// Width of "-": the hyphen's reserve, the width of a blank inside a line and the unit of the
// room kept for punctuation after a word.
int HyphenWidth(int fontIndex);

// The number of leading bytes of `text` (Windows-1251, unescaped) that form the next line of
// `textWidth` pixels. A line ending at a CR includes it and an LF right after it. At least 1 for
// a non-empty text: when nothing else fits, the line is the whole opening word or number.
int BreakLine(std::string_view text, int textWidth, int fontIndex);

// The number of leading letters of `word` that stay on the line when it is hyphenated within
// `limit` pixels (the hyphen not counted); 0 when it fits whole or cannot be hyphenated there.
int FindHyphenation(std::string_view word, int fontIndex, int limit);

// Whether a line of `text` that ends before byte `lineEnd` cuts a word that the device hyphenates
// there (and so shows a hyphen after it): a word of 40 letters at most, cut between two of its letters.
bool EndsHyphenated(std::string_view text, size_t lineEnd);

// BreakLine for every line of one paragraph in every layout, with its words, numbers and marks and
// their widths counted once for all of them: each line then costs a step per token instead of a
// step per byte. Gives exactly what BreakLine gives.
class ParagraphBreaker {
 public:
  // Takes the paragraph (kept by the caller until the next Start).
  void Start(std::string_view paragraph);
  std::string_view Text() const { return text_; }
  // BreakLine of the paragraph's bytes from `start` on.
  size_t BreakLine(size_t start, int textWidth, int fontIndex) const;

 private:
  class Scan;
  // A word (a run of letters) or a number (a run of digits) with the blank right after it if there is
  // one, the paragraph's line end (CR, and an LF right after it) or any other byte, with its width
  // in each font.
  struct Token {
    enum class Kind : uint8_t { kWord, kNumber, kLineEnd, kBlank, kMark };
    uint32_t end;  // after the word's or number's last digit or letter, the line end or the byte
    int32_t width[2];
    Kind kind;
    uint8_t marksAfter = 0;   // a word's or number's punctuation marks right after it (at most 255)
    bool blankAfter = false;  // a word or number followed by a blank, which the token takes along
  };
  // Whether a token starts at that byte: not inside a word or a number, nor at the blank after one,
  // nor at the LF of a CR LF.
  bool StartsToken(size_t pos) const;
  void MarkTokens();
  void SumWidths();

  std::string_view text_;
  std::vector<Token> tokens_;
  std::vector<uint32_t> tokenAt_;  // the index of the token that starts at a byte
  // The paragraph's letters, digits and token starts as bit masks (bit i % 64 of entry i / 64 for
  // byte i), and both fonts' summed widths of the bytes before each byte (font 0 in the low half):
  // what the tokens are read from.
  std::vector<uint64_t> letterMask_, digitMask_, startMask_, widthsBefore_;
  // For each font, the summed widths of the tokens before each token as a line with room to spare
  // takes them (a word or number with its blank, a blank as wide as a hyphen), and after the last.
  std::vector<int32_t> takenWidths_[2];
  // For each font, how wide a line is up to the end of each token when the token is plain (its
  // takenWidths_ entry after it), else more than any line: a line takes plain tokens while their
  // reach stays within its limit. Plain: a blank, a mark, or a word or number short enough to be
  // taken whole and followed by one mark at most.
  std::vector<int32_t> plainReach_[2];
};

}  // namespace bookloom
