// Writes one Wolf book onto an output stream in one forward pass: description, cover, text and
// picture sections with their page starts in the four layouts, table of contents, page table.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Bitmap.h"
#include "platform/Stream.h"
#include "wolf/BookRecords.h"
#include "wolf/ContentsGrouping.h"
#include "wolf/PageTableBuilder.h"
#include "wolf/PictureEncoding.h"

namespace bookloom {

class BookWriter {
 public:
  // Writes the provisional header (magic, 513, 1, everything else zero); the stream is then at 128.
  explicit BookWriter(OutputStream& stream);
  BookWriter(const BookWriter&) = delete;
  BookWriter& operator=(const BookWriter&) = delete;

  DescriptionRecord& Description() { return description_; }
  // The description block; called once, right after construction.
  void WriteDescription();
  // The cover record and its picture data; "Bad input image!" when the picture cannot be encoded.
  void WriteCoverPicture(const Bitmap& bitmap, uint16_t bitCount);
  void BeginBody();
  void EndBody();

  // Makes sure a text section is open.
  void BeginText();
  // One paragraph: a Windows-1251 line without line end.
  void AddParagraph(const std::string& text);
  // One picture page; consecutive pictures share a section. "Bad input image!" when the picture
  // cannot be encoded (nothing is written then).
  void AddPicture(const Bitmap& bitmap, uint16_t bitCount);
  // One page encoded beforehand (on another thread, say): the writer only places it.
  void AddPicture(const EncodedPicture& picture);
  // A table-of-contents entry of kind 1 (chapter), 2 (section) or 3 (subsection) at the current
  // section or picture; other kinds are ignored. Chapters or sections beyond 255 under one parent
  // are put under group entries when the catalog is written (GroupedContents); a 256th subsection
  // under one parent is left out, and so is a chapter or section beyond 255 groups of 255. Whether
  // the entry was added.
  bool AddTOCEntry(int kind, const std::string& title);
  void CloseSection();

  // Writes the catalog, the page table and the final header. Called once, when the body is done.
  void Finish();

  // What the body holds so far.
  int ParagraphCount() const { return paragraphCount_; }
  int PictureCount() const { return pictureCount_; }
  // Waits for the line breaking of the text written so far.
  int PageCount(int layout) { return pages_.Table().Group(layout).Count(); }

 private:
  void WriteStr(std::string_view bytes);
  void WriteHeader();
  // The stream position; raises when the book has grown beyond 32-bit positions.
  uint32_t Position() const;
  void OpenSection();
  void AddSectionStart(bool newSection);
  void NewSection();
  void WriteParagraph(std::string_view text);
  void WriteCatalogItem(std::string_view title, uint32_t position);
  // The entries in the book's numbering, grouped where a parent has more than a book numbers.
  void NumberContents();
  void WriteCatalog();
  void WritePageTable();

  OutputStream& stream_;
  std::string header_;
  DescriptionRecord description_;
  TocList toc_;
  PageTableBuilder pages_;
  uint32_t lastSectionStart_ = 0xFFFFFFFFu;
  uint32_t bodyStart_ = 0;
  // Whether a section is open, and what it holds so far.
  enum class SectionState { kClosed, kOpened, kText, kPictures };
  SectionState section_ = SectionState::kClosed;
  std::vector<ContentsItem> contents_;  // the entries in order, numbered when the catalog is written
  // The entries of each kind under the last entry of the kind above.
  int entryCounts_[3] = {};
  int droppedTOCLevel_ = 0;  // the kind of the last entry left out, 0 when none is
  int paragraphCount_ = 0;
  int pictureCount_ = 0;
  // Reused from paragraph to paragraph.
  std::string escaped_;
};

}  // namespace bookloom
