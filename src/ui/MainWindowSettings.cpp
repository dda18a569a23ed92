// The main window's settings commands: one file's settings, the book's settings that every file
// without its own takes (and that a new book starts with), and the list's mark of files with their own.
#include <QAction>
#include <QTreeView>

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
  FileItem& item = fileList.Items(selected.front());
  const FileSettings before = item.Settings();
  const bool ownBefore = item.HasOwnSettings();
  if (!fileSettingsDialog->Execute(item, bookSettings_)) return;
  if (item.Settings() == before && item.HasOwnSettings() == ownBefore) return;
  SetModified(true);
  RefreshFileList();
  UpdatePreview();
}

void MainWindow::OnBookSettings() {
  FileSettings settings = bookSettings_;
  if (!fileSettingsDialog->Execute(settings) || settings == bookSettings_) return;
  bookSettings_ = settings;
  settings_.bookDefaults = settings;  // the next new book starts with them too
  fileList.SetBookSettings(settings);
  SetModified(true);
  RefreshFileList();
  UpdatePreview();
}

}  // namespace bookloom
