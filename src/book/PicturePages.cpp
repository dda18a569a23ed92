#include "book/PicturePages.h"

#include "decoders/Picture.h"
#include "pictures/GrayImage.h"
#include "wolf/BookWriter.h"

namespace bookloom {

PicturePages PreparePicturePages(const Picture& picture, const PictureSettings& settings) {
  PicturePages prepared;
  prepared.bitCount = static_cast<uint16_t>(BitsOf(settings.colors));
  for (const auto& frame : picture.Frames())
    MakePages(ViewOf(*frame), settings, {}, [&](Bitmap& page) { prepared.pages.push_back(std::move(page)); });
  return prepared;
}

void WritePicturePages(BookWriter& writer, const PicturePages& pages) {
  for (const Bitmap& page : pages.pages) writer.AddPicture(page, pages.bitCount);
}

void WritePicturePages(BookWriter& writer, const Picture& picture, const PictureSettings& settings) {
  WritePicturePages(writer, PreparePicturePages(picture, settings));
}

}  // namespace bookloom
