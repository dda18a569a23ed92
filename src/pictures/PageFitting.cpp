#include "pictures/PageFitting.h"

#include <algorithm>
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
// the area has no room, the picture is one pixel wide or high, or it fits and is not to be enlarged.
std::optional<Size> FittedSize(int width, int height, const FitOptions& options) {
  const auto [areaWidth, areaHeight] = AreaOf(options);
  if (areaWidth <= 0 || areaHeight <= 0 || width <= 1 || height <= 1) return std::nullopt;
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

// Target becomes the source rows scaled to `size` with Lanczos3.
void ScaleInto(const PixelRows& source, Size size, Bitmap& target) {
  Bitmap scaled(size.width, size.height, PixelFormat::k24Bit);
  const ResampleFilter& lanczos = kResampleFilters[kLanczos3Filter];
  ResamplePixels(source, scaled, lanczos.filter, lanczos.support);
  target = std::move(scaled);
}

// Places the (scaled) picture that `target` holds on its page and reduces its colours, in place.
void PlaceAndReduce(Bitmap& target, const FitOptions& options) {
  const auto [areaWidth, areaHeight] = AreaOf(options);
  if (options.makePage && areaWidth > 0 && areaHeight > 0) {
    Bitmap page(options.pageWidth, options.pageHeight, PixelFormat::k24Bit);
    page.Fill(kWhite);
    target.DrawOnto(page, options.margins.left + (areaWidth - target.Width()) / 2,
                    options.margins.top + (areaHeight - target.Height()) / 2);
    target = std::move(page);
  }

  if (options.colors == PageColors::kMonochrome) {
    auto reduced = ReduceColors(target, ReductionMode::kMonochrome, DitherMode::kStucki);
    reduced->SetFormat(PixelFormat::k1Bit);
    target = std::move(*reduced);
  } else if (options.colors == PageColors::kGray4) {
    auto reduced = ReduceColors(target, ReductionMode::kGray4, DitherMode::kStucki);
    reduced->SetFormat(PixelFormat::k24Bit);
    target = std::move(*reduced);
  }
}

}  // namespace

PageColors PageColorsOfBits(int bitCount) {
  return bitCount == 1 ? PageColors::kMonochrome : bitCount == 2 ? PageColors::kGray4 : PageColors::kKeep;
}

int BitsOf(PageColors colors) { return colors == PageColors::kMonochrome ? 1 : 2; }

void FitPictureToPage(const Bitmap& source, Bitmap& target, const FitOptions& options) {
  if (&target != &source) target = source;
  if (const auto size = FittedSize(target.Width(), target.Height(), options)) {
    target.SetFormat(PixelFormat::k24Bit);
    ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
  }
  PlaceAndReduce(target, options);
}

void FitPictureToPage(const Picture& source, Bitmap& target, const FitOptions& options) {
  const Graphic* graphic = source.Decoded();
  const std::optional<Size> size =
      graphic ? FittedSize(graphic->Width(), graphic->Height(), options) : std::nullopt;
  if (size && !graphic->HasAlpha()) {
    // An opaque picture is scaled straight from its decoded rows: no full-size copy is made.
    ScaleInto({graphic->Row(0), graphic->Stride(), graphic->Width(), graphic->Height(), true}, *size, target);
  } else {
    source.AssignTo(target);
    if (size) {
      ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
    }
  }
  PlaceAndReduce(target, options);
}

}  // namespace bookloom
