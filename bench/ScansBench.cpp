// Scanned pages: an A4 page set at 300 pixels an inch, turned by 1° and grainy as a scanner leaves it,
// made into device pages by fitting it whole (as it is, and cleaned) and by reflow. The benchmarks
// time each; the figures printed first are the blank paper's non-white share on the fitted page and
// the letters' x-height on each kind of page.
//   ScansBench --write DIR   also writes DIR/scan.pgm (the scan), DIR/words.txt (its words in order)
//   ScansBench --measure FILE.pgm...   prints the x-height of the print on each picture (from k2pdfopt)
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>

#include "BenchRuntime.h"
#include "pictures/PictureSettings.h"
#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/Bitmap.h"
#include "support/TestScans.h"

namespace bookloom {
namespace {

// The page and its words, as MakeTestScan sets them: 10-point letters (42 pixels) at 300 an inch.
const test::TestScan& A4Scan() {
  static const test::TestScan scan = test::MakeTestScan(
      {.width = 2480, .height = 3508, .fontPixels = 42, .paragraphs = 12, .turnDegrees = 1, .grain = 12});
  return scan;
}

std::vector<GrayImage> PagesOf(const GrayView& scan, const PictureSettings& settings) {
  std::vector<GrayImage> pages;
  MakePages(bench::BenchRuntime(), scan, settings, {}, [&](Bitmap& page) { pages.push_back(GrayOf(page)); });
  return pages;
}

// The blank paper of the scan on its fitted page, a few pixels inside so that no letter's edge counts.
double FittedBlankShare(const GrayImage& page) {
  const PictureBox& blank = A4Scan().blank;
  const double scale =
      std::min(static_cast<double>(kDevicePageWidth) / 2480, static_cast<double>(kDevicePageHeight) / 3508);
  const int left = (kDevicePageWidth - static_cast<int>(2480 * scale)) / 2;
  const PictureBox fitted{left + static_cast<int>(blank.x * scale) + 2, static_cast<int>(blank.y * scale) + 2,
                          static_cast<int>(blank.width * scale) - 4,
                          static_cast<int>(blank.height * scale) - 4};
  return test::NonWhiteShare(page.View(), fitted);
}

GrayImage ReadPgm(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::string magic;
  int width = 0, height = 0, most = 0;
  in >> magic >> width >> height >> most;
  in.get();
  GrayImage image(width, height);
  for (int y = 0; y < height; ++y) in.read(reinterpret_cast<char*>(image.Row(y)), width);
  return image;
}

void WritePgm(const std::string& file, const GrayView& view) {
  std::ofstream out(file, std::ios::binary);
  out << "P5 " << view.width << " " << view.height << " 255\n";
  for (int y = 0; y < view.height; ++y) out.write(reinterpret_cast<const char*>(view.Row(y)), view.width);
}

// The x-height of the print on a device page, measured on its greys before reduction to four.
int XHeightOn(const GrayView& page) { return SegmentScan(bench::BenchRuntime(), page).xHeight; }

void PrintFigures() {
  const test::TestScan& scan = A4Scan();
  PictureSettings plain, clean, reflow;
  clean.clean = true;
  reflow.reflow = true;
  plain.colors = clean.colors = reflow.colors = PageColors::kKeep;
  const GrayImage fitted = std::move(PagesOf(scan.page.View(), plain).front());
  const GrayImage cleaned = std::move(PagesOf(scan.page.View(), clean).front());
  PictureSettings gray4 = plain;
  gray4.colors = PageColors::kGray4;
  const GrayImage fittedGray4 = std::move(PagesOf(scan.page.View(), gray4).front());
  gray4.clean = true;
  const GrayImage cleanedGray4 = std::move(PagesOf(scan.page.View(), gray4).front());
  const std::vector<GrayImage> reflowed = PagesOf(scan.page.View(), reflow);
  std::printf("blank paper not white on the fitted page (four greys): %.2f %% as it is, %.3f %% cleaned\n",
              100 * FittedBlankShare(fittedGray4), 100 * FittedBlankShare(cleanedGray4));
  std::printf(
      "x-height: source %d px, fitted page %d px, cleaned fitted page %d px, reflowed pages %d px (%zu "
      "pages)\n",
      SegmentScan(bench::BenchRuntime(), CleanScan(bench::BenchRuntime(), scan.page.View()).page.View())
          .xHeight,
      XHeightOn(fitted.View()), XHeightOn(cleaned.View()), XHeightOn(reflowed.front().View()),
      reflowed.size());
}

void BM_FitScan(benchmark::State& state) {
  PictureSettings settings;
  settings.clean = state.range(0) != 0;
  for (auto _ : state) benchmark::DoNotOptimize(PagesOf(A4Scan().page.View(), settings).size());
}
BENCHMARK(BM_FitScan)->Arg(0)->Arg(1)->ArgName("clean")->Unit(benchmark::kMillisecond);

void BM_ReflowScan(benchmark::State& state) {
  PictureSettings settings;
  settings.reflow = true;
  for (auto _ : state) benchmark::DoNotOptimize(PagesOf(A4Scan().page.View(), settings).size());
}
BENCHMARK(BM_ReflowScan)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bookloom

int main(int argc, char** argv) {
  using namespace bookloom;
  const Startup units;
  bench::programUnits = &units;
  if (argc >= 2 && std::strcmp(argv[1], "--measure") == 0) {
    for (int i = 2; i < argc; ++i) std::printf("%s %d\n", argv[i], XHeightOn(ReadPgm(argv[i]).View()));
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "--write") == 0) {
    const std::string dir = argv[2];
    WritePgm(dir + "/scan.pgm", A4Scan().page.View());
    std::ofstream words(dir + "/words.txt");
    for (const std::string& w : A4Scan().texts) words << w << "\n";
    argv[2] = argv[0];  // the remaining arguments go to the benchmarks
    argc -= 2;
    argv += 2;
  }
  PrintFigures();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
