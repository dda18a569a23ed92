#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <set>

#include "UiTestSupport.h"
#include "book/FileTypes.h"
#include "book/PictureFileItem.h"
#include "support/TestRuntime.h"
#include "ui/CoverPageDialog.h"
#include "ui/CoverPagePanel.h"

namespace bookloom {
namespace {

using test::U16;

class CoverPageDialogTest : public ::testing::Test {
 protected:
  std::u16string Picture(const std::string& name) { return test::WritePicture(dir / name); }

  // Types into a margin field and moves the focus away from it.
  static void TypeAndLeave(QSpinBox* field, const QString& text) {
    field->findChild<QLineEdit*>()->selectAll();
    QTest::keyClick(field, Qt::Key_Backspace);
    if (!text.isEmpty()) QTest::keyClicks(field, text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
  }

  // The grey levels of the preview (-1 for a colour); empty when it shows nothing.
  std::set<int> PreviewGreys() const {
    std::set<int> greys;
    const QPixmap pixmap = dialog.panel->previewLabel->pixmap();
    if (pixmap.isNull()) return greys;
    const QImage image = pixmap.toImage();
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        greys.insert(qRed(c) == qGreen(c) && qGreen(c) == qBlue(c) ? qRed(c) : -1);
      }
    return greys;
  }

  test::ScratchDir dir;
  test::TestUserDialogs messages;
  CoverPageDialog dialog{TestRuntime(), messages};
  CoverPagePanel& panel = *dialog.panel;
};

TEST_F(CoverPageDialogTest, EnablesSettingsOnlyWhenACoverPageIsWanted) {
  CoverPage cover;
  cover.coverMode = static_cast<decltype(cover.coverMode)>(1);
  cover.enlarge = false;
  panel.coverPage = cover;
  panel.ShowSettings();
  const std::vector<QWidget*> settings = {panel.enlargeCheck,   panel.titleCoverCheck,
                                          panel.leftMarginEdit, panel.rightMarginEdit,
                                          panel.topMarginEdit,  panel.bottomMarginEdit};
  for (QWidget* w : settings) EXPECT_TRUE(w->isEnabled());  // the unchecked box leaves margins on
  panel.coverModeCombo->setCurrentIndex(0);
  for (QWidget* w : settings) EXPECT_FALSE(w->isEnabled());
  panel.coverModeCombo->setCurrentIndex(2);
  for (QWidget* w : settings) EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(panel.coverModeCombo->itemText(0), "Don't add cover page");
  EXPECT_EQ(panel.coverModeCombo->itemText(1), "Monochrome");
  EXPECT_EQ(panel.coverModeCombo->itemText(2), "Gray (4 levels)");
  // The cover from the title is kept with the rest of the settings.
  EXPECT_FALSE(panel.titleCoverCheck->isChecked());
  panel.titleCoverCheck->setChecked(true);
  panel.ReadSettings();
  EXPECT_TRUE(panel.coverPage.fromTitle);
  panel.coverPage.fromTitle = false;
  panel.ShowSettings();
  EXPECT_FALSE(panel.titleCoverCheck->isChecked());
}

// Opposite margins never reach the page's size together: each field's range ends one pixel short
// of what the other leaves.
TEST_F(CoverPageDialogTest, MarginFieldsBringTypedValuesIntoARangeThatLeavesRoom) {
  const struct {
    QSpinBox* field;
    QString typed, shown;
  } cases[] = {
      {panel.leftMarginEdit, "900", "599"},
      {panel.rightMarginEdit, "601", "0"},  // the left margin leaves one pixel
      {panel.leftMarginEdit, "300", "300"},
      {panel.rightMarginEdit, "300", "299"},
      {panel.topMarginEdit, "900", "799"},
      {panel.bottomMarginEdit, "9999", "0"},
      {panel.topMarginEdit, "", "0"},
      {panel.bottomMarginEdit, "9999", "799"},
      {panel.leftMarginEdit, "12345", "300"},  // four characters at most; room for the right margin
      {panel.leftMarginEdit, "42", "42"},
      {panel.bottomMarginEdit, "x7", "7"},
  };
  for (const auto& c : cases) {
    TypeAndLeave(c.field, c.typed);
    EXPECT_EQ(c.field->text(), c.shown) << c.typed.toStdString();
    EXPECT_EQ(c.field->value(), c.shown.toInt()) << c.typed.toStdString();
  }
  panel.ReadSettings();
  EXPECT_EQ(panel.coverPage.margins.left, 42);
  EXPECT_EQ(panel.coverPage.margins.right, 299);
  EXPECT_EQ(panel.coverPage.margins.top, 0);
  EXPECT_EQ(panel.coverPage.margins.bottom, 7);
  EXPECT_NO_THROW(CheckMargins(panel.coverPage.margins));
  // Margins of a settings file that leave no room are brought into range when shown.
  CoverPage cover;
  cover.margins = {400, 400, 0, 800};
  panel.coverPage = cover;
  panel.ShowSettings();
  panel.ReadSettings();
  EXPECT_NO_THROW(CheckMargins(panel.coverPage.margins));
}

TEST_F(CoverPageDialogTest, TakesTheChosenPictureOverOnlyOnOK) {
  CoverPage cover;
  cover.fileName = u"/old/cover.bmp";
  messages.picture = Picture("new.bmp");
  test::WhenModal([&](QWidget&) {
    panel.loadPictureButton->click();
    EXPECT_EQ(panel.coverPage.fileName, messages.picture);
    dialog.cancelButton->click();
  });
  EXPECT_FALSE(dialog.Execute(cover));
  EXPECT_EQ(cover.fileName, u"/old/cover.bmp");
  EXPECT_EQ(messages.pictureTitle, u"Select image for cover");
  // Every picture type the book reads is offered.
  EXPECT_EQ(messages.pictureFilter, FileTypes().BuildFilter(1, kAllSupported, &PictureFileItem::Class));
  for (const char16_t* mask : {u"*.jpg", u"*.png", u"*.bmp", u"*.webp"})
    EXPECT_NE(messages.pictureFilter.find(mask), std::u16string::npos) << Utf16ToUtf8(mask);

  test::WhenModal([&](QWidget&) {
    EXPECT_EQ(panel.coverPage.fileName, u"/old/cover.bmp");  // the copy is made anew
    panel.loadPictureButton->click();
    panel.coverModeCombo->setCurrentIndex(2);
    TypeAndLeave(panel.leftMarginEdit, "15");
    dialog.okButton->click();
  });
  EXPECT_TRUE(dialog.Execute(cover));
  EXPECT_EQ(cover.fileName, messages.picture);
  EXPECT_EQ(static_cast<int>(cover.coverMode), 2);
  EXPECT_EQ(cover.margins.left, 15);
}

TEST_F(CoverPageDialogTest, PreviewShowsTheReducedCoverAfterUpdate) {
  CoverPage cover;
  cover.fileName = Picture("cover.bmp");
  cover.coverMode = static_cast<decltype(cover.coverMode)>(1);
  test::WhenModal([&](QWidget&) {
    EXPECT_TRUE(PreviewGreys().empty());  // nothing before the first update
    panel.updatePreviewButton->click();
    EXPECT_EQ(panel.previewLabel->pixmap().size(), QSize(150, 200));
    EXPECT_EQ(PreviewGreys(), (std::set<int>{0, 255}));
    panel.coverModeCombo->setCurrentIndex(2);
    panel.updatePreviewButton->click();
    const std::set<int> greys = PreviewGreys();
    EXPECT_GT(greys.size(), 2u);
    for (int g : greys) EXPECT_TRUE(g == 0 || g == 128 || g == 192 || g == 255) << g;
    dialog.cancelButton->click();
  });
  dialog.Execute(cover);

  // Opened again on other settings: the controls show them, the preview stays until "Update".
  CoverPage none;
  test::WhenModal([&](QWidget&) {
    EXPECT_EQ(panel.coverModeCombo->currentIndex(), 0);
    EXPECT_FALSE(PreviewGreys().empty());
    panel.updatePreviewButton->click();  // no cover page wanted: the preview is cleared
    EXPECT_TRUE(PreviewGreys().empty());
    dialog.cancelButton->click();
  });
  dialog.Execute(none);
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(CoverPageDialogTest, PictureThatCannotBeReadIsReportedAndLeavesNoPreview) {
  CoverPage cover;
  cover.fileName = test::WriteTextFile(dir / "broken.bmp", "BM this is no picture");
  cover.coverMode = static_cast<decltype(cover.coverMode)>(2);
  test::WhenModal([&](QWidget&) {
    panel.updatePreviewButton->click();
    dialog.cancelButton->click();
  });
  dialog.Execute(cover);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0].back(), u'.');
  EXPECT_TRUE(PreviewGreys().empty());
}

// A picture chosen turns the cover on (grey, unless a mode is already chosen) and shows it at once.
TEST_F(CoverPageDialogTest, ChoosingAPictureTurnsTheCoverOnAndShowsIt) {
  messages.picture = Picture("new.bmp");
  const struct { int modeBefore, modeAfter; } cases[] = {{0, 2}, {1, 1}, {2, 2}};
  for (const auto& c : cases) {
    CoverPage cover;
    cover.coverMode = static_cast<decltype(cover.coverMode)>(c.modeBefore);
    test::WhenModal([&](QWidget&) {
      panel.loadPictureButton->click();
      EXPECT_EQ(panel.coverModeCombo->currentIndex(), c.modeAfter) << c.modeBefore;
      EXPECT_TRUE(panel.enlargeCheck->isEnabled()) << c.modeBefore;
      EXPECT_FALSE(PreviewGreys().empty()) << c.modeBefore;
      dialog.okButton->click();
    });
    EXPECT_TRUE(dialog.Execute(cover));
    EXPECT_EQ(static_cast<int>(cover.coverMode), c.modeAfter);
  }
}

TEST_F(CoverPageDialogTest, LaysOutThePanelAndTheDialog) {
  EXPECT_EQ(dialog.windowTitle(), "Edit Cover Page");
  ASSERT_NE(dialog.layout(), nullptr);
  EXPECT_NE(dialog.minimumSize(), dialog.maximumSize());  // it may grow
  EXPECT_EQ(panel.previewLabel->size(), QSize(150, 200));
  EXPECT_TRUE(dialog.okButton->isDefault());
  QWidget* w = panel.leftMarginEdit;
  std::vector<QWidget*> margins;
  while (margins.size() < 4) {
    if (dynamic_cast<QSpinBox*>(w)) margins.push_back(w);
    w = w->nextInFocusChain();
  }
  EXPECT_EQ(margins, (std::vector<QWidget*>{panel.leftMarginEdit, panel.rightMarginEdit, panel.topMarginEdit,
                                            panel.bottomMarginEdit}));
}

}  // namespace
}  // namespace bookloom
