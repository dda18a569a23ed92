// DjVu files made with DjVuLibre's own tools: their hidden text as the book's text, their outline and
// metadata, their pages as pictures, and the files that cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>

#include "documents/DjvuReader.h"
#include "documents/DocumentOutline.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// A bitonal page of 600 x 800 pixels with a black bar, as a PBM picture.
std::string BarPage() {
  const int width = 600, height = 800, rowBytes = (width + 7) / 8;
  std::string pbm = "P4\n600 800\n";
  for (int y = 0; y < height; ++y) {
    std::string row(rowBytes, '\0');
    if (y >= 400 && y < 420)
      for (int x = 100; x < 300; ++x) row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
    pbm += row;
  }
  return pbm;
}

// Runs a command of DjVuLibre's tools in `dir`; false when it fails or the tools are missing.
bool Run(const test::ScratchDir& dir, const std::string& command) {
  return std::system(("cd " + test::Quoted(dir.Path()) + " && " + command + " >/dev/null 2>&1").c_str()) == 0;
}

// book.djvu: two pages of 100 pixels an inch, the first with two lines of hidden text, an outline
// and a title and author.
bool MakeBook(const test::ScratchDir& dir) {
  test::WriteBytes(dir / "page.pbm", BarPage());
  test::WriteBytes(
      dir / "text.txt",
      "(page 0 0 600 800\n"
      " (line 100 680 500 700 (word 100 680 200 700 \"Hello\") (word 210 680 300 700 \"world,\"))\n"
      " (line 100 650 500 670 (word 100 650 300 670 \"second\") (word 310 650 400 670 \"line.\")))\n");
  test::WriteBytes(dir / "outline.txt",
                   "(bookmarks (\"Chapter One\" \"#1\") (\"Chapter Two\" \"#2\" (\"Deeper\" \"#2\")) "
                   "(\"Lost\" \"#9\"))\n");
  test::WriteBytes(dir / "meta.txt", "title \"A DjVu Book\"\nauthor \"Some Author\"\n");
  return Run(dir,
             "cjb2 -dpi 100 page.pbm p1.djvu && cp p1.djvu p2.djvu && "
             "djvused p1.djvu -e 'select 1; set-txt text.txt' -s && djvm -c book.djvu p1.djvu p2.djvu && "
             "djvused book.djvu -e 'set-outline outline.txt; create-shared-ant; set-meta meta.txt' -s");
}

TEST(DjvuReader, ReadsHiddenTextOutlineAndMetadata) {
  const test::ScratchDir dir;
  if (!MakeBook(dir)) GTEST_SKIP() << "DjVuLibre's tools (djvulibre-bin) are missing";
  const std::u16string book = (dir / "book.djvu").u16string();
  const Document text = ReadDjvu(TestRuntime(), book, DocumentMode::kText);
  EXPECT_EQ(Utf16ToUtf8(text.info.title), "A DjVu Book");
  EXPECT_EQ(Utf16ToUtf8(text.info.author), "Some Author");
  // The page without text is a picture of the whole page.
  EXPECT_EQ(test::OutlineOf(text),
            "#1 Chapter One\nHello world,\nsecond line.\n#1 Chapter Two\n#2 Deeper\n[page 2]\n");
  ASSERT_EQ(text.warnings.size(), 1u);
  EXPECT_NE(text.warnings[0].find("\"Lost\" leads to no page"), std::string::npos) << text.warnings[0];

  const Document pages = ReadDjvu(TestRuntime(), book, DocumentMode::kPages);
  EXPECT_EQ(test::OutlineOf(pages), "#1 Chapter One\n[page 1]\n#1 Chapter Two\n#2 Deeper\n[page 2]\n");
  const auto page = pages.pictures->Decode(1);
  EXPECT_EQ(page->Width(), 600);
  EXPECT_EQ(page->Height(), 800);
  // The bar (pixels 100 to 300 across, 400 to 420 down) is black on white at the page's scale.
  EXPECT_LT(page->Row(410)[200], 64);
  EXPECT_GT(page->Row(300)[200], 192);
  EXPECT_GT(page->Row(390)[200], 192);

  // Two short lines are too little text to read a scan as text.
  const Document chosen = ReadDjvu(TestRuntime(), book, DocumentMode::kAuto);
  EXPECT_EQ(test::OutlineOf(chosen), test::OutlineOf(pages));
  ASSERT_EQ(chosen.notes.size(), 1u);
  EXPECT_NE(chosen.notes[0].find("0 of 2 pages have a text layer"), std::string::npos) << chosen.notes[0];
}

TEST(DjvuReader, RefusesDamagedFilesNamingThePartThatFailed) {
  const test::ScratchDir dir;
  if (!MakeBook(dir)) GTEST_SKIP() << "DjVuLibre's tools (djvulibre-bin) are missing";
  const std::string book = test::ReadBytes(dir / "book.djvu");
  test::WriteBytes(dir / "text.djvu", "this is no DjVu file");
  test::WriteBytes(dir / "torn.djvu", book.substr(0, 40));
  test::WriteBytes(dir / "cut.djvu", book.substr(0, book.size() * 3 / 4));
  for (const char* name : {"text.djvu", "torn.djvu", "cut.djvu"}) {
    try {
      const Document document = ReadDjvu(TestRuntime(), (dir / name).u16string(), DocumentMode::kPages);
      for (size_t i = 0; i < document.pictures->Count(); ++i) document.pictures->Decode(i);
      ADD_FAILURE() << name << ": no error";
    } catch (const DocumentError& e) {
      const bool named = e.Reason().find("not a DjVu file, or a damaged one") != std::string::npos ||
                         e.Reason().find("the page cannot be read") != std::string::npos;
      EXPECT_TRUE(named) << name << ": " << e.Reason();
      EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace bookloom
