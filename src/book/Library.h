// A library made into books, one book per e-book or document: the books among files, folders walked
// recursively and archives of e-books, each with its place in an output tree that mirrors the
// inputs'; a stable split of them into shards for several machines; and the file item of each.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "book/FileItem.h"

namespace bookloom {

struct LibraryBook {
  std::u16string source;  // the file named or found; an archive of e-books when `entry` is set
  std::string entry;      // the e-book's name inside that archive, "" when the file is the book
  std::u16string output;  // where its book goes below the output folder: "sub/book.wol"
  size_t input = 0;       // the index of the input it was named as or found in

  // "lib/a.fb2", or "lib/books.zip/a/b.fb2" for an e-book inside an archive.
  std::u16string Shown() const;
};

// The books among the inputs, in order: a named file is a book whatever its type; a folder gives the
// e-books, documents and texts below it (pictures and files of unknown types are no books; hidden
// files and folders, and links to folders, are passed over), in natural order; an archive that holds
// two or more FB2 or EPUB books and no picture gives each of them as a book of its own (any other archive
// is one book, a comic or an FB2 in a zip). A book's output is its path below the folder named, or
// its file name for a file named, with ".wol" for its extension (".fb2.zip" counts as one), inside a
// folder named after its archive for an archive's book. Books that would share an output keep their
// extensions in its name ("a.fb2.wol", "a.epub.wol"), and, if that is not enough, a number.
struct Library {
  std::vector<LibraryBook> books;
  // The folders that could not be read, each with the message that says why.
  std::vector<std::pair<std::u16string, std::string>> unreadable;
};
Library FindLibraryBooks(const Runtime& runtime, const std::vector<std::u16string>& inputs);

// What a book is named by when its outputs take its description: each "" where it gives none.
struct BookNameFields {
  std::u16string author, series, title;
};

class AsciiTransliterator;

// A pattern of the outputs' paths below the output folder, as `convert --name` takes it: text with
// {author}, {series}, {title} and {file} (the source's name without its extension), "/" between
// folders: "{author}/{series}/{title}".
class OutputNamePattern {
 public:
  // Raises Exception for an empty pattern, an unknown or unclosed {field}, or one that names no field.
  explicit OutputNamePattern(std::u16string_view pattern);

  // The book's output: each field made safe for a file name on any file system (no "/", "\", ":",
  // "*", "?", "\"", "<", ">", "|" or control characters, no blanks or dots at either end, at most 100
  // characters), folders left empty by missing fields dropped, ".wol" added; the title falls back
  // to the file's name. With `ascii`, in ASCII letters only.
  std::u16string OutputOf(const LibraryBook& book, const BookNameFields& fields,
                          const AsciiTransliterator* ascii) const;

 private:
  struct Part {
    std::u16string text;                              // literal text
    std::u16string BookNameFields::*field = nullptr;  // or a field
    bool file = false;                                // or the source's name
  };
  std::vector<Part> parts_;
};

// A book's output ("Толстой/Война и мир.wol") in ASCII letters ("Tolstoy/Voyna i mir.wol"), each
// folder and the name made safe as OutputNamePattern makes them.
std::u16string AsciiOutputOf(std::u16string_view output, const AsciiTransliterator& ascii);

// Gives books that would share an output a number: "a.wol", "a (2).wol", in the books' order.
void NumberSharedOutputs(std::vector<LibraryBook>& books);

// Whether the book belongs to shard `index` (from 1) of `count`: decided by a hash of its source and
// entry as the command line names them, the same on every machine, so that `count` runs of the same
// command, one for each index, take every book exactly once.
bool InShard(const LibraryBook& book, int index, int count);

// The file item that reads the book with these settings, checked with them as MakeInputItem checks an
// input (with skipBadParts its bad pages are left out); InputError otherwise.
std::unique_ptr<FileItem> MakeLibraryItem(const Runtime& runtime, const LibraryBook& book,
                                          const FileSettings& settings);

}  // namespace bookloom
