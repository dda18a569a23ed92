// PDF files through poppler, in a module loaded at the first PDF read (PagedDocument.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "documents/PagedDocument.h"

namespace bookloom {

// Reads the PDF as its text or its pages (ReadPagedDocument), once CheckPdfObjectNumbers passes it.
Document ReadPdf(const Runtime& runtime, const std::u16string& fileName,
                 DocumentMode mode = DocumentMode::kPages);

// A damaged PDF can name an object number far beyond its size ("22334454 0 obj" in a file of 2 KB),
// for which poppler makes room in its table of objects: gigabytes. This refuses such a file with a
// DocumentError before poppler sees it: every object number the file names, or makes room for (an
// object's "N 0 obj", a trailer's /Size, the subsections of a cross-reference table or stream), must
// stay within MostPdfObjectsIn its size.
void CheckPdfObjectNumbers(const std::u16string& fileName);
int64_t LargestPdfObjectNumber(std::string_view bytes);
int64_t MostPdfObjectsIn(int64_t fileSize);

// Loads the PDF reader module now rather than at the first PDF read; later calls do nothing.
void StartPdfReader(const Runtime& runtime);

}  // namespace bookloom
