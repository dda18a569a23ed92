#include "documents/ZipPackage.h"

#include "documents/Archive.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

// Embedded fonts, which a Wolf book has no use for: never read into memory.
bool IsFont(std::string_view name) {
  for (const std::string_view ext : {".ttf", ".otf", ".odttf", ".fntdata"})
    if (name.size() >= ext.size() && name.substr(name.size() - ext.size()) == ext) return true;
  return false;
}

}  // namespace

ZipPackage::ZipPackage(const Runtime& runtime, const std::u16string& fileName) : fileName_(fileName) {
  ArchiveReader archive(runtime, fileName);
  while (archive.Next())
    if (!IsFont(archive.Name())) entries_[archive.Name()] = archive.Read();
}

const std::string* ZipPackage::Find(const std::string& name) const {
  const auto found = entries_.find(name);
  return found == entries_.end() ? nullptr : &found->second;
}

const std::string& ZipPackage::Entry(const std::string& name, const std::string& what) const {
  const std::string* entry = Find(name);
  if (!entry) throw DocumentError(fileName_, name, what + " is missing from the file");
  return *entry;
}

std::optional<size_t> ZipPackage::Picture(const std::string& name, EncodedPictures& pictures,
                                          Document& document) {
  if (const auto known = pictureOf_.find(name); known != pictureOf_.end()) return known->second;
  std::optional<size_t> index;
  if (const std::string* bytes = Find(name); !bytes)
    document.warnings.push_back(name + ": the picture is missing from the file: left out");
  else
    index = pictures.AddOrLeaveOut(name, *bytes, document);
  pictureOf_[name] = index;
  return index;
}

}  // namespace bookloom
