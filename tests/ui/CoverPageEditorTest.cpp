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
#include "ui/fEditBookCoverPage.h"
#include "ui/fmEditBookCoverPage.h"

namespace bookloom {
namespace {

using test::U16;

class CoverPageEditor : public ::testing::Test {
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
    const QPixmap pixmap = dialog.fraCoverPage->imgCover->pixmap();
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
  test::TTestMessages messages;
  TfrmEditBookCoverPage dialog{messages};
  TfraEditBookCoverPage& panel = *dialog.fraCoverPage;
};

TEST_F(CoverPageEditor, EnablesSettingsOnlyWhenACoverPageIsWanted) {
  TBookCoverPage cover;
  cover.CoverMode = static_cast<decltype(cover.CoverMode)>(1);
  cover.Enlarge = false;
  panel.CoverPage.Assign(cover);
  panel.ShowSettings();
  const std::vector<QWidget*> settings = {panel.chbEnlargeCover, panel.sedCoverLeft, panel.sedCoverRight,
                                          panel.sedCoverTop, panel.sedCoverBottom};
  for (QWidget* w : settings) EXPECT_TRUE(w->isEnabled());  // the unchecked box leaves margins on
  panel.cmbCoverPage->setCurrentIndex(0);
  for (QWidget* w : settings) EXPECT_FALSE(w->isEnabled());
  panel.cmbCoverPage->setCurrentIndex(2);
  for (QWidget* w : settings) EXPECT_TRUE(w->isEnabled());
  EXPECT_EQ(panel.cmbCoverPage->itemText(0), "Don't add cover page");
  EXPECT_EQ(panel.cmbCoverPage->itemText(1), "Monochrome");
  EXPECT_EQ(panel.cmbCoverPage->itemText(2), "Gray (4 levels)");
}

TEST_F(CoverPageEditor, MarginFieldsBringTypedValuesIntoTheirRange) {
  const struct {
    QSpinBox* field;
    QString typed, shown;
  } cases[] = {
      {panel.sedCoverLeft, "900", "600"}, {panel.sedCoverRight, "601", "600"},
      {panel.sedCoverTop, "900", "800"},  {panel.sedCoverBottom, "9999", "800"},
      {panel.sedCoverTop, "", "0"},       {panel.sedCoverLeft, "12345", "600"},  // four characters at most
      {panel.sedCoverLeft, "42", "42"},   {panel.sedCoverBottom, "x7", "7"},
  };
  for (const auto& c : cases) {
    TypeAndLeave(c.field, c.typed);
    EXPECT_EQ(c.field->text(), c.shown) << c.typed.toStdString();
    EXPECT_EQ(c.field->value(), c.shown.toInt()) << c.typed.toStdString();
  }
  panel.ReadSettings();
  EXPECT_EQ(panel.CoverPage.MarginLeft, 42);
  EXPECT_EQ(panel.CoverPage.MarginTop, 0);
  EXPECT_EQ(panel.CoverPage.MarginBottom, 7);
}

TEST_F(CoverPageEditor, TakesTheChosenPictureOverOnlyOnOK) {
  TBookCoverPage cover;
  cover.FileName = u"/old/cover.bmp";
  messages.picture = Picture("new.bmp");
  test::WhenModal([&](QWidget&) {
    panel.btnLoadPicture->click();
    EXPECT_EQ(panel.CoverPage.FileName, messages.picture);
    dialog.btnCancel->click();
  });
  EXPECT_FALSE(dialog.Execute(cover));
  EXPECT_EQ(cover.FileName, u"/old/cover.bmp");
  EXPECT_EQ(messages.pictureTitle, u"Select image for cover");
  EXPECT_EQ(messages.pictureFilter, u"All supported files (*.bmp)|*.bmp");

  test::WhenModal([&](QWidget&) {
    EXPECT_EQ(panel.CoverPage.FileName, u"/old/cover.bmp");  // the copy is made anew
    panel.btnLoadPicture->click();
    panel.cmbCoverPage->setCurrentIndex(2);
    TypeAndLeave(panel.sedCoverLeft, "15");
    dialog.btnOK->click();
  });
  EXPECT_TRUE(dialog.Execute(cover));
  EXPECT_EQ(cover.FileName, messages.picture);
  EXPECT_EQ(static_cast<int>(cover.CoverMode), 2);
  EXPECT_EQ(cover.MarginLeft, 15);
}

TEST_F(CoverPageEditor, PreviewShowsTheReducedCoverAfterUpdate) {
  TBookCoverPage cover;
  cover.FileName = Picture("cover.bmp");
  cover.CoverMode = static_cast<decltype(cover.CoverMode)>(1);
  test::WhenModal([&](QWidget&) {
    EXPECT_TRUE(PreviewGreys().empty());  // nothing before the first update
    panel.btnUpdatePreview->click();
    EXPECT_EQ(panel.imgCover->pixmap().size(), QSize(150, 200));
    EXPECT_EQ(PreviewGreys(), (std::set<int>{0, 255}));
    panel.cmbCoverPage->setCurrentIndex(2);
    panel.btnUpdatePreview->click();
    const std::set<int> greys = PreviewGreys();
    EXPECT_GT(greys.size(), 2u);
    for (int g : greys) EXPECT_TRUE(g == 0 || g == 128 || g == 192 || g == 255) << g;
    dialog.btnCancel->click();
  });
  dialog.Execute(cover);

  // Opened again on other settings: the controls show them, the preview stays until "Update".
  TBookCoverPage none;
  test::WhenModal([&](QWidget&) {
    EXPECT_EQ(panel.cmbCoverPage->currentIndex(), 0);
    EXPECT_FALSE(PreviewGreys().empty());
    panel.btnUpdatePreview->click();  // no cover page wanted: the preview is cleared
    EXPECT_TRUE(PreviewGreys().empty());
    dialog.btnCancel->click();
  });
  dialog.Execute(none);
  EXPECT_TRUE(messages.errors.empty());
}

TEST_F(CoverPageEditor, PictureThatCannotBeReadIsReportedAndLeavesNoPreview) {
  TBookCoverPage cover;
  cover.FileName = test::WriteTextFile(dir / "broken.bmp", "BM this is no picture");
  cover.CoverMode = static_cast<decltype(cover.CoverMode)>(2);
  test::WhenModal([&](QWidget&) {
    panel.btnUpdatePreview->click();
    dialog.btnCancel->click();
  });
  dialog.Execute(cover);
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0].back(), u'.');
  EXPECT_TRUE(PreviewGreys().empty());
}

TEST_F(CoverPageEditor, LaysOutThePanelAndTheDialog) {
  EXPECT_EQ(dialog.size(), QSize(569, 257));
  EXPECT_EQ(dialog.windowTitle(), "Edit Cover Page");
  EXPECT_EQ(panel.pos(), QPoint(8, 8));
  EXPECT_EQ(panel.size(), QSize(557, 241));
  EXPECT_EQ(panel.imgCover->size(), QSize(150, 200));
  EXPECT_EQ(panel.btnLoadPicture->geometry(), QRect(4, 212, 152, 25));
  EXPECT_EQ(panel.btnUpdatePreview->geometry(), QRect(176, 212, 81, 25));
  EXPECT_EQ(panel.sedCoverBottom->geometry(), QRect(296, 56, 65, 22));
  EXPECT_EQ(dialog.btnOK->geometry(), QRect(392, 220, 81, 25));
  EXPECT_EQ(dialog.btnCancel->geometry(), QRect(480, 220, 81, 25));
  EXPECT_TRUE(dialog.btnOK->isDefault());
  QWidget* w = panel.sedCoverLeft;
  std::vector<QWidget*> margins;
  while (margins.size() < 4) {
    if (dynamic_cast<QSpinBox*>(w)) margins.push_back(w);
    w = w->nextInFocusChain();
  }
  EXPECT_EQ(margins, (std::vector<QWidget*>{panel.sedCoverLeft, panel.sedCoverRight, panel.sedCoverTop,
                                            panel.sedCoverBottom}));
}

}  // namespace
}  // namespace bookloom
