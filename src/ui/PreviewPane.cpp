#include "ui/PreviewPane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "platform/Bitmap.h"
#include "text/LineBreaking.h"
#include "text/Win1251.h"
#include "ui/Appearance.h"
#include "wolf/BookReader.h"
#include "wolf/PageFlow.h"

namespace bookloom {

namespace {

// The pages a preview makes at most: enough to see how a file begins.
constexpr int kMaxPages = 12;

QImage GreyImage(int width, int height, const std::vector<uint8_t>& grey) {
  QImage image(width, height, QImage::Format_Grayscale8);
  for (int y = 0; y < height; ++y)
    std::copy_n(grey.data() + static_cast<size_t>(y) * width, width, image.scanLine(y));
  return image;
}

// A Windows-1251 letter or digit, of the kind a hyphenated word is made of.
bool IsLetter(char c) {
  const auto b = static_cast<uint8_t>(c);
  return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || b >= 0xC0 ||
         b == 0xA8 || b == 0xB8;
}

// The device's fonts, near enough: a fixed font whose letters take font 0's 11 pixels, and a
// proportional one of font 1's size. Every letter is placed where the device's widths put it.
QFont DeviceFont(int fontIndex) {
  QFont font(fontIndex == 0 ? QStringLiteral("DejaVu Sans Mono") : QStringLiteral("DejaVu Sans"));
  font.setPixelSize(fontIndex == 0 ? 18 : 20);
  return font;
}

// A text section's pages in one layout, as the device sets them: the page breaks are the ones the
// book's page tables hold.
void AddTextPages(const SectionData& section, const PageLayout& layout, std::vector<QImage>& pages) {
  const bool wide = layout.textWidth > 600;  // the wide layouts turn the page
  const int width = wide ? 800 : 600, height = wide ? 600 : 800;
  const double lineHeight = static_cast<double>(height) / layout.linesPerPage;
  const int left = (width - layout.textWidth) / 2;
  const QFont font = DeviceFont(layout.fontIndex);
  std::unique_ptr<QPainter> painter;
  int line = 0;
  const auto newPage = [&] {
    painter.reset();
    pages.emplace_back(width, height, QImage::Format_Grayscale8);
    pages.back().fill(Qt::white);
    painter = std::make_unique<QPainter>(&pages.back());
    painter->setFont(font);
    painter->setPen(Qt::black);
    line = 0;
  };
  PageFlow flow(layout);
  newPage();
  std::string paragraph;
  ParagraphBreaker breaker;
  for (const std::string& text : section.paragraphs) {
    if (pages.size() > kMaxPages) break;
    paragraph = text + '\r';
    breaker.Start(paragraph);
    flow.AddParagraph(breaker, [&](std::string_view bytes, bool startsPage) {
      if (startsPage) newPage();
      if (pages.size() > kMaxPages) return;
      const double baseline = (line + 0.78) * lineHeight;
      const std::u16string letters = Win1251ToWide(bytes);
      int x = left;
      for (size_t i = 0; i < letters.size() && letters[i] != u'\r'; ++i) {
        painter->drawText(QPointF(x, baseline), QString(QChar(letters[i])));
        x += CharWidth(layout.fontIndex, static_cast<uint8_t>(bytes[i]));
      }
      // A word cut at the line's end carries the device's hyphen.
      const size_t next = static_cast<size_t>(bytes.data() - paragraph.data()) + bytes.size();
      if (!bytes.empty() && next < paragraph.size() && IsLetter(bytes.back()) && IsLetter(paragraph[next]))
        painter->drawText(QPointF(x, baseline), QStringLiteral("-"));
      ++line;
    });
  }
  painter.reset();
  if (pages.size() > kMaxPages) pages.resize(kMaxPages);
}

// The pages of a book of one file: its pictures and its text sections in the layout.
std::vector<QImage> BookPages(const std::string& bytes, const PageLayout& layout) {
  const BookReader reader(bytes);
  std::vector<QImage> pages;
  for (const SectionData& section : reader.Book().sections) {
    for (const PictureData& picture : section.images) {
      if (static_cast<int>(pages.size()) >= kMaxPages) return pages;
      pages.push_back(
          GreyImage(picture.width, picture.height, PackedRowsToGray(picture, reader.DecodeRows(picture))));
    }
    if (!section.pictures) AddTextPages(section, layout, pages);
    if (static_cast<int>(pages.size()) >= kMaxPages) break;
  }
  return pages;
}

QImage BitmapImage(const Bitmap& page) {
  std::vector<uint8_t> grey(static_cast<size_t>(page.Width()) * page.Height());
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x)
      grey[static_cast<size_t>(y) * page.Width() + x] = page.Pixel(x, y).r;
  return GreyImage(page.Width(), page.Height(), grey);
}

}  // namespace

PreviewPane::PreviewPane(QWidget* parent) : QWidget(parent) {
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
    const PageLayout layout = kPageLayouts[static_cast<size_t>(std::max(0, layoutCombo->currentIndex()))];
    Start([fileName, settings, layout]() -> Result {
      const FileItemClass* itemClass = InputItemClass(fileName);
      if (!itemClass) return {{}, tr("Not a kind of file a book is made from")};
      FileList files;
      files.Add(itemClass->create(fileName));
      files.Items(0).SetSettings(settings);
      return {BookPages(BuildBookInMemory(files, BookDescription(), CoverPage()), layout), {}};
    });
  };
  repeat_();
}

void PreviewPane::ShowCover(const CoverPage& cover) {
  repeat_ = [this, cover] {
    Start([cover]() -> Result {
      Bitmap page;
      if (!cover.RenderCover(page)) return {{}, tr("No cover page")};
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
      return {{}, QString::fromUtf8(e.what())};
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
