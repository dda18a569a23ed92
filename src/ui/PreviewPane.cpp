#include "ui/PreviewPane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "platform/Bitmap.h"
#include "ui/Appearance.h"
#include "ui/CoreTexts.h"
#include "ui/PageRendering.h"
#include "wolf/BookPages.h"
#include "wolf/BookReader.h"

namespace bookloom {

namespace {

// The pages a preview makes at most: enough to see how a file begins.
constexpr int kMaxPages = 12;

// The first pages of a book of one file in the layout: its pictures and its text pages as the
// book's page table starts them.
std::vector<QImage> BookPageImages(const std::string& bytes, int layout) {
  const BookReader reader(bytes);
  const BookPages pages(reader.Book(), layout);
  std::vector<QImage> images;
  for (size_t i = 0; i < std::min<size_t>(pages.Count(), kMaxPages); ++i)
    images.push_back(PageImage(reader, pages, i));
  return images;
}

QImage BitmapImage(const Bitmap& page) {
  std::vector<uint8_t> grey(static_cast<size_t>(page.Width()) * page.Height());
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      grey[static_cast<size_t>(y) * page.Width() + x] = page.Pixel(x, y).r;
  return GreyImage(page.Width(), page.Height(), grey);
}

}  // namespace

PreviewPane::PreviewPane(const Runtime& runtime, QWidget* parent) : QWidget(parent), runtime_(runtime) {
  auto* rows = new QVBoxLayout(this);
  rows->setContentsMargins(4, 4, 4, 4);
  layoutCombo = new QComboBox(this);
  layoutCombo->addItems({tr("Small letters"), tr("Large letters"), tr("Small letters, landscape"),
                         tr("Large letters, landscape")});
  rows->addWidget(layoutCombo);
  pageLabel = new QLabel(this);
  pageLabel->setAlignment(Qt::AlignCenter);
  pageLabel->setMinimumSize(150, 200);
  pageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  rows->addWidget(pageLabel, 1);
  auto* navigation = new QHBoxLayout;
  previousButton = new QToolButton(this);
  previousButton->setArrowType(Qt::LeftArrow);
  nextButton = new QToolButton(this);
  nextButton->setArrowType(Qt::RightArrow);
  statusLabel = new QLabel(this);
  statusLabel->setAlignment(Qt::AlignCenter);
  // A long error wraps in the pane's width and never widens the pane.
  statusLabel->setWordWrap(true);
  statusLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  statusLabel->setMinimumWidth(1);
  navigation->addWidget(previousButton);
  navigation->addWidget(statusLabel, 1);
  navigation->addWidget(nextButton);
  rows->addLayout(navigation);
  connect(previousButton, &QToolButton::clicked, this, [this] { ShowPage(current_ - 1); });
  connect(nextButton, &QToolButton::clicked, this, [this] { ShowPage(current_ + 1); });
  connect(layoutCombo, &QComboBox::currentIndexChanged, this, [this] {
    if (repeat_) repeat_();
  });
  connect(&watcher_, &QFutureWatcher<Result>::finished, this, &PreviewPane::Finished);
  Clear();
}

PreviewPane::~PreviewPane() { watcher_.waitForFinished(); }

void PreviewPane::ShowFile(const std::u16string& fileName, const FileSettings& settings) {
  repeat_ = [this, fileName, settings] {
    const int layout = std::max(0, layoutCombo->currentIndex());
    Start([&runtime = runtime_, fileName, settings, layout]() -> Result {
      const FileItemClass* itemClass = InputItemClass(fileName);
      if (!itemClass) return {{}, tr("Not a kind of file a book is made from")};
      FileList files;
      files.Add(itemClass->create(runtime, fileName));
      files.Items(0).SetSettings(settings);
      try {
        return {
            BookPageImages(BuildBookInMemory(runtime, files, BookDescription(), CoverPage()), layout), {}, fileName};
      } catch (const std::exception& e) {
        const QString damage = DamageOf(e);
        if (damage.isEmpty()) throw;
        return {{}, CoreText(std::string_view(e.what())), fileName, damage};
      }
    });
  };
  repeat_();
}

void PreviewPane::ShowCover(const CoverPage& cover) {
  repeat_ = [this, cover] {
    Start([&runtime = runtime_, cover]() -> Result {
      Bitmap page;
      if (!cover.RenderCover(runtime, page)) return {{}, tr("No cover page")};
      return {{BitmapImage(page)}, {}};
    });
  };
  repeat_();
}

void PreviewPane::Clear() {
  repeat_ = nullptr;
  watcher_.setFuture(QFuture<Result>());
  pages_.clear();
  statusLabel->setText(QString());
  Refresh();
}

void PreviewPane::Start(std::function<Result()> make) {
  statusLabel->setText(tr("Preparing..."));
  // Errors of the file are shown in the pane: a preview never interrupts the user with a box.
  watcher_.setFuture(QtConcurrent::run([make = std::move(make)]() -> Result {
    try {
      return make();
    } catch (const std::exception& e) {
      return {{}, CoreText(std::string_view(e.what()))};
    }
  }));
}

void PreviewPane::Finished() {
  if (watcher_.future().resultCount() == 0) return;  // Clear dropped the request
  const Result result = watcher_.result();
  pages_ = result.pages;
  current_ = 0;
  statusLabel->setText(result.problem);
  statusLabel->setToolTip(result.problem);
  Refresh();
  if (!result.file.empty()) emit FileRead(result.file, result.damage);
  emit PagesReady();
}

void PreviewPane::ShowPage(int index) {
  current_ = std::clamp(index, 0, std::max(0, static_cast<int>(pages_.size()) - 1));
  Refresh();
}

void PreviewPane::Refresh() {
  const bool any = !pages_.empty();
  previousButton->setEnabled(any && current_ > 0);
  nextButton->setEnabled(any && current_ + 1 < static_cast<int>(pages_.size()));
  if (!any) {
    pageLabel->clear();
    return;
  }
  statusLabel->setText(tr("Page %1 of %2").arg(current_ + 1).arg(pages_.size()));
  const QImage& page = pages_[static_cast<size_t>(current_)];
  pageLabel->setPixmap(
      QPixmap::fromImage(page).scaled(pageLabel->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Refresh();
}

}  // namespace bookloom
