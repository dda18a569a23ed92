#include "book/PicturePages.h"

#include "decoders/Picture.h"
#include "pictures/GrayImage.h"
#include "wolf/BookWriter.h"

namespace bookloom {

PicturePages PreparePicturePages(const Picture& picture, const PictureSettings& settings) {
  PicturePages prepared;
  const auto bitCount = static_cast<uint16_t>(BitsOf(settings.colors));
  for (const auto& frame : picture.Frames())
    MakePages(ViewOf(*frame), settings, {},
              [&](Bitmap& page) { prepared.pages.push_back(EncodePage(page, bitCount)); });
  return prepared;
}

void WritePicturePages(BookWriter& writer, const PicturePages& pages) {
  for (const EncodedPicture& page : pages.pages) writer.AddPicture(page);
}

}  // namespace bookloom
