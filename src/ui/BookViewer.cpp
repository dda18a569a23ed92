#include "ui/BookViewer.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <fstream>

#include "book/Project.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "ui/Appearance.h"
#include "ui/PageRendering.h"
#include "wolf/BookRecords.h"

namespace bookloom {

namespace {

QString BookText(std::string_view win1251) { return QString::fromStdU16String(Win1251ToWide(win1251)); }

// The description fields in the book's order, as the viewer names them.
const char* const kFieldNames[kDescriptionFieldCount] = {
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Title"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Subject"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Author"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Adapter"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Translator"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Written"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Publisher"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Published"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Rights"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Character set"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Patent"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Annotation"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "ISBN"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Publishing house"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Book number"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Software version"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "Produced"),
    QT_TRANSLATE_NOOP("bookloom::BookViewer", "All about it"),
};

const char* const kOpenFilter =
    QT_TRANSLATE_NOOP("bookloom::BookViewer",
                      "Bookloom projects and Wolf books|*.bookloom;*.wol|Bookloom projects|*.bookloom|Wolf "
                      "books|*.wol|All Files|*.*|");

// Rows of a table in a text view: a name and its value, each escaped.
QString TableRow(const QString& name, const QString& value) {
  return QStringLiteral("<tr><td valign=\"top\"><b>%1</b></td><td>%2</td></tr>")
      .arg(name.toHtmlEscaped(), value.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")));
}

// Whether the file begins as a JSON document does (after a byte order mark and blanks), as a project
// does.
bool LooksLikeJson(const std::u16string& fileName) {
  std::ifstream file(Utf16ToUtf8(fileName), std::ios::binary);
  std::string start(256, '\0');
  file.read(start.data(), static_cast<std::streamsize>(start.size()));
  start.resize(static_cast<size_t>(file.gcount()));
  std::string_view text = start;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  const size_t first = text.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && text[first] == '{';
}

}  // namespace

// The page as the device shows it, scaled to fit the room with its proportions kept.
class BookViewer::PageView : public QWidget {
 public:
  explicit PageView(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
  }
  void SetImage(const QImage& image, const QString& message) {
    image_ = image;
    message_ = message;
    update();
  }
  // Room for a page of readable size: 40 lines of the desktop's font high, as wide as a page is.
  QSize sizeHint() const override {
    const int height = fontMetrics().height() * 40;
    return {height * 3 / 4, height};
  }
  QSize minimumSizeHint() const override { return sizeHint() / 4; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    if (image_.isNull()) {
      painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, message_);
      return;
    }
    const QSize size = image_.size().scaled(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image_);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(target.adjusted(0, 0, -1, -1));
  }

 private:
  QImage image_;
  QString message_;
};

BookViewer::BookViewer(const std::u16string& fileName, QWidget* parent) : QDialog(parent) {
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  const QString name = QString::fromStdU16String(std::u16string(PathFileName(fileName)));
  setWindowTitle(tr("%1 \u2014 Wolf book").arg(name));

  sideTabs = new QTabWidget(this);
  sideTabs->setUsesScrollButtons(false);  // every tab's name in full
  contentsTree = new QTreeWidget(sideTabs);
  contentsTree->setHeaderHidden(true);
  descriptionView = new QTextBrowser(sideTabs);
  findingsView = new QTextBrowser(sideTabs);
  sideTabs->addTab(contentsTree, tr("&Contents"));
  sideTabs->addTab(descriptionView, tr("&Description"));
  sideTabs->addTab(findingsView, tr("Book c&heck"));

  pageView_ = new PageView(this);
  auto* layoutLabel = new QLabel(tr("&Layout:"), this);
  layoutCombo = new QComboBox(this);
  layoutCombo->addItems({tr("Small letters"), tr("Large letters"), tr("Small letters, landscape"),
                         tr("Large letters, landscape")});
  layoutLabel->setBuddy(layoutCombo);
  previousButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Previous"), this);
  nextButton = new QPushButton(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Next"), this);
  for (QPushButton* button : {previousButton, nextButton}) button->setAutoDefault(false);
  pageNumberLabel = new QLabel(this);
  pageNumberLabel->setAlignment(Qt::AlignCenter);

  // The layout above the page, the turning of pages below it.
  auto* layoutRow = new QHBoxLayout;
  layoutRow->addWidget(layoutLabel);
  layoutRow->addWidget(layoutCombo, 1);
  auto* turning = new QHBoxLayout;
  turning->addWidget(previousButton);
  turning->addWidget(pageNumberLabel, 1);
  turning->addWidget(nextButton);
  auto* pageSide = new QWidget(this);
  auto* pageColumn = new QVBoxLayout(pageSide);
  pageColumn->setContentsMargins(0, 0, 0, 0);
  pageColumn->addLayout(layoutRow);
  pageColumn->addWidget(pageView_, 1);
  pageColumn->addLayout(turning);

  auto* splitter = new QSplitter(this);
  splitter->addWidget(sideTabs);
  splitter->addWidget(pageSide);
  splitter->setStretchFactor(1, 1);
  splitter->setChildrenCollapsible(false);

  auto* note =
      new QLabel(tr("A Wolf book is finished: it can be read here but not edited back into a project. "
                    "To change it, make it again from the files it was made from."),
                 this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  auto* rows = new QVBoxLayout(this);
  rows->addWidget(splitter, 1);
  rows->addWidget(note);
  rows->addWidget(buttons);

  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(previousButton, &QPushButton::clicked, this, [this] { ShowPage(page_ - 1); });
  connect(nextButton, &QPushButton::clicked, this, [this] { ShowPage(page_ + 1); });
  connect(layoutCombo, &QComboBox::currentIndexChanged, this, &BookViewer::ChangeLayout);
  const auto jump = [this](QTreeWidgetItem* item) {
    if (item && pages_) ShowPage(static_cast<int>(pages_->PageAt(item->data(0, Qt::UserRole).toUInt())));
  };
  connect(contentsTree, &QTreeWidget::itemActivated, this, jump);
  connect(contentsTree, &QTreeWidget::itemClicked, this, jump);
  // The page keys turn pages wherever the focus is.
  connect(new QShortcut(QKeySequence(Qt::Key_PageDown), this), &QShortcut::activated, nextButton,
          &QPushButton::click);
  connect(new QShortcut(QKeySequence(Qt::Key_PageUp), this), &QShortcut::activated, previousButton,
          &QPushButton::click);

  Read(fileName);
  FillContents();
  FillDescription();
  FillFindings();
  if (!Readable()) sideTabs->setCurrentWidget(findingsView);
  Refresh();
  pageView_->setFocus();
}

BookViewer::~BookViewer() = default;

void BookViewer::Read(const std::u16string& fileName) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    reader_ = std::make_unique<BookReader>(ReadFileBytes(fileName));
    pages_ = std::make_unique<BookPages>(reader_->Book(), 0);
    page_ = reader_->Book().cover ? -1 : 0;
  } catch (const std::exception& e) {
    reader_.reset();
    pages_.reset();
    problem_ = QString::fromUtf8(e.what());
  }
  QApplication::restoreOverrideCursor();
}

void BookViewer::FillContents() {
  if (!reader_) return;
  const BookContents& book = reader_->Book();
  const auto add = [&](auto& self, QTreeWidgetItem* item, int index) -> void {
    const TocRecord& entry = book.toc[static_cast<size_t>(index)];
    item->setText(0, BookText(entry.title));
    item->setData(0, Qt::UserRole, entry.target);
    for (const int child : entry.children) self(self, new QTreeWidgetItem(item), child);
  };
  for (size_t i = 0; i < book.toc.size(); ++i)
    if (book.toc[i].parentIndex < 0) add(add, new QTreeWidgetItem(contentsTree), static_cast<int>(i));
  // A book without a table of contents has one catalog entry, the book's title at its first page.
  if (book.toc.empty())
    for (const CatalogEntry& entry : book.catalog) {
      auto* item = new QTreeWidgetItem(contentsTree, {BookText(entry.title)});
      item->setData(0, Qt::UserRole, entry.position);
    }
  contentsTree->expandAll();
}

void BookViewer::FillDescription() {
  if (!reader_) return;
  QString rows;
  const BookContents& book = reader_->Book();
  for (size_t i = 0; i < book.description.size(); ++i)
    if (!book.description[i].empty()) rows += TableRow(tr(kFieldNames[i]), BookText(book.description[i]));
  descriptionView->setHtml(rows.isEmpty() ? tr("The book has no description.")
                                          : QStringLiteral("<table cellspacing=\"4\">%1</table>").arg(rows));
}

void BookViewer::FillFindings() {
  if (!reader_) {
    findingsView->setHtml(QStringLiteral("<p><b>%1</b></p><p>%2</p>")
                              .arg(tr("The book cannot be shown: it is damaged or not a Wolf book."),
                                   problem_.toHtmlEscaped()));
    return;
  }
  const BookContents& book = reader_->Book();
  size_t paragraphs = 0, pictures = 0;
  for (const SectionData& s : book.sections) {
    paragraphs += s.paragraphs.size();
    pictures += s.images.size();
  }
  QString rows = TableRow(tr("Size in bytes"), QLocale().toString(static_cast<qulonglong>(book.fileSize)));
  rows +=
      TableRow(tr("Cover"), book.cover ? tr("%1 \u00d7 %2, %n bits a pixel", nullptr, book.cover->bitCount)
                                             .arg(book.cover->width)
                                             .arg(book.cover->height)
                                       : tr("none"));
  rows += TableRow(tr("Sections"), QString::number(book.sections.size()));
  rows += TableRow(tr("Paragraphs"), QString::number(paragraphs));
  rows += TableRow(tr("Pictures"), QString::number(pictures));
  rows += TableRow(tr("Contents entries"), QString::number(book.toc.size()));
  for (int layout = 0; layout < layoutCombo->count(); ++layout)
    rows += TableRow(tr("Pages: %1").arg(layoutCombo->itemText(layout)),
                     QString::number(book.pageLists[static_cast<size_t>(layout)].size()));
  QString findings;
  if (book.warnings.empty())
    findings = QStringLiteral("<p>%1</p>")
                   .arg(tr("The book is sound: its structure, text, page tables, pictures and contents were "
                           "all checked."));
  else {
    findings = QStringLiteral("<p>%1</p><ul>")
                   .arg(tr("The book is readable, with %n warnings:", nullptr,
                           static_cast<int>(book.warnings.size())));
    for (const std::string& warning : book.warnings)
      findings += QStringLiteral("<li>%1</li>").arg(QString::fromStdString(warning).toHtmlEscaped());
    findings += QStringLiteral("</ul>");
  }
  findingsView->setHtml(findings + QStringLiteral("<table cellspacing=\"4\">%1</table>").arg(rows));
}

void BookViewer::ChangeLayout(int layout) {
  if (!reader_ || layout < 0) return;
  // The page of the new layout that shows where the old one began.
  const uint32_t shown = page_ >= 0 ? pages_->Page(static_cast<size_t>(page_)).position : 0;
  pages_ = std::make_unique<BookPages>(reader_->Book(), layout);
  if (page_ >= 0) page_ = static_cast<int>(pages_->PageAt(shown - reader_->Book().bodyStart));
  Refresh();
}

void BookViewer::ShowPage(int page) {
  if (!reader_) return;
  const int first = reader_->Book().cover ? -1 : 0;
  page_ = std::clamp(page, first, std::max(first, static_cast<int>(pages_->Count()) - 1));
  Refresh();
}

void BookViewer::Refresh() {
  const int count = pages_ ? static_cast<int>(pages_->Count()) : 0;
  const bool cover = reader_ && page_ < 0;
  previousButton->setEnabled(reader_ && page_ > (reader_->Book().cover ? -1 : 0));
  nextButton->setEnabled(reader_ && page_ + 1 < count);
  layoutCombo->setEnabled(reader_ != nullptr);
  if (!reader_) {
    image_ = QImage();
    pageNumberLabel->setText(tr("Nothing to show"));
    pageView_->SetImage(image_, tr("The book cannot be shown:\n%1").arg(problem_));
    return;
  }
  if (cover)
    image_ = OnDevicePage(PictureImage(*reader_, *reader_->Book().cover));
  else if (count > 0)
    image_ = OnDevicePage(PageImage(*reader_, *pages_, static_cast<size_t>(page_)));
  else
    image_ = QImage();
  pageNumberLabel->setText(cover ? tr("Cover")
                                 : tr("Page %1 of %2").arg(count > 0 ? page_ + 1 : 0).arg(count));
  pageView_->SetImage(image_, tr("The book has no pages."));
}

void BookViewer::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      return ShowPage(page_ - 1);
    case Qt::Key_Right:
    case Qt::Key_Down:
    case Qt::Key_Space:
      return ShowPage(page_ + 1);
    case Qt::Key_Home:
      return ShowPage(-1);
    case Qt::Key_End:
      return ShowPage(pages_ ? static_cast<int>(pages_->Count()) - 1 : 0);
    default:
      QDialog::keyPressEvent(event);
  }
}

std::u16string ProjectOrBookFilter() { return BookViewer::tr(kOpenFilter).toStdU16String(); }

bool OpenIfBook(const std::u16string& fileName, QWidget* parent) {
  const QString extension = QString::fromStdU16String(std::u16string(PathExtension(fileName))).toLower();
  if (extension == QStringLiteral("bookloom")) return false;
  if (extension == QStringLiteral("wol") || LooksLikeWolfBook(fileName)) {
    auto* viewer = new BookViewer(fileName, parent);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->setWindowFlag(Qt::Window);
    viewer->resize(viewer->screen()->availableSize() * 4 / 5);  // room for the page at a readable size
    viewer->show();
    return true;
  }
  // A file that cannot be read is left to the project's reading, which says why.
  if (!QFileInfo(QString::fromStdU16String(fileName)).isReadable() || LooksLikeJson(fileName)) return false;
  throw ProjectError(BookViewer::tr("\"%1\" is neither a Bookloom project nor a Wolf book, so it cannot be "
                                    "opened. To make a book of it, add it to the list with Add File.")
                         .arg(QString::fromStdU16String(fileName))
                         .toStdString());
}

}  // namespace bookloom
