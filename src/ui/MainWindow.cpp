#include "ui/MainWindow.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDockWidget>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUndoStack>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "book/BookBuild.h"
#include "book/FileTypes.h"
#include "book/InputFiles.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "ui/AboutDialog.h"
#include "ui/Appearance.h"
#include "ui/BuildDialog.h"
#include "ui/CoreTexts.h"
#include "ui/CoverPageDialog.h"
#include "ui/DescriptionDialog.h"
#include "ui/FileListCommands.h"
#include "ui/FileListModel.h"
#include "ui/PreviewPane.h"
#include "ui/QtText.h"
#include "ui/Settings.h"
#include "ui/UserDialogs.h"

namespace bookloom {

namespace {

// The window's first size and the list's column widths, in average character widths and lines of
// the desktop's font.
constexpr int kWindowColumns = 140, kWindowLines = 36;
constexpr int kFileNameColumns = 24, kSizeColumns = 10;
// The preview dock's first width, in average character widths.
constexpr int kPreviewColumns = 36;

// A large panel button that carries an action: icon and caption, and a tooltip only when the
// action has a hint.
class LargeButton : public QToolButton {
 public:
  LargeButton(QAction* action, QWidget* panel) : QToolButton(panel) {
    setDefaultAction(action);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setIconSize(QSize(32, 32));
    setAutoRaise(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
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

// Why an input is refused, in the window's language: its name, then the reason.
std::u16string InputProblem(const InputError& error) {
  return (Q(error.FileName()) + QStringLiteral(": ") + CoreText(error.Reason())).toStdU16String();
}

// The local files among dropped data.
std::vector<std::u16string> LocalFiles(const QMimeData* data) {
  std::vector<std::u16string> files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdU16String());
  return files;
}

}  // namespace

MainWindow::MainWindow(const Runtime& runtime, UserDialogs& messages, const std::u16string& executablePath,
                       QWidget* parent)
    : QMainWindow(parent), runtime_(runtime), messages_(messages), settingsFile_(UserSettingsPath()) {
  setWindowTitle(QStringLiteral("Bookloom"));
  setWindowIcon(QIcon::fromTheme(QStringLiteral("bookloom"), QIcon(Emblem(48))));
  setAcceptDrops(true);

  undoStack_ = new QUndoStack(this);
  connect(undoStack_, &QUndoStack::cleanChanged, this, [this] { UpdateTitle(); });
  CreateActions();
  CreateClientArea();
  CreatePreview();
  CreateMenus();
  builtLabel_ = new QLabel(this);
  builtLabel_->setTextFormat(Qt::RichText);
  builtLabel_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
  connect(builtLabel_, &QLabel::linkActivated, this,
          [](const QString& folder) { QDesktopServices::openUrl(QUrl(folder)); });
  statusBar()->addWidget(builtLabel_, 1);

  LoadUserSettings(settings_, settingsFile_, SettingsPathFor(executablePath));
  const Settings& s = settings_;
  const QFontMetrics metrics = fontMetrics();
  QSize size(metrics.averageCharWidth() * kWindowColumns, metrics.lineSpacing() * kWindowLines);
  if (s.windowWidth > 0) size.setWidth(s.windowWidth);
  if (s.windowHeight > 0) size.setHeight(s.windowHeight);
  resize(size);
  // The window manager places a new window; one placed before goes back where it was.
  if (s.windowLeft >= 0 && s.windowTop >= 0) move(s.windowLeft, s.windowTop);
  resizeDocks({previewDock_}, {metrics.averageCharWidth() * kPreviewColumns}, Qt::Horizontal);

  addFileFilter_ = FileTypesFilter(1, kGroupByClass | kAllSupported, nullptr);
  NewBook();

  descriptionDialog = new DescriptionDialog(messages_, this);
  aboutDialog = new AboutDialog(this);
  coverPageDialog = new CoverPageDialog(runtime_, messages_, this);
  buildDialog = new BuildDialog(this);
  connect(buildDialog, &BuildDialog::FileRead, this, &MainWindow::NoteFileRead);
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
      {&newProjectAction, QT_TR_NOOP("&New"), QT_TR_NOOP("Start a new book"), QKeySequence::New,
       "document-new", QStyle::SP_FileIcon},
      {&openProjectAction, QT_TR_NOOP("&Open…"), QT_TR_NOOP("Open a book project, or a Wolf book to read"),
       QKeySequence::Open, "document-open", QStyle::SP_DialogOpenButton},
      {&saveProjectAction, QT_TR_NOOP("&Save Project"), QT_TR_NOOP("Save the book project"),
       QKeySequence::Save, "document-save", QStyle::SP_DialogSaveButton},
      {&saveProjectAsAction, QT_TR_NOOP("Save Project &As…"),
       QT_TR_NOOP("Save the book project under a new name"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       "document-save-as", QStyle::SP_DialogSaveButton},
      {&addFileAction, QT_TR_NOOP("&Add Files…"), QT_TR_NOOP("Add files to the book"),
       QKeySequence(Qt::CTRL | Qt::Key_Insert), "list-add", QStyle::SP_FileDialogNewFolder},
      {&addFolderAction,
       QT_TR_NOOP("Add F&older…"),
       QT_TR_NOOP("Add the pictures and texts of a folder as one file"),
       {},
       "folder-new",
       QStyle::SP_DirIcon},
      {&removeFileAction, QT_TR_NOOP("&Remove Files"), QT_TR_NOOP("Remove the selected files from the book"),
       QKeySequence::Delete, "list-remove", QStyle::SP_TrashIcon},
      {&moveFileUpAction, QT_TR_NOOP("Move &Up"), QT_TR_NOOP("Move the selected files up"),
       QKeySequence(Qt::CTRL | Qt::Key_Up), "go-up", QStyle::SP_ArrowUp},
      {&moveFileDownAction, QT_TR_NOOP("Move &Down"), QT_TR_NOOP("Move the selected files down"),
       QKeySequence(Qt::CTRL | Qt::Key_Down), "go-down", QStyle::SP_ArrowDown},
      {&fileSettingsAction, QT_TR_NOOP("File &Settings…"), QT_TR_NOOP("Set individual settings for file"),
       QKeySequence(Qt::Key_F2), "document-properties", QStyle::SP_FileDialogContentsView},
      {&bookSettingsAction,
       QT_TR_NOOP("&Book Settings…"),
       QT_TR_NOOP("Settings of every file without its own"),
       {},
       "preferences-other",
       QStyle::SP_FileDialogListView},
      {&exitAction, QT_TR_NOOP("E&xit"), "", QKeySequence(Qt::CTRL | Qt::Key_Q), "application-exit",
       QStyle::SP_DialogCloseButton},
      {&tocAction,
       QT_TR_NOOP("&Table of Contents…"),
       "",
       {},
       "format-justify-left",
       QStyle::SP_FileDialogDetailedView},
      {&descriptionAction,
       QT_TR_NOOP("&Description…"),
       "",
       {},
       "document-edit",
       QStyle::SP_FileDialogInfoView},
      {&coverPageAction, QT_TR_NOOP("&Cover Page…"), "", {}, "image-x-generic", QStyle::SP_FileIcon},
      {&makeWolfAction, QT_TR_NOOP("&Make Wolf…"), "", {}, "document-save", QStyle::SP_DialogSaveButton},
      {&aboutAction, QT_TR_NOOP("&About Bookloom"), "", {}, "help-about", QStyle::SP_DialogHelpButton},
  };
  for (const ActionSetup& setup : setups) {
    auto* action = new QAction(tr(setup.caption), this);
    const QString hint = *setup.hint ? tr(setup.hint) : QString();
    action->setToolTip(hint.isEmpty() ? action->iconText() : hint);
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
  OnTriggered(addFolderAction, &MainWindow::OnAddFolder);
  connect(exitAction, &QAction::triggered, this, &QWidget::close);
  undoAction = undoStack_->createUndoAction(this, tr("&Undo"));
  undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  undoAction->setIcon(ActionIcon("edit-undo", QStyle::SP_ArrowBack));
  redoAction = undoStack_->createRedoAction(this, tr("&Redo"));
  redoAction->setShortcuts(
      {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  redoAction->setIcon(ActionIcon("edit-redo", QStyle::SP_ArrowForward));
  addActions({undoAction, redoAction});
  // Ctrl+Delete as before, beside the desktop's Delete.
  removeFileAction->setShortcuts({QKeySequence::Delete, QKeySequence(Qt::CTRL | Qt::Key_Delete)});
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
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addActions({newProjectAction, openProjectAction});
  recentMenu_ = file->addMenu(tr("Open &Recent"));
  file->addActions({saveProjectAction, saveProjectAsAction});
  file->addSeparator();
  file->addActions({addFileAction, addFolderAction, removeFileAction});
  file->addSeparator();
  file->addActions({moveFileUpAction, moveFileDownAction});
  file->addSeparator();
  file->addAction(fileSettingsAction);
  file->addSeparator();
  file->addAction(exitAction);
  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  edit->addActions({undoAction, redoAction});
  QMenu* wolf = menuBar()->addMenu(tr("&Wolf"));
  wolf->addActions({tocAction, descriptionAction, coverPageAction, bookSettingsAction});
  wolf->addSeparator();
  wolf->addAction(makeWolfAction);
  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(previewDock_->toggleViewAction());
  QMenu* help = menuBar()->addMenu(tr("&Help"));
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
  toolBar->addActions({addFileAction, addFolderAction, removeFileAction});
  toolBar->addSeparator();
  toolBar->addActions({moveFileUpAction, moveFileDownAction});
  toolBar->addSeparator();
  toolBar->addAction(fileSettingsAction);
  rows->addWidget(toolBar);

  model_ = new FileListModel(
      [this](int row) {
        const FileItem& item = fileList.Items(row);
        const FileKind kind = KindOf(item.FileName());
        const auto damage = damaged_.find(item.FileName());
        const QString problem = kind == FileKind::kMissing ? tr("The file is gone")
                                : kind == FileKind::kOther ? tr("The file is not a regular file")
                                : damage != damaged_.end()
                                    ? tr("The file cannot be read: %1").arg(damage->second)
                                    : QString();
        return FileListModel::Row{
            {Q(item.ShortName()), SizeText(item.Size()), Q(item.Folder())}, SettingsTip(item), problem};
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
  // Files are dragged to another place in the list; files dropped from outside go to the window.
  fileListView->setDragEnabled(true);
  fileListView->setAcceptDrops(true);
  fileListView->setDropIndicatorShown(true);
  fileListView->setDragDropMode(QAbstractItemView::DragDrop);
  fileListView->setDefaultDropAction(Qt::MoveAction);
  connect(model_, &FileListModel::RowsDropped, this, &MainWindow::MoveFilesBefore);
  fileListView->setSortingEnabled(false);
  QHeaderView* header = fileListView->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->setStretchLastSection(true);
  header->resizeSection(0, fileListView->fontMetrics().averageCharWidth() * kFileNameColumns);
  // The size column holds the widest size in the window's language ("1024.0 MB") with room around it.
  const QFontMetrics listMetrics = fileListView->fontMetrics();
  header->resizeSection(1, std::max(listMetrics.averageCharWidth() * kSizeColumns,
                                    listMetrics.horizontalAdvance(SizeText((int64_t{1} << 30) - 1)) +
                                        listMetrics.averageCharWidth() * 3));
  // The list's own menu and keys: Enter opens the file's settings, as a double click does.
  fileListView->setContextMenuPolicy(Qt::ActionsContextMenu);
  const auto separator = [this] {
    auto* action = new QAction(this);
    action->setSeparator(true);
    return action;
  };
  fileListView->addActions({addFileAction, addFolderAction, removeFileAction, separator(), moveFileUpAction,
                            moveFileDownAction, separator(), fileSettingsAction});
  for (const int key : {Qt::Key_Return, Qt::Key_Enter})
    connect(new QShortcut(QKeySequence(key), fileListView, nullptr, nullptr, Qt::WidgetShortcut),
            &QShortcut::activated, this, [this] {
              UpdateActions();
              fileSettingsAction->trigger();  // only when it is enabled
            });
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
  columns->addWidget(divider);

  auto* panel = new QWidget(client);
  auto* buttons = new QVBoxLayout(panel);
  for (QAction* action : {tocAction, descriptionAction, coverPageAction, makeWolfAction})
    buttons->addWidget(new LargeButton(action, panel));
  buttons->addStretch(1);
  columns->addWidget(panel);
  setCentralWidget(client);
}

void MainWindow::CreatePreview() {
  previewPane = new PreviewPane(runtime_, this);
  previewDock_ = new QDockWidget(tr("Page Preview"), this);
  previewDock_->setObjectName(QStringLiteral("PagePreview"));
  previewDock_->setWidget(previewPane);
  addDockWidget(Qt::RightDockWidgetArea, previewDock_);
  connect(fileListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &MainWindow::UpdatePreview);
  connect(previewPane, &PreviewPane::FileRead, this, &MainWindow::NoteFileRead);
}

void MainWindow::NoteFileRead(const std::u16string& fileName, const QString& damage) {
  const auto known = damaged_.find(fileName);
  if (damage.isEmpty() ? known == damaged_.end() : known != damaged_.end() && known->second == damage) return;
  if (damage.isEmpty())
    damaged_.erase(known);
  else
    damaged_[fileName] = damage;
  RefreshFileList();
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
  removeFileAction->setEnabled(!selected.empty());
  moveFileUpAction->setEnabled(!selected.empty() && selected.front() > 0);
  moveFileDownAction->setEnabled(!selected.empty() && selected.back() < fileList.Count() - 1);
  makeWolfAction->setEnabled(model_->rowCount() > 0);
  tocAction->setEnabled(fileList.Count() > 0);
  fileSettingsAction->setEnabled(one);
}

void MainWindow::RefreshFileList() {
  model_->SetRowCount(fileList.Count());
  fileListView->viewport()->update();
}

std::vector<std::unique_ptr<FileItem>> MainWindow::MakeInputs(const std::vector<std::u16string>& fileNames,
                                                              std::vector<std::u16string>& problems,
                                                              std::vector<std::u16string>& refused) const {
  std::vector<std::unique_ptr<FileItem>> items;
  for (const std::u16string& fileName : fileNames) {
    try {
      items.push_back(MakeInputItem(runtime_, fileName, bookSettings_));
    } catch (const InputError& e) {
      problems.push_back(InputProblem(e));
      refused.push_back(fileName);
    }
  }
  return items;
}

void MainWindow::AddInputs(const std::vector<std::u16string>& fileNames) {
  std::vector<std::u16string> problems, refused;
  std::vector<std::unique_ptr<FileItem>> added = MakeInputs(fileNames, problems, refused);
  bool skipping = false;
  if (!refused.empty() && !bookSettings_.skipBadParts) {
    // Inputs that only some damaged pages or pictures keep out can come in without them.
    FileSettings skippingSettings = bookSettings_;
    skippingSettings.skipBadParts = true;
    int damaged = 0;
    for (const std::u16string& fileName : refused) {
      try {
        MakeInputItem(runtime_, fileName, skippingSettings);
        ++damaged;
      } catch (const InputError&) {
      }
    }
    skipping = OfferToSkipBad(damaged);
    if (skipping) {
      // Leaving them out is a book setting: undoing the adding takes it back too.
      undoStack_->beginMacro(tr("Add Files"));
      undoStack_->push(
          new SetValueCommand<FileSettings>(tr("Book Settings"), bookSettings_, skippingSettings,
                                            [this](const FileSettings& s) { SetBookSettings(s); }));
      problems.clear();
      refused.clear();
      added = MakeInputs(fileNames, problems, refused);
    }
  }
  if (!added.empty()) {
    std::vector<int> rows(added.size());
    std::iota(rows.begin(), rows.end(), fileList.Count());
    undoStack_->push(new PlaceFilesCommand(tr("Add Files"), fileList, std::move(rows), std::move(added),
                                           ListEditedCallback()));
  }
  if (skipping) undoStack_->endMacro();
  if (!problems.empty())
    messages_.ShowWarnings(
        tr("%n of the files cannot be used and were not added", nullptr, static_cast<int>(problems.size()))
            .toStdU16String(),
        problems);
}

bool MainWindow::OfferToSkipBad(int damaged) {
  return damaged > 0 &&
         messages_.Confirm(tr("%n of the files hold damaged pages or pictures. Leave those out of the book?",
                              nullptr, damaged)
                               .toStdU16String());
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
  undoStack_->clear();  // before the files its edits hold on to go
  fileList.Clear();
  damaged_.clear();
  bookSettings_ = settings_.bookDefaults;
  RefreshFileList();
  MarkSaved();
  UpdatePreview();
}

void MainWindow::MakeBook(const std::u16string& fileName) {
  try {
    buildDialog->Run(runtime_, fileName, fileList, description, coverPage);
  } catch (const BuildCancelledError&) {
    return;  // the user stopped it: the old book stays, there is nothing to report
  }
  ShowBuilt(fileName);
  if (!buildDialog->Warnings().empty())
    messages_.ShowWarnings(tr("The book was made with warnings").toStdU16String(), buildDialog->Warnings());
}

void MainWindow::ShowBuilt(const std::u16string& fileName) {
  const QFileInfo book(Q(fileName));
  const QString folder = QUrl::fromLocalFile(book.absolutePath()).toString();
  builtLabel_->setText(
      tr("Wrote %1 (%n file(s)).", nullptr, fileList.Count()).arg(book.fileName().toHtmlEscaped()) +
      QStringLiteral(" <a href=\"%1\">%2</a>").arg(folder.toHtmlEscaped(), tr("Show in folder")));
}

void MainWindow::OnAddFile() {
  const std::vector<std::u16string> files = messages_.OpenFiles(addFileFilter_);
  if (!files.empty()) AddInputs(files);
}

void MainWindow::OnAddFolder() {
  const std::u16string folder = messages_.OpenFolder(tr("Add Folder").toStdU16String());
  if (!folder.empty()) AddInputs({folder});
}

void MainWindow::SelectRows(const std::vector<int>& rows) {
  QItemSelectionModel* selection = fileListView->selectionModel();
  QItemSelection wanted;
  for (int row : rows) wanted.select(model_->index(row, 0), model_->index(row, model_->columnCount() - 1));
  selection->select(wanted, QItemSelectionModel::ClearAndSelect);
  if (!rows.empty())
    selection->setCurrentIndex(model_->index(rows.front(), 0), QItemSelectionModel::NoUpdate);
}

void MainWindow::OnRemoveFile() {
  const std::vector<int> selected = SelectedRows();
  if (selected.empty()) return;
  if (selected.size() > 1 &&
      !messages_.Confirm(tr("Remove selected %n files from list?", nullptr, static_cast<int>(selected.size()))
                             .toStdU16String()))
    return;
  undoStack_->push(new PlaceFilesCommand(tr("Remove Files"), fileList, selected, ListEditedCallback()));
}

std::function<void(const std::vector<int>&)> MainWindow::ListEditedCallback() {
  return [this](const std::vector<int>& rows) { ListEdited(rows); };
}

void MainWindow::ListEdited(const std::vector<int>& rows) {
  RefreshFileList();
  UpdateTitle();
  SelectRows(rows);
}

void MainWindow::ReorderAsEdit(std::vector<int> order, std::vector<int> selected) {
  undoStack_->push(new ReorderFilesCommand(tr("Move Files"), fileList, std::move(order), SelectedRows(),
                                           std::move(selected), ListEditedCallback()));
}

void MainWindow::MoveSelectedFiles(int offset) {
  std::vector<int> selected = SelectedRows();
  if (selected.empty()) return;
  if (offset < 0 ? selected.front() == 0 : selected.back() == fileList.Count() - 1) return;
  // Each file passes the one beside it; taken from the side they move to, so none passes another.
  std::vector<int> order(static_cast<size_t>(fileList.Count()));
  std::iota(order.begin(), order.end(), 0);
  if (offset > 0) std::reverse(selected.begin(), selected.end());
  for (int& row : selected) {
    std::swap(order[static_cast<size_t>(row)], order[static_cast<size_t>(row + offset)]);
    row += offset;
  }
  std::sort(selected.begin(), selected.end());
  ReorderAsEdit(std::move(order), std::move(selected));
}

void MainWindow::MoveFilesBefore(const std::vector<int>& rows, int before) {
  // The new order as the old rows: those that stay, with the moved ones where they were dropped.
  std::vector<int> order;
  for (int row = 0; row < fileList.Count(); ++row)
    if (!std::binary_search(rows.begin(), rows.end(), row)) order.push_back(row);
  const auto at = std::lower_bound(order.begin(), order.end(), before);
  const int first = static_cast<int>(at - order.begin());
  order.insert(at, rows.begin(), rows.end());
  std::vector<int> moved(rows.size());
  std::iota(moved.begin(), moved.end(), first);
  ReorderAsEdit(std::move(order), std::move(moved));
}

void MainWindow::OnMoveFileUp() { MoveSelectedFiles(-1); }

void MainWindow::OnMoveFileDown() { MoveSelectedFiles(+1); }

void MainWindow::OnEditDescription() {
  BookDescription edited = description;
  if (!descriptionDialog->Execute(edited) || edited == description) return;
  undoStack_->push(new SetValueCommand<BookDescription>(
      tr("Description"), description, edited, [this](const BookDescription& d) { description = d; }));
}

void MainWindow::OnEditCoverPage() {
  CoverPage edited = coverPage;
  if (!coverPageDialog->Execute(edited) || edited == coverPage) return;
  undoStack_->push(
      new SetValueCommand<CoverPage>(tr("Cover Page"), coverPage, edited, [this](const CoverPage& c) {
        coverPage = c;
        UpdatePreview();
      }));
}

void MainWindow::OnMakeWolf() {
  const std::u16string fileName = messages_.SaveFile(tr("Choose target name").toStdU16String(),
                                                     tr("Wolf Files|*.wol|All Files|*.*").toStdU16String(),
                                                     u"wol", SuggestedName(u".wol"));
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
  try {
    QSettings store(settingsFile_, QSettings::IniFormat);
    SaveSettings(s, store);
  } catch (const WriteError&) {
    messages_.ShowError(tr("Unable to write to %1.").arg(settingsFile_).toStdU16String());
  }
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
