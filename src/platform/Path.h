// The parts of a file name, split at the platform's path separators: "/" here; "\", "/" and ":"
// on Windows builds.
#pragma once

#include <string_view>

namespace bookloom {

// The last component of a path ("b.txt" of "/a/b.txt").
std::u16string_view PathFileName(std::u16string_view path);
// The part before it, with its trailing separator ("/a/" of "/a/b.txt"; "" without a separator).
std::u16string_view PathFolder(std::u16string_view path);
// The text after the last "." of the last component, "" when it has none ("txt" of "/a.b/c.txt").
std::u16string_view PathExtension(std::u16string_view path);
// The last component without its extension (from its last "." on): "c" of "/a.b/c.txt".
std::u16string_view PathNameWithoutExtension(std::u16string_view path);

}  // namespace bookloom
