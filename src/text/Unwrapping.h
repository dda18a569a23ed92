// Hard-wrapped texts made into paragraphs: whether a text's lines were cut at a fixed width, and
// its lines joined back into the paragraphs they were cut from.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace bookloom {

// How a text's lines are measured against its wrapping column: in characters, or in the bytes of
// their UTF-8 form, as tools that count bytes (fold) wrap a UTF-8 text.
enum class WidthMeasure { kCharacters, kUtf8Bytes };

// Whether a text is hard-wrapped, and what shows it, in a sentence for the user; and the column it
// is wrapped at, in its measure.
struct UnwrapDecision {
  bool wrapped = false;
  std::string reason;
  WidthMeasure measure = WidthMeasure::kCharacters;
  size_t column = 0;
  // The wrapping left a blank at the end of the lines it cut (as fold -s does): a line without one
  // ends its paragraph.
  bool cutKeepsBlank = false;
};

// A text is hard-wrapped when most lines that run on into the next are long (three quarters of the
// wrapping column or more: the width that all but one in a hundred lines keep within, 40 or more)
// and nearly every such long line ends where the next word would have passed that column: greedy
// wrapping leaves exactly that. Lines are measured in characters, and in UTF-8 bytes, whichever
// shows the wrapping better. Verse (short lines, or lines that end with room to spare), lists,
// tables and texts of one paragraph per line are not.
UnwrapDecision DecideUnwrap(const std::vector<std::u16string_view>& lines);

// Lines [first, first + count) that make one paragraph.
struct LineRange {
  size_t first = 0;
  size_t count = 1;
};

// The paragraphs of a hard-wrapped text: the lines of each block between blank lines joined, while
// a blank line stays a paragraph of its own and so does each line of `alone` (ascending line
// indices: the headings) and each table row (a line with a run of three blanks inside); a list
// item ("- ", "• ", "1. ", "a) ") starts a paragraph. With the `wrapping` of a text found wrapped,
// a line that ends where the next word would still have fitted ends its paragraph too (paragraphs
// need no blank line between them), and a dialogue dash ("- ") that wrapping carried to the start of
// a line continues an unfinished sentence.
std::vector<LineRange> JoinedParagraphs(const std::vector<std::u16string_view>& lines,
                                        std::span<const size_t> alone,
                                        const UnwrapDecision* wrapping = nullptr);

// The text of the paragraph of those lines: joined with one blank, each line after the first
// without its leading blanks; a hyphen that ends a line after a letter and before a lower-case
// letter joins the word instead ("con-" "tinued" gives "continued").
std::u16string JoinLines(const std::vector<std::u16string_view>& lines, LineRange range);

}  // namespace bookloom
