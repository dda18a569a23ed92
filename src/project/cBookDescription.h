// The book's descriptive texts as the user typed them: title, author and the rest.
#pragma once

#include <string>

#include "platform/Persistent.h"

namespace bookloom {

class TBookDescription : public TPersistent {
 public:
  TBookDescription() = default;
  TBookDescription(const TBookDescription&) = default;
  TBookDescription& operator=(const TBookDescription&) = default;

  // Empties all nine texts.
  void Clear();
  // Copies the nine texts of another description; any other source raises EConvertError.
  void Assign(const TPersistent& source) override;
  std::string ClassName() const override { return "TBookDescription"; }

  std::u16string Title, Author, Subject, Adapter, Translator, Publisher, PublishTime, ISBN, Annotation;
};

}  // namespace bookloom
