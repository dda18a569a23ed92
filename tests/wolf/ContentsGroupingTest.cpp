// Tables of contents with more entries under one parent than a book numbers: the entries go under
// group entries of their own instead of being lost, and tables within the limit stay as they are.
#include <gtest/gtest.h>

#include "wolf/ContentsGrouping.h"

namespace bookloom {
namespace {

// Entries of one kind each, titled by their number from 1, leading to their number as position.
std::vector<ContentsItem> WithRun(std::vector<ContentsItem> items, int kind, int count) {
  for (int i = 1; i <= count; ++i)
    items.push_back({kind, std::to_string(i), static_cast<uint32_t>(items.size())});
  return items;
}

// "kind title" of each entry.
std::vector<std::string> Shown(const std::vector<ContentsItem>& items) {
  std::vector<std::string> shown;
  for (const ContentsItem& item : items) shown.push_back(std::to_string(item.kind) + " " + item.title);
  return shown;
}

TEST(GroupedContents, GroupsWhatOneParentCannotNumber) {
  // Within the limit nothing changes, whatever the kinds.
  const std::vector<ContentsItem> small = WithRun(WithRun(WithRun({}, 1, 3), 2, 255), 3, 2);
  EXPECT_EQ(Shown(GroupedContents(small)), Shown(small));

  // 600 chapters: three groups, the chapters below them as sections.
  const std::vector<ContentsItem> chapters = WithRun({}, 1, 600);
  const std::vector<ContentsItem> grouped = GroupedContents(chapters);
  ASSERT_EQ(grouped.size(), 603u);
  EXPECT_EQ(
      Shown({grouped[0], grouped[1], grouped[255], grouped[256], grouped[257], grouped[511], grouped[512]}),
      (std::vector<std::string>{"1 1\x96"
                                "255",
                                "2 1", "2 255",
                                "1 256\x96"
                                "510",
                                "2 256", "2 510",
                                "1 511\x96"
                                "600"}));
  EXPECT_EQ(grouped[256].position, chapters[255].position);  // a group leads to its first entry

  // 300 sections of one chapter, each with a subsection: grouped at the third kind, a subsection
  // beside its section, no group holding more than 255.
  std::vector<ContentsItem> sections = {{1, "Part", 0}};
  for (int i = 1; i <= 300; ++i) sections = WithRun(WithRun(sections, 2, 1), 3, 1);
  const std::vector<ContentsItem> flat = GroupedContents(sections);
  ASSERT_EQ(flat.size(), 1u + 600u + 3u);
  EXPECT_EQ(Shown({flat[0], flat[1], flat[2], flat[3]}), (std::vector<std::string>{"1 Part",
                                                                                   "2 1\x96"
                                                                                   "127",
                                                                                   "3 1", "3 1"}));
  EXPECT_EQ(Shown({flat[256], flat[257]}), (std::vector<std::string>{"2 128\x96"
                                                                     "254",
                                                                     "3 1"}));
}

}  // namespace
}  // namespace bookloom
