#include "ui/FileListModel.h"

#include <QDataStream>
#include <QIODevice>
#include <QMimeData>
#include <algorithm>

#include "ui/Appearance.h"

namespace bookloom {

namespace {

constexpr int kSizeColumn = 1;
// The rows dragged within the list, as a list of row numbers.
const QString kRowsType = QStringLiteral("application/x-bookloom-rows");

const char* const kHeadings[] = {QT_TRANSLATE_NOOP("bookloom::FileListModel", "File Name"),
                                 QT_TRANSLATE_NOOP("bookloom::FileListModel", "Size"),
                                 QT_TRANSLATE_NOOP("bookloom::FileListModel", "Path")};

}  // namespace

FileListModel::FileListModel(RowCallback rowData, QObject* parent)
    : QAbstractTableModel(parent),
      rowData_(std::move(rowData)),
      ownSettingsIcon_(ActionIcon("document-properties", QStyle::SP_FileDialogContentsView)),
      problemIcon_(ActionIcon("dialog-warning", QStyle::SP_MessageBoxWarning)) {}

void FileListModel::SetRowCount(int count) {
  if (count > count_) {
    beginInsertRows(QModelIndex(), count_, count - 1);
    count_ = count;
    endInsertRows();
  } else if (count < count_) {
    beginRemoveRows(QModelIndex(), count, count_ - 1);
    count_ = count;
    endRemoveRows();
  }
  if (count_ > 0) emit dataChanged(index(0, 0), index(count_ - 1, columnCount() - 1));
}

int FileListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : count_; }

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(std::size(kHeadings));
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= count_) return {};
  if (role == Qt::DisplayRole) return rowData_(index.row()).texts[static_cast<size_t>(index.column())];
  if (role == Qt::DecorationRole && index.column() == 0) {
    const Row row = rowData_(index.row());
    if (!row.problem.isEmpty()) return problemIcon_;
    if (!row.settingsTip.isEmpty()) return ownSettingsIcon_;
    return {};
  }
  if (role == Qt::ToolTipRole) {
    const Row row = rowData_(index.row());
    QStringList tips;
    for (const QString& tip : {row.problem, row.settingsTip})
      if (!tip.isEmpty()) tips << tip;
    return tips.isEmpty() ? QVariant() : QVariant(tips.join(u'\n'));
  }
  if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
    return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::DisplayRole) return tr(kHeadings[section]);
  if (role == Qt::TextAlignmentRole && section == kSizeColumn)
    return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren |
                               Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled
                         : Qt::ItemIsDropEnabled;
}

Qt::DropActions FileListModel::supportedDropActions() const { return Qt::MoveAction; }

QStringList FileListModel::mimeTypes() const { return {kRowsType}; }

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<int> rows;
  for (const QModelIndex& index : indexes) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QByteArray bytes;
  QDataStream out(&bytes, QIODevice::WriteOnly);
  for (int row : rows) out << row;
  auto* data = new QMimeData;
  data->setData(kRowsType, bytes);
  return data;
}

bool FileListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                 const QModelIndex& parent) {
  if (action != Qt::MoveAction || !data || !data->hasFormat(kRowsType)) return false;
  // Dropped on a row: before it.
  const int before = row >= 0 ? row : parent.isValid() ? parent.row() : count_;
  std::vector<int> rows;
  QDataStream in(data->data(kRowsType));
  while (!in.atEnd()) {
    int dragged = -1;
    in >> dragged;
    if (dragged < 0 || dragged >= count_) return false;
    rows.push_back(dragged);
  }
  if (rows.empty()) return false;
  emit RowsDropped(rows, before);
  return false;  // the window has moved them: the view removes nothing
}

}  // namespace bookloom
