// The model behind the window's file list: it holds only a row count and asks a callback for the
// texts of a row when the view draws it.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <functional>

namespace bookloom {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // The texts of one row: file name, size, folder.
  using Row = std::array<QString, 3>;
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

 private:
  RowCallback rowData_;
  int count_ = 0;
};

}  // namespace bookloom
