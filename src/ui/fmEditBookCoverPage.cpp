#include "ui/fmEditBookCoverPage.h"

#include <QPushButton>

#include "ui/fEditBookCoverPage.h"
#include "ui/uAppearance.h"

namespace bookloom {

TfrmEditBookCoverPage::TfrmEditBookCoverPage(TMessages& messages, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Edit Cover Page"));
  setFont(WindowFont());
  setFixedSize(569, 257);
  fraCoverPage = new TfraEditBookCoverPage(messages, this);
  fraCoverPage->move(8, 8);
  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setGeometry(392, 220, 81, 25);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setGeometry(480, 220, 81, 25);
  btnCancel->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
  CenterOnScreen(*this);
}

bool TfrmEditBookCoverPage::Execute(TBookCoverPage& cover) {
  fraCoverPage->CoverPage.Assign(cover);
  fraCoverPage->ShowSettings();
  CenterOnScreen(*this);
  if (exec() != QDialog::Accepted) return false;
  fraCoverPage->ReadSettings();
  cover.Assign(fraCoverPage->CoverPage);
  return true;
}

}  // namespace bookloom
