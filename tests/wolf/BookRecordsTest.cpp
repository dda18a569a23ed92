#include <gtest/gtest.h>

#include "platform/LittleEndian.h"
#include "wolf/BookRecords.h"

namespace bookloom {
namespace {

TEST(WolfEscape, ReplacesTheFiveCharactersAmpersandFirst) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a&b", "a&apos;b"},
      {"<x>", "&lt;x&gt;"},
      {"\"'", "&quot;&squot;"},
      {"&lt;", "&apos;lt;"},  // an existing entity is escaped again
      {"", ""},
      {"plain \xCC\xE0\xEC\xE0", "plain \xCC\xE0\xEC\xE0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WolfEscape(c.in), c.out) << c.in;
    EXPECT_EQ(WolfEscapedLength(c.in), c.out.size()) << c.in;
  }
  for (int b = 0; b < 256; ++b) {
    const std::string one(1, static_cast<char>(b));
    EXPECT_EQ(WolfEscapedLength(one), WolfEscape(one).size()) << b;
    // In a long text, which is searched many bytes at a time, at every place of a block.
    for (size_t at : {0, 31, 32, 70}) {
      std::string text(100, 'x'), expected(text);
      text[at] = one[0];
      expected.replace(at, 1, WolfEscape(one));
      EXPECT_EQ(WolfEscape(text), expected) << b << " at " << at;
    }
  }
}

TEST(WolfImageTag, WritesTheAttributesInTheirFixedOrder) {
  EXPECT_EQ(WolfImageTag(600, 800, 2, 12345, 1),
            "<img bitcount=2 compact=1 width=600 height=800 length=12345>");
  EXPECT_EQ(WolfImageTag(1, 2, 1, 0, 1), "<img bitcount=1 compact=1 width=1 height=2 length=0>");
}

TEST(WithBookLineEnds, MakesEveryLineEndCrLf) {
  const struct {
    std::string in, out;
  } cases[] = {
      {"a\nb", "a\r\nb"},         {"a\r\nb", "a\r\nb"}, {"a\rb", "a\r\nb"},
      {"a\n\r\nb", "a\r\n\r\nb"}, {"\n", "\r\n"},       {"ab", "ab"},
  };
  for (const auto& c : cases) EXPECT_EQ(WithBookLineEnds(c.in), c.out) << c.in;
}

TEST(DescriptionRecord, CutsThenTrimsAndKeepsTheBlockSize) {
  DescriptionRecord d;
  EXPECT_EQ(d.Size(), 107);
  EXPECT_EQ(d.GetText(),
            "<title>\r\n<subject>\r\n<author>\r\n<adpter>\r\n<translator>\r\n<publisher>\r\n"
            "<time_publish>\r\n<introduction>\r\n<ISBN>\r\n");

  // Cut to 128 first: the blanks that end up last are trimmed, the letters beyond are gone.
  using enum DescriptionFieldId;
  d.SetValue(kTitle, std::string(126, 'a') + "  " + std::string(72, 'b'));
  EXPECT_EQ(d.GetValue(kTitle), std::string(126, 'a'));
  d.SetValue(kTitle, std::string(200, ' '));
  EXPECT_EQ(d.GetValue(kTitle), "");
  d.SetValue(kAuthor, "\t\x01 Author \r\n");
  EXPECT_EQ(d.GetValue(kAuthor), "Author");
  d.SetValue(kTimeWrite, "2024-01-01 12:00:00 extra");  // time_write keeps 16 bytes
  EXPECT_EQ(d.GetValue(kTimeWrite), "2024-01-01 12:00");
  d.SetValue(kTitle, "<T>");

  const std::string text = d.GetText();
  EXPECT_EQ(text.substr(0, 20), "<title>&lt;T&gt;\r\n<s");
  EXPECT_NE(text.find("<time_write>2024-01-01 12:00\r\n<publisher>"), std::string::npos);
  EXPECT_EQ(d.Size(), static_cast<int32_t>(text.size()));

  DescriptionRecord copy = d;
  EXPECT_EQ(copy.GetText(), text);
  EXPECT_EQ(copy.Size(), d.Size());
  copy.Clear();
  EXPECT_EQ(copy.Size(), 107);
  EXPECT_EQ(d.GetValue(DescriptionFieldId::kAuthor), "Author");
}

TEST(TocEntry, DerivesKeyLevelAndTitle) {
  const struct {
    uint8_t chapter, section, subsection;
    uint32_t key;
    int level;
  } cases[] = {
      {1, 0, 0, 0x010000, 1},       {1, 2, 0, 0x010200, 2},
      {1, 2, 3, 0x010203, 3},       {0, 0, 2, 0x000002, 3},  // section 0 with a subsection is level 3
      {255, 255, 255, 0xFFFFFF, 3},
  };
  for (const auto& c : cases) {
    TocEntry item(c.chapter, c.section, c.subsection, "t", 7);
    EXPECT_EQ(item.Key(), c.key);
    EXPECT_EQ(item.Level(), c.level) << c.key;
  }
  EXPECT_EQ(TocEntry(1, 0, 0, std::string(300, 'x'), 0).Title().size(), 254u);
}

struct RecordLinks {
  uint16_t titleLength, children;
  uint32_t previous, next, firstChild, parent;
};

RecordLinks LinksOf(const std::string& record) {
  return {GetU16(record, 8),  GetU16(record, 10), GetU32(record, 12),
          GetU32(record, 16), GetU32(record, 20), GetU32(record, 24)};
}

TEST(TocList, SortsByLevelThenKeyAndLinksRecordsByNumber) {
  TocList toc;
  toc.Add(1, 0, 0, "One", 10);
  toc.Add(1, 1, 0, "One.1", 11);
  toc.Add(1, 1, 1, "One.1.1", 12);
  toc.Add(1, 2, 0, "One.2", 13);
  toc.Add(2, 0, 0, std::string(45, 'T'), 14);
  toc.Add(0, 0, 2, "orphan", 15);
  toc.Sort();
  const uint32_t sortedKeys[] = {0x010000, 0x020000, 0x010100, 0x010200, 0x000002, 0x010101};
  ASSERT_EQ(toc.Count(), 6);
  for (int i = 0; i < toc.Count(); ++i) EXPECT_EQ(toc.Items(i).Key(), sortedKeys[i]) << i;
  EXPECT_EQ(toc.IndexOfKey(0x020000), 1);
  EXPECT_EQ(toc.IndexOfKey(0x030000), -1);
  EXPECT_EQ(toc.IndexOfKey(0), -1);

  const uint32_t r = 1000;
  const auto rec = [&](int i) { return r + 80 * i; };
  const struct {
    int index;
    RecordLinks links;
  } cases[] = {
      // chapter 1: no previous (own number 1), next chapter 2, first child (1,1,0), no parent
      {0, {3, 2, 0, rec(1), rec(2), 0}},
      // chapter 2: previous chapter 1, no chapter 3, no (2,1,0)
      {1, {45, 0, rec(0), 0, 0, 0}},
      // section (1,1): next (1,2), first child (1,1,1), parent chapter 1
      {2, {5, 1, 0, rec(3), rec(5), rec(0)}},
      {3, {5, 0, rec(2), 0, 0, rec(0)}},
      // (0,0,2): previous (0,0,1) absent, parent key 0 is nobody's
      {4, {6, 0, 0, 0, 0, 0}},
      {5, {7, 0, 0, 0, 0, rec(2)}},
  };
  for (const auto& c : cases) {
    const std::string record = toc.BuildRecord(c.index, r);
    ASSERT_EQ(record.size(), 80u);
    const RecordLinks got = LinksOf(record);
    EXPECT_EQ(got.titleLength, c.links.titleLength) << c.index;
    EXPECT_EQ(got.children, c.links.children) << c.index;
    EXPECT_EQ(got.previous, c.links.previous) << c.index;
    EXPECT_EQ(got.next, c.links.next) << c.index;
    EXPECT_EQ(got.firstChild, c.links.firstChild) << c.index;
    EXPECT_EQ(got.parent, c.links.parent) << c.index;
    EXPECT_EQ(GetU32(record, 0), 0u);
    EXPECT_EQ(GetU32(record, 4), 0u);
  }

  const std::string long45 = toc.BuildRecord(1, r);
  EXPECT_EQ(long45.substr(28, 4), std::string("\0\0\x02\0", 4));
  EXPECT_EQ(long45.substr(32, 40), std::string(40, 'T'));  // 45 bytes cut to 40, no terminator
  EXPECT_EQ(long45.substr(72), std::string(8, '\0'));
  const std::string short3 = toc.BuildRecord(2, r);
  EXPECT_EQ(short3.substr(28, 4), std::string("\0\x01\x01\0", 4));
  EXPECT_EQ(short3.substr(32, 48), "One.1" + std::string(43, '\0'));
}

TEST(TocLinksOf, StopsAtTheEndsOfTheNumbering) {
  const auto r1 = TocLinksOf(0xFF0000, 1);
  EXPECT_EQ(r1.next, 0u);
  EXPECT_EQ(r1.previous, 0xFE0000u);
  const auto r3 = TocLinksOf(0x0102FF, 3);
  EXPECT_EQ(r3.next, 0u);
  EXPECT_EQ(r3.parent, 0x010200u);
  EXPECT_EQ(r3.firstChild, 0u);
}

TEST(PageTable, WrapsGroupIndicesAndRecordsEachSectionStartOnce) {
  PageTable table(4);
  table.Group(1).Add(5);
  EXPECT_EQ(&table.Group(5), &table.Group(1));
  table.AddSectionStart(100);
  table.AddSectionStart(100);
  EXPECT_EQ(table.Group(0).Count(), 1);
  EXPECT_EQ(table.Group(1).Count(), 2);
  table.Group(2).AddRelative(30);
  EXPECT_EQ(table.Group(2).Items(1), 130u);
  PageList empty;
  empty.AddRelative(9);
  EXPECT_EQ(empty.Items(0), 9u);
  EXPECT_EQ(table.Group(1).ByteSize(), 8u);
}

}  // namespace
}  // namespace bookloom
