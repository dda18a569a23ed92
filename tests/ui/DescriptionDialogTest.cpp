#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "project/cBookDescription.h"
#include "ui/fEditBookDescription.h"

namespace bookloom {
namespace {

const std::u16string kMessage4E2D =
    u"You are entered a symbol (code 0x4E2D), which\r\ncannot be represented in Windows-1251 code page!";

class DescriptionDialog : public ::testing::Test {
 protected:
  // Runs the dialog on `description`; `act` works inside it while it is open.
  bool Run(TBookDescription& description, std::function<void()> act) {
    test::WhenModal([&](QWidget&) { act(); });
    return dialog.Execute(description);
  }

  test::TTestMessages messages;
  TfrmEditBookDescription dialog{messages};
};

TEST_F(DescriptionDialog, ReportsTheFirstCharacterWindows1251LacksAndFocusesItsField) {
  TBookDescription d;
  d.Title = u"Жи\u4E2D";
  d.Author = u"Old author";
  bool stillOpen = false;
  const bool ok = Run(d, [&] {
    dialog.btnOK->click();
    stillOpen = dialog.isVisible();
    EXPECT_EQ(dialog.focusWidget(), dialog.edtTitle);
    EXPECT_EQ(d.Title, u"Жи\u4E2D");  // nothing is taken over yet
    dialog.edtTitle->setText(QStringLiteral("Жи"));
    dialog.edtAuthor->setText(QStringLiteral("New author"));
    dialog.btnOK->click();
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_TRUE(ok);
  ASSERT_EQ(messages.validationErrors.size(), 1u);
  EXPECT_EQ(messages.validationErrors[0], kMessage4E2D);
  EXPECT_EQ(d.Title, u"Жи");
  EXPECT_EQ(d.Author, u"New author");
}

TEST_F(DescriptionDialog, ReportsOnlyTheFirstOffendingField) {
  TBookDescription d;
  d.Author = u"A\u0100B\u4E2D";
  d.ISBN = u"\u4E2D";
  Run(d, [&] {
    dialog.btnOK->click();
    EXPECT_EQ(dialog.focusWidget(), dialog.edtAuthor);
    dialog.reject();
  });
  ASSERT_EQ(messages.validationErrors.size(), 1u);
  EXPECT_NE(messages.validationErrors[0].find(u"(code 0x0100)"), std::u16string::npos);
}

TEST_F(DescriptionDialog, AcceptsEverythingWindows1251Has) {
  TBookDescription d;
  d.Annotation = u"Цена 5 € — «книга»\r\nпод\u00A0редакцией";  // the no-break space stays one
  d.Subject = u" ";
  EXPECT_TRUE(Run(d, [&] { dialog.btnOK->click(); }));
  EXPECT_TRUE(messages.validationErrors.empty());
  EXPECT_EQ(d.Annotation, u"Цена 5 € — «книга»\r\nпод\u00A0редакцией");
  EXPECT_EQ(d.Subject, u" ");
}

TEST_F(DescriptionDialog, CutsLongTextsToTheBooksLimitsOnlyOnOK) {
  TBookDescription d;
  d.Title = std::u16string(200, u'т');
  Run(d, [&] {
    EXPECT_EQ(dialog.edtTitle->text().size(), 128);
    EXPECT_EQ(dialog.focusWidget(), dialog.edtTitle);
    dialog.btnCancel->click();
  });
  EXPECT_EQ(d.Title.size(), 200u);
  Run(d, [&] { dialog.btnOK->click(); });
  EXPECT_EQ(d.Title, std::u16string(128, u'т'));
}

TEST_F(DescriptionDialog, LimitsEveryFieldToItsBookField) {
  const struct {
    QLineEdit* field;
    int limit;
  } cases[] = {
      {dialog.edtTitle, 128},      {dialog.edtAuthor, 128},     {dialog.edtSubject, 128},
      {dialog.edtAdapter, 128},    {dialog.edtTranslator, 128}, {dialog.edtPublisher, 128},
      {dialog.edtPublishTime, 16}, {dialog.edtISBN, 128},
  };
  for (const auto& c : cases) EXPECT_EQ(c.field->maxLength(), c.limit) << c.field->x() << "," << c.field->y();
  QTest::keyClicks(dialog.edtPublishTime, QStringLiteral("2024-01-01 12:00:59"));
  EXPECT_EQ(dialog.edtPublishTime->text(), QStringLiteral("2024-01-01 12:00"));

  // The annotation counts each line break as CR LF.
  EXPECT_EQ(dialog.memAnnotation->MaxLength(), 1024);
  dialog.memAnnotation->SetText(std::u16string(1030, u'a'));
  EXPECT_EQ(dialog.memAnnotation->Text(), std::u16string(1024, u'a'));
  const std::u16string full = std::u16string(1020, u'a') + u"\r\nbc";
  dialog.memAnnotation->SetText(std::u16string(1020, u'a') + u"\r\nbcdef");
  EXPECT_EQ(dialog.memAnnotation->Text(), full);
  QTest::keyClicks(dialog.memAnnotation, QStringLiteral("xyz"));  // a full field takes nothing more
  EXPECT_EQ(dialog.memAnnotation->Text(), full);
  QTest::keyClick(dialog.memAnnotation, Qt::Key_Delete);
  QTest::keyClicks(dialog.memAnnotation, QStringLiteral("xyz"));
  EXPECT_EQ(dialog.memAnnotation->Text(), u"x" + full.substr(1));
}

TEST_F(DescriptionDialog, TabsThroughTheFieldsThenOKAndCancel) {
  const std::vector<QWidget*> expected = {dialog.edtTitle,       dialog.edtAuthor,     dialog.edtSubject,
                                          dialog.edtAdapter,     dialog.edtTranslator, dialog.edtPublisher,
                                          dialog.edtPublishTime, dialog.edtISBN,       dialog.memAnnotation,
                                          dialog.btnOK,          dialog.btnCancel};
  std::vector<QWidget*> order;
  QWidget* w = dialog.edtTitle;
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.push_back(w);
    w = w->nextInFocusChain();
  } while (w != dialog.edtTitle && order.size() < 20);
  EXPECT_EQ(order, expected);
  EXPECT_EQ(dialog.size(), QSize(433, 345));
  EXPECT_EQ(dialog.windowTitle(), "Book Description");
  EXPECT_EQ(dialog.font().pixelSize(), 11);
  EXPECT_EQ(dialog.edtPublishTime->geometry(), QRect(136, 160, 281, 21));
  EXPECT_EQ(dialog.memAnnotation->geometry(), QRect(136, 208, 281, 89));
  EXPECT_EQ(dialog.btnOK->geometry(), QRect(248, 312, 81, 25));
  EXPECT_TRUE(dialog.btnOK->isDefault());
}

}  // namespace
}  // namespace bookloom
