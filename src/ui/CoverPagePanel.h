// The panel that edits the cover settings of a book and shows a preview of the cover page as it
// will be reduced for the reader.
#pragma once

#include <QSpinBox>
#include <QWidget>

#include "pictures/CoverPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

namespace bookloom {

class UserDialogs;

// An integer field with arrows that lets any number of up to four digits be typed and brings it
// into its range when editing ends; an empty field counts as 0. The panel keeps the ranges of
// opposite margins such that they always leave room on the page.
class MarginEdit : public QSpinBox {
 public:
  MarginEdit(int maximum, QWidget* parent);

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

class CoverPagePanel : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kPreviewWidth = 150, kPreviewHeight = 200;

  // The preview reads the picture with the run's libraries, `runtime`, which outlives the panel.
  CoverPagePanel(const Runtime& runtime, UserDialogs& messages, QWidget* parent = nullptr);

  // The settings being edited; the controls show them after ShowSettings.
  CoverPage coverPage;

  // Puts CoverPage into the controls and applies the enabling rule.
  void ShowSettings();
  // Takes the controls into CoverPage; the file name stays.
  void ReadSettings();
  // Shows the cover page that CoverPage makes, or nothing when it makes none.
  void UpdatePreview();

  QLabel* previewLabel;
  QPushButton* loadPictureButton;
  QComboBox* coverModeCombo;
  QCheckBox* enlargeCheck;
  QCheckBox* titleCoverCheck;  // a cover from the title when there is no picture
  MarginEdit* leftMarginEdit;
  MarginEdit* rightMarginEdit;
  MarginEdit* topMarginEdit;
  MarginEdit* bottomMarginEdit;
  QPushButton* updatePreviewButton;

 private:
  // The check boxes are enabled when a cover page is wanted, and the margins with them.
  void OnCoverModeChanged();
  void OnLoadPicture();
  void OnUpdatePreview();

  const Runtime& runtime_;
  UserDialogs& messages_;
};

}  // namespace bookloom
