#include "wolf/BookPages.h"

#include <algorithm>
#include <string>

#include "platform/Exception.h"
#include "text/LineBreaking.h"

namespace bookloom {

BookPages::BookPages(const BookContents& book, int layout)
    : book_(book), layout_(kPageLayouts[static_cast<size_t>(layout)]) {
  const std::vector<uint32_t>& list = book.pageLists[static_cast<size_t>(layout)];
  pages_.reserve(list.size());
  for (const uint32_t position : list) pages_.push_back(Locate(position));
}

PageStart BookPages::Locate(uint32_t position) const {
  const auto& sections = book_.sections;
  const auto after = std::upper_bound(sections.begin(), sections.end(), position,
                                      [](uint32_t p, const SectionData& s) { return p < s.position; });
  if (after == sections.begin())
    Raise<BookFormatError>("Offset %d: a page starts before the book's first section", {position});
  const SectionData& s = *std::prev(after);
  PageStart page{position, static_cast<size_t>(std::prev(after) - sections.begin())};
  if (s.pictures) {
    for (const PictureData& picture : s.images)
      if (position == picture.position || (position == s.position && &picture == &s.images.front()))
        page.picture = &picture;
    if (!page.picture) Raise<BookFormatError>("Offset %d: a page starts inside a picture", {position});
    return page;
  }
  if (position == s.position || s.paragraphs.empty()) return page;
  const auto& starts = s.paragraphStarts;
  page.paragraph =
      static_cast<size_t>(std::upper_bound(starts.begin(), starts.end(), position) - starts.begin());
  if (page.paragraph-- == 0)
    Raise<BookFormatError>("Offset %d: a page starts before its section's text", {position});
  // The page table counts escaped bytes; the page starts at the character whose escaped form begins there.
  const std::string& text = s.paragraphs[page.paragraph];
  uint32_t at = starts[page.paragraph];
  while (at < position && page.offset < text.size())
    at += kEscapedLengths[static_cast<uint8_t>(text[page.offset++])];
  if (at != position)
    Raise<BookFormatError>("Offset %d: a page starts inside an escaped character", {position});
  return page;
}

std::vector<PageLine> BookPages::Lines(size_t index) const {
  const PageStart& page = pages_[index];
  std::vector<PageLine> lines;
  if (page.picture) return lines;
  const SectionData& s = book_.sections[page.section];
  std::string paragraph;
  ParagraphBreaker breaker;
  const auto linesPerPage = static_cast<size_t>(layout_.linesPerPage);
  for (size_t p = page.paragraph; p < s.paragraphs.size() && lines.size() < linesPerPage; ++p) {
    const std::string& text = s.paragraphs[p];
    paragraph.assign(text);
    paragraph += '\r';
    breaker.Start(paragraph);
    for (size_t at = p == page.paragraph ? page.offset : 0;
         at < paragraph.size() && lines.size() < linesPerPage;) {
      const size_t end = at + breaker.BreakLine(at, layout_.textWidth, layout_.fontIndex);
      // The closing CR, counted with the paragraph's last line, is not part of what it shows.
      lines.push_back({std::string_view(text).substr(at, end - at), EndsHyphenated(text, end)});
      at = end;
    }
  }
  return lines;
}

size_t BookPages::PageAt(uint32_t bodyPosition) const {
  const uint64_t position = static_cast<uint64_t>(book_.bodyStart) + bodyPosition;
  const auto after = std::upper_bound(pages_.begin(), pages_.end(), position,
                                      [](uint64_t p, const PageStart& page) { return p < page.position; });
  return after == pages_.begin() ? 0 : static_cast<size_t>(after - pages_.begin()) - 1;
}

}  // namespace bookloom
