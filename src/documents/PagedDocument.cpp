#include "documents/PagedDocument.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <map>
#include <string_view>

#include "documents/PagedPlugin.h"
#include "documents/TextLayer.h"
#include "pictures/PageFitting.h"
#include "pictures/Resampling.h"
#include "pictures/ScanCleanup.h"
#include "pictures/TextFigures.h"
#include "platform/Modules.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The format's reader module's functions, or DocumentError naming the file when it cannot be loaded.
const PagedModuleFunctions& ModuleFor(const Runtime& runtime, const PagedFormat& format,
                                      const std::u16string& fileName) {
  const ModuleFunctions<PagedModuleFunctions>& module = PagedModule(runtime, format);
  if (!module.functions)
    throw DocumentError(fileName, "",
                        std::string("the ") + format.name + " reader cannot be loaded: " + module.problem);
  return *module.functions;
}

struct PagedFileClose {
  const PagedModuleFunctions* module;
  void operator()(PagedFile* file) const { module->close(file); }
};
using PagedFilePtr = std::unique_ptr<PagedFile, PagedFileClose>;

struct OutlineEntry {
  int level;
  std::u16string title;
  int page;    // from 1; 0 when the entry leads to no page
  double top;  // points from the page's top; negative when the entry names only the page
};

// What opening a document reports: its information and its outline.
struct PagedDescription {
  DocumentInfo info;
  std::vector<OutlineEntry> outline;
};

void AddInfo(void* context, PagedInfoField field, const char* utf8, size_t size) {
  DocumentInfo& info = static_cast<PagedDescription*>(context)->info;
  std::u16string& text = field == PagedInfoField::kTitle    ? info.title
                         : field == PagedInfoField::kAuthor ? info.author
                                                            : info.subject;
  text = CollapseSpaces(Utf8ToUtf16(std::string_view(utf8, size)));
}

void AddOutlineEntry(void* context, int level, const char* title, int page, double top) {
  static_cast<PagedDescription*>(context)->outline.push_back(
      {level, CollapseSpaces(Utf8ToUtf16(title)), page, top});
}

// What rendering a page works on: its name in messages, and the picture made or why it was refused.
struct PageRendering {
  std::u16string name;
  bool picture;  // a picture cut from a page rather than a whole page
  double scale;  // of a whole page's resolution: finer for scans, which are cleaned and cut into words
  std::unique_ptr<Graphic> graphic;
  std::exception_ptr refusal;
  int width = 0, height = 0;  // the size the resolution asked for makes, in pixels
};

// Pictures cut from pages are rendered at most this fine, in pixels per inch: as fine as the pictures
// of most documents are, so that a small picture is not rendered (and written) larger than it is.
constexpr double kPictureResolution = 150;

double ResolutionFor(void* context, double widthPoints, double heightPoints) {
  auto& rendering = *static_cast<PageRendering*>(context);
  const double cover = PageRenderResolution(widthPoints, heightPoints);
  const double finest = PageRenderResolution(widthPoints, heightPoints, kFinestScale);
  const double resolution =
      rendering.picture ? std::min(cover, kPictureResolution) : std::min(cover * rendering.scale, finest);
  try {
    // The size is checked before poppler allocates a pixel of it.
    CheckPictureSize(static_cast<int64_t>(widthPoints * resolution / 72 + 1),
                     static_cast<int64_t>(heightPoints * resolution / 72 + 1), rendering.name);
    rendering.width = std::max(1, static_cast<int>(widthPoints * resolution / 72));
    rendering.height = std::max(1, static_cast<int>(heightPoints * resolution / 72));
    return resolution;
  } catch (...) {
    rendering.refusal = std::current_exception();
    return 0;
  }
}

uint8_t* PixelsFor(void* context, int width, int height) {
  auto& rendering = *static_cast<PageRendering*>(context);
  try {
    rendering.graphic =
        std::make_unique<Graphic>(width, height, PixelLayout::kGray, Graphic::Pixels::kUninitialised);
    return rendering.graphic->Row(0);
  } catch (...) {
    rendering.refusal = std::current_exception();
    return nullptr;
  }
}

// "page 3", or "page 3, picture at 72, 140" for a part of it.
std::string PartName(const LayerPicture& picture) {
  std::string name = "page " + std::to_string(picture.page + 1);
  if (picture.box.Width() > 0)
    name += ", picture at " + std::to_string(static_cast<int>(picture.box.x0)) + ", " +
            std::to_string(static_cast<int>(picture.box.y0));
  return name;
}

// The picture rendered in greys: its part of the page, or the whole page at `pageScale` times the
// resolution that covers the device's page.
std::unique_ptr<Graphic> RenderPicture(const std::u16string& fileName, PagedFile* file,
                                       const PagedModuleFunctions& module, const LayerPicture& picture,
                                       double pageScale) {
  const std::string part = PartName(picture);
  const PageBox& box = picture.box;
  PageRendering rendering{fileName + u": " + Utf8ToUtf16(part), box.Width() > 0, pageScale, nullptr, nullptr};
  PagedRenderRequest request{.file = file,
                             .page = static_cast<int>(picture.page),
                             .context = &rendering,
                             .resolutionFor = ResolutionFor,
                             .pixelsFor = PixelsFor,
                             .cropX0 = box.x0,
                             .cropY0 = box.y0,
                             .cropX1 = box.x1,
                             .cropY1 = box.y1};
  switch (module.render(&request)) {
    case PagedRenderResult::kRendered:
      break;
    case PagedRenderResult::kUnreadable:
      throw DocumentError(fileName, part, "the page cannot be read");
    case PagedRenderResult::kFailed:
      throw DocumentError(fileName, part, "the page cannot be rendered");
    case PagedRenderResult::kRefused:
      std::rethrow_exception(rendering.refusal);
  }
  // A picture handed over in its own pixels, fewer than the resolution asked for, is enlarged to it as
  // a rendering would have drawn it.
  const Graphic& made = *rendering.graphic;
  if (made.Width() < rendering.width && made.Height() < rendering.height) {
    GrayImage enlarged(rendering.width, rendering.height);
    ResampleGray(ViewOf(made), enlarged, Lanczos3Filter, kLanczos3Support);
    auto graphic = std::make_unique<Graphic>(enlarged.Width(), enlarged.Height(), PixelLayout::kGray,
                                             Graphic::Pixels::kUninitialised);
    for (int y = 0; y < enlarged.Height(); ++y)
      std::copy_n(enlarged.Row(y), enlarged.Width(), graphic->Row(y));
    return graphic;
  }
  return std::move(rendering.graphic);
}

// The pictures of a paged document, rendered one by one in greys: whole pages, or the parts of pages
// where pictures stand.
class PagedPictures : public DocumentPictures {
 public:
  PagedPictures(std::u16string fileName, PagedFilePtr file, std::vector<LayerPicture> pictures,
                double pageScale)
      : fileName_(std::move(fileName)),
        file_(std::move(file)),
        pictures_(std::move(pictures)),
        pageScale_(pageScale) {}

  size_t Count() const override { return pictures_.size(); }
  std::u16string Name(size_t index) const override { return Utf8ToUtf16(PartName(pictures_[index])); }

  std::unique_ptr<Graphic> Decode(size_t index) override {
    return RenderPicture(fileName_, file_.get(), *file_.get_deleter().module, pictures_[index], pageScale_);
  }

 private:
  std::u16string fileName_;
  PagedFilePtr file_;
  std::vector<LayerPicture> pictures_;
  double pageScale_;
};

// What reading a page's text collects: the words and pictures of the page.
struct PageCollection {
  std::vector<LayerWord> words;
  std::vector<PageBox> pictures;
};

void AddWord(void* context, const PagedWord& word) {
  static_cast<PageCollection*>(context)->words.push_back({Utf8ToUtf16(std::string_view(word.utf8, word.size)),
                                                          {word.x0, word.y0, word.x1, word.y1},
                                                          word.fontSize,
                                                          word.bold,
                                                          word.spaceAfter});
}

void AddPicture(void* context, double x0, double y0, double x1, double y1) {
  static_cast<PageCollection*>(context)->pictures.push_back({x0, y0, x1, y1});
}

// The text layer of every page, read one page at a time into lines.
std::vector<LayerPage> ReadTextLayer(const std::u16string& fileName, PagedFile* file,
                                     const PagedModuleFunctions& module, int pages) {
  std::vector<LayerPage> layer;
  layer.reserve(static_cast<size_t>(pages));
  for (int page = 0; page < pages; ++page) {
    PageCollection collection;
    PagedTextRequest request{
        .file = file, .page = page, .context = &collection, .word = AddWord, .picture = AddPicture};
    if (module.text(&request) != PagedRenderResult::kRendered)
      throw DocumentError(fileName, "page " + std::to_string(page + 1), "the page cannot be read");
    // A page without text or pictures on it (a drawing, a scanned illustration) is a picture itself.
    if (collection.words.empty() && collection.pictures.empty())
      collection.pictures.push_back({0, 0, request.width, request.height});
    layer.push_back({request.width, request.height, LinesOf(InReadingOrder(std::move(collection.words))),
                     std::move(collection.pictures)});
  }
  return layer;
}

// The middle of the values; 0 without values.
double MiddleOf(std::vector<double> values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// The extent of the lines.
PageBox TextBoxOf(const std::vector<const LayerLine*>& lines, const LayerPage& page) {
  PageBox box{page.width, page.height, 0, 0};
  for (const LayerLine* l : lines)
    box = {std::min(box.x0, l->box.x0), std::min(box.y0, l->box.y0), std::max(box.x1, l->box.x1),
           std::max(box.y1, l->box.y1)};
  return box;
}

// Which pages with text leave room for a figure as large as the scan segmentation finds (a tenth of
// the page's width, a twentieth of its height): a place that large without text within the part of the
// page where most pages' text stands (between their margins). Running headers, footers and page numbers
// stand apart from the text on most pages alike, in the margins.
std::vector<bool> PagesWithRoom(const std::vector<LayerPage>& layer) {
  const std::vector<std::vector<bool>> running = RunningLinesOf(layer);
  std::vector<std::vector<const LayerLine*>> body(layer.size());
  for (size_t p = 0; p < layer.size(); ++p)
    for (size_t i = 0; i < layer[p].lines.size(); ++i)
      if (!running[p][i]) body[p].push_back(&layer[p].lines[i]);
  std::vector<double> tops, bottoms, lefts, rights;
  for (size_t p = 0; p < layer.size(); ++p) {
    if (body[p].empty()) continue;
    const LayerPage& page = layer[p];
    const PageBox text = TextBoxOf(body[p], page);
    tops.push_back(text.y0), bottoms.push_back(page.height - text.y1), lefts.push_back(text.x0),
        rights.push_back(page.width - text.x1);
  }
  const double top = MiddleOf(tops), bottom = MiddleOf(bottoms), left = MiddleOf(lefts),
               right = MiddleOf(rights);
  // The page in cells, a figure's width four of them and its height four.
  constexpr int kAcross = 4 * kPictureShareOfWidth, kDown = 4 * kPictureShareOfHeight;
  std::vector<bool> room(layer.size());
  for (size_t p = 0; p < layer.size(); ++p) {
    const LayerPage& page = layer[p];
    if (page.lines.empty() || page.width <= 0 || page.height <= 0) continue;
    const double cellWidth = page.width / kAcross, cellHeight = page.height / kDown;
    // Cells that text touches, or that lie outside where most pages' text stands, counted in sums over
    // the rectangles from the page's top left.
    std::vector<int> sums((kAcross + 1) * (kDown + 1));
    const auto at = [&](int x, int y) -> int& { return sums[static_cast<size_t>(y) * (kAcross + 1) + x]; };
    std::vector<uint8_t> taken(kAcross * kDown);
    const auto take = [&](double x0, double y0, double x1, double y1) {
      const int cx0 = std::clamp(static_cast<int>(x0 / cellWidth), 0, kAcross);
      const int cx1 = std::clamp(static_cast<int>(std::ceil(x1 / cellWidth)), 0, kAcross);
      const int cy0 = std::clamp(static_cast<int>(y0 / cellHeight), 0, kDown);
      const int cy1 = std::clamp(static_cast<int>(std::ceil(y1 / cellHeight)), 0, kDown);
      for (int y = cy0; y < cy1; ++y)
        std::fill_n(taken.begin() + y * kAcross + cx0, std::max(0, cx1 - cx0), 1);
    };
    take(0, 0, page.width, top), take(0, page.height - bottom, page.width, page.height);
    take(0, 0, left, page.height), take(page.width - right, 0, page.width, page.height);
    for (const LayerLine* line : body[p]) take(line->box.x0, line->box.y0, line->box.x1, line->box.y1);
    for (int y = 0; y < kDown; ++y)
      for (int x = 0; x < kAcross; ++x)
        at(x + 1, y + 1) = taken[y * kAcross + x] + at(x, y + 1) + at(x + 1, y) - at(x, y);
    // A place a figure's size, wherever it lies, holds three whole cells across and down.
    constexpr int kWide = kAcross / kPictureShareOfWidth - 1, kHigh = kDown / kPictureShareOfHeight - 1;
    for (int y = 0; y + kHigh <= kDown && !room[p]; ++y)
      for (int x = 0; x + kWide <= kAcross && !room[p]; ++x)
        room[p] = at(x + kWide, y + kHigh) - at(x, y + kHigh) - at(x + kWide, y) + at(x, y) == 0;
  }
  return room;
}

// The boxes of the page's lines in the pixels of a rendering `across` pixels a point across and `down`
// pixels a point down.
std::vector<PictureBox> LineBoxesIn(const LayerPage& page, double across, double down) {
  std::vector<PictureBox> boxes;
  for (const LayerLine& line : page.lines)
    boxes.push_back({static_cast<int>(line.box.x0 * across), static_cast<int>(line.box.y0 * down),
                     static_cast<int>(std::ceil(line.box.Width() * across)),
                     static_cast<int>(std::ceil(line.box.Height() * down))});
  return boxes;
}

// Finds the figures on the pages with text of a document whose pages hold no pictures of their own
// (the drawings and photographs of a scan under its hidden text). Each page with room for one is first
// rendered coarsely (half as fine as it covers the device's page) to see whether ink beside its text
// could make a figure; only such a page is rendered twice as fine as it covers the device's page (so
// that the letters of small print are high enough for the segmentation to see), and its figures beside
// its text become its pictures. Tells how many pages had room and how many were searched.
struct FigureSearch {
  size_t roomy = 0, searched = 0;
};
FigureSearch FindFigures(const Runtime& runtime, const std::u16string& fileName, PagedFile* file,
                         const PagedModuleFunctions& module, std::vector<LayerPage>& layer) {
  const std::vector<bool> room = PagesWithRoom(layer);
  FigureSearch search;
  for (size_t p = 0; p < layer.size(); ++p) {
    LayerPage& page = layer[p];
    if (!room[p] || page.width <= 0 || page.height <= 0) continue;
    ++search.roomy;
    const std::unique_ptr<Graphic> coarse = RenderPicture(fileName, file, module, {p, {}}, 0.5);
    if (InkBesideText(runtime, ViewOf(*coarse),
                      LineBoxesIn(page, coarse->Width() / page.width, coarse->Height() / page.height))
            .empty())
      continue;
    ++search.searched;
    const std::unique_ptr<Graphic> rendered = RenderPicture(fileName, file, module, {p, {}}, 2);
    // Pixels a point across and down.
    const double across = rendered->Width() / page.width, down = rendered->Height() / page.height;
    for (const PictureBox& f : FiguresBesideText(runtime, ViewOf(*rendered), LineBoxesIn(page, across, down)))
      page.pictures.push_back({f.x / across, f.y / down, (f.x + f.width) / across, (f.y + f.height) / down});
  }
  return search;
}

// The outline's entries that lead to a page of the document; a warning for each of the others.
std::vector<LayerOutlineEntry> PlacedOutline(std::vector<OutlineEntry>& outline, int pages,
                                             std::vector<std::string>& warnings) {
  std::vector<LayerOutlineEntry> placed;
  for (OutlineEntry& entry : outline) {
    if (entry.page < 1 || entry.page > pages) {
      warnings.push_back("outline: \"" + Utf16ToUtf8(entry.title) + "\" leads to no page: left out");
      continue;
    }
    placed.push_back({entry.level, std::move(entry.title), static_cast<size_t>(entry.page - 1), entry.top});
  }
  return placed;
}

// A picture that covers its whole page (a page without text) is rendered as the page it is, to cover
// the screen.
void WholePagesAsPages(std::vector<LayerPicture>& pictures, const std::vector<LayerPage>& layer) {
  for (LayerPicture& picture : pictures) {
    if (picture.page >= layer.size()) continue;
    const LayerPage& page = layer[picture.page];
    const PageBox& box = picture.box;
    if (box.x0 <= 0 && box.y0 <= 0 && box.x1 >= page.width && box.y1 >= page.height) picture.box = {};
  }
}

// Each page a picture, the outline's entries before the pages they lead to.
LayerText PagesAsPictures(int pages, const std::vector<LayerOutlineEntry>& outline) {
  std::multimap<size_t, const LayerOutlineEntry*> headings;
  for (const LayerOutlineEntry& entry : outline) headings.emplace(entry.page, &entry);
  LayerText text;
  for (size_t page = 0; page < static_cast<size_t>(pages); ++page) {
    const auto [first, last] = headings.equal_range(page);
    for (auto h = first; h != last; ++h)
      text.blocks.push_back({DocumentBlock::Kind::kHeading, h->second->level, h->second->title});
    text.blocks.push_back({DocumentBlock::Kind::kPicture, 0, {}, text.pictures.size()});
    text.pictures.push_back({page, {}});
  }
  return text;
}

// Whether most pages are scans: pages without text that one picture covers (at least three quarters
// of the page), as a scanner makes them.
bool MostlyScans(const std::vector<LayerPage>& layer) {
  size_t scans = 0;
  for (const LayerPage& page : layer) {
    const bool covered = std::any_of(page.pictures.begin(), page.pictures.end(), [&](const PageBox& p) {
      return 4 * p.Width() * p.Height() >= 3 * page.width * page.height;
    });
    if (page.lines.empty() && covered) ++scans;
  }
  return 2 * scans > layer.size();
}

}  // namespace

double PageRenderResolution(double widthPoints, double heightPoints, double scale) {
  widthPoints = std::max(widthPoints, 1.0);
  heightPoints = std::max(heightPoints, 1.0);
  double cover = scale * std::max(kDevicePageWidth / widthPoints, kDevicePageHeight / heightPoints);
  cover = std::min({cover, kFinestScale * kDevicePageWidth / widthPoints,
                    kFinestScale * kDevicePageHeight / heightPoints});
  return 72 * cover;
}

const ModuleFunctions<PagedModuleFunctions>& PagedModule(const Runtime& runtime, const PagedFormat& format) {
  return runtime.Module<PagedModuleFunctions>(format.moduleFile, format.moduleStartEntry,
                                              kPagedPluginVersion);
}

Document ReadPagedDocument(const Runtime& runtime, const PagedFormat& format, const std::u16string& fileName,
                           DocumentMode mode) {
  const PagedModuleFunctions& module = ModuleFor(runtime, format, fileName);
  const std::string path = Utf16ToUtf8(fileName);
  PagedDescription description;
  PagedOpenRequest request{
      .path = path.c_str(), .context = &description, .info = AddInfo, .outlineEntry = AddOutlineEntry};
  module.open(&request);
  PagedFilePtr file(request.file, {&module});
  if (!file)
    throw DocumentError(fileName, "", std::string("not a ") + format.name + " file, or a damaged one");
  if (request.locked) throw DocumentError(fileName, "", "encrypted: it opens only with its password");
  const int pages = request.pageCount;
  if (pages <= 0) throw DocumentError(fileName, "", std::string("the ") + format.name + " has no page");
  Document document;
  document.info = std::move(description.info);
  if (request.outlineUnreadable) document.warnings.push_back("the outline cannot be read: left out");
  const std::vector<LayerOutlineEntry> outline = PlacedOutline(description.outline, pages, document.warnings);
  LayerText text;
  std::vector<LayerPage> layer;
  if (mode == DocumentMode::kText || mode == DocumentMode::kAuto) {
    layer = ReadTextLayer(fileName, file.get(), module, pages);
    const LayerVerdict verdict = JudgeTextLayer(layer);
    if (mode == DocumentMode::kAuto) document.notes.push_back(verdict.reason);
    if (mode == DocumentMode::kText || verdict.text) {
      if (format.findsFigures) {
        const FigureSearch search = FindFigures(runtime, fileName, file.get(), module, layer);
        document.notes.push_back("figures looked for on " + std::to_string(search.searched) + " of its " +
                                 std::to_string(pages) + " pages (" + std::to_string(search.roomy) +
                                 " with room for one)");
      }
      text = BuildLayerText(layer, outline);
    } else if (MostlyScans(layer)) {
      document.scanned = true;
      document.notes.push_back("its pages are scans: cleaned and straightened");
    }
  }
  if (mode == DocumentMode::kReflow) document.scanned = true;
  if (text.blocks.empty()) text = PagesAsPictures(pages, outline);
  WholePagesAsPages(text.pictures, layer);
  // The first page is the cover, whether it is a picture of the book or not.
  const bool firstIsPage =
      !text.pictures.empty() && text.pictures[0].page == 0 && text.pictures[0].box.Width() <= 0;
  if (!firstIsPage) text.pictures.push_back({0, {}});
  document.cover = firstIsPage ? 0 : text.pictures.size() - 1;
  document.blocks = std::move(text.blocks);
  // Scans are rendered finer, so that cleaning and cutting into words see the shapes of the print.
  const double pageScale = mode == DocumentMode::kReflow ? kFinestScale : document.scanned ? 2 : 1;
  document.pictures =
      std::make_unique<PagedPictures>(fileName, std::move(file), std::move(text.pictures), pageScale);
  return document;
}

}  // namespace bookloom
