// The about box: the program's name, version and build.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace bookloom {

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  // Reads the version of the executable at that path once; "?" when it carries none.
  explicit AboutDialog(const std::u16string& executablePath, QWidget* parent = nullptr);

  // Shows the box modally.
  void Execute();

  QLabel* versionLabel;  // "version %s"
  QLabel* buildLabel;    // "    Build: %s", the caption of the bottom band
  QPushButton* closeButton;
};

}  // namespace bookloom
