// RTF documents: code pages and \uN, destinations, headings by outline level and by style, a list as
// word processors write it, a footnote, a picture and the \info fields; and damaged documents.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/RtfReader.h"
#include "support/TestDocuments.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (const unsigned char c : bytes) {
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
    if (out.size() % 64 == 0) out += '\n';
  }
  return out;
}

const std::string kRtf =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fcharset0 Times;}{\\f1\\fcharset204 Arial Cyr;}}"
    "{\\colortbl;\\red0\\green0\\blue0;}"
    "{\\stylesheet{\\s0 Normal;}{\\s2\\b heading 2;}}"
    "{\\info{\\title The Title}{\\author Ann Author}{\\doccomm About it.}{\\creatim\\yr2020}}"
    "{\\*\\generator Writer;}{\\header Running head\\par}"
    "\\pard Before the first heading.\\par\n"
    "{\\pard\\outlinelevel0 Chapter One\\par}\n"
    "\\pard Caf\\'e9, {\\f1 \\'cf\\'f0\\'e8}, \\uc1\\u8212? and \\u-4064?.\\par\n"
    "{\\listtext 1.\\tab}first\\par {\\listtext 2.\\tab}second\\par\n"
    "Text with a note{\\super\\chftn}{\\footnote\\pard{\\super\\chftn} The note.}\\par\n"
    "{\\*\\shppict{\\pict\\jpegblip\\picw30\\pich20 " +
    Hex(test::JpegPicture(30, 20, 100)) +
    "}}"
    "{\\nonshppict{\\pict\\wmetafile8 0102}}\\par\n"
    "\\pard\\s2 Part Two\\par\n"
    "\\pard\\s0 {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt the link}}\\line next\\par}";

TEST(RtfReader, ReadsCodePagesHeadingsListsNotesPicturesAndInfo) {
  const Document document = ReadRtf(TestRuntime(), kRtf, u"a.rtf");
  EXPECT_EQ(Utf16ToUtf8(document.info.title), "The Title");
  EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author");
  EXPECT_EQ(Utf16ToUtf8(document.info.annotation), "About it.");
  EXPECT_EQ(test::OutlineOf(document),
            "Before the first heading.\n"
            "#1 Chapter One\nChapter One\n"
            "Caf\xC3\xA9, \xD0\x9F\xD1\x80\xD0\xB8, \xE2\x80\x94 and \xEF\x80\xA0.\n"
            "1. first\n2. second\n"
            "Text with a note[1]\n"
            "[picture 1]\n"
            "[1] The note.\n"  // the note ends its section
            "#2 Part Two\nPart Two\n"
            "the link\nnext\n");
  ASSERT_EQ(document.pictures->Count(), 1u);
  EXPECT_EQ(document.pictures->Decode(0)->Width(), 30);
}

// Damaged documents read as far as they go: unbalanced groups, a cut \'x, a \bin longer than the
// file, a group nested deeper than the reader keeps; only bytes that are no RTF are refused.
TEST(RtfReader, ReadsDamagedDocumentsAsFarAsTheyGo) {
  const struct {
    std::string rtf;
    const char* outline;
  } cases[] = {
      {"{\\rtf1 one\\par}}}two\\par", "one\ntwo\n"},
      {"{\\rtf1 one\\par{{{\\b two", "one\ntwo\n"},
      {"{\\rtf1 a\\'e", "ae\n"},
      {"{\\rtf1 {\\pict\\pngblip\\bin99 ab}", ""},
      {"{\\rtf1 " + std::string(5000, '{') + "deep" + std::string(5000, '}') + "\\par after",
       "deep\nafter\n"},
      {"{\\rtf1 \\u-3?\\uc2\\u65\\'c1\\'c2 x\\par",
       "\xEF\xBF\xBD"
       "A x\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(test::OutlineOf(ReadRtf(TestRuntime(), c.rtf, u"a.rtf")), c.outline) << c.rtf.substr(0, 40);
  EXPECT_THROW(ReadRtf(TestRuntime(), "PK\x03\x04", u"a.rtf"), DocumentError);
}

}  // namespace
}  // namespace bookloom
