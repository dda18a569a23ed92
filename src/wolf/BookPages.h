// The pages of a read book in one of the device's layouts, as its page table lists them: what each
// page shows (a picture, or the lines of text from where the page starts), and on which page a place
// of the book lies. What the viewer and the preview draw.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"

namespace bookloom {

// One line of a text page as the device sets it.
struct PageLine {
  std::string_view text;  // Windows-1251, unescaped, without the paragraph's closing CR
  bool hyphen = false;    // a word goes on on the next line: the device shows a hyphen after it
};

// Where a page starts: a picture of a section, or a byte of a paragraph of a text section.
struct PageStart {
  uint32_t position = 0;  // the book's page table entry
  size_t section = 0;
  const PictureData* picture = nullptr;  // null for a text page
  size_t paragraph = 0;                  // a text page's first paragraph ...
  size_t offset = 0;                     // ... and its byte, unescaped, where the first line begins
};

class BookPages {
 public:
  // The pages of the layout (0 to 3) of a book the reader has checked, which must outlive this.
  // Raises BookFormatError for a page table entry that starts no page.
  BookPages(const BookContents& book, int layout);

  size_t Count() const { return pages_.size(); }
  const PageStart& Page(size_t index) const { return pages_[index]; }
  const PageLayout& Layout() const { return layout_; }
  // The lines of a page: those of its text from its start, as many as the layout puts on a page or
  // the section holds; none for a picture page.
  std::vector<PageLine> Lines(size_t index) const;
  // The page that shows a body-relative position (a table of contents entry's target): the last one
  // that starts at or before it.
  size_t PageAt(uint32_t bodyPosition) const;

 private:
  PageStart Locate(uint32_t position) const;

  const BookContents& book_;
  PageLayout layout_;
  std::vector<PageStart> pages_;
};

}  // namespace bookloom
