// PDF files: pages rendered in greys at a resolution that covers the screen, the outline placed at
// the pages it leads to, and the files that cannot be read.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "documents/DocumentOutline.h"
#include "documents/PdfReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

TEST(PdfReader, RendersPagesToCoverTheScreen) {
  const struct {
    double width, height;
    int pixelWidth, pixelHeight;
  } cases[] = {
      {600, 800, 600, 800},   // the screen's own shape
      {300, 400, 600, 800},   // small pages are rendered larger
      {595, 842, 600, 849},   // A4 covers the screen's width
      {842, 595, 1132, 800},  // a spread of two pages covers its height, for cutting in two
      {100, 5000, 64, 3200},  // at most four times the screen on a side
  };
  for (const auto& c : cases) {
    const double resolution = PageRenderResolution(c.width, c.height);
    EXPECT_NEAR(c.width * resolution / 72, c.pixelWidth, 1) << c.width << "x" << c.height;
    EXPECT_LE(c.height * resolution / 72, c.pixelHeight + 1) << c.width << "x" << c.height;
  }
}

TEST(PdfReader, ReadsPagesOutlineAndTitle) {
  const test::ScratchDir dir;
  test::WriteBytes(
      dir / "scan.pdf",
      test::PdfOf({{300, 400, 0}, {600, 400, 0.5}, {300, 400, 1}},
                  {{"Part", 1}, {"Chapter", 2, 0}, {"Deeper", 2, 1}, {"Deepest", 3, 2}, {"Appendix", 3}},
                  "Scanned"));
  const Document document = ReadPdf(TestRuntime(), (dir / "scan.pdf").u16string());
  EXPECT_EQ(Utf16ToUtf8(document.info.title), "Scanned");
  EXPECT_EQ(test::OutlineOf(document),
            "#1 Part\n[page 1]\n#2 Chapter\n#3 Deeper\n[page 2]\n#3 Deepest\n#1 Appendix\n[page 3]\n");
  EXPECT_EQ(document.cover, 0u);
  const struct {
    size_t page;
    int width, height, grey;
  } pages[] = {{0, 600, 800, 0}, {1, 1200, 800, 128}, {2, 600, 800, 255}};
  for (const auto& p : pages) {
    const auto graphic = document.pictures->Decode(p.page);
    EXPECT_EQ(graphic->Width(), p.width) << p.page;
    EXPECT_EQ(graphic->Height(), p.height) << p.page;
    EXPECT_NEAR(graphic->Row(p.height / 2)[3 * (p.width / 2)], p.grey, 2) << p.page;
  }
}

// The outline is read through a file name relative to the working folder as well, and an entry that
// leads out of the document is reported, never dropped unseen.
TEST(PdfReader, ReadsTheOutlineOfARelativePathAndWarnsOfEntriesLeadingNowhere) {
  const test::ScratchDir dir;
  test::WriteBytes(dir / "manual.pdf",
                   test::PdfOf({{300, 400, 1}, {300, 400, 1}}, {{"Start", 1}, {"Website", 0}, {"End", 2}}));
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  Document document;
  try {
    document = ReadPdf(TestRuntime(), u"manual.pdf");
  } catch (...) {
    std::filesystem::current_path(before);
    throw;
  }
  std::filesystem::current_path(before);
  EXPECT_EQ(test::OutlineOf(document), "#1 Start\n[page 1]\n#1 End\n[page 2]\n");
  ASSERT_EQ(document.warnings.size(), 1u);
  EXPECT_NE(document.warnings[0].find("\"Website\" leads to no page"), std::string::npos)
      << document.warnings[0];
}

TEST(PdfReader, RefusesFilesItCannotRead) {
  const test::ScratchDir dir;
  const std::string pdf = test::PdfOf({{300, 400, 0}});
  test::WriteBytes(dir / "locked.pdf", test::EncryptedPdf());
  test::WriteBytes(dir / "text.pdf", "this is no PDF");
  test::WriteBytes(dir / "torn.pdf", pdf.substr(0, 20));
  // An object number that would have poppler make room for 22 million objects, far behind the
  // first megabyte that the check reads at once.
  test::WriteBytes(dir / "vast.pdf", pdf + std::string(1 << 20, ' ') + "\n22334454 0 obj\n<<>>\nendobj\n");
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {{"locked.pdf", "encrypted: it opens only with its password"},
               {"text.pdf", "not a PDF file, or a damaged one"},
               {"torn.pdf", "not a PDF file, or a damaged one"},
               {"vast.pdf", "damaged: it names object 22334454, more than a file of"}};
  for (const auto& c : cases) {
    try {
      ReadPdf(TestRuntime(), (dir / c.file).u16string());
      ADD_FAILURE() << c.file << ": no error";
    } catch (const DocumentError& e) {
      EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << c.file << ": " << e.Reason();
    }
  }
}

TEST(PdfReader, FindsTheLargestObjectNumberAPdfNamesOrMakesRoomFor) {
  const struct {
    std::string_view bytes;
    int64_t largest;
  } cases[] = {
      {"1 0 obj\n<<>>\nendobj\n12 0 obj", 12},
      {"x12 0 obj 7 0 obj", 7},  // a number inside a word is no object's
      {"trailer\n<< /Size 40 /Root 1 0 R >>", 40},
      {"xref\n100 5\n0000000000 65535 f", 105},
      {"<< /Type /XRef /Index [0 5 300 2] >>", 302},
      {"/Index [1 99999999999999999999999999]", int64_t{1} << 62},  // no overflow
      {"endobj stream", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(LargestPdfObjectNumber(c.bytes), c.largest) << c.bytes;
}

}  // namespace
}  // namespace bookloom
