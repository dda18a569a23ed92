#include "pictures/PageFitting.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "decoders/Picture.h"
#include "pictures/ColorReduction.h"
#include "pictures/Resampling.h"

namespace bookloom {

namespace {

struct Size {
  int width, height;
};

// The area inside the margins.
Size AreaOf(const FitOptions& options) {
  const Margins& m = options.margins;
  return {options.pageWidth - m.left - m.right, options.pageHeight - m.top - m.bottom};
}

// The size a picture of width x height is scaled to for the area, or nothing when it keeps its size:
// the picture is one pixel wide or high, or it fits and is not to be enlarged.
std::optional<Size> FittedSize(int width, int height, const FitOptions& options) {
  const auto [areaWidth, areaHeight] = AreaOf(options);
  if (width <= 1 || height <= 1) return std::nullopt;
  if (areaWidth >= width && areaHeight >= height && !options.enlarge) return std::nullopt;
  // Keep the aspect ratio: the side whose ratio is the tighter fills the area. The ratios are
  // compared exactly, so equal ratios fill the height.
  int newWidth, newHeight;
  if (static_cast<int64_t>(areaWidth) * height >= static_cast<int64_t>(width) * areaHeight) {
    newHeight = areaHeight;
    newWidth = MulDiv(width, areaHeight, height);
  } else {
    newWidth = areaWidth;
    newHeight = MulDiv(height, areaWidth, width);
  }
  // An extreme aspect ratio would round a side to nothing.
  return Size{std::max(1, newWidth), std::max(1, newHeight)};
}

// The picture turned a quarter: to the left, its first column becomes its last row.
GrayImage Turned(const GrayView& source, Turn turn) {
  GrayImage turned(source.height, source.width);
  for (int y = 0; y < source.height; ++y) {
    const uint8_t* in = source.Row(y);
    for (int x = 0; x < source.width; ++x) {
      if (turn == Turn::kLeft)
        turned.Row(source.width - 1 - x)[y] = in[x];
      else
        turned.Row(x)[source.height - 1 - y] = in[x];
    }
  }
  return turned;
}

// What each index of a reduced picture (or each grey of one kept as it is) shows.
const uint8_t* GreysOf(PageColors colors) {
  static constexpr auto kIdentity = [] {
    std::array<uint8_t, 256> greys{};
    for (int i = 0; i < 256; ++i) greys[i] = static_cast<uint8_t>(i);
    return greys;
  }();
  switch (colors) {
    case PageColors::kMonochrome:
      return kMonochromePalette.data();
    case PageColors::kGray4:
      return kGray4Palette.data();
    case PageColors::kKeep:
      break;
  }
  return kIdentity.data();
}

// Draws the picture (palette indices or greys) onto the bitmap, its top-left corner at (left, top),
// clipped to the bitmap: a 1-bit bitmap takes the indices, a 24-bit one their greys.
void Draw(const GrayView& picture, PageColors colors, Bitmap& target, int left, int top) {
  const int x0 = std::max(0, left), y0 = std::max(0, top);
  const int x1 = std::min(target.Width(), left + picture.width);
  const int y1 = std::min(target.Height(), top + picture.height);
  const uint8_t* greys = GreysOf(colors);
  for (int y = y0; y < y1; ++y) {
    const uint8_t* in = picture.Row(y - top);
    uint8_t* out = target.Row(y);
    if (target.Format() == PixelFormat::k1Bit) {
      for (int x = x0; x < x1; ++x) {
        const auto bit = static_cast<uint8_t>(0x80 >> (x & 7));
        out[x >> 3] = static_cast<uint8_t>(in[x - left] ? out[x >> 3] | bit : out[x >> 3] & ~bit);
      }
    } else {
      for (int x = x0; x < x1; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = greys[in[x - left]];
    }
  }
}

}  // namespace

PageColors PageColorsOfBits(int bitCount) {
  return bitCount == 1 ? PageColors::kMonochrome : bitCount == 2 ? PageColors::kGray4 : PageColors::kKeep;
}

int BitsOf(PageColors colors) { return colors == PageColors::kMonochrome ? 1 : 2; }

void CheckMargins(const Margins& margins, int pageWidth, int pageHeight) {
  if (margins.left + margins.right >= pageWidth)
    Raise<MarginsError>("Margins of %d + %d pixels leave no room on a page %d pixels wide",
                        {margins.left, margins.right, pageWidth});
  if (margins.top + margins.bottom >= pageHeight)
    Raise<MarginsError>("Margins of %d + %d pixels leave no room on a page %d pixels high",
                        {margins.top, margins.bottom, pageHeight});
}

void FitPictureToPage(const GrayView& source, Bitmap& target, const FitOptions& options) {
  CheckMargins(options.margins, options.pageWidth, options.pageHeight);
  const bool turned = options.turn != Turn::kNone;
  GrayView picture = source;
  GrayImage scaled;
  if (const auto size = turned ? FittedSize(source.height, source.width, options)
                               : FittedSize(source.width, source.height, options)) {
    scaled = turned ? GrayImage(size->height, size->width) : GrayImage(size->width, size->height);
    ResampleGray(source, scaled, Lanczos3Filter, kLanczos3Support);
    picture = scaled.View();
  }
  GrayImage turnedPicture;
  if (turned) {
    turnedPicture = Turned(picture, options.turn);
    picture = turnedPicture.View();
  }
  GrayImage reduced;
  if (options.colors != PageColors::kKeep) {
    reduced = ReduceGray(
        picture,
        options.colors == PageColors::kMonochrome ? ReductionMode::kMonochrome : ReductionMode::kGray4,
        DitherMode::kStucki);
    picture = reduced.View();
  }

  const PixelFormat format =
      options.colors == PageColors::kMonochrome ? PixelFormat::k1Bit : PixelFormat::k24Bit;
  if (!options.makePage) {
    target = Bitmap(picture.width, picture.height, format);
    Draw(picture, options.colors, target, 0, 0);
    return;
  }
  const auto [areaWidth, areaHeight] = AreaOf(options);
  target = Bitmap(options.pageWidth, options.pageHeight, format);
  target.Fill(kWhite);
  Draw(picture, options.colors, target, options.margins.left + (areaWidth - picture.width) / 2,
       options.margins.top + (areaHeight - picture.height) / 2);
}

void FitPictureToPage(const Bitmap& source, Bitmap& target, const FitOptions& options) {
  const GrayImage gray = GrayOf(source);
  FitPictureToPage(gray.View(), target, options);
}

void FitPictureToPage(const Picture& source, Bitmap& target, const FitOptions& options) {
  if (source.Empty()) Raise<GraphicOperationError>("No picture to fit to the page");
  FitPictureToPage(ViewOf(*source.Decoded()), target, options);
}

}  // namespace bookloom
