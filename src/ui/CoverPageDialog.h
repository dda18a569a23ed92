// The dialog that frames the cover page panel with OK and Cancel.
#pragma once

#include <QDialog>

class QPushButton;

namespace bookloom {

class CoverPage;
class CoverPagePanel;
class Runtime;
class UserDialogs;

class CoverPageDialog : public QDialog {
  Q_OBJECT

 public:
  CoverPageDialog(const Runtime& runtime, UserDialogs& messages, QWidget* parent = nullptr);

  // Edits a copy of the cover; on OK the cover takes over all of the copy's settings, the file
  // name included. The preview keeps what it showed last until it is updated. True on OK.
  bool Execute(CoverPage& cover);

  CoverPagePanel* panel;
  QPushButton* okButton;
  QPushButton* cancelButton;
};

}  // namespace bookloom
