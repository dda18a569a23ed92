// How the pictures of a book become its pages: the options a user sets for the whole book or for one
// file.
#pragma once

#include "pictures/PageFitting.h"

namespace bookloom {

struct PictureSettings {
  bool enlarge = false;                    // scale a picture smaller than the page up to fill it
  PageColors colors = PageColors::kGray4;  // four greys (2 bits) or black and white (1 bit)

  friend bool operator==(const PictureSettings&, const PictureSettings&) = default;
};

// The page fitting of a book picture with these settings: the whole device page, no margins.
FitOptions FitOptionsOf(const PictureSettings& settings);

}  // namespace bookloom
