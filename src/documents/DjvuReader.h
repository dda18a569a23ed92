// DjVu files (single pages, bundled and indirect books) through DjVuLibre, in a module loaded at the
// first DjVu read (PagedDocument.h): the hidden text of a scan as its text, or its pages as pictures.
#pragma once

#include <string>

#include "documents/PagedDocument.h"

namespace bookloom {

// Reads the DjVu file as its text or its pages (ReadPagedDocument).
Document ReadDjvu(const Runtime& runtime, const std::u16string& fileName,
                  DocumentMode mode = DocumentMode::kPages);

// Loads the DjVu reader module now rather than at the first DjVu read; later calls do nothing.
void StartDjvuReader(const Runtime& runtime);

}  // namespace bookloom
