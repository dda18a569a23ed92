// A book project kept in a file: the input files with their own settings, the book-wide settings,
// the description and the cover, as one JSON document. Paths are kept relative to the project
// file where they can be, so that a project travels with its folder.
#pragma once

#include <string>
#include <vector>

#include "book/BookDescription.h"
#include "book/Contents.h"
#include "book/FileItem.h"
#include "book/FileSettings.h"
#include "pictures/CoverPage.h"
#include "platform/Exception.h"

namespace bookloom {

struct ProjectFile {
  std::u16string path;    // absolute once loaded
  FileSettings settings;  // the file's own, or the book's when the user gave it none
  bool ownSettings = false;
  ContentsEdits contents;  // the user's edits of the file's table-of-contents entries
};

struct Project {
  BookDescription description;
  CoverPage cover;
  FileSettings settings;  // the book's, given to every file without its own
  std::vector<ProjectFile> files;
};

// A project file that cannot be read or does not hold a project; the message names the file and
// what is wrong.
class ProjectError : public Exception {
  using Exception::Exception;
};

// The project as a JSON document, paths relative to `folder` (UTF-8 text).
std::string ProjectToJson(const Project& project, const std::u16string& folder);
// The project of a JSON document, relative paths taken from `folder`; ProjectError naming
// `fileName` when the document is not a project of this program.
Project ProjectFromJson(const std::string& json, const std::u16string& folder,
                        const std::u16string& fileName);

// The project of a book being put together: every item's file, settings and edits of its entries.
Project MakeProject(const FileList& files, const BookDescription& description, const CoverPage& cover,
                    const FileSettings& settings);

// The items of a project's files, each with its settings and edits; a file that cannot be used is left out
// and named in `problems` with the reason.
FileList MakeProjectItems(const Runtime& runtime, const Project& project, std::vector<std::string>& problems);

// Writes the project file in one step: an old file of that name stays whole until the new one is.
void SaveProject(const Project& project, const std::u16string& fileName);
Project LoadProject(const std::u16string& fileName);

}  // namespace bookloom
