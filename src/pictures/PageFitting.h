// Prepares a picture for the reading device: made grey, scaled into the area inside a page's
// margins, reduced to black and white or four greys on its own, and centred on a white page.
#pragma once

#include "pictures/GrayImage.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {

class Picture;

// The page of the reading device, in pixels.
inline constexpr int kDevicePageWidth = 600;
inline constexpr int kDevicePageHeight = 800;

// What the greys of a prepared page become: black and white in a 1-bit bitmap (0 black, 1 white),
// the greys 0, 128, 192 and 255 in a 24-bit bitmap, or the greys as they are (24 bits).
enum class PageColors { kKeep, kMonochrome, kGray4 };

// The colours of a book picture of that many bits per pixel: 1 black and white, 2 four greys;
// any other count keeps the greys.
PageColors PageColorsOfBits(int bitCount);
// The bits per pixel of a book picture of these colours: 1 for black and white, otherwise 2.
int BitsOf(PageColors colors);

// Margins around the area a picture is fitted into, in pixels.
struct Margins {
  int left = 0, right = 0, top = 0, bottom = 0;
  friend bool operator==(const Margins&, const Margins&) = default;
};

// Margins that leave no room for a picture on the page.
class MarginsError : public Exception {
  using Exception::Exception;
};

// Raises MarginsError, saying which margins, when left + right reach the page's width or top +
// bottom its height.
void CheckMargins(const Margins& margins, int pageWidth = kDevicePageWidth,
                  int pageHeight = kDevicePageHeight);

// A quarter turn of a picture on its page: to the left (counter-clockwise) or to the right (clockwise).
enum class Turn { kNone, kLeft, kRight };

struct FitOptions {
  int pageWidth = kDevicePageWidth;
  int pageHeight = kDevicePageHeight;
  bool enlarge = false;  // scale a picture smaller than the area up to fill it
  PageColors colors = PageColors::kGray4;
  Margins margins;
  bool makePage = true;     // centre the picture on a white page; otherwise the scaled picture alone
  Turn turn = Turn::kNone;  // the picture turned a quarter, after scaling to the size it fits turned
};

// Target becomes the grey picture prepared for the page: scaled with Lanczos3 to fit the area inside
// the margins (up only with `enlarge`; a picture one pixel wide or high is never scaled), turned as
// asked, reduced on its own with Stucki dithering (so that no error crosses its edges), then with
// `makePage` centred in the area on a page that is white, clipped to the page. Margins that leave no
// area raise MarginsError.
void FitPictureToPage(const GrayView& source, Bitmap& target, const FitOptions& options = {});
// The same for a bitmap, made grey first (see GrayOf).
void FitPictureToPage(const Bitmap& source, Bitmap& target, const FitOptions& options = {});
// The same for the first frame of a picture loaded grey (DecodeOptions::gray).
void FitPictureToPage(const Picture& source, Bitmap& target, const FitOptions& options = {});

}  // namespace bookloom
