// The dialog that edits the table of contents: every file's entries in list order, nested by their
// levels, to rename, move a level up or down, or leave out, and a command that runs the chapter
// rules on every text. The edits are kept on the file items (book/Contents.h).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "book/Contents.h"
#include "book/FileSettings.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace bookloom {

class FileItem;
class FileList;

class ContentsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ContentsDialog(QWidget* parent = nullptr);

  // Shows the entries of the files. OK keeps the edits on the items, and the chapter detection that
  // "Detect chapters" turned on; Cancel leaves every item as it was. True when OK changed anything.
  bool Execute(FileList& files);

  // The tree: a row for each file, with its entries below it; an entry's row holds its title, which
  // is edited in place, and a check that is cleared for an entry left out.
  QTreeWidget* tree;
  QPushButton* levelUpButton;
  QPushButton* levelDownButton;
  QPushButton* leaveOutButton;  // leaves the current entry out, or puts it back
  QPushButton* detectChaptersButton;
  QPushButton* okButton;
  QPushButton* cancelButton;

  // The row of the entry `index` of file `file` (both from 0); nullptr when there is none.
  QTreeWidgetItem* EntryRow(int file, int index) const;

 private:
  // One file of the list while the dialog runs.
  struct FileState {
    FileItem* item;
    FileSettings settings;  // as the dialog found them
    bool ownSettings;
    std::vector<ContentsEntry> entries;
    ContentsEdits edits;
    std::u16string error;  // why the entries cannot be listed
  };

  void ListEntries(FileState& state);
  // Fills the tree again, keeping the current entry.
  void Fill();
  // Shows the entry's planned title, level and whether it is left out.
  void ShowEntry(QTreeWidgetItem& row, const PlannedEntry& entry);
  // The file and entry of a row; false for a file's row.
  bool EntryOf(const QTreeWidgetItem* row, int& file, int& index) const;
  void OnItemChanged(QTreeWidgetItem* row, int column);
  void Shift(int direction);
  void OnLeaveOut();
  void OnDetectChapters();
  void UpdateButtons();
  // After an edit: the tree is filled again once the current event is over (the edited row may
  // still be in use).
  void Refill();

  FileList* list_ = nullptr;
  std::vector<FileState> files_;
  bool filling_ = false;
};

}  // namespace bookloom
