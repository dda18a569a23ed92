// bookloom-cli make: books from files and options, one policy for bad inputs, outputs that never
// lose a file, and the command line's own conventions.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <thread>

#include "platform/PngFile.h"
#include "support/CliRun.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestMetafiles.h"
#include "support/TestPictures.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;
using test::Contains;
using test::RunCli;

std::set<std::string> Listing(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// A folder with a Russian and an English text, two pictures and a cover.
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
  test::CliRun Make(const std::string& arguments) { return RunCli(dir_.Path(), "make " + arguments); }
  BookReader Book(const std::string& name = "book.wol") { return BookReader(test::ReadBytes(dir_ / name)); }

  test::ScratchDir dir_;
};

TEST_F(MakeCommandTest, BuildsABookThatInfoAccepts) {
  const test::CliRun run = Make(
      "-o book.wol --title '\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB0' --author=Ann --isbn 123 --publish-time "
      "2024 "
      "-- ru.txt a.png b.png en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(run.out, "Wrote book.wol (4 files)\n");
  EXPECT_EQ(run.errors, "");  // no progress when standard error is not a terminal
  EXPECT_EQ(RunCli(dir_.Path(), "info book.wol").status, 0);

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

TEST_F(MakeCommandTest, VerboseSaysWhatEachInputBecameAndQuietSaysNothing) {
  const test::CliRun verbose = Make("-v -o book.wol en.txt a.png");
  ASSERT_EQ(verbose.status, 0) << verbose.errors;
  EXPECT_EQ(verbose.errors, "[1/2] en.txt: 3 paragraphs, 1 page\n[2/2] a.png: 1 picture, 1 page\n");
  const test::CliRun quiet = Make("--quiet --skip-bad -o book.wol en.txt missing.txt");
  ASSERT_EQ(quiet.status, 0) << quiet.errors;
  EXPECT_EQ(quiet.errors, "");
  EXPECT_EQ(quiet.out, "Wrote book.wol (1 file)\n");
}

// A file whose name names no known type is read as text when its content is text, and --verbose says so;
// a file of no known type whose content is not text stays refused.
TEST_F(MakeCommandTest, ReadsTextFilesUnderAnyName) {
  test::WriteBytes(dir_ / "README", "First line\nSecond line\n");
  test::WriteBytes(dir_ / "notes.2024", std::string("\xFF\xFEO\0n\0e\0", 8));  // UTF-16 after its mark
  test::WriteBytes(dir_ / "data.bin", std::string("\177ELF\2\1\1\0\0\0", 10));
  const test::CliRun run = Make("-v -o book.wol README notes.2024");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_TRUE(
      Contains(run.errors, "README: no known file type, but the content is text: read as UTF-8 text"));
  const auto book = Book("book.wol").Book();
  ASSERT_EQ(book.sections.size(), 2u);
  EXPECT_EQ(book.sections[0].paragraphs, (std::vector<std::string>{"First line", "Second line"}));
  EXPECT_EQ(book.sections[1].paragraphs, (std::vector<std::string>{"One"}));
  EXPECT_TRUE(Contains(Make("-o other.wol data.bin").errors, "data.bin: unknown file type .bin"));
}

// The dynamic loader's account of the files a successful run of bookloom-cli loads.
std::string LoadedFiles(const fs::path& folder, const std::string& arguments) {
  const test::ScratchDir outputs;
  const std::string command = "cd '" + folder.string() + "' && LD_DEBUG=files '" + BOOKLOOM_CLI + "' " +
                              arguments + " >/dev/null 2>'" + (outputs / "trace").string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0) << arguments;
  return test::ReadBytes(outputs / "trace");
}

// The libraries that only some inputs need are loaded at the first such input: a book of text and
// PNG pictures loads none of them, each other kind of input its own.
TEST_F(MakeCommandTest, LoadsEachLibraryOnlyForTheInputsThatNeedIt) {
  test::WriteBytes(dir_ / "d.pgm", std::string("P5\n2 2\n255\n") + std::string(4, '\x80'));
  test::WriteBytes(dir_ / "book.fb2", test::Fb2Book("", "<body><section><p>Text</p></section></body>"));
  test::WriteBytes(dir_ / "comic.cbz", test::ArchiveOf({{"1.png", test::ReadBytes(dir_ / "a.png")}}));
  test::WriteBytes(dir_ / "scan.pdf", test::PdfOf({{300, 400, 1}}));
  test::WriteBytes(dir_ / "d.emf", test::EmfOf(40, 30, ""));
  test::WriteBytes(dir_ / "notes.md", "# Notes\n\nText.\n");
  fs::copy_file(fs::path(BOOKLOOM_TEST_FILES) / "book.mobi", dir_ / "book.mobi");
  test::WriteBytes(dir_ / "d.webp", test::WebpOf(test::Gradient(40, 30), true));
  test::WriteBytes(dir_ / "d.jxl", test::JpegXlOf({test::Gradient(40, 30)}, true));
  test::WriteBytes(dir_ / "d.avif", test::HeifOf({test::Gradient(40, 30)}, true));
  test::WriteBytes(dir_ / "d.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"4\" height=\"3\"/>");
  const struct {
    const char* inputs;
    std::vector<std::string> loaded, notLoaded;
  } cases[] = {
      {"en.txt a.png",
       {},
       {"GraphicsMagick", "bookloom-pdf.so", "libpoppler", "libglib", "libxml2", "libarchive",
        "bookloom-emf.so", "libcairo", "libfontconfig", "libcmark", "libmobi", "libwebp", "librsvg", "libjxl",
        "libheif"}},
      {"notes.md", {"libcmark"}, {"GraphicsMagick", "libxml2", "libarchive", "libmobi"}},
      {"book.mobi", {"libmobi"}, {"GraphicsMagick", "libarchive", "libcmark", "libpoppler"}},
      {"d.webp",
       {"libwebpdemux", "libwebp.so"},
       {"GraphicsMagick", "librsvg", "libjxl", "libcairo", "libglib"}},
      {"d.svg",
       {"librsvg", "libcairo"},
       {"GraphicsMagick", "libwebp", "libjxl", "bookloom-emf.so", "libpoppler"}},
      {"d.jxl", {"libjxl"}, {"GraphicsMagick", "libwebp", "librsvg", "libheif", "libcairo"}},
      {"d.avif", {"libheif"}, {"GraphicsMagick", "libwebp", "librsvg", "libjxl", "libcairo"}},
      {"en.txt d.pgm",
       {"bookloom-magick.so", "libGraphicsMagick"},
       {"libpoppler", "libarchive", "bookloom-emf.so"}},
      {"book.fb2", {"libxml2"}, {"GraphicsMagick", "libpoppler", "libglib", "libarchive", "libcairo"}},
      {"comic.cbz", {"libarchive"}, {"GraphicsMagick", "libpoppler", "libglib", "libcairo"}},
      {"scan.pdf",
       {"bookloom-pdf.so", "libpoppler", "libglib"},
       {"GraphicsMagick", "libxml2", "libarchive", "bookloom-emf.so"}},
      {"d.emf",
       {"bookloom-emf.so", "libcairo", "libfontconfig"},
       {"GraphicsMagick", "libpoppler", "libxml2"}},
  };
  for (const auto& c : cases) {
    const std::string loaded = LoadedFiles(dir_.Path(), std::string("make -o book.wol ") + c.inputs);
    for (const std::string& library : c.loaded)
      EXPECT_TRUE(Contains(loaded, library)) << c.inputs << ": " << library;
    for (const std::string& library : c.notLoaded)
      EXPECT_FALSE(Contains(loaded, library)) << c.inputs << ": " << library;
  }
}

// A program whose modules are neither beside it nor installed makes books of the inputs that need
// none; an input that needs one fails with the reason.
TEST_F(MakeCommandTest, AnInputWhoseModuleIsMissingFailsWithTheReason) {
  const test::ScratchDir alone;
  const fs::path program = alone / "bookloom-cli";
  fs::copy_file(BOOKLOOM_CLI, program);
  test::WriteBytes(dir_ / "d.pgm", std::string("P5\n2 2\n255\n") + std::string(4, '\x80'));
  test::WriteBytes(dir_ / "scan.pdf", test::PdfOf({{300, 400, 1}}));
  test::WriteBytes(dir_ / "d.emf", test::EmfOf(40, 30, ""));
  EXPECT_EQ(RunCli(dir_.Path(), "make -o book.wol en.txt a.png", program).status, 0);
  const struct {
    const char* input;
    const char* reason;
  } cases[] = {
      {"d.pgm",
       "d.pgm: cannot be decoded: the GraphicsMagick reader cannot be loaded: bookloom-magick.so is "
       "not installed beside the program"},
      {"scan.pdf",
       "scan.pdf: cannot be read: the PDF reader cannot be loaded: bookloom-pdf.so is not "
       "installed beside the program"},
      {"d.emf",
       "d.emf: cannot be decoded: the metafile player cannot be loaded: bookloom-emf.so is not installed "
       "beside the program"},
  };
  for (const auto& c : cases) {
    const test::CliRun run = RunCli(dir_.Path(), std::string("make -o book.wol en.txt ") + c.input, program);
    EXPECT_EQ(run.status, 1) << c.input;
    EXPECT_TRUE(Contains(run.errors, c.reason)) << run.errors;
  }
}

// Every kind of bad input fails the build before anything is written, each named with its reason;
// with --skip-bad each is a warning and the book is made of the rest.
TEST_F(MakeCommandTest, RefusesEveryBadInputOrSkipsItWhenAsked) {
  test::WriteBytes(dir_ / "notes.xyz", "\x01\x02\x03 not a book file");
  test::WriteBytes(dir_ / "broken.jpg", "\xFF\xD8\xFF\xE0 not really a JPEG");
  test::WriteBytes(dir_ / "broken.webp", test::WebpOf(test::Gradient(40, 30), true).substr(0, 40));
  test::WriteBytes(dir_ / "broken.svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect");
  fs::create_directory(dir_ / "folder.txt");
  ASSERT_EQ(mkfifo((dir_ / "pipe.txt").c_str(), 0600), 0);
  const struct {
    const char* input;
    const char* reason;
  } cases[] = {
      {"missing.txt", "missing.txt: no such file"},
      {"folder.txt", "folder.txt: cannot be read: the folder holds no picture and no text file"},
      {"pipe.txt", "pipe.txt: is not a regular file"},
      {"notes.xyz", "notes.xyz: unknown file type .xyz"},
      {"broken.jpg", "broken.jpg: cannot be decoded: "},
      {"broken.webp", "broken.webp: cannot be decoded: not a readable WebP file"},
      {"broken.svg", "broken.svg: cannot be decoded: not a readable SVG drawing"},
  };
  const std::string oldBook = test::SampleBook();
  test::WriteBytes(dir_ / "book.wol", oldBook);
  std::string all;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const auto before = Listing(dir_.Path());
    const test::CliRun refused = Make(std::string("-o book.wol en.txt ") + c.input);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(Contains(refused.errors, c.reason)) << refused.errors;
    EXPECT_EQ(Listing(dir_.Path()), before);
    EXPECT_EQ(test::ReadBytes(dir_ / "book.wol"), oldBook);

    const test::CliRun skipped = Make(std::string("--skip-bad -o skipped.wol en.txt ") + c.input);
    EXPECT_EQ(skipped.status, 0) << skipped.errors;
    EXPECT_TRUE(Contains(skipped.errors, std::string("warning: skipped ") + c.reason)) << skipped.errors;
    EXPECT_EQ(Book("skipped.wol").Book().toc.size(), 1u);
    all += std::string(" ") + c.input;
  }
  // All of them named at once; and a book with no usable input is no book.
  const test::CliRun refused = Make("-o book.wol" + all);
  EXPECT_EQ(refused.status, 1);
  for (const auto& c : cases) EXPECT_TRUE(Contains(refused.errors, c.reason)) << refused.errors;
  EXPECT_EQ(Make("--skip-bad -o none.wol" + all).status, 1);
  EXPECT_FALSE(fs::exists(dir_ / "none.wol"));
}

// The output never replaces an input, whatever it is called, nor a file that is not a book unless
// the user insists; a replaced book keeps its permissions.
TEST_F(MakeCommandTest, NeverLosesAFileItIsNotMeantToReplace) {
  ASSERT_EQ(link((dir_ / "en.txt").c_str(), (dir_ / "linked.wol").c_str()), 0);
  const std::string text = test::ReadBytes(dir_ / "en.txt");
  for (const char* arguments :
       {"-o en.txt en.txt", "--force -o ./en.txt en.txt", "--force -o linked.wol en.txt",
        "--force -o cover.png --cover cover.png en.txt"}) {
    SCOPED_TRACE(arguments);
    const test::CliRun run = Make(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(test::ReadBytes(dir_ / "en.txt"), text);
  }
  EXPECT_TRUE(Contains(Make("--force -o linked.wol en.txt").errors, "would replace its own input file"));

  // Nor a file that a folder or a project brings in, nor the project or annotation file itself.
  fs::create_directory(dir_ / "d");
  fs::copy_file(dir_ / "en.txt", dir_ / "d" / "a.txt");
  ASSERT_EQ(Make("-o p.wol d").status, 0);
  test::WriteBytes(dir_ / "p.bookloom",
                   "{\"format\": \"bookloom-project\", \"version\": 1, \"files\": [{\"path\": \"d\"}]}");
  for (const char* arguments :
       {"--force -o d/a.txt d", "--force -o d/./a.txt ./d/", "--force -o d/a.txt --project p.bookloom",
        "--force -o p.bookloom --project p.bookloom", "--force -o en.txt --annotation-file en.txt ru.txt"}) {
    SCOPED_TRACE(arguments);
    const test::CliRun run = Make(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.errors, "would replace")) << run.errors;
    EXPECT_EQ(test::ReadBytes(dir_ / "d" / "a.txt"), text);
    EXPECT_EQ(test::ReadBytes(dir_ / "en.txt"), text);
  }
  EXPECT_TRUE(LooksLikeWolfBook((dir_ / "p.wol").u16string()));
  EXPECT_EQ(Make("-o d/p.wol d").status, 0);  // a book of its own beside the folder's files is no input
  EXPECT_EQ(Make("-o d/p.wol d").status, 0);

  test::WriteBytes(dir_ / "notes.wol", "my notes");
  const test::CliRun refused = Make("-o notes.wol en.txt");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.errors, "notes.wol exists and is not a Wolf book: give --force"))
      << refused.errors;
  EXPECT_EQ(test::ReadBytes(dir_ / "notes.wol"), "my notes");
  EXPECT_EQ(Make("--force -o notes.wol en.txt").status, 0);
  EXPECT_TRUE(LooksLikeWolfBook((dir_ / "notes.wol").u16string()));

  ASSERT_EQ(chmod((dir_ / "notes.wol").c_str(), 0640), 0);
  ASSERT_EQ(Make("-o notes.wol ru.txt").status, 0);
  struct stat st {};
  ASSERT_EQ(stat((dir_ / "notes.wol").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// Starts bookloom-cli in the folder with its output thrown away; the child's process id.
pid_t StartCli(const fs::path& folder, const std::vector<std::string>& arguments) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  if (chdir(folder.c_str()) != 0) _exit(127);
  const int null = open("/dev/null", O_WRONLY);
  dup2(null, STDOUT_FILENO);
  dup2(null, STDERR_FILENO);
  std::vector<char*> argv = {const_cast<char*>(BOOKLOOM_CLI)};
  for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(BOOKLOOM_CLI, argv.data());
  _exit(127);
}

bool HasTemporaryFile(const fs::path& folder) {
  for (const auto& name : Listing(folder))
    if (name.starts_with("book.wol.part")) return true;
  return false;
}

TEST_F(MakeCommandTest, ASignalMidBuildLeavesTheOldBookAndNoTemporaryFile) {
  // A build of many large pictures, stopped as soon as its temporary file appears.
  WriteGrayPng((dir_ / "large.png").u16string(), 3000, 2000, std::vector<uint8_t>(3000 * 2000, 90));
  std::vector<std::string> arguments = {"make", "-o", "book.wol"};
  for (int i = 0; i < 60; ++i) arguments.push_back("large.png");
  const std::string oldBook = test::SampleBook();
  for (const auto& [signal, status] : {std::pair{SIGTERM, 143}, std::pair{SIGINT, 130}}) {
    SCOPED_TRACE(signal);
    test::WriteBytes(dir_ / "book.wol", oldBook);
    const pid_t pid = StartCli(dir_.Path(), arguments);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!HasTemporaryFile(dir_.Path()) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(HasTemporaryFile(dir_.Path()));
    kill(pid, signal);
    int raw = 0;
    ASSERT_EQ(waitpid(pid, &raw, 0), pid);
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), status);
    EXPECT_FALSE(HasTemporaryFile(dir_.Path()));
    EXPECT_EQ(test::ReadBytes(dir_ / "book.wol"), oldBook);
  }
}

// Wrong command lines exit with 2 and a message on standard error, before anything is written.
TEST_F(MakeCommandTest, UsageErrorsExitWithTwoOnStandardError) {
  const struct {
    std::string arguments;
    std::string error;
  } cases[] = {
      {"make en.txt", "--output is required"},
      {"make -o book.wol", "files is required"},
      {"make -o book.wol --title", "--title"},
      {"make -o book.wol --cover-mode sepia en.txt", "is one of gray|mono, not sepia"},
      {"make -o book.wol --margins 1,2,3 en.txt", "four whole numbers"},
      {"make -o book.wol --reflow-height 3 en.txt", "--reflow-height"},
      {"make -o book.wol --document-mode ocr en.txt", "is one of auto|text|pages|reflow, not ocr"},
      {"make -o book.wol --bogus en.txt", "--bogus"},
      {"make -o book.wol --annotation x --annotation-file en.txt en.txt", "excludes"},
      {"", "A subcommand is required"},
      {"frob", "frob"},
  };
  const auto before = Listing(dir_.Path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const test::CliRun run = RunCli(dir_.Path(), c.arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(Contains(run.errors, c.error)) << run.errors;
    EXPECT_EQ(Listing(dir_.Path()), before);
  }
  for (const char* help : {"--help", "make --help", "info --help", "prepare -h"}) {
    const test::CliRun run = RunCli(dir_.Path(), help);
    EXPECT_EQ(run.status, 0) << help;
    EXPECT_TRUE(Contains(run.out, "Usage: bookloom-cli")) << help << run.out;
  }
  const test::CliRun version = RunCli(dir_.Path(), "--version");
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out.rfind("bookloom-cli 0.2 (build 0.2.00)", 0), 0u) << version.out;
}

// Description texts too long for the book are refused, naming the option they came from;
// --truncate cuts them with a warning.
TEST_F(MakeCommandTest, RefusesDescriptionTextsTheBookCannotHold) {
  test::WriteBytes(dir_ / "long.txt", std::string(1100, 'a'));
  const std::string title(130, 't');
  const struct {
    std::string arguments;
    std::string error;
  } cases[] = {
      {"--title " + title, "--title: 130 characters, more than the 128 a book can hold"},
      {"--annotation-file long.txt", "--annotation-file: 1100 characters, more than the 1024"},
      {"--annotation-file missing.txt", "Cannot open file \"missing.txt\""},
  };
  const auto before = Listing(dir_.Path());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const test::CliRun run = Make("-o book.wol " + c.arguments + " en.txt");
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(Contains(run.errors, c.error)) << run.errors;
    EXPECT_EQ(Listing(dir_.Path()), before);
  }
  const test::CliRun cut = Make("-o book.wol --truncate --title " + title + " en.txt");
  ASSERT_EQ(cut.status, 0) << cut.errors;
  EXPECT_TRUE(Contains(cut.errors, "warning: --title: cut to 128 of its 130 characters")) << cut.errors;
  EXPECT_EQ(Book().Book().description[0], std::string(128, 't'));
}

// Characters of the description that Windows-1251 lacks take their nearest form, with a warning
// naming the option; the annotation file is read as the texts are.
TEST_F(MakeCommandTest, KeepsTheLettersOfTheDescription) {
  test::WriteBytes(dir_ / "cjk.txt", "\xE4\xB8\xAD");                        // U+4E2D in UTF-8
  test::WriteBytes(dir_ / "koi8.txt", "\xED\xC1\xCD\xC1 \xD2\xC1\xCD\xD5");  // "Мама раму" in KOI8-R
  const struct {
    std::string arguments;
    std::string warning;
    size_t field;
    std::string value;
  } cases[] = {
      {"--author 'Gr\xC3\xB6\xC3\x9F"
       "e'",
       "--author: 2 characters replaced: \"ö\" → \"o\", \"ß\" → \"ss\"", 2, "Grosse"},
      {"--annotation-file cjk.txt", "--annotation-file: 1 character replaced: \"中\" → \"zhong\"", 11,
       "zhong"},
      {"--annotation 'ok \xE2\x9C\x93'", "--annotation: 1 character dropped: \"✓\" dropped", 11,
       "ok"},  // blanks around are dropped
      {"--input-encoding KOI8-R --annotation-file koi8.txt", "", 11, "\xCC\xE0\xEC\xE0 \xF0\xE0\xEC\xF3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const test::CliRun run = Make("-o book.wol " + c.arguments + " en.txt");
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(run.errors, c.warning.empty() ? "" : "bookloom-cli: warning: " + c.warning + "\n");
    EXPECT_EQ(Book().Book().description[c.field], c.value);
  }
}

// The text options: an encoding for the files after it, chapters, joined lines, and what
// --verbose tells of them.
TEST_F(MakeCommandTest, ReadsTextsAsTheTextOptionsSay) {
  test::WriteBytes(dir_ / "koi8.txt", "\xED\xC1\xCD\xC1\n");
  test::WriteBytes(dir_ / "novel.txt", "CHAPTER 1\n\nOne.\n\nCHAPTER 2\n\nTwo\nlines.\n");
  const test::CliRun run = Make(
      "-v --chapters --unwrap on -o book.wol ru.txt --input-encoding KOI8-R koi8.txt --input-encoding auto "
      "novel.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  const BookContents book = Book().Book();
  EXPECT_EQ(book.sections.at(1).paragraphs.at(0), "\xCC\xE0\xEC\xE0");
  std::vector<std::string> titles;
  for (const TocRecord& r : book.toc) titles.push_back(std::to_string(r.level) + " " + r.title);
  EXPECT_EQ(titles, (std::vector<std::string>{"1 ru", "1 koi8", "1 novel", "2 CHAPTER 1", "2 CHAPTER 2"}));
  EXPECT_EQ(book.sections.back().paragraphs, (std::vector<std::string>{"CHAPTER 2", "", "Two lines."}));

  const test::CliRun automatic = Make("-v --unwrap auto -o book.wol novel.txt");
  EXPECT_TRUE(Contains(automatic.errors, "novel.txt: lines left alone: too few lines")) << automatic.errors;
  const struct {
    const char* arguments;
    const char* error;
  } wrong[] = {
      {"--input-encoding NO-SUCH en.txt", "iconv knows no encoding NO-SUCH"},
      {"--unwrap sometimes en.txt", "is one of off|on|auto, not sometimes"},
      {"--chapter-pattern '(' en.txt", "is no regular expression"},
  };
  for (const auto& c : wrong) {
    const test::CliRun refused = Make(std::string("-o book.wol ") + c.arguments);
    EXPECT_EQ(refused.status, 2) << c.arguments;
    EXPECT_TRUE(Contains(refused.errors, c.error)) << refused.errors;
  }
}

TEST_F(MakeCommandTest, TakesTheAnnotationFromAFileWithItsLineEnds) {
  test::WriteBytes(dir_ / "about.txt",
                   "First line\nSecond \xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xBA\xD0\xB0\r\n\n");
  const test::CliRun run = Make("-o book.wol --annotation-file about.txt en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  EXPECT_EQ(Book().Book().description[11], "First line\r\nSecond \xF1\xF2\xF0\xEE\xEA\xE0");
}

TEST_F(MakeCommandTest, WritesTheCoverInTheModeAsked) {
  const struct {
    std::string options;
    int bitCount;
  } cases[] = {
      {"--cover cover.png --cover-mode mono", 1},
      {"--cover cover.png --cover-mode=gray", 2},
      {"--cover cover.png", 2},
  };
  for (const auto& c : cases) {
    const test::CliRun run = Make("-o book.wol " + c.options + " en.txt");
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
  const test::CliRun run =
      Make("-o book.wol --cover cover.png --no-cover-enlarge --cover-margins 0,100,0,0 en.txt");
  ASSERT_EQ(run.status, 0) << run.errors;
  const BookReader reader = Book();
  const std::vector<uint8_t> greys =
      PackedRowsToGray(*reader.Book().cover, reader.DecodeRows(*reader.Book().cover));
  EXPECT_EQ(greys[400 * 600 + 99], 255);  // left of the picture at x = (500 - 300) / 2
  EXPECT_EQ(greys[400 * 600 + 101], 0);
  // A cover that cannot be used fails the build, or is left out with --skip-bad.
  EXPECT_TRUE(
      Contains(Make("-o book.wol --cover missing.png en.txt").errors, "cover missing.png: no such file"));
  const test::CliRun skipped = Make("-o book.wol --skip-bad --cover missing.png en.txt");
  EXPECT_EQ(skipped.status, 0);
  EXPECT_FALSE(Book().Book().cover.has_value());
}

// The picture options reach every picture of the book: black and white pages of one bit, and
// small pictures enlarged to the page.
TEST_F(MakeCommandTest, AppliesThePictureOptionsToEveryPicture) {
  const struct {
    const char* options;
    int bitCount;
    int darkWidth;  // of the 120 x 90 black picture's middle row
  } cases[] = {{"", 2, 120},
               {"--picture-mode mono", 1, 120},
               {"--enlarge", 2, 600},
               {"--enlarge --no-enlarge", 2, 120}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    ASSERT_EQ(Make(std::string("-o book.wol ") + c.options + " a.png b.png").status, 0);
    const BookReader reader = Book();
    ASSERT_EQ(reader.Book().sections.size(), 1u);
    for (const PictureData& p : reader.Book().sections[0].images) {
      EXPECT_EQ(p.bitCount, c.bitCount);
      const std::vector<uint8_t> greys = PackedRowsToGray(p, reader.DecodeRows(p));
      EXPECT_EQ(std::count(greys.begin() + 400 * 600, greys.begin() + 401 * 600, 0), c.darkWidth);
    }
  }
}

// A project saved by the window builds the same book as the same files and options given on the
// command line; options given beside the project take precedence.
TEST_F(MakeCommandTest, BuildsTheBookOfAProject) {
  test::WriteBytes(dir_ / "book.bookloom", R"({
  "format": "bookloom-project", "version": 1,
  "description": {"title": "From the project", "author": "Ann"},
  "cover": {"file": "cover.png", "mode": "mono", "enlarge": true, "margins": [0, 0, 0, 0]},
  "settings": {"picture": {"enlarge": false, "mode": "gray"}},
  "files": [{"path": "en.txt"}, {"path": "a.png", "settings": {"picture": {"enlarge": true, "mode": "mono"}}},
            {"path": "b.png"}]
})");
  ASSERT_EQ(Make("-o project.wol --project book.bookloom").status, 0);
  ASSERT_EQ(RunCli(dir_.Path(),
                   "make -o a.wol --title 'From the project' --author Ann --cover cover.png "
                   "--cover-mode mono --enlarge --picture-mode mono a.png")
                .status,
            0);
  ASSERT_EQ(Make("-o rest.wol --title 'From the project' --author Ann --cover cover.png --cover-mode mono "
                 "en.txt a.png b.png")
                .status,
            0);
  const BookReader project = Book("project.wol"), single = Book("a.wol"), rest = Book("rest.wol");
  EXPECT_EQ(project.Book().description, rest.Book().description);
  EXPECT_EQ(project.DecodeRows(*project.Book().cover), rest.DecodeRows(*rest.Book().cover));
  // a.png has its own settings: enlarged, black and white; b.png the book's.
  const auto& pictures = project.Book().sections.at(1).images;
  ASSERT_EQ(pictures.size(), 2u);
  const PictureData& own = single.Book().sections.at(0).images.at(0);
  EXPECT_EQ(project.DecodeRows(pictures[0]), single.DecodeRows(own));
  EXPECT_EQ(pictures[0].bitCount, 1);
  EXPECT_EQ(project.DecodeRows(pictures[1]), rest.DecodeRows(rest.Book().sections.at(1).images.at(1)));

  // Options beside the project win; a broken project fails the work, not the command line.
  ASSERT_EQ(Make("-o over.wol --project book.bookloom --title Other").status, 0);
  EXPECT_EQ(Book("over.wol").Book().description[0], "Other");
  test::WriteBytes(dir_ / "broken.bookloom", "{");
  const test::CliRun broken = Make("-o x.wol --project broken.bookloom");
  EXPECT_EQ(broken.status, 1);
  EXPECT_TRUE(Contains(broken.errors, "broken.bookloom\" is not a readable project")) << broken.errors;
}

// Pictures that become several pages, or a page with a warning: a spread split in reading order, the
// pages of a TIFF and the frames of a GIF, a JPEG cut short.
TEST_F(MakeCommandTest, MakesThePagesOfSpreadsFramesAndPicturesReadInPart) {
  REQUIRE_TESTDATA();
  std::vector<uint8_t> spread(1000 * 400, 0);
  for (int y = 0; y < 400; ++y) std::fill_n(spread.begin() + y * 1000 + 500, 500, 128);
  WriteGrayPng((dir_ / "spread.png").u16string(), 1000, 400, spread);
  fs::copy_file(test::TestDataPath("pictures/tiff/multipage.tiff"), dir_ / "pages.tiff");
  const std::string jpeg = test::ReadBytes(test::TestDataPath("pictures/jpeg/testorig.jpg"));
  test::WriteBytes(dir_ / "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  const struct {
    std::string arguments;
    size_t pages;
    std::vector<uint8_t> greys;  // of the halves of the spread, in the middle of each page
    std::string warning;
  } cases[] = {
      {"--split rtl spread.png", 2, {128, 0}, ""},
      {"--split ltr spread.png", 2, {0, 128}, ""},
      {"spread.png", 1, {}, ""},
      {"pages.tiff",
       1,
       {},
       "pages.tiff: 2 pages or frames of its 3 left out (--all-frames makes every one a page)"},
      {"--all-frames pages.tiff", 3, {}, ""},
      {"cut.jpg", 1, {}, "cut.jpg: the picture is incomplete (the file is cut short or damaged)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    const test::CliRun run = Make("-o book.wol " + c.arguments);
    ASSERT_EQ(run.status, 0) << run.errors;
    if (c.warning.empty())
      EXPECT_EQ(run.errors, "");
    else
      EXPECT_TRUE(Contains(run.errors, "bookloom-cli: warning: " + c.warning)) << run.errors;
    const BookReader reader = Book();
    ASSERT_EQ(reader.Book().sections.size(), 1u);
    const auto& pages = reader.Book().sections[0].images;
    ASSERT_EQ(pages.size(), c.pages);
    for (size_t i = 0; i < c.greys.size(); ++i)
      EXPECT_EQ(PackedRowsToGray(pages[i], reader.DecodeRows(pages[i]))[400 * 600 + 300], c.greys[i]) << i;
    ASSERT_EQ(reader.Book().toc.size(), 1u);  // one entry, at the first page
    EXPECT_EQ(reader.Book().toc[0].target, reader.Book().sections[0].position - reader.Book().bodyStart);
  }
}

// Margins that leave no room on the page are refused on the command line.
TEST_F(MakeCommandTest, RefusesMarginsThatLeaveNoRoom) {
  for (const char* arguments : {"make -o book.wol --cover cover.png --cover-margins 300,300,0,0 en.txt",
                                "make -o book.wol --cover cover.png --margins 0,0,799,1 en.txt",
                                "prepare a.png page.png --margins 0,0,400,400"}) {
    SCOPED_TRACE(arguments);
    const test::CliRun run = RunCli(dir_.Path(), arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(Contains(run.errors, "leave no room on a page")) << run.errors;
  }
  EXPECT_FALSE(fs::exists(dir_ / "book.wol"));
  EXPECT_EQ(Make("-o book.wol --cover cover.png --cover-margins 299,300,399,400 en.txt").status, 0);
}

// An e-book fills the description texts the command line leaves out and gives its cover unless
// --cover or --no-cover says otherwise; a folder is an input; damaged pages inside an input fail the
// build naming them, or are left out with --skip-bad.
TEST_F(MakeCommandTest, TakesBooksInOtherFormatsWithWhatTheyOffer) {
  test::WriteBytes(
      dir_ / "book.fb2",
      test::Fb2Book("<title-info><book-title>From FB2</book-title><author><last-name>Writer</last-name>"
                    "</author><coverpage><image l:href=\"#c\"/></coverpage></title-info>",
                    "<body><section><p>Text</p></section></body>",
                    test::Fb2Binary("c", test::JpegPicture(30, 40, 0))));
  fs::create_directory(dir_ / "album");
  test::WriteBytes(dir_ / "album" / "p1.jpg", test::JpegPicture(30, 40, 0));
  test::WriteBytes(dir_ / "comic.cbz",
                   test::ArchiveOf({{"1.jpg", test::JpegPicture(30, 40, 0)}, {"2.jpg", "damaged"}}));
  const struct {
    std::string arguments;
    std::string title, author;
    bool cover;
  } cases[] = {
      {"book.fb2", "From FB2", "Writer", true},
      {"--title Mine --no-cover book.fb2 album/", "Mine", "Writer", false},
      {"--cover cover.png en.txt book.fb2", "From FB2", "Writer", true},
      {"album", "(no title)", "(no author)", false},
  };
  for (const auto& c : cases) {
    const test::CliRun run = Make("-o book.wol " + c.arguments);
    ASSERT_EQ(run.status, 0) << c.arguments << run.errors;
    const BookReader reader = Book();
    EXPECT_EQ(reader.Book().description[0], c.title) << c.arguments;
    EXPECT_EQ(reader.Book().description[2], c.author) << c.arguments;
    EXPECT_EQ(reader.Book().cover.has_value(), c.cover) << c.arguments;
  }
  const test::CliRun failed = Make("-o book.wol comic.cbz");
  EXPECT_EQ(failed.status, 1);
  // Named before anything is written, every bad page in the layout of every bad input.
  EXPECT_TRUE(
      Contains(failed.errors,
               "comic.cbz: cannot be read: 1 picture cannot be decoded:\n    2.jpg: not a readable JPEG"))
      << failed.errors;
  EXPECT_TRUE(Contains(failed.errors, "(--skip-bad leaves them out)")) << failed.errors;
  const test::CliRun skipped = Make("--skip-bad -o book.wol comic.cbz");
  EXPECT_EQ(skipped.status, 0) << skipped.errors;
  EXPECT_TRUE(Contains(skipped.errors, "warning: ")) << skipped.errors;
  EXPECT_EQ(Book().Book().sections.at(0).images.size(), 1u);
  EXPECT_TRUE(Contains(Make("--help").out, "pictures of its pages for a scan (--document-mode)"));
}

TEST(FormatsCommand, PrintsATableOrTheFilter) {
  const test::ScratchDir dir;
  const test::CliRun table = RunCli(dir.Path(), "formats");
  ASSERT_EQ(table.status, 0);
  EXPECT_EQ(table.out.rfind("TYPE       DESCRIPTION", 0), 0u) << table.out;
  for (const char* row :
       {"\n.txt       Plain text file ", "\n.png       Portable network graphic images ",
        "\n.scr       Word 5.x screen capture images ", "\n.fb2.zip   FB2 books in zip archives ",
        "\n.cbr       Comic book RAR archives ", "\n.markdown  Markdown texts ", "\n.azw3      KF8 books "})
    EXPECT_TRUE(Contains(table.out, row)) << row;
  for (const char* reader : {"built-in\n", "libjpeg-turbo\n", "libpng\n", "GraphicsMagick\n", "libwebp\n",
                             "librsvg\n", "libjxl\n", "libheif\n", "libxml2\n", "libarchive, libxml2\n",
                             "libarchive\n", "poppler\n", "libmobi\n", "cmark\n", "DjVuLibre\n"})
    EXPECT_TRUE(Contains(table.out, reader)) << reader;
  EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 76);

  const test::CliRun filter = RunCli(dir.Path(), "formats --filter");
  EXPECT_EQ(filter.out.rfind("All supported formats|*.7z; *.avif; *.azw3; *.bmp; *.bw; *.cb7; ", 0), 0u)
      << filter.out;
  EXPECT_TRUE(Contains(filter.out, "|Windows bitmaps (*.bmp; *.dib; *.rle)|*.bmp; *.dib; *.rle|"))
      << filter.out;
}

}  // namespace
}  // namespace bookloom
