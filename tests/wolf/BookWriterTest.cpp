#include <gtest/gtest.h>

#include <algorithm>

#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "platform/Stream.h"
#include "support/SampleBooks.h"
#include "wolf/BookReader.h"
#include "wolf/BookWriter.h"

namespace bookloom {
namespace {

using test::DeviceGreys;
using test::GreyPicture;
using test::MonoPicture;
using test::WriteBook;

std::string U32Bytes(uint32_t v) {
  std::string s;
  AppendU32(s, v);
  return s;
}

TEST(BookWriter, WritesTheFixedPartsOfAnEmptyBook) {
  MemoryOutputStream out;
  BookWriter w(out);
  EXPECT_EQ(out.Position(), 128u);
  EXPECT_EQ(out.Bytes().substr(0, 17), std::string("WolfEbook1.11\0\0\0\0", 17));
  w.WriteDescription();
  w.BeginBody();
  w.EndBody();
  w.Finish();
  const std::string& b = out.Bytes();

  EXPECT_EQ(GetU16(b, 17), 513);
  EXPECT_EQ(GetU16(b, 64), 1);
  EXPECT_EQ(GetU16(b, 23), 107);  // the nine always-written tags with CR LF
  EXPECT_EQ(GetU32(b, 25), 0u);   // no cover
  EXPECT_EQ(b.substr(235, 15), "<wolf>\r\n</wolf>");
  EXPECT_EQ(GetU32(b, 38), 15u);
  // Without table of contents one item names the book, "NoName" when it has no title.
  EXPECT_EQ(b.substr(250, 42), "<catalog><item>NoName</item>" + U32Bytes(0) + "</catalog>");
  EXPECT_EQ(GetU32(b, 30), 42u);
  EXPECT_EQ(GetU16(b, 34), 1);
  EXPECT_EQ(GetU16(b, 95), 0);
  EXPECT_EQ(GetU32(b, 97), 0u);
  // Page table at 292: tag, 13 positions (P = 313, lists start at 377), closing tag, four -1.
  EXPECT_EQ(b.substr(292, 21), "<pagetable ver=\"001\">");
  const uint32_t positions[13] = {377, 377, 377, 381, 381, 381, 385, 385, 385, 389, 389, 389, 393};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(GetU32(b, 313 + 4 * i), positions[i]) << i;
  EXPECT_EQ(b.substr(365), "</pagetable>" + std::string(16, '\xFF'));
  EXPECT_EQ(GetU32(b, 60), 101u);
  EXPECT_EQ(GetU32(b, 66), 0u);
  EXPECT_EQ(GetU32(b, 75), 0u);
  EXPECT_EQ(out.Position(), 128u);

  const BookReader reader(b);
  EXPECT_TRUE(reader.Book().sections.empty());
  EXPECT_EQ(reader.Book().catalog.at(0).title, "NoName");
}

TEST(BookWriter, ReadsBackTheSampleBookWithItsSectionsPicturesAndTableOfContents) {
  const std::string bytes = test::SampleBook();
  const BookReader reader(bytes);
  const BookContents& book = reader.Book();

  EXPECT_EQ(book.description[0], "Sample");
  ASSERT_TRUE(book.cover.has_value());
  EXPECT_EQ(book.cover->width, 24);
  EXPECT_EQ(book.cover->bitCount, 1);
  EXPECT_EQ(PackedRowsToGray(*book.cover, reader.DecodeRows(*book.cover)), DeviceGreys(MonoPicture(24, 32)));
  EXPECT_EQ(GetU32(bytes, 25), book.cover->dataLength + 10);
  EXPECT_EQ(bytes.substr(book.cover->position, 10), std::string("\1\0\x18\0\1\0\3\0\x20\0", 10));

  ASSERT_EQ(book.sections.size(), 4u);
  const SectionData& text = book.sections[0];
  EXPECT_FALSE(text.pictures);
  EXPECT_EQ(text.paragraphs, test::SampleParagraphs());
  const std::string opening =
      "<catalog>Chapter one\r\ra&apos;b &lt;x&gt; &quot;quoted&quot; &squot;single&squot;\r \xCC\xE0";
  EXPECT_EQ(bytes.substr(text.position, opening.size()), opening);

  const SectionData& pictures = book.sections[1];
  ASSERT_TRUE(pictures.pictures);
  ASSERT_EQ(pictures.images.size(), 2u);
  const PictureData& grey = pictures.images[0];
  EXPECT_EQ(bytes.substr(grey.position, grey.dataStart - grey.position),
            WolfImageTag(13, 7, 2, grey.dataLength, 1));
  EXPECT_EQ(grey.RowBytes(), 4u);
  EXPECT_EQ(PackedRowsToGray(grey, reader.DecodeRows(grey)), DeviceGreys(GreyPicture(13, 7)));
  const PictureData& mono = pictures.images[1];
  EXPECT_EQ(mono.position, grey.dataStart + grey.dataLength + 6);  // right after "</img>"
  EXPECT_EQ(PackedRowsToGray(mono, reader.DecodeRows(mono)), DeviceGreys(MonoPicture(20, 9)));
  EXPECT_TRUE(book.sections[2].paragraphs.empty());
  EXPECT_FALSE(book.sections[2].pictures);
  EXPECT_EQ(bytes.substr(book.sections[2].position, 19), "<catalog></catalog>");
  EXPECT_EQ(book.sections[3].paragraphs, std::vector<std::string>{"The end"});

  // Sorted by level, then number; each entry leads to its section or its own picture.
  const auto rel = [&](uint32_t absolute) { return absolute - book.bodyStart; };
  const struct {
    int level;
    std::string title;
    uint32_t target;
    int parentIndex;
  } toc[] = {
      {1, "Chapter \xCE\xE4\xE8\xED", rel(text.position), -1},
      {1, "First picture", rel(pictures.position), -1},
      {1, "Second picture", rel(mono.position), -1},
      {1, "Empty", rel(book.sections[2].position), -1},
      {1, std::string(45, 'T'), rel(book.sections[3].position), -1},
      {2, "Section 1.1", rel(text.position), 0},
      {2, "Section 1.2", rel(text.position), 0},
      {3, "Subsection 1.1.1", rel(text.position), 5},
  };
  ASSERT_EQ(book.toc.size(), std::size(toc));
  for (size_t i = 0; i < book.toc.size(); ++i) {
    EXPECT_EQ(book.toc[i].level, toc[i].level) << i;
    EXPECT_EQ(book.toc[i].title, toc[i].title) << i;
    EXPECT_EQ(book.toc[i].target, toc[i].target) << i;
    EXPECT_EQ(book.toc[i].parentIndex, toc[i].parentIndex) << i;
  }
  EXPECT_EQ(book.toc[0].children, (std::vector<int>{5, 6}));
  EXPECT_EQ(book.toc[5].children, std::vector<int>{7});
  ASSERT_EQ(book.catalog.size(), 5u);
  EXPECT_EQ(book.catalog[4].title, std::string(45, 'T'));
  EXPECT_EQ(GetU16(bytes, 34), 5);
  EXPECT_EQ(GetU16(bytes, 95), 3);

  // The subcatalog: records, then the whole titles, then 0x08 and the closing tag.
  const uint32_t sub = GetU32(bytes, 97);
  EXPECT_EQ(bytes.substr(sub, 12), "<subcatalog>");
  const uint32_t record45 = sub + 12 + 80 * 4;
  EXPECT_EQ(GetU16(bytes, record45 + 8), 45);
  EXPECT_EQ(bytes.substr(record45 + 32, 48), std::string(40, 'T') + std::string(8, '\0'));
  EXPECT_EQ(bytes.substr(GetU32(bytes, record45 + 4), 46), std::string(45, 'T') + "S");  // then "Section 1.1"
  const uint32_t catalogEnd = book.bodyStart + book.bodyLength + GetU32(bytes, 30);
  EXPECT_EQ(bytes.substr(catalogEnd - 14, 14), "\x08</subcatalog>");

  // The page table's 13 positions are checked by the reader; the header counts layout 0's pages.
  EXPECT_EQ(GetU32(bytes, 66), book.pageLists[0].size());
  for (int j = 0; j < 8; ++j) {
    // Every list starts with the first section and holds the second picture's page.
    EXPECT_EQ(book.pageLists[j].front(), text.position) << j;
    EXPECT_TRUE(std::count(book.pageLists[j].begin(), book.pageLists[j].end(), mono.position)) << j;
  }
}

TEST(BookWriter, PlacesThePageListsOfOnePageRightBehindTheirPositions) {
  // One paragraph: every list holds the section start alone, so each part of the table is one
  // 4-byte entry, and the four sections of two lists and an end mark follow the 64-byte head.
  const std::string bytes = WriteBook([](BookWriter& w) { w.AddParagraph("x"); });
  const BookReader reader(bytes);
  const uint32_t table = static_cast<uint32_t>(bytes.rfind("<pagetable ver=\"001\">"));
  const uint32_t p = table + 21;
  const uint32_t expected[13] = {p + 64, p + 68, p + 72,  p + 76,  p + 80,  p + 84, p + 88,
                                 p + 92, p + 96, p + 100, p + 104, p + 108, p + 112};
  for (int i = 0; i < 13; ++i) EXPECT_EQ(GetU32(bytes, p + 4 * i), expected[i]) << i;
  EXPECT_EQ(bytes.size(), p + 112);
  for (uint32_t end : {p + 72, p + 84, p + 96, p + 108}) EXPECT_EQ(GetU32(bytes, end), 0xFFFFFFFFu);
  EXPECT_EQ(GetU32(bytes, 66), 1u);
  EXPECT_EQ(GetU32(bytes, 75), 1u);
}

TEST(BookWriter, ClosesAPageOnlyWhenAFurtherLineArrives) {
  // One-line paragraphs "x" CR: a page of L lines is followed by a page start at line L + 1.
  const int linesPerPage[4] = {28, 21, 21, 16};
  for (int paragraphs : {1, 16, 17, 21, 22, 28, 29, 57}) {
    const BookReader reader(WriteBook([&](BookWriter& w) {
      for (int i = 0; i < paragraphs; ++i) w.AddParagraph("x");
    }));
    const BookContents& book = reader.Book();
    const uint32_t start = book.sections.at(0).position;
    for (int layout = 0; layout < 4; ++layout) {
      std::vector<uint32_t> expected = {start};
      for (int line = linesPerPage[layout]; line < paragraphs; line += linesPerPage[layout])
        expected.push_back(start + 9 + 2 * line);
      EXPECT_EQ(book.pageLists[layout], expected) << paragraphs << " paragraphs, layout " << layout;
      EXPECT_EQ(book.pageLists[layout + 4], expected) << paragraphs << " paragraphs, layout " << layout;
    }
  }
}

TEST(BookWriter, CountsAParagraphThatFillsAPageExactlyAsOnePage) {
  // 27 lines of 52 letters and one of 10 letters with the CR: exactly 28 lines in layout 0.
  const std::string fill(27 * 52 + 10, 'a');
  const BookReader exact(WriteBook([&](BookWriter& w) { w.AddParagraph(fill); }));
  EXPECT_EQ(exact.Book().pageLists[0].size(), 1u);
  const BookReader more(WriteBook([&](BookWriter& w) {
    w.AddParagraph(fill);
    w.AddParagraph("next");
  }));
  const SectionData& s = more.Book().sections.at(0);
  EXPECT_EQ(more.Book().pageLists[0], (std::vector<uint32_t>{s.position, s.paragraphStarts[1]}));
}

TEST(BookWriter, CountsEscapedBytesInThePageStarts) {
  // "a&b" CR is written as 9 bytes: the 29th paragraph starts 9 + 28 * 9 bytes into the section.
  const BookReader reader(WriteBook([](BookWriter& w) {
    for (int i = 0; i < 29; ++i) w.AddParagraph("a&b");
  }));
  const BookContents& book = reader.Book();
  const uint32_t start = book.sections.at(0).position;
  EXPECT_EQ(reader.Bytes().substr(start, 18), "<catalog>a&apos;b\r");
  EXPECT_EQ(book.pageLists[0], (std::vector<uint32_t>{start, start + 9 + 28 * 9}));
  EXPECT_EQ(book.sections[0].paragraphs.back(), "a&b");
}

TEST(BookWriter, OpensAndClosesSectionsAsTextAndPicturesAlternate) {
  const BookReader reader(WriteBook([](BookWriter& w) {
    w.AddPicture(MonoPicture(8, 2), 1);  // opens a picture section
    w.AddParagraph("text");              // closes it, opens a text section
    w.AddPicture(MonoPicture(8, 2), 1);  // and back
    w.AddPicture(GreyPicture(4, 4), 2);  // shares the section, a page of its own
    w.AddPicture(GreyPicture(4, 4), 2);
    w.CloseSection();
    w.CloseSection();                    // nothing more to close
    w.AddPicture(MonoPicture(8, 2), 1);  // a closed section is not reopened
  }));
  const BookContents& book = reader.Book();
  ASSERT_EQ(book.sections.size(), 4u);
  EXPECT_EQ(book.sections[2].images.size(), 3u);
  EXPECT_EQ(book.sections[3].images.size(), 1u);
  const std::vector<uint32_t> pages = {
      book.sections[0].position,           book.sections[1].position,           book.sections[2].position,
      book.sections[2].images[1].position, book.sections[2].images[2].position, book.sections[3].position};
  for (int j = 0; j < 8; ++j) EXPECT_EQ(book.pageLists[j], pages) << j;
}

// A book long enough that its lines are cut on other threads, batch by batch and each thread its own
// batch: text sections, pictures between them, escaped bytes and page counts asked for on the way
// give the page lists the reader works out again on its own, counted in the order of the text.
TEST(BookWriter, LaysOutALongBookOnOtherThreadsAsTheReaderDoes) {
  std::vector<int> pageCounts;
  const BookReader reader(WriteBook([&](BookWriter& w) {
    for (int section = 0; section < 16; ++section) {
      for (int i = 0; i < 1500; ++i) {
        std::string paragraph;
        for (int word = 0; word < 5 + (i * 7 + section) % 60; ++word)
          paragraph += (word % 13 == 5   ? "R&D "
                        : word % 17 == 3 ? "\xEF\xF0\xE5\xE4\xEB\xEE\xE6\xE5\xED\xE8\xE5, "
                                         : "text ");
        w.AddParagraph(paragraph);
      }
      if (section % 2) w.AddPicture(MonoPicture(8, 2), 1);
      if (section % 4 == 3) pageCounts.push_back(w.PageCount(0));
    }
  }));
  // The counts asked for on the way are the pages written so far.
  EXPECT_TRUE(std::is_sorted(pageCounts.begin(), pageCounts.end()));
  EXPECT_EQ(pageCounts.back(), static_cast<int>(reader.Book().pageLists[0].size()));
  EXPECT_GT(pageCounts.back(), 1000);
}

TEST(BookWriter, ReadsBackWholeDevicePages) {
  const Bitmap grey = GreyPicture(600, 800), mono = MonoPicture(600, 800);
  const BookReader reader(WriteBook([&](BookWriter& w) {
    w.AddPicture(grey, 2);
    w.AddPicture(mono, 1);
  }));
  const auto& images = reader.Book().sections.at(0).images;
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].RowBytes(), 150u);
  EXPECT_EQ(images[1].RowBytes(), 75u);
  EXPECT_LT(images[0].dataLength, 150u * 800 / 4);  // compressed
  EXPECT_EQ(PackedRowsToGray(images[0], reader.DecodeRows(images[0])), DeviceGreys(grey));
  EXPECT_EQ(PackedRowsToGray(images[1], reader.DecodeRows(images[1])), DeviceGreys(mono));
}

TEST(BookWriter, IgnoresEntriesOfOtherKindsAndNamesABookWithoutEntriesByItsTitle) {
  const BookReader reader(WriteBook([](BookWriter& w) {
    w.AddParagraph("text");
    w.AddTOCEntry(0, "zero");
    w.AddTOCEntry(4, "four");
    w.AddTOCEntry(-1, "minus");
  }));
  EXPECT_TRUE(reader.Book().toc.empty());
  ASSERT_EQ(reader.Book().catalog.size(), 1u);
  EXPECT_EQ(reader.Book().catalog[0].title, "Sample");
  EXPECT_EQ(reader.Book().catalog[0].position, reader.Book().sections[0].position - reader.Book().bodyStart);
}

// Chapters or sections beyond the 255 one parent numbers go under group entries one level up, each
// linked as any entry is; subsections, with no level below them, beyond 255 are left out.
TEST(BookWriter, GroupsEntriesBeyond255UnderOneParentAndLeavesOutSubsectionsBeyond) {
  const BookReader reader(WriteBook([&](BookWriter& w) {
    w.BeginText();
    for (int i = 0; i < 300; ++i) EXPECT_TRUE(w.AddTOCEntry(1, "c" + std::to_string(i)));
    w.AddTOCEntry(2, "section");
  }));
  const auto& toc = reader.Book().toc;
  ASSERT_EQ(toc.size(), 2u + 300u + 1u);
  EXPECT_EQ(toc[0].title,
            "1\x96"
            "255");
  EXPECT_EQ(toc[0].childCount, 255);
  EXPECT_EQ(toc[toc[0].children.front()].title, "c0");
  EXPECT_EQ(toc[1].title,
            "256\x96"
            "300");
  EXPECT_EQ(toc[1].childCount, 45);
  EXPECT_EQ(toc[1].target, toc[toc[1].children.front()].target);  // a group leads to its first entry
  EXPECT_EQ(toc.back().title, "section");                         // one level deeper, as its chapter
  EXPECT_EQ(toc.back().level, 3);
  for (const auto& e : toc) EXPECT_FALSE(e.chapter == 0 && e.section == 0 && e.subsection == 0);

  // After a left-out subsection, the next section numbers its subsections from 1 again.
  std::vector<bool> added;
  const BookReader again(WriteBook([&](BookWriter& w) {
    w.BeginText();
    w.AddTOCEntry(1, "one");
    w.AddTOCEntry(2, "one.1");
    for (int i = 0; i < 256; ++i) added.push_back(w.AddTOCEntry(3, "s"));
    w.AddTOCEntry(2, "one.2");
    w.AddTOCEntry(3, "one.2.1");
  }));
  EXPECT_EQ(std::count(added.begin(), added.end(), false), 1);
  EXPECT_FALSE(added.back());  // the 256th subsection
  EXPECT_EQ(again.Book().toc.size(), 2u + 255u + 2u);
  const TocRecord& last = again.Book().toc.back();
  EXPECT_EQ(last.title, "one.2.1");
  EXPECT_EQ(last.section, 2);
  EXPECT_EQ(last.subsection, 1);
}

TEST(BookWriter, RefusesPicturesItCannotEncode) {
  MemoryOutputStream out;
  BookWriter w(out);
  w.WriteDescription();
  const Bitmap eightBit(8, 8, PixelFormat::k8Bit);
  w.BeginBody();
  const size_t before = out.Bytes().size();
  try {
    w.AddPicture(eightBit, 2);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Bad input image!");
  }
  EXPECT_EQ(out.Bytes().size(), before);  // not even the tag
  EXPECT_THROW(w.AddPicture(GreyPicture(4, 4), 1), Exception);

  MemoryOutputStream coverOut;
  BookWriter coverWriter(coverOut);
  coverWriter.WriteDescription();
  EXPECT_THROW(coverWriter.WriteCoverPicture(eightBit, 1), Exception);
}

// Counts the bytes of a book without keeping them, so that a test can pretend the book is huge.
class CountingStream : public OutputStream {
 public:
  void Write(const void*, size_t count) override {
    position_ += count;
    furthest = std::max(furthest, position_);
  }
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override { position_ = position; }
  void Skip(uint64_t bytes) { position_ += bytes; }
  uint64_t furthest = 0;

 private:
  uint64_t position_ = 0;
};

TEST(BookWriter, RefusesToGrowABookTo4GiB) {
  const std::string paragraph(1000, 'a');
  {
    CountingStream s;
    BookWriter w(s);
    w.WriteDescription();
    w.BeginBody();
    s.Skip(0xFFFFFFFFull - 100000);
    const auto writeALot = [&] {
      for (int i = 0; i < 200; ++i) w.AddParagraph(paragraph);
    };
    EXPECT_THROW(writeALot(), WriteError);
    EXPECT_LE(s.furthest, 0xFFFFFFFFull);
  }
  {  // the trailing blocks would cross the limit
    CountingStream s;
    BookWriter w(s);
    w.WriteDescription();
    w.BeginBody();
    w.AddParagraph("x");
    w.EndBody();
    s.Skip(0xFFFFFFFFull - 60 - s.Position());
    EXPECT_THROW(w.Finish(), WriteError);
    EXPECT_LE(s.furthest, 0xFFFFFFFFull);
  }
}

}  // namespace
}  // namespace bookloom
