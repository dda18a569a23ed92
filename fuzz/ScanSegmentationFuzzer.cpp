// Cleans arbitrary bytes as a scanned page, cuts it into lines and words and sets them again, and
// checks that every line and word lies inside the page and that every page made is the device's.
#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "DecoderFuzzing.h"
#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"

namespace {

bool Inside(const bookloom::PictureBox& b, const bookloom::GrayView& page) {
  return b.x >= 0 && b.y >= 0 && b.width > 0 && b.height > 0 && b.x + b.width <= page.width &&
         b.y + b.height <= page.height;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace bookloom;
  if (size < 3) return 0;
  // The first two bytes give the width and the reflow height; the rest are the pixels, repeated to fill
  // a page of at most 256 x 256.
  const int width = 1 + data[0];
  const int xHeight = kMinReflowHeight + data[1] % (kMaxReflowHeight - kMinReflowHeight + 1);
  const size_t pixels = size - 2;
  const int height = static_cast<int>(std::min<size_t>(256, (pixels + width - 1) / width));
  GrayImage page(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) page.Row(y)[x] = data[2 + (static_cast<size_t>(y) * width + x) % pixels];
  const CleanedScan cleaned = CleanScan(fuzz::TargetRuntime(), page.View());
  const GrayView view = cleaned.page.View();
  if (view.width != width || view.height != height) std::abort();  // turned within its own size
  const ScanLayout layout = SegmentScan(fuzz::TargetRuntime(), view);
  for (const ScanLine& line : layout.lines) {
    if (!Inside(line.box, view)) std::abort();
    for (const PictureBox& word : line.words)
      if (!Inside(word, view)) std::abort();
  }
  // The first few pages are enough to see every placement; dithering is fuzzed with the pictures.
  struct Enough {};
  int pages = 0;
  try {
    ReflowPage(view, layout, {.xHeight = xHeight, .colors = PageColors::kKeep}, [&](Bitmap& made) {
      if (made.Width() != kDevicePageWidth || made.Height() != kDevicePageHeight) std::abort();
      if (++pages == 3) throw Enough();
    });
  } catch (const Enough&) {
  }
  return 0;
}
