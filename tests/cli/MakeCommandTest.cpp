// bookloom-cli make and formats: books from files and options, warnings for files left out, and
// refusals that leave the folder as it was.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "platform/PngFile.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

struct CliRun {
  int status;
  std::string out, errors;
};

// Runs bookloom-cli in `folder` (so that arguments may name its files plainly), its output kept
// outside that folder.
CliRun RunCli(const fs::path& folder, const std::string& arguments) {
  const test::ScratchDir outputs;
  const std::string command = "cd '" + folder.string() + "' && '" + BOOKLOOM_CLI + "' " + arguments + " >'" +
                              (outputs / "out").string() + "' 2>'" + (outputs / "errors").string() + "'";
  const int raw = std::system(command.c_str());
  return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, test::ReadBytes(outputs / "out"),
          test::ReadBytes(outputs / "errors")};
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// A folder with a Russian and an English text and three pictures.
class MakeCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::WriteBytes(dir_ / "ru.txt", "\xD0\x9C\xD0\xB0\xD0\xBC\xD0\xB0\n\xD1\x80\xD0\xB0\xD0\xBC\xD1\x83\n");
    test::WriteBytes(dir_ / "en.txt", "One\r\nTwo\r\nThree\r\n");
    for (const char* name : {"a.png", "b.png"})
      WriteGrayPng((dir_ / name).u16string(), 120, 90, std::vector<uint8_t>(120 * 90, 0));
    std::vector<uint8_t> half(300 * 400, 255);
    for (int y = 0; y < 400; ++y) std::fill_n(half.begin() + y * 300, 150, 0);
    WriteGrayPng((dir_ / "cover.png").u16string(), 300, 400, half);
  }
  BookReader Book(const std::string& name = "book.wol") { return BookReader(test::ReadBytes(dir_ / name)); }

  test::ScratchDir dir_;
};

TEST_F(MakeCommandTest, BuildsABookThatInfoAccepts) {
  const CliRun run =
      RunCli(dir_.Path(),
             "make -o book.wol --title '\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0' --author Ann "
             "--isbn 123 --publish-time 2024 ru.txt a.png b.png en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.out, "Wrote book.wol (4 files)\n");
  EXPECT_EQ(run.errors, "");  // no progress lines when standard error is not a terminal
  const CliRun info = RunCli(dir_.Path(), "info book.wol");
  EXPECT_EQ(info.status, 0) << info.out << info.errors;

  const BookReader reader = Book();
  const BookContents& book = reader.Book();
  EXPECT_EQ(book.description[0], "\xCA\xED\xE8\xE3\xE0");
  EXPECT_EQ(book.description[2], "Ann");
  EXPECT_EQ(book.description[7], "2024");
  EXPECT_EQ(book.description[12], "123");
  EXPECT_FALSE(book.cover.has_value());
  ASSERT_EQ(book.sections.size(), 3u);
  EXPECT_EQ(book.sections[0].paragraphs, (std::vector<std::string>{"\xCC\xE0\xEC\xE0", "\xF0\xE0\xEC\xF3"}));
  EXPECT_EQ(book.sections[1].images.size(), 2u);
  EXPECT_EQ(book.sections[2].paragraphs, (std::vector<std::string>{"One", "Two", "Three"}));
  ASSERT_EQ(book.toc.size(), 4u);
  EXPECT_EQ(book.toc[1].title, "a");
}

// The dynamic loader's account of the files a successful run of bookloom-cli loads.
std::string LoadedFiles(const fs::path& folder, const std::string& arguments) {
  const test::ScratchDir outputs;
  const std::string command = "cd '" + folder.string() + "' && LD_DEBUG=files '" + BOOKLOOM_CLI + "' " +
                              arguments + " >/dev/null 2>'" + (outputs / "trace").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << arguments;
  return test::ReadBytes(outputs / "trace");
}

// GraphicsMagick comes with a module that is loaded only when a picture is read through it: a book
// of text and PNG pictures is made without it, a grey map brings it in.
TEST_F(MakeCommandTest, LoadsGraphicsMagickOnlyForThePicturesItReads) {
  test::WriteBytes(dir_ / "d.pgm", std::string("P5\n2 2\n255\n") + std::string(4, '\x80'));
  EXPECT_FALSE(Contains(LoadedFiles(dir_.Path(), "make -o plain.wol en.txt a.png"), "GraphicsMagick"));
  const std::string withPgm = LoadedFiles(dir_.Path(), "make -o grey.wol en.txt d.pgm");
  EXPECT_TRUE(Contains(withPgm, "bookloom-magick.so"));
  EXPECT_TRUE(Contains(withPgm, "libGraphicsMagick"));
}

TEST_F(MakeCommandTest, NamesTheFilesItLeavesOut) {
  test::WriteBytes(dir_ / "notes.xyz", "not a book file");
  const CliRun run = RunCli(dir_.Path(), "make -o book.wol missing.txt en.txt notes.xyz");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_TRUE(Contains(run.errors, "warning: no such file, skipped: missing.txt\n")) << run.errors;
  EXPECT_TRUE(Contains(run.errors, "warning: not a known kind of file, skipped: notes.xyz\n")) << run.errors;
  ASSERT_EQ(Book().Book().toc.size(), 1u);
  EXPECT_EQ(Book().Book().toc[0].title, "en");
}

TEST_F(MakeCommandTest, AnUndecodablePictureFailsAndLeavesTheOldBook) {
  test::WriteBytes(dir_ / "broken.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
  const std::string oldBook = test::SampleBook();
  test::WriteBytes(dir_ / "book.wol", oldBook);
  const auto before = Listing(dir_.Path());
  const CliRun run = RunCli(dir_.Path(), "make -o book.wol en.txt broken.jpg a.png");
  EXPECT_EQ(run.status, 1);
  EXPECT_TRUE(Contains(run.errors, "bookloom-cli: Cannot read picture \"broken.jpg\"")) << run.errors;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(Listing(dir_.Path()), before);
  EXPECT_EQ(test::ReadBytes(dir_ / "book.wol"), oldBook);
}

// Wrong arguments are refused before anything is written.
TEST_F(MakeCommandTest, RefusesWrongArgumentsBeforeWritingAnything) {
  test::WriteBytes(dir_ / "cjk.txt", "\xE4\xB8\xAD");  // U+4E2D
  const struct {
    std::string arguments;
    std::string error;
  } cases[] = {
      {"-o book.wol --author '\xE4\xB8\xAD' en.txt",
       "--author: You are entered a symbol (code 0x4E2D), which\ncannot be represented in Windows-1251 code "
       "page!"},
      {"-o book.wol --annotation-file cjk.txt en.txt",
       "--annotation-file: You are entered a symbol (code 0x4E2D)"},
      {"-o book.wol --annotation 'ok \xE2\x9C\x93' en.txt",
       "--annotation: You are entered a symbol (code 0x2713)"},
      {"en.txt", "no output book given"},
      {"-o book.wol", "no input files given"},
      {"-o book.wol --title", "--title needs a value"},
      {"-o book.wol --cover missing.png en.txt", "cover picture not found: missing.png"},
      {"-o book.wol --cover cover.png --cover-mode sepia en.txt", "--cover-mode is mono or gray, not sepia"},
      {"-o book.wol --margins 1,2,3 en.txt", "--margins takes four numbers"},
      {"-o book.wol --bogus en.txt", "unknown option --bogus"},
      {"-o book.wol --annotation-file missing.txt en.txt", "Cannot open file \"missing.txt\""},
      {"-o book.wol missing.txt notes.xyz", "none of the input files can be added to a book"},
  };
  const auto before = Listing(dir_.Path());
  for (const auto& c : cases) {
    const CliRun run = RunCli(dir_.Path(), "make " + c.arguments);
    EXPECT_EQ(run.status, 1) << c.arguments;
    EXPECT_TRUE(Contains(run.errors, c.error)) << c.arguments << "\n" << run.errors;
    EXPECT_EQ(Listing(dir_.Path()), before) << c.arguments;
  }
}

TEST_F(MakeCommandTest, TakesTheAnnotationFromAFileWithItsLineEnds) {
  test::WriteBytes(dir_ / "about.txt",
                   "First line\nSecond \xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0\r\n\n");
  const CliRun run = RunCli(dir_.Path(), "make -o book.wol --annotation-file about.txt en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Book().Book().description[11], "First line\r\nSecond \xF1\xF2\xF0\xEE\xEA\xE0");
}

TEST_F(MakeCommandTest, WritesTheCoverInTheModeAsked) {
  const struct {
    std::string options;
    int bitCount;
  } cases[] = {
      {"--cover cover.png --cover-mode mono", 1},
      {"--cover cover.png --cover-mode gray", 2},
      {"--cover cover.png", 2},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(dir_.Path(), "make -o book.wol " + c.options + " en.txt");
    ASSERT_EQ(run.status, 0) << c.options << run.errors;
    const BookReader reader = Book();
    ASSERT_TRUE(reader.Book().cover.has_value()) << c.options;
    const PictureData& cover = *reader.Book().cover;
    EXPECT_EQ(cover.bitCount, c.bitCount) << c.options;
    EXPECT_EQ(cover.width, 600);
    EXPECT_EQ(cover.height, 800);
    const std::vector<uint8_t> greys = PackedRowsToGray(cover, reader.DecodeRows(cover));
    EXPECT_EQ(greys[400 * 600 + 100], 0) << c.options;  // enlarged to fill the page
    EXPECT_EQ(greys[400 * 600 + 500], 255) << c.options;
  }
  // Without enlarging, and with margins, the picture keeps its size inside the margins.
  const CliRun run =
      RunCli(dir_.Path(), "make -o book.wol --cover cover.png --no-enlarge --margins 0,100,0,0 en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  const BookReader reader = Book();
  const std::vector<uint8_t> greys =
      PackedRowsToGray(*reader.Book().cover, reader.DecodeRows(*reader.Book().cover));
  EXPECT_EQ(greys[400 * 600 + 99], 255);  // left of the picture at x = (500 - 300) / 2
  EXPECT_EQ(greys[400 * 600 + 101], 0);
}

TEST(FormatsCommand, PrintsTheFilterThenEveryExtension) {
  const test::ScratchDir dir;
  const CliRun run = RunCli(dir.Path(), "formats");
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("All supported formats|*.bmp; *.bw; ", 0), 0u) << run.out;
  EXPECT_TRUE(Contains(run.out, "|Windows bitmaps (*.bmp; *.dib; *.rle)|*.bmp; *.dib; *.rle|")) << run.out;
  EXPECT_TRUE(Contains(run.out, "\n  txt    Plain text file\n"));
  EXPECT_TRUE(Contains(run.out, "\n  png    Portable network graphic images\n"));
  EXPECT_TRUE(Contains(run.out, "\n  scr    Word 5.x screen capture images\n"));
  size_t listed = 0;
  for (size_t at = 0; (at = run.out.find("\n  ", at)) != std::string::npos; ++at) ++listed;
  EXPECT_EQ(listed, 41u);
}

}  // namespace
}  // namespace bookloom
