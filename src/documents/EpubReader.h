// EPUB 2 and 3 books, read with libarchive and libxml2: the package's metadata and cover, the spine's
// pages in reading order, and the navigation document (EPUB 3) or NCX (EPUB 2) as the table of
// contents. Books protected by DRM are refused.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads an EPUB file; DocumentError names the file and the part that failed.
Document ReadEpub(const Runtime& runtime, const std::u16string& fileName);
// Reads an EPUB held in memory; fileName names it in messages.
Document ReadEpubBytes(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName);

}  // namespace bookloom
