// The book's descriptive texts as the user typed them: title, author and the rest.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "platform/Persistent.h"
#include "wolf/BookFormat.h"

namespace bookloom {

class BookDescription : public Persistent {
 public:
  BookDescription() = default;
  BookDescription(const BookDescription&) = default;
  BookDescription& operator=(const BookDescription&) = default;

  // Empties all nine texts.
  void Clear();
  // Copies the nine texts of another description; any other source raises ConvertError.
  void Assign(const Persistent& source) override;
  std::string ClassName() const override { return "TBookDescription"; }

  std::u16string title, author, subject, adapter, translator, publisher, publishTime, isbn, annotation;
};

// Each of the nine texts and the field of the book it fills (which gives its name and its limit).
struct DescriptionText {
  std::u16string BookDescription::*text;
  DescriptionFieldId field;
};
std::span<const DescriptionText> DescriptionTexts();

// A text longer than its field can hold, counted in the book's Windows-1251 bytes after the blanks
// around it (which the book drops) are taken off.
struct DescriptionOverflow {
  DescriptionFieldId field;
  size_t length;
  size_t limit;
};
std::vector<DescriptionOverflow> FindDescriptionOverflows(const BookDescription& description);

}  // namespace bookloom
