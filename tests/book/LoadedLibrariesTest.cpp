// A build loads the libraries of the system, the program's modules and the Windows-1251 fallback into
// its Runtime only when an input needs them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "pictures/CoverPage.h"
#include "platform/PngFile.h"
#include "platform/Runtime.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestScans.h"

namespace bookloom {
namespace {

// What the run has loaded, each library without its version ("libxml2" of "libxml2.so.2").
std::vector<std::string> LoadedBy(const std::vector<std::string>& inputs, const test::ScratchDir& dir) {
  const Runtime runtime;
  FileList files;
  for (const std::string& input : inputs) files.Add(MakeInputItem(runtime, (dir / input).u16string()));
  BuildBookInMemory(runtime, files, BookDescription(), CoverPage());
  std::vector<std::string> names = runtime.LoadedNames();
  for (std::string& name : names) name = name.substr(0, name.find(".so"));
  return names;
}

TEST(Runtime, ABuildLoadsOnlyWhatItsInputsNeed) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "a.txt", "Текст\n");
  WriteGrayPng((dir / "b.png").u16string(), 2, 2, {0, 64, 128, 255});
  test::WriteBytes(dir / "d.txt", "Café\n");
  const test::TestScan scan =
      test::MakeTestScan({.width = 600, .height = 800, .fontPixels = 20, .paragraphs = 2});
  test::WriteBytes(dir / "e.pdf", test::PdfOfScans({&scan.page}));
  test::WriteBytes(dir / "c.fb2", test::Fb2Book("<title-info><book-title>Книга</book-title></title-info>",
                                                "<section><p>Текст</p></section>"));
  const struct {
    std::vector<std::string> inputs, loaded;
  } cases[] = {
      {{"a.txt"}, {}},
      {{"a.txt", "b.png"}, {"picture decoders"}},  // libpng is linked in: the table of decoders alone
      {{"c.fb2", "a.txt"}, {"libxml2"}},           // a book without pictures needs no decoder
      {{"d.txt"}, {"Windows-1251 fallback"}},      // only for a character the code page lacks
      {{"e.pdf"}, {"bookloom-pdf", "liblept"}},    // a scanned page is cleaned with Leptonica
  };
  for (const auto& c : cases) EXPECT_EQ(LoadedBy(c.inputs, dir), c.loaded) << c.inputs.front();
}

}  // namespace
}  // namespace bookloom
