// OpenDocument texts (ODT), read with libarchive and libxml2: paragraphs, headings by outline level
// or heading style as sections and contents, lists with the marks of their list styles, tables cell
// by cell, notes at the end of their section, pictures where they stand, and the document's metadata.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads an ODT file; DocumentError names the file and the part that failed.
Document ReadOdt(const Runtime& runtime, const std::u16string& fileName);

}  // namespace bookloom
