// Speed of the picture path: colour reduction of a device page, resampling of a camera picture to
// page size, and the whole fitting of such a picture onto a page.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "pictures/ColorReduction.h"
#include "pictures/PageFitting.h"
#include "pictures/Resampling.h"

namespace bookloom {
namespace {

// Smooth shading with fine noise, as a photograph has.
Bitmap Photo(int width, int height) {
  std::mt19937 random(42);
  Bitmap b(width, height, PixelFormat::k24Bit);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = b.Row(y);
    for (int x = 0; x < width; ++x) {
      const double shade = 127.5 + 100 * std::sin(x * 0.01) * std::cos(y * 0.013);
      for (int ch = 0; ch < 3; ++ch)
        row[3 * x + ch] =
            static_cast<uint8_t>(std::clamp(shade + ch * 20 + int(random() % 21) - 10.0, 0.0, 255.0));
    }
  }
  return b;
}

void BM_ReduceColorsPage(benchmark::State& state) {
  const auto mode = static_cast<ReductionMode>(state.range(0));
  Bitmap page = Photo(kDevicePageWidth, kDevicePageHeight);
  for (auto _ : state) benchmark::DoNotOptimize(ReduceColors(page, mode, DitherMode::kStucki));
  state.SetItemsProcessed(state.iterations() * kDevicePageWidth * kDevicePageHeight);
}
BENCHMARK(BM_ReduceColorsPage)
    ->Arg(static_cast<int>(ReductionMode::kGray4))
    ->Arg(static_cast<int>(ReductionMode::kMonochrome))
    ->ArgName("mode")
    ->Unit(benchmark::kMillisecond);

void BM_ResampleLanczos3(benchmark::State& state) {
  Bitmap source = Photo(4000, 3000);
  const ResampleFilter& lanczos = kResampleFilters[kLanczos3Filter];
  for (auto _ : state) {
    Bitmap target(600, 450, PixelFormat::k24Bit);
    ResampleBitmap(source, target, lanczos.filter, lanczos.support);
    benchmark::DoNotOptimize(target.Row(0));
  }
}
BENCHMARK(BM_ResampleLanczos3)->Unit(benchmark::kMillisecond);

void BM_FitPictureToPage(benchmark::State& state) {
  const Bitmap source = Photo(4000, 3000);
  for (auto _ : state) {
    Bitmap page;
    FitPictureToPage(source, page);
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_FitPictureToPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

BENCHMARK_MAIN();
