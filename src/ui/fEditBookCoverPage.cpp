#include "ui/fEditBookCoverPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "pictures/uBitmapProcs.h"
#include "platform/Bitmap.h"
#include "ui/uAppearance.h"
#include "ui/uMessages.h"

namespace bookloom {

namespace {

constexpr int kMarginDigits = 4;

// A label whose text is centred on the height of the field beside it.
void AddLabel(const char* text, int x, int y, int height, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(text), parent);
  label->setGeometry(x, y, label->sizeHint().width(), height);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

}  // namespace

TMarginEdit::TMarginEdit(int maximum, QWidget* parent) : QSpinBox(parent) {
  setRange(0, maximum);
  setSingleStep(1);
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
  lineEdit()->setMaxLength(kMarginDigits);
}

QValidator::State TMarginEdit::validate(QString& input, int&) const {
  if (input.size() > kMarginDigits) return QValidator::Invalid;
  for (QChar c : input)
    if (!c.isDigit() || c.unicode() > u'9') return QValidator::Invalid;
  if (input.isEmpty()) return QValidator::Intermediate;
  const int value = input.toInt();
  return value >= minimum() && value <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TMarginEdit::fixup(QString& input) const {
  bool digits = true;
  for (QChar c : input) digits = digits && c.isDigit() && c.unicode() <= u'9';
  if (!digits) return;
  const int value = input.isEmpty() ? 0 : input.toInt();
  input = QString::number(std::clamp(value, minimum(), maximum()));
}

TfraEditBookCoverPage::TfraEditBookCoverPage(TMessages& messages, QWidget* parent)
    : QWidget(parent), messages_(messages) {
  CoverPage.SetDefaults();
  resize(557, 241);

  auto* previewArea = new QWidget(this);
  previewArea->setGeometry(0, 0, 169, 209);
  auto* previewFrame = new QFrame(previewArea);
  previewFrame->setGeometry(5, 4, 152, 202);
  previewFrame->setFrameShape(QFrame::Box);
  previewFrame->setFrameShadow(QFrame::Plain);
  previewFrame->setLineWidth(1);
  imgCover = new QLabel(previewArea);
  imgCover->setGeometry(6, 5, kPreviewWidth, kPreviewHeight);
  imgCover->setAlignment(Qt::AlignCenter);

  btnLoadPicture = new QPushButton(QStringLiteral("Load Picture"), this);
  btnLoadPicture->setGeometry(4, 212, 152, 25);

  auto* gbxSettings = new QGroupBox(QStringLiteral(" Cover Settings "), this);
  gbxSettings->setGeometry(176, 0, 377, 81);
  AddLabel("Cover page:", 16, 24, 21, gbxSettings);
  cmbCoverPage = new QComboBox(gbxSettings);
  cmbCoverPage->setGeometry(192, 24, 169, 21);
  cmbCoverPage->addItems({QStringLiteral("Don't add cover page"), QStringLiteral("Monochrome"),
                          QStringLiteral("Gray (4 levels)")});
  chbEnlargeCover = new QCheckBox(QStringLiteral("Enlarge cover page"), gbxSettings);
  chbEnlargeCover->move(192, 47);
  chbEnlargeCover->adjustSize();

  auto* gbxMargins = new QGroupBox(QStringLiteral(" Cover Margins "), this);
  gbxMargins->setGeometry(176, 88, 377, 97);
  struct Margin {
    const char* label;
    int labelX, fieldX, y, maximum;
    TMarginEdit** field;
  };
  const Margin margins[] = {
      {"Left:", 16, 112, 24, kDevicePageWidth, &sedCoverLeft},
      {"Right:", 192, 296, 24, kDevicePageWidth, &sedCoverRight},
      {"Top:", 16, 112, 56, kDevicePageHeight, &sedCoverTop},
      {"Bottom:", 192, 296, 56, kDevicePageHeight, &sedCoverBottom},
  };
  for (const Margin& m : margins) {
    AddLabel(m.label, m.labelX, m.y, 22, gbxMargins);
    *m.field = new TMarginEdit(m.maximum, gbxMargins);
    (*m.field)->setGeometry(m.fieldX, m.y, 65, 22);
  }

  btnUpdatePreview = new QPushButton(QStringLiteral("Update"), this);
  btnUpdatePreview->setGeometry(176, 212, 81, 25);

  setTabOrder(btnLoadPicture, cmbCoverPage);
  setTabOrder(cmbCoverPage, chbEnlargeCover);
  setTabOrder(chbEnlargeCover, sedCoverLeft);
  setTabOrder(sedCoverLeft, sedCoverRight);
  setTabOrder(sedCoverRight, sedCoverTop);
  setTabOrder(sedCoverTop, sedCoverBottom);
  setTabOrder(sedCoverBottom, btnUpdatePreview);

  connect(cmbCoverPage, &QComboBox::currentIndexChanged, this, [this] { cmbCoverPageClick(); });
  connect(btnLoadPicture, &QPushButton::clicked, this, [this] { btnLoadPictureClick(); });
  connect(btnUpdatePreview, &QPushButton::clicked, this, [this] { btnUpdatePreviewClick(); });
}

void TfraEditBookCoverPage::ShowSettings() {
  cmbCoverPage->setCurrentIndex(static_cast<int>(CoverPage.CoverMode));
  chbEnlargeCover->setChecked(CoverPage.Enlarge);
  sedCoverLeft->setValue(CoverPage.MarginLeft);
  sedCoverRight->setValue(CoverPage.MarginRight);
  sedCoverTop->setValue(CoverPage.MarginTop);
  sedCoverBottom->setValue(CoverPage.MarginBottom);
  cmbCoverPageClick();
}

void TfraEditBookCoverPage::ReadSettings() {
  CoverPage.CoverMode = static_cast<decltype(CoverPage.CoverMode)>(cmbCoverPage->currentIndex());
  CoverPage.Enlarge = chbEnlargeCover->isChecked();
  for (TMarginEdit* field : {sedCoverLeft, sedCoverRight, sedCoverTop, sedCoverBottom})
    field->interpretText();  // a value still being typed counts as it will when editing ends
  CoverPage.MarginLeft = sedCoverLeft->value();
  CoverPage.MarginRight = sedCoverRight->value();
  CoverPage.MarginTop = sedCoverTop->value();
  CoverPage.MarginBottom = sedCoverBottom->value();
}

void TfraEditBookCoverPage::UpdatePreview() {
  imgCover->clear();
  ReadSettings();
  Bitmap page;
  if (!CoverPage.RenderCover(page)) return;
  Bitmap preview;
  FitPictureToPage(page, preview, kPreviewWidth, kPreviewHeight, false, static_cast<int>(CoverPage.CoverMode),
                   0, 0, 0, 0, true);
  QPixmap pixmap = QPixmap::fromImage(BitmapToImage(preview));
  if (pixmap.width() > kPreviewWidth || pixmap.height() > kPreviewHeight)
    pixmap = pixmap.scaled(kPreviewWidth, kPreviewHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  imgCover->setPixmap(pixmap);
}

void TfraEditBookCoverPage::cmbCoverPageClick() {
  const bool wanted = cmbCoverPage->currentIndex() > 0;
  chbEnlargeCover->setEnabled(wanted);
  for (TMarginEdit* field : {sedCoverLeft, sedCoverRight, sedCoverTop, sedCoverBottom})
    field->setEnabled(chbEnlargeCover->isEnabled());
}

void TfraEditBookCoverPage::btnLoadPictureClick() {
  ReportErrors(messages_, [this] {
    const std::u16string file =
        messages_.OpenPicture(u"Select image for cover", u"All supported files (*.bmp)|*.bmp");
    if (file.empty()) return;
    CoverPage.FileName = file;
    UpdatePreview();
  });
}

void TfraEditBookCoverPage::btnUpdatePreviewClick() {
  ReportErrors(messages_, [this] { UpdatePreview(); });
}

}  // namespace bookloom
