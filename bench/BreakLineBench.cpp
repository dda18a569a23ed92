// Speed of BreakLine: every paragraph of a novel cut into lines for the four page layouts, as
// the writer does while it counts pages.
#include <benchmark/benchmark.h>

#include <sstream>
#include <vector>

#include "BenchText.h"
#include "platform/Utf.h"
#include "text/LineBreaking.h"
#include "text/Win1251.h"

namespace {

// The paragraphs of the Russian novel of the shared samples (or of a made-up text), in
// Windows-1251 and each ended by the writer's CR.
std::vector<std::string> Paragraphs() {
  std::vector<std::string> paragraphs;
  std::istringstream lines(bookloom::WideToWin1251(bookloom::Utf8ToUtf16(bookloom::bench::NovelUtf8())));
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

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }
