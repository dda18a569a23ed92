// Speed of the picture path: colour reduction of a device page, resampling of a grey camera picture
// to page size, and the whole fitting of such a picture onto a page.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "pictures/ColorReduction.h"
#include "pictures/PageFitting.h"
#include "pictures/Resampling.h"

namespace bookloom {
namespace {

// Smooth shading with fine noise, as a photograph has.
GrayImage Photo(int width, int height) {
  std::mt19937 random(42);
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = g.Row(y);
    for (int x = 0; x < width; ++x) {
      const double shade = 127.5 + 100 * std::sin(x * 0.01) * std::cos(y * 0.013);
      row[x] = static_cast<uint8_t>(std::clamp(shade + int(random() % 21) - 10.0, 0.0, 255.0));
    }
  }
  return g;
}

void BM_ReduceGrayPage(benchmark::State& state) {
  const auto mode = static_cast<ReductionMode>(state.range(0));
  const GrayImage page = Photo(kDevicePageWidth, kDevicePageHeight);
  for (auto _ : state) benchmark::DoNotOptimize(ReduceGray(page.View(), mode, DitherMode::kStucki).Row(0));
  state.SetItemsProcessed(state.iterations() * kDevicePageWidth * kDevicePageHeight);
}
BENCHMARK(BM_ReduceGrayPage)
    ->Arg(static_cast<int>(ReductionMode::kGray4))
    ->Arg(static_cast<int>(ReductionMode::kMonochrome))
    ->ArgName("mode")
    ->Unit(benchmark::kMillisecond);

void BM_ResampleLanczos3(benchmark::State& state) {
  const GrayImage source = Photo(4000, 3000);
  for (auto _ : state) {
    GrayImage target(600, 450);
    ResampleGray(source.View(), target, Lanczos3Filter, kLanczos3Support);
    benchmark::DoNotOptimize(target.Row(0));
  }
}
BENCHMARK(BM_ResampleLanczos3)->Unit(benchmark::kMillisecond);

void BM_FitPictureToPage(benchmark::State& state) {
  const GrayImage source = Photo(4000, 3000);
  for (auto _ : state) {
    Bitmap page;
    FitPictureToPage(source.View(), page);
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_FitPictureToPage)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

BENCHMARK_MAIN();
