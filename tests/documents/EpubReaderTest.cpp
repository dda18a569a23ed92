// EPUB books: EPUB 2 with an NCX and EPUB 3 with a navigation document, each with a cover and
// pictures, read into headings, paragraphs and pictures; and the books that must be refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "documents/DocumentOutline.h"
#include "documents/EpubReader.h"
#include "support/TestData.h"
#include "support/TestDocuments.h"
#include "support/TestPictures.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

const std::string kContainer =
    "<?xml version=\"1.0\"?><container version=\"1.0\" "
    "xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">"
    "<rootfiles><rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
    "</rootfiles></container>";

std::string Page(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><!DOCTYPE html><html "
         "xmlns=\"http://www.w3.org/1999/xhtml\" "
         "xmlns:epub=\"http://www.idpf.org/2007/ops\"><head><title>t</title><style>p{}</style></head><body>" +
         body + "</body></html>";
}

const std::string kCoverPage = Page("<div><img src=\"images/cover.jpg\" alt=\"cover\"/></div>");
const std::string kChapter1 = Page(
    "<h1>Chapter 1</h1><p>First <b>bold</b>\n paragraph.</p><p id=\"p2\">Second<br/>line</p>"
    "<ul><li>one</li><li>two</li></ul><blockquote>quoted</blockquote><pre>a  b\n  c</pre>"
    "<p><img src=\"images/pic%20one.png\"/>after</p>");
const std::string kChapter2 = Page(
    "<h2>Chapter 2</h2><div>text<div>inner</div></div><svg xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
    "<image "
    "xlink:href=\"../OEBPS/images/pic%20one.png\"/></svg><table><tr><td>a</td><td>b</td></tr></table>");

const std::string kExpectedBody =
    "#0\n"
    "#1 Chapter 1\n#0\n#0 Chapter 1\nChapter 1\nFirst bold paragraph.\n"
    "#2 Section 1.1\nSecond\nline\n\u2022 one\n\u2022 two\nquoted\na  b\n  c\n[OEBPS/images/pic "
    "one.png]\nafter\n"
    "#1 Chapter 2\n#0\n#0 Chapter 2\nChapter 2\ntext\ninner\n[OEBPS/images/pic one.png]\na | b\n";

Entries Epub(const std::string& opf, const Entries& more) {
  Entries entries = {{"mimetype", "application/epub+zip"},
                     {"META-INF/container.xml", kContainer},
                     {"OEBPS/content.opf", opf},
                     {"OEBPS/cover.xhtml", kCoverPage},
                     {"OEBPS/ch1.xhtml", kChapter1},
                     {"OEBPS/ch2.xhtml", kChapter2},
                     {"OEBPS/images/cover.jpg", test::JpegPicture(60, 80, 0)},
                     {"OEBPS/images/pic one.png", test::JpegPicture(10, 10, 200)}};
  entries.insert(entries.end(), more.begin(), more.end());
  return entries;
}

const std::string kManifest =
    "<item id=\"cover\" href=\"cover.xhtml\" media-type=\"application/xhtml+xml\"/>"
    "<item id=\"ch1\" href=\"ch1.xhtml\" media-type=\"application/xhtml+xml\"/>"
    "<item id=\"ch2\" href=\"ch2.xhtml\" media-type=\"application/xhtml+xml\"/>"
    "<item id=\"pic\" href=\"images/pic%20one.png\" media-type=\"image/png\"/>";
const std::string kSpine =
    "<itemref idref=\"cover\"/><itemref idref=\"ch1\"/><itemref idref=\"ch2\"/></spine>";

Entries Epub2() {
  const std::string opf =
      "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"2.0\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xmlns:opf=\"http://www.idpf.org/2007/opf\"><metadata>"
      "<dc:title>Two</dc:title><dc:creator opf:role=\"aut\">Ann Author</dc:creator>"
      "<dc:creator opf:role=\"trl\">Tom Translator</dc:creator><dc:creator>Bob Writer</dc:creator>"
      "<dc:publisher>Press</dc:publisher><dc:date>2001-05-01</dc:date>"
      "<dc:identifier opf:scheme=\"uuid\">urn:uuid:1234</dc:identifier>"
      "<dc:identifier opf:scheme=\"ISBN\">978-3-16-148410-0</dc:identifier>"
      "<dc:description>&lt;p&gt;One&lt;/p&gt;&lt;p&gt;Two &lt;i&gt;lines&lt;/i&gt;&lt;/p&gt;</dc:description>"
      "<dc:subject>Fiction</dc:subject><dc:subject>Tests</dc:subject>"
      "<meta name=\"cover\" content=\"cover-img\"/></metadata><manifest>" +
      kManifest +
      "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>"
      "<item id=\"cover-img\" href=\"images/cover.jpg\" media-type=\"image/jpeg\"/></manifest>"
      "<spine toc=\"ncx\">" +
      kSpine + "</package>";
  const std::string ncx =
      "<?xml version=\"1.0\"?><ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\"><navMap>"
      "<navPoint id=\"a\"><navLabel><text>Chapter 1</text></navLabel><content src=\"ch1.xhtml\"/>"
      "<navPoint id=\"b\"><navLabel><text>Section 1.1</text></navLabel><content "
      "src=\"ch1.xhtml#p2\"/></navPoint>"
      "</navPoint><navPoint id=\"c\"><navLabel><text>Chapter 2</text></navLabel><content "
      "src=\"ch2.xhtml\"/></navPoint>"
      "<navPoint id=\"d\"><navLabel><text>Lost</text></navLabel><content src=\"gone.xhtml\"/></navPoint>"
      "</navMap></ncx>";
  return Epub(opf, {{"OEBPS/toc.ncx", ncx}});
}

Entries Epub3() {
  const std::string opf =
      "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><metadata>"
      "<dc:title>Three</dc:title><dc:creator id=\"c1\">Ann Author</dc:creator>"
      "<meta refines=\"#c1\" property=\"role\" scheme=\"marc:relators\">aut</meta>"
      "<dc:creator id=\"c2\">Tom Translator</dc:creator><meta refines=\"#c2\" property=\"role\">trl</meta>"
      "<dc:identifier>urn:isbn:9783161484100</dc:identifier><dc:description>Plain text.</dc:description>"
      "<meta property=\"belongs-to-collection\" id=\"s\">Saga</meta><meta refines=\"#s\" "
      "property=\"group-position\">2</meta></metadata><manifest>" +
      kManifest +
      "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" properties=\"nav\"/>"
      "<item id=\"cover-img\" href=\"images/cover.jpg\" media-type=\"image/jpeg\" "
      "properties=\"cover-image\"/>"
      "</manifest><spine>" +
      kSpine + "</package>";
  const std::string nav = Page(
      "<nav epub:type=\"landmarks\"><ol><li><a href=\"cover.xhtml\">Cover</a></li></ol></nav>"
      "<nav epub:type=\"toc\"><h1>Contents</h1><ol><li><a href=\"ch1.xhtml\">Chapter 1</a>"
      "<ol><li><a href=\"ch1.xhtml#p2\">Section 1.1</a></li></ol></li>"
      "<li><a href=\"ch2.xhtml\">Chapter <em>2</em></a></li></ol></nav>");
  return Epub(opf, {{"OEBPS/nav.xhtml", nav}});
}

Document Read(const test::ScratchDir& dir, const Entries& entries) {
  test::WriteBytes(dir / "book.epub", test::ArchiveOf(entries));
  return ReadEpub(TestRuntime(), (dir / "book.epub").u16string());
}

TEST(EpubReader, ReadsAnEpub2WithItsNcxAndCover) {
  const test::ScratchDir dir;
  const Document document = Read(dir, Epub2());
  const DocumentInfo& info = document.info;
  EXPECT_EQ(Utf16ToUtf8(info.title), "Two");
  EXPECT_EQ(Utf16ToUtf8(info.author), "Ann Author, Bob Writer");
  EXPECT_EQ(Utf16ToUtf8(info.translator), "Tom Translator");
  EXPECT_EQ(Utf16ToUtf8(info.publisher), "Press");
  EXPECT_EQ(Utf16ToUtf8(info.publishTime), "2001");
  EXPECT_EQ(Utf16ToUtf8(info.isbn), "978-3-16-148410-0");
  EXPECT_EQ(Utf16ToUtf8(info.annotation), "One\nTwo lines");
  EXPECT_EQ(Utf16ToUtf8(info.subject), "Fiction, Tests");
  // The page that shows only the cover is the cover; a link to no page is left out with a warning.
  EXPECT_EQ(test::OutlineOf(document), kExpectedBody);
  ASSERT_TRUE(document.cover.has_value());
  EXPECT_EQ(document.pictures->Decode(*document.cover)->Width(), 60);
  ASSERT_EQ(document.warnings.size(), 1u);
  EXPECT_EQ(document.warnings[0], "table of contents: \"Lost\" leads to no page of the book: left out");
}

TEST(EpubReader, ReadsAnEpub3WithItsNavigationDocumentAndCover) {
  const test::ScratchDir dir;
  const Document document = Read(dir, Epub3());
  EXPECT_EQ(Utf16ToUtf8(document.info.author), "Ann Author");
  EXPECT_EQ(Utf16ToUtf8(document.info.translator), "Tom Translator");
  EXPECT_EQ(Utf16ToUtf8(document.info.isbn), "9783161484100");
  EXPECT_EQ(Utf16ToUtf8(document.info.subject), "Saga #2");
  EXPECT_EQ(Utf16ToUtf8(document.info.annotation), "Plain text.");
  EXPECT_EQ(test::OutlineOf(document), kExpectedBody);
  ASSERT_TRUE(document.cover.has_value());
  EXPECT_EQ(Utf16ToUtf8(document.pictures->Name(*document.cover)), "OEBPS/images/cover.jpg");
  EXPECT_TRUE(document.warnings.empty());
}

TEST(EpubReader, WithoutATableOfContentsTheHeadingsMakeOne) {
  const test::ScratchDir dir;
  Entries entries = Epub2();
  std::erase_if(entries, [](const auto& e) { return e.first == "OEBPS/toc.ncx"; });
  EXPECT_EQ(test::OutlineOf(Read(dir, entries)).substr(0, 30), "#0\n#0\n#1 Chapter 1\nChapter 1\nF");
}

// Entries of the (name, content) list with one entry's content changed by `change`.
Entries Changed(Entries entries, const std::string& name,
                const std::function<std::string(std::string)>& change) {
  for (auto& [entryName, content] : entries)
    if (entryName == name) content = change(content);
  return entries;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(EpubReader, ReadsAPageOnceHoweverOftenTheSpineNamesIt) {
  const test::ScratchDir dir;
  const Entries entries = Changed(Epub2(), "OEBPS/content.opf", [](std::string opf) {
    opf = Replaced(opf, "<item id=\"ch2\"",
                   "<item id=\"ch1b\" href=\"ch1.xhtml#p2\" media-type=\"application/xhtml+xml\"/>"
                   "<item id=\"ch2\"");
    return Replaced(opf, "<itemref idref=\"ch2\"/>",
                    "<itemref idref=\"ch1b\"/><itemref idref=\"ch1\"/><itemref idref=\"ch2\"/>");
  });
  EXPECT_EQ(test::OutlineOf(Read(dir, entries)), kExpectedBody);
}

// A picture the book does not hold is left out with a warning, as a remote one is; the rest is read.
TEST(EpubReader, LeavesOutPicturesItDoesNotHoldWithAWarning) {
  const struct {
    const char* image;
    const char* warning;
  } cases[] = {
      {"images/gone.png", "OEBPS/ch2.xhtml: picture \"images/gone.png\" is missing from the book: left out"},
      {"../../etc/x.png", "OEBPS/ch2.xhtml: picture \"../../etc/x.png\" leads out of the book: left out"},
      {"http://example.com/a.png",
       "OEBPS/ch2.xhtml: picture \"http://example.com/a.png\" is not inside the book: left out"},
  };
  for (const auto& c : cases) {
    const test::ScratchDir dir;
    const Entries entries = Changed(Epub2(), "OEBPS/ch2.xhtml", [&](const std::string&) {
      return Page(std::string("<h2>Chapter 2</h2><p>before <img src=\"") + c.image + "\"/> after</p>");
    });
    const Document document = Read(dir, entries);
    EXPECT_NE(test::OutlineOf(document).find("Chapter 2\nbefore after\n"), std::string::npos) << c.image;
    EXPECT_NE(std::find(document.warnings.begin(), document.warnings.end(), c.warning),
              document.warnings.end())
        << c.image;
  }
}

// Books that cannot be read: each refused naming the part that failed.
TEST(EpubReader, RefusesProtectedAndDamagedBooks) {
  const auto replaced = [](Entries entries, const std::string& name, const std::string& content) {
    std::erase_if(entries, [&](const auto& e) { return e.first == name; });
    if (!content.empty()) entries.push_back({name, content});
    return entries;
  };
  const std::string aes =
      "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
      "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData><enc:EncryptionMethod "
      "Algorithm=\"http://www.w3.org/2001/04/xmlenc#aes128-cbc\"/></enc:EncryptedData></encryption>";
  const std::string fonts =
      "<encryption xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\" "
      "xmlns:enc=\"http://www.w3.org/2001/04/xmlenc#\"><enc:EncryptedData><enc:EncryptionMethod "
      "Algorithm=\"http://www.idpf.org/2008/embedding\"/></enc:EncryptedData></encryption>";
  const struct {
    const char* name;
    Entries entries;
    const char* reason;  // empty: the book is read
  } cases[] = {
      {"DRM", replaced(Epub2(), "META-INF/encryption.xml", aes),
       "META-INF/encryption.xml: the book is protected by DRM"},
      {"Adobe DRM", replaced(Epub2(), "META-INF/rights.xml", "<rights/>"),
       "META-INF/rights.xml: the book is protected"},
      {"obfuscated fonts", replaced(Epub2(), "META-INF/encryption.xml", fonts), ""},
      {"no container", replaced(Epub2(), "META-INF/container.xml", ""),
       "META-INF/container.xml: the container is missing from the book"},
      {"page missing", replaced(Epub2(), "OEBPS/ch2.xhtml", ""),
       "OEBPS/ch2.xhtml: a page of the spine is missing"},
      {"package not well formed", replaced(Epub2(), "OEBPS/content.opf", "<package><metadata></package>"),
       "OEBPS/content.opf: the XML is not well formed at line 1"},
  };
  for (const auto& c : cases) {
    const test::ScratchDir dir;
    if (!*c.reason) {
      EXPECT_NO_THROW(Read(dir, c.entries)) << c.name;
      continue;
    }
    try {
      Read(dir, c.entries);
      ADD_FAILURE() << c.name << ": no error";
    } catch (const DocumentError& e) {
      EXPECT_NE(e.Reason().find(c.reason), std::string::npos) << c.name << ": " << e.Reason();
    }
  }
  const test::ScratchDir dir;
  test::WriteBytes(dir / "torn.epub", test::ArchiveOf(Epub2()).substr(0, 900));
  EXPECT_THROW(ReadEpub(TestRuntime(), (dir / "torn.epub").u16string()), DocumentError);
}

// WebP pictures and SVG drawings, on a page, made in a page or as a page of the spine, are pictures of
// the book.
TEST(EpubReader, TodaysPictureFormatsArePictures) {
  const std::string opf =
      "<?xml version=\"1.0\"?><package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\"><metadata "
      "xmlns:dc=\"http://purl.org/dc/elements/1.1/\"><dc:title>P</dc:title></metadata><manifest>"
      "<item id=\"p\" href=\"pics.xhtml\" media-type=\"application/xhtml+xml\"/>"
      "<item id=\"d\" href=\"images/page.svg\" media-type=\"image/svg+xml\"/></manifest>"
      "<spine><itemref idref=\"p\"/><itemref idref=\"d\"/></spine></package>";
  const std::string drawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"30\" height=\"40\"/>";
  const test::ScratchDir dir;
  const Document document = Read(
      dir, {{"mimetype", "application/epub+zip"},
            {"META-INF/container.xml", kContainer},
            {"OEBPS/content.opf", opf},
            {"OEBPS/pics.xhtml",
             Page("<p><img src=\"images/p.webp\"/><img src=\"images/d.svg\"/></p><svg width=\"30\" "
                  "height=\"40\"><rect width=\"30\" height=\"40\" fill=\"black\"/><text>Drawn</text></svg>")},
            {"OEBPS/images/p.webp", test::WebpOf(test::Gradient(20, 10), true)},
            {"OEBPS/images/d.svg", drawing},
            {"OEBPS/images/page.svg", drawing}});
  EXPECT_TRUE(document.warnings.empty()) << document.warnings.at(0);
  EXPECT_EQ(test::OutlineOf(document),
            "#0\n[OEBPS/images/p.webp]\n[OEBPS/images/d.svg]\n[OEBPS/pics.xhtml: drawing 1]\n#0\n"
            "[OEBPS/images/page.svg]\n");
  ASSERT_EQ(document.pictures->Count(), 4u);
  EXPECT_EQ(document.pictures->Decode(0)->Width(), 20);
  EXPECT_EQ(document.pictures->Decode(1)->Width(), 600);
  const std::unique_ptr<Graphic> drawn = document.pictures->Decode(2);
  EXPECT_EQ(drawn->Row(drawn->Height() / 2)[drawn->Width() / 2 * drawn->Channels()], 0);  // its black square
  EXPECT_EQ(document.pictures->Decode(3)->Height(), 800);
}

}  // namespace
}  // namespace bookloom
