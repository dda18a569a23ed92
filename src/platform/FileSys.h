// The file system as the program sees it: names are UTF-16 here and UTF-8 at the system.
#pragma once

#include <cstdint>
#include <string>

namespace bookloom {

// True when the name is an existing file and not a folder.
bool FileExists(const std::u16string& fileName);

// The size in bytes of the directory entry of that name (a folder too); 0 when there is none.
int64_t FileSize(const std::u16string& fileName);

// Removes the file; false when it could not be removed (also when it does not exist).
bool DeleteFile(const std::u16string& fileName);

// The whole content of a file; FileOpenError "Cannot open file "%s". %s" when it cannot be read.
std::string ReadFileBytes(const std::u16string& fileName);

// A fresh, unused name in the folder of `target`, for writing a file that later replaces it.
std::u16string TemporaryNameBeside(const std::u16string& target);

// Puts `source` in the place of `target` in one step; WriteError when that fails.
void ReplaceFile(const std::u16string& source, const std::u16string& target);

// The path of the running executable, "" when it cannot be found.
std::u16string ExecutablePath();

}  // namespace bookloom
