// Documents of pages read through a reader module (PDF, DjVu): their text as paragraphs and headings
// with the pictures on their pages as pages (TextLayer.h), or every page rendered in greys as a
// picture; the outline as the table of contents and the document's information as the description.
#pragma once

#include <string>

#include "documents/Document.h"
#include "documents/DocumentMode.h"
#include "documents/PagedPlugin.h"
#include "platform/Runtime.h"

namespace bookloom {

// A kind of paged document: its name in messages ("PDF") and its reader module's file and start entry.
struct PagedFormat {
  const char* name;
  const char* moduleFile;
  const char* moduleStartEntry;
  // Whether its pages hold no pictures of their own (DjVu's are pixels alone): in text, the figures on
  // pages with text are then found in the rendered page (FiguresBesideText).
  bool findsFigures = false;
};

// The format's reader module, loaded into the run at the first call.
const ModuleFunctions<PagedModuleFunctions>& PagedModule(const Runtime& runtime, const PagedFormat& format);

// Opens the document, reads its outline and, in kText and kAuto, the text of its pages; kAuto notes
// which it chose and why, and marks the document scanned when it chose pages and most pages are scans
// (kReflow always does). Scanned pages are rendered twice as fine (kReflow: kFinestScale times). Pictures and
// pages are rendered only when they are written; the first page is the document's cover. DocumentError when
// it is not of the format, is damaged, opens only with a password, or when the reader module cannot be
// loaded.
Document ReadPagedDocument(const Runtime& runtime, const PagedFormat& format, const std::u16string& fileName,
                           DocumentMode mode);

// The resolution, in pixels per inch, that a page (or a part of one) of that size in points is
// rendered at: it then covers at least the reader's 600 x 800 screen, as large as it will be once
// fitted (a page that is wider than the screen's shape covers its height and is left wider, for
// pictures that are cut in two), `scale` times that, and at most kFinestScale times the screen on a
// side.
inline constexpr double kFinestScale = 4;
double PageRenderResolution(double widthPoints, double heightPoints, double scale = 1);

}  // namespace bookloom
