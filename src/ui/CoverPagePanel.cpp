#include "ui/CoverPagePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "book/FileTypes.h"
#include "book/PictureFileItem.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "ui/Appearance.h"
#include "ui/CoreTexts.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

constexpr int kMarginDigits = 4;

// The cover modes in the order of the combo box; their index is the cover's mode.
const char* const kCoverModes[] = {QT_TRANSLATE_NOOP("bookloom::CoverPagePanel", "Don't add cover page"),
                                   QT_TRANSLATE_NOOP("bookloom::CoverPagePanel", "Monochrome"),
                                   QT_TRANSLATE_NOOP("bookloom::CoverPagePanel", "Gray (4 levels)")};
constexpr int kGrayMode = 2;

}  // namespace

MarginEdit::MarginEdit(int maximum, QWidget* parent) : QSpinBox(parent) {
  setRange(0, maximum);
  setSingleStep(1);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  lineEdit()->setMaxLength(kMarginDigits);
}

QValidator::State MarginEdit::validate(QString& input, int&) const {
  if (input.size() > kMarginDigits) return QValidator::Invalid;
  for (QChar c : input)
    if (!c.isDigit() || c.unicode() > u'9') return QValidator::Invalid;
  if (input.isEmpty()) return QValidator::Intermediate;
  const int value = input.toInt();
  return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void MarginEdit::fixup(QString& input) const {
  bool digits = true;
  for (QChar c : input) digits = digits && c.isDigit() && c.unicode() <= u'9';
  if (!digits) return;
  const int value = input.isEmpty() ? 0 : input.toInt();
  input = QString::number(std::clamp(value, minimum(), maximum()));
}

CoverPagePanel::CoverPagePanel(const Runtime& runtime, UserDialogs& messages, QWidget* parent)
    : QWidget(parent), runtime_(runtime), messages_(messages) {
  coverPage.SetDefaults();
  auto* columns = new QHBoxLayout(this);
  columns->setContentsMargins(0, 0, 0, 0);

  auto* pictureColumn = new QVBoxLayout;
  auto* previewFrame = new QFrame(this);
  previewFrame->setFrameShape(QFrame::Box);
  previewFrame->setFrameShadow(QFrame::Plain);
  auto* frameLayout = new QVBoxLayout(previewFrame);
  frameLayout->setContentsMargins(1, 1, 1, 1);
  previewLabel = new QLabel(previewFrame);
  previewLabel->setFixedSize(kPreviewWidth, kPreviewHeight);
  previewLabel->setAlignment(Qt::AlignCenter);
  frameLayout->addWidget(previewLabel);
  pictureColumn->addWidget(previewFrame);
  loadPictureButton = new QPushButton(tr("&Load Picture…"), this);
  loadPictureButton->setAutoDefault(false);  // Enter in a field stays with the dialog's OK
  PressOnEnter(*loadPictureButton);
  pictureColumn->addWidget(loadPictureButton);
  pictureColumn->addStretch(1);
  columns->addLayout(pictureColumn);

  auto* settingsColumn = new QVBoxLayout;
  auto* settingsBox = new QGroupBox(tr("Cover Settings"), this);
  auto* settingsForm = new QFormLayout(settingsBox);
  coverModeCombo = new QComboBox(settingsBox);
  for (const char* mode : kCoverModes) coverModeCombo->addItem(tr(mode));
  settingsForm->addRow(tr("Cover &page:"), coverModeCombo);
  enlargeCheck = new QCheckBox(tr("&Enlarge cover page"), settingsBox);
  settingsForm->addRow(QString(), enlargeCheck);
  titleCoverCheck = new QCheckBox(tr("Without a picture, set the &title and author on it"), settingsBox);
  titleCoverCheck->setToolTip(
      tr("When no picture is chosen and no file offers a cover, the book gets a "
         "cover with its title, author and series"));
  settingsForm->addRow(QString(), titleCoverCheck);
  settingsColumn->addWidget(settingsBox);

  auto* marginsBox = new QGroupBox(tr("Cover Margins"), this);
  auto* marginsGrid = new QGridLayout(marginsBox);
  struct Margin {
    const char* label;
    int row, column, maximum;
    MarginEdit** field;
  };
  const Margin margins[] = {
      {QT_TR_NOOP("Le&ft:"), 0, 0, kDevicePageWidth - 1, &leftMarginEdit},
      {QT_TR_NOOP("&Right:"), 0, 2, kDevicePageWidth - 1, &rightMarginEdit},
      {QT_TR_NOOP("&Top:"), 1, 0, kDevicePageHeight - 1, &topMarginEdit},
      {QT_TR_NOOP("&Bottom:"), 1, 2, kDevicePageHeight - 1, &bottomMarginEdit},
  };
  for (const Margin& m : margins) {
    auto* label = new QLabel(tr(m.label), marginsBox);
    *m.field = new MarginEdit(m.maximum, marginsBox);
    label->setBuddy(*m.field);
    marginsGrid->addWidget(label, m.row, m.column);
    marginsGrid->addWidget(*m.field, m.row, m.column + 1);
  }
  marginsGrid->setColumnStretch(1, 1);
  marginsGrid->setColumnStretch(3, 1);
  settingsColumn->addWidget(marginsBox);

  updatePreviewButton = new QPushButton(tr("&Update"), this);
  updatePreviewButton->setAutoDefault(false);
  PressOnEnter(*updatePreviewButton);
  auto* updateRow = new QHBoxLayout;
  updateRow->addWidget(updatePreviewButton);
  updateRow->addStretch(1);
  settingsColumn->addStretch(1);
  settingsColumn->addLayout(updateRow);
  columns->addLayout(settingsColumn, 1);

  setTabOrder(loadPictureButton, coverModeCombo);
  setTabOrder(coverModeCombo, enlargeCheck);
  setTabOrder(enlargeCheck, titleCoverCheck);
  setTabOrder(titleCoverCheck, leftMarginEdit);
  setTabOrder(leftMarginEdit, rightMarginEdit);
  setTabOrder(rightMarginEdit, topMarginEdit);
  setTabOrder(topMarginEdit, bottomMarginEdit);
  setTabOrder(bottomMarginEdit, updatePreviewButton);

  // Opposite margins always leave at least one pixel of the page between them: each field's maximum
  // follows the other's value.
  const auto leaveRoom = [this](MarginEdit* changed, MarginEdit* opposite, int page) {
    connect(changed, &QSpinBox::valueChanged, this,
            [opposite, page](int value) { opposite->setMaximum(page - 1 - value); });
  };
  leaveRoom(leftMarginEdit, rightMarginEdit, kDevicePageWidth);
  leaveRoom(rightMarginEdit, leftMarginEdit, kDevicePageWidth);
  leaveRoom(topMarginEdit, bottomMarginEdit, kDevicePageHeight);
  leaveRoom(bottomMarginEdit, topMarginEdit, kDevicePageHeight);

  connect(coverModeCombo, &QComboBox::currentIndexChanged, this, [this] { OnCoverModeChanged(); });
  connect(loadPictureButton, &QPushButton::clicked, this, [this] { OnLoadPicture(); });
  connect(updatePreviewButton, &QPushButton::clicked, this, [this] { OnUpdatePreview(); });
}

void CoverPagePanel::ShowSettings() {
  coverModeCombo->setCurrentIndex(static_cast<int>(coverPage.coverMode));
  enlargeCheck->setChecked(coverPage.enlarge);
  titleCoverCheck->setChecked(coverPage.fromTitle);
  leftMarginEdit->setValue(coverPage.margins.left);
  rightMarginEdit->setValue(coverPage.margins.right);
  topMarginEdit->setValue(coverPage.margins.top);
  bottomMarginEdit->setValue(coverPage.margins.bottom);
  OnCoverModeChanged();
}

void CoverPagePanel::ReadSettings() {
  coverPage.coverMode = static_cast<decltype(coverPage.coverMode)>(coverModeCombo->currentIndex());
  coverPage.enlarge = enlargeCheck->isChecked();
  coverPage.fromTitle = titleCoverCheck->isChecked();
  for (MarginEdit* field : {leftMarginEdit, rightMarginEdit, topMarginEdit, bottomMarginEdit})
    field->interpretText();  // a value still being typed counts as it will when editing ends
  coverPage.margins.left = leftMarginEdit->value();
  coverPage.margins.right = rightMarginEdit->value();
  coverPage.margins.top = topMarginEdit->value();
  coverPage.margins.bottom = bottomMarginEdit->value();
}

void CoverPagePanel::UpdatePreview() {
  previewLabel->clear();
  ReadSettings();
  Bitmap page;
  if (!coverPage.RenderCover(runtime_, page)) return;
  Bitmap preview;
  FitPictureToPage(page, preview,
                   {.pageWidth = kPreviewWidth,
                    .pageHeight = kPreviewHeight,
                    .colors = PageColorsOfBits(coverPage.coverMode)});
  QPixmap pixmap = QPixmap::fromImage(BitmapToImage(preview));
  if (pixmap.width() > kPreviewWidth || pixmap.height() > kPreviewHeight)
    pixmap = pixmap.scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  previewLabel->setPixmap(pixmap);
}

void CoverPagePanel::OnCoverModeChanged() {
  const bool wanted = coverModeCombo->currentIndex() > 0;
  enlargeCheck->setEnabled(wanted);
  titleCoverCheck->setEnabled(wanted);
  for (MarginEdit* field : {leftMarginEdit, rightMarginEdit, topMarginEdit, bottomMarginEdit})
    field->setEnabled(enlargeCheck->isEnabled());
}

void CoverPagePanel::OnLoadPicture() {
  ReportErrors(messages_, [this] {
    const std::u16string file =
        messages_.OpenPicture(tr("Select image for cover").toStdU16String(),
                              FileTypesFilter(1, kAllSupported, &PictureFileItem::Class));
    if (file.empty()) return;
    coverPage.fileName = file;
    // A picture chosen is a cover wanted: the grey cover, unless one is already chosen.
    if (coverModeCombo->currentIndex() == 0) coverModeCombo->setCurrentIndex(kGrayMode);
    UpdatePreview();
  });
}

void CoverPagePanel::OnUpdatePreview() {
  ReportErrors(messages_, [this] { UpdatePreview(); });
}

}  // namespace bookloom
