// The one policy for files named as inputs of a book: each must exist, be a regular file, be
// readable, be of a known type and pass its item's check. The command line and the window
// refuse a bad input with the same words.
#pragma once

#include <memory>
#include <string>

#include "book/FileItem.h"
#include "platform/Exception.h"

namespace bookloom {

// An input that cannot become part of a book, with the reason in a few words ("no such file", "is a
// folder", "is not a regular file", "cannot be read: ...", "unknown file type .xyz", "cannot be
// decoded: ...").
class InputError : public Exception {
 public:
  InputError(const std::u16string& fileName, std::string reason);
  const std::u16string& FileName() const { return fileName_; }
  const std::string& Reason() const { return reason_; }

 private:
  std::u16string fileName_;
  std::string reason_;
};

// Raises InputError when the name is not a regular file that can be read (no such file, a folder,
// a pipe or a device, no permission).
void CheckInputFile(const std::u16string& fileName);

// The item class that reads an input: the folder item for a folder, else the one the file types give for the
// name's extension; null when there is none.
const FileItemClass* InputItemClass(const std::u16string& fileName);

// The file item for an input, with its settings (the book's unless `ownSettings`), checked as
// CheckInputFile does, then by the type its extension names and by the item's own check (a picture
// must decode, a book must be readable, every page of a folder or an archive must be one a decoder
// takes, or is left out with a warning when the settings skip bad parts); InputError otherwise. A
// folder is an input too: its pictures and texts make one item. Every way a file comes into a book
// (named, in a project, dropped on the window) passes through here. The item reads its file with the
// run's libraries.
std::unique_ptr<FileItem> MakeInputItem(const Runtime& runtime, const std::u16string& fileName,
                                        const FileSettings& settings = {}, bool ownSettings = false);

}  // namespace bookloom
