#include "ui/FileListCommands.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace bookloom {

namespace {

size_t At(int index) { return static_cast<size_t>(index); }

// A file's state set from `states` for each row of `rows`.
class FileStatesCommand : public QUndoCommand {
 public:
  FileStatesCommand(const QString& text, FileList& list, std::vector<int> rows, std::vector<FileState> before,
                    std::vector<FileState> after, ListChanged changed)
      : QUndoCommand(text),
        list_(list),
        rows_(std::move(rows)),
        before_(std::move(before)),
        after_(std::move(after)),
        changed_(std::move(changed)) {}

  void redo() override { Set(after_); }
  void undo() override { Set(before_); }

 private:
  void Set(const std::vector<FileState>& states) {
    for (size_t i = 0; i < rows_.size(); ++i) {
      FileItem& item = list_.Items(rows_[i]);
      item.SetEdits(states[i].edits);
      item.SetSettings(states[i].settings, states[i].ownSettings);
    }
    changed_(rows_);
  }

  FileList& list_;
  std::vector<int> rows_;
  std::vector<FileState> before_, after_;
  ListChanged changed_;
};

}  // namespace

PlaceFilesCommand::PlaceFilesCommand(const QString& text, FileList& list, std::vector<int> rows,
                                     std::vector<std::unique_ptr<FileItem>> items, ListChanged changed)
    : QUndoCommand(text),
      list_(list),
      rows_(std::move(rows)),
      items_(std::move(items)),
      adding_(true),
      changed_(std::move(changed)) {}

PlaceFilesCommand::PlaceFilesCommand(const QString& text, FileList& list, std::vector<int> rows,
                                     ListChanged changed)
    : QUndoCommand(text), list_(list), rows_(std::move(rows)), adding_(false), changed_(std::move(changed)) {}

void PlaceFilesCommand::redo() { adding_ ? Insert() : Take(); }

void PlaceFilesCommand::undo() { adding_ ? Take() : Insert(); }

void PlaceFilesCommand::Insert() {
  for (size_t i = 0; i < rows_.size(); ++i) list_.Insert(rows_[i], std::move(items_[i]));
  items_.clear();
  changed_(rows_);
}

void PlaceFilesCommand::Take() {
  items_.resize(rows_.size());
  for (size_t i = rows_.size(); i-- > 0;) items_[i] = list_.Take(rows_[i]);
  // The file that followed the first one taken is selected, or the last one when none followed.
  const int next = std::min(rows_.front(), list_.Count() - 1);
  changed_(next >= 0 ? std::vector<int>{next} : std::vector<int>{});
}

ReorderFilesCommand::ReorderFilesCommand(const QString& text, FileList& list, std::vector<int> order,
                                         std::vector<int> selectedBefore, std::vector<int> selected,
                                         ListChanged changed)
    : QUndoCommand(text),
      list_(list),
      order_(std::move(order)),
      inverse_(order_.size()),
      selectedBefore_(std::move(selectedBefore)),
      selected_(std::move(selected)),
      changed_(std::move(changed)) {
  for (size_t place = 0; place < order_.size(); ++place)
    inverse_[At(order_[place])] = static_cast<int>(place);
}

void ReorderFilesCommand::redo() {
  ReorderFiles(list_, order_);
  changed_(selected_);
}

void ReorderFilesCommand::undo() {
  ReorderFiles(list_, inverse_);
  changed_(selectedBefore_);
}

void ReorderFiles(FileList& list, const std::vector<int>& order) {
  // Each place in turn takes the file it should hold.
  std::vector<int> placeOf(order.size()), fileAt(order.size());
  std::iota(placeOf.begin(), placeOf.end(), 0);
  std::iota(fileAt.begin(), fileAt.end(), 0);
  for (int place = 0; place < static_cast<int>(order.size()); ++place) {
    const int from = placeOf[At(order[At(place)])];
    if (from == place) continue;
    list.Exchange(place, from);
    std::swap(fileAt[At(place)], fileAt[At(from)]);
    placeOf[At(fileAt[At(place)])] = place;
    placeOf[At(fileAt[At(from)])] = from;
  }
}

std::vector<FileState> FileStates(const FileList& list) {
  std::vector<FileState> states;
  for (int row = 0; row < list.Count(); ++row) {
    const FileItem& item = list.Items(row);
    states.push_back({item.Edits(), item.Settings(), item.HasOwnSettings()});
  }
  return states;
}

std::unique_ptr<QUndoCommand> MakeFileStatesCommand(const QString& text, FileList& list,
                                                    const std::vector<FileState>& before,
                                                    ListChanged changed) {
  const std::vector<FileState> now = FileStates(list);
  std::vector<int> rows;
  std::vector<FileState> old, current;
  for (size_t row = 0; row < now.size() && row < before.size(); ++row) {
    if (now[row] == before[row]) continue;
    rows.push_back(static_cast<int>(row));
    old.push_back(before[row]);
    current.push_back(now[row]);
  }
  if (rows.empty()) return nullptr;
  return std::make_unique<FileStatesCommand>(text, list, std::move(rows), std::move(old), std::move(current),
                                             std::move(changed));
}

}  // namespace bookloom
