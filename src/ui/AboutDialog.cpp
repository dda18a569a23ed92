#include "ui/AboutDialog.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/BuildVersion.h"
#include "ui/Appearance.h"

namespace bookloom {

namespace {

// A centred line of the box's text.
QLabel* AddLine(const QString& text, QVBoxLayout& lines, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  lines.addWidget(label);
  return label;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(tr("About Bookloom"));
  auto* rows = new QVBoxLayout(this);
  rows->setSizeConstraint(QLayout::SetFixedSize);

  auto* top = new QHBoxLayout;
  auto* image = new QLabel(this);
  image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  image->setPixmap(Emblem(48));
  top->addWidget(image);
  auto* lines = new QVBoxLayout;
  QLabel* name = AddLine(QStringLiteral("Bookloom"), *lines, this);
  QFont nameFont = font();
  nameFont.setBold(true);
  nameFont.setPointSizeF(nameFont.pointSizeF() * 1.2);
  name->setFont(nameFont);
  versionLabel = AddLine(QString(), *lines, this);
  QFont bold = font();
  bold.setBold(true);
  versionLabel->setFont(bold);
  AddLine(tr("Copyright \u00A9 2026 the Bookloom developers"), *lines, this);
  AddLine(tr("Wolf e-books from texts and pictures"), *lines, this);
  top->addLayout(lines, 1);
  rows->addLayout(top);

  auto* divider = new QFrame(this);
  divider->setFrameShape(QFrame::HLine);
  divider->setFrameShadow(QFrame::Sunken);
  rows->addWidget(divider);

  auto* buildBand = new QHBoxLayout;
  buildLabel = new QLabel(this);
  buildLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  buildLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
  buildBand->addWidget(buildLabel, 1);
  closeButton = new QPushButton(tr("Close"), this);
  closeButton->setDefault(true);
  buildBand->addWidget(closeButton);
  rows->addLayout(buildBand);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

  versionLabel->setText(tr("version %1").arg(kVersionText));
  buildLabel->setText(tr("Build %1").arg(kBuildText));
}

void AboutDialog::Execute() { exec(); }

}  // namespace bookloom
