// FB2 (FictionBook 2) books, plain or in a zip (.fb2.zip), read with libxml2: the description, the
// cover, the body's sections as headings, their paragraphs, verse and pictures, and the notes last.
#pragma once

#include <string>
#include <string_view>

#include "documents/Document.h"

namespace bookloom {

// Reads the bytes of an FB2 book; DocumentError names the file and the part that failed.
Document ReadFb2(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName);

// Reads an FB2 file, or the first .fb2 inside a zip archive (an .fb2.zip).
Document ReadFb2File(const Runtime& runtime, const std::u16string& fileName);

}  // namespace bookloom
