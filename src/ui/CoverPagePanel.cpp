#include "ui/CoverPagePanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "ui/Appearance.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

constexpr int kMarginDigits = 4;

// A label whose text is centred on the height of the field beside it.
void AddLabel(const QString& text, int x, int y, int height, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(x, y, label->sizeHint().width(), height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

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

CoverPagePanel::CoverPagePanel(UserDialogs& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
  coverPage.SetDefaults();
  resize(557, 241);

  auto* previewArea = new QWidget(this);
  previewArea->setGeometry(0, 0, 169, 209);
  auto* previewFrame = new QFrame(previewArea);
  previewFrame->setGeometry(5, 4, 152, 202);
  previewFrame->setFrameShape(QFrame::Box);
  previewFrame->setFrameShadow(QFrame::Plain);
  previewFrame->setLineWidth(1);
  previewLabel = new QLabel(previewArea);
  previewLabel->setGeometry(6, 5, kPreviewWidth, kPreviewHeight);
  previewLabel->setAlignment(Qt::AlignCenter);

  loadPictureButton = new QPushButton(tr("Load Picture"), this);
  loadPictureButton->setAutoDefault(false);  // Enter in a field stays with the dialog's OK
  PressOnEnter(*loadPictureButton);
  loadPictureButton->setGeometry(4, 212, 152, 25);

  auto* gbxSettings = new QGroupBox(tr(" Cover Settings "), this);
  gbxSettings->setGeometry(176, 0, 377, 81);
  AddLabel(tr("Cover page:"), 16, 24, 21, gbxSettings);
  coverModeCombo = new QComboBox(gbxSettings);
  coverModeCombo->setGeometry(192, 24, 169, 21);
  coverModeCombo->addItems({tr("Don't add cover page"), tr("Monochrome"), tr("Gray (4 levels)")});
  enlargeCheck = new QCheckBox(tr("Enlarge cover page"), gbxSettings);
  enlargeCheck->move(192, 47);
  enlargeCheck->adjustSize();

  auto* gbxMargins = new QGroupBox(tr(" Cover Margins "), this);
  gbxMargins->setGeometry(176, 88, 377, 97);
  struct Margin {
    const char* label;
    int labelX, fieldX, y, maximum;
    MarginEdit** field;
  };
  const Margin margins[] = {
      {QT_TR_NOOP("Left:"), 16, 112, 24, kDevicePageWidth - 1, &leftMarginEdit},
      {QT_TR_NOOP("Right:"), 192, 296, 24, kDevicePageWidth - 1, &rightMarginEdit},
      {QT_TR_NOOP("Top:"), 16, 112, 56, kDevicePageHeight - 1, &topMarginEdit},
      {QT_TR_NOOP("Bottom:"), 192, 296, 56, kDevicePageHeight - 1, &bottomMarginEdit},
  };
  for (const Margin& m : margins) {
    AddLabel(tr(m.label), m.labelX, m.y, 22, gbxMargins);
    *m.field = new MarginEdit(m.maximum, gbxMargins);
    (*m.field)->setGeometry(m.fieldX, m.y, 65, 22);
  }

  updatePreviewButton = new QPushButton(tr("Update"), this);
  updatePreviewButton->setAutoDefault(false);
  PressOnEnter(*updatePreviewButton);
  updatePreviewButton->setGeometry(176, 212, 81, 25);

  setTabOrder(loadPictureButton, coverModeCombo);
  setTabOrder(coverModeCombo, enlargeCheck);
  setTabOrder(enlargeCheck, leftMarginEdit);
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
  leftMarginEdit->setValue(coverPage.margins.left);
  rightMarginEdit->setValue(coverPage.margins.right);
  topMarginEdit->setValue(coverPage.margins.top);
  bottomMarginEdit->setValue(coverPage.margins.bottom);
  OnCoverModeChanged();
}

void CoverPagePanel::ReadSettings() {
  coverPage.coverMode = static_cast<decltype(coverPage.coverMode)>(coverModeCombo->currentIndex());
  coverPage.enlarge = enlargeCheck->isChecked();
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
  if (!coverPage.RenderCover(page)) return;
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
  for (MarginEdit* field : {leftMarginEdit, rightMarginEdit, topMarginEdit, bottomMarginEdit})
    field->setEnabled(enlargeCheck->isEnabled());
}

void CoverPagePanel::OnLoadPicture() {
  ReportErrors(messages_, [this] {
    const std::u16string file =
        messages_.OpenPicture(tr("Select image for cover").toStdU16String(),
                              tr("All supported files (*.bmp)|*.bmp").toStdU16String());
    if (file.empty()) return;
    coverPage.fileName = file;
    UpdatePreview();
  });
}

void CoverPagePanel::OnUpdatePreview() {
  ReportErrors(messages_, [this] { UpdatePreview(); });
}

}  // namespace bookloom
