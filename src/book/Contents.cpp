#include "book/Contents.h"

#include <algorithm>

namespace bookloom {

namespace {

const ContentsEdit* EditAt(const ContentsEdits& edits, size_t index) {
  for (const ContentsEdit& edit : edits)
    if (edit.index == index) return &edit;
  return nullptr;
}

bool ChangesNothing(const ContentsEdit& edit) {
  return edit.title.empty() && edit.levelShift == 0 && !edit.omitted;
}

// Changes the entry's edit (made when it has none), removing it when it then changes nothing; the
// edits stay as they were when the plan does not change. Whether it changed.
template <class Change>
bool ChangeEdit(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index,
                Change change) {
  if (index >= entries.size()) return false;
  ContentsEdits changed = FittingEdits(entries, edits);
  auto edit =
      std::find_if(changed.begin(), changed.end(), [&](const ContentsEdit& e) { return e.index == index; });
  if (edit == changed.end())
    edit = changed.insert(changed.end(), {index, entries[index].title, u"", 0, false});
  change(*edit);
  if (ChangesNothing(*edit)) changed.erase(edit);
  std::sort(changed.begin(), changed.end(),
            [](const ContentsEdit& a, const ContentsEdit& b) { return a.index < b.index; });
  const std::vector<PlannedEntry> before = PlanContents(entries, edits),
                                  after = PlanContents(entries, changed);
  const bool differs =
      !std::equal(before.begin(), before.end(), after.begin(), after.end(),
                  [](const PlannedEntry& a, const PlannedEntry& b) {
                    return a.title == b.title && a.level == b.level && a.omitted == b.omitted;
                  });
  if (differs) edits = std::move(changed);
  return differs;
}

}  // namespace

ContentsEdits FittingEdits(const std::vector<ContentsEntry>& entries, const ContentsEdits& edits) {
  ContentsEdits fitting;
  for (const ContentsEdit& edit : edits)
    if (edit.index < entries.size() && entries[edit.index].title == edit.original && !ChangesNothing(edit) &&
        !EditAt(fitting, edit.index))
      fitting.push_back(edit);
  return fitting;
}

std::vector<PlannedEntry> PlanContents(const std::vector<ContentsEntry>& entries,
                                       const ContentsEdits& edits) {
  const ContentsEdits fitting = FittingEdits(entries, edits);
  const bool levelsEdited = std::any_of(fitting.begin(), fitting.end(), [](const ContentsEdit& edit) {
    return edit.levelShift != 0 || edit.omitted;
  });
  // The entries above the current one, each with its own level and how far its entries move: as far
  // as it moved, and one level more up when it is left out.
  struct Above {
    int level;
    int move;
  };
  std::vector<Above> above;
  std::vector<PlannedEntry> plan;
  int previous = 0;  // the level of the last entry written before
  for (size_t i = 0; i < entries.size(); ++i) {
    const ContentsEntry& entry = entries[i];
    const ContentsEdit* edit = EditAt(fitting, i);
    while (!above.empty() && above.back().level >= entry.level) above.pop_back();
    PlannedEntry planned{entry.title, entry.title, entry.level, false, edit != nullptr};
    int move = above.empty() ? 0 : above.back().move;
    if (edit) {
      if (!edit->title.empty()) planned.title = edit->title;
      move += edit->levelShift;
      planned.omitted = edit->omitted;
    }
    if (move != 0) {
      planned.level = std::max(1, entry.level + move);
      // An entry the item makes too deep may come up; one moved down stops at the deepest level.
      if (entry.level <= kDeepestContentsLevel)
        planned.level = std::min(planned.level, kDeepestContentsLevel);
    }
    if (levelsEdited) planned.level = std::max(1, std::min(planned.level, previous + 1));
    if (!planned.omitted && planned.level <= kDeepestContentsLevel) previous = planned.level;
    above.push_back({entry.level, planned.level - entry.level - (planned.omitted ? 1 : 0)});
    plan.push_back(std::move(planned));
  }
  return plan;
}

bool RenameEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index,
                 const std::u16string& title) {
  return ChangeEdit(edits, entries, index, [&](ContentsEdit& edit) {
    edit.title = title == edit.original ? std::u16string() : title;
  });
}

bool ShiftEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index, int shift) {
  return ChangeEdit(edits, entries, index, [&](ContentsEdit& edit) { edit.levelShift += shift; });
}

bool OmitEntry(ContentsEdits& edits, const std::vector<ContentsEntry>& entries, size_t index, bool omitted) {
  return ChangeEdit(edits, entries, index, [&](ContentsEdit& edit) { edit.omitted = omitted; });
}

bool CanShiftEntry(const std::vector<ContentsEntry>& entries, const ContentsEdits& edits, size_t index,
                   int direction) {
  if (index >= entries.size()) return false;
  ContentsEdits shifted = edits;
  ShiftEntry(shifted, entries, index, direction);
  const int before = PlanContents(entries, edits)[index].level,
            after = PlanContents(entries, shifted)[index].level;
  return direction < 0 ? after < before : after > before;
}

}  // namespace bookloom
