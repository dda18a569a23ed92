// The build of a book on a worker thread, with a dialog that shows which file is being read, the
// pages so far and the time left, and a Cancel button that stops the build at the next file. The
// window answers throughout.
#pragma once

#include <QDialog>
#include <atomic>
#include <chrono>
#include <exception>
#include <string>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

namespace bookloom {

class BookDescription;
class CoverPage;
class FileList;
class Runtime;

class BuildDialog : public QDialog {
  Q_OBJECT

 public:
  explicit BuildDialog(QWidget* parent = nullptr);

  // Builds the book into fileName with the run's libraries while the dialog is shown; returns when the
  // build has ended.
  // The error that ended it is raised here (BuildCancelledError after Cancel). The warnings of the
  // inputs, in the order they came, are kept in Warnings().
  void Run(const Runtime& runtime, const std::u16string& fileName, FileList& files,
           const BookDescription& description, const CoverPage& coverPage);

  const std::vector<std::u16string>& Warnings() const { return warnings_; }
  // Signalled after a build for each file it read: `damage` says why the file cannot be read (it
  // stopped the build), empty when it read.
  Q_SIGNAL void FileRead(const std::u16string& fileName, const QString& damage);

  QLabel* fileLabel;      // the file being read
  QLabel* progressLabel;  // pages so far and the time left
  QProgressBar* bar;
  QPushButton* cancelButton;

 protected:
  void reject() override;  // Escape and the window's close button cancel the build, as Cancel does

 private:
  class Observer;
  // Called on the window's thread as the build goes on.
  void Starting(int index, int count, const QString& file, int64_t bytesDone);
  void Written(int pages, int64_t bytesDone);
  void Cancel();

  std::atomic<bool> cancelRequested_{false};
  int64_t totalBytes_ = 0;
  int pages_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::vector<std::u16string> warnings_;
  bool running_ = false;
};

}  // namespace bookloom
