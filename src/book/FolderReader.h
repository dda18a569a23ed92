// Folders as books: the pictures and text files in a folder and its sub-folders, in natural order
// ("page2" before "page10"), each sub-folder a chapter.
#pragma once

#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads the folder: its text files (read whole, each a chapter of its own) and the list of its
// pictures (decoded when written), in natural order of their names, a sub-folder a chapter whose
// texts and sub-folders are one level deeper (at most the table of contents' third). Hidden files
// and folders, and links to folders, are passed over; files of other known kinds are left out
// with a warning. A picture named "cover" (or "folder") is the folder's cover.
Document ReadFolder(const Runtime& runtime, const std::u16string& folder);

}  // namespace bookloom
