// The PDF reader module: opens a PDF through poppler, reports its information and outline, and
// renders its pages in greys for the program. Loaded by the program on first use (see
// documents/PagedPlugin.h).
#include <GfxState.h>
#include <GlobalParams.h>
#include <OutputDev.h>
#include <PDFDoc.h>
#include <Stream.h>
#include <TextOutputDev.h>
#include <glib.h>
#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>
#include <poppler/glib/poppler.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "documents/PagedPlugin.h"

namespace {

using bookloom::kMaxOutlineDepth;
using bookloom::kMaxOutlineEntries;
using bookloom::PagedFile;
using bookloom::PagedInfoField;
using bookloom::PagedOpenRequest;
using bookloom::PagedRenderRequest;
using bookloom::PagedRenderResult;
using bookloom::PagedTextRequest;
using bookloom::PagedWord;

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
    const GlibPagePtr page(dest->page_num > 0 ? poppler_document_get_page(pdf_, dest->page_num - 1)
                                              : nullptr);
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

// A picture drawn on a page, as the text's pass over the page saw it.
struct PageImage {
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // points from the top left of the page as it is shown
  int order = 0;                          // among the page's pictures, as they are drawn
  int width = 0, height = 0;              // its pixels
  bool mirrorX = false, mirrorY = false;  // its rows run right to left, or its first row is its foot
  // Whether it stands on the page as it is: upright, whole, opaque, with no text nor drawing over it, so
  // that its own pixels show what the page shows there.
  bool plain = false;
};

namespace bookloom {

struct PagedFile {
  PagedFile(std::unique_ptr<poppler::document> pdf, GlibDocumentPtr glibPdf, std::unique_ptr<PDFDoc> corePdf)
      : document(std::move(pdf)), glibDocument(std::move(glibPdf)), core(std::move(corePdf)) {
    renderer.set_image_format(poppler::image::format_gray8);
    renderer.set_render_hints(poppler::page_renderer::antialiasing |
                              poppler::page_renderer::text_antialiasing);
  }

  std::unique_ptr<poppler::document> document;
  GlibDocumentPtr glibDocument;  // null when GLib cannot open it
  poppler::page_renderer renderer;
  // poppler's own document, which reads a page's text and pictures in one pass; null when the
  // document is locked. Declared after `document`, which holds poppler's settings while it lives, so
  // that it is closed first.
  std::unique_ptr<PDFDoc> core;
  std::map<int, std::vector<PageImage>> images;  // by page, as reading the page's text found them
};

}  // namespace bookloom

namespace {

void Open(PagedOpenRequest* request) {
  std::unique_ptr<poppler::document> pdf(poppler::document::load_from_file(request->path));
  if (!pdf) return;
  request->locked = pdf->is_locked();
  GlibDocumentPtr glibPdf;
  std::unique_ptr<PDFDoc> core;
  if (!request->locked) {
    core = std::make_unique<PDFDoc>(std::make_unique<GooString>(request->path));
    if (!core->isOk()) core.reset();
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
  request->file = new PagedFile(std::move(pdf), std::move(glibPdf), std::move(core));
}

// The size of the page as it is shown, turned upright, in points.
poppler::rectf ShownSize(const poppler::page& page) {
  const poppler::rectf box = page.page_rect(poppler::crop_box);
  const bool turned =
      page.orientation() == poppler::page::landscape || page.orientation() == poppler::page::seascape;
  return turned ? poppler::rectf(0, 0, box.height(), box.width())
                : poppler::rectf(0, 0, box.width(), box.height());
}

// A picture's own pixels in greys, taken as the page draws it (the page's other contents are passed
// over), made smaller by `shrink` (the mean of each shrink x shrink pixels) and turned as the page
// shows it.
class PictureGrab : public OutputDev {
 public:
  PictureGrab(const PageImage& image, int shrink, const PagedRenderRequest& request)
      : image_(image), shrink_(shrink), request_(request) {}

  bool upsideDown() override { return true; }
  bool useDrawChar() override { return false; }
  bool interpretType3Chars() override { return false; }

  void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                 bool interpolate, const int* maskColors, bool inlineImg) override {
    if (count_++ == image_.order && width == image_.width && height == image_.height && !inlineImg &&
        colorMap && colorMap->isOk())
      result_ = Take(str, *colorMap);
    else
      OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
  }
  void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                     bool interpolate, bool inlineImg) override {
    ++count_;
    OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
  }
  void drawMaskedImage(GfxState*, Object*, Stream*, int, int, GfxImageColorMap*, bool, Stream*, int, int,
                       bool, bool) override {
    ++count_;
  }
  void drawSoftMaskedImage(GfxState*, Object*, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                           bool, Stream* maskStr, int, int, GfxImageColorMap* maskColorMap, bool) override {
    if (count_++ == image_.order && width == image_.width && height == image_.height && colorMap &&
        colorMap->isOk() && maskColorMap && maskColorMap->isOk())
      result_ = Take(str, *colorMap, maskStr, maskColorMap);
  }

  // Whether the page is read far enough: the picture is taken (or passed).
  bool Done() const { return count_ > image_.order; }
  PagedRenderResult Result() const { return result_; }

 private:
  // The picture's pixels; with a soft mask of its size, laid over white.
  PagedRenderResult Take(Stream* str, GfxImageColorMap& colorMap, Stream* maskStr = nullptr,
                         GfxImageColorMap* maskColorMap = nullptr) {
    const int width = image_.width / shrink_, height = image_.height / shrink_;
    if (width <= 0 || height <= 0) return PagedRenderResult::kFailed;
    uint8_t* pixels = request_.pixelsFor(request_.context, width, height);
    if (!pixels) return PagedRenderResult::kRefused;
    ImageStream stream(str, image_.width, colorMap.getNumPixelComps(), colorMap.getBits());
    stream.reset();
    std::unique_ptr<ImageStream> mask;
    if (maskStr) {
      mask = std::make_unique<ImageStream>(maskStr, image_.width, maskColorMap->getNumPixelComps(),
                                           maskColorMap->getBits());
      mask->reset();
    }
    const int comps = colorMap.getNumPixelComps(), maskComps = mask ? maskColorMap->getNumPixelComps() : 0;
    std::vector<unsigned> sums(static_cast<size_t>(width));
    const unsigned area = static_cast<unsigned>(shrink_ * shrink_);
    PagedRenderResult result = PagedRenderResult::kRendered;
    for (int row = 0; row < height; ++row) {
      std::fill(sums.begin(), sums.end(), 0u);
      for (int k = 0; k < shrink_; ++k) {
        const unsigned char* line = stream.getLine();
        const unsigned char* maskLine = mask ? mask->getLine() : nullptr;
        if (!line || (mask && !maskLine)) {
          result = PagedRenderResult::kFailed;
          break;
        }
        for (int x = 0; x < width * shrink_; ++x) {
          GfxGray gray;
          colorMap.getGray(line + static_cast<size_t>(x) * comps, &gray);
          unsigned value = colToByte(gray);
          if (maskLine) {
            GfxGray alpha;
            maskColorMap->getGray(maskLine + static_cast<size_t>(x) * maskComps, &alpha);
            const unsigned a = colToByte(alpha);
            value = (value * a + 255 * (255 - a) + 127) / 255;
          }
          sums[static_cast<size_t>(x / shrink_)] += value;
        }
      }
      if (result != PagedRenderResult::kRendered) break;
      const int y = image_.mirrorY ? height - 1 - row : row;
      uint8_t* out = pixels + static_cast<size_t>(y) * width;
      for (int x = 0; x < width; ++x)
        out[image_.mirrorX ? width - 1 - x : x] = static_cast<uint8_t>(sums[static_cast<size_t>(x)] / area);
    }
    stream.close();
    if (mask) mask->close();
    return result;
  }

  const PageImage& image_;
  int shrink_;
  const PagedRenderRequest& request_;
  int count_ = 0;
  PagedRenderResult result_ = PagedRenderResult::kFailed;
};

// The plain picture that stands exactly where the request crops the page, or null.
const PageImage* PlainPictureAt(const PagedFile& pdf, const PagedRenderRequest& request) {
  const auto page = pdf.images.find(request.page);
  if (page == pdf.images.end()) return nullptr;
  constexpr double kSame = 0.01;
  for (const PageImage& image : page->second)
    if (image.plain && std::abs(image.x0 - request.cropX0) < kSame &&
        std::abs(image.y0 - request.cropY0) < kSame && std::abs(image.x1 - request.cropX1) < kSame &&
        std::abs(image.y1 - request.cropY1) < kSame)
      return &image;
  return nullptr;
}

// Renders a plain picture from its own pixels rather than the page: no larger than the resolution asked
// needs (halved, thirded, ... while it stays at least that large), kFailed when poppler cannot read it.
PagedRenderResult RenderPlainPicture(PagedFile& pdf, const PageImage& image, double resolution,
                                     PagedRenderRequest& request) {
  const double needWidth = (image.x1 - image.x0) * resolution / 72,
               needHeight = (image.y1 - image.y0) * resolution / 72;
  const int shrink = std::max(1, static_cast<int>(std::min(image.width / std::max(1.0, needWidth),
                                                           image.height / std::max(1.0, needHeight))));
  PictureGrab grab(image, shrink, request);
  pdf.core->displayPage(
      &grab, request.page + 1, 72, 72, 0, false, true, false,
      [](void* data) { return static_cast<PictureGrab*>(data)->Done(); }, &grab);
  return grab.Result();
}

PagedRenderResult Render(PagedRenderRequest* request) {
  PagedFile& pdf = *request->file;
  const std::unique_ptr<poppler::page> page(pdf.document->create_page(request->page));
  if (!page) return PagedRenderResult::kUnreadable;
  poppler::rectf part = ShownSize(*page);
  const bool cropped = request->cropX1 > request->cropX0 && request->cropY1 > request->cropY0;
  if (cropped)
    part = poppler::rectf(request->cropX0, request->cropY0, request->cropX1 - request->cropX0,
                          request->cropY1 - request->cropY0);
  const double resolution = request->resolutionFor(request->context, part.width(), part.height());
  if (resolution <= 0) return PagedRenderResult::kRefused;
  if (const PageImage* image = cropped ? PlainPictureAt(pdf, *request) : nullptr) {
    const PagedRenderResult result = RenderPlainPicture(pdf, *image, resolution, *request);
    if (result != PagedRenderResult::kFailed) return result;
  }
  const double scale = resolution / 72;
  const poppler::image rendered =
      cropped ? pdf.renderer.render_page(
                    page.get(), resolution, resolution, static_cast<int>(part.left() * scale),
                    static_cast<int>(part.top() * scale), std::max(1, static_cast<int>(part.width() * scale)),
                    std::max(1, static_cast<int>(part.height() * scale)))
              : pdf.renderer.render_page(page.get(), resolution, resolution);
  if (!rendered.is_valid() || rendered.format() != poppler::image::format_gray8)
    return PagedRenderResult::kFailed;
  uint8_t* pixels = request->pixelsFor(request->context, rendered.width(), rendered.height());
  if (!pixels) return PagedRenderResult::kRefused;
  const auto rowBytes = static_cast<size_t>(rendered.width());
  for (int y = 0; y < rendered.height(); ++y)
    std::memcpy(pixels + static_cast<size_t>(y) * rowBytes,
                rendered.const_data() + static_cast<size_t>(y) * rendered.bytes_per_row(), rowBytes);
  return PagedRenderResult::kRendered;
}

// Where a picture drawn with the state's transformation stands on the page, and how its pixels lie
// there: the corners of its first row and of its first column, in points from the page's top left.
struct Placement {
  double x0, y0, x1, y1;
  bool upright, mirrorX, mirrorY;
};

Placement PlacementOf(const GfxState& state) {
  // A picture's first pixel is at (0, 1) of its unit square, its first row runs to (1, 1) and its first
  // column to (0, 0).
  double ax, ay, bx, by, cx, cy, dx, dy;
  state.transform(0, 1, &ax, &ay);
  state.transform(1, 1, &bx, &by);
  state.transform(0, 0, &cx, &cy);
  state.transform(1, 0, &dx, &dy);
  constexpr double kStraight = 0.01;
  const bool upright = std::abs(by - ay) < kStraight && std::abs(cx - ax) < kStraight;
  return {std::min({ax, bx, cx, dx}),
          std::min({ay, by, cy, dy}),
          std::max({ax, bx, cx, dx}),
          std::max({ay, by, cy, dy}),
          upright,
          bx < ax,
          cy < ay};
}

bool Overlap(double a0, double a1, double b0, double b1) { return std::min(a1, b1) > std::max(a0, b0); }

// One pass over a page: its text, as poppler's text output gathers it, and the pictures drawn on it with
// what is drawn over them.
class PageScan : public TextOutputDev {
 public:
  PageScan() : TextOutputDev(nullptr, true, 0, false, false) {}

  bool needNonText() override { return true; }

  void drawImage(GfxState* state, Object* ref, Stream* str, int width, int height, GfxImageColorMap* colorMap,
                 bool interpolate, const int* maskColors, bool inlineImg) override {
    Note(*state, width, height, !inlineImg && !maskColors);
    OutputDev::drawImage(state, ref, str, width, height, colorMap, interpolate, maskColors, inlineImg);
  }
  void drawImageMask(GfxState* state, Object* ref, Stream* str, int width, int height, bool invert,
                     bool interpolate, bool inlineImg) override {
    Note(*state, width, height, false);
    OutputDev::drawImageMask(state, ref, str, width, height, invert, interpolate, inlineImg);
  }
  void drawMaskedImage(GfxState* state, Object*, Stream*, int width, int height, GfxImageColorMap*, bool,
                       Stream*, int, int, bool, bool) override {
    Note(*state, width, height, false);
  }
  void drawSoftMaskedImage(GfxState* state, Object*, Stream*, int width, int height, GfxImageColorMap*, bool,
                           Stream*, int maskWidth, int maskHeight, GfxImageColorMap* maskColorMap,
                           bool) override {
    // A mask of the picture's own size, which does not tell of a colour the picture was blended with, is
    // laid over white as the page is.
    Note(*state, width, height,
         maskWidth == width && maskHeight == height && maskColorMap && !maskColorMap->getMatteColor());
  }
  void stroke(GfxState* state) override {
    TextOutputDev::stroke(state);
    Cover(*state);
  }
  void fill(GfxState* state) override {
    TextOutputDev::fill(state);
    Cover(*state);
  }
  void eoFill(GfxState* state) override {
    TextOutputDev::eoFill(state);
    Cover(*state);
  }

  // The pictures, each plain when no word stands over it either.
  std::vector<PageImage> Pictures(const std::vector<PagedWord>& words) {
    for (PageImage& image : images_)
      for (const PagedWord& w : words)
        if (Overlap(image.x0, image.x1, w.x0, w.x1) && Overlap(image.y0, image.y1, w.y0, w.y1))
          image.plain = false;
    return std::move(images_);
  }

 private:
  void Note(const GfxState& state, int width, int height, bool plainKind) {
    const Placement at = PlacementOf(state);
    double clipX0, clipY0, clipX1, clipY1;
    state.getClipBBox(&clipX0, &clipY0, &clipX1, &clipY1);
    // A picture cut by its clip shows less than its pixels hold.
    constexpr double kSlack = 0.5;
    const bool whole = clipX0 <= at.x0 + kSlack && clipY0 <= at.y0 + kSlack && clipX1 >= at.x1 - kSlack &&
                       clipY1 >= at.y1 - kSlack;
    PageImage image{at.x0,
                    at.y0,
                    at.x1,
                    at.y1,
                    static_cast<int>(images_.size()),
                    width,
                    height,
                    at.mirrorX,
                    at.mirrorY,
                    plainKind && at.upright && whole && state.getFillOpacity() >= 1};
    images_.push_back(image);
  }

  // A drawing over the pictures drawn before it.
  void Cover(const GfxState& state) {
    const GfxPath* path = state.getPath();
    if (!path || path->getNumSubpaths() == 0) return;
    double px0 = 1e30, py0 = 1e30, px1 = -1e30, py1 = -1e30;
    for (int i = 0; i < path->getNumSubpaths(); ++i) {
      const GfxSubpath* sub = path->getSubpath(i);
      for (int j = 0; j < sub->getNumPoints(); ++j) {
        double dx, dy;
        state.transform(sub->getX(j), sub->getY(j), &dx, &dy);
        px0 = std::min(px0, dx), py0 = std::min(py0, dy), px1 = std::max(px1, dx), py1 = std::max(py1, dy);
      }
    }
    // A stroke reaches half its width beyond its path.
    const double reach = std::max(1.0, state.getTransformedLineWidth());
    for (PageImage& image : images_)
      if (Overlap(image.x0, image.x1, px0 - reach, px1 + reach) &&
          Overlap(image.y0, image.y1, py0 - reach, py1 + reach))
        image.plain = false;
  }

  std::vector<PageImage> images_;
};

// Whether the font is a bold one, as its name tells ("Helvetica-Bold", "DejaVuSans-BoldOblique").
bool IsBoldFont(const GooString* name) {
  if (!name) return false;
  const std::string text = name->toStr();
  for (const char* weight : {"Bold", "Black", "Heavy", "Semibold", "Demi"})
    if (text.find(weight) != std::string::npos) return true;
  return false;
}

// The size of the page as it is shown, turned upright, in points.
void ShownSize(PDFDoc& pdf, int page, double& width, double& height) {
  width = pdf.getPageCropWidth(page);
  height = pdf.getPageCropHeight(page);
  if (pdf.getPageRotate(page) % 180 != 0) std::swap(width, height);
}

PagedRenderResult ReadText(PagedTextRequest* request) {
  PagedFile& pdf = *request->file;
  const int number = request->page + 1;
  if (!pdf.core || number < 1 || number > pdf.core->getNumPages()) return PagedRenderResult::kUnreadable;
  ShownSize(*pdf.core, number, request->width, request->height);
  PageScan scan;
  if (!scan.isOk()) return PagedRenderResult::kUnreadable;
  pdf.core->displayPage(&scan, number, 72, 72, 0, false, true, false);
  std::vector<std::string> texts;
  std::vector<PagedWord> words;
  const std::unique_ptr<TextWordList> list = scan.makeWordList();
  for (int i = 0; i < list->getLength(); ++i) {
    const TextWord* word = list->get(i);
    const std::unique_ptr<GooString> text(word->getText());
    if (!text || text->getLength() == 0) continue;
    PagedWord w;
    word->getBBox(&w.x0, &w.y0, &w.x1, &w.y1);
    w.fontSize = word->getFontSize();
    w.bold = word->getLength() > 0 && IsBoldFont(word->getFontName(0));
    w.spaceAfter = word->getSpaceAfter();
    texts.push_back(text->toStr());
    words.push_back(w);
  }
  for (size_t i = 0; i < words.size(); ++i) {
    words[i].utf8 = texts[i].data();
    words[i].size = texts[i].size();
    request->word(request->context, words[i]);
  }
  std::vector<PageImage> images = scan.Pictures(words);
  for (const PageImage& image : images)
    request->picture(request->context, image.x0, image.y0, image.x1, image.y1);
  pdf.images[request->page] = std::move(images);
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
