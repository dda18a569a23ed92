// PDF files through poppler, in a module loaded at the first PDF read (PagedDocument.h).
#pragma once

#include <string>

#include "documents/PagedDocument.h"

namespace bookloom {

// Reads the PDF as its text or its pages (ReadPagedDocument).
Document ReadPdf(const std::u16string& fileName, DocumentMode mode = DocumentMode::kPages);

// Loads the PDF reader module now rather than at the first PDF read; later calls do nothing.
void StartPdfReader();

}  // namespace bookloom
