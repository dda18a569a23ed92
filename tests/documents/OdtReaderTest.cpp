// OpenDocument texts made in the test: headings by outline level and by style, a numbered list with a
// nested bulleted one, a note, a picture and the metadata; and damaged or encrypted documents.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/OdtReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

constexpr char kNamespaces[] =
    "xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\" "
    "xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\" "
    "xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\" "
    "xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\" "
    "xmlns:draw=\"urn:oasis:names:tc:opendocument:xmlns:drawing:1.0\" "
    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
    "xmlns:meta=\"urn:oasis:names:tc:opendocument:xmlns:meta:1.0\"";

const std::string kText =
    "<text:sequence-decls><text:sequence-decl text:name=\"Figure\"/></text:sequence-decls>"
    "<text:table-of-content><text:index-body><text:p>Chapter One "
    "1</text:p></text:index-body></text:table-of-content>"
    "<text:p>Before the first heading.</text:p>"
    "<text:h text:outline-level=\"1\">Chapter <text:span>One</text:span></text:h>"
    "<text:p>Text with a note<text:note "
    "text:note-class=\"footnote\"><text:note-citation>1</text:note-citation>"
    "<text:note-body><text:p>The note.</text:p></text:note-body></text:note> and<text:s "
    "text:c=\"3\"/>spaces.</text:p>"
    "<text:list text:style-name=\"L1\"><text:list-item><text:p>first</text:p><text:list><text:list-item>"
    "<text:p>inner</text:p></text:list-item></text:list></text:list-item><text:list-item><text:p>second</"
    "text:p>"
    "</text:list-item></text:list>"
    "<text:p><draw:frame><draw:image xlink:href=\"Pictures/a.jpg\"/></draw:frame></text:p>"
    "<text:p text:style-name=\"P1\">Part Two</text:p>"
    "<text:h text:outline-level=\"1\">Chapter Two</text:h>"
    "<table:table><table:table-row><table:table-cell><text:p>cell</text:p></table:table-cell></"
    "table:table-row>"
    "</table:table>";

Entries Odt(const std::string& text = kText) {
  return {{"mimetype", "application/vnd.oasis.opendocument.text"},
          {"content.xml", std::string("<office:document-content ") + kNamespaces +
                              "><office:automatic-styles><style:style style:name=\"P1\" "
                              "style:parent-style-name=\"Heading_20_2\"/></office:automatic-styles>"
                              "<office:body><office:text>" +
                              text + "</office:text></office:body></office:document-content>"},
          {"styles.xml",
           std::string("<office:document-styles ") + kNamespaces +
               "><office:styles><style:style style:name=\"Heading_20_2\" style:display-name=\"Heading 2\"/>"
               "<text:list-style style:name=\"L1\"><text:list-level-style-number text:level=\"1\" "
               "style:num-suffix=\")\" style:num-format=\"a\"/><text:list-level-style-bullet "
               "text:level=\"2\" text:bullet-char=\"-\"/></text:list-style></office:styles>"
               "</office:document-styles>"},
          {"meta.xml", std::string("<office:document-meta ") + kNamespaces +
                           "><office:meta><dc:title>The Title</dc:title><meta:initial-creator>Ann Author"
                           "</meta:initial-creator></office:meta></office:document-meta>"},
          {"Pictures/a.jpg", test::JpegPicture(30, 20, 100)}};
}

Document Read(const test::ScratchDir& dir, const Entries& entries) {
  test::WriteBytes(dir / "a.odt", test::ArchiveOf(entries));
  return ReadOdt(TestRuntime(), (dir / "a.odt").u16string());
}

TEST(OdtReader, ReadsHeadingsListsNotesPicturesAndMetadata) {
  const test::ScratchDir dir;
  const Document document = Read(dir, Odt());
  EXPECT_EQ(Utf16ToUtf8(document.info.title), "The Title");
  EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author");
  EXPECT_EQ(test::OutlineOf(document),
            "Before the first heading.\n"
            "#1 Chapter One\nChapter One\n"
            "Text with a note[1] and spaces.\n"
            "a) first\n- inner\nb) second\n"
            "[Pictures/a.jpg]\n"
            "[1] The note.\n"  // the note ends its section
            "#2 Part Two\nPart Two\n"
            "#1 Chapter Two\nChapter Two\ncell\n");
}

TEST(OdtReader, RefusesDamagedAndEncryptedDocuments) {
  Entries encrypted = Odt();
  encrypted.push_back(
      {"META-INF/manifest.xml", "<manifest:manifest><manifest:encryption-data/></manifest:manifest>"});
  Entries broken = Odt();
  broken[1].second = "<office:document-content>";
  const struct {
    const char* name;
    Entries entries;
    const char* reason;
  } cases[] = {
      {"encrypted", encrypted, "META-INF/manifest.xml: the document is encrypted"},
      {"not well formed", broken, "content.xml: the XML is not well formed"},
      {"no text", Entries{{"mimetype", "x"}}, "content.xml: the document's text is missing from the file"},
  };
  for (const auto& c : cases) {
    const test::ScratchDir dir;
    const std::string refusal = test::RefusalOf([&] { Read(dir, c.entries); });
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.name << ": " << refusal;
  }
}

}  // namespace
}  // namespace bookloom
