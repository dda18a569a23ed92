// The settings a file is read with: a form of the text and picture settings, and the dialog that
// edits them for one file or for the whole book.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include "book/FileSettings.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace bookloom {

class FileItem;
class UserDialogs;

// The text group (encoding, chapters, heading patterns, joined lines) and the picture group (mode,
// enlarge, rotate, split, crop, gamma, autolevel, all frames).
class FileSettingsForm : public QWidget {
  Q_OBJECT

 public:
  explicit FileSettingsForm(QWidget* parent = nullptr);

  // Shows the settings; only the groups given are shown.
  void ShowSettings(const FileSettings& settings, const SettingGroups& groups);
  // False, with the error reported and the field focused, when the encoding is one iconv does not
  // know or a heading pattern does not compile, as the command line refuses them.
  bool CheckSettings(UserDialogs& messages) const;
  // Puts the settings shown into `settings`; those of hidden groups stay as they are.
  void ReadSettings(FileSettings& settings) const;

  QGroupBox* textGroup;
  QComboBox* encodingCombo;  // "Automatic" first, then common names; any name iconv knows may be typed
  QCheckBox* chaptersCheck;
  QPlainTextEdit* patternsEdit;  // the user's heading patterns, one per line
  QComboBox* unwrapCombo;
  QGroupBox* pictureGroup;
  QComboBox* documentModeCombo;  // how a PDF is read
  QComboBox* pictureModeCombo;
  QCheckBox* enlargeCheck;
  QComboBox* rotateCombo;
  QComboBox* splitCombo;
  QCheckBox* cropCheck;
  QDoubleSpinBox* gammaSpin;
  QCheckBox* autolevelCheck;
  QCheckBox* allFramesCheck;

 private:
  // The encoding typed or chosen; empty for "Automatic".
  QString EncodingName() const;

  double shownGamma_ = 1.0;  // the gamma given, kept when the spin box still shows it rounded
};

// What differs in `settings` from the book's, one "Name: value" line each, for the file list's
// tooltip; only the groups given are compared.
QString SettingsSummary(const FileSettings& settings, const FileSettings& book, const SettingGroups& groups);

class FileSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  explicit FileSettingsDialog(UserDialogs& messages, QWidget* parent = nullptr);

  // One file's settings, with the choice to use the book's instead. On OK the item has its own
  // settings, or the book's when that choice is made. True on OK.
  bool Execute(FileItem& item, const FileSettings& bookSettings);
  // The book's settings, which every file without its own takes. True on OK.
  bool Execute(FileSettings& bookSettings);

  QCheckBox* useBookCheck;  // shown for one file only
  FileSettingsForm* form;
  QPushButton* okButton;
  QPushButton* cancelButton;

 private:
  // Accepts the dialog when the form's settings can be read (or the book's are used).
  void OnOk();
  // Shows the book's settings, unchangeable, or the file's own to edit.
  void ShowChoice();
  bool Run(const QString& title, const SettingGroups& groups);
  bool UsesBookSettings() const;

  UserDialogs& messages_;
  FileSettings bookSettings_;
  FileSettings own_;  // the file's own settings while the book's are shown, and the result on OK
  SettingGroups groups_;
  bool forFile_ = false;
};

}  // namespace bookloom
