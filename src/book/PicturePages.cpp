#include "book/PicturePages.h"

#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "wolf/BookWriter.h"

namespace bookloom {

void WritePicturePages(BookWriter& writer, const Picture& picture, const PictureSettings& settings) {
  Bitmap page;
  FitPictureToPage(picture, page, FitOptionsOf(settings));
  writer.AddPicture(page, static_cast<uint16_t>(BitsOf(settings.colors)));
}

}  // namespace bookloom
