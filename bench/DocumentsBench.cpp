// Reading books in other formats: an FB2 novel of about 1 MB read into the document model against
// libxml2 parsing it alone, the same text as an HTML page, and the natural order of a comic's pages.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "BenchText.h"
#include "documents/Fb2Reader.h"
#include "documents/HtmlText.h"
#include "documents/Xml.h"
#include "platform/Collate.h"
#include "platform/Utf.h"

namespace {

constexpr size_t kNovelBytes = 1 << 20;

// The novel's lines as paragraphs of `open`/`close` markup, a new chapter every 200 lines, to
// about 1 MB in all.
std::string Marked(const std::string& open, const std::string& close, const std::string& chapter,
                   const std::string& chapterEnd) {
  const std::string novel = bookloom::bench::NovelUtf8();
  std::string text;
  size_t from = 0, lines = 0;
  while (text.size() < kNovelBytes && from < novel.size()) {
    size_t end = novel.find('\n', from);
    if (end == std::string::npos) end = novel.size();
    std::string line = novel.substr(from, end - from);
    std::erase_if(line, [](char c) { return c == '<' || c == '>' || c == '&' || c == '\r'; });
    if (lines++ % 200 == 0) text += (lines > 1 ? chapterEnd : "") + chapter;
    text += open + line + close + "\n";
    from = end + 1;
  }
  return text + chapterEnd;
}

const std::string& Fb2Novel() {
  static const std::string fb2 =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?><FictionBook><description/><body>" +
      Marked("<p>", "</p>", "<section><title><p>Chapter</p></title>", "</section>") + "</body></FictionBook>";
  return fb2;
}

const std::string& HtmlNovel() {
  static const std::string html = "<html><head><meta charset=\"utf-8\"></head><body>" +
                                  Marked("<p>", "</p>", "<h2>Chapter</h2>", "") + "</body></html>";
  return html;
}

void BM_ParseFb2Xml(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(
        bookloom::ParseXml(bookloom::bench::BenchRuntime(), Fb2Novel(), u"novel.fb2", ""));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Fb2Novel().size()));
}
BENCHMARK(BM_ParseFb2Xml)->Unit(benchmark::kMillisecond);

void BM_ReadFb2(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(bookloom::ReadFb2(bookloom::bench::BenchRuntime(), Fb2Novel(), u"novel.fb2"));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Fb2Novel().size()));
}
BENCHMARK(BM_ReadFb2)->Unit(benchmark::kMillisecond);

void BM_ReadHtml(benchmark::State& state) {
  for (auto _ : state) {
    const bookloom::XmlDocPtr page =
        bookloom::ParseHtml(bookloom::bench::BenchRuntime(), HtmlNovel(), u"novel.html", "");
    bookloom::Document document;
    bookloom::ReadHtmlBody(*page, document, {});
    benchmark::DoNotOptimize(document.blocks.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * HtmlNovel().size()));
}
BENCHMARK(BM_ReadHtml)->Unit(benchmark::kMillisecond);

// The pages of a comic of 10000 pages in natural order, from a shuffled list.
void BM_NaturalOrder(benchmark::State& state) {
  std::vector<std::u16string> names;
  for (int i = 1; i <= 10000; ++i)
    names.push_back(
        bookloom::Utf8ToUtf16("Chapter " + std::to_string(i / 100) + "/page" + std::to_string(i) + ".jpg"));
  std::shuffle(names.begin(), names.end(), std::mt19937(1));
  for (auto _ : state) {
    std::vector<std::u16string> sorted = names;
    std::sort(sorted.begin(), sorted.end(), [](const std::u16string& a, const std::u16string& b) {
      return bookloom::CompareNatural(a, b) < 0;
    });
    benchmark::DoNotOptimize(sorted.data());
  }
}
BENCHMARK(BM_NaturalOrder)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return bookloom::bench::RunWithUnits(argc, argv); }
