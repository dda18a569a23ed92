// RTF documents, read by a small reader of our own (no well-kept RTF library exists for C or C++):
// groups and destinations, code pages (\ansicpg, font charsets, \'xx) and \uN, paragraphs, headings by
// outline level or heading style, footnotes at the end of their section, PNG and JPEG pictures
// (\pict), and the title, author, subject and comment of \info.
#pragma once

#include <string>
#include <string_view>

#include "documents/Document.h"

namespace bookloom {

// Reads an RTF file; DocumentError names the file and what failed.
Document ReadRtfFile(const Runtime& runtime, const std::u16string& fileName);

// The document RTF text makes; `fileName` names it in messages.
Document ReadRtf(const Runtime& runtime, std::string_view rtf, const std::u16string& fileName);

}  // namespace bookloom
