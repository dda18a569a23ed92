#include "documents/PdfReader.h"

#include <algorithm>
#include <exception>
#include <map>

#include "documents/PdfPlugin.h"
#include "pictures/PageFitting.h"
#include "platform/Modules.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// The reader module as loading it left it: its functions, or why it cannot be used.
const ModuleFunctions<PdfModuleFunctions>& Module() {
  static const auto module =
      OpenModuleFunctions<PdfModuleFunctions>(kPdfPluginFile, kPdfPluginStartEntry, kPdfPluginVersion);
  return module;
}

// The reader module's functions, or DocumentError naming the file when it cannot be loaded.
const PdfModuleFunctions& ModuleFor(const std::u16string& fileName) {
  if (!Module().functions)
    throw DocumentError(fileName, "", "the PDF reader cannot be loaded: " + Module().problem);
  return *Module().functions;
}

struct PdfFileClose {
  const PdfModuleFunctions* module;
  void operator()(PdfFile* file) const { module->close(file); }
};
using PdfFilePtr = std::unique_ptr<PdfFile, PdfFileClose>;

struct OutlineEntry {
  int level;
  std::u16string title;
  int page;  // from 1; 0 when the entry leads to no page
};

// What opening a PDF reports: its information and its outline.
struct PdfDescription {
  DocumentInfo info;
  std::vector<OutlineEntry> outline;
};

void AddInfo(void* context, PdfInfoField field, const char* utf8, size_t size) {
  DocumentInfo& info = static_cast<PdfDescription*>(context)->info;
  std::u16string& text = field == PdfInfoField::kTitle    ? info.title
                         : field == PdfInfoField::kAuthor ? info.author
                                                          : info.subject;
  text = CollapseSpaces(Utf8ToUtf16(std::string_view(utf8, size)));
}

void AddOutlineEntry(void* context, int level, const char* title, int page) {
  static_cast<PdfDescription*>(context)->outline.push_back({level, CollapseSpaces(Utf8ToUtf16(title)), page});
}

// What rendering a page works on: its name in messages, and the picture made or why it was refused.
struct PageRendering {
  std::u16string name;
  std::unique_ptr<Graphic> graphic;
  std::exception_ptr refusal;
};

double ResolutionFor(void* context, double widthPoints, double heightPoints) {
  auto& rendering = *static_cast<PageRendering*>(context);
  const double resolution = PdfRenderResolution(widthPoints, heightPoints);
  try {
    // The size is checked before poppler allocates a pixel of it.
    CheckPictureSize(static_cast<int64_t>(widthPoints * resolution / 72 + 1),
                     static_cast<int64_t>(heightPoints * resolution / 72 + 1), rendering.name);
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

// The pages of a PDF, rendered one by one in greys.
class PdfPages : public DocumentPictures {
 public:
  PdfPages(std::u16string fileName, PdfFilePtr pdf, int pageCount)
      : fileName_(std::move(fileName)), pdf_(std::move(pdf)), pageCount_(static_cast<size_t>(pageCount)) {}

  size_t Count() const override { return pageCount_; }
  std::u16string Name(size_t index) const override {
    return Utf8ToUtf16("page " + std::to_string(index + 1));
  }

  std::unique_ptr<Graphic> Decode(size_t index) override {
    const std::string part = "page " + std::to_string(index + 1);
    PageRendering rendering{fileName_ + u": " + Utf8ToUtf16(part), nullptr, nullptr};
    PdfRenderRequest request{.file = pdf_.get(),
                             .page = static_cast<int>(index),
                             .context = &rendering,
                             .resolutionFor = ResolutionFor,
                             .pixelsFor = PixelsFor};
    switch (pdf_.get_deleter().module->render(&request)) {
      case PdfRenderResult::kRendered:
        break;
      case PdfRenderResult::kUnreadable:
        throw DocumentError(fileName_, part, "the page cannot be read");
      case PdfRenderResult::kFailed:
        throw DocumentError(fileName_, part, "the page cannot be rendered");
      case PdfRenderResult::kRefused:
        std::rethrow_exception(rendering.refusal);
    }
    return std::move(rendering.graphic);
  }

 private:
  std::u16string fileName_;
  PdfFilePtr pdf_;
  size_t pageCount_;
};

}  // namespace

double PdfRenderResolution(double widthPoints, double heightPoints) {
  widthPoints = std::max(widthPoints, 1.0);
  heightPoints = std::max(heightPoints, 1.0);
  double scale = std::max(kDevicePageWidth / widthPoints, kDevicePageHeight / heightPoints);
  scale = std::min({scale, 4 * kDevicePageWidth / widthPoints, 4 * kDevicePageHeight / heightPoints});
  return 72 * scale;
}

void StartPdfReader() { Module(); }

Document ReadPdf(const std::u16string& fileName) {
  const PdfModuleFunctions& module = ModuleFor(fileName);
  const std::string path = Utf16ToUtf8(fileName);
  PdfDescription description;
  PdfOpenRequest request{
      .path = path.c_str(), .context = &description, .info = AddInfo, .outlineEntry = AddOutlineEntry};
  module.open(&request);
  PdfFilePtr pdf(request.file, {&module});
  if (!pdf) throw DocumentError(fileName, "", "not a PDF file, or a damaged one");
  if (request.locked) throw DocumentError(fileName, "", "encrypted: it opens only with its password");
  const int pages = request.pageCount;
  if (pages <= 0) throw DocumentError(fileName, "", "the PDF has no page");
  Document document;
  document.info = std::move(description.info);
  std::multimap<int, OutlineEntry> headings;
  for (OutlineEntry& entry : description.outline) {
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
  document.pictures = std::make_unique<PdfPages>(fileName, std::move(pdf), pages);
  return document;
}

}  // namespace bookloom
