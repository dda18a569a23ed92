// The interface between the program and its PDF reader, a module loaded at the first PDF read so that
// programs which never read one do not load poppler, GLib and the dozens of libraries they pull in.
// Plain data and callbacks only: the module shares no code with the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bookloom {

// Raised whenever a request or a function changes; a module of another version is not used.
inline constexpr int kPdfPluginVersion = 1;
inline constexpr const char* kPdfPluginFile = "bookloom-pdf.so";
inline constexpr const char* kPdfPluginStartEntry = "BookloomPdfStart";

// A PDF the module holds open until it is closed.
struct PdfFile;

enum class PdfInfoField : int { kTitle, kAuthor, kSubject };

struct PdfOpenRequest {
  const char* path = nullptr;  // UTF-8

  void* context = nullptr;
  // Each text of the document's information: `size` bytes of UTF-8.
  void (*info)(void* context, PdfInfoField field, const char* utf8, size_t size) = nullptr;
  // Each outline entry that leads to a place in the document, in reading order: its level (1 to 3,
  // deeper entries are 3), its title in UTF-8 and its page (from 1; 0 when it leads to no page).
  void (*outlineEntry)(void* context, int level, const char* title, int page) = nullptr;

  // Set by the module: the document, or null when it is no PDF or a damaged one ...
  PdfFile* file = nullptr;
  // ... and whether it opens only with its password (then neither its information nor its outline
  // is reported, nor its pages counted).
  bool locked = false;
  int pageCount = 0;
};

struct PdfRenderRequest {
  PdfFile* file = nullptr;
  int page = 0;  // from 0

  void* context = nullptr;
  // The page's size in points, turned upright: the resolution to render it at, in pixels per inch,
  // or 0, which refuses the page before a pixel of it is allocated.
  double (*resolutionFor)(void* context, double widthPoints, double heightPoints) = nullptr;
  // Where the rendered page goes, rows of one grey byte a pixel from the top with nothing between
  // them: nullptr refuses the page.
  uint8_t* (*pixelsFor)(void* context, int width, int height) = nullptr;
};

enum class PdfRenderResult : int {
  kRendered = 0,
  kUnreadable = 1,  // the page cannot be read
  kFailed = 2,      // the page cannot be rendered
  kRefused = 3,     // a callback refused the page
};

// The module's functions. Failures of memory come out as std::bad_alloc.
struct PdfModuleFunctions {
  void (*open)(PdfOpenRequest* request);
  PdfRenderResult (*render)(PdfRenderRequest* request);
  void (*close)(PdfFile* file);
};

// The module's entry point: readies poppler, so that it prints none of its complaints about damaged
// files (the errors that matter reach the user as the program's own), and returns the module's
// functions; null when the module is of another version than `version`.
using PdfStartFunction = const PdfModuleFunctions* (*)(int version);

}  // namespace bookloom
