#include "platform/Path.h"

namespace bookloom {

namespace {

#ifdef _WIN32
constexpr std::u16string_view kPathSeparators = u"\\/:";
#else
constexpr std::u16string_view kPathSeparators = u"/";
#endif

// Where the last component of a path begins.
size_t NameStart(std::u16string_view path) {
  const size_t sep = path.find_last_of(kPathSeparators);
  return sep == std::u16string_view::npos ? 0 : sep + 1;
}

}  // namespace

std::u16string_view PathFileName(std::u16string_view path) { return path.substr(NameStart(path)); }

std::u16string_view PathFolder(std::u16string_view path) { return path.substr(0, NameStart(path)); }

std::u16string_view PathExtension(std::u16string_view path) {
  const std::u16string_view name = PathFileName(path);
  const size_t dot = name.find_last_of(u'.');
  return dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot + 1);
}

std::u16string_view PathNameWithoutExtension(std::u16string_view path) {
  const std::u16string_view name = PathFileName(path);
  return name.substr(0, name.find_last_of(u'.'));
}

}  // namespace bookloom
