// What the readers of word-processor files (DOCX, ODT, RTF) and Markdown share while they build a
// document: a paragraph's text gathered piece by piece, pictures placed where they stand, headings
// that also stay text, list marks, and notes kept until the end of their section.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "documents/Document.h"

namespace bookloom {

class DocumentFlow {
 public:
  explicit DocumentFlow(Document& document) : document_(document) {}

  // Appends text to the paragraph being gathered.
  void Text(std::u16string_view text) { text_ += text; }
  // Ends the paragraph being gathered: its blanks collapsed, nothing when it is empty.
  void EndParagraph();
  // Ends the paragraph before the picture, then places the picture.
  void Picture(size_t picture);
  // Ends the paragraph being gathered as a heading of that level (1 for the top; levels below the
  // third are entries of the third): the notes of the section before come first, then the heading,
  // then its text as a paragraph. An empty heading is left out.
  void EndHeading(int level);
  // Appends the note's mark ("[1]") to the text and keeps its paragraphs for the section's end.
  void Note(const std::u16string& mark, std::vector<std::u16string> paragraphs);
  // Ends the paragraph being gathered and the document: the last section's notes follow it.
  void Finish();

 private:
  void WriteNotes();

  Document& document_;
  std::u16string text_;
  std::vector<std::u16string> notes_;  // paragraphs, the first of each note with its mark
};

// The number an attribute holds, or `otherwise` when it holds none.
int NumberOr(const std::string& text, int otherwise);

// A list item's number as a list shows it: `style` is '1' (1, 2, 3), 'a' or 'A' (a ... z, aa, ab),
// 'i' or 'I' (Roman numerals, up to 3999; larger numbers as digits).
std::u16string ListNumber(int number, char style);

}  // namespace bookloom
