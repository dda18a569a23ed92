// Speed of decoding: large camera JPEGs through libjpeg-turbo (in colour, and grey as pages are made
// from them), a photograph as PNG, a TIFF through GraphicsMagick, and the grey of a decoded colour
// picture.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchRuntime.h"
#include "decoders/PictureFormats.h"
#include "platform/Bitmap.h"
#include "platform/FileSys.h"

namespace bookloom {
namespace {

const GraphicDecoder& DecoderFor(const std::u16string& name) {
  return *PictureDecoders(bench::BenchRuntime()).Find(name);
}

// Argument 1 decodes grey, as a picture becomes a page; 0 in colour.
void BM_Decode(benchmark::State& state, const char* sample) {
  const std::filesystem::path path = std::filesystem::path(BOOKLOOM_TESTDATA) / "pictures" / sample;
  if (!std::filesystem::exists(path)) {
    state.SkipWithError("no shared test data");
    return;
  }
  const std::u16string name = path.u16string();
  const std::string bytes = ReadFileBytes(name);
  const GraphicDecoder& decoder = DecoderFor(name);
  const DecodeOptions options{.gray = state.range(0) != 0};
  int64_t pixels = 0;
  for (auto _ : state) {
    const DecodedFrames decoded = decoder.Decode(bytes, name, options);
    pixels += int64_t{decoded.frames[0]->Width()} * decoded.frames[0]->Height();
  }
  state.SetItemsProcessed(pixels);
}
BENCHMARK_CAPTURE(BM_Decode, jpeg_baseline_8mp, "jpeg/umang_by_Abhishek_Mudgal.jpg")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("gray")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg_progressive_12mp, "jpeg/sunset_by_Aitzol_Berasategi.jpg")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("gray")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, jpeg_cmyk, "jpeg/cmyk-sample.jpg")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("gray")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, png_768x512, "png/kodim23.png")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("gray")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Decode, tiff_deflate, "tiff/tiff_adobe_deflate.tif")
    ->Arg(0)
    ->Arg(1)
    ->ArgName("gray")
    ->Unit(benchmark::kMillisecond);

// Transparency composited on white and the luma of each pixel.
void BM_MakeGray(benchmark::State& state) {
  for (auto _ : state) {
    state.PauseTiming();
    Graphic graphic(4000, 3000, RgbLayout(state.range(0) != 0));
    state.ResumeTiming();
    graphic.MakeGray();
    benchmark::DoNotOptimize(graphic.Row(0));
  }
  state.SetItemsProcessed(state.iterations() * 4000 * 3000);
}
BENCHMARK(BM_MakeGray)->Arg(0)->Arg(1)->ArgName("alpha")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }
