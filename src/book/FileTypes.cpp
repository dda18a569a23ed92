#include "book/FileTypeRegistry.h"

#include <algorithm>

#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"

namespace bookloom {

namespace {

// A list of texts that either keeps the order of adding, duplicates included, or keeps itself in
// the user's case-insensitive order and ignores a text equal to one it holds.
class TextList {
 public:
  explicit TextList(bool sorted) : sorted_(sorted) {}

  void Add(const std::u16string& s) {
    if (!sorted_) {
      texts_.push_back(s);
      return;
    }
    const auto at = std::lower_bound(
        texts_.begin(), texts_.end(), s,
        [](const std::u16string& a, const std::u16string& b) { return CompareTextIgnoreCase(a, b) < 0; });
    if (at == texts_.end() || CompareTextIgnoreCase(*at, s) != 0) texts_.insert(at, s);
  }
  void Clear() { texts_.clear(); }
  const std::vector<std::u16string>& Texts() const { return texts_; }

 private:
  bool sorted_;
  std::vector<std::u16string> texts_;
};

// "*.jpg; *.jpe" for the extensions jpg and jpe.
std::u16string Masks(const TextList& exts) {
  std::u16string out;
  for (const auto& ext : exts.Texts()) {
    if (!out.empty()) out += u"; ";
    out += u"*." + ext;
  }
  return out;
}

std::u16string Entry(const std::u16string& description, const std::u16string& masks, bool allSupported) {
  std::u16string out = description;
  if (allSupported) out += u" (" + masks + u")";
  return out + u"|" + masks + u"|";
}

}  // namespace

FileTypeExtension* FileTypeRegistry::FindExt(std::u16string_view ext) const {
  if (ext.empty()) return nullptr;
  for (const auto& e : extensions_)
    if (SameTextIgnoreCase(e->ext, ext)) return e.get();
  return nullptr;
}

FileTypeClass* FileTypeRegistry::FindClass(const FileItemClass& itemClass,
                                           const std::u16string& description) const {
  for (const auto& c : classes_)
    if (c->itemClass == &itemClass && (description.empty() || c->description == description)) return c.get();
  return nullptr;
}

void FileTypeRegistry::Link(FileTypeExtension& ext, FileTypeClass* classItem, const FileItemClass& itemClass,
                            const std::u16string& classDescription) {
  if (!classItem) {
    classes_.push_back(std::make_unique<FileTypeClass>(FileTypeClass{&itemClass, classDescription}));
    classItem = classes_.back().get();
  }
  ++classItem->refCount;
  ext.classItem = classItem;
}

void FileTypeRegistry::Release(FileTypeClass* classItem) {
  if (--classItem->refCount > 0) return;
  std::erase_if(classes_, [&](const auto& c) { return c.get() == classItem; });
}

void FileTypeRegistry::RegisterFormat(const std::u16string& ext, const std::u16string& classDescription,
                                      const std::u16string& extDescription, bool replace,
                                      const FileItemClass& itemClass, const std::string& reader) {
  if (ext.empty()) return;
  FileTypeExtension* e = FindExt(ext);
  FileTypeClass* c = FindClass(itemClass, classDescription);
  if (!e) {
    extensions_.push_back(
        std::make_unique<FileTypeExtension>(FileTypeExtension{ext, extDescription, nullptr, reader}));
    Link(*extensions_.back(), c, itemClass, classDescription);
    return;
  }
  if (!replace) Raise<Exception>("Attempt to register %s twice!", {ext});
  FileTypeClass* old = e->classItem;
  if (old->itemClass == &itemClass) return;
  e->reader = reader;
  Link(*e, c, itemClass, classDescription);
  Release(old);
}

void FileTypeRegistry::UnregisterFormat(const std::u16string& ext, const FileItemClass& itemClass) {
  if (!ext.empty()) {
    FileTypeExtension* e = FindExt(ext);
    if (!e) return;
    Release(e->classItem);
    std::erase_if(extensions_, [&](const auto& x) { return x.get() == e; });
    return;
  }
  std::erase_if(extensions_, [&](const auto& x) {
    if (x->classItem->itemClass != &itemClass) return false;
    Release(x->classItem);
    return true;
  });
  std::erase_if(classes_, [&](const auto& c) { return c->itemClass == &itemClass; });
}

std::u16string FileTypeRegistry::BuildFilter(int sortMode, int options,
                                             const FileItemClass* itemClass) const {
  const bool allSupported = options & kAllSupported;
  const bool sortedExts = sortMode == 1 || sortMode == 3;
  TextList entries(sortMode == 1 || sortMode == 2), classExts(sortedExts), allExts(sortedExts);
  const auto wanted = [&](const FileTypeClass& c) { return !itemClass || c.itemClass == itemClass; };

  if (options & kGroupByClass) {
    for (const auto& c : classes_) {
      if (!wanted(*c)) continue;
      classExts.Clear();
      for (const auto& e : extensions_)
        if (e->classItem == c.get()) classExts.Add(e->ext);
      if (allSupported)
        for (const auto& ext : classExts.Texts()) allExts.Add(ext);
      entries.Add(Entry(c->description, Masks(classExts), allSupported));
    }
  } else {
    for (const auto& e : extensions_) {
      if (!wanted(*e->classItem)) continue;
      const std::u16string& description = e->description.empty() ? e->classItem->description : e->description;
      entries.Add(Entry(description, u"*." + e->ext, allSupported));
      if (allSupported) allExts.Add(e->ext);
    }
  }

  std::u16string result;
  if (allSupported && !allExts.Texts().empty()) result = u"All supported formats|" + Masks(allExts) + u"|";
  for (const auto& entry : entries.Texts()) result += entry;
  return result;
}

const FileItemClass* FileTypeRegistry::FindItemClass(const std::u16string& fileName) const {
  const std::u16string_view name = PathFileName(fileName);
  const FileTypeExtension* e = nullptr;
  for (const auto& x : extensions_) {
    const size_t length = x->ext.size() + 1;
    if (x->ext.find(u'.') == std::u16string::npos || name.size() <= length ||
        (e && e->ext.size() >= x->ext.size()))
      continue;
    if (name[name.size() - length] == u'.' &&
        SameTextIgnoreCase(name.substr(name.size() - x->ext.size()), x->ext))
      e = x.get();
  }
  if (!e) e = FindExt(PathExtension(fileName));
  return e ? e->classItem->itemClass : nullptr;
}

}  // namespace bookloom
