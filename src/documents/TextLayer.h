// The text layer of a paged document (a PDF's text, the hidden text of a scan) made into a book's
// text: words into lines, lines into paragraphs across line, column and page ends, running headers,
// footers and page numbers left out, headings found by their size and weight, the outline's entries
// at their headings, embedded pictures where they stand and footnotes at the end of their section.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "documents/Document.h"

namespace bookloom {

// A rectangle on a page, in points from the page's top left corner.
struct PageBox {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;

  double Width() const { return x1 - x0; }
  double Height() const { return y1 - y0; }
};

// A word of the text layer, in the document's reading order.
struct LayerWord {
  std::u16string text;
  PageBox box;
  double fontSize = 0;  // in points; the word's height where the document does not tell
  bool bold = false;
  bool spaceAfter = true;  // false when the next word follows it without a blank
};

// A line of the text layer: its words joined.
struct LayerLine {
  std::u16string text;
  PageBox box;
  double fontSize = 0;
  bool bold = false;
};

// What one page holds: its lines in reading order and the pictures drawn on it.
struct LayerPage {
  double width = 0, height = 0;
  std::vector<LayerLine> lines;
  std::vector<PageBox> pictures;
};

// The words of a page in reading order, whatever order the document holds them in: the page is cut
// at its widest gaps, between columns (a gap from top to bottom at least 1.5 times as wide as the
// text's usual size) or between rows, whichever is wider, and each part read so in turn, left to
// right and top to bottom.
std::vector<LayerWord> InReadingOrder(std::vector<LayerWord> words);

// The words of a page, in reading order, as lines: a word joins the line before it when it stands
// to its right at the same height.
std::vector<LayerLine> LinesOf(const std::vector<LayerWord>& words);

// An entry of the document's outline: the page it leads to (from 0) and the height on it (points
// from the top; negative when the entry names only the page).
struct LayerOutlineEntry {
  int level = 1;
  std::u16string title;
  size_t page = 0;
  double top = -1;
};

// A picture of the book cut from a page of the document.
struct LayerPicture {
  size_t page = 0;
  PageBox box;
};

// The book's text made from the text layer of every page: the document's blocks (DocumentBlock) and
// the pictures that its picture blocks index.
struct LayerText {
  std::vector<DocumentBlock> blocks;
  std::vector<LayerPicture> pictures;
};

// Builds the book's text from the pages in order. With an outline its entries are the contents (a
// heading found by its size becomes a section without entry); without one the headings found are.
LayerText BuildLayerText(const std::vector<LayerPage>& pages, const std::vector<LayerOutlineEntry>& outline);

// Which lines of each page are its running header or footer or its number, as BuildLayerText leaves
// them out.
std::vector<std::vector<bool>> RunningLinesOf(const std::vector<LayerPage>& pages);

// Whether a document is read as text: when at least half of its pages have a text layer of some
// length; a scan or a document of drawings stays pictures of its pages. The reason is for the user.
struct LayerVerdict {
  bool text = false;
  std::string reason;
};
LayerVerdict JudgeTextLayer(const std::vector<LayerPage>& pages);

}  // namespace bookloom
