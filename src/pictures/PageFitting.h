// Prepares a picture for the reading device: scaled into the area inside a page's margins, centred
// on a white page, and reduced to black and white or four greys.
#pragma once

#include "platform/Bitmap.h"

namespace bookloom {

class Picture;

// The page of the reading device, in pixels.
inline constexpr int kDevicePageWidth = 600;
inline constexpr int kDevicePageHeight = 800;

// Target becomes source prepared for a page of pageWidth x pageHeight: scaled with Lanczos3 to
// fit the area inside the margins (up only with `enlarge`; a picture one pixel wide or high is
// never scaled), with `makePage` centred in that area on a white page, then reduced with Stucki
// dithering: mode 1 gives a 1-bit bitmap (0 black, 1 white), mode 2 a 24-bit bitmap of the greys
// 0, 128, 192 and 255, any other mode leaves the colours. Margins that leave no area skip the
// scaling and the page.
void FitPictureToPage(const Bitmap& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage);
// The same for a decoded picture, copied as an opaque bitmap that keeps the picture's mark.
void FitPictureToPage(const Picture& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage);

}  // namespace bookloom
