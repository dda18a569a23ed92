// The file system as the program sees it: names are UTF-16 here and UTF-8 at the system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bookloom {

// True when the name is an existing file and not a folder.
bool FileExists(const std::u16string& fileName);

// What a name stands for: nothing, a regular file, a folder, or something else (a pipe, a device, a
// socket) that a book cannot be read from.
enum class FileKind { kMissing, kRegular, kFolder, kOther };
FileKind KindOf(const std::u16string& fileName);

// One name in a folder: the name alone, and whether it is a folder (a link is what it leads to, and
// `link` tells that it is one).
struct FolderEntry {
  std::u16string name;
  FileKind kind;
  bool link;
};
// The names in a folder, "." and ".." left out, in no particular order; FileOpenError when the
// folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::u16string& folder);

// Whether the two names lead to the same file (the same device and inode), whatever their spelling
// or links; false when either does not exist.
bool SameFile(const std::u16string& a, const std::u16string& b);

// The size in bytes of the directory entry of that name (a folder too); 0 when there is none.
int64_t FileSize(const std::u16string& fileName);

// When the file (or folder) was last changed, in nanoseconds since 1970; nullopt when there is none.
std::optional<int64_t> ModificationTime(const std::u16string& fileName);

// Removes the file; false when it could not be removed (also when it does not exist).
bool DeleteFile(const std::u16string& fileName);

// Why the file cannot be opened for reading ("Permission denied", ...); empty when it can.
std::string ReadAccessProblem(const std::u16string& fileName);

// The whole content of a regular file, or its first `maxBytes`; FileOpenError "Cannot open file "%s".
// %s" when it cannot be opened or is not a regular file (a pipe or a device is never waited on).
std::string ReadFileBytes(const std::u16string& fileName, size_t maxBytes = SIZE_MAX);

// A fresh, unused name in the folder of `target`, for writing a file that later replaces it.
std::u16string TemporaryNameBeside(const std::u16string& target);

// Writes the bytes as the whole of the file, replacing it in one step: until then an old file of that
// name stays as it was. FileCreateError or WriteError when it cannot be written.
void WriteFileReplacing(const std::u16string& fileName, std::string_view bytes);

// Puts `source` in the place of `target` in one step; WriteError when that fails. A target that
// exists keeps its permissions.
void ReplaceFile(const std::u16string& source, const std::u16string& target);

// The path of the running executable, "" when it cannot be found.
std::u16string ExecutablePath();

}  // namespace bookloom
