// The main window's table of contents command: the dialog that edits the entries of the files,
// whose edits stay with the file items.
#include "ui/ContentsDialog.h"
#include "ui/FileListCommands.h"
#include "ui/MainWindow.h"

namespace bookloom {

void MainWindow::OnEditContents() {
  if (!contentsDialog) contentsDialog = new ContentsDialog(this);
  const std::vector<FileState> before = FileStates(fileList);
  if (!contentsDialog->Execute(fileList)) return;
  PushFileStates(tr("Table of Contents"), before);
  UpdatePreview();  // a text's chapters show in its preview
}

}  // namespace bookloom
