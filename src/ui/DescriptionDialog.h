// The dialog that edits the book description, with the book's length limits and a check that
// every character can be written in Windows-1251.
#pragma once

#include <QDialog>
#include <QPlainTextEdit>
#include <array>
#include <string>
#include <string_view>

class QLineEdit;
class QPushButton;

namespace bookloom {

class BookDescription;
class UserDialogs;

// A multi-line field whose text is kept with CR LF line breaks and limited in length, each line
// break counting as its two characters.
// Whether the text (hyphens and blanks aside) is an ISBN-10 or ISBN-13 whose check digit matches.
bool IsValidIsbn(std::u16string_view text);

class MemoEdit : public QPlainTextEdit {
 public:
  explicit MemoEdit(QWidget* parent = nullptr);

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

class DescriptionDialog : public QDialog {
  Q_OBJECT

 public:
  explicit DescriptionDialog(UserDialogs& messages, QWidget* parent = nullptr);

  // Shows the description; on OK its nine texts are replaced by the fields' texts. True on OK.
  bool Execute(BookDescription& description);

  // The fields, top to bottom.
  QLineEdit* titleEdit;
  QLineEdit* authorEdit;
  QLineEdit* subjectEdit;
  QLineEdit* adapterEdit;
  QLineEdit* translatorEdit;
  QLineEdit* publisherEdit;
  QLineEdit* publishTimeEdit;
  QLineEdit* isbnEdit;
  MemoEdit* annotationEdit;
  QPushButton* okButton;
  QPushButton* cancelButton;

 private:
  // Accepts the dialog when every field can be written in Windows-1251; otherwise reports the
  // first character that cannot, in the first field that holds one, and focuses that field.
  void OnOk();

  std::u16string FieldText(size_t row) const;
  void SetFieldText(size_t row, const std::u16string& text);
  QWidget* FieldWidget(size_t row) const;

  UserDialogs& messages_;
  std::array<QLineEdit*, 8> lines_;
};

}  // namespace bookloom
