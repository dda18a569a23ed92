// The whole text path of a 3 MB UTF-8 book (decode, convert to Windows-1251, escape, write, lay
// out four times) against iconv converting the same text alone from UTF-8 to CP1251.
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "BenchText.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
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

// The book as the build makes it: one chapter, one paragraph per line.
void BM_TextPath(benchmark::State& state) {
  if (SkipWithoutText(state)) return;
  const std::string& utf8 = BookText();
  size_t bookSize = 0;
  for (auto _ : state) {
    const std::u16string wide = bookloom::Utf8ToUtf16(utf8);
    bookloom::MemoryOutputStream out;
    bookloom::BookWriter writer(out);
    writer.WriteDescription();
    writer.BeginBody();
    writer.BeginText();
    writer.AddTOCEntry(1, "Chapter");
    size_t from = 0;
    while (from < wide.size()) {
      size_t end = wide.find(u'\n', from);
      if (end == std::u16string::npos) end = wide.size();
      const size_t lineEnd = end > from && wide[end - 1] == u'\r' ? end - 1 : end;
      writer.AddParagraph(bookloom::WideToWin1251(std::u16string_view(wide).substr(from, lineEnd - from)));
      from = end + 1;
    }
    writer.EndBody();
    writer.Finish();
    bookSize = out.Bytes().size();
    benchmark::DoNotOptimize(out.Bytes().data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(utf8.size()));
  state.counters["book_bytes"] = static_cast<double>(bookSize);
}
BENCHMARK(BM_TextPath)->Unit(benchmark::kMillisecond);

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
BENCHMARK(BM_IconvUtf8ToCp1251)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (BookText().empty())
    std::fprintf(stderr, "TextPathBench: no shared texts in testdata/texts/ru; skipped\n");
  return bookloom::bench::RunWithUnits(argc, argv);
}
