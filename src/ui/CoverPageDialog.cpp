#include "ui/CoverPageDialog.h"

#include <QPushButton>

#include "ui/Appearance.h"
#include "ui/CoverPagePanel.h"

namespace bookloom {

CoverPageDialog::CoverPageDialog(UserDialogs& messages, QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Edit Cover Page"));
  setFont(WindowFont());
  setFixedSize(569, 257);
  panel = new CoverPagePanel(messages, this);
  panel->move(8, 8);
  okButton = new QPushButton(tr("OK"), this);
  okButton->setGeometry(392, 220, 81, 25);
  okButton->setDefault(true);
  cancelButton = new QPushButton(tr("Cancel"), this);
  cancelButton->setGeometry(480, 220, 81, 25);
  cancelButton->setAutoDefault(false);
  PressOnEnter(*cancelButton);
  connect(okButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  CenterOnScreen(*this);
}

bool CoverPageDialog::Execute(CoverPage& cover) {
  panel->coverPage = cover;
  panel->ShowSettings();
  CenterOnScreen(*this);
  if (exec() != QDialog::Accepted) return false;
  panel->ReadSettings();
  cover = panel->coverPage;
  return true;
}

}  // namespace bookloom
