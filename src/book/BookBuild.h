// The build: turns the book project (file list, description, cover) into one Wolf book file.
#pragma once

#include <string>

#include "platform/Exception.h"

namespace bookloom {

class FileItem;
class FileList;
class BookDescription;
class CoverPage;
class Runtime;

// What one input added to the book.
struct ItemReport {
  int paragraphs = 0;
  int pictures = 0;
  int pages = 0;  // in the first layout
};

// Follows a build, file by file; every call comes from the thread that runs the build.
class BuildObserver {
 public:
  virtual ~BuildObserver() = default;
  // Before file `index` (from 0) of `count` is written.
  virtual void Starting(int index, int count, const FileItem& item) {}
  // After it is written: what it added, then each warning it gave (characters replaced, a picture
  // only partly read, ...).
  virtual void Written(int index, int count, const FileItem& item, const ItemReport& report) {}
  virtual void Warning(const FileItem& item, const std::string& message) {}
  // While file `index` is written: the part of it written so far (0 to 1), after each of its pictures.
  virtual void Progress(int index, int count, const FileItem& item, double part) {}
  // Then the details of what it did, for a detailed account.
  virtual void Note(const FileItem& item, const std::string& message) {}
  // Asked before each file: true stops the build as a failure would, with BuildCancelledError.
  virtual bool CancelRequested() { return false; }
};

// A build stopped at the user's request.
class BuildCancelledError : public Exception {
  using Exception::Exception;
};

// The description's title, or "(no title)" when it is empty.
std::u16string GetBookTitle(const BookDescription& description);
// The description's author, or "(no author)" when it is empty.
std::u16string GetBookAuthor(const BookDescription& description);

// Writes the book to fileName. Each description text the user left empty is taken from the first
// input that offers one (an FB2 book's title, an EPUB's authors); when the user chose a kind of cover
// page but no picture for it, the first cover an input offers is the book's cover. The book is written to a
// temporary file beside it, which replaces fileName only when the book is complete: on any error (or a
// cancellation, or SIGINT and SIGTERM where the program has them remove temporary files) the temporary file
// is removed, an existing book of that name stays as it was, and the error is passed on. A book that would
// replace one of its own inputs or its cover is refused before anything is written. The cover is read
// (or made from the title) with the run's libraries.
void BuildBook(const Runtime& runtime, const std::u16string& fileName, FileList& files,
               const BookDescription& description, const CoverPage& coverPage,
               BuildObserver* observer = nullptr);

// The same book in memory: what a preview shows of a file is what the book will hold.
std::string BuildBookInMemory(const Runtime& runtime, FileList& files, const BookDescription& description,
                              const CoverPage& coverPage);

}  // namespace bookloom
