#include "ui/DescriptionDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <cstdio>

#include "book/BookDescription.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "ui/Appearance.h"
#include "ui/UserDialogs.h"
#include "wolf/BookRecords.h"

namespace bookloom {

namespace {

// The dialog's rows, top to bottom, which is also the order of tabbing and of the check.
struct Row {
  const char* label;
  std::u16string BookDescription::*field;
  int wolfIndex;  // the book description field whose length limit the row takes
};

const Row kRows[] = {
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "&Title:"), &BookDescription::title, 0},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "A&uthor:"), &BookDescription::author, 2},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "&Subject (genre):"), &BookDescription::subject, 1},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "Adapted &by:"), &BookDescription::adapter, 3},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "T&ranslator:"), &BookDescription::translator, 4},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "&Publisher:"), &BookDescription::publisher, 6},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "Publication &date:"), &BookDescription::publishTime,
     7},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "&ISBN:"), &BookDescription::isbn, 12},
    {QT_TRANSLATE_NOOP("bookloom::DescriptionDialog", "A&nnotation:"), &BookDescription::annotation, 11},
};
constexpr size_t kAnnotationRow = 8;
constexpr size_t kIsbnRow = 7;
// The widths of the fields and the annotation's height, in average characters and lines.
constexpr int kFieldColumns = 48, kAnnotationLines = 6;

// U+1F600 "😀": the code point and the character itself.
std::string CharacterName(char32_t code) {
  char number[16];
  std::snprintf(number, sizeof number, "U+%04X", static_cast<unsigned>(code));
  const std::u16string character = QString::fromUcs4(&code, 1).toStdU16String();
  return std::string(number) + " \"" + Utf16ToUtf8(character) + "\"";
}

bool IsLineBreak(QChar c) {
  return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n';
}

}  // namespace

bool IsValidIsbn(std::u16string_view text) {
  std::u16string digits;
  for (char16_t c : text) {
    if (c == u'-' || c == u' ') continue;
    if ((c < u'0' || c > u'9') && c != u'X' && c != u'x') return false;
    digits += c;
  }
  // An X (ten) stands only as the check digit of an ISBN-10.
  for (size_t i = 0; i + 1 < digits.size(); ++i)
    if (digits[i] == u'X' || digits[i] == u'x') return false;
  const auto value = [](char16_t c) { return c == u'X' || c == u'x' ? 10 : c - u'0'; };
  int sum = 0;
  if (digits.size() == 10) {
    for (size_t i = 0; i < 10; ++i) sum += static_cast<int>(10 - i) * value(digits[i]);
    return sum % 11 == 0;
  }
  if (digits.size() == 13 && value(digits.back()) < 10) {
    for (size_t i = 0; i < 13; ++i) sum += (i % 2 == 0 ? 1 : 3) * value(digits[i]);
    return sum % 10 == 0;
  }
  return false;
}

MemoEdit::MemoEdit(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  connect(document(), &QTextDocument::contentsChange, this,
          [this](int position, int, int added) { CutExcess(position, added); });
}

void MemoEdit::SetMaxLength(int length) { maxLength_ = length; }

void MemoEdit::CutExcess(int position, int added) {
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

std::u16string MemoEdit::Text() const {
  // The raw text: the plain text would turn no-break spaces into spaces.
  QString text;
  for (QChar c : document()->toRawText()) {
    if (IsLineBreak(c))
      text += u'\n';
    else
      text += c;
  }
  return text.toStdU16String();
}

void MemoEdit::SetText(const std::u16string& text) {
  QString plain = QString::fromStdU16String(text);
  plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  setPlainText(plain);
}

DescriptionDialog::DescriptionDialog(UserDialogs& messages, QWidget* parent)
    : QDialog(parent), messages_(messages) {
  setWindowTitle(tr("Book Description"));
  auto* rows = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  fields->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const int limit = kDescriptionFields[static_cast<size_t>(kRows[i].wolfIndex)].maxLength;
    if (i == kAnnotationRow) {
      annotationEdit = new MemoEdit(this);
      annotationEdit->setMinimumHeight(annotationEdit->fontMetrics().lineSpacing() * kAnnotationLines);
      annotationEdit->SetMaxLength(limit);
    } else {
      lines_[i] = new QLineEdit(this);
      lines_[i]->setMaxLength(limit);
    }
    fields->addRow(tr(kRows[i].label), FieldWidget(i));
  }
  lines_[0]->setMinimumWidth(lines_[0]->fontMetrics().averageCharWidth() * kFieldColumns);
  rows->addLayout(fields, 1);
  titleEdit = lines_[0];
  authorEdit = lines_[1];
  subjectEdit = lines_[2];
  adapterEdit = lines_[3];
  translatorEdit = lines_[4];
  publisherEdit = lines_[5];
  publishTimeEdit = lines_[6];
  isbnEdit = lines_[7];

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  okButton = buttons->button(QDialogButtonBox::Ok);
  okButton->setDefault(true);
  cancelButton = buttons->button(QDialogButtonBox::Cancel);
  cancelButton->setAutoDefault(false);
  PressOnEnter(*cancelButton);
  rows->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &DescriptionDialog::OnOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  QWidget* previous = lines_[0];
  for (size_t i = 1; i < std::size(kRows); ++i) {
    setTabOrder(previous, FieldWidget(i));
    previous = FieldWidget(i);
  }
  setTabOrder(annotationEdit, okButton);
  setTabOrder(okButton, cancelButton);
}

std::u16string DescriptionDialog::FieldText(size_t row) const {
  return row == kAnnotationRow ? annotationEdit->Text() : lines_[row]->text().toStdU16String();
}

void DescriptionDialog::SetFieldText(size_t row, const std::u16string& text) {
  if (row == kAnnotationRow) {
    annotationEdit->SetText(text);
    return;
  }
  const size_t limit = static_cast<size_t>(lines_[row]->maxLength());
  lines_[row]->setText(QString::fromStdU16String(text.substr(0, limit)));
}

QWidget* DescriptionDialog::FieldWidget(size_t row) const {
  return row == kAnnotationRow ? static_cast<QWidget*>(annotationEdit) : lines_[row];
}

bool DescriptionDialog::Execute(BookDescription& description) {
  for (size_t i = 0; i < std::size(kRows); ++i) SetFieldText(i, description.*kRows[i].field);
  titleEdit->setFocus();
  if (exec() != QDialog::Accepted) return false;
  for (size_t i = 0; i < std::size(kRows); ++i) description.*kRows[i].field = FieldText(i);
  return true;
}

void DescriptionDialog::OnOk() {
  for (size_t i = 0; i < std::size(kRows); ++i) {
    const char32_t code = FindNonWin1251Char(FieldText(i));
    if (code == 0) continue;
    messages_.ShowValidationError(
        tr("You are entered a symbol (%1), which\r\ncannot be represented in Windows-1251 code page!")
            .arg(QString::fromStdString(CharacterName(code)))
            .toStdU16String());
    FieldWidget(i)->setFocus();
    return;
  }
  const std::u16string isbn = FieldText(kIsbnRow);
  if (!isbn.empty() && !IsValidIsbn(isbn) &&
      !messages_.Confirm(
          tr("\"%1\" is not a valid ISBN: its check digit does not match. Keep it all the same?")
              .arg(QString::fromStdU16String(isbn))
              .toStdU16String())) {
    isbnEdit->setFocus();
    return;
  }
  accept();
}

}  // namespace bookloom
