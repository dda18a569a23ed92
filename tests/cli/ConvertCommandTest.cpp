// bookloom-cli convert: one book per e-book of folders and archives, a report of every book, books made
// once and skipped after, shards that together make every book once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "support/CliRun.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::RunCli;

std::string Fb2(const std::string& title) {
  return test::Fb2Book(
      "<title-info><book-title>" + title + "</book-title></title-info>",
      "<body><section><title><p>One</p></title><p>Text of " + title + ".</p></section></body>");
}

// The smallest EPUB: one page, titled.
std::string Epub(const std::string& title) {
  return test::ArchiveOf(
      {{"mimetype", "application/epub+zip"},
       {"META-INF/container.xml",
        "<?xml version=\"1.0\"?><container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:"
        "container\"><rootfiles><rootfile full-path=\"content.opf\" media-type=\"application/oebps-package+xml\"/>"
        "</rootfiles></container>"},
       {"content.opf",
        "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\"><metadata "
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>" + title + "</dc:title></metadata><manifest>"
        "<item id=\"p\" href=\"p.xhtml\" media-type=\"application/xhtml+xml\"/></manifest><spine><itemref "
        "idref=\"p\"/></spine></package>"},
       {"p.xhtml", "<html xmlns=\"http://www.w3.org/1999/xhtml\"><body><p>Text.</p></body></html>"}});
}

// Every file below `folder`, by its path relative to it.
std::set<std::string> Files(const fs::path& folder) {
  std::set<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& e : fs::recursive_directory_iterator(folder))
    if (e.is_regular_file() && !e.path().filename().string().starts_with("."))
      names.insert(fs::relative(e.path(), folder).string());
  return names;
}

// The status of every input in a report, by its output file name (or its input when it has none).
std::map<std::string, std::string> Statuses(const fs::path& report) {
  std::map<std::string, std::string> statuses;
  const json parsed = json::parse(test::ReadBytes(report));
  for (const json& book : parsed["books"]) {
    const std::string output = book.contains("output") ? book["output"] : book["input"];
    statuses[fs::path(output).filename().string()] = book["status"];
  }
  return statuses;
}

// A library: FB2 books and a text in folders, a zip of FB2 books, a comic archive, a picture and a
// hidden folder that hold no book.
class ConvertCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir_ / "lib/sub");
    fs::create_directories(dir_ / "lib/.hidden");
    test::WriteBytes(dir_ / "lib/sub/a.fb2", Fb2("A"));
    test::WriteBytes(dir_ / "lib/b.txt", "Line one\nLine two\n");
    test::WriteBytes(dir_ / "lib/.hidden/c.fb2", Fb2("C"));
    test::WriteBytes(dir_ / "lib/pack.zip",
                     test::ArchiveOf({{"x.fb2", Fb2("X")}, {"y/z.fb2", Fb2("Z")}, {"e.epub", Epub("E")}}));
    test::WriteBytes(dir_ / "lib/comic.cbz", test::ArchiveOf({{"1.jpg", test::JpegPicture(60, 80, 90)},
                                                              {"2.jpg", test::JpegPicture(60, 80, 200)}}));
    test::WriteBytes(dir_ / "lib/photo.jpg", test::JpegPicture(40, 30, 128));
  }
  test::CliRun Convert(const std::string& arguments) { return RunCli(dir_.Path(), "convert " + arguments); }
  BookReader Book(const std::string& name) { return BookReader(test::ReadBytes(dir_ / name)); }

  test::ScratchDir dir_;
};

TEST_F(ConvertCommandTest, MakesOneBookPerEbookOfFoldersAndArchivesInATreeLikeTheInputs) {
  const test::CliRun run = Convert("-O out -j 2 lib");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Files(dir_ / "out"),
            (std::set<std::string>{"sub/a.wol", "b.wol", "pack/e.wol", "pack/x.wol", "pack/y/z.wol", "comic.wol"}));
  EXPECT_EQ(run.out, "6 books made, 0 skipped, 0 failed in out\n");
  EXPECT_EQ(Book("out/pack/y/z.wol").Book().description[0], "Z");
  EXPECT_EQ(Book("out/pack/e.wol").Book().description[0], "E");
  EXPECT_EQ(Book("out/comic.wol").Book().sections.at(0).images.size(), 2u);
  EXPECT_EQ(Book("out/b.wol").Book().sections.at(0).paragraphs,
            (std::vector<std::string>{"Line one", "Line two"}));
}

TEST_F(ConvertCommandTest, MakesTheSameBookAsMakeWithTheSameOptions) {
  ASSERT_EQ(Convert("-O out --picture-mode mono --author Ann lib/comic.cbz lib/sub/a.fb2").status, 0);
  for (const char* name : {"comic.cbz", "sub/a.fb2"}) {
    const std::string book = fs::path(name).stem().string() + ".wol";
    ASSERT_EQ(
        RunCli(dir_.Path(), "make --picture-mode mono --author Ann -o made.wol lib/" + std::string(name))
            .status,
        0);
    EXPECT_TRUE(test::ReadBytes(dir_ / "out" / book) == test::ReadBytes(dir_ / "made.wol")) << name;
  }
}

TEST_F(ConvertCommandTest, ReportsABrokenBookAndExitsOneWhileMakingTheRest) {
  test::WriteBytes(dir_ / "lib/broken.fb2", "<FictionBook><body><section><p>cut sh");
  const test::CliRun run = Convert("-O out --report report.json lib lib/missing.fb2");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(test::Contains(run.errors, "broken.fb2")) << run.errors;
  EXPECT_EQ(Files(dir_ / "out").size(), 6u);  // the good books, and nothing of the broken ones
  std::map<std::string, std::string> statuses = Statuses(dir_ / "report.json");
  EXPECT_EQ(statuses["broken.wol"], "failed");
  EXPECT_EQ(statuses["missing.wol"], "failed");
  EXPECT_EQ(statuses["x.wol"], "made");
  const json report = json::parse(test::ReadBytes(dir_ / "report.json"));
  for (const json& book : report["books"]) {
    if (book["status"] == "failed")
      EXPECT_FALSE(book["reason"].get<std::string>().empty()) << book;
    else
      EXPECT_GT(book["pages"].get<int>(), 0) << book;
  }
}

TEST_F(ConvertCommandTest, LeavesOutTheBadPagesOfAComicWithSkipBad) {
  test::WriteBytes(dir_ / "bad.cbz",
                   test::ArchiveOf({{"1.jpg", test::JpegPicture(60, 80, 90)}, {"2.jpg", "not a picture"}}));
  EXPECT_EQ(Convert("-O out bad.cbz").status, 1);
  const test::CliRun skipped = Convert("-O out --skip-bad --report report.json bad.cbz");
  ASSERT_EQ(skipped.status, 0) << skipped.errors;
  EXPECT_EQ(Book("out/bad.wol").Book().sections.at(0).images.size(), 1u);
  const json report = json::parse(test::ReadBytes(dir_ / "report.json"));
  EXPECT_TRUE(test::Contains(report["books"][0]["warnings"].dump(), "2.jpg")) << report;
}

TEST_F(ConvertCommandTest, SkipsBooksNewerThanTheirInputAndOptionsUnlessForced) {
  ASSERT_EQ(Convert("-O out lib").status, 0);
  const auto past = fs::last_write_time(dir_ / "out/b.wol") - std::chrono::hours(1);
  const struct {
    const char* name;
    std::string arguments;
    std::function<void()> before;
    std::set<std::string> made;  // the others are skipped
  } cases[] = {
      {"nothing changed", "", [] {}, {}},
      {"only how the run goes changed", "-j 1 --shard 1/1 --verbose", [] {}, {}},
      {"an input changed", "", [&] { fs::last_write_time(dir_ / "out/sub/a.wol", past); }, {"a.wol"}},
      {"an option changed", "--picture-mode mono", [] {}, {"a.wol", "b.wol", "e.wol", "x.wol", "z.wol", "comic.wol"}},
      {"the same options again", "--picture-mode mono", [] {}, {}},
      {"forced", "--picture-mode mono --force", [] {}, {"a.wol", "b.wol", "e.wol", "x.wol", "z.wol", "comic.wol"}},
  };
  for (const auto& c : cases) {
    c.before();
    const test::CliRun run = Convert("-O out --report report.json " + c.arguments + " lib");
    ASSERT_EQ(run.status, 0) << c.name << run.errors;
    const std::map<std::string, std::string> statuses = Statuses(dir_ / "report.json");
    ASSERT_EQ(statuses.size(), 6u) << c.name;
    for (const auto& [book, status] : statuses)
      EXPECT_EQ(status, c.made.count(book) ? "made" : "skipped") << c.name << ": " << book;
  }
}

TEST_F(ConvertCommandTest, ShardsTogetherMakeEveryBookExactlyOnce) {
  for (int i = 0; i < 8; ++i) test::WriteBytes(dir_ / ("lib/more" + std::to_string(i) + ".fb2"), Fb2("M"));
  std::set<std::string> all = Files((Convert("-O whole lib"), dir_ / "whole")), together;
  size_t total = 0;
  for (const char* shard : {"1/3", "2/3", "3/3"}) {
    const std::string out = std::string("shard") + shard[0];
    ASSERT_EQ(Convert("-O " + out + " --shard " + shard + " lib").status, 0) << shard;
    const std::set<std::string> made = Files(dir_ / out);
    EXPECT_FALSE(made.empty()) << shard;
    total += made.size();
    together.insert(made.begin(), made.end());
  }
  EXPECT_EQ(together, all);
  EXPECT_EQ(total, all.size());
}

TEST_F(ConvertCommandTest, NamesBooksAfterTheirDescriptionAndNumbersBooksOfTheSameName) {
  const std::string described = test::Fb2Book(
      "<title-info><author><first-name>Лев</first-name><last-name>Толстой</last-name></author>"
      "<book-title>Война и мир</book-title><sequence name=\"Романы\" number=\"2\"/></title-info>",
      "<body><section><p>Текст.</p></section></body>");
  test::WriteBytes(dir_ / "lib/w1.fb2", described);
  test::WriteBytes(dir_ / "lib/sub/w2.fb2", described);
  ASSERT_EQ(Convert("-O out --name {author}/{series}/{title} lib").status, 0);
  EXPECT_EQ(Files(dir_ / "out"),
            (std::set<std::string>{"A.wol", "b.wol", "comic.wol", "E.wol", "X.wol", "Z.wol", "Лев Толстой/Романы #2/Война и мир.wol",
                                   "Лев Толстой/Романы #2/Война и мир (2).wol"}));
  ASSERT_EQ(Convert("-O ascii --name {author}/{title} --ascii-names lib").status, 0);
  EXPECT_TRUE(Files(dir_ / "ascii").contains("Lev Tolstoy/Voyna i mir (2).wol"));
  ASSERT_EQ(Convert("-O mirrored --ascii-names lib/sub").status, 0);
  EXPECT_EQ(Files(dir_ / "mirrored"), (std::set<std::string>{"a.wol", "w2.wol"}));
}

TEST_F(ConvertCommandTest, RefusesAWrongCommandLineWithStatusTwo) {
  for (const char* arguments : {"lib", "-O out", "-O out --shard 0/2 lib", "-O out --shard 3/2 lib",
                                "-O out --shard 2 lib", "-O out -j 0 lib", "-O out --name {autor} lib",
                                "-O out --name plain lib", "-O out --name {title lib"}) {
    const test::CliRun run = Convert(arguments);
    EXPECT_EQ(run.status, 2) << arguments << ": " << run.errors;
    EXPECT_FALSE(fs::exists(dir_ / "out")) << arguments;
  }
}

}  // namespace
}  // namespace bookloom
