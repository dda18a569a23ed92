// The book's descriptive texts as the user typed them: title, author and the rest.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/Runtime.h"
#include "wolf/BookFormat.h"

namespace bookloom {

class BookDescription {
 public:
  // Empties all nine texts.
  void Clear();

  std::u16string title, author, subject, adapter, translator, publisher, publishTime, isbn, annotation;

  friend bool operator==(const BookDescription&, const BookDescription&) = default;
};

// Each of the nine texts and the field of the book it fills (which gives its name and its limit).
struct DescriptionText {
  std::u16string BookDescription::*text;
  DescriptionFieldId field;
};
std::span<const DescriptionText> DescriptionTexts();

// A text longer than its field can hold, counted in the book's Windows-1251 bytes after the blanks
// around it (which the book drops) are taken off (with the runtime's fallback for characters the code
// page lacks).
struct DescriptionOverflow {
  DescriptionFieldId field;
  size_t length;
  size_t limit;
};
std::vector<DescriptionOverflow> FindDescriptionOverflows(const Runtime& runtime,
                                                          const BookDescription& description);

}  // namespace bookloom
