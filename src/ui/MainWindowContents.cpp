// The main window's table of contents command: the dialog that edits the entries of the files,
// whose edits stay with the file items.
#include "ui/ContentsDialog.h"
#include "ui/MainWindow.h"

namespace bookloom {

void MainWindow::OnEditContents() {
  if (!contentsDialog) contentsDialog = new ContentsDialog(this);
  if (!contentsDialog->Execute(fileList)) return;
  SetModified(true);
  UpdatePreview();  // a text's chapters show in its preview
}

}  // namespace bookloom
