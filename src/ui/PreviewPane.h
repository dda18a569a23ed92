// The page preview beside the file list: the selected file, or the cover, as the device will show
// it. Pages are made on a worker thread from a book of that file alone, so what the pane shows is
// what the book will hold; the window answers while they are made.
#pragma once

#include <QFutureWatcher>
#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "book/FileSettings.h"
#include "pictures/CoverPage.h"

class QComboBox;
class QLabel;
class QToolButton;

namespace bookloom {

class PreviewPane : public QWidget {
  Q_OBJECT

 public:
  // Reads the files it shows with the run's libraries, `runtime`, which outlives it.
  explicit PreviewPane(const Runtime& runtime, QWidget* parent = nullptr);
  ~PreviewPane() override;

  // The first pages of a file with these settings; text in the layout chosen in the pane.
  void ShowFile(const std::u16string& fileName, const FileSettings& settings);
  // The cover page the cover settings make.
  void ShowCover(const CoverPage& cover);
  void Clear();

  // The pages shown, once made (the device's 600 x 800 pages, or 800 x 600 in the wide layouts).
  const std::vector<QImage>& Pages() const { return pages_; }
  // Signalled when the pages of the latest request are ready.
  Q_SIGNAL void PagesReady();
  // Signalled before PagesReady when a file was read for its pages: `damage` says why it cannot be
  // read (its content is damaged), empty when it read.
  Q_SIGNAL void FileRead(const std::u16string& fileName, const QString& damage);

  QComboBox* layoutCombo;  // the four text layouts of the device
  QToolButton* previousButton;
  QToolButton* nextButton;
  QLabel* pageLabel;    // the page, scaled to the pane
  QLabel* statusLabel;  // "Page 1 of 5", "Preparing...", or why there is nothing to show

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct Result {
    std::vector<QImage> pages;
    QString problem;
    std::u16string file;  // the file read; empty for the cover
    QString damage;       // why the file cannot be read; empty when it read
  };
  // Makes the pages of the request on the worker; a newer request drops the older one's result.
  void Start(std::function<Result()> make);
  void Finished();
  void ShowPage(int index);
  void Refresh();

  const Runtime& runtime_;
  QFutureWatcher<Result> watcher_;
  std::function<void()> repeat_;  // the latest request, made again when the layout changes
  std::vector<QImage> pages_;
  int current_ = 0;
};

}  // namespace bookloom
