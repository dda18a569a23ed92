// The one way a picture becomes pages of a book, whatever file it comes from: a picture file, a
// picture inside an e-book or an archive, a rendered PDF page. Preparing the pages is apart from
// writing them, so that the next picture's pages are prepared while the book writes the ones before.
#pragma once

#include <cstdint>
#include <vector>

#include "pictures/PictureSettings.h"
#include "platform/Bitmap.h"

namespace bookloom {

class BookWriter;
class Picture;

// The warning of a picture that could be read only in part.
inline constexpr char kIncompletePicture[] =
    "the picture is incomplete (the file is cut short or damaged): its pages show what could be read";

// The device pages of one picture and the bits per pixel they are written with.
struct PicturePages {
  std::vector<Bitmap> pages;
  uint16_t bitCount = 2;
};

// The pages of the picture, prepared as the picture settings say. Touches nothing shared: it may run
// on a second thread while the book is written.
PicturePages PreparePicturePages(const Picture& picture, const PictureSettings& settings);

// Writes prepared pages into the book.
void WritePicturePages(BookWriter& writer, const PicturePages& pages);

// Prepares and writes the picture's pages in one step.
void WritePicturePages(BookWriter& writer, const Picture& picture, const PictureSettings& settings);

}  // namespace bookloom
