// How the device fills its pages in one layout: paragraphs cut into lines by the device's line
// breaking, a page ending when its lines are full, every section starting a page. The writer's page
// tables, the reader's check of them and the page preview all follow this one rule.
#pragma once

#include <string_view>

#include "text/LineBreaking.h"
#include "wolf/BookRecords.h"

namespace bookloom {

class PageFlow {
 public:
  explicit PageFlow(const PageLayout& layout) : layout_(layout) {}

  // A section starts on a page of its own.
  void StartSection() { lines_ = 0; }

  // Cuts the paragraph the breaker was started on (Windows-1251, unescaped, with its closing CR) into
  // the device's lines and calls onLine(line, startsPage) for each: startsPage is true for a line
  // that opens a new page because the page before it is full.
  template <class OnLine>
  void AddParagraph(const ParagraphBreaker& paragraph, OnLine&& onLine) {
    const std::string_view text = paragraph.Text();
    for (size_t at = 0; at < text.size();) {
      const size_t length = paragraph.BreakLine(at, layout_.textWidth, layout_.fontIndex);
      const bool startsPage = lines_ == layout_.linesPerPage;
      if (startsPage) lines_ = 0;
      ++lines_;
      onLine(text.substr(at, length), startsPage);
      at += length;
    }
  }

  const PageLayout& Layout() const { return layout_; }

 private:
  PageLayout layout_;
  int lines_ = 0;  // lines on the current page
};

}  // namespace bookloom
