// How a paged document (a PDF, a DjVu file) becomes part of a book: as its text, as pictures of its
// pages, or as the words of its scanned pages set again.
#pragma once

namespace bookloom {

enum class DocumentMode {
  kAuto,    // text when the pages have a text layer, pictures of the pages for scans and drawings
  kText,    // the text layer as paragraphs and headings, the pictures on the pages as pages
  kPages,   // each page a picture
  kReflow,  // each page a scan whose words are set again at a readable size
};

}  // namespace bookloom
