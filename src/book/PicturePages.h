// The one way a picture becomes pages of a book, whatever file it comes from: a picture file, a
// picture inside an e-book or an archive, a rendered PDF page. Preparing the pages (fitting and
// compressing them) is apart from writing them, so that the next pictures' pages are prepared on other
// threads while the book writes the ones before.
#pragma once

#include <vector>

#include "pictures/PictureSettings.h"
#include "wolf/PictureEncoding.h"

namespace bookloom {

class BookWriter;
class Picture;

// The warning of a picture that could be read only in part.
inline constexpr char kIncompletePicture[] =
    "the picture is incomplete (the file is cut short or damaged): its pages show what could be read";

// The device pages of one picture, compressed for the book.
struct PicturePages {
  std::vector<EncodedPicture> pages;
};

// The pages of the picture, prepared as the picture settings say. Touches nothing shared: it may run
// on other threads while the book is written.
PicturePages PreparePicturePages(const Picture& picture, const PictureSettings& settings);

// Writes prepared pages into the book.
void WritePicturePages(BookWriter& writer, const PicturePages& pages);

}  // namespace bookloom
