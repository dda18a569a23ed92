// The table of contents dialog in the window: entries edited in place, moved a level, left out and
// chapters detected reach the book, survive a project's save and load and the command line's build
// of that project; Cancel leaves the book as it was.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <cstdlib>

#include "UiTestSupport.h"
#include "platform/Utf.h"
#include "support/ContentsLines.h"
#include "support/TestRuntime.h"
#include "text/Win1251.h"
#include "ui/ContentsDialog.h"
#include "ui/MainWindow.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

using test::U16;
using Lines = std::vector<std::string>;

const char kStory[] = "Title page\n\nPART ONE\n\nI\n\nText.\n\nII\n\nMore.\n\nPART TWO\n\nI\n\nEnd.\n";
const char kFb2[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
    "<FictionBook xmlns=\"http://www.gribuser.ru/xml/fictionbook/2.0\">"
    "<description><title-info><book-title>Книга</book-title></title-info></description>"
    "<body><section><title><p>Часть</p></title><section><title><p>Глава</p></title><p>Текст.</p>"
    "</section></section></body></FictionBook>\n";

Lines BookEntries(const std::filesystem::path& book) {
  return test::ContentsLines(BookReader(test::ReadBytes(book)));
}

// The rows below the files, "2 Title", "-" before one left out, in the tree's order.
Lines TreeLines(const ContentsDialog& dialog) {
  Lines lines;
  for (QTreeWidgetItemIterator it(dialog.tree); *it; ++it) {
    if (!(*it)->parent()) continue;
    lines.push_back(((*it)->checkState(0) == Qt::Unchecked ? "-" : "") + (*it)->text(1).toStdString() + " " +
                    (*it)->text(0).toStdString());
  }
  return lines;
}

class ContentsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = std::make_unique<MainWindow>(TestRuntime(), messages, U16(dir / "bookloom"));
    window->AddInputs(
        {test::WriteTextFile(dir / "story.txt", kStory), test::WriteTextFile(dir / "book.fb2", kFb2)});
    window->UpdateActions();
  }

  // Runs the dialog from the window's action; `act` works inside it and closes it.
  void Run(std::function<void(ContentsDialog&)> act) {
    test::WhenModal([&](QWidget& widget) {
      auto* dialog = qobject_cast<ContentsDialog*>(&widget);
      ASSERT_NE(dialog, nullptr);
      act(*dialog);
    });
    ASSERT_TRUE(window->tocAction->isEnabled());
    window->tocAction->trigger();
  }

  Lines MakeBook(const std::string& name) {
    messages.saveAs = U16(dir / name);
    window->UpdateActions();
    window->makeWolfAction->trigger();
    return BookEntries(dir / name);
  }

  test::ScratchDir dir;
  test::TestUserDialogs messages;
  std::unique_ptr<MainWindow> window;
};

TEST_F(ContentsDialogTest, EditsReachTheBookAndTheProject) {
  const Lines edited = {"1 story", "2 Часть первая", "3 I", "3 II", "2 I", "1 Часть", "1 Глава"};
  Run([&](ContentsDialog& dialog) {
    EXPECT_EQ(TreeLines(dialog), (Lines{"1 story", "1 Часть", "2 Глава"}));
    EXPECT_TRUE(dialog.detectChaptersButton->isEnabled());
    dialog.detectChaptersButton->click();
    EXPECT_EQ(TreeLines(dialog),
              (Lines{"1 story", "2 PART ONE", "3 I", "3 II", "2 PART TWO", "3 I", "1 Часть", "2 Глава"}));
    dialog.EntryRow(0, 1)->setText(0, QStringLiteral("Часть первая"));  // as editing in place does
    QApplication::processEvents();
    dialog.EntryRow(0, 4)->setCheckState(0, Qt::Unchecked);
    QApplication::processEvents();
    dialog.tree->setCurrentItem(dialog.EntryRow(1, 1));
    EXPECT_FALSE(dialog.levelDownButton->isEnabled());  // it would stand two levels below "Часть"
    ASSERT_TRUE(dialog.levelUpButton->isEnabled());
    dialog.levelUpButton->click();
    EXPECT_FALSE(dialog.levelUpButton->isEnabled());
    EXPECT_EQ(TreeLines(dialog), (Lines{"1 story", "2 Часть первая", "3 I", "3 II", "-2 PART TWO", "2 I",
                                        "1 Часть", "1 Глава"}));
    dialog.okButton->click();
  });
  EXPECT_TRUE(window->Modified());
  EXPECT_TRUE(window->fileList.Items(0).Settings().text.chapters);
  EXPECT_EQ(MakeBook("window.wol"), edited);

  // Saved in a project, the edits come back with it and make the same book; so does the command line.
  messages.saveAs = U16(dir / "book.bookloom");
  window->saveProjectAsAction->trigger();
  const std::string command = test::Quoted(BOOKLOOM_CLI) + " make -q -o " + test::Quoted(dir / "cli.wol") +
                              " --project " + test::Quoted(dir / "book.bookloom");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(test::ReadBytes(dir / "cli.wol"), test::ReadBytes(dir / "window.wol"));
  window->NewBook();
  window->OpenProject(U16(dir / "book.bookloom"));
  EXPECT_EQ(MakeBook("reopened.wol"), edited);
  EXPECT_EQ(test::ReadBytes(dir / "reopened.wol"), test::ReadBytes(dir / "window.wol"));

  // The edits stay with their file when the list is reordered.
  window->fileList.Exchange(0, 1);
  EXPECT_EQ(MakeBook("swapped.wol"),
            (Lines{"1 Часть", "1 Глава", "1 story", "2 Часть первая", "3 I", "3 II", "2 I"}));
}

TEST_F(ContentsDialogTest, CancelLeavesTheBookAsItWas) {
  const Lines before = MakeBook("before.wol");
  window->SaveProject(U16(dir / "book.bookloom"));
  Run([&](ContentsDialog& dialog) {
    dialog.detectChaptersButton->click();
    dialog.tree->setCurrentItem(dialog.EntryRow(1, 0));
    dialog.leaveOutButton->click();
    EXPECT_EQ(dialog.leaveOutButton->text(), QStringLiteral("Put back"));
    EXPECT_EQ(dialog.EntryRow(1, 0)->checkState(0), Qt::Unchecked);
    EXPECT_TRUE(dialog.EntryRow(1, 0)->font(0).strikeOut());
    dialog.cancelButton->click();
  });
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(window->fileList.Items(0).Settings().text.chapters);
  EXPECT_FALSE(window->fileList.Items(0).HasOwnSettings());
  EXPECT_TRUE(window->fileList.Items(1).Edits().empty());
  EXPECT_EQ(MakeBook("after.wol"), before);
  EXPECT_EQ(test::ReadBytes(dir / "after.wol"), test::ReadBytes(dir / "before.wol"));
}

// With BOOKLOOM_SHOTS naming a folder, pictures of the dialog on a long novel and an FB2 book are
// saved there (toc-*.png), to be looked at; without it the test does nothing.
TEST_F(ContentsDialogTest, Screenshots) {
  const char* folder = std::getenv("BOOKLOOM_SHOTS");
  if (!folder || !test::HaveTestData()) GTEST_SKIP() << "BOOKLOOM_SHOTS names no folder";
  window->NewBook();
  window->AddInputs(
      {U16(test::TestDataPath("texts/ru/crime_and_punishment.utf8.txt")), U16(dir / "book.fb2")});
  window->UpdateActions();
  const auto shoot = [&](QWidget& dialog, const char* name) {
    dialog.grab().save(QString::fromUtf8(folder) + QStringLiteral("/toc-%1.png").arg(QLatin1String(name)));
  };
  Run([&](ContentsDialog& dialog) {
    dialog.show();
    QApplication::processEvents();
    shoot(dialog, "before");
    dialog.detectChaptersButton->click();
    dialog.EntryRow(0, 1)->setText(0, QStringLiteral("Часть первая (рассказ)"));
    QApplication::processEvents();
    dialog.EntryRow(0, 3)->setCheckState(0, Qt::Unchecked);
    QApplication::processEvents();
    dialog.tree->setCurrentItem(dialog.EntryRow(1, 1));
    dialog.levelUpButton->click();
    dialog.tree->setCurrentItem(dialog.EntryRow(0, 3));
    dialog.tree->scrollToTop();
    QApplication::processEvents();
    shoot(dialog, "edited");
    dialog.tree->scrollToBottom();
    QApplication::processEvents();
    shoot(dialog, "fb2");
    dialog.cancelButton->click();
  });
}

}  // namespace
}  // namespace bookloom
