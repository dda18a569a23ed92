#include "support/ContentsLines.h"

#include "platform/Utf.h"
#include "text/Win1251.h"

namespace bookloom::test {

namespace {

void AddEntries(const std::vector<TocRecord>& toc, const std::vector<int>& entries,
                std::vector<std::string>& lines) {
  for (const int i : entries) {
    const TocRecord& r = toc[static_cast<size_t>(i)];
    lines.push_back(std::to_string(r.level) + " " + Utf16ToUtf8(Win1251ToWide(r.title)));
    AddEntries(toc, r.children, lines);
  }
}

}  // namespace

std::vector<std::string> ContentsLines(const BookReader& reader) {
  const std::vector<TocRecord>& toc = reader.Book().toc;
  std::vector<int> top;
  for (size_t i = 0; i < toc.size(); ++i)
    if (toc[i].parentIndex < 0) top.push_back(static_cast<int>(i));
  std::vector<std::string> lines;
  AddEntries(toc, top, lines);
  return lines;
}

}  // namespace bookloom::test
