// Which file item class reads which file: the read-only table of file types, one row an extension,
// looked up by file name, and the filter string of the "Add File" dialog built from it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "book/FileItem.h"

namespace bookloom {

// One file type a book can be made from.
struct FileType {
  std::u16string ext;          // without the dot; two parts ("fb2.zip") where the last is not enough
  std::u16string group;        // the open dialog's entry that lists it
  std::u16string description;  // the extension's own description; empty: the group's
  const FileItemClass* itemClass;
  std::string reader;  // what reads the files: "built-in", "libpng", "GraphicsMagick", ...

  // The description the list of formats shows.
  const std::u16string& Described() const { return description.empty() ? group : description; }
};

// BuildFilter options, bits that may be combined.
inline constexpr int kGroupByClass = 1;
inline constexpr int kAllSupported = 2;

class FileTypeTable {
 public:
  // The rows in the order the open dialog lists them; an extension (case ignored) once at most.
  explicit FileTypeTable(std::vector<FileType> rows);

  // The open-dialog filter: pairs of description and masks, each followed by "|". `sortMode`
  // says what is sorted: 0 nothing, 1 the entries and the extensions, 2 the entries only, 3 the
  // extensions only. Grouped by class, an entry is one group of one item class. `itemClass` null
  // means every class. `describe`, when given, turns each description (and "All supported formats")
  // into the text shown, before the entries are sorted.
  using Describe = std::function<std::u16string(const std::u16string&)>;
  std::u16string BuildFilter(int sortMode, int options, const FileItemClass* itemClass,
                             const Describe& describe = nullptr) const;

  // The class of the extension of a file name; null when there is none. An extension of two parts
  // ("fb2.zip") is found before the last part alone ("zip").
  const FileItemClass* FindItemClass(const std::u16string& fileName) const;

  const std::vector<FileType>& Rows() const { return rows_; }

 private:
  const FileType* FindExt(std::u16string_view ext) const;

  std::vector<FileType> rows_;
};

// Bookloom's file types: texts, then pictures, then documents, folders and archives.
const FileTypeTable& FileTypes();

}  // namespace bookloom
