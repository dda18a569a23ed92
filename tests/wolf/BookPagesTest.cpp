#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "support/SampleBooks.h"
#include "wolf/BookPages.h"

namespace bookloom {
namespace {

// A book whose pages start inside long paragraphs full of escaped characters, with a picture section
// between two texts.
std::string LongBook() {
  return test::WriteBook([](BookWriter& w) {
    w.BeginText();
    w.AddTOCEntry(1, "Text");
    for (int i = 0; i < 40; ++i) {
      std::string paragraph;
      for (int j = 0; j < 12 + i % 7; ++j)
        paragraph +=
            "R&D <tags> \"quoted\" 'it' \xEF\xF0\xE5\xE4\xEF\xF0\xE8\xED\xE8\xEC\xE0\xF2\xE5\xEB\xFC ";
      w.AddParagraph(paragraph);
      if (i == 25) w.AddTOCEntry(2, "Later");
    }
    w.AddPicture(test::MonoPicture(30, 20), 1);
    w.AddTOCEntry(1, "Pictures");
    w.AddPicture(test::GreyPicture(10, 10), 2);
    w.BeginText();
    w.AddTOCEntry(1, "After");
    w.AddParagraph("The end & after");
  });
}

// The position at which a text page's first line is written: its section's tag for the section's
// first page, else the escaped bytes of its paragraph before it.
uint32_t LinePosition(const BookContents& book, const PageStart& page) {
  const SectionData& s = book.sections[page.section];
  if (page.paragraph == 0 && page.offset == 0) return s.position;
  return s.paragraphStarts[page.paragraph] +
         static_cast<uint32_t>(
             WolfEscapedLength(std::string_view(s.paragraphs[page.paragraph]).substr(0, page.offset)));
}

// Every page of every layout starts where the page table says, is full unless its section ends on it,
// and the pages hold every section's text once, in order.
TEST(BookPages, PagesStartWhereThePageTableSaysAndHoldTheWholeText) {
  for (const std::string& bytes : {test::SampleBook(), LongBook()}) {
    const BookReader reader(bytes);
    const BookContents& book = reader.Book();
    for (int layout = 0; layout < 4; ++layout) {
      const BookPages pages(book, layout);
      const std::vector<uint32_t>& list = book.pageLists[layout];
      ASSERT_EQ(pages.Count(), list.size()) << layout;
      std::vector<std::string> shown(book.sections.size());
      for (size_t i = 0; i < pages.Count(); ++i) {
        const PageStart& page = pages.Page(i);
        const std::vector<PageLine> lines = pages.Lines(i);
        const SectionData& s = book.sections[page.section];
        if (page.picture) {
          EXPECT_TRUE(lines.empty());
          EXPECT_EQ(page.picture == &s.images.front() ? s.position : page.picture->position, list[i]) << i;
          continue;
        }
        EXPECT_EQ(LinePosition(book, page), list[i]) << "layout " << layout << ", page " << i;
        const bool sectionGoesOn = i + 1 < pages.Count() && pages.Page(i + 1).section == page.section;
        if (sectionGoesOn) EXPECT_EQ(lines.size(), static_cast<size_t>(pages.Layout().linesPerPage)) << i;
        for (const PageLine& line : lines) shown[page.section] += line.text;
      }
      for (size_t k = 0; k < book.sections.size(); ++k) {
        std::string text;
        for (const std::string& paragraph : book.sections[k].paragraphs) text += paragraph;
        EXPECT_EQ(shown[k], text) << "layout " << layout << ", section " << k;
      }
    }
  }
}

// A table of contents entry leads to the page that shows its target.
TEST(BookPages, AnEntryLeadsToThePageThatShowsItsTarget) {
  const BookReader reader(LongBook());
  const BookContents& book = reader.Book();
  for (int layout = 0; layout < 4; ++layout) {
    const BookPages pages(book, layout);
    for (const TocRecord& entry : book.toc) {
      const size_t page = pages.PageAt(entry.target);
      const uint32_t target = book.bodyStart + entry.target;
      EXPECT_LE(pages.Page(page).position, target) << entry.title;
      if (page + 1 < pages.Count()) EXPECT_GT(pages.Page(page + 1).position, target) << entry.title;
    }
    EXPECT_EQ(pages.PageAt(0), 0u);
  }
}

// A page table entry that starts no page (inside an escaped character, before the body) is an error.
TEST(BookPages, AnEntryThatStartsNoPageIsAnError) {
  const BookReader reader(test::SampleBook());
  const SectionData& text = reader.Book().sections[0];
  const uint32_t escaped = text.paragraphStarts[2] + 2;  // inside the "&apos;" of "a&b"
  for (const uint32_t position :
       {escaped, reader.Book().bodyStart, reader.Book().sections[1].position + 20}) {
    BookContents book = reader.Book();
    book.pageLists[1].back() = position;
    EXPECT_THROW(BookPages(book, 1), BookFormatError) << position;
  }
}

}  // namespace
}  // namespace bookloom
