// The book viewer: a finished Wolf book, made here or elsewhere, shown as the device will show it:
// the cover first, then its pages in the layout chosen, its table of contents to jump with, its
// description and what the reader's check of it found. A book is read only: it cannot become a
// project again.
#pragma once

#include <QDialog>
#include <QImage>
#include <memory>
#include <string>

#include "wolf/BookPages.h"
#include "wolf/BookReader.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextBrowser;
class QTreeWidget;

namespace bookloom {

class BookViewer : public QDialog {
  Q_OBJECT

 public:
  // Reads and checks the book; a book that cannot be read shows why instead of its pages.
  explicit BookViewer(const std::u16string& fileName, QWidget* parent = nullptr);
  ~BookViewer() override;

  // Whether the book was read; otherwise Problem() says why.
  bool Readable() const { return reader_ != nullptr; }
  const QString& Problem() const { return problem_; }
  const BookReader* Reader() const { return reader_.get(); }
  // The pages of the layout chosen; null when the book could not be read.
  const BookPages* Pages() const { return pages_.get(); }

  // The page shown: its index in the layout's pages, or -1 for the cover.
  int CurrentPage() const { return page_; }
  // Shows a page of the layout (clamped to the book's pages), or -1 for the cover when the book has one.
  void ShowPage(int page);
  // What the page area shows: the cover or the page as the device draws it.
  const QImage& ShownImage() const { return image_; }

  QComboBox* layoutCombo;
  QPushButton* previousButton;
  QPushButton* nextButton;
  QLabel* pageNumberLabel;  // "Cover", "Page 3 of 120"
  QTabWidget* sideTabs;
  QTreeWidget* contentsTree;  // each entry holds its body-relative target
  QTextBrowser* descriptionView;
  QTextBrowser* findingsView;  // what the check of the book found

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  class PageView;

  void Read(const std::u16string& fileName);
  void FillContents();
  void FillDescription();
  void FillFindings();
  void ChangeLayout(int layout);
  void Refresh();

  std::unique_ptr<BookReader> reader_;
  std::unique_ptr<BookPages> pages_;
  QString problem_;
  int page_ = -1;
  QImage image_;
  PageView* pageView_;
};

// File > Open's filter: projects and Wolf books.
std::u16string ProjectOrBookFilter();

// What the window does with a file it is asked to open: a Wolf book (by its name or its first bytes)
// opens in a viewer of its own, a child window of `parent`, and gives true; a project gives false,
// for the window to open; a file that is neither raises ProjectError saying so.
bool OpenIfBook(const std::u16string& fileName, QWidget* parent);

}  // namespace bookloom
