// The PDF reader module: opens a PDF through poppler, reports its information and outline, and
// renders its pages in greys for the program. Loaded by the program on first use (see
// documents/PagedPlugin.h).
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

#include "documents/PagedPlugin.h"

namespace {

using bookloom::PagedFile;
using bookloom::PagedInfoField;
using bookloom::PagedOpenRequest;
using bookloom::PagedRenderRequest;
using bookloom::PagedRenderResult;
using bookloom::PagedTextRequest;
using bookloom::PagedWord;
using bookloom::kMaxOutlineDepth;
using bookloom::kMaxOutlineEntries;


void ReportInfo(PagedInfoField field, const poppler::ustring& text, const PagedOpenRequest& request) {
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
struct ImageMappingFree {
  void operator()(GList* list) const { poppler_page_free_image_mapping(list); }
};
using IndexIterPtr = std::unique_ptr<PopplerIndexIter, IndexIterFree>;
using GlibDocumentPtr = std::unique_ptr<PopplerDocument, GObjectUnref>;
using GlibPagePtr = std::unique_ptr<PopplerPage, GObjectUnref>;

// The document through poppler's GLib interface, which tells where outline entries lead and where
// pictures stand. GLib opens files by URI, which only an absolute path makes: a path relative to the
// working folder is made absolute first. Null when it cannot be opened.
GlibDocumentPtr OpenGlibDocument(const char* path) {
  GErrorHolder uriError, openError;
  const std::unique_ptr<gchar, GFree> absolute(g_canonicalize_filename(path, nullptr));
  const std::unique_ptr<gchar, GFree> uri(g_filename_to_uri(absolute.get(), nullptr, &uriError.error));
  if (!uri) return nullptr;
  return GlibDocumentPtr(poppler_document_new_from_file(uri.get(), nullptr, &openError.error));
}

// The outline's entries in order.
class Outline {
 public:
  explicit Outline(PopplerDocument* pdf) : pdf_(pdf) {}

  void Report(const PagedOpenRequest& request) {
    size_t entries = 0;
    Walk(IndexIterPtr(poppler_index_iter_new(pdf_)), 1, entries, request);
  }

 private:
  void Walk(IndexIterPtr iter, int depth, size_t& entries, const PagedOpenRequest& request) {
    if (!iter || depth > kMaxOutlineDepth) return;
    do {
      if (entries >= kMaxOutlineEntries) return;
      const std::unique_ptr<PopplerAction, ActionFree> action(poppler_index_iter_get_action(iter.get()));
      if (action) {
        // An entry that leads elsewhere (another file, a web page) is reported without a page.
        const bool inside = action->type == POPPLER_ACTION_GOTO_DEST;
        const char* title = action->any.title;
        const Place place = inside ? PlaceOf(action->goto_dest.dest) : Place{};
        request.outlineEntry(request.context, std::min(depth, 3), title ? title : "", place.page, place.top);
        ++entries;
      }
      Walk(IndexIterPtr(poppler_index_iter_get_child(iter.get())), depth + 1, entries, request);
    } while (poppler_index_iter_next(iter.get()));
  }

  struct Place {
    int page = 0;
    double top = -1;
  };

  Place PlaceOf(const PopplerDest* dest) const {
    if (!dest) return {};
    if (dest->type == POPPLER_DEST_NAMED) {
      const std::unique_ptr<PopplerDest, DestFree> named(poppler_document_find_dest(pdf_, dest->named_dest));
      return named && named->type != POPPLER_DEST_NAMED ? PlaceOf(named.get()) : Place{};
    }
    Place place{dest->page_num, -1};
    const GlibPagePtr page(dest->page_num > 0 ? poppler_document_get_page(pdf_, dest->page_num - 1) : nullptr);
    if (!page) return {};
    if (dest->change_top) {
      // The destination's height counts from the page's foot.
      double width = 0, height = 0;
      poppler_page_get_size(page.get(), &width, &height);
      place.top = std::clamp(height - dest->top, 0.0, height);
    }
    return place;
  }

  PopplerDocument* pdf_;
};

}  // namespace

namespace bookloom {

struct PagedFile {
  PagedFile(std::unique_ptr<poppler::document> pdf, GlibDocumentPtr glibPdf)
      : document(std::move(pdf)), glibDocument(std::move(glibPdf)) {
    renderer.set_image_format(poppler::image::format_gray8);
    renderer.set_render_hints(poppler::page_renderer::antialiasing |
                              poppler::page_renderer::text_antialiasing);
  }

  std::unique_ptr<poppler::document> document;
  GlibDocumentPtr glibDocument;  // null when GLib cannot open it
  poppler::page_renderer renderer;
};

}  // namespace bookloom

namespace {

void Open(PagedOpenRequest* request) {
  std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(request->path));
  if (!pdf) return;
  request->locked = pdf->is_locked();
  GlibDocumentPtr glibPdf;
  if (!request->locked) {
    request->pageCount = pdf->pages();
    ReportInfo(PagedInfoField::kTitle, pdf->get_title(), *request);
    ReportInfo(PagedInfoField::kAuthor, pdf->get_author(), *request);
    ReportInfo(PagedInfoField::kSubject, pdf->get_subject(), *request);
    glibPdf = OpenGlibDocument(request->path);
    if (glibPdf)
      Outline(glibPdf.get()).Report(*request);
    else
      request->outlineUnreadable = true;
  }
  request->file = new PagedFile(std::move(pdf), std::move(glibPdf));
}

// The size of the page as it is shown, turned upright, in points.
poppler::rectf ShownSize(const poppler::page& page) {
  const poppler::rectf box = page.page_rect(poppler::crop_box);
  const bool turned =
      page.orientation() == poppler::page::landscape || page.orientation() == poppler::page::seascape;
  return turned ? poppler::rectf(0, 0, box.height(), box.width()) : poppler::rectf(0, 0, box.width(), box.height());
}

PagedRenderResult Render(PagedRenderRequest* request) {
  PagedFile& pdf = *request->file;
  const std::unique_ptr<poppler::page> page(pdf.document->create_page(request->page));
  if (!page) return PagedRenderResult::kUnreadable;
  poppler::rectf part = ShownSize(*page);
  const bool cropped = request->cropX1 > request->cropX0 && request->cropY1 > request->cropY0;
  if (cropped) part = poppler::rectf(request->cropX0, request->cropY0, request->cropX1 - request->cropX0,
                                     request->cropY1 - request->cropY0);
  const double resolution = request->resolutionFor(request->context, part.width(), part.height());
  if (resolution <= 0) return PagedRenderResult::kRefused;
  const double scale = resolution / 72;
  const poppler::image image =
      cropped ? pdf.renderer.render_page(page.get(), resolution, resolution, static_cast<int>(part.left() * scale),
                                         static_cast<int>(part.top() * scale),
                                         std::max(1, static_cast<int>(part.width() * scale)),
                                         std::max(1, static_cast<int>(part.height() * scale)))
              : pdf.renderer.render_page(page.get(), resolution, resolution);
  if (!image.is_valid() || image.format() != poppler::image::format_gray8) return PagedRenderResult::kFailed;
  uint8_t* pixels = request->pixelsFor(request->context, image.width(), image.height());
  if (!pixels) return PagedRenderResult::kRefused;
  const auto rowBytes = static_cast<size_t>(image.width());
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(pixels + static_cast<size_t>(y) * rowBytes,
                image.const_data() + static_cast<size_t>(y) * image.bytes_per_row(), rowBytes);
  return PagedRenderResult::kRendered;
}

// Whether the font is a bold one, as its name tells ("Helvetica-Bold", "DejaVuSans-BoldOblique").
bool IsBoldFont(const std::string& name) {
  for (const char* weight : {"Bold", "Black", "Heavy", "Semibold", "Demi"})
    if (name.find(weight) != std::string::npos) return true;
  return false;
}

// Reports where the page's pictures stand.
void ReportPictures(const PagedTextRequest& request, PopplerPage* page) {
  const std::unique_ptr<GList, ImageMappingFree> mapping(poppler_page_get_image_mapping(page));
  for (const GList* item = mapping.get(); item; item = item->next) {
    const auto* image = static_cast<const PopplerImageMapping*>(item->data);
    const PopplerRectangle& area = image->area;
    request.picture(request.context, std::min(area.x1, area.x2), std::min(area.y1, area.y2),
                    std::max(area.x1, area.x2), std::max(area.y1, area.y2));
  }
}

struct TextAttributesFree {
  void operator()(GList* list) const { poppler_page_free_text_attributes(list); }
};

// The page's text as GLib gives it: its characters in UTF-8 with a rectangle each, and runs of them in
// one font. Words are the runs of characters between blanks and line ends.
class PageText {
 public:
  explicit PageText(PopplerPage* page)
      : text_(poppler_page_get_text(page)), attributes_(poppler_page_get_text_attributes(page)) {
    PopplerRectangle* rectangles = nullptr;
    if (poppler_page_get_text_layout(page, &rectangles, &count_)) rectangles_.reset(rectangles);
  }

  void Report(const PagedTextRequest& request) const {
    if (!text_ || !rectangles_) return;
    const char* at = text_.get();
    const GList* attribute = attributes_.get();
    std::string word;
    PagedWord box;
    for (guint i = 0; i < count_ && *at; ++i) {
      const char* next = g_utf8_next_char(at);
      const bool blank = *at == ' ' || *at == '\n' || *at == '\t';
      if (blank) {
        Flush(request, word, box, true);
      } else {
        while (attribute && static_cast<const PopplerTextAttributes*>(attribute->data)->end_index < static_cast<gint>(i))
          attribute = attribute->next;
        Add(word, box, at, next, rectangles_.get()[i],
            attribute ? static_cast<const PopplerTextAttributes*>(attribute->data) : nullptr);
      }
      at = next;
    }
    Flush(request, word, box, true);
  }

 private:
  static void Add(std::string& word, PagedWord& box, const char* from, const char* to, const PopplerRectangle& r,
                  const PopplerTextAttributes* font) {
    if (word.empty()) {
      box = PagedWord{.x0 = r.x1, .y0 = r.y1, .x1 = r.x2, .y1 = r.y2};
      box.fontSize = font ? font->font_size : r.y2 - r.y1;
      box.bold = font && font->font_name && IsBoldFont(font->font_name);
    }
    word.append(from, to);
    box.x0 = std::min(box.x0, r.x1);
    box.y0 = std::min(box.y0, r.y1);
    box.x1 = std::max(box.x1, r.x2);
    box.y1 = std::max(box.y1, r.y2);
  }

  static void Flush(const PagedTextRequest& request, std::string& word, PagedWord& box, bool spaceAfter) {
    if (word.empty()) return;
    box.utf8 = word.data();
    box.size = word.size();
    box.spaceAfter = spaceAfter;
    request.word(request.context, box);
    word.clear();
  }

  std::unique_ptr<char, GFree> text_;
  std::unique_ptr<GList, TextAttributesFree> attributes_;
  std::unique_ptr<PopplerRectangle, GFree> rectangles_;
  guint count_ = 0;
};

PagedRenderResult ReadText(PagedTextRequest* request) {
  PagedFile& pdf = *request->file;
  const GlibPagePtr page(pdf.glibDocument ? poppler_document_get_page(pdf.glibDocument.get(), request->page) : nullptr);
  if (!page) return PagedRenderResult::kUnreadable;
  // GLib gives the size of the page as it is shown, turned as the page says.
  poppler_page_get_size(page.get(), &request->width, &request->height);
  PageText(page.get()).Report(*request);
  ReportPictures(*request, page.get());
  return PagedRenderResult::kRendered;
}

void Close(PagedFile* file) { delete file; }

}  // namespace

extern "C" __attribute__((visibility("default"))) const bookloom::PagedModuleFunctions* BookloomPdfStart(
    int version) {
  if (version != bookloom::kPagedPluginVersion) return nullptr;
  poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
  static constexpr bookloom::PagedModuleFunctions kFunctions = {Open, Render, ReadText, Close};
  return &kFunctions;
}

// The entry point is what the program looks for.
static_assert(std::is_same_v<decltype(&BookloomPdfStart), bookloom::PagedStartFunction>);
