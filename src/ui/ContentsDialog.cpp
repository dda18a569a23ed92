#include "ui/ContentsDialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <exception>

#include "book/FileItem.h"
#include "book/TextFileItem.h"
#include "platform/Utf.h"
#include "ui/Appearance.h"
#include "ui/QtText.h"

namespace bookloom {

namespace {

constexpr int kFileRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1;  // -1 on a file's row
// The dialog's first size, in average character widths and lines of its font.
constexpr int kDialogColumns = 80, kDialogLines = 26;

}  // namespace

ContentsDialog::ContentsDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Table of contents"));
  resize(fontMetrics().averageCharWidth() * kDialogColumns, fontMetrics().lineSpacing() * kDialogLines);
  auto* columns = new QHBoxLayout;
  tree = new QTreeWidget(this);
  tree->setColumnCount(2);
  tree->setHeaderLabels({tr("Entry"), tr("Level")});
  tree->header()->setStretchLastSection(false);
  tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  tree->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  tree->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::SelectedClicked);
  tree->setSelectionMode(QAbstractItemView::SingleSelection);
  columns->addWidget(tree, 1);

  auto* buttons = new QVBoxLayout;
  levelUpButton = new QPushButton(tr("Level up"), this);
  levelUpButton->setToolTip(tr("Move the entry one level up"));
  levelDownButton = new QPushButton(tr("Level down"), this);
  levelDownButton->setToolTip(tr("Move the entry one level down, below the entry before it"));
  leaveOutButton = new QPushButton(tr("Leave out"), this);
  leaveOutButton->setToolTip(tr("Leave the entry out of the book, or put it back"));
  detectChaptersButton = new QPushButton(tr("Detect chapters"), this);
  detectChaptersButton->setToolTip(tr("Find the chapters of every text file"));
  for (QPushButton* button : {levelUpButton, levelDownButton, leaveOutButton, detectChaptersButton}) {
    button->setAutoDefault(false);
    buttons->addWidget(button);
  }
  buttons->insertSpacing(3, 12);
  buttons->addStretch(1);
  columns->addLayout(buttons);

  auto* hint = new QLabel(
      tr("Double-click an entry to rename it; clear its check to leave it out."), this);
  hint->setWordWrap(true);
  auto* box = new QDialogButtonBox(this);
  okButton = box->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
  cancelButton = box->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
  okButton->setDefault(true);
  cancelButton->setAutoDefault(false);
  PressOnEnter(*cancelButton);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* rows = new QVBoxLayout(this);
  rows->addLayout(columns, 1);
  rows->addWidget(hint);
  rows->addWidget(box);

  connect(tree, &QTreeWidget::itemChanged, this, &ContentsDialog::OnItemChanged);
  connect(tree, &QTreeWidget::currentItemChanged, this, &ContentsDialog::UpdateButtons);
  connect(levelUpButton, &QPushButton::clicked, this, [this] { Shift(-1); });
  connect(levelDownButton, &QPushButton::clicked, this, [this] { Shift(+1); });
  connect(leaveOutButton, &QPushButton::clicked, this, &ContentsDialog::OnLeaveOut);
  connect(detectChaptersButton, &QPushButton::clicked, this, &ContentsDialog::OnDetectChapters);
}

bool ContentsDialog::Execute(FileList& files) {
  list_ = &files;
  files_.clear();
  for (int i = 0; i < files.Count(); ++i) {
    FileItem& item = files.Items(i);
    item.SetOnlyInput(files.Count() == 1);  // as the build will tell it
    files_.push_back({&item, item.Settings(), item.HasOwnSettings(), {}, item.Edits(), u""});
    ListEntries(files_.back());
  }
  Fill();
  tree->setCurrentItem(tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr);
  const bool ok = exec() == QDialog::Accepted;
  bool changed = false;
  for (FileState& state : files_) {
    FileItem& item = *state.item;
    const bool settingsChanged =
        !(item.Settings() == state.settings) || item.HasOwnSettings() != state.ownSettings;
    if (!ok) {
      if (settingsChanged) item.SetSettings(state.settings, state.ownSettings);
      continue;
    }
    // Edits that fit no entry any more stay only while the entries could not be read.
    ContentsEdits edits = state.error.empty() ? FittingEdits(state.entries, state.edits) : state.edits;
    changed = changed || settingsChanged || !(edits == item.Edits());
    item.SetEdits(std::move(edits));
  }
  files_.clear();
  tree->clear();
  list_ = nullptr;
  return changed;
}

QTreeWidgetItem* ContentsDialog::EntryRow(int file, int index) const {
  for (QTreeWidgetItemIterator it(tree); *it; ++it)
    if ((*it)->data(0, kFileRole).toInt() == file && (*it)->data(0, kEntryRole).toInt() == index) return *it;
  return nullptr;
}

void ContentsDialog::ListEntries(FileState& state) {
  state.error.clear();
  try {
    state.entries = state.item->ContentsEntries();
  } catch (const std::exception& e) {
    state.entries.clear();
    state.error = Utf8ToUtf16(e.what());
  }
}

void ContentsDialog::Fill() {
  int currentFile = -1, currentEntry = -1;
  if (QTreeWidgetItem* current = tree->currentItem()) {
    currentFile = current->data(0, kFileRole).toInt();
    currentEntry = current->data(0, kEntryRole).toInt();
  }
  filling_ = true;
  tree->clear();
  QTreeWidgetItem* newCurrent = nullptr;
  for (size_t f = 0; f < files_.size(); ++f) {
    const FileState& state = files_[f];
    auto* fileRow = new QTreeWidgetItem(tree, {Q(state.item->ShortName())});
    fileRow->setData(0, kFileRole, static_cast<int>(f));
    fileRow->setData(0, kEntryRole, -1);
    fileRow->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    QFont bold = fileRow->font(0);
    bold.setBold(true);
    fileRow->setFont(0, bold);
    fileRow->setToolTip(0, Q(state.item->FileName()));
    if (static_cast<int>(f) == currentFile && currentEntry < 0) newCurrent = fileRow;
    if (!state.error.empty()) {
      auto* errorRow =
          new QTreeWidgetItem(fileRow, {tr("(cannot be read: %1)").arg(Q(state.error))});
      errorRow->setFlags(Qt::ItemIsEnabled);
      errorRow->setData(0, kFileRole, static_cast<int>(f));
      errorRow->setData(0, kEntryRole, -1);
    }
    // The rows of the last entry of each level above (the file's row for level 0): an entry stands
    // below the last one above its level.
    std::vector<QTreeWidgetItem*> parents = {fileRow};
    const std::vector<PlannedEntry> plan = PlanContents(state.entries, state.edits);
    for (size_t i = 0; i < plan.size(); ++i) {
      const int level = plan[i].level;
      while (static_cast<int>(parents.size()) > level) parents.pop_back();
      auto* row = new QTreeWidgetItem(parents.back());
      row->setData(0, kFileRole, static_cast<int>(f));
      row->setData(0, kEntryRole, static_cast<int>(i));
      row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsUserCheckable);
      ShowEntry(*row, plan[i]);
      while (static_cast<int>(parents.size()) < level) parents.push_back(parents.back());  // a level skipped
      parents.push_back(row);
      if (static_cast<int>(f) == currentFile && static_cast<int>(i) == currentEntry) newCurrent = row;
    }
  }
  tree->expandAll();
  if (newCurrent) tree->setCurrentItem(newCurrent);
  filling_ = false;
  UpdateButtons();
}

void ContentsDialog::ShowEntry(QTreeWidgetItem& row, const PlannedEntry& entry) {
  row.setText(0, Q(entry.title));
  row.setText(1, entry.level > kDeepestContentsLevel ? tr("%1 (too deep)").arg(entry.level)
                                                     : QString::number(entry.level));
  row.setCheckState(0, entry.omitted ? Qt::Unchecked : Qt::Checked);
  QFont font = row.font(0);
  font.setStrikeOut(entry.omitted);
  font.setItalic(entry.edited && !entry.omitted);
  for (int column : {0, 1}) {
    row.setFont(column, font);
    row.setForeground(column, entry.omitted || entry.level > kDeepestContentsLevel
                                  ? tree->palette().brush(QPalette::Disabled, QPalette::Text)
                                  : tree->palette().brush(QPalette::Active, QPalette::Text));
  }
  row.setToolTip(
      0, entry.title == entry.original ? QString() : tr("Originally: %1").arg(Q(entry.original)));
}

bool ContentsDialog::EntryOf(const QTreeWidgetItem* row, int& file, int& index) const {
  if (!row) return false;
  file = row->data(0, kFileRole).toInt();
  index = row->data(0, kEntryRole).toInt();
  return index >= 0 && file >= 0 && static_cast<size_t>(file) < files_.size();
}

void ContentsDialog::OnItemChanged(QTreeWidgetItem* row, int column) {
  int file = 0, index = 0;
  if (filling_ || column != 0 || !EntryOf(row, file, index)) return;
  FileState& state = files_[static_cast<size_t>(file)];
  const PlannedEntry planned = PlanContents(state.entries, state.edits)[static_cast<size_t>(index)];
  const bool omitted = row->checkState(0) == Qt::Unchecked;
  const std::u16string title = row->text(0).trimmed().toStdU16String();
  if (omitted != planned.omitted) OmitEntry(state.edits, state.entries, static_cast<size_t>(index), omitted);
  // An empty title gives the entry its own back.
  if (title != planned.title)
    RenameEntry(state.edits, state.entries, static_cast<size_t>(index),
                title.empty() ? state.entries[static_cast<size_t>(index)].title : title);
  Refill();
}

void ContentsDialog::Shift(int direction) {
  int file = 0, index = 0;
  if (!EntryOf(tree->currentItem(), file, index)) return;
  FileState& state = files_[static_cast<size_t>(file)];
  if (ShiftEntry(state.edits, state.entries, static_cast<size_t>(index), direction)) Fill();
}

void ContentsDialog::OnLeaveOut() {
  int file = 0, index = 0;
  if (!EntryOf(tree->currentItem(), file, index)) return;
  FileState& state = files_[static_cast<size_t>(file)];
  const bool omitted = PlanContents(state.entries, state.edits)[static_cast<size_t>(index)].omitted;
  if (OmitEntry(state.edits, state.entries, static_cast<size_t>(index), !omitted)) Fill();
}

void ContentsDialog::OnDetectChapters() {
  if (!list_ || DetectChapters(*list_) == 0) return;
  for (FileState& state : files_) ListEntries(state);
  Fill();
}

void ContentsDialog::UpdateButtons() {
  int file = 0, index = 0;
  const bool entry = EntryOf(tree->currentItem(), file, index);
  const FileState* state = entry ? &files_[static_cast<size_t>(file)] : nullptr;
  levelUpButton->setEnabled(entry &&
                            CanShiftEntry(state->entries, state->edits, static_cast<size_t>(index), -1));
  levelDownButton->setEnabled(entry &&
                              CanShiftEntry(state->entries, state->edits, static_cast<size_t>(index), +1));
  leaveOutButton->setEnabled(entry);
  if (entry)
    leaveOutButton->setText(PlanContents(state->entries, state->edits)[static_cast<size_t>(index)].omitted
                                ? tr("Put back")
                                : tr("Leave out"));
  bool texts = false;
  for (const FileState& s : files_) texts = texts || dynamic_cast<const TextFileItem*>(s.item);
  detectChaptersButton->setEnabled(texts);
}

void ContentsDialog::Refill() {
  QTimer::singleShot(0, this, [this] {
    if (!files_.empty()) Fill();
  });
}

}  // namespace bookloom
