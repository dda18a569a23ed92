// The book's descriptive texts as the user typed them: title, author and the rest.
#pragma once

#include <string>

#include "platform/Persistent.h"

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

}  // namespace bookloom
