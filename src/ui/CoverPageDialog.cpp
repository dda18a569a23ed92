#include "ui/CoverPageDialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/Appearance.h"
#include "ui/CoverPagePanel.h"

namespace bookloom {

CoverPageDialog::CoverPageDialog(const Runtime& runtime, UserDialogs& messages, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Edit Cover Page"));
  auto* rows = new QVBoxLayout(this);
  panel = new CoverPagePanel(runtime, messages, this);
  rows->addWidget(panel, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  okButton->setDefault(true);
  cancelButton = buttons->button(QDialogButtonBox::Cancel);
  cancelButton->setAutoDefault(false);
  PressOnEnter(*cancelButton);
  rows->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

bool CoverPageDialog::Execute(CoverPage& cover) {
  panel->coverPage = cover;
  panel->ShowSettings();
  if (exec() != QDialog::Accepted) return false;
  panel->ReadSettings();
  cover = panel->coverPage;
  return true;
}

}  // namespace bookloom
