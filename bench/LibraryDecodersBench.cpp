// Speed of decoding: large camera JPEGs through libjpeg-turbo, a photograph as PNG, a TIFF through
// GraphicsMagick, and the copy of a decoded picture into the bitmap the page fitting starts from.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "decoders/DecoderRegistry.h"
#include "decoders/PictureFormats.h"
#include "platform/Bitmap.h"
#include "platform/FileSys.h"

namespace bookloom {
namespace {

const GraphicDecoder& DecoderFor(const std::u16string& name) {
  static DecoderRegistry registry = [] {
    DecoderRegistry r;
    RegisterPictureDecoders(r);
    return r;
  }();
  return *registry.Find(name);
}

void BM_Decode(benchmark::State& state, const char* sample) {
  const std::filesystem::path path = std::filesystem::path(BOOKLOOM_TESTDATA) / "pictures" / sample;
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("no shared test data");
    return;
  }
  const std::u16string name = path.u16string();
  const std::string bytes = ReadFileBytes(name);
  const GraphicDecoder& decoder = DecoderFor(name);
  int64_t pixels = 0;
  for (auto _ : state) {
    const auto graphic = decoder.LoadFromMemory(bytes, name);
    pixels += int64_t{graphic->Width()} * graphic->Height();
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK_CAPTURE(BM_Decode, jpeg_baseline_8mp, "jpeg/umang_by_Abhishek_Mudgal.jpg")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg_progressive_12mp, "jpeg/sunset_by_Aitzol_Berasategi.jpg")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg_cmyk, "jpeg/cmyk-sample.jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, png_768x512, "png/kodim23.png")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, tiff_deflate, "tiff/tiff_adobe_deflate.tif")->Unit(benchmark::kMillisecond);

void BM_AssignToBitmap(benchmark::State& state) {
  Graphic graphic(4000, 3000, state.range(0) != 0);
  Bitmap bitmap;
  for (auto _ : state) graphic.AssignTo(bitmap);
  state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}
BENCHMARK(BM_AssignToBitmap)->Arg(0)->Arg(1)->ArgName("alpha")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

BENCHMARK_MAIN();
