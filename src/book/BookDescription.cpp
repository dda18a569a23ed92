#include "book/BookDescription.h"

#include "text/Win1251.h"
#include "wolf/BookRecords.h"

namespace bookloom {

namespace {

using enum DescriptionFieldId;

// In the order the description dialog shows them.
constexpr DescriptionText kTexts[] = {
    {&BookDescription::title, kTitle},
    {&BookDescription::author, kAuthor},
    {&BookDescription::subject, kSubject},
    {&BookDescription::adapter, kAdapter},
    {&BookDescription::translator, kTranslator},
    {&BookDescription::publisher, kPublisher},
    {&BookDescription::publishTime, kTimePublish},
    {&BookDescription::isbn, kIsbn},
    {&BookDescription::annotation, kIntroduction},
};

}  // namespace

std::span<const DescriptionText> DescriptionTexts() { return kTexts; }

std::vector<DescriptionOverflow> FindDescriptionOverflows(const Runtime& runtime,
                                                          const BookDescription& description) {
  std::vector<DescriptionOverflow> overflows;
  for (const DescriptionText& t : kTexts) {
    std::string_view bytes;
    const std::string converted = WithBookLineEnds(WideToWin1251(runtime, description.*t.text));
    bytes = converted;
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!bytes.empty() && isBlank(bytes.front())) bytes.remove_prefix(1);
    while (!bytes.empty() && isBlank(bytes.back())) bytes.remove_suffix(1);
    const auto limit = static_cast<size_t>(kDescriptionFields[static_cast<size_t>(t.field)].maxLength);
    if (bytes.size() > limit) overflows.push_back({t.field, bytes.size(), limit});
  }
  return overflows;
}

void BookDescription::Clear() { *this = BookDescription(); }

}  // namespace bookloom
