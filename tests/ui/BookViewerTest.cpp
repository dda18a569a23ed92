#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

#include "UiTestSupport.h"
#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "platform/Exception.h"
#include "support/TestRuntime.h"
#include "text/Win1251.h"
#include "ui/BookViewer.h"
#include "ui/MainWindow.h"
#include "ui/PageRendering.h"

namespace bookloom {
namespace {

using test::U16;

class BookViewerTest : public ::testing::Test {
 protected:
  // A book made as the window makes it: a text of three chapters, long enough for several pages in
  // every layout, a picture, and the picture as the cover.
  void SetUp() override {
    std::string text;
    for (int chapter = 1; chapter <= 3; ++chapter) {
      text += "CHAPTER " + std::to_string(chapter) + "\n\n";
      for (int i = 0; i < 40; ++i)
        text += "Paragraph " + std::to_string(i) +
                " of a chapter, with R&D and <marks> and \"quotes\", long " +
                "enough to take more than one line of the narrow layouts.\n\n";
    }
    const std::u16string textFile = test::WriteTextFile(dir / "story.txt", text);
    const std::u16string picture = test::WritePicture(dir / "picture.bmp");
    FileList files;
    for (const std::u16string& name : {textFile, picture})
      files.Add(InputItemClass(name)->create(TestRuntime(), name));
    FileSettings settings;
    settings.text.chapters = true;
    files.Items(0).SetSettings(settings);
    BookDescription description;
    description.title = u"Viewed book";
    description.author = u"Test Author";
    CoverPage cover;
    cover.fileName = picture;
    cover.coverMode = 2;
    bytes = BuildBookInMemory(TestRuntime(), files, description, cover);
    test::WriteBytes(dir / "book.wol", bytes);
  }

  test::ScratchDir dir;
  std::string bytes;
};

// The cover comes first; then every page of each layout in turn, as many as the book's page table of
// that layout lists, each drawn as the device draws it.
TEST_F(BookViewerTest, ShowsTheCoverThenEveryPageOfEachLayout) {
  BookViewer viewer(U16(dir / "book.wol"));
  ASSERT_TRUE(viewer.Readable()) << viewer.Problem().toStdString();
  const BookReader reader(bytes);
  EXPECT_EQ(viewer.CurrentPage(), -1);
  EXPECT_EQ(viewer.pageNumberLabel->text(), QStringLiteral("Cover"));
  EXPECT_EQ(viewer.ShownImage(), PictureImage(reader, *reader.Book().cover));
  EXPECT_FALSE(viewer.previousButton->isEnabled());
  for (int layout = 0; layout < 4; ++layout) {
    viewer.layoutCombo->setCurrentIndex(layout);
    viewer.ShowPage(-1);
    const BookPages pages(reader.Book(), layout);
    const int count = static_cast<int>(reader.Book().pageLists[layout].size());
    ASSERT_GT(count, 4) << layout;
    for (int page = 0; page < count; ++page) {
      viewer.nextButton->click();
      ASSERT_EQ(viewer.CurrentPage(), page) << layout;
      EXPECT_EQ(viewer.pageNumberLabel->text(), QStringLiteral("Page %1 of %2").arg(page + 1).arg(count));
      if (page % 5 == 0 || page + 1 == count) {
        EXPECT_EQ(viewer.ShownImage(), PageImage(reader, pages, static_cast<size_t>(page))) << page;
      }
    }
    EXPECT_FALSE(viewer.nextButton->isEnabled()) << layout;
    const QSize textPage = layout >= 2 ? QSize(800, 600) : QSize(600, 800);
    viewer.ShowPage(1);
    EXPECT_EQ(viewer.ShownImage().size(), textPage) << layout;
  }
}

// The keys turn pages: arrows, Home for the cover, End for the last page, and PageUp and PageDown
// wherever the focus is.
TEST_F(BookViewerTest, KeysTurnPages) {
  BookViewer viewer(U16(dir / "book.wol"));
  viewer.show();
  QApplication::setActiveWindow(&viewer);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&viewer));
  const int last = static_cast<int>(viewer.Pages()->Count()) - 1;
  const struct {
    QWidget* focus;
    Qt::Key key;
    int page;
  } steps[] = {
      {&viewer, Qt::Key_Right, 0},
      {&viewer, Qt::Key_Right, 1},
      {&viewer, Qt::Key_Left, 0},
      {&viewer, Qt::Key_End, last},
      {&viewer, Qt::Key_Right, last},
      {&viewer, Qt::Key_Home, -1},
      {&viewer, Qt::Key_Left, -1},
      {viewer.contentsTree, Qt::Key_PageDown, 0},
      {viewer.contentsTree, Qt::Key_PageDown, 1},
      {viewer.layoutCombo, Qt::Key_PageUp, 0},
  };
  for (const auto& step : steps) {
    step.focus->setFocus();
    QTest::keyClick(step.focus == &viewer ? QApplication::focusWidget() : step.focus, step.key);
    EXPECT_EQ(viewer.CurrentPage(), step.page) << QTest::toString(step.key);
  }
}

// An entry of the table of contents leads to the page on which it begins, in the layout chosen: a
// chapter to the page its heading opens, the picture to its page.
TEST_F(BookViewerTest, ContentsLeadToTheirPages) {
  BookViewer viewer(U16(dir / "book.wol"));
  ASSERT_TRUE(viewer.Readable());
  int chapters = 0, pictures = 0;
  for (int layout = 0; layout < 4; ++layout) {
    viewer.layoutCombo->setCurrentIndex(layout);
    for (QTreeWidgetItemIterator it(viewer.contentsTree); *it; ++it) {
      viewer.ShowPage(-1);
      emit viewer.contentsTree->itemActivated(*it, 0);
      const QString title = (*it)->text(0);
      ASSERT_GE(viewer.CurrentPage(), 0) << title.toStdString();
      const auto page = static_cast<size_t>(viewer.CurrentPage());
      if (title.startsWith(QStringLiteral("CHAPTER"))) {
        const std::vector<PageLine> lines = viewer.Pages()->Lines(page);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(QString::fromStdU16String(Win1251ToWide(lines.front().text)), title) << layout;
        ++chapters;
      } else if (title == QStringLiteral("picture")) {
        EXPECT_NE(viewer.Pages()->Page(page).picture, nullptr) << layout;
        ++pictures;
      }
    }
  }
  EXPECT_EQ(chapters, 4 * 3);
  EXPECT_EQ(pictures, 4);
  // Changing the layout keeps the place: the new page shows where the old one began.
  viewer.layoutCombo->setCurrentIndex(0);
  viewer.ShowPage(7);
  const uint32_t shown = viewer.Pages()->Page(7).position;
  viewer.layoutCombo->setCurrentIndex(3);
  const PageStart& now = viewer.Pages()->Page(static_cast<size_t>(viewer.CurrentPage()));
  EXPECT_LE(now.position, shown);
  EXPECT_GT(viewer.Pages()->Page(static_cast<size_t>(viewer.CurrentPage()) + 1).position, shown);
}

// The description and what the check found stand beside the pages.
TEST_F(BookViewerTest, ShowsTheDescriptionAndTheFindings) {
  BookViewer viewer(U16(dir / "book.wol"));
  EXPECT_TRUE(viewer.descriptionView->toPlainText().contains(QStringLiteral("Viewed book")));
  EXPECT_TRUE(viewer.descriptionView->toPlainText().contains(QStringLiteral("Test Author")));
  EXPECT_TRUE(viewer.findingsView->toPlainText().contains(QStringLiteral("The book is sound")));
}

// A damaged book, or a file that is no book, shows the reader's error instead of pages.
TEST_F(BookViewerTest, ADamagedBookShowsTheReadersError) {
  const std::string damaged[] = {bytes.substr(0, bytes.size() / 2), bytes.substr(0, 100),
                                 "WolfEbook1.11 and nothing else"};
  for (const std::string& book : damaged) {
    test::WriteBytes(dir / "damaged.wol", book);
    std::string error;
    try {
      BookReader reader(book);
    } catch (const BookFormatError& e) {
      error = e.what();
    }
    ASSERT_FALSE(error.empty());
    BookViewer viewer(U16(dir / "damaged.wol"));
    EXPECT_FALSE(viewer.Readable());
    EXPECT_EQ(viewer.Problem().toStdString(), error);
    EXPECT_TRUE(viewer.findingsView->toPlainText().contains(QString::fromStdString(error)));
    EXPECT_FALSE(viewer.nextButton->isEnabled());
    EXPECT_EQ(viewer.pageNumberLabel->text(), QStringLiteral("Nothing to show"));
    QTest::keyClick(&viewer, Qt::Key_End);
    viewer.ShowPage(3);
    EXPECT_TRUE(viewer.ShownImage().isNull());
  }
  BookViewer missing(U16(dir / "missing.wol"));
  EXPECT_FALSE(missing.Readable());
  EXPECT_TRUE(missing.Problem().contains(QStringLiteral("missing.wol")));
}

// File > Open opens a book in a viewer beside the project, which stays; a file that is neither a book
// nor a project is refused with a message that says so.
TEST_F(BookViewerTest, FileOpenShowsABookBesideTheProject) {
  test::TestUserDialogs messages;
  MainWindow window(TestRuntime(), messages, U16(dir / "bookloom"));
  window.AddInputs({test::WriteTextFile(dir / "kept.txt", "kept")});
  std::filesystem::copy_file(dir / "book.wol", dir / "book-without-extension");
  for (const char* name : {"book.wol", "book-without-extension"}) {
    messages.projectToOpen = U16(dir / name);
    window.openProjectAction->trigger();
    EXPECT_TRUE(messages.errors.empty());
    const auto viewers = window.findChildren<BookViewer*>();
    ASSERT_EQ(viewers.size(), 1) << name;
    EXPECT_TRUE(viewers[0]->isVisible());
    EXPECT_TRUE(viewers[0]->Readable());
    viewers[0]->close();
    delete viewers[0];  // closing deletes it later, in the event loop
    EXPECT_EQ(window.fileList.Count(), 1);
  }
  EXPECT_NE(messages.projectFilter.find(u"*.wol"), std::u16string::npos);

  messages.projectToOpen = test::WriteTextFile(dir / "notes.txt", "Just some notes.");
  window.openProjectAction->trigger();
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_NE(messages.errors[0].find(u"neither a Bookloom project nor a Wolf book"), std::u16string::npos);
  EXPECT_EQ(window.fileList.Count(), 1);
}

}  // namespace
}  // namespace bookloom
