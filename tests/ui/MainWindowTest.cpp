#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <fstream>
#include <map>
#include <sstream>

#include "UiTestSupport.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "project/cBlmFileItemRegister.h"
#include "project/uGlobals.h"
#include "text/uUniWin1251.h"
#include "ui/fEditBookCoverPage.h"
#include "ui/fEditBookDescription.h"
#include "ui/fMain.h"
#include "ui/fmEditBookCoverPage.h"
#include "wolf/WolfReader.h"

namespace bookloom {
namespace {

using test::U16;

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }

  void Open() { window = std::make_unique<TfrmMain>(messages, U16(dir / "bookloom")); }

  std::u16string TextFile(const std::string& name) {
    return test::WriteTextFile(dir / name, "text of " + name);
  }

  // Adds text files named by the letters, one row each.
  void AddFiles(const std::string& letters) {
    std::vector<std::u16string> files;
    for (char c : letters) files.push_back(TextFile(std::string(1, c) + ".txt"));
    window->AddFiles(files);
  }

  void Select(const std::vector<int>& rows) {
    QItemSelectionModel* selection = window->lvwFileList->selectionModel();
    selection->clearSelection();
    for (int row : rows)
      selection->select(window->lvwFileList->model()->index(row, 0),
                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    window->UpdateActions();  // as the program does when it next becomes idle
  }

  // Runs the event loop until it has waited for `ms` milliseconds.
  static void Idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
  }

  // The short names of the list, in order, as one text.
  std::string Files() const {
    std::string names;
    for (int i = 0; i < window->FileList.Count(); ++i)
      names += Utf16ToUtf8(window->FileList.Items(i).ShortName()).substr(0, 1);
    return names;
  }

  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : window->lvwFileList->selectionModel()->selectedRows())
      rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  std::string ReadSettingsText() const {
    std::ifstream in(dir / "bookloom.ini", std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  test::ScratchDir dir;
  test::TTestMessages messages;
  std::unique_ptr<TfrmMain> window;
};

TEST_F(MainWindow, EnablesTheActionsByTheListAndItsSelection) {
  const struct {
    const char* files;
    std::vector<int> selected;
    bool remove, up, down, make;
  } cases[] = {
      {"", {}, false, false, false, false},
      {"a", {}, false, false, false, true},
      {"a", {0}, true, false, false, true},
      {"ab", {0}, true, false, true, true},      // the first row cannot move up
      {"ab", {1}, true, true, false, true},      // the last row cannot move down
      {"ab", {0, 1}, true, false, false, true},  // two rows move neither way
      {"abc", {1}, true, true, true, true},
  };
  for (const auto& c : cases) {
    window->NewBook();
    AddFiles(c.files);
    Select(c.selected);
    window->UpdateActions();
    const std::string what = std::string(c.files) + " selected " + std::to_string(c.selected.size());
    EXPECT_EQ(window->actRemoveFile->isEnabled(), c.remove) << what;
    EXPECT_EQ(window->actMoveFileUp->isEnabled(), c.up) << what;
    EXPECT_EQ(window->actMoveFileDown->isEnabled(), c.down) << what;
    EXPECT_EQ(window->actMakeWolf->isEnabled(), c.make) << what;
    for (QAction* always : {window->actAddFile, window->actClearAll, window->actEditDescription,
                            window->actEditCoverPage, window->actHelpAbout})
      EXPECT_TRUE(always->isEnabled()) << always->text().toStdString();
    for (QAction* never : {window->actFileSettings, window->actExit, window->actEditTOC})
      EXPECT_FALSE(never->isEnabled()) << never->text().toStdString();
  }
}

TEST_F(MainWindow, ReevaluatesTheRulesWhenTheProgramBecomesIdle) {
  AddFiles("ab");
  QItemSelectionModel* selection = window->lvwFileList->selectionModel();
  const QAbstractItemModel* model = window->lvwFileList->model();
  selection->select(model->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_FALSE(window->actMoveFileUp->isEnabled());
  Idle(20);
  EXPECT_TRUE(window->actMoveFileUp->isEnabled());
  selection->select(model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  Idle(20);
  EXPECT_FALSE(window->actMoveFileUp->isEnabled());
  EXPECT_TRUE(window->actMoveFileDown->isEnabled());
}

TEST_F(MainWindow, ActionsCarryTheirCaptionsHintsAndShortcuts) {
  const struct {
    QAction* action;
    const char *caption, *hint, *shortcut;
    bool icon;
  } cases[] = {
      {window->actAddFile, "Add File", "Add file(s) to list", "Ctrl+Ins", true},
      {window->actRemoveFile, "Remove File", "Remove file(s) from list", "Ctrl+Del", true},
      {window->actMoveFileUp, "Move File Up", "Move file up", "Ctrl+Up", true},
      {window->actMoveFileDown, "Move File Down", "Move file down", "Ctrl+Down", true},
      {window->actFileSettings, "File Settings", "Set individual settings for file", "", true},
      {window->actClearAll, "Clear All", "", "", false},
      {window->actExit, "Exit", "", "", true},
      {window->actEditTOC, "Table of contents", "", "", true},
      {window->actEditDescription, "Description", "", "", true},
      {window->actEditCoverPage, "Cover Page", "", "", true},
      {window->actMakeWolf, "Make Wolf", "", "", true},
      {window->actHelpAbout, "About", "", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.action->text().toStdString(), c.caption);
    EXPECT_EQ(c.action->statusTip().toStdString(), c.hint) << c.caption;
    EXPECT_EQ(c.action->shortcut().toString(QKeySequence::NativeText).toStdString(), c.shortcut) << c.caption;
    EXPECT_EQ(!c.action->icon().isNull(), c.icon) << c.caption;
    if (!c.icon) continue;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Active, QIcon::Disabled})
      EXPECT_FALSE(c.action->icon().pixmap(16, 16, mode).isNull()) << c.caption << " mode " << mode;
  }
}

TEST_F(MainWindow, PanelButtonsCarryTheWolfActions) {
  EXPECT_EQ(window->windowTitle(), "Bookloom");
  EXPECT_EQ(window->minimumSize(), QSize(500, 300));
  EXPECT_EQ(window->font().pixelSize(), 11);
  std::map<QAction*, QRect> buttons;
  for (QToolButton* button : window->findChildren<QToolButton*>()) {
    if (button->size() != QSize(169, 45)) continue;
    buttons[button->defaultAction()] = button->geometry();
    EXPECT_EQ(button->parentWidget()->width(), 188);
  }
  EXPECT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[window->actEditTOC], QRect(8, 8, 169, 45));
  EXPECT_EQ(buttons[window->actEditDescription], QRect(8, 56, 169, 45));
  EXPECT_EQ(buttons[window->actEditCoverPage], QRect(8, 104, 169, 45));
  EXPECT_EQ(buttons[window->actMakeWolf], QRect(8, 152, 169, 45));
}

TEST_F(MainWindow, ListShowsNameSizeAndFolderOfEveryFile) {
  AddFiles("ab");
  const QAbstractItemModel* model = window->lvwFileList->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "File Name");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Path");
  EXPECT_EQ(model->index(1, 0).data().toString(), "b.txt");
  EXPECT_EQ(model->index(1, 1).data().toString(), "13 B");
  EXPECT_EQ(model->index(1, 2).data().toString().toStdString(), dir.Path().string() + "/");
  EXPECT_EQ(model->index(1, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
  EXPECT_EQ(window->lvwFileList->header()->sectionSize(0), 150);
  EXPECT_EQ(window->lvwFileList->header()->sectionSize(1), 100);
  EXPECT_EQ(window->lvwFileList->header()->sectionSize(2), 200);
}

TEST_F(MainWindow, AddFileSkipsWhatItCannotAddAndAddsTheSameFileTwice) {
  std::filesystem::create_directory(dir / "folder.txt");
  const std::u16string text = TextFile("a.txt");
  messages.filesToOpen = {U16(dir / "missing.txt"), U16(dir / "folder.txt"),
                          test::WriteTextFile(dir / "notes.unknown", "x"), text, text};
  window->actAddFile->trigger();
  EXPECT_EQ(messages.openFilter, FileItemFormats().BuildFilter(1, GroupByClass | AllSupported, nullptr));
  EXPECT_EQ(Files(), "aa");
  EXPECT_EQ(window->lvwFileList->model()->rowCount(), 2);
  EXPECT_TRUE(messages.errors.empty());

  messages.filesToOpen.clear();  // a cancelled dialog adds nothing
  window->actAddFile->trigger();
  EXPECT_EQ(Files(), "aa");
}

TEST_F(MainWindow, AddsDroppedFilesAsAddFileDoes) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdU16String(TextFile("a.txt"))),
                QUrl::fromLocalFile(QString::fromStdU16String(test::WriteTextFile(dir / "b.unknown", "x"))),
                QUrl(QStringLiteral("https://example.org/c.txt")),
                QUrl::fromLocalFile(QString::fromStdU16String(TextFile("d.txt")))});
  QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Files(), "ad");
  EXPECT_EQ(window->lvwFileList->model()->rowCount(), 2);

  QMimeData text;
  text.setText(QStringLiteral("not a file"));
  QDragEnterEvent refused(QPoint(20, 60), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(window.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(MainWindow, AddingStopsAtTheFirstFileThatFailsItsCheck) {
  messages.filesToOpen = {TextFile("a.txt"), test::WriteTextFile(dir / "b.bmp", "BM no picture"),
                          TextFile("c.txt")};
  window->actAddFile->trigger();
  EXPECT_EQ(Files(), "a");
  EXPECT_EQ(window->lvwFileList->model()->rowCount(), 1);
  ASSERT_EQ(messages.errors.size(), 1u);
  const std::string error = Utf16ToUtf8(messages.errors[0]);
  EXPECT_NE(error.find((dir / "b.bmp").string()), std::string::npos) << error;
  EXPECT_TRUE(error.ends_with(".")) << error;
}

TEST_F(MainWindow, MakesAWholeBookThroughItsActions) {
  test::WriteTextFile(dir / "Глава.txt", "\xEF\xBB\xBFПервая строка\r\nВторая строка\r\n");
  messages.filesToOpen = {U16(dir / "Глава.txt"), test::WritePicture(dir / "picture.bmp")};
  window->actAddFile->trigger();

  TfrmEditBookDescription& description = *window->frmEditBookDescription;
  test::WhenModal([&](QWidget&) {
    description.edtTitle->setText(QStringLiteral("Война и мир"));
    description.edtISBN->setText(QStringLiteral("978-5-00-000000-0"));
    description.btnOK->click();
  });
  window->actEditDescription->trigger();

  TfrmEditBookCoverPage& cover = *window->frmEditBookCoverPage;
  messages.picture = test::WritePicture(dir / "cover.bmp");
  test::WhenModal([&](QWidget&) {
    cover.fraCoverPage->btnLoadPicture->click();
    cover.fraCoverPage->cmbCoverPage->setCurrentIndex(1);
    cover.btnOK->click();
  });
  window->actEditCoverPage->trigger();

  messages.saveAs = U16(dir / "book.wol");
  window->UpdateActions();
  window->actMakeWolf->trigger();
  ASSERT_TRUE(messages.errors.empty()) << Utf16ToUtf8(messages.errors[0]);
  EXPECT_EQ(messages.saveTitle, u"Choose target name");
  EXPECT_EQ(messages.saveFilter, u"Wolf Files|*.wol|All Files|*.*");
  EXPECT_EQ(messages.saveExt, u"wol");

  const WolfReader reader(ReadFileBytes(messages.saveAs));
  const WolfBook& book = reader.Book();
  EXPECT_EQ(book.description[0], WideToWin1251(u"Война и мир"));
  EXPECT_EQ(book.description[2], "(no author)");
  EXPECT_EQ(book.description[12], "978-5-00-000000-0");
  ASSERT_TRUE(book.cover.has_value());
  EXPECT_EQ(book.cover->bitCount, 1);
  ASSERT_EQ(book.toc.size(), 2u);
  EXPECT_EQ(book.toc[0].title, WideToWin1251(u"Глава"));
  EXPECT_EQ(book.toc[1].title, "picture");
  ASSERT_EQ(book.sections.size(), 2u);
  EXPECT_EQ(book.sections[0].paragraphs,
            (std::vector<std::string>{WideToWin1251(u"Первая строка"), WideToWin1251(u"Вторая строка")}));
  EXPECT_EQ(book.sections[1].images.size(), 1u);
}

TEST_F(MainWindow, FailedBuildIsReportedAndLeavesNoFile) {
  AddFiles("a");
  messages.saveAs = U16(dir / "missing" / "book.wol");
  window->UpdateActions();
  window->actMakeWolf->trigger();
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_TRUE(messages.errors[0].starts_with(u"Cannot create file")) << Utf16ToUtf8(messages.errors[0]);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

  messages.saveAs.clear();  // a cancelled save dialog builds nothing
  window->actMakeWolf->trigger();
  EXPECT_EQ(messages.errors.size(), 1u);
}

TEST_F(MainWindow, RemovesOneFileWithoutAQuestionAndSeveralAfterOne) {
  AddFiles("abcde");
  Select({1});
  window->actRemoveFile->trigger();
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(Files(), "acde");

  Select({0, 2, 3});
  messages.confirm = false;
  window->actRemoveFile->trigger();
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_EQ(messages.questions[0], u"Remove selected 3 files from list?");
  EXPECT_EQ(Files(), "acde");  // Cancel removes nothing

  messages.confirm = true;
  window->actRemoveFile->trigger();
  EXPECT_EQ(Files(), "c");
  EXPECT_EQ(window->lvwFileList->model()->rowCount(), 1);
  EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(MainWindow, MovedFileKeepsTheSelection) {
  AddFiles("abc");
  Select({1});
  window->actMoveFileUp->trigger();
  EXPECT_EQ(Files(), "bac");
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(window->lvwFileList->currentIndex().row(), 0);

  window->UpdateActions();
  window->actMoveFileDown->trigger();
  window->UpdateActions();
  window->actMoveFileDown->trigger();
  EXPECT_EQ(Files(), "acb");
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(window->lvwFileList->currentIndex().row(), 2);
  window->UpdateActions();
  EXPECT_FALSE(window->actMoveFileDown->isEnabled());
}

TEST_F(MainWindow, ShortcutsWorkWhileTheFocusIsInTheList) {
  AddFiles("abc");
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->lvwFileList->setFocus();
  Select({1});
  QTest::keyClick(window->lvwFileList, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Files(), "bac");
  window->UpdateActions();
  QTest::keyClick(window->lvwFileList, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Files(), "abc");
  window->UpdateActions();
  QTest::keyClick(window->lvwFileList, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Files(), "ac");
}

TEST_F(MainWindow, ClearAllAsksThenStartsANewBookWithTheCoverFromTheSettings) {
  std::ofstream(dir / "bookloom.ini")
      << "[Cover]\nCoverFileName=/covers/c.bmp\nCoverColors=2\nEnlargeCover=0\n"
         "CoverLeft=1\nCoverRight=2\nCoverTop=3\nCoverBottom=4\n";
  Open();
  AddFiles("ab");
  window->Description.Title = u"Title";
  window->CoverPage.FileName = u"/other.bmp";
  window->CoverPage.MarginTop = 50;

  messages.confirm = false;
  window->actClearAll->trigger();
  EXPECT_EQ(Files(), "ab");
  EXPECT_EQ(window->Description.Title, u"Title");

  messages.confirm = true;
  window->actClearAll->trigger();
  ASSERT_EQ(messages.questions.size(), 2u);
  EXPECT_EQ(messages.questions[1], u"Clear all sets and start new Wolf?");
  EXPECT_EQ(Files(), "");
  EXPECT_EQ(window->lvwFileList->model()->rowCount(), 0);
  EXPECT_EQ(window->Description.Title, u"");
  const TBookCoverPage& cover = window->CoverPage;
  EXPECT_EQ(cover.FileName, u"/covers/c.bmp");
  EXPECT_EQ(static_cast<int>(cover.CoverMode), 2);
  EXPECT_FALSE(cover.Enlarge);
  EXPECT_EQ(cover.MarginLeft, 1);
  EXPECT_EQ(cover.MarginRight, 2);
  EXPECT_EQ(cover.MarginTop, 3);
  EXPECT_EQ(cover.MarginBottom, 4);

  window->actClearAll->trigger();  // an empty project is asked about too
  EXPECT_EQ(messages.questions.size(), 3u);
}

TEST_F(MainWindow, FirstRunWritesBothSectionsWithAllKeysAtClosing) {
  window->show();
  EXPECT_TRUE(window->close());
  const std::string text = ReadSettingsText();
  EXPECT_EQ(text.substr(0, text.find("FormXPos=")), "[Bookloom]\n");
  const size_t cover = text.find("[Cover]\n");
  ASSERT_NE(cover, std::string::npos);
  EXPECT_EQ(text.substr(cover),
            "[Cover]\nCoverFileName=\nCoverColors=0\nEnlargeCover=1\nCoverLeft=0\nCoverRight=0\n"
            "CoverTop=0\nCoverBottom=0\n");
  for (const char* key : {"FormXPos=", "FormYPos=", "FormXLen=", "FormYLen="})
    EXPECT_LT(text.find(key), cover) << key;
  TSettings s;
  LoadSettings(s, U16(dir / "bookloom.ini"));
  EXPECT_EQ(s.FormXLen, window->width());
  EXPECT_EQ(s.FormYLen, window->height());
}

TEST_F(MainWindow, PlacesItselfAsTheSettingsSay) {
  EXPECT_EQ(window->pos(), QPoint(160, 181));
  EXPECT_EQ(window->size(), QSize(697, 426));
  std::ofstream(dir / "bookloom.ini") << "[Bookloom]\nFormXPos=0x20\nFormYPos=-5\nFormXLen=0\nFormYLen=500\n";
  Open();
  EXPECT_EQ(window->pos(), QPoint(32, 181));
  EXPECT_EQ(window->size(), QSize(697, 500));
}

TEST_F(MainWindow, ClosesEvenWhenTheSettingsCannotBeWritten) {
  window = std::make_unique<TfrmMain>(messages, U16(dir / "gone" / "bookloom"));
  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], U16("Unable to write to " + (dir / "gone" / "bookloom.ini").string() + "."));
}

}  // namespace
}  // namespace bookloom
