// HTML pages saved on disk (.html, .htm, .xhtml), read as one page of an EPUB book is: their text,
// headings as the table of contents, and the pictures next to the file.
#pragma once

#include <optional>
#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads an HTML file; DocumentError names the file and the part that failed (a missing picture).
Document ReadHtmlFile(const Runtime& runtime, const std::u16string& fileName);

// The index among `pictures` of the picture a page or Markdown file names (a file in its folder or
// below it, or a data: link), added now, its file among the files the document reads; nullopt, with a
// warning of the document, for a picture on the web, one missing or outside the folder, or one no
// decoder reads.
std::optional<size_t> PictureBeside(const std::u16string& fileName, const std::string& reference,
                                    EncodedPictures& pictures, Document& document);

}  // namespace bookloom
