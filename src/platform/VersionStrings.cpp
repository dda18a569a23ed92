#include "platform/VersionStrings.h"

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

int Major(const FileVersion& v) { return static_cast<int>(v.ms >> 16); }
int Minor(const FileVersion& v) { return static_cast<int>(v.ms & 0xFFFF); }
int Release(const FileVersion& v) { return static_cast<int>(v.ls >> 16); }

std::u16string VersionText(const FileVersion& v) {
  return Utf8ToUtf16(Format("%d.%d", {Major(v), Minor(v)}));
}

std::u16string BuildText(const FileVersion& v) {
  return Utf8ToUtf16(Format("%d.%d.%2.2d", {Major(v), Minor(v), Release(v)}));
}

}  // namespace

bool GetVersionStrings(const std::u16string& fileName, std::u16string* version, std::u16string* build) {
  if (version) version->clear();
  if (build) build->clear();
  const std::optional<FileVersion> v = ReadFileVersion(fileName);
  if (!v) return false;
  if (version) *version = VersionText(*v);
  if (build) *build = BuildText(*v);
  return true;
}

}  // namespace bookloom
