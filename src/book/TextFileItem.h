// The file item of plain text files: reads a text file in UTF-16, UTF-8 or the system's code
// page and writes it into the book as one chapter, one paragraph per line.
#pragma once

#include <string>
#include <vector>

#include "book/FileItem.h"

namespace bookloom {

class TextFileItem : public FileItem {
 public:
  static const FileItemClass Class;

  explicit TextFileItem(const std::u16string& fileName) : FileItem(fileName) {}

  // Reads the whole file into Lines; FileOpenError when it cannot be opened.
  void Load() override;
  void Unload() override;
  // Nothing to check: the file is read only when the book is made.
  void Verify() override {}
  // A chapter: a first-level table-of-contents entry titled with the file name without its
  // extension, then every line as a paragraph. The lines stay loaded afterwards.
  void WriteTo(BookWriter& writer) override;

  const std::vector<std::u16string>& Lines() const { return lines_; }

 private:
  std::vector<std::u16string> lines_;
};

// The text item's place in the file type registry, from the start to the end of the program.
void RegisterTextItem();
void UnregisterTextItem();

}  // namespace bookloom
