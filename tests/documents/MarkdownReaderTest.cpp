// Markdown files: a YAML block's title and authors, headings, lists, code, pictures beside the file,
// and a picture that is missing.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/MarkdownReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

const std::string kMarkdown =
    "---\ntitle: \"The Title\"\nauthor:\n  - Ann Author\n  - 'Bob Writer'\n---\n\n"
    "Before the *first* heading,\nsoftly wrapped.\n\n"
    "# Chapter One\n\n"
    "1. first\n2. second\n   - inner\n\n"
    "> quoted `code`\n\n"
    "![the alt text](pics/a%20b.jpg \"title\")\n\n"
    "    indented  code\n    second line\n\n"
    "## Section\n\n"
    "Setext Chapter\n==============\n\ntext<br>raw\n";

TEST(MarkdownReader, ReadsTheYamlBlockHeadingsListsCodeAndPictures) {
  const test::ScratchDir dir;
  std::filesystem::create_directory(dir / "pics");
  test::WriteBytes(dir / "pics" / "a b.jpg", test::JpegPicture(30, 20, 100));
  test::WriteBytes(dir / "book.md", kMarkdown);
  const Document document = ReadMarkdownFile(TestRuntime(), (dir / "book.md").u16string());
  EXPECT_EQ(Utf16ToUtf8(document.info.title), "The Title");
  EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author, Bob Writer");
  EXPECT_EQ(test::OutlineOf(document),
            "Before the first heading, softly wrapped.\n"
            "#1 Chapter One\nChapter One\n"
            "1. first\n2. second\n\xE2\x80\xA2 inner\n"
            "quoted code\n"
            "[pics/a b.jpg]\n"
            "indented  code\nsecond line\n"
            "#2 Section\nSection\n"
            "#1 Setext Chapter\nSetext Chapter\ntextraw\n");
  EXPECT_EQ(document.pictures->Decode(0)->Width(), 30);
}

TEST(MarkdownReader, WithoutAClosingLineTheYamlBlockIsText) {
  const Document document = ReadMarkdown(TestRuntime(), "---\ntitle: x\n", u"a.md");
  EXPECT_TRUE(document.info.title.empty());
  EXPECT_EQ(test::OutlineOf(document), "title: x\n");  // the "---" is a rule
}

TEST(MarkdownReader, LeavesOutAMissingPictureOrOneOnTheWebWithAWarning) {
  const struct {
    std::string markdown, warning;
  } cases[] = {{"![x](missing.png)", "is missing"},
               {"![x](http://example.com/a.png)", "is not next to the page"}};
  for (const auto& c : cases) {
    const Document document = ReadMarkdown(TestRuntime(), c.markdown, u"/nonexistent/a.md");
    ASSERT_EQ(document.warnings.size(), 1u) << c.markdown;
    EXPECT_NE(document.warnings[0].find(c.warning), std::string::npos) << document.warnings[0];
  }
}

}  // namespace
}  // namespace bookloom
