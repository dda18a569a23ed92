// Kindle books (MOBI, AZW3 and PRC) read with libmobi: the text's HTML read as an EPUB page is, its
// headings as sections and contents, its pictures, its description and its cover. Books protected by
// DRM are refused. libmobi is loaded at the first such book read.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads a MOBI, AZW3 or PRC file; DocumentError names the file and what failed.
Document ReadMobi(const Runtime& runtime, const std::u16string& fileName);

}  // namespace bookloom
