// bookloom-cli info: prints what a book holds after the reader has checked all of it.
#include <cstdio>
#include <string>

#include "app/cli/Commands.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"

namespace bookloom::cli {

namespace {

std::string ToUtf8(const std::string& win1251) { return Utf16ToUtf8(Win1251ToWide(win1251)); }

const char* Bits(int bitCount) { return bitCount == 1 ? "1 bit" : "2 bits"; }

void PrintEntry(const BookContents& book, int index, int depth) {
  const TocRecord& e = book.toc[index];
  std::printf("  %*s%d.%d.%d %s (body offset %u)\n", 2 * depth, "", e.chapter, e.section, e.subsection,
              ToUtf8(e.title).c_str(), e.target);
  for (int child : e.children) PrintEntry(book, child, depth + 1);
}

}  // namespace

int InfoCommand(const Args& args) {
  if (args.size() != 1) {
    PrintUsage();
    return 2;
  }
  const BookReader reader(ReadFileBytes(Utf8ToUtf16(args[0])));
  const BookContents& book = reader.Book();

  std::printf("Book: %s, %zu bytes\n", args[0].c_str(), book.fileSize);
  std::printf("Description:\n");
  for (int i = 0; i < kDescriptionFieldCount; ++i) {
    const std::string tag = kDescriptionFields[i].tag;
    if (book.description[i].empty() && !kDescriptionFields[i].alwaysWrite) continue;
    std::printf("  %s: %s\n", tag.substr(1, tag.size() - 2).c_str(), ToUtf8(book.description[i]).c_str());
  }
  if (book.cover)
    std::printf("Cover: %d x %d, %s per pixel\n", book.cover->width, book.cover->height,
                Bits(book.cover->bitCount));
  else
    std::printf("Cover: none\n");

  size_t paragraphs = 0, pictures = 0;
  for (const SectionData& s : book.sections) {
    paragraphs += s.paragraphs.size();
    pictures += s.images.size();
  }
  std::printf("Body: %zu sections, %zu paragraphs, %zu pictures\n", book.sections.size(), paragraphs,
              pictures);
  for (size_t i = 0; i < book.sections.size(); ++i) {
    const SectionData& s = book.sections[i];
    if (!s.pictures) {
      std::printf("  section %zu at %u: text, %zu paragraphs\n", i + 1, s.position, s.paragraphs.size());
      continue;
    }
    std::printf("  section %zu at %u: %zu pictures\n", i + 1, s.position, s.images.size());
    for (const PictureData& p : s.images)
      std::printf("    picture at %u: %d x %d, %s per pixel, %u bytes\n", p.position, p.width, p.height,
                  Bits(p.bitCount), p.dataLength);
  }

  std::printf("Catalog:\n");
  for (const CatalogEntry& item : book.catalog)
    std::printf("  %s (body offset %u)\n", ToUtf8(item.title).c_str(), item.position);
  std::printf("Table of contents: %zu entries\n", book.toc.size());
  for (size_t i = 0; i < book.toc.size(); ++i)
    if (book.toc[i].parentIndex < 0) PrintEntry(book, static_cast<int>(i), 0);

  std::printf("Pages:\n");
  for (int layout = 0; layout < 4; ++layout) {
    const PageLayout& l = kPageLayouts[layout];
    std::printf("  layout %d (font %d, %d pixels, %d lines): %zu\n", layout, l.fontIndex, l.textWidth,
                l.linesPerPage, book.pageLists[layout].size());
  }
  std::printf("The book is sound.\n");
  return 0;
}

}  // namespace bookloom::cli
