#include "pictures/uBitmapProcs.h"

#include <optional>

#include "decoders/Picture.h"
#include "platform/FitSize.h"
#include "pictures/uReduceColors.h"
#include "pictures/uResample.h"

namespace bookloom {

namespace {

// Target becomes the source rows scaled to `size` with Lanczos3.
void ScaleInto(const PixelRows& source, PixelSize size, Bitmap& target) {
  Bitmap scaled(size.width, size.height, PixelFormat::pf24bit);
  const TResampleFilter& lanczos = ResampleFilterTable[kLanczos3Filter];
  ResamplePixels(source, scaled, lanczos.Filter, lanczos.Support);
  target = std::move(scaled);
}

// Places the (scaled) picture that `target` holds on its page and reduces its colours, in place.
void PlaceAndReduce(Bitmap& target, int pageWidth, int pageHeight, int mode, int marginLeft, int marginRight,
                    int marginTop, int marginBottom, bool makePage) {
  const int areaWidth = pageWidth - marginLeft - marginRight;
  const int areaHeight = pageHeight - marginTop - marginBottom;
  if (makePage && areaWidth > 0 && areaHeight > 0) {
    Bitmap page(pageWidth, pageHeight, PixelFormat::pf24bit);
    page.Fill(kWhite);
    target.DrawOnto(page, marginLeft + (areaWidth - target.Width()) / 2,
                    marginTop + (areaHeight - target.Height()) / 2);
    target = std::move(page);
  }

  if (mode == 1) {
    auto reduced = ReduceColors(target, rdMonochrome, dtStucki);
    reduced->SetFormat(PixelFormat::pf1bit);
    target = std::move(*reduced);
  } else if (mode == 2) {
    auto reduced = ReduceColors(target, rdGray4, dtStucki);
    reduced->SetFormat(PixelFormat::pf24bit);
    target = std::move(*reduced);
  }
}

}  // namespace

void FitPictureToPage(const Bitmap& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  if (&target != &source) target = source;
  if (const auto size = FittedSize(target.Width(), target.Height(), pageWidth - marginLeft - marginRight,
                                   pageHeight - marginTop - marginBottom, enlarge)) {
    target.SetFormat(PixelFormat::pf24bit);
    ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
  }
  PlaceAndReduce(target, pageWidth, pageHeight, mode, marginLeft, marginRight, marginTop, marginBottom,
                 makePage);
}

void FitPictureToPage(const TPicture& source, Bitmap& target, int pageWidth, int pageHeight, bool enlarge,
                      int mode, int marginLeft, int marginRight, int marginTop, int marginBottom,
                      bool makePage) {
  const TGraphic* graphic = source.Graphic();
  std::optional<PixelSize> size;
  if (graphic) {
    // The picture's own size decides the page, however many of its pixels the decoder delivered.
    size = FittedSize(graphic->FullWidth(), graphic->FullHeight(), pageWidth - marginLeft - marginRight,
                      pageHeight - marginTop - marginBottom, enlarge);
    if (!size && graphic->Reduced()) size = PixelSize{graphic->FullWidth(), graphic->FullHeight()};
  }
  if (size && !graphic->HasAlpha()) {
    // An opaque picture is scaled straight from its decoded rows: no full-size copy is made.
    ScaleInto({graphic->Row(0), graphic->Stride(), graphic->Width(), graphic->Height(), true}, *size, target);
  } else {
    source.AssignTo(target);
    if (size) {
      ScaleInto({target.Row(0), target.Stride(), target.Width(), target.Height(), false}, *size, target);
    }
  }
  PlaceAndReduce(target, pageWidth, pageHeight, mode, marginLeft, marginRight, marginTop, marginBottom,
                 makePage);
}

}  // namespace bookloom
