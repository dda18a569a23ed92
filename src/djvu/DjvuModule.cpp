// The DjVu reader module: opens a DjVu document (one page, bundled or indirect) through DjVuLibre's
// ddjvuapi, reports its metadata, outline and hidden text, and renders its pages in greys for the
// program. Loaded by the program on first use (see documents/PagedPlugin.h).
#include <libdjvu/ddjvuapi.h>
#include <libdjvu/miniexp.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "documents/PagedPlugin.h"

namespace bookloom {

namespace {

// Pages decoded and kept by DjVuLibre: small, so that memory stays flat however many pages are read.
constexpr unsigned long kCacheBytes = 8 << 20;

struct ContextRelease {
  void operator()(ddjvu_context_t* context) const { ddjvu_context_release(context); }
};
struct DocumentRelease {
  void operator()(ddjvu_document_t* document) const { ddjvu_document_release(document); }
};
struct PageRelease {
  void operator()(ddjvu_page_t* page) const { ddjvu_page_release(page); }
};
struct FormatRelease {
  void operator()(ddjvu_format_t* format) const { ddjvu_format_release(format); }
};
using PagePtr = std::unique_ptr<ddjvu_page_t, PageRelease>;

// Handles DjVuLibre's messages while a job runs: they only tell that work was done (errors are seen in
// the job's status), and are dropped so that they do not pile up.
void DropMessages(ddjvu_context_t* context) {
  while (ddjvu_message_peek(context)) ddjvu_message_pop(context);
}

void WaitForMessage(ddjvu_context_t* context) {
  ddjvu_message_wait(context);
  DropMessages(context);
}

// An expression DjVuLibre made for the document, released with it when it is no longer needed.
class Expression {
 public:
  Expression(ddjvu_document_t* document, miniexp_t expression)
      : document_(document), expression_(expression) {}
  Expression(const Expression&) = delete;
  Expression& operator=(const Expression&) = delete;
  ~Expression() {
    if (expression_ != miniexp_nil && expression_ != miniexp_dummy)
      ddjvu_miniexp_release(document_, expression_);
  }
  miniexp_t Get() const { return expression_; }

 private:
  ddjvu_document_t* document_;
  miniexp_t expression_;
};

const char* StringOf(miniexp_t expression) {
  return miniexp_stringp(expression) ? miniexp_to_str(expression) : nullptr;
}

}  // namespace

struct PagedFile {
  std::unique_ptr<ddjvu_context_t, ContextRelease> context;
  std::unique_ptr<ddjvu_document_t, DocumentRelease> document;
  std::unique_ptr<ddjvu_format_t, FormatRelease> grey;
};

namespace {

// Waits for an expression that DjVuLibre may still be decoding (miniexp_dummy meanwhile).
template <class Get>
miniexp_t WhenDecoded(const PagedFile& file, Get get) {
  miniexp_t expression;
  while ((expression = get()) == miniexp_dummy) WaitForMessage(file.context.get());
  return expression;
}

// The page's size as DjVuLibre tells it: pixels and resolution; false when the page cannot be read.
bool PageInfo(const PagedFile& file, int page, ddjvu_pageinfo_t& info) {
  ddjvu_status_t status;
  while ((status = ddjvu_document_get_pageinfo(file.document.get(), page, &info)) < DDJVU_JOB_OK)
    WaitForMessage(file.context.get());
  return status == DDJVU_JOB_OK && info.width > 0 && info.height > 0 && info.dpi > 0;
}

double PointsPerPixel(const ddjvu_pageinfo_t& info) { return 72.0 / info.dpi; }

// The page (from 0) that an outline link leads to: "#12" names the twelfth page, "#name" a page's
// file by its id, name or title; 0 when none.
int PageOfLink(const PagedFile& file, const char* link) {
  if (!link || link[0] != '#') return 0;
  const std::string target = link + 1;
  ddjvu_document_t* document = file.document.get();
  const int files = ddjvu_document_get_filenum(document);
  for (int i = 0; i < files; ++i) {
    ddjvu_fileinfo_t info;
    if (ddjvu_document_get_fileinfo(document, i, &info) != DDJVU_JOB_OK || info.type != 'P') continue;
    for (const char* name : {info.id, info.name, info.title})
      if (name && target == name) return info.pageno + 1;
  }
  if (target.empty() || target.find_first_not_of("0123456789") != std::string::npos || target.size() > 9)
    return 0;
  return std::atoi(target.c_str());
}

// The outline's entries in order: (bookmarks ("title" "#page" children...) ...).
void WalkOutline(const PagedFile& file, miniexp_t entries, int depth, size_t& count,
                 const PagedOpenRequest& request) {
  if (depth > kMaxOutlineDepth) return;
  for (; miniexp_consp(entries); entries = miniexp_cdr(entries)) {
    if (count >= kMaxOutlineEntries) return;
    const miniexp_t entry = miniexp_car(entries);
    if (!miniexp_consp(entry)) continue;
    const char* title = StringOf(miniexp_car(entry));
    const int page = PageOfLink(file, StringOf(miniexp_cadr(entry)));
    request.outlineEntry(request.context, std::min(depth, 3), title ? title : "", page, -1);
    ++count;
    WalkOutline(file, miniexp_cddr(entry), depth + 1, count, request);
  }
}

void ReportOutline(const PagedFile& file, const PagedOpenRequest& request) {
  ddjvu_document_t* document = file.document.get();
  const Expression outline(document, WhenDecoded(file, [&] { return ddjvu_document_get_outline(document); }));
  const miniexp_t list = outline.Get();
  if (!miniexp_consp(list) || miniexp_car(list) != miniexp_symbol("bookmarks")) return;
  size_t count = 0;
  WalkOutline(file, miniexp_cdr(list), 1, count, request);
}

void ReportMetadata(const PagedFile& file, const PagedOpenRequest& request) {
  ddjvu_document_t* document = file.document.get();
  const Expression annotations(document,
                               WhenDecoded(file, [&] { return ddjvu_document_get_anno(document, 1); }));
  if (!miniexp_consp(annotations.Get())) return;
  const struct {
    const char* key;
    PagedInfoField field;
  } fields[] = {{"title", PagedInfoField::kTitle},
                {"author", PagedInfoField::kAuthor},
                {"subject", PagedInfoField::kSubject}};
  for (const auto& f : fields)
    if (const char* value = ddjvu_anno_get_metadata(annotations.Get(), miniexp_symbol(f.key)))
      request.info(request.context, f.field, value, std::strlen(value));
}

void Open(PagedOpenRequest* request) {
  auto file = std::make_unique<PagedFile>();
  file->context.reset(ddjvu_context_create("bookloom"));
  if (!file->context) return;
  ddjvu_cache_set_size(file->context.get(), kCacheBytes);
  file->document.reset(ddjvu_document_create_by_filename_utf8(file->context.get(), request->path, 1));
  if (!file->document) return;
  while (!ddjvu_document_decoding_done(file->document.get())) WaitForMessage(file->context.get());
  if (ddjvu_document_decoding_error(file->document.get())) return;
  file->grey.reset(ddjvu_format_create(DDJVU_FORMAT_GREY8, 0, nullptr));
  if (!file->grey) return;
  ddjvu_format_set_row_order(file->grey.get(), 1);
  ddjvu_format_set_y_direction(file->grey.get(), 1);
  request->pageCount = ddjvu_document_get_pagenum(file->document.get());
  ReportMetadata(*file, *request);
  ReportOutline(*file, *request);
  request->file = file.release();
}

// The page decoded, or null when it cannot be.
PagePtr DecodedPage(const PagedFile& file, int page) {
  PagePtr decoded(ddjvu_page_create_by_pageno(file.document.get(), page));
  if (!decoded) return nullptr;
  while (!ddjvu_page_decoding_done(decoded.get())) WaitForMessage(file.context.get());
  if (ddjvu_page_decoding_error(decoded.get())) return nullptr;
  return decoded;
}

PagedRenderResult Render(PagedRenderRequest* request) {
  const PagedFile& file = *request->file;
  const PagePtr page = DecodedPage(file, request->page);
  if (!page) return PagedRenderResult::kUnreadable;
  // The page as it is shown, turned as the file says: DjVuLibre gives its size so turned.
  const int resolution = ddjvu_page_get_resolution(page.get());
  if (resolution <= 0) return PagedRenderResult::kUnreadable;
  const double points = 72.0 / resolution;
  const int pixelWidth = ddjvu_page_get_width(page.get());
  const int pixelHeight = ddjvu_page_get_height(page.get());
  double x0 = 0, y0 = 0, x1 = pixelWidth * points, y1 = pixelHeight * points;
  if (request->cropX1 > request->cropX0 && request->cropY1 > request->cropY0) {
    x0 = std::max(x0, request->cropX0);
    y0 = std::max(y0, request->cropY0);
    x1 = std::min(x1, request->cropX1);
    y1 = std::min(y1, request->cropY1);
    if (x1 <= x0 || y1 <= y0) return PagedRenderResult::kFailed;
  }
  const double asked = request->resolutionFor(request->context, x1 - x0, y1 - y0);
  if (asked <= 0) return PagedRenderResult::kRefused;
  // DjVuLibre reduces a page by a whole factor far faster than by any other: the page's own resolution
  // divided so, when that is at most a quarter finer than the resolution asked for.
  const int reduction = static_cast<int>(resolution / asked);
  const double dpi = reduction >= 1 && resolution / reduction <= 1.25 * asked
                         ? static_cast<double>(resolution) / reduction
                         : asked;
  const double scale = dpi / 72;
  ddjvu_rect_t whole{0, 0, static_cast<unsigned>(std::max(1.0, pixelWidth * points * scale)),
                     static_cast<unsigned>(std::max(1.0, pixelHeight * points * scale))};
  ddjvu_rect_t part{static_cast<int>(x0 * scale), static_cast<int>(y0 * scale),
                    static_cast<unsigned>(std::max(1.0, (x1 - x0) * scale)),
                    static_cast<unsigned>(std::max(1.0, (y1 - y0) * scale))};
  part.w = std::min(part.w, whole.w - std::min<unsigned>(whole.w, static_cast<unsigned>(part.x)));
  part.h = std::min(part.h, whole.h - std::min<unsigned>(whole.h, static_cast<unsigned>(part.y)));
  if (part.w == 0 || part.h == 0) return PagedRenderResult::kFailed;
  uint8_t* pixels = request->pixelsFor(request->context, static_cast<int>(part.w), static_cast<int>(part.h));
  if (!pixels) return PagedRenderResult::kRefused;
  if (!ddjvu_page_render(page.get(), DDJVU_RENDER_COLOR, &whole, &part, file.grey.get(), part.w,
                         reinterpret_cast<char*>(pixels)))
    return PagedRenderResult::kFailed;
  return PagedRenderResult::kRendered;
}

struct RectMapperRelease {
  void operator()(ddjvu_rectmapper_t* mapper) const { ddjvu_rectmapper_release(mapper); }
};

// The words of a page's hidden text: (page x0 y0 x1 y1 (line x0 y0 x1 y1 (word x0 y0 x1 y1 "text") ...)
// ...), in pixels from the foot of the page as it is stored, before the turn the file gives it; each
// word is as high as its line's text, which stands for its size.
class PageWords {
 public:
  // `info` gives the page's size as it is shown, turned.
  PageWords(const PagedTextRequest& request, const ddjvu_pageinfo_t& info)
      : request_(request), scale_(PointsPerPixel(info)) {
    const int turn = info.rotation & 3;
    across_ = turn == DDJVU_ROTATE_90 || turn == DDJVU_ROTATE_270;
    ddjvu_rect_t stored{0, 0, static_cast<unsigned>(across_ ? info.height : info.width),
                        static_cast<unsigned>(across_ ? info.width : info.height)};
    ddjvu_rect_t shown{0, 0, static_cast<unsigned>(info.width), static_cast<unsigned>(info.height)};
    // Turned as the page is shown, and counted from its top.
    shownOf_.reset(ddjvu_rectmapper_create(&stored, &shown));
    if (!shownOf_) throw std::bad_alloc();
    ddjvu_rectmapper_modify(shownOf_.get(), turn, 0, 1);
  }

  void Walk(miniexp_t zone, double lineSize, int depth) {
    if (!miniexp_consp(zone) || depth > 16 || miniexp_length(zone) < 5) return;
    const miniexp_t kind = miniexp_car(zone);
    double box[4];
    miniexp_t rest = miniexp_cdr(zone);
    for (double& b : box) {
      if (!miniexp_numberp(miniexp_car(rest))) return;
      b = miniexp_to_int(miniexp_car(rest));
      rest = miniexp_cdr(rest);
    }
    // A line's height as it is shown: across the stored page when the page is turned a quarter.
    if (kind == miniexp_symbol("line"))
      lineSize = (across_ ? box[2] - box[0] : box[3] - box[1]) * scale_ * 0.75;
    if (kind == miniexp_symbol("word") || miniexp_stringp(miniexp_car(rest))) {
      if (const char* text = StringOf(miniexp_car(rest))) Report(text, box, lineSize);
      return;
    }
    for (; miniexp_consp(rest); rest = miniexp_cdr(rest)) Walk(miniexp_car(rest), lineSize, depth + 1);
  }

 private:
  void Report(const char* text, const double (&box)[4], double lineSize) {
    ddjvu_rect_t r{static_cast<int>(box[0]), static_cast<int>(box[1]),
                   static_cast<unsigned>(std::max(0.0, box[2] - box[0])),
                   static_cast<unsigned>(std::max(0.0, box[3] - box[1]))};
    ddjvu_map_rect(shownOf_.get(), &r);
    const double x0 = r.x * scale_, x1 = (r.x + static_cast<double>(r.w)) * scale_;
    const double y0 = r.y * scale_, y1 = (r.y + static_cast<double>(r.h)) * scale_;
    const PagedWord word{.utf8 = text,
                         .size = std::strlen(text),
                         .x0 = x0,
                         .y0 = y0,
                         .x1 = x1,
                         .y1 = y1,
                         .fontSize = lineSize > 0 ? lineSize : (y1 - y0) * 0.75,
                         .bold = false,
                         .spaceAfter = true};
    request_.word(request_.context, word);
  }

  const PagedTextRequest& request_;
  double scale_;
  bool across_ = false;
  std::unique_ptr<ddjvu_rectmapper_t, RectMapperRelease> shownOf_;
};

PagedRenderResult ReadText(PagedTextRequest* request) {
  const PagedFile& file = *request->file;
  ddjvu_pageinfo_t info;
  if (!PageInfo(file, request->page, info)) return PagedRenderResult::kUnreadable;
  const double points = PointsPerPixel(info);
  request->width = info.width * points;
  request->height = info.height * points;
  ddjvu_document_t* document = file.document.get();
  const Expression text(document, WhenDecoded(file, [&] {
                          return ddjvu_document_get_pagetext(document, request->page, "word");
                        }));
  PageWords(*request, info).Walk(text.Get(), 0, 0);
  return PagedRenderResult::kRendered;
}

void Close(PagedFile* file) { delete file; }

}  // namespace

}  // namespace bookloom

extern "C" __attribute__((visibility("default"))) const bookloom::PagedModuleFunctions* BookloomDjvuStart(
    int version) {
  if (version != bookloom::kPagedPluginVersion) return nullptr;
  static constexpr bookloom::PagedModuleFunctions kFunctions = {bookloom::Open, bookloom::Render,
                                                                bookloom::ReadText, bookloom::Close};
  return &kFunctions;
}

// The entry point is what the program looks for.
static_assert(std::is_same_v<decltype(&BookloomDjvuStart), bookloom::PagedStartFunction>);
