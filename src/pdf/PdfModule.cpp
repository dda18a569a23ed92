// The PDF reader module: opens a PDF through poppler, reports its information and outline, and
// renders its pages in greys for the program. Loaded by the program on first use (see
// documents/PdfPlugin.h).
#include <glib.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>
#include <poppler/glib/poppler.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include "documents/PdfPlugin.h"

namespace bookloom {

struct PdfFile {
  explicit PdfFile(std::unique_ptr<poppler::document> pdf) : document(std::move(pdf)) {
    renderer.set_image_format(poppler::image::format_gray8);
    renderer.set_render_hints(poppler::page_renderer::antialiasing |
                              poppler::page_renderer::text_antialiasing);
  }

  std::unique_ptr<poppler::document> document;
  poppler::page_renderer renderer;
};

}  // namespace bookloom

namespace {

using bookloom::PdfFile;
using bookloom::PdfInfoField;
using bookloom::PdfOpenRequest;
using bookloom::PdfRenderRequest;
using bookloom::PdfRenderResult;

constexpr int kMaxOutlineDepth = 32;
constexpr size_t kMaxOutlineEntries = 20000;

void ReportInfo(PdfInfoField field, const poppler::ustring& text, const PdfOpenRequest& request) {
  const poppler::byte_array utf8 = text.to_utf8();
  request.info(request.context, field, utf8.data(), utf8.size());
}

struct GObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
struct GFree {
  void operator()(void* p) const { g_free(p); }
};
// Owns the error a GLib call reports, when it reports one.
struct GErrorHolder {
  GErrorHolder() = default;
  GErrorHolder(const GErrorHolder&) = delete;
  GErrorHolder& operator=(const GErrorHolder&) = delete;
  ~GErrorHolder() {
    if (error) g_error_free(error);
  }
  GError* error = nullptr;
};
struct IndexIterFree {
  void operator()(PopplerIndexIter* iter) const { poppler_index_iter_free(iter); }
};
struct ActionFree {
  void operator()(PopplerAction* action) const { poppler_action_free(action); }
};
struct DestFree {
  void operator()(PopplerDest* dest) const { poppler_dest_free(dest); }
};
using IndexIterPtr = std::unique_ptr<PopplerIndexIter, IndexIterFree>;

// The outline's entries in order, through poppler's GLib interface, which tells the page an entry
// leads to.
class Outline {
 public:
  explicit Outline(const char* path) {
    GErrorHolder uriError, openError;
    const std::unique_ptr<gchar, GFree> uri(g_filename_to_uri(path, nullptr, &uriError.error));
    if (uri) pdf_.reset(poppler_document_new_from_file(uri.get(), nullptr, &openError.error));
  }

  void Report(const PdfOpenRequest& request) {
    size_t entries = 0;
    if (pdf_) Walk(IndexIterPtr(poppler_index_iter_new(pdf_.get())), 1, entries, request);
  }

 private:
  void Walk(IndexIterPtr iter, int depth, size_t& entries, const PdfOpenRequest& request) {
    if (!iter || depth > kMaxOutlineDepth) return;
    do {
      if (entries >= kMaxOutlineEntries) return;
      const std::unique_ptr<PopplerAction, ActionFree> action(poppler_index_iter_get_action(iter.get()));
      if (action && action->type == POPPLER_ACTION_GOTO_DEST) {
        const char* title = action->any.title;
        request.outlineEntry(request.context, std::min(depth, 3), title ? title : "",
                             PageOf(action->goto_dest.dest));
        ++entries;
      }
      Walk(IndexIterPtr(poppler_index_iter_get_child(iter.get())), depth + 1, entries, request);
    } while (poppler_index_iter_next(iter.get()));
  }

  int PageOf(const PopplerDest* dest) const {
    if (!dest) return 0;
    if (dest->type != POPPLER_DEST_NAMED) return dest->page_num;
    const std::unique_ptr<PopplerDest, DestFree> named(
        poppler_document_find_dest(pdf_.get(), dest->named_dest));
    return named ? named->page_num : 0;
  }

  std::unique_ptr<PopplerDocument, GObjectUnref> pdf_;
};

void Open(PdfOpenRequest* request) {
  std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(request->path));
  if (!pdf) return;
  request->locked = pdf->is_locked();
  if (!request->locked) {
    request->pageCount = pdf->pages();
    ReportInfo(PdfInfoField::kTitle, pdf->get_title(), *request);
    ReportInfo(PdfInfoField::kAuthor, pdf->get_author(), *request);
    ReportInfo(PdfInfoField::kSubject, pdf->get_subject(), *request);
    Outline(request->path).Report(*request);
  }
  request->file = new PdfFile(std::move(pdf));
}

PdfRenderResult Render(PdfRenderRequest* request) {
  PdfFile& pdf = *request->file;
  const std::unique_ptr<poppler::page> page(pdf.document->create_page(request->page));
  if (!page) return PdfRenderResult::kUnreadable;
  const poppler::rectf box = page->page_rect(poppler::crop_box);
  const bool turned =
      page->orientation() == poppler::page::landscape || page->orientation() == poppler::page::seascape;
  const double width = turned ? box.height() : box.width(), height = turned ? box.width() : box.height();
  const double resolution = request->resolutionFor(request->context, width, height);
  if (resolution <= 0) return PdfRenderResult::kRefused;
  const poppler::image image = pdf.renderer.render_page(page.get(), resolution, resolution);
  if (!image.is_valid() || image.format() != poppler::image::format_gray8) return PdfRenderResult::kFailed;
  uint8_t* pixels = request->pixelsFor(request->context, image.width(), image.height());
  if (!pixels) return PdfRenderResult::kRefused;
  const auto rowBytes = static_cast<size_t>(image.width());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(pixels + static_cast<size_t>(y) * rowBytes,
                image.const_data() + static_cast<size_t>(y) * image.bytes_per_row(), rowBytes);
  return PdfRenderResult::kRendered;
}

void Close(PdfFile* file) { delete file; }

}  // namespace

extern "C" __attribute__((visibility("default"))) const bookloom::PdfModuleFunctions* BookloomPdfStart(
    int version) {
  if (version != bookloom::kPdfPluginVersion) return nullptr;
  poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
  static constexpr bookloom::PdfModuleFunctions kFunctions = {Open, Render, Close};
  return &kFunctions;
}

// The entry point is what the program looks for.
static_assert(std::is_same_v<decltype(&BookloomPdfStart), bookloom::PdfStartFunction>);
