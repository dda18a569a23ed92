#include "documents/PdfReader.h"

#include <glib.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>
#include <poppler/glib/poppler.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "pictures/PageFitting.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr int kMaxOutlineDepth = 32;
constexpr size_t kMaxOutlineEntries = 20000;

std::u16string TextOf(const poppler::ustring& text) {
  const poppler::byte_array utf8 = text.to_utf8();
  return CollapseSpaces(Utf8ToUtf16(std::string_view(utf8.data(), utf8.size())));
}

// The pages of a PDF, rendered one by one in greys.
class PdfPages : public DocumentPictures {
 public:
  PdfPages(std::u16string fileName, std::unique_ptr<poppler::document> pdf)
      : fileName_(std::move(fileName)), pdf_(std::move(pdf)) {
    renderer_.set_image_format(poppler::image::format_gray8);
    renderer_.set_render_hints(poppler::page_renderer::antialiasing |
                               poppler::page_renderer::text_antialiasing);
  }

  size_t Count() const override { return static_cast<size_t>(pdf_->pages()); }
  std::u16string Name(size_t index) const override {
    return Utf8ToUtf16("page " + std::to_string(index + 1));
  }

  std::unique_ptr<Graphic> Decode(size_t index) override {
    const std::string part = "page " + std::to_string(index + 1);
    const std::unique_ptr<poppler::page> page(pdf_->create_page(static_cast<int>(index)));
    if (!page) throw DocumentError(fileName_, part, "the page cannot be read");
    const poppler::rectf box = page->page_rect(poppler::crop_box);
    const bool turned =
        page->orientation() == poppler::page::landscape || page->orientation() == poppler::page::seascape;
    const double width = turned ? box.height() : box.width(), height = turned ? box.width() : box.height();
    const double resolution = PdfRenderResolution(width, height);
    // The size is checked before poppler allocates a pixel of it.
    CheckPictureSize(static_cast<int64_t>(width * resolution / 72 + 1),
                     static_cast<int64_t>(height * resolution / 72 + 1),
                     fileName_ + u": " + Utf8ToUtf16(part));
    const poppler::image image = renderer_.render_page(page.get(), resolution, resolution);
    if (!image.is_valid() || image.format() != poppler::image::format_gray8)
      throw DocumentError(fileName_, part, "the page cannot be rendered");
    auto graphic = std::make_unique<Graphic>(image.width(), image.height(), PixelLayout::kGray,
                                             Graphic::Pixels::kUninitialised);
    for (int y = 0; y < image.height(); ++y)
      std::memcpy(graphic->Row(y), image.const_data() + static_cast<size_t>(y) * image.bytes_per_row(),
                  static_cast<size_t>(image.width()));
    return graphic;
  }

 private:
  std::u16string fileName_;
  std::unique_ptr<poppler::document> pdf_;
  poppler::page_renderer renderer_;
};

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

struct OutlineEntry {
  int level;
  std::u16string title;
  int page;  // from 1; 0 when the entry leads to no page
};

// The outline's entries in order, through poppler's GLib interface, which tells the page an entry
// leads to.
class Outline {
 public:
  explicit Outline(const std::u16string& fileName) {
    GErrorHolder uriError, openError;
    const std::unique_ptr<gchar, GFree> uri(
        g_filename_to_uri(Utf16ToUtf8(fileName).c_str(), nullptr, &uriError.error));
    if (uri) pdf_.reset(poppler_document_new_from_file(uri.get(), nullptr, &openError.error));
  }

  std::vector<OutlineEntry> Entries() {
    std::vector<OutlineEntry> entries;
    if (pdf_) Walk(IndexIterPtr(poppler_index_iter_new(pdf_.get())), 1, entries);
    return entries;
  }

 private:
  void Walk(IndexIterPtr iter, int depth, std::vector<OutlineEntry>& entries) {
    if (!iter || depth > kMaxOutlineDepth) return;
    do {
      if (entries.size() >= kMaxOutlineEntries) return;
      const std::unique_ptr<PopplerAction, ActionFree> action(poppler_index_iter_get_action(iter.get()));
      if (action && action->type == POPPLER_ACTION_GOTO_DEST) {
        const char* title = action->any.title;
        entries.push_back({std::min(depth, 3), CollapseSpaces(Utf8ToUtf16(title ? title : "")),
                           PageOf(action->goto_dest.dest)});
      }
      Walk(IndexIterPtr(poppler_index_iter_get_child(iter.get())), depth + 1, entries);
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

}  // namespace

double PdfRenderResolution(double widthPoints, double heightPoints) {
  widthPoints = std::max(widthPoints, 1.0);
  heightPoints = std::max(heightPoints, 1.0);
  double scale = std::max(kDevicePageWidth / widthPoints, kDevicePageHeight / heightPoints);
  scale = std::min({scale, 4 * kDevicePageWidth / widthPoints, 4 * kDevicePageHeight / heightPoints});
  return 72 * scale;
}

void SilencePdfWarnings() {
  poppler::set_debug_error_function([](const std::string&, void*) {}, nullptr);
}

Document ReadPdf(const std::u16string& fileName) {
  std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(Utf16ToUtf8(fileName)));
  if (!pdf) throw DocumentError(fileName, "", "not a PDF file, or a damaged one");
  if (pdf->is_locked()) throw DocumentError(fileName, "", "encrypted: it opens only with its password");
  const int pages = pdf->pages();
  if (pages <= 0) throw DocumentError(fileName, "", "the PDF has no page");
  Document document;
  document.info.title = TextOf(pdf->get_title());
  document.info.author = TextOf(pdf->get_author());
  document.info.subject = TextOf(pdf->get_subject());
  std::multimap<int, OutlineEntry> headings;
  for (OutlineEntry& entry : Outline(fileName).Entries()) {
    if (entry.page < 1 || entry.page > pages) {
      document.warnings.push_back("outline: \"" + Utf16ToUtf8(entry.title) + "\" leads to no page: left out");
      continue;
    }
    headings.emplace(entry.page, std::move(entry));
  }
  for (int page = 1; page <= pages; ++page) {
    const auto [first, last] = headings.equal_range(page);
    for (auto h = first; h != last; ++h) document.AddHeading(h->second.level, std::move(h->second.title));
    document.AddPicture(static_cast<size_t>(page - 1));
  }
  document.cover = 0;
  document.pictures = std::make_unique<PdfPages>(fileName, std::move(pdf));
  return document;
}

}  // namespace bookloom
