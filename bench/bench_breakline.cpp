// Speed of BreakLine: every paragraph of a novel cut into lines for the four page layouts, as
// the writer does while it counts pages.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/Utf.h"
#include "project/Units.h"
#include "text/uUniWin1251.h"
#include "text/uWolfTextFmt.h"

namespace {

// The paragraphs of the Russian novel of the shared samples (or of a made-up text), in
// Windows-1251 and each ended by the writer's CR.
std::vector<std::string> Paragraphs() {
  const auto path = std::filesystem::path(BOOKLOOM_TESTDATA) / "texts/ru/crime_and_punishment.utf8.txt";
  std::ifstream in(path, std::ios::binary);
  std::string utf8;
  if (in) {
    std::ostringstream bytes;
    bytes << in.rdbuf();
    utf8 = bytes.str();
  } else {
    while (utf8.size() < 2000000)
      utf8 += "Мама мыла раму, «а папа — нет»... 1234567890 Подъезд, сестра; молоко!\n";
  }
  std::vector<std::string> paragraphs;
  std::istringstream lines(bookloom::WideToWin1251(bookloom::Utf8ToUtf16(utf8)));
  for (std::string line; std::getline(lines, line);) paragraphs.push_back(line + '\r');
  return paragraphs;
}

void BM_BreakLineFourLayouts(benchmark::State& state) {
  const std::vector<std::string> paragraphs = Paragraphs();
  const struct { int font, width; } layouts[] = {{0, 576}, {1, 576}, {0, 776}, {1, 776}};
  int64_t bytes = 0;
  for (const auto& p : paragraphs) bytes += static_cast<int64_t>(p.size());
  for (auto _ : state) {
    int64_t lines = 0;
    for (const auto& layout : layouts)
      for (const auto& p : paragraphs)
        for (std::string_view rest = p; !rest.empty(); ++lines)
          rest.remove_prefix(static_cast<size_t>(bookloom::BreakLine(rest, layout.width, layout.font)));
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}
BENCHMARK(BM_BreakLineFourLayouts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  bookloom::Units units;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
}
