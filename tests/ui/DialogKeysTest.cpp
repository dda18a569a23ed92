// The keys of the two editing dialogs: Enter presses the focused button, so that Enter on Cancel
// cancels, and OK is what Enter presses anywhere else, whichever button had the focus before.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "UiTestSupport.h"
#include "book/BookDescription.h"
#include "pictures/CoverPage.h"
#include "support/TestRuntime.h"
#include "ui/CoverPageDialog.h"
#include "ui/CoverPagePanel.h"
#include "ui/DescriptionDialog.h"

namespace bookloom {
namespace {

TEST(DialogKeys, EnterOnAFocusedCancelCancelsAndElsewherePressesOk) {
  test::TestUserDialogs messages;
  DescriptionDialog description(messages);
  CoverPageDialog cover(TestRuntime(), messages);
  for (const bool onCancel : {true, false}) {
    SCOPED_TRACE(onCancel ? "focus on Cancel" : "focus in a field");
    BookDescription d;
    test::WhenModal([&](QWidget&) {
      description.titleEdit->setText(QStringLiteral("Typed"));
      QWidget* focus = onCancel ? static_cast<QWidget*>(description.cancelButton) : description.authorEdit;
      focus->setFocus();
      QTest::keyClick(focus, Qt::Key_Return);
    });
    EXPECT_EQ(description.Execute(d), !onCancel);
    EXPECT_EQ(d.title, onCancel ? u"" : u"Typed");

    CoverPage page;
    test::WhenModal([&](QWidget&) {
      cover.panel->coverModeCombo->setCurrentIndex(2);
      QWidget* focus = onCancel ? static_cast<QWidget*>(cover.cancelButton)
                                : static_cast<QWidget*>(cover.panel->enlargeCheck);
      focus->setFocus();
      QTest::keyClick(focus, Qt::Key_Return);
    });
    EXPECT_EQ(cover.Execute(page), !onCancel);
    EXPECT_EQ(page.coverMode, onCancel ? 0 : 2);
  }
}

}  // namespace
}  // namespace bookloom
