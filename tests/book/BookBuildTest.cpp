// The book build: whole books made from text files, pictures and a cover, read back and checked,
// and every way a build can fail, each leaving the folder as it was.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/FileTypes.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "pictures/CoverPage.h"
#include "pictures/TestPictures.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;

// A PNG picture of one grey level.
void WriteGreyPicture(const fs::path& path, int width, int height, uint8_t grey) {
  WriteGrayPng(path.u16string(), width, height, std::vector<uint8_t>(size_t(width) * height, grey));
}

// Everything in a folder, to see that a build left nothing behind.
std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// The book project as the main window holds it.
struct Project {
  FileList files;
  BookDescription description;
  CoverPage cover;

  // Adds a file as "Add File" does: an item of the class of its extension, verified.
  FileItem& Add(const fs::path& path) {
    const FileItemClass* itemClass = FileTypes().FindItemClass(path.u16string());
    if (!itemClass) Raise<Exception>("no item class for %s", {path.string()});
    auto item = itemClass->create(TestRuntime(), path.u16string());
    item->Verify();
    files.Add(std::move(item));
    return files.Items(files.Count() - 1);
  }

  BookReader Make(const fs::path& target) {
    BuildBook(TestRuntime(), target.u16string(), files, description, cover);
    return BookReader(test::ReadBytes(target));
  }
};

// The device greys of a picture of the book, rows from the top.
std::vector<uint8_t> Greys(const BookReader& reader, const PictureData& picture) {
  return PackedRowsToGray(picture, reader.DecodeRows(picture));
}

// The smallest box holding every grey that is not white, and whether all of it is `grey`.
struct GreyBox {
  test::Box box;
  bool uniform = true;
};

GreyBox NonWhite(const std::vector<uint8_t>& greys, int width, int height, uint8_t grey) {
  int left = width, top = height, right = -1, bottom = -1;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (greys[size_t(y) * width + x] != 255) {
        left = std::min(left, x), right = std::max(right, x);
        top = std::min(top, y), bottom = std::max(bottom, y);
      }
  if (right < 0) return {};
  GreyBox result{{left, top, right - left + 1, bottom - top + 1}};
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x) result.uniform &= greys[size_t(y) * width + x] == grey;
  return result;
}

constexpr std::string_view kEmptyDescriptionBlock =
    "<title>(no title)\r\n<subject>\r\n<author>(no author)\r\n<adpter>\r\n<translator>\r\n"
    "<publisher>\r\n<time_publish>\r\n<introduction>\r\n<ISBN>\r\n";

TEST(BuildBook, WritesTheNineFieldsAndNamesAMissingTitleAndAuthor) {
  test::ScratchDir dir;
  WriteGreyPicture(dir / "p.png", 10, 10, 0);
  Project project;
  project.Add(dir / "p.png");
  const BookReader reader = project.Make(dir / "book.wol");
  // No cover: the body follows the description block directly.
  EXPECT_EQ(reader.Bytes().substr(128, kEmptyDescriptionBlock.size() + 8),
            std::string(kEmptyDescriptionBlock) + "<wolf>\r\n");
  EXPECT_EQ(GetU16(reader.Bytes(), 23), kEmptyDescriptionBlock.size());
}

TEST(BuildBook, CutsAndTrimsTheTitleAndAuthor) {
  const std::string a127(127, 'a');
  const struct {
    const char* name;
    std::u16string title, author;
    std::string bookTitle, bookAuthor;
  } cases[] = {
      {"empty", u"", u"", "(no title)", "(no author)"},
      {"200 characters", std::u16string(200, u'x'), u"Пушкин", std::string(128, 'x'),
       "\xCF\xF3\xF8\xEA\xE8\xED"},
      {"blanks are not empty, then trimmed", u" ", u" \t ", "", ""},
      {"cut before escaping", Utf8ToUtf16(a127) + u"&&&", u"  Gogol\r\n", a127 + "&", "Gogol"},
  };
  test::ScratchDir dir;
  test::WriteBytes(dir / "t.txt", "text\n");
  for (const auto& c : cases) {
    Project project;
    project.Add(dir / "t.txt");
    project.description.title = c.title;
    project.description.author = c.author;
    const BookReader reader = project.Make(dir / "book.wol");
    EXPECT_EQ(reader.Book().description[0], c.bookTitle) << c.name;
    EXPECT_EQ(reader.Book().description[2], c.bookAuthor) << c.name;
  }
  // A trimmed title leaves its tag followed directly by the line end.
  Project blank;
  blank.Add(dir / "t.txt");
  blank.description.title = u" ";
  EXPECT_EQ(blank.Make(dir / "book.wol").Bytes().substr(128, 9), "<title>\r\n");
}

TEST(BuildBook, EachDescriptionTextReachesItsField) {
  const struct {
    std::u16string BookDescription::*field;
    std::u16string value;
    int index;
    std::string stored;
  } cases[] = {
      {&BookDescription::subject, u"Novel", 1, "Novel"},
      {&BookDescription::adapter, u"Ann", 3, "Ann"},
      {&BookDescription::translator, u"Ольга", 4, "\xCE\xEB\xFC\xE3\xE0"},
      {&BookDescription::publisher, u"Smith & <Sons>", 6, "Smith & <Sons>"},
      {&BookDescription::publishTime, u"2024-01-02 12:34:56", 7, "2024-01-02 12:34"},
      {&BookDescription::annotation, u"Line one\nLine two " + std::u16string(2000, u'z'), 11,
       "Line one\r\nLine two " + std::string(1024 - 19, 'z')},
      {&BookDescription::isbn, u"978-5-17-090630-7", 12, "978-5-17-090630-7"},
  };
  test::ScratchDir dir;
  test::WriteBytes(dir / "t.txt", "text\n");
  Project project;
  project.Add(dir / "t.txt");
  for (const auto& c : cases) project.description.*c.field = c.value;
  const BookReader reader = project.Make(dir / "book.wol");
  for (const auto& c : cases) EXPECT_EQ(reader.Book().description[c.index], c.stored) << c.index;
  for (int unused : {5, 8, 9, 10, 13, 14, 15, 16, 17}) EXPECT_EQ(reader.Book().description[unused], "");
}

// A cover picture: its left half black, its right half white.
void WriteHalfBlackPicture(const fs::path& path, int width, int height) {
  std::vector<uint8_t> grey(size_t(width) * height, 255);
  for (int y = 0; y < height; ++y) std::fill_n(grey.begin() + size_t(y) * width, width / 2, 0);
  WriteGrayPng(path.u16string(), width, height, grey);
}

TEST(BuildBook, WritesTheCoverAtTheBitsOfItsMode) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "t.txt", "text\n");
  WriteHalfBlackPicture(dir / "cover.png", 300, 400);
  for (const int mode : {1, 2}) {
    Project project;
    project.Add(dir / "t.txt");
    project.cover.fileName = (dir / "cover.png").u16string();
    project.cover.coverMode = mode;
    const BookReader reader = project.Make(dir / "book.wol");
    const auto& cover = reader.Book().cover;
    ASSERT_TRUE(cover.has_value()) << mode;
    EXPECT_EQ(cover->width, 600);
    EXPECT_EQ(cover->height, 800);
    EXPECT_EQ(cover->bitCount, mode);
    EXPECT_EQ(GetU32(reader.Bytes(), 25), reader.Book().bodyStart - cover->position);
    // Enlarged to fill the page: black on the left, white on the right.
    const std::vector<uint8_t> greys = Greys(reader, *cover);
    EXPECT_EQ(greys[400 * 600 + 150], 0) << mode;
    EXPECT_EQ(greys[400 * 600 + 450], 255) << mode;
  }
}

TEST(BuildBook, WritesNoCoverWithoutAModeOrAnExistingFile) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "t.txt", "text\n");
  WriteHalfBlackPicture(dir / "cover.png", 30, 40);
  fs::create_directory(dir / "folder.png");
  const struct {
    const char* name;
    fs::path file;
    int mode;
  } cases[] = {
      {"mode 0", dir / "cover.png", 0},
      {"missing file", dir / "missing.png", 2},
      {"no file name", "", 1},
      {"a folder", dir / "folder.png", 2},
  };
  for (const auto& c : cases) {
    Project project;
    project.Add(dir / "t.txt");
    project.cover.fileName = c.file.u16string();
    project.cover.coverMode = c.mode;
    const BookReader reader = project.Make(dir / "book.wol");
    EXPECT_FALSE(reader.Book().cover.has_value()) << c.name;
    EXPECT_EQ(GetU32(reader.Bytes(), 25), 0u) << c.name;
    EXPECT_EQ(reader.Bytes().substr(128 + kEmptyDescriptionBlock.size(), 8), "<wolf>\r\n") << c.name;
  }
}

TEST(BuildBook, MakesOneChapterPerFileAndGroupsConsecutivePictures) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "first.txt",
                   "\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD0\xB0\xD1\x8F\nSecond & <line>\n\nlast");
  test::WriteBytes(dir / "second.part.txt", "one line\r\n");
  WriteGreyPicture(dir / "photo.2024.png", 100, 50, 0);
  test::WritePpm(dir / "scan.ppm", test::Filled(20, 30, {10, 20, 30}));
  WriteGreyPicture(dir / "a.png", 40, 40, 128);
  WriteGreyPicture(dir / "b.png", 40, 40, 192);
  Project project;
  for (const char* name : {"first.txt", "photo.2024.png", "scan.ppm", "second.part.txt", "a.png", "b.png"})
    project.Add(dir / name);
  // Each file is announced before it is written, and reported with what it added.
  struct Recorder : BuildObserver {
    explicit Recorder(const FileList& files) : files(files) {}
    void Starting(int index, int count, const FileItem& item) override {
      EXPECT_EQ(count, 6);
      EXPECT_EQ(&item, &files.Items(index));
      started.push_back(index);
    }
    void Written(int index, int, const FileItem&, const ItemReport& report) override {
      EXPECT_EQ(started.back(), index);
      reports.push_back({report.paragraphs, report.pictures, report.pages});
    }
    const FileList& files;
    std::vector<int> started;
    std::vector<std::array<int, 3>> reports;
  } recorder(project.files);
  BuildBook(TestRuntime(), (dir / "book.wol").u16string(), project.files, project.description, project.cover,
            &recorder);
  EXPECT_EQ(recorder.started, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  // paragraphs, pictures and pages of each file: a text starts a page with its section, and so
  // does every picture.
  EXPECT_EQ(recorder.reports, (std::vector<std::array<int, 3>>{
                                  {4, 0, 1}, {0, 1, 1}, {0, 1, 1}, {1, 0, 1}, {0, 1, 1}, {0, 1, 1}}));
  const BookReader reader(test::ReadBytes(dir / "book.wol"));
  const BookContents& book = reader.Book();

  ASSERT_EQ(book.sections.size(), 4u);
  EXPECT_EQ(book.sections[0].paragraphs,
            (std::vector<std::string>{"\xCF\xE5\xF0\xE2\xE0\xFF", "Second & <line>", "", "last"}));
  EXPECT_TRUE(book.sections[1].pictures);
  EXPECT_EQ(book.sections[1].images.size(), 2u);
  EXPECT_EQ(book.sections[2].paragraphs, (std::vector<std::string>{"one line"}));
  EXPECT_TRUE(book.sections[3].pictures);
  ASSERT_EQ(book.sections[3].images.size(), 2u);
  for (const auto& section : {book.sections[1], book.sections[3]})
    for (const auto& picture : section.images) {
      EXPECT_EQ(picture.width, 600);
      EXPECT_EQ(picture.height, 800);
      EXPECT_EQ(picture.bitCount, 2);
    }

  // A chapter leads to its section; a picture after the first of its section to its own tag.
  const auto at = [&](uint32_t position) { return position - book.bodyStart; };
  const struct {
    std::string title;
    uint32_t target;
  } chapters[] = {
      {"first", at(book.sections[0].position)},
      {"photo.2024", at(book.sections[1].position)},
      {"scan", at(book.sections[1].images[1].position)},
      {"second.part", at(book.sections[2].position)},
      {"a", at(book.sections[3].position)},
      {"b", at(book.sections[3].images[1].position)},
  };
  ASSERT_EQ(book.toc.size(), std::size(chapters));
  ASSERT_EQ(book.catalog.size(), std::size(chapters));
  for (size_t i = 0; i < std::size(chapters); ++i) {
    EXPECT_EQ(book.toc[i].level, 1) << i;
    EXPECT_EQ(book.toc[i].chapter, i + 1) << i;
    EXPECT_EQ(book.toc[i].title, chapters[i].title) << i;
    EXPECT_EQ(book.toc[i].target, chapters[i].target) << chapters[i].title;
    EXPECT_EQ(book.catalog[i].title, chapters[i].title) << i;
  }
}

// Pictures are decoded, fitted and compressed ahead on other threads while the book is written: each
// page still lands in its place, between the texts around it.
TEST(BuildBook, PicturesReadiedAheadKeepTheirPlaces) {
  test::ScratchDir dir;
  const uint8_t greys[] = {0, 128, 192};
  Project project;
  for (int i = 0; i < 7; ++i) {
    const std::string name = "p" + std::to_string(i) + ".png";
    WriteGreyPicture(dir / name, 40 + 50 * i, 30 + 10 * i, greys[i % 3]);
    project.Add(dir / name);
    if (i == 2) {
      test::WriteBytes(dir / "between.txt", "words\n");
      project.Add(dir / "between.txt");
    }
  }
  const BookReader reader = project.Make(dir / "book.wol");
  const BookContents& book = reader.Book();
  ASSERT_EQ(book.sections.size(), 3u);
  EXPECT_EQ(book.sections[1].paragraphs, std::vector<std::string>{"words"});
  std::vector<PictureData> pages = book.sections[0].images;
  pages.insert(pages.end(), book.sections[2].images.begin(), book.sections[2].images.end());
  ASSERT_EQ(pages.size(), 7u);
  for (int i = 0; i < 7; ++i) {
    const GreyBox found = NonWhite(Greys(reader, pages[i]), 600, 800, greys[i % 3]);
    EXPECT_EQ(found.box.width, 40 + 50 * i) << i;
    EXPECT_EQ(found.box.height, 30 + 10 * i) << i;
    EXPECT_TRUE(found.uniform) << i;
  }
}

TEST(BuildBook, CentresAPictureAndScalesALargeOneDown) {
  const struct {
    int width, height;
    uint8_t grey;
    test::Box box;
  } cases[] = {
      {100, 50, 0, {250, 375, 100, 50}},  // its bottom-left black is kept, not made transparent
      {3000, 1000, 128, {0, 300, 600, 200}}, {500, 2000, 0, {200, 0, 200, 800}},
      {600, 800, 0, {0, 0, 600, 800}},       {1, 1, 0, {299, 399, 1, 1}},
  };
  test::ScratchDir dir;
  for (const auto& c : cases) {
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height);
    WriteGreyPicture(dir / "p.png", c.width, c.height, c.grey);
    Project project;
    project.Add(dir / "p.png");
    const BookReader reader = project.Make(dir / "book.wol");
    ASSERT_EQ(reader.Book().sections.size(), 1u) << what;
    ASSERT_EQ(reader.Book().sections[0].images.size(), 1u) << what;
    const PictureData& page = reader.Book().sections[0].images[0];
    ASSERT_EQ(page.width, 600);
    ASSERT_EQ(page.height, 800);
    const GreyBox found = NonWhite(Greys(reader, page), 600, 800, c.grey);
    EXPECT_EQ(found.box, c.box) << what;
    EXPECT_TRUE(found.uniform) << what;
  }
}

TEST(BuildBook, UnloadsPicturesKeepsTextLoadedAndBuildsTheSameBookTwice) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "story.txt", "Once upon a time\nthe end\n");
  WriteGreyPicture(dir / "p.png", 700, 300, 128);
  test::WritePpm(dir / "q.ppm", test::Filled(64, 64, {200, 100, 50}));
  WriteHalfBlackPicture(dir / "cover.png", 60, 80);
  Project project;
  auto& text = dynamic_cast<TextFileItem&>(project.Add(dir / "story.txt"));
  auto& p = dynamic_cast<PictureFileItem&>(project.Add(dir / "p.png"));
  auto& q = dynamic_cast<PictureFileItem&>(project.Add(dir / "q.ppm"));
  project.description.title = u"Twice";
  project.cover.fileName = (dir / "cover.png").u16string();
  project.cover.coverMode = 2;

  project.Make(dir / "one.wol");
  EXPECT_TRUE(text.Loaded());
  for (const PictureFileItem* picture : {&p, &q}) {
    EXPECT_FALSE(picture->Loaded());
    EXPECT_TRUE(picture->LoadedPicture().Empty());
  }
  // The text stays as it was read for the first book.
  test::WriteBytes(dir / "story.txt", "changed\n");
  project.Make(dir / "two.wol");
  EXPECT_EQ(test::ReadBytes(dir / "one.wol"), test::ReadBytes(dir / "two.wol"));
  EXPECT_EQ(Listing(dir.Path()),
            (std::set<std::string>{"cover.png", "one.wol", "p.png", "q.ppm", "story.txt", "two.wol"}));
}

TEST(BuildBook, ReplacesAnExistingBookWhateverItsName) {
  std::string cyrillic;
  for (int i = 0; i < 120; ++i) cyrillic += "\xD0\x96";
  // The longest names leave no room for a longer temporary name beside them.
  for (const std::string& name :
       {std::string("book.wol"), cyrillic + ".wol", std::string(251, 'n') + ".wol"}) {
    test::ScratchDir dir;
    test::WriteBytes(dir / "t.txt", "new\n");
    test::WriteBytes(dir / name, std::string(100000, 'o'));
    Project project;
    project.Add(dir / "t.txt");
    EXPECT_EQ(project.Make(dir / name).Book().sections[0].paragraphs, std::vector<std::string>{"new"})
        << name;
    EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{name, "t.txt"}));
  }
}

// Each failure passes its error on and leaves the folder as it was: an existing book of that name
// keeps its bytes and no partial or temporary file remains.
TEST(BuildBook, AFailedBuildLeavesNoFileAndTheOldBookIntact) {
  const struct {
    const char* name;
    // Sets the project up to fail; returns what the error message must contain.
    std::function<std::string(const test::ScratchDir&, Project&)> setUp;
    std::string target = "book.wol";
  } cases[] = {
      {"text file deleted after it was added",
       [](const test::ScratchDir& dir, Project& project) {
         project.Add(dir / "gone.txt");
         fs::remove(dir / "gone.txt");
         return "Cannot open file \"" + (dir / "gone.txt").string() + "\".";
       }},
      {"undecodable picture that was not verified",
       [](const test::ScratchDir& dir, Project& project) {
         test::WriteBytes(dir / "bad.png", "this is no picture at all");
         project.files.Add(std::make_unique<PictureFileItem>(TestRuntime(), (dir / "bad.png").u16string()));
         return "Cannot read picture \"" + (dir / "bad.png").string() + "\"";
       }},
      {"picture damaged after it was verified",
       [](const test::ScratchDir& dir, Project&) {
         const std::string png = test::ReadBytes(dir / "p.png");
         test::WriteBytes(dir / "p.png", png.substr(0, png.size() / 2));
         return "Cannot read picture \"" + (dir / "p.png").string() + "\"";
       }},
      {"undecodable cover",
       [](const test::ScratchDir& dir, Project& project) {
         test::WriteBytes(dir / "cover.jpg", "\xFF\xD8\xFF garbage");
         project.cover.fileName = (dir / "cover.jpg").u16string();
         project.cover.coverMode = 1;
         return "Cannot read picture \"" + (dir / "cover.jpg").string() + "\"";
       }},
      {"folder that does not exist",
       [](const test::ScratchDir& dir, Project&) {
         return "Cannot create file \"" + (dir / "no such folder" / "book.wol").string() + "\"";
       },
       "no such folder/book.wol"},
      {"target that is a folder",
       [](const test::ScratchDir& dir, Project&) {
         fs::create_directory(dir / "folder.wol");
         return "Cannot replace file \"" + (dir / "folder.wol").string() + "\"";
       },
       "folder.wol"},
  };
  for (const auto& c : cases) {
    test::ScratchDir dir;
    test::WriteBytes(dir / "t.txt", "a line\n");
    test::WriteBytes(dir / "gone.txt", "soon gone\n");
    WriteGreyPicture(dir / "p.png", 50, 50, 0);
    const std::string oldBook = test::SampleBook();
    test::WriteBytes(dir / "book.wol", oldBook);
    Project project;
    project.Add(dir / "t.txt");
    project.Add(dir / "p.png");
    const std::string message = c.setUp(dir, project);
    const auto before = Listing(dir.Path());
    try {
      BuildBook(TestRuntime(), (dir / c.target).u16string(), project.files, project.description,
                project.cover);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << c.name << ": " << e.what();
    }
    EXPECT_EQ(Listing(dir.Path()), before) << c.name;
    EXPECT_EQ(test::ReadBytes(dir / "book.wol"), oldBook) << c.name;
  }
}

// A build loads the next picture while it writes the item before; when that item fails, the
// picture loaded ahead is dropped too, and the error is the failing item's.
TEST(BuildBook, AFailedBuildLeavesNoPictureLoaded) {
  test::ScratchDir dir;
  WriteGreyPicture(dir / "p.png", 700, 300, 128);
  test::WriteBytes(dir / "gone.txt", "soon gone\n");
  WriteGreyPicture(dir / "q.png", 900, 1200, 0);
  Project project;
  auto& p = dynamic_cast<PictureFileItem&>(project.Add(dir / "p.png"));
  project.Add(dir / "gone.txt");
  auto& q = dynamic_cast<PictureFileItem&>(project.Add(dir / "q.png"));
  fs::remove(dir / "gone.txt");
  try {
    BuildBook(TestRuntime(), (dir / "book.wol").u16string(), project.files, project.description,
              project.cover);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("gone.txt"), std::string::npos) << e.what();
  }
  for (const PictureFileItem* picture : {&p, &q}) {
    EXPECT_FALSE(picture->Loaded());
    EXPECT_TRUE(picture->LoadedPicture().Empty());
  }
  EXPECT_EQ(Listing(dir.Path()), (std::set<std::string>{"p.png", "q.png"}));
}

// The lines of a file whose lines end with `lineEnd`, found at multiples of `unit` (2 for UTF-16);
// a last line without its end counts too.
size_t LineCount(const std::string& bytes, const std::string& lineEnd, size_t unit) {
  size_t lines = 0, lastEnd = 0;
  for (size_t at = 0; (at = bytes.find(lineEnd, at)) != std::string::npos; at += unit)
    if (at % unit == 0) ++lines, lastEnd = at + lineEnd.size();
  return lines + (lastEnd < bytes.size() && bytes.size() - lastEnd >= unit);
}

// Real books in several encodings: every line of a file becomes one paragraph of its chapter.
TEST(BuildBook, BuildsRealBooks) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    const char* title;
    std::string lineEnd;
    size_t unit;
  } books[] = {
      {"texts/ru/eugene_onegin.utf8.txt", "eugene_onegin.utf8", "\n", 1},
      {"texts/en/moby_dick_pg2701.txt", "moby_dick_pg2701", "\r\n", 1},
      {"texts/encodings/passage.cp1251.txt", "passage.cp1251", "\n", 1},
      {"texts/encodings/passage.utf16le-bom.txt", "passage.utf16le-bom", std::string("\n\0", 2), 2},
      {"texts/encodings/passage.koi8r.txt", "passage.koi8r", "\n", 1},
  };
  test::ScratchDir dir;
  Project project;
  for (const auto& b : books) project.Add(test::TestDataPath(b.file));
  const BookReader reader = project.Make(dir / "books.wol");
  const BookContents& book = reader.Book();
  ASSERT_EQ(book.sections.size(), std::size(books));
  ASSERT_EQ(book.toc.size(), std::size(books));
  for (size_t i = 0; i < std::size(books); ++i) {
    const std::string bytes = test::ReadBytes(test::TestDataPath(books[i].file));
    EXPECT_EQ(book.sections[i].paragraphs.size(), LineCount(bytes, books[i].lineEnd, books[i].unit))
        << books[i].file;
    EXPECT_EQ(book.toc[i].title, books[i].title);
  }
  // The Windows-1251 passage is stored as it is; the other encodings of it give the same text.
  const std::string cp1251 = test::ReadBytes(test::TestDataPath("texts/encodings/passage.cp1251.txt"));
  std::string joined;
  for (const auto& paragraph : book.sections[2].paragraphs) joined += paragraph + "\n";
  EXPECT_EQ(joined, cp1251);
  EXPECT_EQ(book.sections[3].paragraphs, book.sections[2].paragraphs);
  EXPECT_EQ(book.sections[4].paragraphs, book.sections[2].paragraphs);
}

}  // namespace
}  // namespace bookloom
