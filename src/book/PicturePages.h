// The one way a picture becomes pages of a book, whatever file it comes from: a picture file, a
// picture inside an e-book or an archive, a rendered PDF page.
#pragma once

#include "pictures/PictureSettings.h"

namespace bookloom {

class BookWriter;
class Picture;

// Writes the pages of the picture, prepared as the picture settings say.
void WritePicturePages(BookWriter& writer, const Picture& picture, const PictureSettings& settings);

}  // namespace bookloom
