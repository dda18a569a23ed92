#include "pictures/PictureSettings.h"

#include <vector>

#include "pictures/BorderCrop.h"
#include "pictures/GrayLevels.h"
#include "pictures/ScanCleanup.h"

namespace bookloom {

namespace {

GrayView Cropped(const GrayView& picture) {
  const PictureBox box = CropBox(picture);
  return picture.Part(box.x, box.y, box.width, box.height);
}

// The parts of the picture that become pages, in the order of the book.
std::vector<GrayView> PartsOf(const GrayView& picture, const PictureSettings& settings) {
  if (settings.split == Split::kNone || picture.width <= kSpreadRatio * picture.height) return {picture};
  const int leftWidth = picture.width / 2;
  GrayView left = picture.Part(0, 0, leftWidth, picture.height);
  GrayView right = picture.Part(leftWidth, 0, picture.width - leftWidth, picture.height);
  if (settings.crop) {
    left = Cropped(left);
    right = Cropped(right);
  }
  if (settings.split == Split::kRightToLeft) return {right, left};
  return {left, right};
}

Turn TurnOf(const GrayView& part, Rotation rotation) {
  switch (rotation) {
    case Rotation::kAuto:
      return part.width > part.height ? Turn::kRight : Turn::kNone;
    case Rotation::kLeft:
      return Turn::kLeft;
    case Rotation::kRight:
      return Turn::kRight;
    case Rotation::kNone:
      break;
  }
  return Turn::kNone;
}

}  // namespace

ReflowOptions ReflowOptionsOf(const PictureSettings& settings, const Margins& margins) {
  return {settings.reflowHeight, settings.colors, margins};
}

void MakePages(const Runtime& runtime, const GrayView& picture, const PictureSettings& settings,
               const Margins& margins, const std::function<void(Bitmap& page)>& takePage,
               const std::function<void(ScaledPage words)>& takeWords) {
  CleanedScan cleaned;
  const bool scan = settings.clean.value_or(false) || settings.reflow;
  if (scan) cleaned = CleanScan(runtime, picture);
  const GrayView source = scan && !cleaned.page.Empty() ? cleaned.page.View() : picture;
  for (const GrayView& part : PartsOf(settings.crop ? Cropped(source) : source, settings)) {
    GrayTable levels = settings.autolevel ? AutolevelTable(part) : GammaTable(1.0);
    if (settings.gamma != 1.0) levels = Then(levels, GammaTable(settings.gamma));
    GrayImage adjusted;
    const GrayView page = IsIdentity(levels) ? part : (adjusted = Adjusted(part, levels)).View();
    if (settings.reflow) {
      const ReflowOptions reflow = ReflowOptionsOf(settings, margins);
      const ScanLayout layout = SegmentScan(runtime, page);
      if (takeWords && layout.xHeight > 0) {
        takeWords(ScalePage(page, layout, reflow));
        continue;
      }
      if (ReflowPage(page, layout, reflow, takePage) > 0) continue;
    }
    FitOptions options;
    options.enlarge = settings.enlarge;
    options.colors = settings.colors;
    options.margins = margins;
    options.turn = TurnOf(page, settings.rotation);
    Bitmap bitmap;
    FitPictureToPage(page, bitmap, options);
    takePage(bitmap);
  }
}

}  // namespace bookloom
