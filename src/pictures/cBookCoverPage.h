// The user's cover page settings, a picture file with its reduction and margins, and the rendering
// of them into the book's cover page.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Persistent.h"

namespace bookloom {

class Bitmap;

class TBookCoverPage : public TPersistent {
 public:
  TBookCoverPage() { SetDefaults(); }

  std::u16string FileName;  // the cover picture file
  int32_t CoverMode;        // 0 no cover, 1 monochrome, 2 gray 4 levels: also the cover's bits per pixel
  bool Enlarge;             // scale a picture smaller than the area up to fill it
  int32_t MarginLeft;       // margins in pixels
  int32_t MarginRight;
  int32_t MarginTop;
  int32_t MarginBottom;

  // No file, no cover, enlarging on, no margins.
  void SetDefaults();
  // Copies all settings from another cover page; other sources raise EConvertError.
  void Assign(const TPersistent& source) override;
  std::string ClassName() const override { return "TBookCoverPage"; }

  // Fills target with the device page of the cover and returns true; returns false, leaving target
  // untouched, when there is no cover to make (no mode, no file name, or no such file). A picture
  // that cannot be decoded raises.
  bool RenderCover(Bitmap& target) const;
};

}  // namespace bookloom
