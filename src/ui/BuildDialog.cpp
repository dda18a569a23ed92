#include "ui/BuildDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <thread>

#include "book/BookBuild.h"
#include "book/FileItem.h"
#include "platform/Utf.h"
#include "ui/Appearance.h"
#include "ui/CoreTexts.h"

namespace bookloom {

namespace {

QString Duration(double seconds) {
  const auto s = static_cast<long>(seconds + 0.5);
  return s >= 3600 ? QStringLiteral("%1:%2:%3")
                         .arg(s / 3600)
                         .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                         .arg(s % 60, 2, 10, QLatin1Char('0'))
                   : QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

// Runs on the build's thread: hands every event over to the dialog's thread, and answers whether
// the user asked to stop.
class BuildDialog::Observer : public BuildObserver {
 public:
  explicit Observer(BuildDialog& dialog) : dialog_(dialog) {}

  void Starting(int index, int count, const FileItem& item) override {
    current_ = item.FileName();
    const QString name = QString::fromStdU16String(item.ShortName());
    QMetaObject::invokeMethod(
        &dialog_,
        [dialog = &dialog_, index, count, name, done = done_] { dialog->Starting(index, count, name, done); },
        Qt::QueuedConnection);
  }
  void Written(int, int, const FileItem& item, const ItemReport& report) override {
    written_.push_back(item.FileName());
    done_ += item.Size();
    QMetaObject::invokeMethod(
        &dialog_, [dialog = &dialog_, pages = report.pages, done = done_] { dialog->Written(pages, done); },
        Qt::QueuedConnection);
  }
  void Progress(int, int, const FileItem& item, double part) override {
    const int64_t done = done_ + static_cast<int64_t>(part * static_cast<double>(item.Size()));
    QMetaObject::invokeMethod(
        &dialog_, [dialog = &dialog_, done] { dialog->Written(0, done); }, Qt::QueuedConnection);
  }
  void Warning(const FileItem& item, const std::string& message) override {
    QMetaObject::invokeMethod(
        &dialog_,
        [dialog = &dialog_, fileName = item.FileName(), message] {
          dialog->warnings_.push_back(fileName + u": " + CoreText(message).toStdU16String());
        },
        Qt::QueuedConnection);
  }
  bool CancelRequested() override { return dialog_.cancelRequested_.load(); }

  // Once the build has ended: the file being written when it ended, and those written before.
  const std::u16string& Current() const { return current_; }
  const std::vector<std::u16string>& WrittenFiles() const { return written_; }

 private:
  BuildDialog& dialog_;
  int64_t done_ = 0;
  std::u16string current_;
  std::vector<std::u16string> written_;
};

BuildDialog::BuildDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle(tr("Make Wolf"));
  setMinimumWidth(400);
  auto* rows = new QVBoxLayout(this);
  fileLabel = new QLabel(this);
  progressLabel = new QLabel(this);
  bar = new QProgressBar(this);
  cancelButton = new QPushButton(tr("Cancel"), this);
  rows->addWidget(fileLabel);
  rows->addWidget(bar);
  rows->addWidget(progressLabel);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(cancelButton);
  rows->addLayout(buttons);
  connect(cancelButton, &QPushButton::clicked, this, &BuildDialog::Cancel);
}

void BuildDialog::Run(const Runtime& runtime, const std::u16string& fileName, FileList& files,
                      const BookDescription& description, const CoverPage& coverPage) {
  totalBytes_ = 0;
  for (int i = 0; i < files.Count(); ++i) totalBytes_ += files.Items(i).Size();
  bar->setRange(0, 1000);
  bar->setValue(0);
  pages_ = 0;
  warnings_.clear();
  cancelRequested_ = false;
  cancelButton->setEnabled(true);
  start_ = std::chrono::steady_clock::now();

  Observer observer(*this);
  std::exception_ptr failure;
  running_ = true;
  std::thread build([&] {
    try {
      BuildBook(runtime, fileName, files, description, coverPage, &observer);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(
        this,
        [this] {
          running_ = false;
          accept();
        },
        Qt::QueuedConnection);
  });
  exec();
  build.join();
  for (const std::u16string& written : observer.WrittenFiles()) emit FileRead(written, {});
  if (!failure) return;
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    // A file that cannot be read stops the build while it is being written.
    const QString damage = DamageOf(e);
    if (!damage.isEmpty() && !observer.Current().empty()) emit FileRead(observer.Current(), damage);
    throw;
  }
}

void BuildDialog::Starting(int index, int count, const QString& file, int64_t bytesDone) {
  fileLabel->setText(tr("Writing file %1 of %2: %3").arg(index + 1).arg(count).arg(file));
  Written(0, bytesDone);
}

void BuildDialog::Written(int pages, int64_t bytesDone) {
  pages_ += pages;
  const double part = totalBytes_ > 0 ? std::min(1.0, static_cast<double>(bytesDone) / totalBytes_) : 0.0;
  bar->setValue(static_cast<int>(part * 1000));
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  QString text = tr("%n pages so far", nullptr, pages_);
  if (part > 0.02 && elapsed > 0.5) text += tr(", %1 left").arg(Duration(elapsed / part - elapsed));
  if (cancelRequested_) text = tr("Cancelling...");
  progressLabel->setText(text);
}

void BuildDialog::Cancel() {
  cancelRequested_ = true;
  cancelButton->setEnabled(false);
  progressLabel->setText(tr("Cancelling..."));
}

void BuildDialog::reject() {
  if (running_)
    Cancel();
  else
    QDialog::reject();
}

}  // namespace bookloom
