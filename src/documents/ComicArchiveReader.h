// Comic archives (.cbz/.zip, .cbr/.rar, .cb7/.7z, .cbt/.tar): their pictures in natural order ("page2"
// before "page10") as one picture section, described by the archive's ComicInfo.xml where it has one,
// which also tells a manga read from right to left.
// The pictures are read from the archive one by one as they are written.
#pragma once

#include <cstddef>
#include <string>

#include "documents/Document.h"

namespace bookloom {

// Reads the archive's list of pictures and its ComicInfo.xml; DocumentError names the file and the
// part that failed (an entry, the ComicInfo.xml), or tells that it holds no picture. An archive
// without pictures that holds an FB2 book is read as that book.
Document ReadComicArchive(const Runtime& runtime, const std::u16string& fileName);

// The most bytes of pictures that, read from the archive ahead of their turn, wait in memory: a
// picture beyond them is read again by a later pass, so that the memory a build needs does not grow
// with the archive.
inline constexpr size_t kMostWaitingBytes = size_t{32} << 20;

// ReadComicArchive with pictures waiting in memory up to `waitingBytes`.
Document ReadComicArchiveWithin(const Runtime& runtime, const std::u16string& fileName, size_t waitingBytes);

}  // namespace bookloom
