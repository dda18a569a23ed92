// How the pictures of a book become its pages: the options a user sets for the whole book or for one
// file, and the pages a picture becomes with them.
#pragma once

#include <functional>
#include <optional>

#include "pictures/PageFitting.h"
#include "pictures/Reflow.h"

namespace bookloom {

// Which pictures are turned a quarter on their page.
enum class Rotation {
  kNone,
  kAuto,   // a landscape picture (wider than high) to the right, so that it fills the portrait page
  kLeft,   // every picture counter-clockwise
  kRight,  // every picture clockwise
};

// Which pictures become two pages, and in which order.
enum class Split {
  kNone,
  kLeftToRight,  // a double-page spread: its left half first
  kRightToLeft,  // its right half first, as books read from right to left have them
  kAuto,  // the right half first in a comic that says it reads from right to left (a manga), else the left
};

// A picture is a double-page spread when it is wider than this many times its height: each half is
// then at least 0.6 as wide as high, as narrow as the pages of books and comics come.
inline constexpr double kSpreadRatio = 1.2;

// The range of the gamma a user may set.
inline constexpr double kMinGamma = 0.1, kMaxGamma = 10.0;

struct PictureSettings {
  bool enlarge = false;                    // scale a picture smaller than the page up to fill it
  PageColors colors = PageColors::kGray4;  // four greys (2 bits) or black and white (1 bit)
  Rotation rotation = Rotation::kNone;
  Split split = Split::kNone;
  bool crop = false;       // trim uniform borders (see CropBox) before fitting
  double gamma = 1.0;      // the gamma curve of the greys (see GammaTable); 1 leaves them
  bool autolevel = false;  // stretch the greys to black and white (see AutolevelTable)
  bool allFrames = false;  // every page of a multi-page file, every frame of an animation
  // Whether a picture is a scanned page, to be straightened, its paper made white and its print black
  // (see CleanScan); unset: the pages of a scanned document are, pictures are not.
  std::optional<bool> clean;
  bool reflow = false;  // a scanned page of text: its words set again (see ReflowPage); cleans it too
  int reflowHeight = kDefaultReflowHeight;  // the x-height reflow sets words at, in device pixels

  friend bool operator==(const PictureSettings&, const PictureSettings&) = default;
};

// The reflow options of these settings, with the margins given.
ReflowOptions ReflowOptionsOf(const PictureSettings& settings, const Margins& margins);

// The pages a grey picture becomes with these settings, in order, each handed to `takePage` as the
// bitmap the book stores (see FitPictureToPage), with the margins given. In turn: a scan is cleaned;
// the borders are cropped; a spread is split into its halves, and each half cropped again; the greys are
// autolevelled, then the gamma curve applied; the words of a page of text are set again on pages of
// their own, or, when `takeWords` is given, handed to it to be set with the words of the pages around it;
// else the page is turned and fitted to the page. Scans are cleaned and set with the runtime's Leptonica;
// other pictures load nothing.
void MakePages(const Runtime& runtime, const GrayView& picture, const PictureSettings& settings,
               const Margins& margins, const std::function<void(Bitmap& page)>& takePage,
               const std::function<void(ScaledPage words)>& takeWords = {});

}  // namespace bookloom
