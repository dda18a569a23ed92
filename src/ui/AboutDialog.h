// The about box: the program's name, version and build.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace bookloom {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);

  // Shows the box modally.
  void Execute();

  QLabel* versionLabel;  // "version %s"
  QLabel* buildLabel;    // "    Build: %s", the caption of the bottom band
  QPushButton* closeButton;
};

}  // namespace bookloom
