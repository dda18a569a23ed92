// The main window: the book project (files, description, cover), its actions, and the settings
// file that keeps the window's bounds and the cover defaults of a new book.
#pragma once

#include <QMainWindow>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/FileSettings.h"
#include "pictures/CoverPage.h"
#include "ui/Settings.h"

class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QTreeView;
class QUndoStack;

namespace bookloom {

class FileListModel;
struct FileState;
class AboutDialog;
class BuildDialog;
class PreviewPane;
class ContentsDialog;
class CoverPageDialog;
class DescriptionDialog;
class FileSettingsDialog;
class UserDialogs;

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  // Creates the project, reads the user's settings (taking over those of an old settings file
  // beside the executable once), applies the window bounds they hold, builds the open dialog's
  // filter and starts a new book; then creates the description dialog, the about box and the cover
  // page dialog, once each.
  // The window reads its inputs with the run's libraries, `runtime`, which outlives it.
  MainWindow(const Runtime& runtime, UserDialogs& messages, const std::u16string& executablePath,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Adds files and folders as the command line's make does (named, dropped, chosen): the ones that
  // can be used are added in order, and those that cannot are named together in one warning. When
  // some hold damaged pages or pictures, offers to leave those out of the book as --skip-bad does.
  void AddInputs(const std::vector<std::u16string>& fileNames);
  // Empties the project: description cleared, cover from the settings, no files.
  void NewBook();
  // Sets the list view's row count to the file count and draws every row again.
  void RefreshFileList();
  // The enabling rules of the actions; run whenever the program becomes idle.
  void UpdateActions();
  // Builds the book into the file of that name.
  void MakeBook(const std::u16string& fileName);

  // Opens what File > Open names: a Wolf book in a viewer of its own (the project stays), a project
  // as OpenProject does; anything else is refused with an error that says so.
  void OpenFile(const std::u16string& fileName);
  // Opens a project in place of the book, asking first to save unsaved changes; the files that
  // cannot be used any more are left out and named in a warning.
  void OpenProject(const std::u16string& fileName);
  // Saves the book as the project of that name, which the window then has open.
  void SaveProject(const std::u16string& fileName);
  // Whether the book holds changes not saved: the undo stack has moved away from where it stood
  // when the book was started, opened or saved (undoing back to it leaves nothing unsaved).
  bool Modified() const;
  // The settings of every file without its own: the settings file's defaults in a new book, the
  // project's in an opened one.
  const FileSettings& BookSettings() const { return bookSettings_; }
  const std::u16string& ProjectFileName() const { return projectFileName_; }

  FileList fileList;
  BookDescription description;
  CoverPage coverPage;

  QAction* newProjectAction;
  QAction* openProjectAction;
  QAction* saveProjectAction;
  QAction* saveProjectAsAction;
  QAction* addFileAction;
  QAction* addFolderAction;
  QAction* removeFileAction;
  QAction* moveFileUpAction;
  QAction* moveFileDownAction;
  QAction* fileSettingsAction;
  QAction* bookSettingsAction;
  QAction* exitAction;
  QAction* tocAction;
  QAction* descriptionAction;
  QAction* coverPageAction;
  QAction* makeWolfAction;
  QAction* aboutAction;
  QAction* undoAction;  // of every edit of the book
  QAction* redoAction;
  QTreeView* fileListView;

  DescriptionDialog* descriptionDialog;
  AboutDialog* aboutDialog;
  CoverPageDialog* coverPageDialog;
  FileSettingsDialog* fileSettingsDialog;
  BuildDialog* buildDialog;
  PreviewPane* previewPane;
  ContentsDialog* contentsDialog = nullptr;  // made when first shown

 protected:
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  void CreateClientArea();
  void CreatePreview();

  void OnNewProject();
  void OnOpenProject();
  void OnSaveProject();
  void OnSaveProjectAs();
  void OnAddFile();
  void OnAddFolder();
  void OnRemoveFile();
  void OnMoveFileUp();
  void OnMoveFileDown();
  void OnEditContents();  // in MainWindowContents.cpp
  void OnEditDescription();
  void OnEditCoverPage();
  void OnMakeWolf();
  void OnAbout();
  void OnFileSettings();
  void OnBookSettings();

  // Creates the settings dialog and connects the settings actions and the list's double click.
  void CreateSettingsDialog();
  // The tooltip of a file with its own settings: what differs from the book's; empty otherwise.
  QString SettingsTip(const FileItem& item) const;

  // Asks to save unsaved changes when there are any; false when the user cancels (or a save is
  // cancelled), so that what was to happen does not.
  bool SaveIfWanted();
  // Asks whether to leave out of the book the damaged pages and pictures that keep `damaged` files
  // out, as --skip-bad does; false at once when there are none.
  bool OfferToSkipBad(int damaged);
  // The name a save dialog suggests: the project's path with `extension`, else the book's title
  // (or "Untitled") with it, in the folder the dialog shows.
  std::u16string SuggestedName(const std::u16string& extension) const;
  // The book is saved (or new) as the undo stack stands now.
  void MarkSaved();
  // Makes `settings` the book's: every file without its own takes them, and the list and the
  // preview show them.
  void SetBookSettings(const FileSettings& settings);
  // "NAME* — Bookloom" with a project open (the star while it has unsaved changes), else "Bookloom".
  void UpdateTitle();
  void UpdateRecentMenu();
  // Shows the one selected file in the preview, or the cover page when no file is selected.
  void UpdatePreview();
  // Marks in the list the files of that name as damaged, with `damage` as the reason, or clears
  // the mark when `damage` is empty (the file read).
  void NoteFileRead(const std::u16string& fileName, const QString& damage);

  // Moves the selected files one place up (-1) or down (+1); the selection follows them.
  void MoveSelectedFiles(int offset);
  // Moves the files of `rows` (ascending) before the file of row `before` (the count: to the end),
  // in their order; they are selected.
  void MoveFilesBefore(const std::vector<int>& rows, int before);
  // Selects the rows (and makes the first current); the others lose the selection.
  void SelectRows(const std::vector<int>& rows);
  // Pushes the edit of the files' states since `before`, when there is one.
  void PushFileStates(const QString& text, const std::vector<FileState>& before);
  // Shows the list after an edit, marks the book changed and selects `rows`.
  void ListEdited(const std::vector<int>& rows);
  // ListEdited as the list's edits call it when they are made, undone and made again.
  std::function<void(const std::vector<int>&)> ListEditedCallback();
  // Puts the files in the order `order` gives (the old row of each place) as one edit that can be
  // undone, selecting `selected` afterwards.
  void ReorderAsEdit(std::vector<int> order, std::vector<int> selected);
  // Says in the status bar what a build wrote, with a link that shows the book in its folder.
  void ShowBuilt(const std::u16string& fileName);
  // The files that can be used among `fileNames` with the book's settings; the others' errors go
  // to `problems`, and their names to `refused`.
  std::vector<std::unique_ptr<FileItem>> MakeInputs(const std::vector<std::u16string>& fileNames,
                                                    std::vector<std::u16string>& problems,
                                                    std::vector<std::u16string>& refused) const;
  // The selected rows in ascending order.
  std::vector<int> SelectedRows() const;
  // Connects an action to a handler whose errors go to the general error box.
  void OnTriggered(QAction* action, void (MainWindow::*handler)());

  const Runtime& runtime_;
  UserDialogs& messages_;
  QString settingsFile_;  // the user's settings
  Settings settings_;
  std::u16string addFileFilter_;
  FileListModel* model_;
  QMenu* recentMenu_ = nullptr;
  QDockWidget* previewDock_ = nullptr;
  QLabel* builtLabel_ = nullptr;  // in the status bar: what the last build wrote
  QUndoStack* undoStack_;         // every edit of the book
  std::u16string projectFileName_;
  FileSettings bookSettings_;  // given to every file without its own
  std::map<std::u16string, QString> damaged_;  // the files that could not be read last time, and why
};

}  // namespace bookloom
