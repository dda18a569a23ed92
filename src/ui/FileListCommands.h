// The edits of the book that Undo takes back and Redo makes again: files added or removed, files
// moved, what a file's table of contents and settings hold, and what a dialog sets for the whole
// book (its description, cover and settings).
#pragma once

#include <QUndoCommand>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "book/FileItem.h"

namespace bookloom {

// What the window does after a command changed the list: shows the list again and selects `rows`.
using ListChanged = std::function<void(const std::vector<int>& rows)>;

// Files put into the list at their rows, or taken out of it: redo does the one, undo the other.
class PlaceFilesCommand : public QUndoCommand {
 public:
  // Adds `items` at `rows` (ascending, the rows they will hold) on redo.
  PlaceFilesCommand(const QString& text, FileList& list, std::vector<int> rows,
                    std::vector<std::unique_ptr<FileItem>> items, ListChanged changed);
  // Removes the files of `rows` (ascending) on redo.
  PlaceFilesCommand(const QString& text, FileList& list, std::vector<int> rows, ListChanged changed);

  void redo() override;
  void undo() override;

 private:
  void Insert();
  void Take();

  FileList& list_;
  std::vector<int> rows_;
  std::vector<std::unique_ptr<FileItem>> items_;  // the files out of the list
  bool adding_;
  ListChanged changed_;
};

// The files put in a new order: `order` gives, place by place, the row each file had; `selected`
// are the rows selected after it, `selectedBefore` those before it.
class ReorderFilesCommand : public QUndoCommand {
 public:
  ReorderFilesCommand(const QString& text, FileList& list, std::vector<int> order,
                      std::vector<int> selectedBefore, std::vector<int> selected, ListChanged changed);

  void redo() override;
  void undo() override;

 private:
  FileList& list_;
  std::vector<int> order_, inverse_, selectedBefore_, selected_;
  ListChanged changed_;
};

// What a file's table of contents and settings hold.
struct FileState {
  ContentsEdits edits;
  FileSettings settings;
  bool ownSettings = false;
  bool operator==(const FileState&) const = default;
};

// The state of every file in the list, in order.
std::vector<FileState> FileStates(const FileList& list);

// The files' states changed from `before` to what they are now (a dialog changed them); redo sets
// the new ones, undo the old ones. Null when nothing changed.
std::unique_ptr<QUndoCommand> MakeFileStatesCommand(const QString& text, FileList& list,
                                                    const std::vector<FileState>& before,
                                                    ListChanged changed);

// A value of the book that a dialog changed from `before` to `after`: redo sets the one and undo
// the other, each through `set`, which also shows the change.
template <typename Value>
class SetValueCommand : public QUndoCommand {
 public:
  SetValueCommand(const QString& text, Value before, Value after, std::function<void(const Value&)> set)
      : QUndoCommand(text), before_(std::move(before)), after_(std::move(after)), set_(std::move(set)) {}

  void redo() override { set_(after_); }
  void undo() override { set_(before_); }

 private:
  Value before_, after_;
  std::function<void(const Value&)> set_;
};

// Puts the files in the order `order` gives (place by place, the row each file had).
void ReorderFiles(FileList& list, const std::vector<int>& order);

}  // namespace bookloom
