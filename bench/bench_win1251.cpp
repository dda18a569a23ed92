// Speed of WideToWin1251 over a whole novel, as the build converts every line of a book.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Utf.h"
#include "project/Units.h"
#include "text/uUniWin1251.h"

namespace {

// The Russian novel of the shared samples, or a made-up Russian text of the same size.
std::u16string Novel() {
  const auto path = std::filesystem::path(BOOKLOOM_TESTDATA) / "texts/ru/crime_and_punishment.utf8.txt";
  std::ifstream in(path, std::ios::binary);
  if (in) {
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bookloom::Utf8ToUtf16(bytes.str());
  }
  std::u16string text;
  while (text.size() < 1000000) text += u"Мама мыла раму, «а папа — нет». Ёлка!\n";
  return text;
}

void BM_WideToWin1251(benchmark::State& state) {
  const std::u16string text = Novel();
  for (auto _ : state) benchmark::DoNotOptimize(bookloom::WideToWin1251(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_WideToWin1251)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bookloom::Units units;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
