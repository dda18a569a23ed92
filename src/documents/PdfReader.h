// PDF files through poppler, in a module loaded at the first PDF read: every page rendered in greys
// as a picture, the outline as the table of contents and the document's information as the
// description. A PDF's text is never reflowed: a PDF
// with a text layer still becomes pictures of its pages.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Opens the PDF and reads its outline; the pages are rendered only when they are written.
// DocumentError when it is not a PDF, is damaged, opens only with a password, or when the PDF reader
// module cannot be loaded.
Document ReadPdf(const std::u16string& fileName);

// The resolution, in pixels per inch, that a page of that size in points is rendered at: the page
// then covers at least the reader's 600 x 800 screen, as large as it will be once fitted (a page
// that is wider than the screen's shape covers its height and is left wider, for pictures that are
// cut in two), and at most four times the screen on a side.
double PdfRenderResolution(double widthPoints, double heightPoints);

// Loads the PDF reader module now rather than at the first PDF read; later calls do nothing.
void StartPdfReader();

}  // namespace bookloom
