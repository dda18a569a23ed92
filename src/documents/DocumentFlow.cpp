#include "documents/DocumentFlow.h"

#include <algorithm>
#include <stdexcept>

#include "platform/Utf.h"

namespace bookloom {

void DocumentFlow::EndParagraph() {
  document_.AddParagraph(CollapseSpaces(text_));
  text_.clear();
}

void DocumentFlow::Picture(size_t picture) {
  EndParagraph();
  document_.AddPicture(picture);
}

void DocumentFlow::EndHeading(int level) {
  std::u16string title = CollapseSpaces(text_);
  text_.clear();
  if (title.empty()) return;
  WriteNotes();
  document_.AddHeading(std::clamp(level, 1, 3), title);
  document_.AddParagraph(std::move(title));
}

void DocumentFlow::Note(const std::u16string& mark, std::vector<std::u16string> paragraphs) {
  const std::u16string shown = u"[" + mark + u"]";
  text_ += shown;
  if (paragraphs.empty()) paragraphs.emplace_back();
  paragraphs.front() = shown + u" " + paragraphs.front();
  for (std::u16string& p : paragraphs) notes_.push_back(std::move(p));
}

void DocumentFlow::Finish() {
  EndParagraph();
  WriteNotes();
}

void DocumentFlow::WriteNotes() {
  for (std::u16string& note : notes_) document_.AddParagraph(CollapseSpaces(note));
  notes_.clear();
}

namespace {

std::u16string Letters(int number, char16_t first) {
  std::u16string out;
  for (; number > 0; number = (number - 1) / 26)
    out.insert(out.begin(), static_cast<char16_t>(first + (number - 1) % 26));
  return out;
}

std::u16string Roman(int number, bool upper) {
  static constexpr struct {
    int value;
    const char* digits;
  } kNumerals[] = {{1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
                   {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
  std::string out;
  for (const auto& n : kNumerals)
    for (; number >= n.value; number -= n.value) out += n.digits;
  if (upper)
    std::transform(out.begin(), out.end(), out.begin(), [](char c) { return static_cast<char>(c - 32); });
  return Utf8ToUtf16(out);
}

}  // namespace

int NumberOr(const std::string& text, int otherwise) {
  try {
    return text.empty() ? otherwise : std::stoi(text);
  } catch (const std::exception&) {
    return otherwise;
  }
}

std::u16string ListNumber(int number, char style) {
  if (number > 0 && (style == 'a' || style == 'A')) return Letters(number, style == 'a' ? u'a' : u'A');
  if (number > 0 && number < 4000 && (style == 'i' || style == 'I')) return Roman(number, style == 'I');
  return Utf8ToUtf16(std::to_string(number));
}

}  // namespace bookloom
