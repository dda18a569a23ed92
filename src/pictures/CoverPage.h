// The user's cover page settings, a picture file with its reduction and margins, and the rendering
// of them into the book's cover page.
#pragma once

#include <cstdint>
#include <string>

#include "pictures/PageFitting.h"

namespace bookloom {

class Bitmap;
class Picture;
class Runtime;

class CoverPage {
 public:
  CoverPage() { SetDefaults(); }

  std::u16string fileName;  // the cover picture file
  int32_t coverMode;        // 0 no cover, 1 monochrome, 2 gray 4 levels: also the cover's bits per pixel
  bool enlarge;             // scale a picture smaller than the area up to fill it
  Margins margins;          // around the area the picture is fitted into
  bool fromTitle;           // without a picture (given or offered by an input), a cover made from the title

  // No file, no cover, enlarging on, no margins.
  void SetDefaults();
  // Fills target with the device page of the cover and returns true; returns false, leaving target
  // untouched, when there is no cover to make (no mode, no file name, or no such file). A picture
  // that cannot be decoded raises.
  bool RenderCover(const Runtime& runtime, Bitmap& target) const;
  // Fills target with the device page of another cover picture (one a book offers) in these settings.
  void RenderCover(const Picture& picture, Bitmap& target) const;

  friend bool operator==(const CoverPage&, const CoverPage&) = default;
};

}  // namespace bookloom
