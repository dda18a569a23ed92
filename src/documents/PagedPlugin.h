// The interface between the program and its readers of paged documents, modules loaded at the first
// document of their kind: the PDF reader (poppler, GLib and the dozens of libraries they pull in) and
// the DjVu reader (DjVuLibre), so that programs which never read one do not load them. Plain data and
// callbacks only: a module shares no code with the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bookloom {

// Raised whenever a request or a function changes; a module of another version is not used.
inline constexpr int kPagedPluginVersion = 3;
inline constexpr const char* kPdfPluginFile = "bookloom-pdf.so";
inline constexpr const char* kPdfPluginStartEntry = "BookloomPdfStart";
inline constexpr const char* kDjvuPluginFile = "bookloom-djvu.so";
inline constexpr const char* kDjvuPluginStartEntry = "BookloomDjvuStart";

// The outline a module reports: entries at most this deep (deeper ones are left out with their
// children) and at most this many, so that no file makes a build walk without bound.
inline constexpr int kMaxOutlineDepth = 32;
inline constexpr size_t kMaxOutlineEntries = 20000;

// A document the module holds open until it is closed.
struct PagedFile;

enum class PagedInfoField : int { kTitle, kAuthor, kSubject };

struct PagedOpenRequest {
  const char* path = nullptr;  // UTF-8

  void* context = nullptr;
  // Each text of the document's information: `size` bytes of UTF-8.
  void (*info)(void* context, PagedInfoField field, const char* utf8, size_t size) = nullptr;
  // Each outline entry in reading order: its level (1 to 3, deeper entries are 3), its title in UTF-8,
  // its page (from 1; 0 when it leads to no page of the document) and the height on the page it leads
  // to, in points from the top of the page as it is shown (negative when it names only the page).
  void (*outlineEntry)(void* context, int level, const char* title, int page, double top) = nullptr;

  // Set by the module: the document, or null when it is not of the module's kind or a damaged one ...
  PagedFile* file = nullptr;
  // ... and whether it opens only with its password (then neither its information nor its outline
  // is reported, nor its pages counted).
  bool locked = false;
  int pageCount = 0;
  // Whether the outline could not be read although the document could.
  bool outlineUnreadable = false;
};

struct PagedRenderRequest {
  PagedFile* file = nullptr;
  int page = 0;  // from 0

  void* context = nullptr;
  // The page's size in points, turned upright: the resolution to render it at, in pixels per inch,
  // or 0, which refuses the page before a pixel of it is allocated.
  double (*resolutionFor)(void* context, double widthPoints, double heightPoints) = nullptr;
  // Where the rendered page goes, rows of one grey byte a pixel from the top with nothing between
  // them: nullptr refuses the page. A picture drawn on the page may come in its own pixels instead,
  // fewer than the resolution makes.
  uint8_t* (*pixelsFor)(void* context, int width, int height) = nullptr;
  // The part of the page rendered, in points from the top left of the page as it is shown: the whole
  // page when it is empty. The resolution is then asked for that part's size.
  double cropX0 = 0, cropY0 = 0, cropX1 = 0, cropY1 = 0;
};

// One word of a page's text, where it stands in points from the top left of the page as it is shown.
struct PagedWord {
  const char* utf8 = nullptr;
  size_t size = 0;
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  double fontSize = 0;
  bool bold = false;
  bool spaceAfter = false;  // a blank follows the word before the next
};

struct PagedTextRequest {
  PagedFile* file = nullptr;
  int page = 0;  // from 0

  void* context = nullptr;
  // Each word of the page's text in reading order (columns one after the other).
  void (*word)(void* context, const PagedWord& word) = nullptr;
  // Each picture drawn on the page: where it stands, as the words do.
  void (*picture)(void* context, double x0, double y0, double x1, double y1) = nullptr;

  // Set by the module: the size of the page as it is shown, in points.
  double width = 0, height = 0;
};

enum class PagedRenderResult : int {
  kRendered = 0,
  kUnreadable = 1,  // the page cannot be read
  kFailed = 2,      // the page cannot be rendered
  kRefused = 3,     // a callback refused the page
};

// The module's functions. Failures of memory come out as std::bad_alloc.
struct PagedModuleFunctions {
  void (*open)(PagedOpenRequest* request);
  PagedRenderResult (*render)(PagedRenderRequest* request);
  // Reports the page's text and pictures: kRendered, or kUnreadable when the page cannot be read.
  PagedRenderResult (*text)(PagedTextRequest* request);
  void (*close)(PagedFile* file);
};

// The module's entry point: readies poppler, so that it prints none of its complaints about damaged
// files (the errors that matter reach the user as the program's own), and returns the module's
// functions; null when the module is of another version than `version`.
using PagedStartFunction = const PagedModuleFunctions* (*)(int version);

}  // namespace bookloom
