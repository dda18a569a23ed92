// The build: turns the book project (file list, description, cover) into one Wolf book file.
#pragma once

#include <functional>
#include <string>

namespace bookloom {

class FileItem;
class FileList;
class BookDescription;
class CoverPage;

// Called before each file of the list is written: its index from 0, the number of files, the item.
using BuildProgress = std::function<void(int index, int count, const FileItem& item)>;

// The description's title, or "(no title)" when it is empty.
std::u16string GetBookTitle(const BookDescription& description);
// The description's author, or "(no author)" when it is empty.
std::u16string GetBookAuthor(const BookDescription& description);

// Writes the book to fileName. The book is written to a temporary file beside it, which replaces
// fileName only when the book is complete: on any error the temporary file is removed, an
// existing book of that name stays as it was, and the error is passed on.
void BuildBook(const std::u16string& fileName, FileList& files, const BookDescription& description,
               const CoverPage& coverPage, const BuildProgress& progress = {});

}  // namespace bookloom
