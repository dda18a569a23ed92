#include "ui/fMain.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressDialog>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "project/cBlmFileItemRegister.h"
#include "project/uGlobals.h"
#include "project/uMakeWolf.h"
#include "ui/fAbout.h"
#include "ui/fEditBookDescription.h"
#include "ui/fmEditBookCoverPage.h"
#include "ui/uAppearance.h"
#include "ui/uFileListModel.h"
#include "ui/uMessages.h"

namespace bookloom {

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

const QRect kDefaultBounds(160, 181, 697, 426);
constexpr int kPanelWidth = 188;
constexpr int kFileNameWidth = 150, kSizeWidth = 100, kPathWidth = 200;

// A large panel button that carries an action: icon and caption, and a tooltip only when the
// action has a hint.
class TLargeButton : public QToolButton {
 public:
  TLargeButton(QAction* action, int top, QWidget* panel) : QToolButton(panel) {
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

TfrmMain::TfrmMain(TMessages& messages, const std::u16string& executablePath, QWidget* parent)
    : QMainWindow(parent), messages_(messages), settingsFileName_(SettingsPathFor(executablePath)) {
  setWindowTitle(QStringLiteral("Bookloom"));
  setWindowIcon(QIcon(Emblem(48)));
  setFont(WindowFont());
  setMinimumSize(500, 300);
  setAcceptDrops(true);

  CreateActions();
  CreateMenus();
  CreateClientArea();

  LoadSettings(Settings(), settingsFileName_);
  const TSettings& s = Settings();
  QRect bounds = kDefaultBounds;
  if (s.FormXPos >= 0) bounds.moveLeft(s.FormXPos);
  if (s.FormYPos >= 0) bounds.moveTop(s.FormYPos);
  if (s.FormXLen > 0) bounds.setWidth(s.FormXLen);
  if (s.FormYLen > 0) bounds.setHeight(s.FormYLen);
  move(bounds.topLeft());
  resize(bounds.size());

  addFileFilter_ = FileItemFormats().BuildFilter(1, GroupByClass | AllSupported, nullptr);
  NewBook();

  frmEditBookDescription = new TfrmEditBookDescription(messages_, this);
  frmAbout = new TfrmAbout(executablePath, this);
  frmEditBookCoverPage = new TfrmEditBookCoverPage(messages_, this);

  connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, this,
          &TfrmMain::UpdateActions);
  UpdateActions();
}

TfrmMain::~TfrmMain() {
  QAbstractEventDispatcher::instance()->disconnect(this);
  // The list view outlives the file list by a little while the window is taken down: it must
  // find no rows to draw by then.
  model_->SetRowCount(0);
}

void TfrmMain::CreateActions() {
  struct ActionSetup {
    QAction** action;
    const char* caption;
    const char* hint;
    QKeySequence shortcut;
    const char* themeIcon;  // nullptr: no icon
    QStyle::StandardPixmap standardIcon;
  };
  const ActionSetup setups[] = {
      {&actAddFile, "Add File", "Add file(s) to list", QKeySequence(Qt::CTRL | Qt::Key_Insert), "list-add",
       QStyle::SP_FileDialogNewFolder},
      {&actRemoveFile, "Remove File", "Remove file(s) from list", QKeySequence(Qt::CTRL | Qt::Key_Delete),
       "list-remove", QStyle::SP_TrashIcon},
      {&actMoveFileUp, "Move File Up", "Move file up", QKeySequence(Qt::CTRL | Qt::Key_Up), "go-up",
       QStyle::SP_ArrowUp},
      {&actMoveFileDown, "Move File Down", "Move file down", QKeySequence(Qt::CTRL | Qt::Key_Down), "go-down",
       QStyle::SP_ArrowDown},
      {&actFileSettings,
       "File Settings",
       "Set individual settings for file",
       {},
       "document-properties",
       QStyle::SP_FileDialogContentsView},
      {&actClearAll, "Clear All", "", {}, nullptr, {}},
      {&actExit, "Exit", "", {}, "application-exit", QStyle::SP_DialogCloseButton},
      {&actEditTOC, "Table of contents", "", {}, "format-justify-left", QStyle::SP_FileDialogDetailedView},
      {&actEditDescription, "Description", "", {}, "document-edit", QStyle::SP_FileDialogInfoView},
      {&actEditCoverPage, "Cover Page", "", {}, "image-x-generic", QStyle::SP_FileIcon},
      {&actMakeWolf, "Make Wolf", "", {}, "document-save", QStyle::SP_DialogSaveButton},
      {&actHelpAbout, "About", "", {}, "help-about", QStyle::SP_DialogHelpButton},
  };
  for (const ActionSetup& setup : setups) {
    auto* action = new QAction(QString::fromLatin1(setup.caption), this);
    const QString hint = QString::fromLatin1(setup.hint);
    action->setToolTip(hint.isEmpty() ? action->text() : hint);
    action->setStatusTip(hint);
    action->setShortcut(setup.shortcut);
    if (setup.themeIcon) action->setIcon(ActionIcon(setup.themeIcon, setup.standardIcon));
    *setup.action = action;
    addAction(action);  // shortcuts work wherever the focus is in the window
  }
  OnTriggered(actAddFile, &TfrmMain::actAddFileExecute);
  OnTriggered(actRemoveFile, &TfrmMain::actRemoveFileExecute);
  OnTriggered(actMoveFileUp, &TfrmMain::actMoveFileUpExecute);
  OnTriggered(actMoveFileDown, &TfrmMain::actMoveFileDownExecute);
  OnTriggered(actClearAll, &TfrmMain::actClearAllExecute);
  OnTriggered(actEditDescription, &TfrmMain::actEditDescriptionExecute);
  OnTriggered(actEditCoverPage, &TfrmMain::actEditCoverPageExecute);
  OnTriggered(actMakeWolf, &TfrmMain::actMakeWolfExecute);
  OnTriggered(actHelpAbout, &TfrmMain::actHelpAboutExecute);
}

void TfrmMain::OnTriggered(QAction* action, void (TfrmMain::*handler)()) {
  connect(action, &QAction::triggered, this,
          [this, handler] { ReportErrors(messages_, [&] { (this->*handler)(); }); });
}

void TfrmMain::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("File"));
  file->addActions({actAddFile, actRemoveFile});
  file->addSeparator();
  file->addActions({actMoveFileUp, actMoveFileDown});
  file->addSeparator();
  file->addAction(actFileSettings);
  file->addSeparator();
  file->addAction(actClearAll);
  file->addSeparator();
  file->addAction(actExit);
  QMenu* wolf = menuBar()->addMenu(QStringLiteral("Wolf"));
  wolf->addActions({actEditTOC, actEditDescription, actEditCoverPage});
  wolf->addSeparator();
  wolf->addAction(actMakeWolf);
  QMenu* help = menuBar()->addMenu(QStringLiteral("Help"));
  help->addAction(actHelpAbout);
}

void TfrmMain::CreateClientArea() {
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
  toolBar->addActions({actAddFile, actRemoveFile});
  toolBar->addSeparator();
  toolBar->addActions({actMoveFileUp, actMoveFileDown});
  toolBar->addSeparator();
  toolBar->addAction(actFileSettings);
  for (QAction* action : toolBar->actions())
    if (!action->isSeparator()) toolBar->widgetForAction(action)->setFixedSize(26, 26);
  rows->addWidget(toolBar);

  model_ = new TFileListModel(
      [this](int row) {
        const TBlmFileItem& item = FileList.Items(row);
        return TFileListModel::Row{Q(item.ShortName()), Q(item.SizeText()), Q(item.Folder())};
      },
      this);
  lvwFileList = new QTreeView(left);
  lvwFileList->setModel(model_);
  lvwFileList->setRootIsDecorated(false);
  lvwFileList->setItemsExpandable(false);
  lvwFileList->setUniformRowHeights(true);
  lvwFileList->setAllColumnsShowFocus(true);
  lvwFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lvwFileList->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwFileList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lvwFileList->setSortingEnabled(false);
  QHeaderView* header = lvwFileList->header();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setStretchLastSection(false);
  header->resizeSection(0, kFileNameWidth);
  header->resizeSection(1, kSizeWidth);
  header->resizeSection(2, kPathWidth);
  // The selection stays as visible when the list loses the focus.
  QPalette palette = lvwFileList->palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  lvwFileList->setPalette(palette);
  rows->addWidget(lvwFileList, 1);
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
  for (QAction* action : {actEditTOC, actEditDescription, actEditCoverPage, actMakeWolf}) {
    new TLargeButton(action, top, panel);
    top += 48;
  }
  columns->addWidget(panel);
  setCentralWidget(client);
}

std::vector<int> TfrmMain::SelectedRows() const {
  std::vector<int> rows;
  for (const QModelIndex& index : lvwFileList->selectionModel()->selectedRows()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TfrmMain::UpdateActions() {
  const std::vector<int> selected = SelectedRows();
  const bool one = selected.size() == 1;
  actAddFile->setEnabled(true);
  actRemoveFile->setEnabled(!selected.empty());
  actMoveFileUp->setEnabled(one && selected.front() > 0);
  actMoveFileDown->setEnabled(one && selected.front() < FileList.Count() - 1);
  actClearAll->setEnabled(true);
  actEditDescription->setEnabled(true);
  actEditCoverPage->setEnabled(true);
  actMakeWolf->setEnabled(model_->rowCount() > 0);
  actHelpAbout->setEnabled(true);
  // Actions without an operation.
  actFileSettings->setEnabled(false);
  actExit->setEnabled(false);
  actEditTOC->setEnabled(false);
}

void TfrmMain::RefreshFileList() {
  model_->SetRowCount(FileList.Count());
  lvwFileList->viewport()->update();
}

void TfrmMain::AddFile(const std::u16string& fileName) {
  if (!FileExists(fileName)) return;
  const TBlmFileItemClass* itemClass = FileItemFormats().FindItemClass(fileName);
  if (!itemClass) return;
  std::unique_ptr<TBlmFileItem> item = itemClass->Create(fileName);
  item->Verify();
  FileList.Add(std::move(item));
}

void TfrmMain::AddFiles(const std::vector<std::u16string>& fileNames) {
  try {
    for (const auto& fileName : fileNames) AddFile(fileName);
  } catch (...) {
    RefreshFileList();
    throw;
  }
  RefreshFileList();
}

void TfrmMain::NewBook() {
  Description.Clear();
  const TSettings& s = Settings();
  CoverPage.FileName = s.CoverFileName;
  CoverPage.CoverMode = static_cast<decltype(CoverPage.CoverMode)>(s.CoverColors);
  CoverPage.Enlarge = s.EnlargeCover;
  CoverPage.MarginLeft = s.CoverLeft;
  CoverPage.MarginRight = s.CoverRight;
  CoverPage.MarginTop = s.CoverTop;
  CoverPage.MarginBottom = s.CoverBottom;
  FileList.Clear();
  RefreshFileList();
}

void TfrmMain::MakeWolf(const std::u16string& fileName) {
  QProgressDialog progress(this);
  progress.setWindowTitle(QStringLiteral("Make Wolf"));
  progress.setCancelButton(nullptr);
  progress.setWindowModality(Qt::ApplicationModal);
  progress.setMinimumDuration(0);
  progress.setRange(0, FileList.Count());
  progress.setMinimumWidth(360);
  progress.show();
  bookloom::MakeWolf(fileName, FileList, Description, CoverPage,
                     [&progress](int index, int count, const TBlmFileItem& item) {
                       progress.setLabelText(QString::fromStdString(
                           Format("Writing file %d of %d: %s", {index + 1, count, item.ShortName()})));
                       progress.setValue(index);
                       QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                     });
}

void TfrmMain::actAddFileExecute() {
  const std::vector<std::u16string> files = messages_.OpenFiles(addFileFilter_);
  if (!files.empty()) AddFiles(files);
}

void TfrmMain::actRemoveFileExecute() {
  const std::vector<int> selected = SelectedRows();
  if (selected.size() > 1 && !messages_.Confirm(Utf8ToUtf16(Format("Remove selected %d files from list?",
                                                                   {static_cast<int>(selected.size())}))))
    return;
  for (auto row = selected.rbegin(); row != selected.rend(); ++row) FileList.Delete(*row);
  // The rows now hold other files: none of them stays selected.
  lvwFileList->selectionModel()->clearSelection();
  RefreshFileList();
}

void TfrmMain::MoveCurrentFile(int offset) {
  const std::vector<int> selected = SelectedRows();
  const int from = selected.front(), to = from + offset;
  FileList.Exchange(from, to);
  RefreshFileList();
  QItemSelectionModel* selection = lvwFileList->selectionModel();
  selection->select(model_->index(from, 0), QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
  selection->setCurrentIndex(model_->index(to, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TfrmMain::actMoveFileUpExecute() { MoveCurrentFile(-1); }

void TfrmMain::actMoveFileDownExecute() { MoveCurrentFile(+1); }

void TfrmMain::actClearAllExecute() {
  if (messages_.Confirm(u"Clear all sets and start new Wolf?")) NewBook();
}

void TfrmMain::actEditDescriptionExecute() { frmEditBookDescription->Execute(Description); }

void TfrmMain::actEditCoverPageExecute() { frmEditBookCoverPage->Execute(CoverPage); }

void TfrmMain::actMakeWolfExecute() {
  const std::u16string fileName =
      messages_.SaveFile(u"Choose target name", u"Wolf Files|*.wol|All Files|*.*", u"wol");
  if (!fileName.empty()) MakeWolf(fileName);
}

void TfrmMain::actHelpAboutExecute() { frmAbout->Execute(); }

void TfrmMain::closeEvent(QCloseEvent* event) {
  TSettings& s = Settings();
  s.FormXPos = x();
  s.FormYPos = y();
  s.FormXLen = width();
  s.FormYLen = height();
  // A settings file that cannot be written is reported; the window closes all the same.
  ReportErrors(messages_, [&] { SaveSettings(s, settingsFileName_); });
  event->accept();
}

void TfrmMain::dragEnterEvent(QDragEnterEvent* event) {
  if (!LocalFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

// Files dropped onto the window are added as "Add File" adds them.
void TfrmMain::dropEvent(QDropEvent* event) {
  const std::vector<std::u16string> files = LocalFiles(event->mimeData());
  if (files.empty()) return;
  event->acceptProposedAction();
  ReportErrors(messages_, [&] { AddFiles(files); });
}

}  // namespace bookloom
