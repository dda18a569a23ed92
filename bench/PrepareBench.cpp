// A 4000 x 3000 camera photograph prepared as a device page (decoded, scaled with Lanczos3, centred
// on a white page, reduced to four greys with dithering), in this process and as `bookloom-cli
// prepare`, against libjpeg-turbo's djpeg decoding the same file in colour and ImageMagick doing the
// equivalent, in the same run. The photograph is made at start from a real one of the shared test
// data, with ImageMagick. The programs run as child processes, so their processor time is taken from
// the children's resource usage; the closing line compares `prepare` with djpeg.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "BenchRuntime.h"
#include "book/Startup.h"
#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "platform/PngFile.h"

namespace {

namespace fs = std::filesystem;

struct Inputs {
  std::string skipped;  // why the benchmarks cannot run; "" when they can
  std::string convert;  // ImageMagick's convert program
  fs::path folder, photo, fourGreys;
};

Inputs inputs;

bool Run(const std::string& command) { return std::system(command.c_str()) == 0; }

// Processor time (user and system) of the children waited for so far, in seconds.
double ChildrenSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The least processor time one run of a command took, by benchmark name: for the closing line.
std::map<std::string, double> leastChildSeconds;

// Runs the command once per iteration; reports its processor time per run as the counter
// "cpu_ms" and keeps the least for the closing comparison.
void TimeCommand(benchmark::State& state, const std::string& command, const std::string& key) {
  for (auto _ : state) {
    const double before = ChildrenSeconds();
    if (!Run(command)) {
      state.SkipWithError((key + " failed").c_str());
      return;
    }
    const double seconds = ChildrenSeconds() - before;
    auto [least, added] = leastChildSeconds.try_emplace(key, seconds);
    if (!added) least->second = std::min(least->second, seconds);
    state.counters["cpu_ms"] += seconds * 1000;
  }
  state.counters["cpu_ms"] /= static_cast<double>(state.iterations());
}

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

// ImageMagick's own program: a `convert` found earlier on the PATH may be a script that wraps it,
// whose start-up would be timed too.
std::string FindConvert() {
  if (access("/usr/bin/convert", X_OK) == 0) return "/usr/bin/convert";
  return Run("command -v convert >/dev/null 2>&1") ? "convert" : "";
}

// The bookloom-cli to time: $BOOKLOOM_CLI when set (another build, to compare with), else the one
// built beside this program.
fs::path CliProgram() {
  const char* other = std::getenv("BOOKLOOM_CLI");
  return other && *other ? other : BOOKLOOM_CLI;
}

// The largest JPEG of the shared test data: a real photograph.
fs::path LargestTestJpeg() {
  const fs::path folder = fs::path(BOOKLOOM_TESTDATA) / "pictures/jpeg";
  fs::path largest;
  std::uintmax_t size = 0;
  if (fs::is_directory(folder))
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file() && entry.path().extension() == ".jpg" && entry.file_size() > size)
        size = entry.file_size(), largest = entry.path();
  return largest;
}

void MakeInputs() {
  inputs.convert = FindConvert();
  const fs::path source = LargestTestJpeg();
  if (inputs.convert.empty()) {
    inputs.skipped = "ImageMagick's convert is not installed";
    return;
  }
  if (source.empty()) {
    inputs.skipped = "no shared test data (pictures/jpeg)";
    return;
  }
  inputs.folder = fs::temp_directory_path() / ("bookloom-bench-prepare-" + std::to_string(getpid()));
  fs::create_directories(inputs.folder);
  inputs.photo = inputs.folder / "photo-4000x3000.jpg";
  inputs.fourGreys = inputs.folder / "FOUR_GREYS.png";
  bookloom::WriteGrayPng(inputs.fourGreys.u16string(), 4, 1, {0, 128, 192, 255});
  if (!Run(inputs.convert + " " + Quoted(source) + " -resize '4000x3000!' -quality 90 " +
           Quoted(inputs.photo)))
    inputs.skipped = "convert could not make the photograph";
}

bool Skip(benchmark::State& state) {
  if (inputs.skipped.empty()) return false;
  state.SkipWithError(inputs.skipped.c_str());
  return true;
}

// Decoding and fitting, as `prepare` and a picture item of the book do them.
void BM_PrepareInProcess(benchmark::State& state) {
  if (Skip(state)) return;
  for (auto _ : state) {
    bookloom::Picture picture;
    picture.LoadFromFile(bookloom::bench::BenchRuntime(), inputs.photo.u16string(), {.gray = true});
    bookloom::Bitmap page;
    bookloom::FitPictureToPage(picture, page);
    benchmark::DoNotOptimize(page.Row(0));
  }
}
BENCHMARK(BM_PrepareInProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// The whole program: start, decode, fit, write the page as PNG; its processor time is compared with
// djpeg's below.
void BM_PrepareCli(benchmark::State& state) {
  if (Skip(state)) return;
  const std::string command = Quoted(CliProgram()) + " prepare " + Quoted(inputs.photo) + " " +
                              Quoted(inputs.folder / "page-bookloom.png");
  TimeCommand(state, command, "prepare");
}
BENCHMARK(BM_PrepareCli)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// libjpeg-turbo's own program decoding the same file in colour, the measure of `prepare`.
void BM_DjpegColour(benchmark::State& state) {
  if (Skip(state)) return;
  TimeCommand(state, "djpeg -outfile /dev/null " + Quoted(inputs.photo), "djpeg");
}
BENCHMARK(BM_DjpegColour)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

// ImageMagick: Lanczos to fit 600 x 800, grey, Floyd-Steinberg onto the four greys; with its
// threads as it chooses them (argument 0) or with one thread, as Bookloom works.
void BM_ImageMagick(benchmark::State& state) {
  if (Skip(state)) return;
  const std::string threads =
      state.range(0) > 0 ? "MAGICK_THREAD_LIMIT=" + std::to_string(state.range(0)) + " " : "";
  const std::string command =
      threads + inputs.convert + " " + Quoted(inputs.photo) +
      " -filter Lanczos -resize 600x800 -colorspace Gray -dither FloydSteinberg -remap " +
      Quoted(inputs.fourGreys) + " " + Quoted(inputs.folder / "page-magick.png");
  TimeCommand(state, command, "convert");
}
BENCHMARK(BM_ImageMagick)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  const bookloom::Startup units;
  bookloom::bench::programUnits = &units;
  benchmark::Initialize(&argc, argv);
  MakeInputs();
  if (!inputs.skipped.empty()) std::fprintf(stderr, "PrepareBench: %s; skipped\n", inputs.skipped.c_str());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const auto prepare = leastChildSeconds.find("prepare"), djpeg = leastChildSeconds.find("djpeg");
  if (prepare != leastChildSeconds.end() && djpeg != leastChildSeconds.end()) {
    const double ratio = prepare->second / djpeg->second;
    std::printf("prepare / djpeg processor time (least of each): %.3f s / %.3f s = %.2f (at most 1.2: %s)\n",
                prepare->second, djpeg->second, ratio, ratio <= 1.2 ? "goal met" : "GOAL MISSED");
  }
  if (!inputs.folder.empty()) fs::remove_all(inputs.folder);
}
