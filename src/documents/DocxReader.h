// Word documents (DOCX), read with libarchive and libxml2: paragraphs, headings by outline level or
// heading style as sections and contents, lists with their marks, tables cell by cell, footnotes and
// endnotes at the end of their section, pictures where they stand, and the core properties.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads a DOCX file; DocumentError names the file and the part that failed.
Document ReadDocx(const Runtime& runtime, const std::u16string& fileName);

}  // namespace bookloom
