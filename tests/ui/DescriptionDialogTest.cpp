#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "book/BookDescription.h"
#include "ui/DescriptionDialog.h"

namespace bookloom {
namespace {

const std::u16string kMessage4E2D =
    u"You are entered a symbol (U+4E2D \"\u4E2D\"), which\r\ncannot be represented in Windows-1251 code "
    u"page!";

class DescriptionDialogTest : public ::testing::Test {
 protected:
  // Runs the dialog on `description`; `act` works inside it while it is open.
  bool Run(BookDescription& description, std::function<void()> act) {
    test::WhenModal([&](QWidget&) { act(); });
    return dialog.Execute(description);
  }

  test::TestUserDialogs messages;
  DescriptionDialog dialog{messages};
};

TEST_F(DescriptionDialogTest, ReportsTheFirstCharacterWindows1251LacksAndFocusesItsField) {
  BookDescription d;
  d.title = u"Жи\u4E2D";
  d.author = u"Old author";
  bool stillOpen = false;
  const bool ok = Run(d, [&] {
    dialog.okButton->click();
    stillOpen = dialog.isVisible();
    EXPECT_EQ(dialog.focusWidget(), dialog.titleEdit);
    EXPECT_EQ(d.title, u"Жи\u4E2D");  // nothing is taken over yet
    dialog.titleEdit->setText(QStringLiteral("Жи"));
    dialog.authorEdit->setText(QStringLiteral("New author"));
    dialog.okButton->click();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(ok);
  ASSERT_EQ(messages.validationErrors.size(), 1u);
  EXPECT_EQ(messages.validationErrors[0], kMessage4E2D);
  EXPECT_EQ(d.title, u"Жи");
  EXPECT_EQ(d.author, u"New author");
}

TEST_F(DescriptionDialogTest, ReportsOnlyTheFirstOffendingField) {
  BookDescription d;
  d.author = u"A\u0100B\u4E2D";
  d.isbn = u"\u4E2D";
  Run(d, [&] {
    dialog.okButton->click();
    EXPECT_EQ(dialog.focusWidget(), dialog.authorEdit);
    dialog.reject();
  });
  ASSERT_EQ(messages.validationErrors.size(), 1u);
  EXPECT_NE(messages.validationErrors[0].find(u"(U+0100 \"\u0100\")"), std::u16string::npos);
}

// A character beyond 16 bits is named whole, not by half of its surrogate pair; a letter that is
// decomposed but has a Windows-1251 form passes.
TEST_F(DescriptionDialogTest, NamesTheCharacterItselfAndTakesDecomposedLetters) {
  BookDescription d;
  d.title = u"Мои\u0306 \U0001F600";
  Run(d, [&] {
    dialog.okButton->click();
    EXPECT_EQ(dialog.focusWidget(), dialog.titleEdit);
    dialog.titleEdit->setText(QString::fromStdU16String(u"Мои\u0306"));
    dialog.okButton->click();
  });
  ASSERT_EQ(messages.validationErrors.size(), 1u);
  EXPECT_NE(messages.validationErrors[0].find(u"(U+1F600 \"\U0001F600\")"), std::u16string::npos);
}

TEST_F(DescriptionDialogTest, AcceptsEverythingWindows1251Has) {
  BookDescription d;
  d.annotation = u"Цена 5 € — «книга»\nпод\u00A0редакцией";  // the no-break space stays one
  d.subject = u" ";
  EXPECT_TRUE(Run(d, [&] { dialog.okButton->click(); }));
  EXPECT_TRUE(messages.validationErrors.empty());
  EXPECT_EQ(d.annotation, u"Цена 5 € — «книга»\nпод\u00A0редакцией");
  EXPECT_EQ(d.subject, u" ");
}

TEST_F(DescriptionDialogTest, CutsLongTextsToTheBooksLimitsOnlyOnOK) {
  BookDescription d;
  d.title = std::u16string(200, u'т');
  Run(d, [&] {
    EXPECT_EQ(dialog.titleEdit->text().size(), 128);
    EXPECT_EQ(dialog.focusWidget(), dialog.titleEdit);
    dialog.cancelButton->click();
  });
  EXPECT_EQ(d.title.size(), 200u);
  Run(d, [&] { dialog.okButton->click(); });
  EXPECT_EQ(d.title, std::u16string(128, u'т'));
}

TEST_F(DescriptionDialogTest, LimitsEveryFieldToItsBookField) {
  const struct {
    QLineEdit* field;
    int limit;
  } cases[] = {
      {dialog.titleEdit, 128},      {dialog.authorEdit, 128},     {dialog.subjectEdit, 128},
      {dialog.adapterEdit, 128},    {dialog.translatorEdit, 128}, {dialog.publisherEdit, 128},
      {dialog.publishTimeEdit, 16}, {dialog.isbnEdit, 128},
  };
  for (const auto& c : cases) EXPECT_EQ(c.field->maxLength(), c.limit) << c.field->x() << "," << c.field->y();
  QTest::keyClicks(dialog.publishTimeEdit, QStringLiteral("2024-01-01 12:00:59"));
  EXPECT_EQ(dialog.publishTimeEdit->text(), QStringLiteral("2024-01-01 12:00"));

  // The annotation counts each line break as CR LF.
  EXPECT_EQ(dialog.annotationEdit->MaxLength(), 1024);
  dialog.annotationEdit->SetText(std::u16string(1030, u'a'));
  EXPECT_EQ(dialog.annotationEdit->Text(), std::u16string(1024, u'a'));
  const std::u16string full = std::u16string(1020, u'a') + u"\nbc";
  dialog.annotationEdit->SetText(std::u16string(1020, u'a') + u"\r\nbcdef");
  EXPECT_EQ(dialog.annotationEdit->Text(), full);
  QTest::keyClicks(dialog.annotationEdit, QStringLiteral("xyz"));  // a full field takes nothing more
  EXPECT_EQ(dialog.annotationEdit->Text(), full);
  QTest::keyClick(dialog.annotationEdit, Qt::Key_Delete);
  QTest::keyClicks(dialog.annotationEdit, QStringLiteral("xyz"));
  EXPECT_EQ(dialog.annotationEdit->Text(), u"x" + full.substr(1));
}

TEST_F(DescriptionDialogTest, TabsThroughTheFieldsThenOKAndCancel) {
  const std::vector<QWidget*> expected = {
      dialog.titleEdit,      dialog.authorEdit,    dialog.subjectEdit,     dialog.adapterEdit,
      dialog.translatorEdit, dialog.publisherEdit, dialog.publishTimeEdit, dialog.isbnEdit,
      dialog.annotationEdit, dialog.okButton,      dialog.cancelButton};
  std::vector<QWidget*> order;
  QWidget* w = dialog.titleEdit;
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    w = w->nextInFocusChain();
  } while (w != dialog.titleEdit && order.size() < 20);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(dialog.windowTitle(), "Book Description");
  ASSERT_NE(dialog.layout(), nullptr);
  EXPECT_TRUE(dialog.okButton->isDefault());
}

TEST(IsValidIsbn, ChecksTheCheckDigitOfIsbn10AndIsbn13) {
  const struct {
    std::u16string isbn;
    bool valid;
  } cases[] = {
      {u"0-306-40615-2", true},
      {u"0306406152", true},
      {u"0-306-40615-3", false},
      {u"0-8044-2957-X", true},
      {u"0-8044-2957-x", true},
      {u"X-8044-2957-0", false},
      {u"978-0-306-40615-7", true},
      {u"978 0 306 40615 7", true},
      {u"978-0-306-40615-6", false},
      {u"978-X-306-40615-7", false},
      {u"123", false},
      {u"ISBN 0306406152", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidIsbn(c.isbn), c.valid) << Utf16ToUtf8(c.isbn);
}

// A wrong ISBN is pointed out; the user keeps it or goes back to it.
TEST_F(DescriptionDialogTest, AsksBeforeKeepingAWrongIsbn) {
  BookDescription description;
  for (const bool keep : {false, true}) {
    messages.questions.clear();
    messages.confirm = keep;
    test::WhenModal([&](QWidget& shown) {
      dialog.isbnEdit->setText(QStringLiteral("0-306-40615-3"));
      dialog.okButton->click();
      EXPECT_EQ(shown.isVisible(), !keep);
      if (shown.isVisible()) dialog.cancelButton->click();
    });
    EXPECT_EQ(dialog.Execute(description), keep);
    ASSERT_EQ(messages.questions.size(), 1u);
    EXPECT_NE(messages.questions[0].find(u"0-306-40615-3"), std::u16string::npos);
  }
  EXPECT_EQ(description.isbn, u"0-306-40615-3");
}

}  // namespace
}  // namespace bookloom
