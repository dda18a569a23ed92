// HTML pages as paragraphs: which elements end a paragraph, which markup is dropped, and where
// headings, pictures and anchors land.
#include <gtest/gtest.h>

#include "documents/DocumentOutline.h"
#include "documents/HtmlText.h"
#include "documents/Xml.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

std::string Blocks(const std::string& html, bool headingEntries = true) {
  const XmlDocPtr page = ParseHtml(TestRuntime(), html, u"test.html", "");
  Document document;
  auto pictures = std::make_unique<EncodedPictures>(TestRuntime(), u"test.html");
  EncodedPictures& list = *pictures;
  document.pictures = std::move(pictures);
  std::string anchors;
  ReadHtmlBody(*page, document,
               {.headingEntries = headingEntries,
                .picture = [&](const std::string& ref) -> std::optional<size_t> {
                  if (ref == "skip.png") return std::nullopt;
                  return list.Add(Utf8ToUtf16(ref), {});
                },
                .anchor = [&](const std::string& id,
                              size_t block) { anchors += id + "@" + std::to_string(block) + " "; }});
  return test::OutlineOf(document) + anchors;
}

TEST(HtmlText, BlockElementsMakeParagraphsAndInlineMarkupIsDropped) {
  const struct {
    std::string html, blocks;
  } cases[] = {
      {"<p>one <b>two</b>\n\t three</p><p></p><p>   </p>", "one two three\n"},
      {"text<br>after<br/>end", "text\nafter\nend\n"},
      {"<div>a<div>b</div>c</div>", "a\nb\nc\n"},
      {"<blockquote>q</blockquote>", "q\n"},
      {"<pre>  keep  blanks\n\nline</pre>", "  keep  blanks\n\nline\n"},
      {"<table><tr><th>h</th><td>c</td></tr><tr><td>d</td></tr></table>", "h | c\nd\n"},
      {"<p>a&nbsp;b &mdash; c &amp; d</p>",
       "a\xC2\xA0"
       "b \xE2\x80\x94 c & d\n"},
      {"<head><title>T</title><style>x{}</style></head><body><script>var a;</script><p>seen</p></body>",
       "seen\n"},
      {"<h1>Top</h1><h2>Second</h2><h4>Deep</h4>", "#1 Top\nTop\n#2 Second\nSecond\n#3 Deep\nDeep\n"},
      {"<p>before<img src=\"a.png\">after<img src=\"skip.png\"></p>", "before\n[a.png]\nafter\n"},
      {"<p id=\"p\">one<span id=\"s\">two</span></p><div id=\"d\"><a name=\"n\"></a>x</div>",
       "onetwo\nx\np@0 s@0 d@1 n@1 "},
      {"<svg><image href=\"v.png\"/></svg>", "[v.png]\n"},
      {"<img src=\"drawing.xcf\"><p>no decoder reads it</p>", "no decoder reads it\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Blocks(c.html), c.blocks) << c.html;
  EXPECT_EQ(Blocks("<h1>Top</h1>", false), "#0 Top\nTop\n");
}

// Lists keep their bullets and numbers, notes their numbers; what a reader does not show stays out.
TEST(HtmlText, ListsKeepTheirMarksAndNotesTheirNumbers) {
  const struct {
    std::string html, blocks;
  } cases[] = {
      {"<ul><li>x</li><li><p><b>y</b> z</p></li></ul>", "\u2022 x\n\u2022 y z\n"},
      {"<ol start=\"3\"><li>c</li><li>d<ul><li>inner</li></ul></li><li>e</li></ol>",
       "3. c\n4. d\n\u2022 inner\n5. e\n"},
      {"<ul style=\"list-style: none\"><li>plain</li></ul><ol><li></li><li>second</li></ol>",
       "plain\n2. second\n"},
      {"<nav epub:type=\"landmarks\" hidden=\"hidden\"><ol><li><a href=\"t.xhtml\">Title "
       "Page</a></li></ol></nav>"
       "<p aria-hidden=\"true\">x</p><div hidden>y</div><p>shown</p>",
       "shown\n"},
      {"<p>A note.<a href=\"#fn1\" class=\"footnote-ref\" epub:type=\"noteref\">1</a> More<a "
       "role=\"doc-noteref\" "
       "href=\"#fn2\">[2]</a>.</p><ol><li id=\"fn1\"><p>The note.<a href=\"#fnref1\" class=\"footnote-back\" "
       "role=\"doc-backlink\">\u21A9</a></p></li></ol>",
       "A note.[1] More[2].\n1. The note.\nfn1@1 "},
  };
  for (const auto& c : cases) EXPECT_EQ(Blocks(c.html), c.blocks) << c.html;
}

TEST(HtmlText, ReadsTheTitleAndMetaOfTheHead) {
  const XmlDocPtr page = ParseHtml(
      TestRuntime(),
      "<html><head><title> The  Page </title><meta name=\"author\" content=\"Ann\"><meta name=\"author\" "
      "content=\"Bob  Lee\"></head><body/></html>",
      u"x", "");
  EXPECT_EQ(Utf16ToUtf8(HtmlTitle(*page)), "The Page");
  EXPECT_EQ(Utf16ToUtf8(HtmlMeta(*page, "author")), "Ann, Bob Lee");
  EXPECT_EQ(Utf16ToUtf8(HtmlMeta(*page, "description")), "");
}

// The encoding a page declares wins; a page that declares none is UTF-8 when its bytes are.
TEST(HtmlText, ReadsThePagesEncoding) {
  const struct {
    std::string html, blocks;
  } cases[] = {
      {"<p>\xD0\x9C\xD0\xB8\xD1\x80</p>", "Мир\n"},
      {"<?xml version=\"1.0\" encoding=\"windows-1251\"?><html><body><p>\xCC\xE8\xF0</p></body></html>",
       "Мир\n"},
      {"<html><head><meta charset=\"windows-1251\"></head><body><p>\xCC\xE8\xF0</p></body></html>", "Мир\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Blocks(c.html), c.blocks) << c.html;
}

}  // namespace
}  // namespace bookloom
