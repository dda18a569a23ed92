// bookloom-cli info: prints what a book holds after the reader has checked all of it, for people
// or, with --json, as one JSON document for scripts; what it warns of goes to standard error too.
#include <nlohmann/json.hpp>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"

namespace bookloom::cli {

namespace {

using nlohmann::json;

std::string ToUtf8(const std::string& win1251) { return Utf16ToUtf8(Win1251ToWide(win1251)); }

std::string Bits(int bitCount) { return Counted(bitCount, "bit", "bits"); }

// The description fields the book holds a value for, or always writes, with the names the options
// give them.
std::vector<std::pair<std::string, std::string>> DescriptionOf(const BookContents& book) {
  std::vector<std::pair<std::string, std::string>> fields;
  for (int i = 0; i < kDescriptionFieldCount; ++i)
    if (!book.description[i].empty() || kDescriptionFields[i].alwaysWrite)
      fields.emplace_back(kDescriptionFields[i].name, ToUtf8(book.description[i]));
  return fields;
}

json PictureJson(const PictureData& p) {
  return {{"position", p.position},
          {"width", p.width},
          {"height", p.height},
          {"bits", p.bitCount},
          {"bytes", p.dataLength}};
}

json EntryJson(const BookContents& book, int index) {
  const TocRecord& e = book.toc[index];
  json children = json::array();
  for (int child : e.children) children.push_back(EntryJson(book, child));
  return {{"number", {e.chapter, e.section, e.subsection}},
          {"level", e.level},
          {"title", ToUtf8(e.title)},
          {"target", e.target},
          {"children", children}};
}

json BookJson(const std::string& fileName, const BookContents& book) {
  json description = json::object();
  for (const auto& [name, value] : DescriptionOf(book)) description[name] = value;
  json sections = json::array();
  for (const SectionData& s : book.sections) {
    json pictures = json::array();
    for (const PictureData& p : s.images) pictures.push_back(PictureJson(p));
    sections.push_back({{"position", s.position},
                        {"kind", s.pictures ? "pictures" : "text"},
                        {"paragraphs", s.paragraphs.size()},
                        {"pictures", pictures}});
  }
  json catalog = json::array();
  for (const CatalogEntry& item : book.catalog)
    catalog.push_back({{"title", ToUtf8(item.title)}, {"position", item.position}});
  json toc = json::array();
  for (size_t i = 0; i < book.toc.size(); ++i)
    if (book.toc[i].parentIndex < 0) toc.push_back(EntryJson(book, static_cast<int>(i)));
  json pages = json::array();
  for (int layout = 0; layout < 4; ++layout) {
    const PageLayout& l = kPageLayouts[layout];
    pages.push_back({{"layout", layout},
                     {"font", l.fontIndex},
                     {"width", l.textWidth},
                     {"lines", l.linesPerPage},
                     {"pages", book.pageLists[layout].size()}});
  }
  return {{"file", fileName},
          {"bytes", book.fileSize},
          {"description", description},
          {"cover", book.cover ? PictureJson(*book.cover) : json(nullptr)},
          {"sections", sections},
          {"catalog", catalog},
          {"toc", toc},
          {"pages", pages},
          {"warnings", book.warnings}};
}

void PrintEntry(Console& console, const BookContents& book, int index, int depth) {
  const TocRecord& e = book.toc[index];
  console.Result(
      Format("  %s%d.%d.%d %s (body offset %d)",
             {std::string(2 * depth, ' '), e.chapter, e.section, e.subsection, ToUtf8(e.title), e.target}));
  for (int child : e.children) PrintEntry(console, book, child, depth + 1);
}

void PrintBook(Console& console, const std::string& fileName, const BookContents& book) {
  console.Result(
      Format("Book: %s, %s", {fileName, Counted(static_cast<int64_t>(book.fileSize), "byte", "bytes")}));
  console.Result("Description:");
  for (const auto& [name, value] : DescriptionOf(book)) console.Result("  " + name + ": " + value);
  if (book.cover)
    console.Result(Format("Cover: %d x %d, %s per pixel",
                          {book.cover->width, book.cover->height, Bits(book.cover->bitCount)}));
  else
    console.Result("Cover: none");

  int64_t paragraphs = 0, pictures = 0;
  for (const SectionData& s : book.sections) {
    paragraphs += static_cast<int64_t>(s.paragraphs.size());
    pictures += static_cast<int64_t>(s.images.size());
  }
  console.Result("Body: " + Counted(static_cast<int64_t>(book.sections.size()), "section", "sections") +
                 ", " + Counted(paragraphs, "paragraph", "paragraphs") + ", " +
                 Counted(pictures, "picture", "pictures"));
  for (size_t i = 0; i < book.sections.size(); ++i) {
    const SectionData& s = book.sections[i];
    if (!s.pictures) {
      console.Result(Format("  section %d at %d: text, %s",
                            {i + 1, s.position,
                             Counted(static_cast<int64_t>(s.paragraphs.size()), "paragraph", "paragraphs")}));
      continue;
    }
    console.Result(
        Format("  section %d at %d: %s",
               {i + 1, s.position, Counted(static_cast<int64_t>(s.images.size()), "picture", "pictures")}));
    for (const PictureData& p : s.images)
      console.Result(
          Format("    picture at %d: %d x %d, %s per pixel, %s",
                 {p.position, p.width, p.height, Bits(p.bitCount), Counted(p.dataLength, "byte", "bytes")}));
  }

  console.Result("Catalog:");
  for (const CatalogEntry& item : book.catalog)
    console.Result(Format("  %s (body offset %d)", {ToUtf8(item.title), item.position}));
  console.Result("Table of contents: " + Counted(static_cast<int64_t>(book.toc.size()), "entry", "entries"));
  for (size_t i = 0; i < book.toc.size(); ++i)
    if (book.toc[i].parentIndex < 0) PrintEntry(console, book, static_cast<int>(i), 0);

  console.Result("Pages:");
  for (int layout = 0; layout < 4; ++layout) {
    const PageLayout& l = kPageLayouts[layout];
    console.Result(Format("  layout %d (font %d, %d pixels, %d lines): %d",
                          {layout, l.fontIndex, l.textWidth, l.linesPerPage, book.pageLists[layout].size()}));
  }
  if (book.warnings.empty()) return console.Result("The book is sound.");
  for (const std::string& warning : book.warnings) console.Warning(fileName + ": " + warning);
  console.Result("The book is readable, with " +
                 Counted(static_cast<int64_t>(book.warnings.size()), "warning", "warnings") + ".");
}

class InfoCommand : public Command {
 public:
  explicit InfoCommand(CLI::App& app) {
    CLI::App& info = *app.add_subcommand(
        "info",
        "prints what a book holds and checks all of it that can be checked: tags, numbers, lengths and "
        "links, the text's bytes, the page tables of the four layouts, every picture's data (exit 1 when "
        "damaged)");
    info.add_option("book", book_, "the book to read")->required()->type_name("BOOK.wol");
    info.add_flag("--json", json_, "print the same as one JSON document");
  }

  int Run(Console& console, const Runtime&) override {
    const BookReader reader(ReadFileBytes(Utf8ToUtf16(book_)));
    if (json_) {
      console.Result(BookJson(book_, reader.Book()).dump(2));
      for (const std::string& warning : reader.Book().warnings) console.Warning(book_ + ": " + warning);
    } else
      PrintBook(console, book_, reader.Book());
    return 0;
  }

 private:
  std::string book_;
  bool json_ = false;
};

}  // namespace

std::unique_ptr<Command> AddInfoCommand(CLI::App& app) { return std::make_unique<InfoCommand>(app); }

}  // namespace bookloom::cli
