// The main window's settings commands: one file's settings, the book's settings that every file
// without its own takes (and that a new book starts with), and the list's mark of files with their own.
#include <QAction>
#include <QTreeView>
#include <QUndoStack>

#include "ui/FileListCommands.h"
#include "ui/FileSettingsDialog.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPane.h"
#include "ui/UserDialogs.h"

namespace bookloom {

void MainWindow::CreateSettingsDialog() {
  fileSettingsDialog = new FileSettingsDialog(messages_, this);
  OnTriggered(fileSettingsAction, &MainWindow::OnFileSettings);
  OnTriggered(bookSettingsAction, &MainWindow::OnBookSettings);
  connect(fileListView, &QAbstractItemView::doubleClicked, this, [this] {
    UpdateActions();
    fileSettingsAction->trigger();  // only when it is enabled
  });
}

QString MainWindow::SettingsTip(const FileItem& item) const {
  return item.HasOwnSettings() ? SettingsSummary(item.Settings(), bookSettings_, item.UsedSettings()) : QString();
}

void MainWindow::OnFileSettings() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() != 1) return;
  const std::vector<FileState> before = FileStates(fileList);
  if (!fileSettingsDialog->Execute(fileList.Items(selected.front()), bookSettings_)) return;
  PushFileStates(tr("File Settings"), before);
  UpdatePreview();
}

void MainWindow::PushFileStates(const QString& text, const std::vector<FileState>& before) {
  std::unique_ptr<QUndoCommand> command = MakeFileStatesCommand(
      text, fileList, before, ListEditedCallback());
  if (command) undoStack_->push(command.release());
}

void MainWindow::OnBookSettings() {
  FileSettings settings = bookSettings_;
  if (!fileSettingsDialog->Execute(settings) || settings == bookSettings_) return;
  undoStack_->push(new SetValueCommand<FileSettings>(
      tr("Book Settings"), bookSettings_, settings, [this](const FileSettings& s) {
        settings_.bookDefaults = s;  // the next new book starts with them too
        SetBookSettings(s);
      }));
}

void MainWindow::SetBookSettings(const FileSettings& settings) {
  bookSettings_ = settings;
  fileList.SetBookSettings(settings);
  RefreshFileList();
  UpdatePreview();
}

}  // namespace bookloom
