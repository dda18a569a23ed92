// Prepares a picture for the reading device: scaled into the area inside a page's margins, centred
// on a white page, and reduced to black and white or four greys.
#pragma once

#include "platform/Bitmap.h"

namespace bookloom {

class Picture;

// The page of the reading device, in pixels.
inline constexpr int kDevicePageWidth = 600;
inline constexpr int kDevicePageHeight = 800;

// What the colours of a prepared page become: black and white in a 1-bit bitmap (0 black, 1 white),
// the greys 0, 128, 192 and 255 in a 24-bit bitmap, or the colours as they are.
enum class PageColors { kKeep, kMonochrome, kGray4 };

// The colours of a book picture of that many bits per pixel: 1 black and white, 2 four greys;
// any other count keeps the colours.
PageColors PageColorsOfBits(int bitCount);
// The bits per pixel of a book picture of these colours: 1 for black and white, otherwise 2.
int BitsOf(PageColors colors);

// Margins around the area a picture is fitted into, in pixels.
struct Margins {
  int left = 0, right = 0, top = 0, bottom = 0;
  friend bool operator==(const Margins&, const Margins&) = default;
};

struct FitOptions {
  int pageWidth = kDevicePageWidth;
  int pageHeight = kDevicePageHeight;
  bool enlarge = false;  // scale a picture smaller than the area up to fill it
  PageColors colors = PageColors::kGray4;
  Margins margins;
  bool makePage = true;  // centre the picture on a white page; otherwise the scaled picture alone
};

// Target becomes source prepared for the page: scaled with Lanczos3 to fit the area inside the
// margins (up only with `enlarge`; a picture one pixel wide or high is never scaled), with
// `makePage` centred in that area on a white page, then reduced with Stucki dithering. Margins that
// leave no area skip the scaling and the page.
void FitPictureToPage(const Bitmap& source, Bitmap& target, const FitOptions& options = {});
// The same for a decoded picture, copied as an opaque bitmap that keeps the picture's mark.
void FitPictureToPage(const Picture& source, Bitmap& target, const FitOptions& options = {});

}  // namespace bookloom
