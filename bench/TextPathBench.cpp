// The whole text path of a 3 MB UTF-8 book through its text item (read, decode, convert to
// Windows-1251, escape, write, lay out four times), plain and with chapters and joined lines,
// against iconv converting the same text alone from UTF-8 to CP1251.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchText.h"
#include "book/TextFileItem.h"
#include "platform/Stream.h"
#include "wolf/BookWriter.h"

namespace {

constexpr size_t kBookBytes = 3 * 1024 * 1024;

// The Russian samples repeated to 3 MB of UTF-8; "" when the shared texts are missing.
const std::string& BookText() {
  static const std::string text = [] {
    const std::string sample = bookloom::bench::RussianSample("crime_and_punishment.utf8.txt") +
                               bookloom::bench::RussianSample("eugene_onegin.utf8.txt");
    std::string book;
    if (sample.empty()) return book;
    while (book.size() < kBookBytes) book += sample;
    // Cut at the last line end within 3 MB so that no character is split.
    book.resize(book.rfind('\n', kBookBytes) + 1);
    return book;
  }();
  return text;
}

bool SkipWithoutText(benchmark::State& state) {
  if (!BookText().empty()) return false;
  state.SkipWithError("the shared texts (testdata/texts/ru) are missing");
  return true;
}

// The book's text in a file, as the build reads it.
const std::filesystem::path& BookFile() {
  static const std::filesystem::path path = [] {
    const auto file = std::filesystem::temp_directory_path() / "bookloom-bench-text-path.txt";
    std::ofstream(file, std::ios::binary) << BookText();
    return file;
  }();
  return path;
}

// The book as the build makes it from the file, with the text settings of the benchmark's argument:
// 0 plain (one chapter, one paragraph per line), 1 with --chapters --unwrap auto.
void BM_TextPath(benchmark::State& state) {
  if (SkipWithoutText(state)) return;
  bookloom::FileSettings settings;
  if (state.range(0) == 1) settings.text = {.chapters = true, .unwrap = bookloom::Unwrap::kAuto};
  size_t bookSize = 0;
  for (auto _ : state) {
    bookloom::TextFileItem item(bookloom::bench::BenchRuntime(), BookFile().u16string());
    item.SetSettings(settings);
    item.SetOnlyInput(true);
    bookloom::MemoryOutputStream out;
    bookloom::BookWriter writer(out);
    writer.WriteDescription();
    writer.BeginBody();
    item.WriteTo(writer);
    writer.EndBody();
    writer.Finish();
    bookSize = out.Bytes().size();
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(BookText().size()));
  state.counters["book_bytes"] = static_cast<double>(bookSize);
}
// The processor time of every thread: the writer counts the pages of one font on a second one.
BENCHMARK(BM_TextPath)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("chapters_unwrap")
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

// iconv alone: UTF-8 to CP1251, characters the code page lacks left out.
void BM_IconvUtf8ToCp1251(benchmark::State& state) {
  if (SkipWithoutText(state)) return;
  const std::string& utf8 = BookText();
  iconv_t cd = iconv_open("CP1251//IGNORE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    state.SkipWithError("iconv cannot convert UTF-8 to CP1251");
    return;
  }
  std::string out(utf8.size(), '\0');
  for (auto _ : state) {
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(utf8.data());
    size_t inLeft = utf8.size();
    char* to = out.data();
    size_t outLeft = out.size();
    // With //IGNORE, glibc skips a character the code page lacks but then stops with EILSEQ;
    // calling again goes on after it.
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1) &&
           errno == EILSEQ) {
    }
    benchmark::DoNotOptimize(out.data());
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(utf8.size()));
}
BENCHMARK(BM_IconvUtf8ToCp1251)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (BookText().empty())
    std::fprintf(stderr, "TextPathBench: no shared texts in testdata/texts/ru; skipped\n");
  const int status = bookloom::bench::RunWithUnits(argc, argv);
  if (!BookText().empty()) std::filesystem::remove(BookFile());
  return status;
}
