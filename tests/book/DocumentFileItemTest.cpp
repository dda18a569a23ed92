// Books made from FB2, EPUB, HTML, comic archives, PDF files and folders, read back with the book
// reader: their table of contents, description, cover, paragraphs and pictures; what the user gives
// wins over what the files offer; damaged pictures fail the build or are left out when asked.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "book/BookBuild.h"
#include "book/DocumentFileItem.h"
#include "book/FileTypes.h"
#include "book/InputFiles.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "decoders/JpegDecoder.h"
#include "pictures/CoverPage.h"
#include "pictures/Reflow.h"
#include "pictures/ScanCleanup.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/ContentsLines.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"
#include "support/TestScans.h"
#include "support/TextPdf.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;

// Collects what a build warns of.
struct Warnings : BuildObserver {
  void Warning(const FileItem& item, const std::string& message) override { messages += message + "\n"; }
  std::string messages;
};

struct Project {
  FileList files;
  BookDescription description;
  CoverPage cover;
  Warnings warnings;

  void Add(const fs::path& path, bool skipBadParts = false) {
    FileSettings settings;
    settings.skipBadParts = skipBadParts;
    files.Add(MakeInputItem(TestRuntime(), path.u16string(), settings));
  }
  BookReader Make(const fs::path& target) {
    BuildBook(TestRuntime(), target.u16string(), files, description, cover, &warnings);
    return BookReader(test::ReadBytes(target));
  }
};

// The table of contents as lines "2 Title", indented by level, in the order of the tree.
std::string Toc(const BookReader& reader) {
  std::string lines;
  for (const std::string& line : test::ContentsLines(reader))
    lines += std::string(2 * static_cast<size_t>(line[0] - '1'), ' ') + line + "\n";
  return lines;
}

std::string Text(const std::string& win1251) { return Utf16ToUtf8(Win1251ToWide(win1251)); }

int PictureCount(const BookReader& reader) {
  int count = 0;
  for (const SectionData& s : reader.Book().sections) count += static_cast<int>(s.images.size());
  return count;
}

const std::string kFb2 = test::Fb2Book(
    "<title-info><author><first-name>Ann</first-name><last-name>Author</last-name></author>"
    "<book-title>Книга</book-title><annotation><p>About.</p></annotation>"
    "<coverpage><image "
    "l:href=\"#c.jpg\"/></coverpage></title-info><publish-info><year>1999</year></publish-info>",
    "<body><title><p>Книга</p></title><section><title><p>Часть</p></title>"
    "<section><title><p>Глава</p></title><p>Текст.</p><image "
    "l:href=\"#c.jpg\"/><p>Ещё.</p></section></section></body>"
    "<body name=\"notes\"><section><p>Note.</p></section></body>",
    test::Fb2Binary("c.jpg", test::JpegPicture(60, 80, 0)));

TEST(DocumentFileItem, AnFb2BookGivesItsDescriptionCoverAndChapters) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "book.fb2", kFb2);
  Project project;
  project.Add(dir / "book.fb2");
  project.description.author = u"Given Author";  // the user's text wins
  project.cover.coverMode = 2;
  const BookReader reader = project.Make(dir / "book.wol");
  const BookContents& book = reader.Book();
  EXPECT_EQ(Text(book.description[static_cast<size_t>(DescriptionFieldId::kTitle)]), "Книга");
  EXPECT_EQ(Text(book.description[static_cast<size_t>(DescriptionFieldId::kAuthor)]), "Given Author");
  EXPECT_EQ(Text(book.description[static_cast<size_t>(DescriptionFieldId::kIntroduction)]), "About.");
  EXPECT_EQ(Text(book.description[static_cast<size_t>(DescriptionFieldId::kTimePublish)]), "1999");
  ASSERT_TRUE(book.cover.has_value());
  EXPECT_EQ(Toc(reader), "1 Книга\n1 Часть\n  2 Глава\n1 Notes\n");
  EXPECT_EQ(PictureCount(reader), 1);
  std::string paragraphs;
  for (const SectionData& s : book.sections)
    for (const std::string& p : s.paragraphs) paragraphs += Text(p) + "|";
  EXPECT_EQ(paragraphs, "Книга|Часть|Глава|Текст.|Ещё.|Notes|Note.|");
  // Without a kind of cover page chosen the book has none; a cover picture given wins.
  project.cover.coverMode = 0;
  EXPECT_FALSE(project.Make(dir / "book.wol").Book().cover.has_value());
  test::WriteBytes(dir / "white.jpg", test::JpegPicture(60, 80, 255));
  project.cover = CoverPage();
  project.cover.coverMode = 2;
  project.cover.fileName = (dir / "white.jpg").u16string();
  const BookReader given = project.Make(dir / "book.wol");
  const std::vector<uint8_t> greys =
      PackedRowsToGray(*given.Book().cover, given.DecodeRows(*given.Book().cover));
  EXPECT_EQ(greys[400 * 600 + 300], 255);
}

TEST(DocumentFileItem, ACoverFromTheTitleStandsInOnlyForACoverNeitherGivenNorOffered) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "offers.fb2", kFb2);  // its cover is black
  test::WriteBytes(dir / "series.fb2",
                   test::Fb2Book("<title-info><book-title>Пикник</book-title><sequence name=\"Мир\" "
                                 "number=\"7\"/></title-info>",
                                 "<body><section><p>Текст.</p></section></body>"));
  // How many of the cover's pixels are black, -1 without a cover.
  const auto black = [&](const char* input, int mode, const char* coverFile) {
    Project project;
    project.Add(dir / input);
    project.cover.coverMode = mode;
    project.cover.fromTitle = true;
    if (coverFile) project.cover.fileName = (dir / coverFile).u16string();
    const BookReader reader = project.Make(dir / "book.wol");
    const auto& cover = reader.Book().cover;
    if (!cover) return -1L;
    const std::vector<uint8_t> greys = PackedRowsToGray(*cover, reader.DecodeRows(*cover));
    return static_cast<long>(std::count(greys.begin(), greys.end(), 0));
  };
  test::WriteBytes(dir / "white.jpg", test::JpegPicture(60, 80, 255));
  EXPECT_EQ(black("offers.fb2", 2, nullptr), 600 * 800);  // the input's own cover
  EXPECT_EQ(black("series.fb2", 2, "white.jpg"), 0);      // the picture given
  EXPECT_EQ(black("series.fb2", 0, nullptr), -1);         // no cover asked for
  EXPECT_EQ(black("series.fb2", 2, "missing.jpg"), -1);   // a picture chosen, though gone
  // The title's cover: its frame and letters, in black and white too.
  for (const int mode : {1, 2}) EXPECT_GT(black("series.fb2", mode, nullptr), 5000) << mode;
}

TEST(DocumentFileItem, EachFormatBecomesItsChaptersAndPictures) {
  const test::ScratchDir dir;
  const std::string page = test::JpegPicture(30, 40, 0);
  test::WriteBytes(dir / "comic.cbz",
                   test::ArchiveOf({{"p10.jpg", page}, {"p9.jpg", page}, {"p1.jpg", page}}));
  test::WriteBytes(dir / "scan.pdf",
                   test::PdfOf({{300, 400, 0}, {300, 400, 1}, {300, 400, 0.5}}, {{"Start", 1}, {"End", 3}}));
  test::WriteBytes(
      dir / "page.html",
      "<html><head><title>Page</title></head><body><h3>Deep first</h3><p>x</p><img src=\"pics/a.jpg\">"
      "<h1>One</h1><p>y</p></body></html>");
  fs::create_directories(dir / "pics");
  test::WriteBytes(dir / "pics" / "a.jpg", page);
  fs::create_directories(dir / "album" / "Volume 10");
  fs::create_directories(dir / "album" / "Volume 2" / "inner");
  fs::create_directories(dir / "album" / ".hidden");
  test::WriteBytes(dir / "album" / "cover.jpg", page);
  test::WriteBytes(dir / "album" / "intro.txt", "Hello\n\nworld\n");
  test::WriteBytes(dir / "album" / "Volume 10" / "z.jpg", page);
  test::WriteBytes(dir / "album" / "Volume 2" / "b.jpg", page);
  test::WriteBytes(dir / "album" / "Volume 2" / "inner" / "notes.txt", "inner text\n");
  test::WriteBytes(dir / "album" / "Volume 2" / "skip.pdf", "not taken");
  test::WriteBytes(dir / "album" / ".hidden" / "h.jpg", page);
  const struct {
    const char* input;
    std::string toc;
    int pictures;
    std::string warnings;
  } cases[] = {
      {"comic.cbz", "1 comic\n", 3, ""},
      {"scan.pdf", "1 Start\n1 End\n", 3, ""},
      {"page.html", "1 Deep first\n1 One\n", 1, ""},
      {"album", "1 album\n1 intro\n1 Volume 2\n  2 inner\n    3 notes\n1 Volume 10\n", 3,
       "Volume 2/skip.pdf: only pictures and texts are taken from a folder: left out\n"},
  };
  for (const auto& c : cases) {
    Project project;
    project.Add(dir / c.input);
    const BookReader reader = project.Make(dir / "book.wol");
    EXPECT_EQ(Toc(reader), c.toc) << c.input;
    EXPECT_EQ(PictureCount(reader), c.pictures) << c.input;
    EXPECT_EQ(project.warnings.messages, c.warnings) << c.input;
  }
}

// Every page of an archive or a folder is checked when it is added: all the damaged ones are named at
// once, or left out with a warning when bad parts are skipped; a picture cut short is a page, with a
// warning, as a picture file is. The pages written are told to the build as they are written.
TEST(DocumentFileItem, DamagedPagesOfArchivesAndFoldersAreAllNamedBeforeWriting) {
  const test::ScratchDir dir;
  const std::string whole = test::JpegPicture(300, 400, 90);
  const std::string cut = whole.substr(0, whole.size() * 3 / 4);
  ASSERT_TRUE(DecodeJpeg(cut, u"cut.jpg").incomplete);
  const std::vector<std::pair<std::string, std::string>> pages = {{"1.jpg", whole},
                                                                  {"2.jpg", "\xFF\xD8\xFF not a JPEG"},
                                                                  {"3.jpg", cut},
                                                                  {"4.jpg", whole.substr(0, 20)},
                                                                  {"5.jpg", whole}};
  test::WriteBytes(dir / "comic.cbz", test::ArchiveOf(pages));
  fs::create_directory(dir / "scans");
  for (const auto& [name, bytes] : pages) test::WriteBytes(dir / "scans" / name, bytes);
  for (const char* input : {"comic.cbz", "scans"}) {
    SCOPED_TRACE(input);
    try {
      Project().Add(dir / input);
      ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
      EXPECT_NE(e.Reason().find("2 pictures cannot be decoded:\n    2.jpg: "), std::string::npos)
          << e.Reason();
      EXPECT_NE(e.Reason().find("\n    4.jpg: "), std::string::npos) << e.Reason();
    }
    struct : Warnings {
      void Progress(int, int, const FileItem&, double part) override { parts.push_back(part); }
      std::vector<double> parts;
    } observer;
    Project skipping;
    skipping.Add(dir / input, true);
    BuildBook(TestRuntime(), (dir / "book.wol").u16string(), skipping.files, skipping.description,
              skipping.cover, &observer);
    EXPECT_EQ(PictureCount(BookReader(test::ReadBytes(dir / "book.wol"))), 3);
    for (const char* warning :
         {"2.jpg: not a readable JPEG file", "4.jpg: ", "3.jpg: the picture is incomplete"})
      EXPECT_NE(observer.messages.find(warning), std::string::npos) << observer.messages;
    EXPECT_EQ(observer.parts.size(), 3u);
    EXPECT_TRUE(std::is_sorted(observer.parts.begin(), observer.parts.end()));
    EXPECT_FALSE(observer.parts.empty() || observer.parts.back() != 1.0);
  }
}

// Split "auto" takes a manga's spreads right half first and any other comic's left half first; "ltr"
// takes the left half first even in a manga.
TEST(DocumentFileItem, AMangaSplitsItsSpreadsRightHalfFirst) {
  const test::ScratchDir dir;
  std::vector<uint8_t> greys(1200 * 500);
  for (size_t i = 0; i < greys.size(); ++i) greys[i] = i % 1200 < 600 ? 0 : 255;
  WriteGrayPng((dir / "spread.png").u16string(), 1200, 500, greys);
  const std::string spread = test::ReadBytes(dir / "spread.png");
  const std::string manga = "<ComicInfo><Manga>YesAndRightToLeft</Manga></ComicInfo>";
  test::WriteBytes(dir / "manga.cbz", test::ArchiveOf({{"ComicInfo.xml", manga}, {"1.png", spread}}));
  test::WriteBytes(
      dir / "comic.cbz",
      test::ArchiveOf({{"ComicInfo.xml", "<ComicInfo><Manga>Yes</Manga></ComicInfo>"}, {"1.png", spread}}));
  const auto pages = [&](const char* comic, Split split) {
    Project project;
    project.Add(dir / comic);
    FileSettings settings;
    settings.picture.split = split;
    project.files.Items(0).SetSettings(settings, false);
    const BookReader reader = project.Make(dir / "book.wol");
    const std::string bytes = test::ReadBytes(dir / "book.wol");
    std::vector<std::string> data;
    for (const SectionData& s : reader.Book().sections)
      for (const PictureData& p : s.images) data.push_back(bytes.substr(p.dataStart, p.dataLength));
    return data;
  };
  const std::vector<std::string> leftFirst = pages("comic.cbz", Split::kAuto);
  ASSERT_EQ(leftFirst.size(), 2u);
  ASSERT_NE(leftFirst[0], leftFirst[1]);
  EXPECT_EQ(pages("manga.cbz", Split::kAuto), (std::vector<std::string>{leftFirst[1], leftFirst[0]}));
  EXPECT_EQ(pages("manga.cbz", Split::kLeftToRight), leftFirst);
}

// The pages of a scanned document are cleaned unless the user says not to; --clean alone changes nothing.
TEST(DocumentFileItem, AScannedDocumentIsCleanedUnlessTheUserSaysNot) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "scan.pdf", test::PdfOf({{300, 400, 0.8}}));
  const auto page = [&](std::optional<bool> clean) {
    Project project;
    project.Add(dir / "scan.pdf");
    FileSettings settings;
    settings.picture.clean = clean;
    project.files.Items(0).SetSettings(settings, false);
    const BookReader reader = project.Make(dir / "book.wol");
    const PictureData& picture = reader.Book().sections.at(0).images.at(0);
    return test::ReadBytes(dir / "book.wol").substr(picture.dataStart, picture.dataLength);
  };
  EXPECT_EQ(page(std::nullopt), page(true));
  EXPECT_NE(page(std::nullopt), page(false));
}

// A scanned PDF set again: a paragraph that runs on from its first page to its second stays one, and the
// words of both pages fill device pages in their order (told apart by their widths at the device's size).
TEST(DocumentFileItem, TheWordsOfAScannedDocumentFlowFromPageToPage) {
  const test::ScratchDir dir;
  test::TestScanOptions options{.width = 1200, .height = 1600, .paragraphs = 14, .grain = 6};
  const test::TestScan first = test::MakeTestScan(options);
  options.startWord = first.words.size();
  const test::TestScan second = test::MakeTestScan(options);
  test::WriteBytes(dir / "scan.pdf", test::PdfOfScans({&first.page, &second.page}));
  Project project;
  project.Add(dir / "scan.pdf");
  FileSettings settings;
  settings.documentMode = DocumentMode::kReflow;
  settings.picture.reflowHeight = 14;
  project.files.Items(0).SetSettings(settings, false);
  const BookReader reader = project.Make(dir / "book.wol");
  std::vector<GrayImage> pages;
  for (const SectionData& s : reader.Book().sections)
    for (const PictureData& p : s.images) {
      const std::vector<uint8_t> grey = PackedRowsToGray(p, reader.DecodeRows(p));
      GrayImage& page = pages.emplace_back(p.width, p.height);
      for (int y = 0; y < p.height; ++y)
        std::copy_n(grey.begin() + static_cast<ptrdiff_t>(y) * p.width, p.width, page.Row(y));
    }
  ASSERT_GE(pages.size(), 3u);
  std::vector<int> sourceWidths;
  for (const test::TestScan* scan : {&first, &second}) {
    const int xHeight =
        SegmentScan(TestRuntime(), CleanScan(TestRuntime(), scan->page.View()).page.View()).xHeight;
    for (const PictureBox& w : scan->words) sourceWidths.push_back(w.width * 14 / xHeight);
  }
  const test::SetPages found = test::FindOnSetPages(TestRuntime(), pages);
  EXPECT_GE(found.leastFoot, kDevicePageHeight - 6 * 14);
  EXPECT_EQ(found.paragraphs, first.paragraphStarts.size() + second.paragraphStarts.size());
  EXPECT_GE(test::WordsInOrder(sourceWidths, found.wordWidths, 3) * 100, sourceWidths.size() * 95);
}

// Pictures prepared ahead, several at once, come out in the document's order: each page is the page
// the same picture gives as a file of its own.
TEST(DocumentFileItem, PicturesPreparedAheadKeepTheirOrder) {
  const test::ScratchDir dir;
  std::vector<std::pair<std::string, std::string>> entries;
  Project fromFiles;
  for (int i = 1; i <= 6; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    entries.emplace_back(name, test::JpegPicture(30 + i, 40, 40 * i));
    test::WriteBytes(dir / name, entries.back().second);
    fromFiles.Add(dir / name);
  }
  test::WriteBytes(dir / "comic.cbz", test::ArchiveOf(entries));
  Project fromArchive;
  fromArchive.Add(dir / "comic.cbz");
  const auto pages = [](Project& project, const fs::path& book) {
    const BookReader reader = project.Make(book);
    const std::string bytes = test::ReadBytes(book);
    std::vector<std::string> data;
    for (const SectionData& s : reader.Book().sections)
      for (const PictureData& p : s.images) data.push_back(bytes.substr(p.dataStart, p.dataLength));
    return data;
  };
  const std::vector<std::string> expected = pages(fromFiles, dir / "files.wol");
  ASSERT_EQ(expected.size(), 6u);
  EXPECT_EQ(pages(fromArchive, dir / "archive.wol"), expected);
}

TEST(DocumentFileItem, GroupsTheEntriesOneEntryCannotNumber) {
  const test::ScratchDir dir;
  std::string html = "<html><body>";
  for (int i = 1; i <= 300; ++i) html += "<h1>" + std::to_string(i) + "</h1>";
  test::WriteBytes(dir / "many.html", html + "</body></html>");
  Project project;
  project.Add(dir / "many.html");
  EXPECT_EQ(project.Make(dir / "book.wol").Book().toc.size(), 302u);  // "1–255" and "256–300" above them
  EXPECT_EQ(project.warnings.messages, "");
}

// A PDF read as its text: its paragraphs and outline in the book, whatever mode it was added in, and as
// pictures of its pages when the settings say so.
TEST(DocumentFileItem, APdfBecomesItsTextOrItsPagesAsItsSettingsSay) {
  const test::ScratchDir dir;
  const std::vector<test::TextPdfBlock> blocks = {
      {test::TextPdfBlock::Kind::kHeading, "Начало"},
      {test::TextPdfBlock::Kind::kParagraph, "Первый абзац книги, набранный в две колонки."},
      {test::TextPdfBlock::Kind::kHeading, "Продолжение"},
      {test::TextPdfBlock::Kind::kParagraph, "Второй абзац."}};
  test::WriteBytes(dir / "doc.pdf", test::TextPdf(blocks, "", true));
  for (const DocumentMode mode : {DocumentMode::kText, DocumentMode::kPages}) {
    Project project;
    project.Add(dir / "doc.pdf");
    FileSettings settings;
    settings.documentMode = mode;
    project.files.Items(0).SetSettings(settings);
    const BookReader book = project.Make(dir / "book.wol");
    EXPECT_EQ(Toc(book), "1 Начало\n1 Продолжение\n");
    std::string paragraphs;
    for (const SectionData& s : book.Book().sections)
      for (const std::string& p : s.paragraphs) paragraphs += Text(p) + "|";
    if (mode == DocumentMode::kText) {
      EXPECT_EQ(paragraphs, "Начало|Первый абзац книги, набранный в две колонки.|Продолжение|Второй абзац.|");
      EXPECT_EQ(PictureCount(book), 0);
    } else {
      EXPECT_EQ(paragraphs, "");
      EXPECT_EQ(PictureCount(book), 1);
    }
  }
}

TEST(DocumentFileItem, EachExtensionFindsItsReader) {
  const struct {
    std::u16string name;
    const FileItemClass* itemClass;
  } cases[] = {
      {u"a.fb2", &DocumentFileItem::Fb2Class},
      {u"a.fb2.zip", &DocumentFileItem::Fb2Class},
      {u"A.FB2.ZIP", &DocumentFileItem::Fb2Class},
      {u"a.zip", &DocumentFileItem::ComicArchiveClass},
      {u"fb2.zip", &DocumentFileItem::ComicArchiveClass},
      {u"a.epub", &DocumentFileItem::EpubClass},
      {u"a.xhtml", &DocumentFileItem::HtmlClass},
      {u"a.htm", &DocumentFileItem::HtmlClass},
      {u"a.cbr", &DocumentFileItem::ComicArchiveClass},
      {u"a.cb7", &DocumentFileItem::ComicArchiveClass},
      {u"a.tar", &DocumentFileItem::ComicArchiveClass},
      {u"a.pdf", &DocumentFileItem::PdfClass},
      {u"a.djvu", &DocumentFileItem::DjvuClass},
      {u"a.DJV", &DocumentFileItem::DjvuClass},
      {u"/d.fb2.zip/x.txt", &TextFileItem::Class},
      {u"a.jpg", &PictureFileItem::Class},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FileTypes().FindItemClass(c.name), c.itemClass) << Utf16ToUtf8(c.name);
}

}  // namespace
}  // namespace bookloom
