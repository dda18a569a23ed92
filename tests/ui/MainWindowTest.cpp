#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QImage>
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
#include "book/FileTypes.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "ui/BuildDialog.h"
#include "ui/CoverPageDialog.h"
#include "ui/CoverPagePanel.h"
#include "ui/DescriptionDialog.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPane.h"
#include "ui/Settings.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

using test::U16;

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(); }

  void Open() { window = std::make_unique<MainWindow>(messages, U16(dir / "bookloom")); }

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
    QItemSelectionModel* selection = window->fileListView->selectionModel();
    selection->clearSelection();
    for (int row : rows)
      selection->select(window->fileListView->model()->index(row, 0),
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
    for (int i = 0; i < window->fileList.Count(); ++i)
      names += Utf16ToUtf8(window->fileList.Items(i).ShortName()).substr(0, 1);
    return names;
  }

  std::vector<int> SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : window->fileListView->selectionModel()->selectedRows())
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
  test::TestUserDialogs messages;
  std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowTest, EnablesTheActionsByTheListAndItsSelection) {
  const struct {
    const char* files;
    std::vector<int> selected;
    bool remove, up, down, make, settings;
  } cases[] = {
      {"", {}, false, false, false, false, false},
      {"a", {}, false, false, false, true, false},
      {"a", {0}, true, false, false, true, true},
      {"ab", {0}, true, false, true, true, true},       // the first row cannot move up
      {"ab", {1}, true, true, false, true, true},       // the last row cannot move down
      {"ab", {0, 1}, true, false, false, true, false},  // two rows move neither way, have no one's settings
      {"abc", {1}, true, true, true, true, true},
  };
  for (const auto& c : cases) {
    window->NewBook();
    AddFiles(c.files);
    Select(c.selected);
    window->UpdateActions();
    const std::string what = std::string(c.files) + " selected " + std::to_string(c.selected.size());
    EXPECT_EQ(window->removeFileAction->isEnabled(), c.remove) << what;
    EXPECT_EQ(window->moveFileUpAction->isEnabled(), c.up) << what;
    EXPECT_EQ(window->moveFileDownAction->isEnabled(), c.down) << what;
    EXPECT_EQ(window->makeWolfAction->isEnabled(), c.make) << what;
    EXPECT_EQ(window->tocAction->isEnabled(), c.make) << what;  // whenever the list is not empty
    EXPECT_EQ(window->fileSettingsAction->isEnabled(), c.settings) << what;
    for (QAction* always : {window->addFileAction, window->clearAllAction, window->descriptionAction,
                            window->coverPageAction, window->bookSettingsAction, window->aboutAction})
      EXPECT_TRUE(always->isEnabled()) << always->text().toStdString();
    for (QAction* never : {window->exitAction})
      EXPECT_FALSE(never->isEnabled()) << never->text().toStdString();
  }
}

TEST_F(MainWindowTest, ReevaluatesTheRulesWhenTheProgramBecomesIdle) {
  AddFiles("ab");
  QItemSelectionModel* selection = window->fileListView->selectionModel();
  const QAbstractItemModel* model = window->fileListView->model();
  selection->select(model->index(1, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  EXPECT_FALSE(window->moveFileUpAction->isEnabled());
  Idle(20);
  EXPECT_TRUE(window->moveFileUpAction->isEnabled());
  selection->select(model->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  Idle(20);
  EXPECT_FALSE(window->moveFileUpAction->isEnabled());
  EXPECT_TRUE(window->moveFileDownAction->isEnabled());
}

TEST_F(MainWindowTest, ActionsCarryTheirCaptionsHintsAndShortcuts) {
  const struct {
    QAction* action;
    const char *caption, *hint, *shortcut;
    bool icon;
  } cases[] = {
      {window->addFileAction, "Add File", "Add file(s) to list", "Ctrl+Ins", true},
      {window->removeFileAction, "Remove File", "Remove file(s) from list", "Ctrl+Del", true},
      {window->moveFileUpAction, "Move File Up", "Move file up", "Ctrl+Up", true},
      {window->moveFileDownAction, "Move File Down", "Move file down", "Ctrl+Down", true},
      {window->fileSettingsAction, "File Settings", "Set individual settings for file", "", true},
      {window->bookSettingsAction, "Book Settings...", "Settings of every file without its own", "", true},
      {window->clearAllAction, "Clear All", "", "", false},
      {window->exitAction, "Exit", "", "", true},
      {window->tocAction, "Table of contents", "", "", true},
      {window->descriptionAction, "Description", "", "", true},
      {window->coverPageAction, "Cover Page", "", "", true},
      {window->makeWolfAction, "Make Wolf", "", "", true},
      {window->aboutAction, "About", "", "", true},
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

TEST_F(MainWindowTest, PanelButtonsCarryTheWolfActions) {
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
  EXPECT_EQ(buttons[window->tocAction], QRect(8, 8, 169, 45));
  EXPECT_EQ(buttons[window->descriptionAction], QRect(8, 56, 169, 45));
  EXPECT_EQ(buttons[window->coverPageAction], QRect(8, 104, 169, 45));
  EXPECT_EQ(buttons[window->makeWolfAction], QRect(8, 152, 169, 45));
}

TEST_F(MainWindowTest, ListShowsNameSizeAndFolderOfEveryFile) {
  AddFiles("ab");
  const QAbstractItemModel* model = window->fileListView->model();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "File Name");
  EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Size");
  EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Path");
  EXPECT_EQ(model->index(1, 0).data().toString(), "b.txt");
  EXPECT_EQ(model->index(1, 1).data().toString(), "13 B");
  EXPECT_EQ(model->index(1, 2).data().toString().toStdString(), dir.Path().string() + "/");
  EXPECT_EQ(model->index(1, 1).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
  EXPECT_EQ(window->fileListView->header()->sectionSize(0), 150);
  EXPECT_EQ(window->fileListView->header()->sectionSize(1), 100);
  EXPECT_EQ(window->fileListView->header()->sectionSize(2), 200);
}

TEST_F(MainWindowTest, AddFileSkipsWhatItCannotAddAndAddsTheSameFileTwice) {
  const std::u16string text = TextFile("a.txt");
  messages.filesToOpen = {U16(dir / "missing.txt"), test::WriteTextFile(dir / "notes.unknown", "\x01\x02"),
                          text, text};
  window->addFileAction->trigger();
  EXPECT_EQ(messages.openFilter, FileTypes().BuildFilter(1, kGroupByClass | kAllSupported, nullptr));
  EXPECT_EQ(Files(), "aa");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 2);
  EXPECT_TRUE(messages.errors.empty());

  messages.filesToOpen.clear();  // a cancelled dialog adds nothing
  window->addFileAction->trigger();
  EXPECT_EQ(Files(), "aa");
}

TEST_F(MainWindowTest, AddsDroppedFilesAsAddFileDoes) {
  QMimeData data;
  data.setUrls(
      {QUrl::fromLocalFile(QString::fromStdU16String(TextFile("a.txt"))),
       QUrl::fromLocalFile(QString::fromStdU16String(test::WriteTextFile(dir / "b.unknown", "\x01\x02"))),
       QUrl(QStringLiteral("https://example.org/c.txt")),
       QUrl::fromLocalFile(QString::fromStdU16String(TextFile("d.txt")))});
  QDragEnterEvent enter(QPoint(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(20, 60), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(window.get(), &drop);
  EXPECT_EQ(Files(), "ad");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 2);

  QMimeData text;
  text.setText(QStringLiteral("not a file"));
  QDragEnterEvent refused(QPoint(20, 60), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
  refused.setAccepted(false);
  QApplication::sendEvent(window.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

// A folder, a pipe or a device is refused with the words the command line uses; a pipe is never
// waited on.
TEST_F(MainWindowTest, RefusesWhatIsNotARegularFile) {
  std::filesystem::create_directory(dir / "folder.txt");
  ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  const struct {
    const char* name;
    std::string error;
  } cases[] = {{"folder.txt", ": is a folder."}, {"pipe.txt", ": is not a regular file."}};
  for (const auto& c : cases) {
    messages.errors.clear();
    messages.filesToOpen = {U16(dir / c.name), TextFile("a.txt")};
    window->addFileAction->trigger();
    ASSERT_EQ(messages.errors.size(), 1u) << c.name;
    EXPECT_EQ(Utf16ToUtf8(messages.errors[0]), (dir / c.name).string() + c.error);
  }
  EXPECT_EQ(Files(), "");
}

TEST_F(MainWindowTest, AddingStopsAtTheFirstFileThatFailsItsCheck) {
  messages.filesToOpen = {TextFile("a.txt"), test::WriteTextFile(dir / "b.bmp", "BM no picture"),
                          TextFile("c.txt")};
  window->addFileAction->trigger();
  EXPECT_EQ(Files(), "a");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 1);
  ASSERT_EQ(messages.errors.size(), 1u);
  const std::string error = Utf16ToUtf8(messages.errors[0]);
  EXPECT_NE(error.find((dir / "b.bmp").string()), std::string::npos) << error;
  EXPECT_TRUE(error.ends_with(".")) << error;
}

TEST_F(MainWindowTest, MakesAWholeBookThroughItsActions) {
  test::WriteTextFile(dir / "Глава.txt", "\xEF\xBB\xBFПервая строка\r\nВторая строка\r\n");
  messages.filesToOpen = {U16(dir / "Глава.txt"), test::WritePicture(dir / "picture.bmp")};
  window->addFileAction->trigger();

  DescriptionDialog& description = *window->descriptionDialog;
  test::WhenModal([&](QWidget&) {
    description.titleEdit->setText(QStringLiteral("Война и мир"));
    description.isbnEdit->setText(QStringLiteral("978-5-00-000000-0"));
    description.okButton->click();
  });
  window->descriptionAction->trigger();

  CoverPageDialog& cover = *window->coverPageDialog;
  messages.picture = test::WritePicture(dir / "cover.bmp");
  test::WhenModal([&](QWidget&) {
    cover.panel->loadPictureButton->click();
    cover.panel->coverModeCombo->setCurrentIndex(1);
    cover.okButton->click();
  });
  window->coverPageAction->trigger();

  messages.saveAs = U16(dir / "book.wol");
  window->UpdateActions();
  window->makeWolfAction->trigger();
  ASSERT_TRUE(messages.errors.empty()) << Utf16ToUtf8(messages.errors[0]);
  EXPECT_EQ(messages.saveTitle, u"Choose target name");
  EXPECT_EQ(messages.saveFilter, u"Wolf Files|*.wol|All Files|*.*");
  EXPECT_EQ(messages.saveExt, u"wol");

  const BookReader reader(ReadFileBytes(messages.saveAs));
  const BookContents& book = reader.Book();
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

// The build runs beside the window: Cancel stops it at the next file, the old book stays and no
// temporary file remains.
TEST_F(MainWindowTest, ACancelledBuildLeavesTheOldBookAndNoTemporaryFile) {
  WriteGrayPng(U16(dir / "large.png"), 3000, 2000, std::vector<uint8_t>(3000 * 2000, 90));
  messages.filesToOpen.assign(8, U16(dir / "large.png"));
  window->addFileAction->trigger();
  const std::string oldBook = "WolfEbook1.11 an older book";
  test::WriteBytes(dir / "book.wol", oldBook);
  messages.saveAs = U16(dir / "book.wol");
  window->UpdateActions();
  BuildDialog& build = *window->buildDialog;
  test::WhenModal([&](QWidget& dialog) {
    EXPECT_EQ(&dialog, &build);
    build.cancelButton->click();
    EXPECT_FALSE(build.cancelButton->isEnabled());
    // The dialog stays until the build has stopped, and closes itself then.
    QEventLoop loop;
    QObject::connect(&build, &QDialog::finished, &loop, &QEventLoop::quit);
    loop.exec();
  });
  window->makeWolfAction->trigger();
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(test::ReadBytes(dir / "book.wol"), oldBook);
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    EXPECT_FALSE(entry.path().filename().string().starts_with("book.wol.part")) << entry.path();
}

// Projects: saved and opened with the title bar saying which is open and whether it changed,
// a question before changes are lost, and the same book from the command line.
TEST_F(MainWindowTest, SavesAndOpensProjectsAndAsksBeforeLosingChanges) {
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Bookloom"));
  AddFiles("ab");
  window->description.title = u"Projected";
  messages.saveAs = U16(dir / "book.bookloom");
  window->saveProjectAction->trigger();
  EXPECT_EQ(messages.saveExt, u"bookloom");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("book \u2014 Bookloom"));
  EXPECT_FALSE(window->Modified());

  // The window's book and the command line's book of the same project are one book.
  messages.saveAs = U16(dir / "window.wol");
  window->UpdateActions();
  window->makeWolfAction->trigger();
  const std::string command = test::Quoted(BOOKLOOM_CLI) + " make -q -o " + test::Quoted(dir / "cli.wol") +
                              " --project " + test::Quoted(dir / "book.bookloom");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(test::ReadBytes(dir / "window.wol"), test::ReadBytes(dir / "cli.wol"));

  Select({0});
  window->removeFileAction->trigger();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("book* \u2014 Bookloom"));
  messages.saveChoice = SaveChoice::kCancel;  // New asks, and Cancel keeps everything
  window->newProjectAction->trigger();
  EXPECT_EQ(messages.saveQuestions, std::vector<std::u16string>{u"book"});
  EXPECT_EQ(Files(), "b");
  messages.saveChoice = SaveChoice::kDiscard;
  window->newProjectAction->trigger();
  EXPECT_EQ(Files(), "");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Bookloom"));

  // Opened again: the project as it was saved; a file gone since is named in a warning.
  std::filesystem::remove(dir / "a.txt");
  messages.projectToOpen = U16(dir / "book.bookloom");
  window->openProjectAction->trigger();
  EXPECT_EQ(Files(), "b");
  EXPECT_EQ(window->description.title, u"Projected");
  ASSERT_EQ(messages.warnings.size(), 1u);
  EXPECT_NE(messages.warnings[0].find(u"a.txt: no such file"), std::u16string::npos);

  // Closing with changes saves them when asked to.
  AddFiles("c");
  messages.saveChoice = SaveChoice::kSave;
  EXPECT_TRUE(window->close());
  EXPECT_NE(test::ReadBytes(dir / "book.bookloom").find("c.txt"), std::string::npos);
}

// The preview shows what the book will hold: a picture's page as prepare makes it, a text's
// pages as many as the book's page table counts in the layout chosen.
TEST_F(MainWindowTest, PreviewShowsThePagesTheBookWillHold) {
  const std::u16string picture = test::WritePicture(dir / "picture.bmp");
  std::string text;
  for (int i = 0; i < 60; ++i) text += "line " + std::to_string(i) + "\n";
  messages.filesToOpen = {picture, test::WriteTextFile(dir / "text.txt", text)};
  window->addFileAction->trigger();
  PreviewPane& pane = *window->previewPane;
  const auto waitForPages = [&] {
    QEventLoop loop;
    QObject::connect(&pane, &PreviewPane::PagesReady, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
  };

  Select({0});
  waitForPages();
  ASSERT_EQ(pane.Pages().size(), 1u);
  const std::string command = test::Quoted(BOOKLOOM_CLI) + " prepare " + test::Quoted(dir / "picture.bmp") +
                              " " + test::Quoted(dir / "page.png");
  ASSERT_EQ(std::system(command.c_str()), 0);
  const QImage prepared =
      QImage(QString::fromStdString((dir / "page.png").string())).convertToFormat(QImage::Format_Grayscale8);
  EXPECT_EQ(pane.Pages()[0], prepared);

  Select({1});
  waitForPages();
  EXPECT_EQ(pane.Pages().size(), 3u);  // 28 + 28 + 4 lines
  EXPECT_EQ(pane.Pages()[0].size(), QSize(600, 800));
  pane.layoutCombo->setCurrentIndex(3);  // 16 lines on a turned page
  waitForPages();
  EXPECT_EQ(pane.Pages().size(), 4u);
  EXPECT_EQ(pane.Pages()[0].size(), QSize(800, 600));
}

TEST_F(MainWindowTest, FailedBuildIsReportedAndLeavesNoFile) {
  AddFiles("a");
  messages.saveAs = U16(dir / "missing" / "book.wol");
  window->UpdateActions();
  window->makeWolfAction->trigger();
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_TRUE(messages.errors[0].starts_with(u"Cannot create file")) << Utf16ToUtf8(messages.errors[0]);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));

  messages.saveAs.clear();  // a cancelled save dialog builds nothing
  window->makeWolfAction->trigger();
  EXPECT_EQ(messages.errors.size(), 1u);
}

TEST_F(MainWindowTest, RemovesOneFileWithoutAQuestionAndSeveralAfterOne) {
  AddFiles("abcde");
  Select({1});
  window->removeFileAction->trigger();
  EXPECT_TRUE(messages.questions.empty());
  EXPECT_EQ(Files(), "acde");

  Select({0, 2, 3});
  messages.confirm = false;
  window->removeFileAction->trigger();
  ASSERT_EQ(messages.questions.size(), 1u);
  EXPECT_EQ(messages.questions[0], u"Remove selected 3 files from list?");
  EXPECT_EQ(Files(), "acde");  // Cancel removes nothing

  messages.confirm = true;
  window->removeFileAction->trigger();
  EXPECT_EQ(Files(), "c");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 1);
  EXPECT_TRUE(SelectedRows().empty());
}

TEST_F(MainWindowTest, MovedFileKeepsTheSelection) {
  AddFiles("abc");
  Select({1});
  window->moveFileUpAction->trigger();
  EXPECT_EQ(Files(), "bac");
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
  EXPECT_EQ(window->fileListView->currentIndex().row(), 0);

  window->UpdateActions();
  window->moveFileDownAction->trigger();
  window->UpdateActions();
  window->moveFileDownAction->trigger();
  EXPECT_EQ(Files(), "acb");
  EXPECT_EQ(SelectedRows(), std::vector<int>{2});
  EXPECT_EQ(window->fileListView->currentIndex().row(), 2);
  window->UpdateActions();
  EXPECT_FALSE(window->moveFileDownAction->isEnabled());
}

TEST_F(MainWindowTest, ShortcutsWorkWhileTheFocusIsInTheList) {
  AddFiles("abc");
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  window->fileListView->setFocus();
  Select({1});
  QTest::keyClick(window->fileListView, Qt::Key_Up, Qt::ControlModifier);
  EXPECT_EQ(Files(), "bac");
  window->UpdateActions();
  QTest::keyClick(window->fileListView, Qt::Key_Down, Qt::ControlModifier);
  EXPECT_EQ(Files(), "abc");
  window->UpdateActions();
  QTest::keyClick(window->fileListView, Qt::Key_Delete, Qt::ControlModifier);
  EXPECT_EQ(Files(), "ac");
}

TEST_F(MainWindowTest, ClearAllAsksThenStartsANewBookWithTheCoverFromTheSettings) {
  std::ofstream(dir / "bookloom.ini")
      << "[Cover]\nCoverFileName=/covers/c.bmp\nCoverColors=2\nEnlargeCover=0\n"
         "CoverLeft=1\nCoverRight=2\nCoverTop=3\nCoverBottom=4\n";
  Open();
  AddFiles("ab");
  window->description.title = u"Title";
  window->coverPage.fileName = u"/other.bmp";
  window->coverPage.margins.top = 50;

  messages.confirm = false;
  window->clearAllAction->trigger();
  EXPECT_EQ(Files(), "ab");
  EXPECT_EQ(window->description.title, u"Title");

  messages.confirm = true;
  window->clearAllAction->trigger();
  ASSERT_EQ(messages.questions.size(), 2u);
  EXPECT_EQ(messages.questions[1], u"Clear all sets and start new Wolf?");
  EXPECT_EQ(Files(), "");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 0);
  EXPECT_EQ(window->description.title, u"");
  const CoverPage& cover = window->coverPage;
  EXPECT_EQ(cover.fileName, u"/covers/c.bmp");
  EXPECT_EQ(static_cast<int>(cover.coverMode), 2);
  EXPECT_FALSE(cover.enlarge);
  EXPECT_EQ(cover.margins.left, 1);
  EXPECT_EQ(cover.margins.right, 2);
  EXPECT_EQ(cover.margins.top, 3);
  EXPECT_EQ(cover.margins.bottom, 4);

  window->clearAllAction->trigger();  // an empty project is asked about too
  EXPECT_EQ(messages.questions.size(), 3u);
}

TEST_F(MainWindowTest, FirstRunWritesBothSectionsWithAllKeysAtClosing) {
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
  Settings s;
  LoadSettings(s, U16(dir / "bookloom.ini"));
  EXPECT_EQ(s.windowWidth, window->width());
  EXPECT_EQ(s.windowHeight, window->height());
}

TEST_F(MainWindowTest, PlacesItselfAsTheSettingsSay) {
  EXPECT_EQ(window->pos(), QPoint(160, 181));
  EXPECT_EQ(window->size(), QSize(697, 426));
  std::ofstream(dir / "bookloom.ini") << "[Bookloom]\nFormXPos=0x20\nFormYPos=-5\nFormXLen=0\nFormYLen=500\n";
  Open();
  EXPECT_EQ(window->pos(), QPoint(32, 181));
  EXPECT_EQ(window->size(), QSize(697, 500));
}

TEST_F(MainWindowTest, ClosesEvenWhenTheSettingsCannotBeWritten) {
  window = std::make_unique<MainWindow>(messages, U16(dir / "gone" / "bookloom"));
  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0], U16("Unable to write to " + (dir / "gone" / "bookloom.ini").string() + "."));
}

}  // namespace
}  // namespace bookloom
