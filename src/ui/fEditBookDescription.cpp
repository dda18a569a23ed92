#include "ui/fEditBookDescription.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/Exception.h"
#include "platform/Utf.h"
#include "project/cBookDescription.h"
#include "text/uUniWin1251.h"
#include "ui/uAppearance.h"
#include "ui/uMessages.h"
#include "wolf/uWolfDefs.h"

namespace bookloom {

namespace {

// The dialog's rows, top to bottom, which is also the order of tabbing and of the check.
struct Row {
  const char* label;
  std::u16string TBookDescription::*field;
  int wolfIndex;  // the book description field whose length limit the row takes
};

const Row kRows[] = {
    {"Title:", &TBookDescription::Title, 0},
    {"Author:", &TBookDescription::Author, 2},
    {"Subject (genre):", &TBookDescription::Subject, 1},
    {"Adapter:", &TBookDescription::Adapter, 3},
    {"Translator:", &TBookDescription::Translator, 4},
    {"Publisher:", &TBookDescription::Publisher, 6},
    {"Publish Time:", &TBookDescription::PublishTime, 7},
    {"ISBN:", &TBookDescription::ISBN, 12},
    {"Annotation:", &TBookDescription::Annotation, 11},
};
constexpr size_t kAnnotationRow = 8;

constexpr int kRowTop = 16, kRowStep = 24;
constexpr int kLabelLeft = 8, kLabelWidth = 121;
constexpr int kFieldLeft = 136, kFieldWidth = 281, kFieldHeight = 21, kMemoHeight = 89;

bool IsLineBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n';
}

}  // namespace

TMemoEdit::TMemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { CutExcess(position, added); });
}

void TMemoEdit::SetMaxLength(int length) { maxLength_ = length; }

void TMemoEdit::CutExcess(int position, int added) {
  if (cutting_ || maxLength_ <= 0) return;
  const QString raw = document()->toRawText();
  int excess = static_cast<int>(raw.size()) - maxLength_;
  for (QChar c : raw)
    if (IsLineBreak(c)) ++excess;
  if (excess <= 0) return;
  const int end = std::min(position + added, static_cast<int>(raw.size()));
  int start = end;
  while (start > position && excess > 0) excess -= IsLineBreak(raw[--start]) ? 2 : 1;
  if (start == end) return;
  cutting_ = true;
  QTextCursor cursor(document());
  cursor.setPosition(start);
  cursor.setPosition(end, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  cutting_ = false;
}

std::u16string TMemoEdit::Text() const {
  // The raw text: the plain text would turn no-break spaces into spaces.
  QString text;
  for (QChar c : document()->toRawText()) {
    if (IsLineBreak(c))
      text += QStringLiteral("\r\n");
    else
      text += c;
  }
  return text.toStdU16String();
}

void TMemoEdit::SetText(const std::u16string& text) {
  QString plain = QString::fromStdU16String(text);
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  setPlainText(plain);
}

TfrmEditBookDescription::TfrmEditBookDescription(TMessages& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  setWindowTitle(QStringLiteral("Book Description"));
  setFont(WindowFont());
  setFixedSize(433, 345);

  for (size_t i = 0; i < std::size(kRows); ++i) {
    const int top = kRowTop + static_cast<int>(i) * kRowStep;
    auto* label = new QLabel(QString::fromLatin1(kRows[i].label), this);
    label->setGeometry(kLabelLeft, top, kLabelWidth, kFieldHeight);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    const int limit = WolfDescriptionItems[static_cast<size_t>(kRows[i].wolfIndex)].MaxLength;
    if (i == kAnnotationRow) {
      memAnnotation = new TMemoEdit(this);
      memAnnotation->setGeometry(kFieldLeft, top, kFieldWidth, kMemoHeight);
      memAnnotation->SetMaxLength(limit);
      label->setBuddy(memAnnotation);
    } else {
      lines_[i] = new QLineEdit(this);
      lines_[i]->setGeometry(kFieldLeft, top, kFieldWidth, kFieldHeight);
      lines_[i]->setMaxLength(limit);
      label->setBuddy(lines_[i]);
    }
  }
  edtTitle = lines_[0];
  edtAuthor = lines_[1];
  edtSubject = lines_[2];
  edtAdapter = lines_[3];
  edtTranslator = lines_[4];
  edtPublisher = lines_[5];
  edtPublishTime = lines_[6];
  edtISBN = lines_[7];

  btnOK = new QPushButton(QStringLiteral("OK"), this);
  btnOK->setGeometry(248, 312, 81, 25);
  btnOK->setDefault(true);
  btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
  btnCancel->setGeometry(336, 312, 81, 25);
  btnCancel->setAutoDefault(false);
  connect(btnOK, &QPushButton::clicked, this, &TfrmEditBookDescription::btnOKClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

  QWidget* previous = lines_[0];
  for (size_t i = 1; i < std::size(kRows); ++i) {
    setTabOrder(previous, FieldWidget(i));
    previous = FieldWidget(i);
  }
  setTabOrder(memAnnotation, btnOK);
  setTabOrder(btnOK, btnCancel);
  CenterOnScreen(*this);
}

std::u16string TfrmEditBookDescription::FieldText(size_t row) const {
  return row == kAnnotationRow ? memAnnotation->Text() : lines_[row]->text().toStdU16String();
}

void TfrmEditBookDescription::SetFieldText(size_t row, const std::u16string& text) {
  if (row == kAnnotationRow) {
    memAnnotation->SetText(text);
    return;
  }
  const size_t limit = static_cast<size_t>(lines_[row]->maxLength());
  lines_[row]->setText(QString::fromStdU16String(text.substr(0, limit)));
}

QWidget* TfrmEditBookDescription::FieldWidget(size_t row) const {
  return row == kAnnotationRow ? static_cast<QWidget*>(memAnnotation) : lines_[row];
}

bool TfrmEditBookDescription::Execute(TBookDescription& description) {
  for (size_t i = 0; i < std::size(kRows); ++i) SetFieldText(i, description.*kRows[i].field);
  edtTitle->setFocus();
  CenterOnScreen(*this);
  if (exec() != QDialog::Accepted) return false;
  for (size_t i = 0; i < std::size(kRows); ++i) description.*kRows[i].field = FieldText(i);
  return true;
}

void TfrmEditBookDescription::btnOKClick() {
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const char16_t code = FindNonWin1251Char(FieldText(i));
    if (code == 0) continue;
    messages_.ShowValidationError(Utf8ToUtf16(Format(
        "You are entered a symbol (code 0x%4.4x), which\r\ncannot be represented in Windows-1251 code page!",
        {static_cast<int>(code)})));
    FieldWidget(i)->setFocus();
    return;
  }
  accept();
}

}  // namespace bookloom
