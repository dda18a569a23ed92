#include "ui/AboutDialog.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "platform/BuildVersion.h"
#include "ui/Appearance.h"

namespace bookloom {

namespace {

constexpr int kWidth = 322, kHeight = 127, kBandHeight = 38;
constexpr int kTextLeft = 72, kTextWidth = 241;

QLabel* AddLine(const QString& text, int y, int height, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setGeometry(kTextLeft, y, kTextWidth, height);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(tr(" About"));
  setFont(WindowFont());
  setFixedSize(kWidth, kHeight);
  setAutoFillBackground(true);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  auto* image = new QLabel(this);
  image->setGeometry(8, 8, 57, 57);
  image->setAlignment(Qt::AlignCenter);
  image->setPixmap(Emblem(48));

  QLabel* name = AddLine(QStringLiteral("Bookloom"), 8, 18, this);
  QFont nameFont = font();
  nameFont.setBold(true);
  nameFont.setPixelSize(13);
  name->setFont(nameFont);
  versionLabel = AddLine(QString(), 28, 16, this);
  QFont bold = font();
  bold.setBold(true);
  versionLabel->setFont(bold);
  AddLine(tr("Copyright \u00A9 2026 the Bookloom developers"), 50, 14, this);
  AddLine(tr("Wolf e-books from texts and pictures"), 66, 14, this);

  auto* divider = new QFrame(this);
  divider->setGeometry(0, kHeight - kBandHeight - 2, kWidth, 2);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);

  auto* pnlBuild = new QWidget(this);
  pnlBuild->setGeometry(0, kHeight - kBandHeight, kWidth, kBandHeight);
  pnlBuild->setAutoFillBackground(true);
  QPalette band = white;
  band.setColor(QPalette::Window, QApplication::palette().color(QPalette::Window));
  pnlBuild->setPalette(band);  // the band keeps the ordinary window colour
  buildLabel = new QLabel(pnlBuild);
  buildLabel->setGeometry(0, 0, 224, kBandHeight);
  buildLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  closeButton = new QPushButton(tr("Close"), pnlBuild);
  closeButton->setGeometry(232, 7, 73, 25);
  closeButton->setDefault(true);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  versionLabel->setText(tr("version %1").arg(kVersionText));
  buildLabel->setText(tr("    Build: %1").arg(kBuildText));
  CenterOnScreen(*this);
}

void AboutDialog::Execute() {
  CenterOnScreen(*this);
  exec();
}

}  // namespace bookloom
