#include "book/PicturePages.h"

#include "decoders/Picture.h"
#include "pictures/GrayImage.h"
#include "wolf/BookWriter.h"

namespace bookloom {

PicturePages PreparePicturePages(const Runtime& runtime, const Picture& picture,
                                 const PictureSettings& settings, bool flowWords) {
  PicturePages prepared;
  const auto bitCount = static_cast<uint16_t>(BitsOf(settings.colors));
  const auto takePage = [&](Bitmap& page) { prepared.pages.push_back(EncodePage(page, bitCount)); };
  const auto takeWords = [&](ScaledPage words) {
    prepared.words.push_back({prepared.pages.size(), std::move(words)});
  };
  for (const auto& frame : picture.Frames())
    MakePages(runtime, ViewOf(*frame), settings, {}, takePage,
              flowWords ? std::function<void(ScaledPage)>(takeWords) : nullptr);
  return prepared;
}

PictureFlow::PictureFlow(BookWriter& writer, const PictureSettings& settings)
    : writer_(writer),
      setter_(std::make_unique<ReflowSetter>(
          ReflowOptionsOf(settings, {}),
          [&writer, bitCount = static_cast<uint16_t>(BitsOf(settings.colors))](Bitmap& page) {
            writer.AddPicture(EncodePage(page, bitCount));
          })) {}

PictureFlow::~PictureFlow() = default;

void PictureFlow::Write(PicturePages pages) {
  auto words = pages.words.begin();
  for (size_t i = 0; i <= pages.pages.size(); ++i) {
    for (; words != pages.words.end() && words->before == i; ++words) setter_->Add(std::move(words->words));
    if (i == pages.pages.size()) break;
    // A page of its own (a page without text, a picture) ends the words before it.
    setter_->Finish();
    writer_.AddPicture(pages.pages[i]);
  }
}

void PictureFlow::Finish() { setter_->Finish(); }

}  // namespace bookloom
