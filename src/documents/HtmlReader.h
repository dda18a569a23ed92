// HTML pages saved on disk (.html, .htm, .xhtml), read as one page of an EPUB book is: their text,
// headings as the table of contents, and the pictures next to the file.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads an HTML file; DocumentError names the file and the part that failed (a missing picture).
Document ReadHtmlFile(const std::u16string& fileName);

}  // namespace bookloom
