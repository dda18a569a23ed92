// Speed of line breaking: every paragraph of a novel cut into lines for the four page layouts, byte by
// byte and token by token as the writer does while it counts pages.
#include <benchmark/benchmark.h>

#include <sstream>
#include <vector>

#include "BenchRuntime.h"
#include "BenchText.h"
#include "platform/Utf.h"
#include "text/LineBreaking.h"
#include "text/Win1251.h"

namespace {

// The paragraphs of the Russian novel of the shared samples (or of a made-up text), in
// Windows-1251 and each ended by the writer's CR.
std::vector<std::string> Paragraphs() {
  std::vector<std::string> paragraphs;
  std::istringstream lines(bookloom::WideToWin1251(bookloom::bench::BenchRuntime(),
                                                   bookloom::Utf8ToUtf16(bookloom::bench::NovelUtf8())));
  for (std::string line; std::getline(lines, line);) paragraphs.push_back(line + '\r');
  return paragraphs;
}

// The fonts and text widths of the four page layouts.
constexpr struct { int font, width; } kLayouts[] = {{0, 576}, {1, 576}, {0, 776}, {1, 776}};

void BM_BreakLineFourLayouts(benchmark::State& state) {
  const std::vector<std::string> paragraphs = Paragraphs();
  int64_t bytes = 0;
  for (const auto& p : paragraphs) bytes += static_cast<int64_t>(p.size());
  for (auto _ : state) {
    int64_t lines = 0;
    for (const auto& layout : kLayouts)
      for (const auto& p : paragraphs)
        for (std::string_view rest = p; !rest.empty(); ++lines)
          rest.remove_prefix(static_cast<size_t>(bookloom::BreakLine(rest, layout.width, layout.font)));
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}
BENCHMARK(BM_BreakLineFourLayouts)->Unit(benchmark::kMillisecond);

// The same lines as the writer cuts them: each paragraph read once into tokens, then cut four ways.
void BM_ParagraphBreakerFourLayouts(benchmark::State& state) {
  const std::vector<std::string> paragraphs = Paragraphs();
  int64_t bytes = 0;
  for (const auto& p : paragraphs) bytes += static_cast<int64_t>(p.size());
  bookloom::ParagraphBreaker breaker;
  for (auto _ : state) {
    int64_t lines = 0;
    for (const auto& p : paragraphs) {
      breaker.Start(p);
      for (const auto& layout : kLayouts)
        for (size_t pos = 0; pos < p.size(); ++lines)
          pos += breaker.BreakLine(pos, layout.width, layout.font);
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes);
}
BENCHMARK(BM_ParagraphBreakerFourLayouts)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }
