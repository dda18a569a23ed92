// The model behind the window's file list: it holds only a row count and asks a callback for the
// texts of a row when the view draws it. A file with settings of its own shows an icon before its
// name and their summary as its tooltip; a file that cannot be read any more shows a warning and why. Rows
// dragged within the view are handed to the window to move.
#pragma once

#include <QAbstractTableModel>
#include <QIcon>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace bookloom {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  struct Row {
    std::array<QString, 3> texts;  // file name, size, folder
    QString settingsTip;           // empty for a file with the book's settings
    QString problem;               // why the file cannot be read now; empty when it can
  };
  using RowCallback = std::function<Row(int row)>;

  explicit FileListModel(RowCallback rowData, QObject* parent = nullptr);

  // Sets the number of rows and has every row drawn again. Rows below the new count keep their
  // place in the view's selection; rows beyond it leave the view.
  void SetRowCount(int count);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  Qt::DropActions supportedDropActions() const override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                    const QModelIndex& parent) override;

 signals:
  // Rows of this list (ascending) were dropped before the row `before` (the row count: at the end).
  void RowsDropped(const std::vector<int>& rows, int before);

 private:
  RowCallback rowData_;
  int count_ = 0;
  QIcon ownSettingsIcon_;
  QIcon problemIcon_;
};

}  // namespace bookloom
