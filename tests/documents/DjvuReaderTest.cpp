// DjVu files made with DjVuLibre's own tools: their hidden text as the book's text, their outline and
// metadata, their pages as pictures, and the files that cannot be read.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "documents/DjvuReader.h"
#include "documents/DocumentOutline.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// A black rectangle on a page, in pixels from its top left corner.
struct Ink {
  int x, y, width, height;
};

// A bitonal page of 600 x 800 pixels with the inks on white, as a PBM picture.
std::string PbmPage(const std::vector<Ink>& inks) {
  const int width = 600, height = 800, rowBytes = (width + 7) / 8;
  std::string pixels(static_cast<size_t>(rowBytes) * height, '\0');
  for (const Ink& ink : inks)
    for (int y = ink.y; y < ink.y + ink.height; ++y)
      for (int x = ink.x; x < ink.x + ink.width; ++x)
        pixels[y * rowBytes + x / 8] = static_cast<char>(pixels[y * rowBytes + x / 8] | (0x80 >> (x % 8)));
  return "P4\n600 800\n" + pixels;
}

// A page with a black bar.
std::string BarPage() { return PbmPage({{100, 400, 200, 20}}); }

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

// The letters of a word printed from x to x + width on the line whose text stands from `top` 18 pixels
// down: ten pixels high, seven wide with three between.
void AddWord(std::vector<Ink>& inks, int x, int width, int top) {
  for (int letter = x; letter + 7 <= x + width; letter += 10) inks.push_back({letter, top + 4, 7, 10});
}

// figures.djvu: two pages of 100 pixels an inch with a line of text at the top and at the foot of
// each; the first holds a drawing between them (a frame of 300 x 200 pixels at 150, 300 around a
// block), which its text does not name, the second a heading of large letters above them and a frame
// around its first line.
bool MakeFigureBook(const test::ScratchDir& dir) {
  std::vector<Ink> text;
  for (const int top : {200, 600}) {
    AddWord(text, 60, 100, top);
    AddWord(text, 180, 60, top);
    AddWord(text, 260, 120, top);
  }
  std::vector<Ink> drawing = text;
  for (const Ink part : {Ink{150, 300, 300, 4}, Ink{150, 496, 300, 4}, Ink{150, 300, 4, 200},
                         Ink{446, 300, 4, 200}, Ink{250, 380, 100, 40}})
    drawing.push_back(part);
  test::WriteBytes(dir / "drawing.pbm", PbmPage(drawing));
  // The second page's heading: letters so high that the scan's own segmentation keeps its line whole;
  // and a frame around its first line of text.
  for (int letter = 60; letter < 300; letter += 40) text.push_back({letter, 60, 30, 60});
  for (const Ink part :
       {Ink{50, 185, 350, 4}, Ink{50, 231, 350, 4}, Ink{50, 185, 4, 50}, Ink{396, 185, 4, 50}})
    text.push_back(part);
  test::WriteBytes(dir / "text.pbm", PbmPage(text));
  // The words in pixels from the page's foot: a line's text stands 582 to 600 and 182 to 200.
  const auto page = [](const char* first, const char* second) {
    return std::string("(page 0 0 600 800\n") + " (line 60 582 380 600 (word 60 582 160 600 \"" + first +
           "\") (word 180 582 240 600 \"the\") (word 260 582 380 600 \"figure.\"))\n" +
           " (line 60 182 380 200 (word 60 182 160 200 \"" + second +
           "\") (word 180 182 240 200 \"the\") (word 260 182 380 200 \"figure.\")))\n";
  };
  test::WriteBytes(dir / "drawing.txt", page("Before", "After"));
  std::string withHeading = page("Without", "Beside");
  withHeading.insert(withHeading.find('\n') + 1,
                     " (line 60 680 300 740 (word 60 680 300 740 \"Heading\"))\n");
  test::WriteBytes(dir / "text.txt", withHeading);
  return Run(dir,
             "cjb2 -dpi 100 drawing.pbm p1.djvu && cjb2 -dpi 100 text.pbm p2.djvu && "
             "djvused p1.djvu -e 'select 1; set-txt drawing.txt' -s && "
             "djvused p2.djvu -e 'select 1; set-txt text.txt' -s && djvm -c figures.djvu p1.djvu p2.djvu");
}

TEST(DjvuReader, FiguresOnPagesWithTextArePicturesWhereTheyStand) {
  const test::ScratchDir dir;
  if (!MakeFigureBook(dir)) GTEST_SKIP() << "DjVuLibre's tools (djvulibre-bin) are missing";
  const Document text = ReadDjvu(TestRuntime(), (dir / "figures.djvu").u16string(), DocumentMode::kText);
  // The drawing, at 108, 216 points (with the rim its edges' greys give it); nothing is found on the page of text alone, whose heading and box
  // are text.
  EXPECT_EQ(test::OutlineOf(text),
            "Before the figure.\n[page 1, picture at 107, 215]\nAfter the figure.\n"
            "#1 Heading\nHeading\nWithout the figure.\nBeside the figure.\n");
  ASSERT_EQ(text.pictures->Count(), 2u);  // the frame and the cover
  // The page of text alone has room beside its framed box, but no ink there for a figure: it is not
  // searched.
  EXPECT_EQ(text.notes,
            std::vector<std::string>{"figures looked for on 1 of its 2 pages (2 with room for one)"});
  // The drawing is cut from the page: the frame dark at its edges, white within, the block dark.
  const auto frame = text.pictures->Decode(0);
  EXPECT_NEAR(frame->Width(), 452, 3);
  EXPECT_NEAR(frame->Height(), 302, 3);
  const uint8_t* middle = frame->Row(frame->Height() / 2);
  EXPECT_LT(middle[2], 64);
  EXPECT_GT(middle[frame->Width() / 6], 192);
  EXPECT_LT(middle[frame->Width() / 2], 64);
}

// A page of 600 x 800 pixels turned as the file says (a quarter turn counter-clockwise at a time),
// with two lines of two words: as it is shown, "Alpha beta" at 100 to 320 across and 100 to 120 down,
// "gamma delta." at 124 to 144 down. The words are stored in the page's pixels before it is turned, from
// its foot.
struct TurnedPage {
  int turn;
  const char* words[4][4];  // x0, y0, x1, y1 of Alpha, beta, gamma and delta.
};

// turned.djvu: the bar page with the words of text.txt, turned.
bool MakeTurnedPage(const test::ScratchDir& dir, int turn) {
  test::WriteBytes(dir / "page.pbm", BarPage());
  return Run(dir,
             "cjb2 -dpi 100 page.pbm turned.djvu && djvused turned.djvu -e 'select 1; set-txt text.txt; "
             "set-rotation " +
                 std::to_string(turn) + "' -s");
}

TEST(DjvuReader, TurnedPagesReadInTheirShownOrder) {
  const TurnedPage cases[] = {
      {0,
       {{"100", "680", "200", "700"},
        {"220", "680", "320", "700"},
        {"100", "656", "200", "676"},
        {"220", "656", "320", "676"}}},
      {1,
       {{"480", "600", "500", "700"},
        {"480", "480", "500", "580"},
        {"456", "600", "476", "700"},
        {"456", "480", "476", "580"}}},
      {2,
       {{"400", "100", "500", "120"},
        {"280", "100", "380", "120"},
        {"400", "124", "500", "144"},
        {"280", "124", "380", "144"}}},
      {3,
       {{"100", "100", "120", "200"},
        {"100", "220", "120", "320"},
        {"124", "100", "144", "200"},
        {"124", "220", "144", "320"}}},
  };
  const char* const names[] = {"Alpha", "beta", "gamma", "delta."};
  for (const TurnedPage& c : cases) {
    const test::ScratchDir dir;
    std::string zones = "(page 0 0 600 800";
    for (int w = 0; w < 4; ++w) {
      const auto& b = c.words[w];
      zones +=
          std::string(" (word ") + b[0] + " " + b[1] + " " + b[2] + " " + b[3] + " \"" + names[w] + "\")";
    }
    test::WriteBytes(dir / "text.txt", zones + ")\n");
    if (!MakeTurnedPage(dir, c.turn)) GTEST_SKIP() << "DjVuLibre's tools (djvulibre-bin) are missing";
    const Document document = ReadDjvu(TestRuntime(), (dir / "turned.djvu").u16string(), DocumentMode::kText);
    EXPECT_EQ(test::OutlineOf(document), "Alpha beta gamma delta.\n") << "turned " << c.turn;
    // The page is rendered as it is shown: a quarter turn makes it wider than high.
    const auto page = document.pictures->Decode(document.cover.value());
    EXPECT_EQ(page->Width() > page->Height(), c.turn % 2 == 1) << "turned " << c.turn;
  }
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
