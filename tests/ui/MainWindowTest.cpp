#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEventLoop>
#include <QHeaderView>
#include <QImage>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "UiTestSupport.h"
#include "book/FileTypes.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/TestRuntime.h"
#include "text/Win1251.h"
#include "ui/BuildDialog.h"
#include "ui/CoverPageDialog.h"
#include "ui/CoverPagePanel.h"
#include "ui/DescriptionDialog.h"
#include "ui/FileSettingsDialog.h"
#include "ui/MainWindow.h"
#include "ui/PreviewPane.h"
#include "ui/Settings.h"
#include "wolf/BookReader.h"

namespace bookloom {
namespace {

using test::U16;

class MainWindowTest : public ::testing::Test {
 protected:
  // The user's settings go to a configuration folder of the test's own.
  void SetUp() override {
    runConfig_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "config").string()));
    Open();
  }
  void TearDown() override {
    window.reset();
    qputenv("XDG_CONFIG_HOME", runConfig_);
  }

  void Open() { window = std::make_unique<MainWindow>(TestRuntime(), messages, U16(dir / "bookloom")); }

  std::u16string TextFile(const std::string& name) {
    return test::WriteTextFile(dir / name, "text of " + name);
  }

  // Adds text files named by the letters, one row each.
  void AddFiles(const std::string& letters) {
    std::vector<std::u16string> files;
    for (char c : letters) files.push_back(TextFile(std::string(1, c) + ".txt"));
    window->AddInputs(files);
  }

  std::filesystem::path UserSettingsFile() const { return dir / "config" / "bookloom" / "bookloom.conf"; }

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
    std::ifstream in(UserSettingsFile(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  test::ScratchDir dir;
  test::TestUserDialogs messages;
  std::unique_ptr<MainWindow> window;
  QByteArray runConfig_;
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
      {"abc", {1, 2}, true, true, false, true, false},  // several rows move together
      {"abc", {0, 2}, true, false, false, true, false},
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
    for (QAction* always :
         {window->addFileAction, window->addFolderAction, window->exitAction, window->descriptionAction,
          window->coverPageAction, window->bookSettingsAction, window->aboutAction})
      EXPECT_TRUE(always->isEnabled()) << always->text().toStdString();
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
      {window->addFileAction, "&Add Files…", "Add files to the book", "Ctrl+Ins", true},
      {window->addFolderAction, "Add F&older…", "Add the pictures and texts of a folder as one file", "",
       true},
      {window->removeFileAction, "&Remove Files", "Remove the selected files from the book", "Del", true},
      {window->moveFileUpAction, "Move &Up", "Move the selected files up", "Ctrl+Up", true},
      {window->moveFileDownAction, "Move &Down", "Move the selected files down", "Ctrl+Down", true},
      {window->fileSettingsAction, "File &Settings…", "Set individual settings for file", "F2", true},
      {window->bookSettingsAction, "&Book Settings…", "Settings of every file without its own", "", true},
      {window->exitAction, "E&xit", "", "Ctrl+Q", true},
      {window->tocAction, "&Table of Contents…", "", "", true},
      {window->descriptionAction, "&Description…", "", "", true},
      {window->coverPageAction, "&Cover Page…", "", "", true},
      {window->makeWolfAction, "&Make Wolf…", "", "", true},
      {window->aboutAction, "&About Bookloom", "", "", true},
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

TEST_F(MainWindowTest, PanelButtonsCarryTheWolfActionsInTheDesktopsFont) {
  EXPECT_EQ(window->windowTitle(), "Untitled \u2014 Bookloom");
  EXPECT_EQ(window->font(), QApplication::font());
  window->show();
  std::map<int, QAction*> buttons;  // by their place from the top
  for (QToolButton* button : window->findChildren<QToolButton*>())
    if (button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon)
      buttons[button->mapTo(window.get(), QPoint()).y()] = button->defaultAction();
  std::vector<QAction*> order;
  for (const auto& [top, action] : buttons) order.push_back(action);
  EXPECT_EQ(order, (std::vector<QAction*>{window->tocAction, window->descriptionAction,
                                          window->coverPageAction, window->makeWolfAction}));
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
  // A file gone since it was added is marked, and says so.
  EXPECT_TRUE(model->index(1, 0).data(Qt::ToolTipRole).isNull());
  std::filesystem::remove(dir / "b.txt");
  EXPECT_FALSE(model->index(1, 0).data(Qt::DecorationRole).isNull());
  EXPECT_EQ(model->index(1, 0).data(Qt::ToolTipRole).toString(), "The file is gone");
  EXPECT_TRUE(model->index(0, 0).data(Qt::DecorationRole).isNull());
}

// Every file that can be used is added, in order and selected; the others are named together in one
// warning, with the words of the command line.
TEST_F(MainWindowTest, AddsTheGoodFilesAndNamesTheBadOnesTogether) {
  AddFiles("x");
  const std::u16string text = TextFile("a.txt");
  messages.filesToOpen = {U16(dir / "missing.txt"), test::WriteTextFile(dir / "notes.unknown", "\x01\x02"),
                          text, test::WriteTextFile(dir / "b.bmp", "BM no picture"), text};
  window->addFileAction->trigger();
  EXPECT_EQ(messages.openFilter, FileTypes().BuildFilter(1, kGroupByClass | kAllSupported, nullptr));
  EXPECT_EQ(Files(), "xaa");
  EXPECT_EQ(window->fileListView->model()->rowCount(), 3);
  EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 2}));
  EXPECT_TRUE(messages.errors.empty());
  EXPECT_EQ(messages.warningsTitle, u"3 of the files cannot be used and were not added");
  ASSERT_EQ(messages.warnings.size(), 3u);
  EXPECT_EQ(Utf16ToUtf8(messages.warnings[0]), (dir / "missing.txt").string() + ": no such file");
  EXPECT_NE(Utf16ToUtf8(messages.warnings[1]).find("notes.unknown"), std::string::npos);
  EXPECT_NE(Utf16ToUtf8(messages.warnings[2]).find("b.bmp: cannot be decoded"), std::string::npos);
  EXPECT_TRUE(messages.questions.empty());  // no damaged pages that could be left out

  messages.filesToOpen.clear();  // a cancelled dialog adds nothing
  window->addFileAction->trigger();
  EXPECT_EQ(Files(), "xaa");
}

// A folder with a damaged picture comes in without it only when the user agrees to leave such
// pages out of the book, as --skip-bad does.
TEST_F(MainWindowTest, OffersToLeaveOutTheDamagedPagesOfAFolder) {
  std::filesystem::create_directory(dir / "scans");
  test::WritePicture(dir / "scans" / "p1.bmp");
  test::WriteTextFile(dir / "scans" / "p2.bmp", "BM no picture");
  for (const bool agree : {false, true}) {
    messages.questions.clear();
    messages.warnings.clear();
    messages.confirm = agree;
    messages.folder = U16(dir / "scans");
    window->addFolderAction->trigger();
    EXPECT_EQ(messages.questions.size(), 1u) << agree;
    EXPECT_EQ(window->fileList.Count(), agree ? 1 : 0);
    EXPECT_EQ(window->BookSettings().skipBadParts, agree);
    EXPECT_EQ(messages.warnings.size(), agree ? 0u : 1u);
  }
  EXPECT_EQ(messages.questions[0],
            u"1 of the files hold damaged pages or pictures. Leave those out of the book?");

  // A project that holds such a folder offers the same when it is opened.
  window->SaveProject(U16(dir / "scans.bookloom"));
  for (const bool agree : {false, true}) {
    Open();
    messages.questions.clear();
    messages.confirm = agree;
    window->OpenProject(U16(dir / "scans.bookloom"));
    EXPECT_EQ(messages.questions.size(), 1u) << agree;
    EXPECT_EQ(window->fileList.Count(), agree ? 1 : 0);
    EXPECT_EQ(window->BookSettings().skipBadParts, agree);
  }
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
  ASSERT_EQ(mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
  messages.filesToOpen = {U16(dir / "pipe.txt"), TextFile("a.txt")};
  window->addFileAction->trigger();
  ASSERT_EQ(messages.warnings.size(), 1u);
  EXPECT_EQ(Utf16ToUtf8(messages.warnings[0]), (dir / "pipe.txt").string() + ": is not a regular file");
  EXPECT_EQ(Files(), "a");
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
  // The status bar says what was written, with a link to its folder.
  const QList<QLabel*> labels = window->statusBar()->findChildren<QLabel*>();
  const auto built = std::find_if(labels.begin(), labels.end(), [](QLabel* label) {
    return label->text().startsWith(QStringLiteral("Wrote"));
  });
  ASSERT_NE(built, labels.end());
  EXPECT_TRUE((*built)->text().contains(QStringLiteral("Wrote book.wol (2 file(s)).")));
  EXPECT_TRUE((*built)->text().contains(
      QStringLiteral("href=\"%1\"")
          .arg(QUrl::fromLocalFile(QString::fromStdString(dir.Path().string())).toString())));

  const BookReader reader(ReadFileBytes(messages.saveAs));
  const BookContents& book = reader.Book();
  EXPECT_EQ(book.description[0], WideToWin1251(TestRuntime(), u"Война и мир"));
  EXPECT_EQ(book.description[2], "(no author)");
  EXPECT_EQ(book.description[12], "978-5-00-000000-0");
  ASSERT_TRUE(book.cover.has_value());
  EXPECT_EQ(book.cover->bitCount, 1);
  ASSERT_EQ(book.toc.size(), 2u);
  EXPECT_EQ(book.toc[0].title, WideToWin1251(TestRuntime(), u"Глава"));
  EXPECT_EQ(book.toc[1].title, "picture");
  ASSERT_EQ(book.sections.size(), 2u);
  EXPECT_EQ(book.sections[0].paragraphs,
            (std::vector<std::string>{WideToWin1251(TestRuntime(), u"Первая строка"),
                                      WideToWin1251(TestRuntime(), u"Вторая строка")}));
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
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled \u2014 Bookloom"));
  AddFiles("ab");
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled* \u2014 Bookloom"));
  window->description.title = u"Projected";
  window->coverPage.fileName = test::WritePicture(dir / "cover.bmp");
  window->coverPage.coverMode = 2;
  messages.saveAs = U16(dir / "book.bookloom");
  window->saveProjectAction->trigger();
  EXPECT_EQ(messages.saveExt, u"bookloom");
  EXPECT_EQ(messages.saveSuggested, u"Projected.bookloom");  // the title names an untitled book
  EXPECT_EQ(window->windowTitle(), QStringLiteral("book \u2014 Bookloom"));
  EXPECT_FALSE(window->Modified());

  // The window's book and the command line's book of the same project are one book.
  messages.saveAs = U16(dir / "window.wol");
  window->UpdateActions();
  window->makeWolfAction->trigger();
  EXPECT_EQ(messages.saveSuggested, U16(dir / "book.wol"));  // beside the project, named after it
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
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled \u2014 Bookloom"));
  EXPECT_EQ(window->ProjectFileName(), u"");  // a save now asks for a name, and never empties the project

  // Opened again: the project as it was saved; a file or a cover gone since is named in a warning.
  std::filesystem::remove(dir / "a.txt");
  std::filesystem::remove(dir / "cover.bmp");
  messages.projectToOpen = U16(dir / "book.bookloom");
  window->openProjectAction->trigger();
  EXPECT_EQ(Files(), "b");
  EXPECT_EQ(window->description.title, u"Projected");
  ASSERT_EQ(messages.warnings.size(), 2u);
  EXPECT_NE(messages.warnings[0].find(u"a.txt: no such file"), std::u16string::npos);
  EXPECT_NE(messages.warnings[1].find(u"cover: "), std::u16string::npos);
  EXPECT_NE(messages.warnings[1].find(u"cover.bmp: no such file"), std::u16string::npos);

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

// A file that cannot be read any more is marked in the list, with why, when the preview or a build
// finds it so; the mark goes when it reads again.
TEST_F(MainWindowTest, MarksAFileThePreviewOrABuildCannotRead) {
  AddFiles("a");
  const std::u16string picture = test::WritePicture(dir / "picture.bmp");
  window->AddInputs({picture});
  const QAbstractItemModel* model = window->fileListView->model();
  const auto marked = [&](int row) { return !model->index(row, 0).data(Qt::DecorationRole).isNull(); };
  const auto tip = [&] { return model->index(1, 0).data(Qt::ToolTipRole).toString().toStdString(); };
  const auto preview = [&] {
    Select({});
    QEventLoop loop;
    QObject::connect(window->previewPane, &PreviewPane::PagesReady, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    Select({1});
    loop.exec();
  };
  const auto build = [&] {
    messages.errors.clear();
    messages.saveAs = U16(dir / "book.wol");
    window->UpdateActions();
    window->makeWolfAction->trigger();
  };
  const std::string damaged = "The file cannot be read: ";
  for (const auto& [how, read] : {std::pair{"preview", std::function<void()>(preview)}, {"build", build}}) {
    SCOPED_TRACE(how);
    test::WriteBytes(dir / "picture.bmp", "BM no picture");
    read();
    EXPECT_TRUE(marked(1));
    EXPECT_EQ(tip().substr(0, damaged.size()), damaged);
    EXPECT_GT(tip().size(), damaged.size()) << tip();  // and why
    EXPECT_FALSE(marked(0));
    EXPECT_EQ(messages.errors.size(), how == std::string("build") ? 1u : 0u);
    test::WritePicture(dir / "picture.bmp");
    read();
    EXPECT_FALSE(marked(1));
    EXPECT_EQ(tip(), "");
  }
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
  EXPECT_EQ(SelectedRows(), std::vector<int>{1});  // the file that followed

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
  EXPECT_EQ(SelectedRows(), std::vector<int>{0});
}

TEST_F(MainWindowTest, MovedFilesKeepTheSelection) {
  const struct {
    std::vector<int> selected;
    int offset;
    const char* files;
    std::vector<int> after;
  } cases[] = {
      {{1}, -1, "bacde", {0}},       {{1}, +1, "acbde", {2}},
      {{1, 3}, -1, "badce", {0, 2}}, {{1, 2}, +1, "adbce", {2, 3}},
      {{3, 4}, -1, "abdec", {2, 3}}, {{0, 1}, -1, "abcde", {0, 1}},  // the first cannot move up: none moves
  };
  for (const auto& c : cases) {
    window->NewBook();
    AddFiles("abcde");
    Select(c.selected);
    (c.offset < 0 ? window->moveFileUpAction : window->moveFileDownAction)->trigger();
    EXPECT_EQ(Files(), c.files) << c.files;
    EXPECT_EQ(SelectedRows(), c.after) << c.files;
    EXPECT_EQ(window->fileListView->currentIndex().row(), c.after.front()) << c.files;
  }
}

// Files dragged within the list land where they are dropped, in their order, and stay selected.
TEST_F(MainWindowTest, DraggedFilesMoveWhereTheyAreDropped) {
  const struct {
    std::vector<int> dragged;
    int row, onRow;  // the drop: before `row`, or on the row `onRow` (-1: neither)
    const char* files;
    std::vector<int> after;
  } cases[] = {
      {{1, 3}, 0, -1, "bdace", {0, 1}}, {{0}, -1, -1, "bcdea", {4}},  // -1 and -1: below the last row
      {{3, 4}, -1, 1, "adebc", {1, 2}}, {{1}, 2, -1, "abcde", {1}},  {{0, 4}, 3, -1, "bcaed", {2, 3}},
  };
  for (const auto& c : cases) {
    window->NewBook();
    AddFiles("abcde");
    QAbstractItemModel* model = window->fileListView->model();
    QModelIndexList indexes;
    for (int row : c.dragged) indexes << model->index(row, 0) << model->index(row, 1);
    std::unique_ptr<QMimeData> data(model->mimeData(indexes));
    const QModelIndex on = c.onRow >= 0 ? model->index(c.onRow, 0) : QModelIndex();
    model->dropMimeData(data.get(), Qt::MoveAction, c.row, 0, on);
    EXPECT_EQ(Files(), c.files) << c.files;
    EXPECT_EQ(SelectedRows(), c.after) << c.files;
  }
  EXPECT_EQ(window->fileListView->dragDropMode(), QAbstractItemView::DragDrop);
}

// Adding, removing and moving files and a file's own settings are taken back and made again in
// turn; the files they touch are selected, and the book counts as changed.
TEST_F(MainWindowTest, UndoesAndRedoesTheEditsOfTheList) {
  AddFiles("abc");
  Select({0});
  window->removeFileAction->trigger();
  Select({1});
  window->UpdateActions();
  window->moveFileUpAction->trigger();
  Select({0});
  test::WhenModal([&](QWidget&) {
    window->fileSettingsDialog->useBookCheck->setChecked(false);
    window->fileSettingsDialog->form->chaptersCheck->setChecked(true);
    window->fileSettingsDialog->okButton->click();
  });
  window->fileSettingsAction->trigger();
  ASSERT_EQ(Files(), "cb");
  ASSERT_TRUE(window->fileList.Items(0).HasOwnSettings());
  EXPECT_EQ(window->undoAction->text(), "&Undo File Settings");

  const struct {
    QAction* action;
    const char* files;
    bool ownSettings;  // of the first file
    std::vector<int> selected;
  } steps[] = {
      {window->undoAction, "cb", false, {0}},        {window->undoAction, "bc", false, {1}},
      {window->undoAction, "abc", false, {0}},       {window->undoAction, "", false, {}},
      {window->redoAction, "abc", false, {0, 1, 2}}, {window->redoAction, "bc", false, {0}},
      {window->redoAction, "cb", false, {0}},        {window->redoAction, "cb", true, {0}},
  };
  for (const auto& step : steps) {
    window->SaveProject(U16(dir / "p.bookloom"));  // saved: the step makes it changed again
    step.action->trigger();
    EXPECT_EQ(Files(), step.files) << step.files;
    if (window->fileList.Count() > 0)
      EXPECT_EQ(window->fileList.Items(0).HasOwnSettings(), step.ownSettings) << step.files;
    EXPECT_EQ(SelectedRows(), step.selected) << step.files;
    EXPECT_TRUE(window->Modified()) << step.files;
  }
  // Undoing back to where the book was saved leaves nothing unsaved.
  window->undoAction->trigger();
  EXPECT_FALSE(window->Modified());
  EXPECT_FALSE(window->windowTitle().contains(u'*'));
  window->redoAction->trigger();
  EXPECT_TRUE(window->Modified());
  EXPECT_TRUE(window->windowTitle().contains(u'*'));
  messages.saveChoice = SaveChoice::kDiscard;
  window->newProjectAction->trigger();  // a new book starts with nothing to undo
  EXPECT_FALSE(window->undoAction->isEnabled());
}

// The description, the cover and the book's settings are edits like the list's: each accepted dialog
// that changes something is one step, taken back and made again in turn, and undoing back to where
// the book was saved leaves it saved.
TEST_F(MainWindowTest, UndoesTheDescriptionTheCoverAndTheBookSettings) {
  AddFiles("a");
  messages.picture = test::WritePicture(dir / "cover.bmp");
  const struct {
    QAction* action;
    std::function<void()> edit;  // in the dialog
    QPushButton* ok;
    const char* undoText;
    std::function<std::string()> value;
  } edits[] = {
      {window->descriptionAction,
       [&] { window->descriptionDialog->titleEdit->setText(QStringLiteral("Title")); },
       window->descriptionDialog->okButton, "&Undo Description",
       [&] { return Utf16ToUtf8(window->description.title); }},
      {window->coverPageAction, [&] { window->coverPageDialog->panel->loadPictureButton->click(); },
       window->coverPageDialog->okButton, "&Undo Cover Page",
       [&] { return Utf16ToUtf8(window->coverPage.fileName); }},
      {window->bookSettingsAction, [&] { window->fileSettingsDialog->form->chaptersCheck->setChecked(true); },
       window->fileSettingsDialog->okButton, "&Undo Book Settings",
       [&] { return std::to_string(window->fileList.Items(0).Settings().text.chapters); }},
  };
  window->SaveProject(U16(dir / "p.bookloom"));
  std::vector<std::string> before;
  for (const auto& e : edits) {
    // Accepted as it was, a dialog changes nothing and leaves nothing to undo.
    const QString lastUndo = window->undoAction->text();
    test::WhenModal([&](QWidget&) { e.ok->click(); });
    e.action->trigger();
    EXPECT_EQ(window->undoAction->text().toStdString(), lastUndo.toStdString()) << e.undoText;
    EXPECT_EQ(window->Modified(), &e != edits) << e.undoText;
    before.push_back(e.value());
    test::WhenModal([&](QWidget&) {
      e.edit();
      e.ok->click();
    });
    e.action->trigger();
    EXPECT_NE(e.value(), before.back()) << e.undoText;
    EXPECT_EQ(window->undoAction->text().toStdString(), e.undoText);
    EXPECT_TRUE(window->Modified()) << e.undoText;
  }
  for (size_t i = std::size(edits); i-- > 0;) {
    const std::string after = edits[i].value();
    window->undoAction->trigger();
    EXPECT_EQ(edits[i].value(), before[i]) << edits[i].undoText;
    EXPECT_EQ(window->Modified(), i > 0) << edits[i].undoText;
    window->redoAction->trigger();
    EXPECT_EQ(edits[i].value(), after) << edits[i].undoText;
    window->undoAction->trigger();
  }
  EXPECT_FALSE(window->windowTitle().contains(u'*'));
  EXPECT_FALSE(window->BookSettings().text.chapters);

  // Leaving the damaged pages of an added folder out is part of adding it: one step takes back both.
  std::filesystem::create_directory(dir / "scans");
  test::WritePicture(dir / "scans" / "p1.bmp");
  test::WriteTextFile(dir / "scans" / "p2.bmp", "BM no picture");
  messages.folder = U16(dir / "scans");
  window->addFolderAction->trigger();
  ASSERT_TRUE(window->BookSettings().skipBadParts);
  EXPECT_EQ(window->undoAction->text(), "&Undo Add Files");
  window->undoAction->trigger();
  EXPECT_FALSE(window->BookSettings().skipBadParts);
  EXPECT_EQ(Files(), "a");
  EXPECT_FALSE(window->Modified());
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
  QTest::keyClick(window->fileListView, Qt::Key_Delete);
  EXPECT_EQ(Files(), "ac");
  // Ctrl+Q closes the window, asking about unsaved changes first.
  messages.saveChoice = SaveChoice::kDiscard;
  QTest::keyClick(window->fileListView, Qt::Key_Q, Qt::ControlModifier);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(messages.saveQuestions.size(), 1u);
}

// Enter and F2 open the settings of the selected file; the list's own menu holds them too.
TEST_F(MainWindowTest, EnterAndF2OpenTheFileSettingsFromTheList) {
  for (const auto& [key, name] : {std::pair{Qt::Key_F2, "F2"}, std::pair{Qt::Key_Return, "Enter"}}) {
    Open();
    AddFiles("ab");
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->fileListView->setFocus();
    Select({1});
    QString title;
    test::WhenModal([&](QWidget& dialog) {
      title = dialog.windowTitle();
      static_cast<QDialog&>(dialog).reject();
    });
    QTest::keyClick(window->fileListView, key);
    EXPECT_EQ(title, "File Settings - b.txt") << name;
  }
  EXPECT_EQ(window->fileListView->contextMenuPolicy(), Qt::ActionsContextMenu);
  EXPECT_TRUE(window->fileListView->actions().contains(window->fileSettingsAction));
  EXPECT_TRUE(window->fileListView->actions().contains(window->removeFileAction));
}

TEST_F(MainWindowTest, NewStartsABookWithTheCoverFromTheSettings) {
  QSettings store(QString::fromStdString(UserSettingsFile().string()), QSettings::IniFormat);
  Settings settings;
  settings.coverFileName = u"/covers/c.bmp";
  settings.coverColors = 2;
  settings.enlargeCover = false;
  settings.coverLeft = 1;
  settings.coverBottom = 4;
  SaveSettings(settings, store);
  Open();
  AddFiles("ab");
  window->description.title = u"Title";
  window->coverPage.fileName = u"/other.bmp";
  messages.saveChoice = SaveChoice::kDiscard;
  window->newProjectAction->trigger();
  EXPECT_EQ(Files(), "");
  EXPECT_EQ(window->description.title, u"");
  const CoverPage& cover = window->coverPage;
  EXPECT_EQ(cover.fileName, u"/covers/c.bmp");
  EXPECT_EQ(static_cast<int>(cover.coverMode), 2);
  EXPECT_FALSE(cover.enlarge);
  EXPECT_EQ(cover.margins.left, 1);
  EXPECT_EQ(cover.margins.bottom, 4);
}

// The settings live in the user's configuration folder; those of an old file beside the program are
// taken over once, and the old file is never read again.
TEST_F(MainWindowTest, KeepsItsSettingsInTheUsersFolderAndTakesOverAnOldFileOnce) {
  std::ofstream(dir / "bookloom.ini") << "[Bookloom]\nFormXPos=0x20\nFormYPos=40\nFormXLen=0\nFormYLen=500\n"
                                         "[Cover]\nCoverColors=1\n";
  Open();
  EXPECT_TRUE(std::filesystem::exists(UserSettingsFile()));
  EXPECT_EQ(window->pos(), QPoint(32, 40));
  EXPECT_EQ(window->height(), 500);
  EXPECT_EQ(static_cast<int>(window->coverPage.coverMode), 1);
  const int width = window->width();  // the desktop's choice, as none was kept

  window->show();
  window->resize(width + 10, 320);
  const QSize size = window->size();
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(messages.errors.empty());
  const std::string text = ReadSettingsText();
  EXPECT_NE(text.find("[Bookloom]\n"), std::string::npos) << text;
  EXPECT_NE(text.find("FormYLen=" + std::to_string(size.height()) + "\n"), std::string::npos) << text;
  EXPECT_NE(text.find("[Cover]\n"), std::string::npos) << text;

  std::ofstream(dir / "bookloom.ini") << "[Cover]\nCoverColors=2\n";
  Open();
  EXPECT_EQ(window->size(), size);
  EXPECT_EQ(static_cast<int>(window->coverPage.coverMode), 1);
}

TEST_F(MainWindowTest, ClosesEvenWhenTheSettingsCannotBeWritten) {
  test::WriteTextFile(dir / "file", "not a folder");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((dir / "file").string()));
  Open();
  window->show();
  EXPECT_TRUE(window->close());
  EXPECT_FALSE(window->isVisible());
  ASSERT_EQ(messages.errors.size(), 1u);
  EXPECT_EQ(messages.errors[0],
            U16("Unable to write to " + (dir / "file" / "bookloom" / "bookloom.conf").string() + "."));
}

}  // namespace
}  // namespace bookloom
