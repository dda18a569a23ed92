// Speed of WideToWin1251 over a whole novel, as the build converts every line of a book, against
// the codec's plain loop that skips what the code page lacks: the fallback for the few characters
// Windows-1251 lacks costs nothing for the others; and lines full of such characters converted on one
// and on two threads at once, which must not wait for each other.
#include <benchmark/benchmark.h>

#include "BenchRuntime.h"
#include "BenchText.h"
#include "platform/Utf.h"
#include "text/Win1251.h"

namespace {

void BM_WideToWin1251(benchmark::State& state) {
  const std::u16string text = bookloom::Utf8ToUtf16(bookloom::bench::NovelUtf8());
  for (auto _ : state)
    benchmark::DoNotOptimize(bookloom::WideToWin1251(bookloom::bench::BenchRuntime(), text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_WideToWin1251)->Unit(benchmark::kMillisecond);

void BM_CodecSkipping(benchmark::State& state) {
  const std::u16string text = bookloom::Utf8ToUtf16(bookloom::bench::NovelUtf8());
  const bookloom::Win1251Codec codec(bookloom::UnmappedPolicy::kSkip);
  for (auto _ : state) benchmark::DoNotOptimize(codec.EncodeText(text, static_cast<int32_t>(text.size())));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_CodecSkipping)->Unit(benchmark::kMillisecond);

// Lines of French and German, every few letters one that Windows-1251 lacks, converted line by line.
void BM_WideToWin1251Accented(benchmark::State& state) {
  const std::u16string line =
      bookloom::Utf8ToUtf16("Émile attend à la fenêtre du café, où Günther lit «Faust» à voix haute.");
  for (auto _ : state)
    for (int i = 0; i < 2000; ++i)
      benchmark::DoNotOptimize(bookloom::WideToWin1251(bookloom::bench::BenchRuntime(), line));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * 2000 *
                          static_cast<int64_t>(line.size()));
}
BENCHMARK(BM_WideToWin1251Accented)->Unit(benchmark::kMillisecond)->Threads(1)->Threads(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }
