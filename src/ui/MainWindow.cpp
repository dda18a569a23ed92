#include "ui/MainWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QMimeData>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "book/BookBuild.h"
#include "book/FileTypes.h"
#include "book/InputFiles.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/BuildDialog.h"
#include "ui/CoverPageDialog.h"
#include "ui/DescriptionDialog.h"
#include "ui/FileListModel.h"
#include "ui/PreviewPane.h"
#include "ui/Settings.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

const QRect kDefaultBounds(160, 181, 697, 426);
constexpr int kPanelWidth = 188;
constexpr int kFileNameWidth = 150, kSizeWidth = 100, kPathWidth = 200;

// A large panel button that carries an action: icon and caption, and a tooltip only when the
// action has a hint.
class LargeButton : public QToolButton {
 public:
  LargeButton(QAction* action, int top, QWidget* panel) : QToolButton(panel) {
    setDefaultAction(action);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(32, 32));
    setAutoRaise(true);
    setGeometry(8, top, 169, 45);
  }

 protected:
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip && defaultAction() && defaultAction()->statusTip().isEmpty()) {
      e->ignore();
      return true;
    }
    return QToolButton::event(e);
  }
};

// The local files among dropped data.
std::vector<std::u16string> LocalFiles(const QMimeData* data) {
  std::vector<std::u16string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdU16String());
  return files;
}

}  // namespace

MainWindow::MainWindow(UserDialogs& messages, const std::u16string& executablePath, QWidget* parent)
    : QMainWindow(parent), messages_(messages), settingsFileName_(SettingsPathFor(executablePath)) {
  setWindowTitle(QStringLiteral("Bookloom"));
  setWindowIcon(QIcon(Emblem(48)));
  setFont(WindowFont());
  setMinimumSize(500, 300);
  setAcceptDrops(true);

  CreateActions();
  CreateClientArea();
  CreatePreview();
  CreateMenus();

  LoadSettings(settings_, settingsFileName_);
  const Settings& s = settings_;
  QRect bounds = kDefaultBounds;
  if (s.windowLeft >= 0) bounds.moveLeft(s.windowLeft);
  if (s.windowTop >= 0) bounds.moveTop(s.windowTop);
  if (s.windowWidth > 0) bounds.setWidth(s.windowWidth);
  if (s.windowHeight > 0) bounds.setHeight(s.windowHeight);
  move(bounds.topLeft());
  resize(bounds.size());

  addFileFilter_ = FileTypes().BuildFilter(1, kGroupByClass | kAllSupported, nullptr);
  NewBook();

  descriptionDialog = new DescriptionDialog(messages_, this);
  aboutDialog = new AboutDialog(this);
  coverPageDialog = new CoverPageDialog(messages_, this);
  buildDialog = new BuildDialog(this);
  CreateSettingsDialog();

  UpdateRecentMenu();
  UpdateTitle();
  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &MainWindow::UpdateActions);
  UpdateActions();
}

MainWindow::~MainWindow() {
  QAbstractEventDispatcher::instance()->disconnect(this);
  // The list view outlives the file list by a little while the window is taken down: it must
  // find no rows to draw by then.
  model_->SetRowCount(0);
}

void MainWindow::CreateActions() {
  struct ActionSetup {
    QAction** action;
    const char* caption;
    const char* hint;
    QKeySequence shortcut;
    const char* themeIcon;  // nullptr: no icon
    QStyle::StandardPixmap standardIcon;
  };
  const ActionSetup setups[] = {
      {&newProjectAction, QT_TR_NOOP("New"), QT_TR_NOOP("Start a new book"), QKeySequence::New,
       "document-new", QStyle::SP_FileIcon},
      {&openProjectAction, QT_TR_NOOP("Open Project..."), QT_TR_NOOP("Open a book project"),
       QKeySequence::Open, "document-open", QStyle::SP_DialogOpenButton},
      {&saveProjectAction, QT_TR_NOOP("Save Project"), QT_TR_NOOP("Save the book project"),
       QKeySequence::Save, "document-save", QStyle::SP_DialogSaveButton},
      {&saveProjectAsAction, QT_TR_NOOP("Save Project As..."),
       QT_TR_NOOP("Save the book project under a new name"), QKeySequence::SaveAs, "document-save-as",
       QStyle::SP_DialogSaveButton},
      {&addFileAction, QT_TR_NOOP("Add File"), QT_TR_NOOP("Add file(s) to list"),
       QKeySequence(Qt::CTRL | Qt::Key_Insert), "list-add", QStyle::SP_FileDialogNewFolder},
      {&removeFileAction, QT_TR_NOOP("Remove File"), QT_TR_NOOP("Remove file(s) from list"),
       QKeySequence(Qt::CTRL | Qt::Key_Delete), "list-remove", QStyle::SP_TrashIcon},
      {&moveFileUpAction, QT_TR_NOOP("Move File Up"), QT_TR_NOOP("Move file up"),
       QKeySequence(Qt::CTRL | Qt::Key_Up), "go-up", QStyle::SP_ArrowUp},
      {&moveFileDownAction, QT_TR_NOOP("Move File Down"), QT_TR_NOOP("Move file down"),
       QKeySequence(Qt::CTRL | Qt::Key_Down), "go-down", QStyle::SP_ArrowDown},
      {&fileSettingsAction,
       QT_TR_NOOP("File Settings"),
       QT_TR_NOOP("Set individual settings for file"),
       {},
       "document-properties",
       QStyle::SP_FileDialogContentsView},
      {&bookSettingsAction,
       QT_TR_NOOP("Book Settings..."),
       QT_TR_NOOP("Settings of every file without its own"),
       {},
       "preferences-other",
       QStyle::SP_FileDialogListView},
      {&clearAllAction, QT_TR_NOOP("Clear All"), "", {}, nullptr, {}},
      {&exitAction, QT_TR_NOOP("Exit"), "", {}, "application-exit", QStyle::SP_DialogCloseButton},
      {&tocAction,
       QT_TR_NOOP("Table of contents"),
       "",
       {},
       "format-justify-left",
       QStyle::SP_FileDialogDetailedView},
      {&descriptionAction, QT_TR_NOOP("Description"), "", {}, "document-edit", QStyle::SP_FileDialogInfoView},
      {&coverPageAction, QT_TR_NOOP("Cover Page"), "", {}, "image-x-generic", QStyle::SP_FileIcon},
      {&makeWolfAction, QT_TR_NOOP("Make Wolf"), "", {}, "document-save", QStyle::SP_DialogSaveButton},
      {&aboutAction, QT_TR_NOOP("About"), "", {}, "help-about", QStyle::SP_DialogHelpButton},
  };
  for (const ActionSetup& setup : setups) {
    auto* action = new QAction(tr(setup.caption), this);
    const QString hint = *setup.hint ? tr(setup.hint) : QString();
    action->setToolTip(hint.isEmpty() ? action->text() : hint);
    action->setStatusTip(hint);
    action->setShortcut(setup.shortcut);
    if (setup.themeIcon) action->setIcon(ActionIcon(setup.themeIcon, setup.standardIcon));
    *setup.action = action;
    addAction(action);  // shortcuts work wherever the focus is in the window
  }
  OnTriggered(newProjectAction, &MainWindow::OnNewProject);
  OnTriggered(openProjectAction, &MainWindow::OnOpenProject);
  OnTriggered(saveProjectAction, &MainWindow::OnSaveProject);
  OnTriggered(saveProjectAsAction, &MainWindow::OnSaveProjectAs);
  OnTriggered(addFileAction, &MainWindow::OnAddFile);
  OnTriggered(removeFileAction, &MainWindow::OnRemoveFile);
  OnTriggered(moveFileUpAction, &MainWindow::OnMoveFileUp);
  OnTriggered(moveFileDownAction, &MainWindow::OnMoveFileDown);
  OnTriggered(clearAllAction, &MainWindow::OnClearAll);
  OnTriggered(tocAction, &MainWindow::OnEditContents);
  OnTriggered(descriptionAction, &MainWindow::OnEditDescription);
  OnTriggered(coverPageAction, &MainWindow::OnEditCoverPage);
  OnTriggered(makeWolfAction, &MainWindow::OnMakeWolf);
  OnTriggered(aboutAction, &MainWindow::OnAbout);
}

void MainWindow::OnTriggered(QAction* action, void (MainWindow::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { ReportErrors(messages_, [&] { (this->*handler)(); }); });
}

void MainWindow::CreateMenus() {
  QMenu* file = menuBar()->addMenu(tr("File"));
  file->addActions({newProjectAction, openProjectAction});
  recentMenu_ = file->addMenu(tr("Open Recent"));
  file->addActions({saveProjectAction, saveProjectAsAction});
  file->addSeparator();
  file->addActions({addFileAction, removeFileAction});
  file->addSeparator();
  file->addActions({moveFileUpAction, moveFileDownAction});
  file->addSeparator();
  file->addAction(fileSettingsAction);
  file->addSeparator();
  file->addAction(clearAllAction);
  file->addSeparator();
  file->addAction(exitAction);
  QMenu* wolf = menuBar()->addMenu(tr("Wolf"));
  wolf->addActions({tocAction, descriptionAction, coverPageAction, bookSettingsAction});
  wolf->addSeparator();
  wolf->addAction(makeWolfAction);
  QMenu* view = menuBar()->addMenu(tr("View"));
  view->addAction(previewDock_->toggleViewAction());
  QMenu* help = menuBar()->addMenu(tr("Help"));
  help->addAction(aboutAction);
}

void MainWindow::CreateClientArea() {
  auto* client = new QWidget(this);
  auto* columns = new QHBoxLayout(client);
  columns->setContentsMargins(0, 0, 0, 0);
  columns->setSpacing(0);

  auto* left = new QWidget(client);
  auto* rows = new QVBoxLayout(left);
  rows->setContentsMargins(5, 5, 5, 5);
  rows->setSpacing(0);
  auto* toolBar = new QToolBar(left);
  toolBar->setIconSize(QSize(16, 16));
  toolBar->setMovable(false);
  toolBar->setFloatable(false);
  toolBar->addActions({addFileAction, removeFileAction});
  toolBar->addSeparator();
  toolBar->addActions({moveFileUpAction, moveFileDownAction});
  toolBar->addSeparator();
  toolBar->addAction(fileSettingsAction);
  for (QAction* action : toolBar->actions())
    if (!action->isSeparator()) toolBar->widgetForAction(action)->setFixedSize(26, 26);
  rows->addWidget(toolBar);

  model_ = new FileListModel(
      [this](int row) {
        const FileItem& item = fileList.Items(row);
        return FileListModel::Row{{Q(item.ShortName()), Q(item.SizeText()), Q(item.Folder())},
                                  SettingsTip(item)};
      },
      this);
  fileListView = new QTreeView(left);
  fileListView->setModel(model_);
  fileListView->setRootIsDecorated(false);
  fileListView->setItemsExpandable(false);
  fileListView->setUniformRowHeights(true);
  fileListView->setAllColumnsShowFocus(true);
  fileListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  fileListView->setSelectionBehavior(QAbstractItemView::SelectRows);
  fileListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  fileListView->setSortingEnabled(false);
  QHeaderView* header = fileListView->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->resizeSection(0, kFileNameWidth);
  header->resizeSection(1, kSizeWidth);
  header->resizeSection(2, kPathWidth);
  // The selection stays as visible when the list loses the focus.
  QPalette palette = fileListView->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  fileListView->setPalette(palette);
  rows->addWidget(fileListView, 1);
  columns->addWidget(left, 1);

  auto* divider = new QFrame(client);
  divider->setFrameShape(QFrame::VLine);
  divider->setFrameShadow(QFrame::Sunken);
  divider->setLineWidth(1);
  divider->setMidLineWidth(1);
  divider->setFixedWidth(3);
  columns->addWidget(divider);

  auto* panel = new QWidget(client);
  panel->setFixedWidth(kPanelWidth);
  int top = 8;
  for (QAction* action : {tocAction, descriptionAction, coverPageAction, makeWolfAction}) {
    new LargeButton(action, top, panel);
    top += 48;
  }
  columns->addWidget(panel);
  setCentralWidget(client);
}

void MainWindow::CreatePreview() {
  previewPane = new PreviewPane(this);
  previewDock_ = new QDockWidget(tr("Page Preview"), this);
  previewDock_->setObjectName(QStringLiteral("PagePreview"));
  previewDock_->setWidget(previewPane);
  previewDock_->setMinimumWidth(200);
  addDockWidget(Qt::RightDockWidgetArea, previewDock_);
  connect(fileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::UpdatePreview);
}

void MainWindow::UpdatePreview() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() == 1) {
    const FileItem& item = fileList.Items(selected.front());
    previewPane->ShowFile(item.FileName(), item.Settings());
  } else if (selected.empty() && coverPage.coverMode > 0 && !coverPage.fileName.empty()) {
    previewPane->ShowCover(coverPage);
  } else {
    previewPane->Clear();
  }
}

std::vector<int> MainWindow::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : fileListView->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void MainWindow::UpdateActions() {
  const std::vector<int> selected = SelectedRows();
  const bool one = selected.size() == 1;
  addFileAction->setEnabled(true);
  removeFileAction->setEnabled(!selected.empty());
  moveFileUpAction->setEnabled(one && selected.front() > 0);
  moveFileDownAction->setEnabled(one && selected.front() < fileList.Count() - 1);
  clearAllAction->setEnabled(true);
  descriptionAction->setEnabled(true);
  coverPageAction->setEnabled(true);
  makeWolfAction->setEnabled(model_->rowCount() > 0);
  tocAction->setEnabled(fileList.Count() > 0);
  aboutAction->setEnabled(true);
  fileSettingsAction->setEnabled(one);
  bookSettingsAction->setEnabled(true);
  // Actions without an operation.
  exitAction->setEnabled(false);
}

void MainWindow::RefreshFileList() {
  model_->SetRowCount(fileList.Count());
  fileListView->viewport()->update();
}

void MainWindow::AddFile(const std::u16string& fileName) {
  if (KindOf(fileName) == FileKind::kMissing) return;
  CheckInputFile(fileName);  // a folder, a pipe or a file that cannot be read is refused
  const FileItemClass* itemClass = InputItemClass(fileName);
  if (!itemClass) return;
  std::unique_ptr<FileItem> item = itemClass->create(fileName);
  item->Verify();
  item->SetSettings(bookSettings_);
  fileList.Add(std::move(item));
}

void MainWindow::AddFiles(const std::vector<std::u16string>& fileNames) {
  const int before = fileList.Count();
  try {
    for (const auto& fileName : fileNames) AddFile(fileName);
  } catch (...) {
    RefreshFileList();
    if (fileList.Count() != before) SetModified(true);
    throw;
  }
  RefreshFileList();
  if (fileList.Count() != before) SetModified(true);
}

void MainWindow::AddInputs(const std::vector<std::u16string>& fileNames) {
  std::vector<std::u16string> problems;
  const int before = fileList.Count();
  for (const std::u16string& fileName : fileNames) {
    try {
      fileList.Add(MakeInputItem(fileName, bookSettings_));
    } catch (const InputError& e) {
      problems.push_back(Utf8ToUtf16(e.what()));
    }
  }
  RefreshFileList();
  if (fileList.Count() != before) SetModified(true);
  if (!problems.empty())
    messages_.ShowWarnings(tr("Some of the files cannot be used and were not added").toStdU16String(),
                           problems);
}

void MainWindow::NewBook() {
  description.Clear();
  const Settings& s = settings_;
  coverPage.fileName = s.coverFileName;
  coverPage.coverMode = static_cast<decltype(coverPage.coverMode)>(s.coverColors);
  coverPage.enlarge = s.enlargeCover;
  coverPage.margins.left = s.coverLeft;
  coverPage.margins.right = s.coverRight;
  coverPage.margins.top = s.coverTop;
  coverPage.margins.bottom = s.coverBottom;
  fileList.Clear();
  bookSettings_ = settings_.bookDefaults;
  RefreshFileList();
  SetModified(false);
  UpdatePreview();
}

void MainWindow::MakeBook(const std::u16string& fileName) {
  try {
    buildDialog->Run(fileName, fileList, description, coverPage);
  } catch (const BuildCancelledError&) {
    return;  // the user stopped it: the old book stays, there is nothing to report
  }
  if (!buildDialog->Warnings().empty())
    messages_.ShowWarnings(tr("The book was made with warnings").toStdU16String(), buildDialog->Warnings());
}

void MainWindow::OnAddFile() {
  const std::vector<std::u16string> files = messages_.OpenFiles(addFileFilter_);
  if (!files.empty()) AddFiles(files);
}

void MainWindow::OnRemoveFile() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() > 1 &&
      !messages_.Confirm(tr("Remove selected %n files from list?", nullptr, static_cast<int>(selected.size()))
                             .toStdU16String()))
    return;
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) fileList.Delete(*row);
  // The rows now hold other files: none of them stays selected.
  fileListView->selectionModel()->clearSelection();
  RefreshFileList();
  SetModified(true);
}

void MainWindow::MoveCurrentFile(int offset) {
  const std::vector<int> selected = SelectedRows();
  const int from = selected.front(), to = from + offset;
  fileList.Exchange(from, to);
  RefreshFileList();
  SetModified(true);
  QItemSelectionModel* selection = fileListView->selectionModel();
  selection->select(model_->index(from, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
  selection->setCurrentIndex(model_->index(to, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void MainWindow::OnMoveFileUp() { MoveCurrentFile(-1); }

void MainWindow::OnMoveFileDown() { MoveCurrentFile(+1); }

void MainWindow::OnClearAll() {
  if (!messages_.Confirm(tr("Clear all sets and start new Wolf?").toStdU16String())) return;
  NewBook();
  if (!projectFileName_.empty()) SetModified(true);  // the open project now holds nothing
}

void MainWindow::OnEditDescription() {
  if (descriptionDialog->Execute(description)) SetModified(true);
}

void MainWindow::OnEditCoverPage() {
  if (!coverPageDialog->Execute(coverPage)) return;
  SetModified(true);
  UpdatePreview();
}

void MainWindow::OnMakeWolf() {
  const std::u16string fileName =
      messages_.SaveFile(tr("Choose target name").toStdU16String(),
                         tr("Wolf Files|*.wol|All Files|*.*").toStdU16String(), u"wol");
  if (!fileName.empty()) MakeBook(fileName);
}

void MainWindow::OnAbout() { aboutDialog->Execute(); }

void MainWindow::closeEvent(QCloseEvent* event) {
  bool closing = true;
  ReportErrors(messages_, [&] { closing = SaveIfWanted(); });
  if (!closing) {
    event->ignore();
    return;
  }
  Settings& s = settings_;
  s.windowLeft = x();
  s.windowTop = y();
  s.windowWidth = width();
  s.windowHeight = height();
  // A settings file that cannot be written is reported; the window closes all the same.
  ReportErrors(messages_, [&] { SaveSettings(s, settingsFileName_); });
  event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

// Files and folders dropped onto the window are added as the command line's make adds them.
void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::u16string> files = LocalFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  ReportErrors(messages_, [&] { AddInputs(files); });
}

}  // namespace bookloom
