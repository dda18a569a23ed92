// The main window: the book project (files, description, cover), its actions, and the settings
// file that keeps the window's bounds and the cover defaults of a new book.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "pictures/cBookCoverPage.h"
#include "project/cBlmFileItem.h"
#include "project/cBookDescription.h"

class QAction;
class QTreeView;

namespace bookloom {

class TFileListModel;
class TfrmAbout;
class TfrmEditBookCoverPage;
class TfrmEditBookDescription;
class TMessages;

class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the project, reads the settings file beside the executable, applies the window
  // bounds it holds, builds the open dialog's filter and starts a new book; then creates the
  // description dialog, the about box (with the executable's version) and the cover page
  // dialog, once each.
  TfrmMain(TMessages& messages, const std::u16string& executablePath, QWidget* parent = nullptr);
  ~TfrmMain() override;

  // Adds one input file: a name that is no existing file, or whose extension is not
  // registered, is skipped silently; an item that fails its check is not added and its error
  // passes on. The same file may be added several times.
  void AddFile(const std::u16string& fileName);
  // Adds the files in order and refreshes the list; an error ends the loop and is reported,
  // the files before it stay.
  void AddFiles(const std::vector<std::u16string>& fileNames);
  // Empties the project: description cleared, cover from the settings, no files.
  void NewBook();
  // Sets the list view's row count to the file count and draws every row again.
  void RefreshFileList();
  // The enabling rules of the actions; run whenever the program becomes idle.
  void UpdateActions();
  // Builds the book into the file of that name.
  void MakeWolf(const std::u16string& fileName);

  TBlmFileList FileList;
  TBookDescription Description;
  TBookCoverPage CoverPage;

  QAction* actAddFile;
  QAction* actRemoveFile;
  QAction* actMoveFileUp;
  QAction* actMoveFileDown;
  QAction* actFileSettings;
  QAction* actClearAll;
  QAction* actExit;
  QAction* actEditTOC;
  QAction* actEditDescription;
  QAction* actEditCoverPage;
  QAction* actMakeWolf;
  QAction* actHelpAbout;
  QTreeView* lvwFileList;

  TfrmEditBookDescription* frmEditBookDescription;
  TfrmAbout* frmAbout;
  TfrmEditBookCoverPage* frmEditBookCoverPage;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateClientArea();

  void actAddFileExecute();
  void actRemoveFileExecute();
  void actMoveFileUpExecute();
  void actMoveFileDownExecute();
  void actClearAllExecute();
  void actEditDescriptionExecute();
  void actEditCoverPageExecute();
  void actMakeWolfExecute();
  void actHelpAboutExecute();

  // Moves the file of the current row by `offset` places; the selection follows it.
  void MoveCurrentFile(int offset);
  // The selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  // Connects an action to a handler whose errors go to the general error box.
  void OnTriggered(QAction* action, void (TfrmMain::*handler)());

  TMessages& messages_;
  std::u16string settingsFileName_;
  std::u16string addFileFilter_;
  TFileListModel* model_;
};

}  // namespace bookloom
