// A table of contents with more entries under one parent than a book numbers (255): the entries
// are put under group entries of their own ("1–255", "256–510", ...) instead of being lost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace bookloom {

// An entry as the book's writer is given it: its kind (1 chapter, 2 section, 3 subsection), its
// Windows-1251 title and the position it leads to.
struct ContentsItem {
  int kind;
  std::string title;
  uint32_t position;
};

// The most entries one parent holds: their numbers are one byte, and 0 means none.
inline constexpr size_t kMostEntriesUnderOne = 255;

// The entries with every parent's run of more than kMostEntriesUnderOne children of a kind above the
// third put into groups: a group entry of the children's kind, titled by the children's numbers
// ("1–255") and leading to its first child, above its children, which go one kind deeper with
// their own children (nothing goes below the third kind: deeper entries stand beside their parent
// there). A group under which the children would stand at the third kind holds no more than
// kMostEntriesUnderOne entries in all. Entries of parents within the limit keep their kinds.
std::vector<ContentsItem> GroupedContents(const std::vector<ContentsItem>& items);

}  // namespace bookloom
