#include "pictures/TitleCover.h"

#include "pictures/PageFitting.h"
#include "pictures/TitleCoverPlugin.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

using TitleCoverModule = ModuleFunctions<TitleCoverFunctions>;

}  // namespace

std::unique_ptr<Graphic> DrawTitleCover(const Runtime& runtime, const TitleCoverTexts& texts) {
  const TitleCoverModule& loaded = runtime.Module<TitleCoverFunctions>(
      kTitleCoverPluginFile, kTitleCoverPluginStartEntry, kTitleCoverPluginVersion);
  const TitleCoverFunctions* module = loaded.functions;
  if (!module) Raise<Exception>("The cover from the title cannot be made: %s", {loaded.problem});
  auto page = std::make_unique<Graphic>(kDevicePageWidth, kDevicePageHeight, PixelLayout::kGray);
  const std::string title = Utf16ToUtf8(texts.title), author = Utf16ToUtf8(texts.author),
                    series = Utf16ToUtf8(texts.series);
  TitleCoverRequest request;
  request.title = title.c_str();
  request.author = author.c_str();
  request.series = series.c_str();
  request.pixels = page->Row(0);
  request.width = page->Width();
  request.height = page->Height();
  if (!module->draw(&request)) Raise<Exception>("The cover from the title cannot be made: %s", {request.why});
  return page;
}

}  // namespace bookloom
