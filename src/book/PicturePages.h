// The one way a picture becomes pages of a book, whatever file it comes from: a picture file, a
// picture inside an e-book or an archive, a rendered PDF page. Preparing the pages (fitting and
// compressing them) is apart from writing them, so that the next pictures' pages are prepared on other
// threads while the book writes the ones before. The words of scanned pages that are set again flow
// from one page into the next, so they are set on device pages as they are written, in order.
#pragma once

#include <memory>
#include <vector>

#include "pictures/PictureSettings.h"
#include "wolf/PictureEncoding.h"

namespace bookloom {

class BookWriter;
class Picture;

// The warning of a picture that could be read only in part.
inline constexpr char kIncompletePicture[] =
    "the picture is incomplete (the file is cut short or damaged): its pages show what could be read";

// The device pages of one picture, compressed for the book, and the words of its scanned pages of text
// still to be set.
struct PicturePages {
  std::vector<EncodedPicture> pages;
  struct Words {
    size_t before = 0;  // the words come before pages[before]
    ScaledPage words;
  };
  std::vector<Words> words;  // in order; only when prepared to flow
};

// The pages of the picture, prepared as the picture settings say; with `flowWords`, the words of a
// scanned page that is set again are left to a PictureFlow. Touches nothing shared: it may run on other
// threads while the book is written; scans are cleaned with the runtime's Leptonica.
PicturePages PreparePicturePages(const Runtime& runtime, const Picture& picture,
                                 const PictureSettings& settings, bool flowWords = false);

// Writes prepared pages into the book in order, setting the words of one scanned page after those of
// the page before on the same device pages.
class PictureFlow {
 public:
  PictureFlow(BookWriter& writer, const PictureSettings& settings);
  ~PictureFlow();

  void Write(PicturePages pages);
  // Writes the device page begun, so that what follows starts a page of its own.
  void Finish();

 private:
  BookWriter& writer_;
  std::unique_ptr<ReflowSetter> setter_;
};

}  // namespace bookloom
