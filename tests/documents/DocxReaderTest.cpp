// Word documents made in the test: headings by style and by outline level, a numbered list with a
// nested bulleted one, a footnote, a picture and the core properties; and damaged documents.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/DocxReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

constexpr char kW[] = "xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"";

std::string Run(const std::string& text) {
  return "<w:r><w:t xml:space=\"preserve\">" + text + "</w:t></w:r>";
}
std::string Para(const std::string& properties, const std::string& runs) {
  return "<w:p><w:pPr>" + properties + "</w:pPr>" + runs + "</w:p>";
}
std::string Item(int numId, int level, const std::string& text) {
  return Para("<w:numPr><w:ilvl w:val=\"" + std::to_string(level) + "\"/><w:numId w:val=\"" +
                  std::to_string(numId) + "\"/></w:numPr>",
              Run(text));
}

const std::string kBody =
    Para("", Run("Before the first heading.")) +
    Para("<w:pStyle w:val=\"Heading1\"/>", Run("Chapter ") + Run("One")) +
    Para("", Run("Text with a note") + "<w:r><w:footnoteReference w:id=\"2\"/></w:r>" +
                 Run(" and a\tdeleted") + "<w:del><w:r><w:delText>gone</w:delText></w:r></w:del>" +
                 Run(" word.")) +
    Item(1, 0, "first") + Item(1, 1, "inner") + Item(1, 0, "second") +
    Para("",
         "<w:r><w:drawing><wp:inline xmlns:wp=\"x\"><a:graphic xmlns:a=\"y\"><a:graphicData><pic:pic "
         "xmlns:pic=\"z\"><pic:blipFill><a:blip xmlns:r=\"r\" r:embed=\"rId5\"/></pic:blipFill></pic:pic>"
         "</a:graphicData></a:graphic></wp:inline></w:drawing></w:r>") +
    Para("<w:pStyle w:val=\"Sub\"/>", Run("Part Two")) +
    Para("<w:outlineLvl w:val=\"0\"/>", Run("Chapter Two")) + "<w:tbl><w:tr><w:tc>" + Para("", Run("cell")) +
    "</w:tc></w:tr></w:tbl>" +
    Para("", "<mc:AlternateContent xmlns:mc=\"m\"><mc:Choice>" + Run("choice") + "</mc:Choice><mc:Fallback>" +
                 Run("fallback") + "</mc:Fallback></mc:AlternateContent>");

const std::string kStyles =
    std::string("<w:styles ") + kW +
    "><w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/>"
    "</w:style><w:style w:type=\"paragraph\" w:styleId=\"Inner\"><w:pPr><w:outlineLvl "
    "w:val=\"1\"/></w:pPr></w:style><w:style w:type=\"paragraph\" w:styleId=\"Sub\">"
    "<w:basedOn w:val=\"Inner\"/></w:style></w:styles>";

const std::string kNumbering =
    std::string("<w:numbering ") + kW +
    "><w:abstractNum w:abstractNumId=\"7\"><w:lvl w:ilvl=\"0\"><w:start w:val=\"1\"/><w:numFmt "
    "w:val=\"decimal\"/>"
    "<w:lvlText w:val=\"%1.\"/></w:lvl><w:lvl w:ilvl=\"1\"><w:numFmt w:val=\"bullet\"/><w:lvlText "
    "w:val=\"\xEF\x82\xB7\"/></w:lvl></w:abstractNum><w:num w:numId=\"1\"><w:abstractNumId "
    "w:val=\"7\"/></w:num>"
    "</w:numbering>";

const std::string kFootnotes = std::string("<w:footnotes ") + kW +
                               "><w:footnote w:type=\"separator\" w:id=\"0\"><w:p>" + Run("----") +
                               "</w:p></w:footnote>"
                               "<w:footnote w:id=\"2\"><w:p>" +
                               Run("The note.") + "</w:p></w:footnote></w:footnotes>";

Entries Docx(const std::string& body = kBody) {
  return {
      {"_rels/.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship "
       "Id=\"rId1\" "
       "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
       "Target=\"word/document.xml\"/></Relationships>"},
      {"word/document.xml",
       std::string("<w:document ") + kW + "><w:body>" + body + "<w:sectPr/></w:body></w:document>"},
      {"word/_rels/document.xml.rels",
       "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
       "<Relationship Id=\"rId5\" Type=\"image\" Target=\"media/image1.jpeg\"/>"
       "<Relationship Id=\"rId6\" Type=\"hyperlink\" Target=\"http://x\" "
       "TargetMode=\"External\"/></Relationships>"},
      {"word/styles.xml", kStyles},
      {"word/numbering.xml", kNumbering},
      {"word/footnotes.xml", kFootnotes},
      {"word/media/image1.jpeg", test::JpegPicture(30, 20, 100)},
      {"docProps/core.xml",
       "<cp:coreProperties xmlns:cp=\"c\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>The Title"
       "</dc:title><dc:creator>Ann Author</dc:creator><dc:description>About it.</dc:description>"
       "</cp:coreProperties>"}};
}

Document Read(const test::ScratchDir& dir, const Entries& entries) {
  test::WriteBytes(dir / "a.docx", test::ArchiveOf(entries));
  return ReadDocx(TestRuntime(), (dir / "a.docx").u16string());
}

TEST(DocxReader, ReadsHeadingsListsNotesPicturesAndProperties) {
  const test::ScratchDir dir;
  const Document document = Read(dir, Docx());
  EXPECT_EQ(Utf16ToUtf8(document.info.title), "The Title");
  EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author");
  EXPECT_EQ(Utf16ToUtf8(document.info.annotation), "About it.");
  EXPECT_EQ(test::OutlineOf(document),
            "Before the first heading.\n"
            "#1 Chapter One\nChapter One\n"
            "Text with a note[1] and a deleted word.\n"
            "1. first\n\xE2\x80\xA2 inner\n2. second\n"
            "[word/media/image1.jpeg]\n"
            "[1] The note.\n"  // the note ends its section
            "#2 Part Two\nPart Two\n"
            "#1 Chapter Two\nChapter Two\ncell\nchoice\n");
  ASSERT_EQ(document.pictures->Count(), 1u);
  EXPECT_EQ(document.pictures->Decode(0)->Width(), 30);
}

TEST(DocxReader, LeavesOutAPictureMissingFromTheFileWithAWarning) {
  Entries entries = Docx();
  std::erase_if(entries, [](const auto& e) { return e.first == "word/media/image1.jpeg"; });
  const test::ScratchDir dir;
  test::WriteBytes(dir / "a.docx", test::ArchiveOf(entries));
  const Document document = ReadDocx(TestRuntime(), (dir / "a.docx").u16string());
  EXPECT_EQ(document.pictures->Count(), 0u);
  EXPECT_EQ(document.warnings, std::vector<std::string>{
                                   "word/media/image1.jpeg: the picture is missing from the file: left out"});
}

TEST(DocxReader, RefusesDamagedDocuments) {
  const auto without = [](Entries entries, const std::string& name) {
    std::erase_if(entries, [&](const auto& e) { return e.first == name; });
    return entries;
  };
  Entries broken = Docx();
  broken[1].second = "<w:document><w:body>";
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } cases[] = {
      {"no text", test::ArchiveOf(without(Docx(), "word/document.xml")),
       "word/document.xml: the document's text is missing from the file"},
      {"not well formed", test::ArchiveOf(broken), "word/document.xml: the XML is not well formed"},
      {"no body", test::ArchiveOf({{"word/document.xml", "<w:document/>"}}),
       "word/document.xml: the document has no <w:body>"},
      {"cut short", test::ArchiveOf(Docx()).substr(0, 300), ""},
  };
  for (const auto& c : cases) {
    const test::ScratchDir dir;
    test::WriteBytes(dir / "a.docx", c.bytes);
    const std::string refusal =
        test::RefusalOf([&] { ReadDocx(TestRuntime(), (dir / "a.docx").u16string()); });
    EXPECT_NE(refusal.find(c.reason), std::string::npos) << c.name << ": " << refusal;
    EXPECT_NE(refusal, "read") << c.name;
  }
}

}  // namespace
}  // namespace bookloom
