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
  // the lines of a layout and calls onLine(line) for each. The cutting depends on nothing but the
  // paragraph and the layout: only the counting of lines into pages goes from paragraph to paragraph.
  template <class OnLine>
  static void ForEachLine(const ParagraphBreaker& paragraph, const PageLayout& layout, OnLine&& onLine) {
    const std::string_view text = paragraph.Text();
    for (size_t at = 0; at < text.size();) {
      const size_t length = paragraph.BreakLine(at, layout.textWidth, layout.fontIndex);
      onLine(text.substr(at, length));
      at += length;
    }
  }

  // One line more: true when it opens a new page because the page before it is full.
  bool AddLine() {
    const bool startsPage = lines_ == layout_.linesPerPage;
    if (startsPage) lines_ = 0;
    ++lines_;
    return startsPage;
  }

  // The paragraph's lines, each with whether it opens a new page: onLine(line, startsPage).
  template <class OnLine>
  void AddParagraph(const ParagraphBreaker& paragraph, OnLine&& onLine) {
    ForEachLine(paragraph, layout_, [&](std::string_view line) { onLine(line, AddLine()); });
  }

  const PageLayout& Layout() const { return layout_; }

 private:
  PageLayout layout_;
  int lines_ = 0;  // lines on the current page
};

}  // namespace bookloom
