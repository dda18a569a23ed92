// Hard-wrapped texts made into paragraphs: whether a text's lines were cut at a fixed width, and
// its lines joined back into the paragraphs they were cut from.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace bookloom {

// Whether a text is hard-wrapped, and what shows it, in a sentence for the user.
struct UnwrapDecision {
  bool wrapped = false;
  std::string reason;
};

// A text is hard-wrapped when its paragraphs of several lines are separated by blank lines and
// nearly every line inside a paragraph ends where the next word would have passed the wrapping
// column (the length that all but one in a hundred lines keep within, 40 or more): greedy wrapping
// leaves exactly that. Verse (short lines, or lines that end with room to spare), lists, tables and
// texts of one paragraph per line are not.
UnwrapDecision DecideUnwrap(const std::vector<std::u16string_view>& lines);

// Lines [first, first + count) that make one paragraph.
struct LineRange {
  size_t first = 0;
  size_t count = 1;
};

// The paragraphs of a hard-wrapped text: the lines of each block between blank lines joined, while
// a blank line stays a paragraph of its own and so does each line of `alone` (ascending line
// indices: the headings) and each table row (a line with a run of three blanks inside); a list
// item ("- ", "• ", "1. ", "a) ") starts a paragraph.
std::vector<LineRange> JoinedParagraphs(const std::vector<std::u16string_view>& lines,
                                        std::span<const size_t> alone);

// The text of the paragraph of those lines: joined with one blank, each line after the first
// without its leading blanks; a hyphen that ends a line after a letter and before a lower-case
// letter joins the word instead ("con-" "tinued" gives "continued").
std::u16string JoinLines(const std::vector<std::u16string_view>& lines, LineRange range);

}  // namespace bookloom
