// How a paged document (a PDF) becomes part of a book: as its text, or as pictures of its pages.
#pragma once

namespace bookloom {

enum class DocumentMode {
  kAuto,   // text when the pages have a text layer, pictures of the pages for scans and drawings
  kText,   // the text layer as paragraphs and headings, the pictures on the pages as pages
  kPages,  // each page a picture
};

}  // namespace bookloom
