// The dialog that edits the book description, with the book's length limits and a check that
// every character can be written in Windows-1251.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <array>
#include <string>

class QLineEdit;
class QPushButton;

namespace bookloom {

class TBookDescription;
class TMessages;

// A multi-line field whose text is kept with CR LF line breaks and limited in length, each line
// break counting as its two characters.
class TMemoEdit : public QPlainTextEdit {
 public:
  explicit TMemoEdit(QWidget* parent = nullptr);

  void SetMaxLength(int length);
  int MaxLength() const { return maxLength_; }

  // The text with CR LF between lines.
  std::u16string Text() const;
  // Shows the text (CR LF, CR or LF line breaks), cut to the length limit.
  void SetText(const std::u16string& text);

 private:
  // Takes off the end of newly inserted text whatever goes beyond the limit.
  void CutExcess(int position, int added);

  int maxLength_ = 0;  // 0: no limit
  bool cutting_ = false;
};

class TfrmEditBookDescription : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmEditBookDescription(TMessages& messages, QWidget* parent = nullptr);

  // Shows the description; on OK its nine texts are replaced by the fields' texts. True on OK.
  bool Execute(TBookDescription& description);

  // The fields, top to bottom.
  QLineEdit* edtTitle;
  QLineEdit* edtAuthor;
  QLineEdit* edtSubject;
  QLineEdit* edtAdapter;
  QLineEdit* edtTranslator;
  QLineEdit* edtPublisher;
  QLineEdit* edtPublishTime;
  QLineEdit* edtISBN;
  TMemoEdit* memAnnotation;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 private:
  // Accepts the dialog when every field can be written in Windows-1251; otherwise reports the
  // first character that cannot, in the first field that holds one, and focuses that field.
  void btnOKClick();

  std::u16string FieldText(size_t row) const;
  void SetFieldText(size_t row, const std::u16string& text);
  QWidget* FieldWidget(size_t row) const;

  TMessages& messages_;
  std::array<QLineEdit*, 8> lines_;
};

}  // namespace bookloom
