// Born-digital PDF files set by the tests themselves with cairo: paragraphs justified in two columns,
// a running header and page numbers, headings, footnotes, pictures and an outline.
#pragma once

#include <string>
#include <vector>

namespace bookloom::test {

struct TextPdfBlock {
  enum class Kind {
    kHeading,     // 16 points bold at level 1, 12 points bold at level 2
    kParagraph,   // 10 points, its first line indented; "hyphen|ation" breaks the line there with a hyphen
    kPicture,     // a grey picture as wide as the column, 80 points high
    kFootnote,    // 7 points at the foot of the page the last paragraph is on
  };
  Kind kind;
  std::string text;
  int level = 1;
};

// The blocks set on 420 x 595 point pages in two columns under the running header `header`, each page
// numbered at its foot; with `outline`, every heading is an outline entry leading to its place.
std::string TextPdf(const std::vector<TextPdfBlock>& blocks, const std::string& header, bool outline);

}  // namespace bookloom::test
