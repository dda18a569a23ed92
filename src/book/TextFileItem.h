// The file item of plain text files: reads a text file in UTF-16, UTF-8, the system's code page or
// the encoding its settings name, and writes it into the book as one chapter, one paragraph per
// line, or, as its settings ask, with its headings as chapters and its hard-wrapped lines joined.
#pragma once

#include <string>
#include <vector>

#include "book/FileItem.h"
#include "book/FileTypes.h"
#include "text/Chapters.h"
#include "text/Unwrapping.h"

namespace bookloom {

class TextFileItem : public FileItem {
 public:
  static const FileItemClass Class;

  TextFileItem(const Runtime& runtime, const std::u16string& fileName) : FileItem(runtime, fileName) {}

  // Reads the whole file into Lines, with a warning of the bytes that form no character;
  // FileOpenError when it cannot be opened.
  void Load() override;
  void Unload() override;
  // Nothing to check: the file is read only when the book is made.
  void Verify() override {}
  SettingGroups UsedSettings() const override { return {.text = true}; }
  // A chapter: a first-level table-of-contents entry titled with the file name without its
  // extension, then every line as a paragraph. With chapters asked for, each heading starts a
  // section and has an entry below the file's (in place of it when the file is the book's only
  // input); with joined lines, a paragraph is a block of lines. Warns of the characters replaced
  // and dropped and of the entries the book cannot hold. The lines stay loaded afterwards.
  void WriteTo(BookWriter& writer) override;

  const std::vector<std::u16string_view>& Lines() const { return lines_; }

  // The file's own entry (unless its headings stand in its place), then one for each heading the
  // settings find, a level below the file's.
  std::vector<ContentsEntry> ContentsEntries() override;

 private:
  // The headings of the loaded lines and the entries they and the file make: one list for writing
  // and for listing.
  struct Outline {
    std::vector<Heading> headings;
    bool fileEntry = true;
    std::vector<ContentsEntry> entries;
  };
  Outline MakeOutline() const;

  // The paragraphs the lines make, as the settings ask; the headings are never joined to others.
  std::vector<LineRange> Paragraphs(const std::vector<Heading>& headings);

  std::u16string text_;
  std::vector<std::u16string_view> lines_;  // views into text_
};

// Runs the chapter rules on every text of the list: each text without them gets them turned on as a
// setting of its own. How many texts changed.
int DetectChapters(FileList& files);

// The text item's class for a file whose extension names no known type (or that has none) but whose
// content is text; null otherwise, and when the file cannot be read.
const FileItemClass* TextClassByContent(const std::u16string& fileName);

// The text item's rows of the table of file types.
std::vector<FileType> TextFileTypes();

}  // namespace bookloom
