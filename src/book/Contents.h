// The table of contents the user edits: the entries one file item writes, in order and with their
// levels, and the user's edits of them (a new title, a level up or down, an entry left out), which
// stay with the item and are applied as it writes its entries.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace bookloom {

// One entry an item writes, as the item makes it: level 1 (chapter), 2 (section) or 3
// (subsection); a text's heading may stand deeper, and then has no entry.
struct ContentsEntry {
  std::u16string title;
  int level = 1;
  bool operator==(const ContentsEntry&) const = default;
};

// The user's edit of one entry, which it names by its place among the item's entries and by its
// title then: an edit whose entry has another title now (the text changed, chapters were turned
// off) applies to nothing.
struct ContentsEdit {
  size_t index = 0;
  std::u16string original;
  std::u16string title;  // the new title; empty keeps the entry's own
  int levelShift = 0;    // negative: that many levels up; positive: down
  bool omitted = false;
  bool operator==(const ContentsEdit&) const = default;
};
using ContentsEdits = std::vector<ContentsEdit>;

// An entry as the book will have it.
struct PlannedEntry {
  std::u16string original;  // the item's title
  std::u16string title;     // the title written
  int level = 1;            // the level written; above 3 the entry cannot be written
  bool omitted = false;
  bool edited = false;  // an edit applies to it
};

inline constexpr int kDeepestContentsLevel = 3;

// The entries with the edits that still fit them applied. An entry's entries (those after it on
// deeper levels, up to the next on its level or above) move with it: as far as it moves up or down,
// and one level up when it is left out, taking its place. Levels stay within 1..3 (an entry the item
// makes deeper stays too deep unless it is moved up), and, once any level is edited, no entry
// stands more than one level below the entry written before it in the item, nor below level 1 at
// the item's start. Without an edit of a level or an entry left out, the levels are the item's own.
std::vector<PlannedEntry> PlanContents(const std::vector<ContentsEntry>& entries, const ContentsEdits& edits);

// The edits that still fit the entries: the rest are dropped.
ContentsEdits FittingEdits(const std::vector<ContentsEntry>& entries, const ContentsEdits& edits);

// Changes of one entry's edit; an edit that changes nothing any more is removed, and a change that
// leaves the plan as it was (a level beyond 1..3) is not made. Each returns whether the plan changed.
bool RenameEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index,
                 const std::u16string& title);
bool ShiftEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index, int shift);
bool OmitEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index, bool omitted);

// Whether the entry can move one level up (-1) or down (+1): its planned level then changes.
bool CanShiftEntry(const std::vector<ContentsEntry>& entries, const ContentsEdits& edits, size_t index,
                   int direction);

}  // namespace bookloom
