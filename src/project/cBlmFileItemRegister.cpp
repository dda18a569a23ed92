#include "project/cBlmFileItemRegister.h"

#include <algorithm>

#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"

namespace bookloom {

namespace {

std::unique_ptr<TBlmFileItemRegFormats> theFormats;

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

TBlmFileItemRegExtItem* TBlmFileItemRegFormats::FindExt(std::u16string_view ext) const {
  if (ext.empty()) return nullptr;
  for (const auto& e : extensions_)
    if (SameTextIgnoreCase(e->Ext, ext)) return e.get();
  return nullptr;
}

TBlmFileItemRegClassItem* TBlmFileItemRegFormats::FindClass(const TBlmFileItemClass& itemClass,
                                                            const std::u16string& description) const {
  for (const auto& c : classes_)
    if (c->ItemClass == &itemClass && (description.empty() || c->Description == description)) return c.get();
  return nullptr;
}

void TBlmFileItemRegFormats::Link(TBlmFileItemRegExtItem& ext, TBlmFileItemRegClassItem* classItem,
                                  const TBlmFileItemClass& itemClass,
                                  const std::u16string& classDescription) {
  if (!classItem) {
    classes_.push_back(
        std::make_unique<TBlmFileItemRegClassItem>(TBlmFileItemRegClassItem{&itemClass, classDescription}));
    classItem = classes_.back().get();
  }
  ++classItem->RefCount;
  ext.ClassItem = classItem;
}

void TBlmFileItemRegFormats::Release(TBlmFileItemRegClassItem* classItem) {
  if (--classItem->RefCount > 0) return;
  std::erase_if(classes_, [&](const auto& c) { return c.get() == classItem; });
}

void TBlmFileItemRegFormats::RegisterFormat(const std::u16string& ext, const std::u16string& classDescription,
                                            const std::u16string& extDescription, bool replace,
                                            const TBlmFileItemClass& itemClass) {
  if (ext.empty()) return;
  TBlmFileItemRegExtItem* e = FindExt(ext);
  TBlmFileItemRegClassItem* c = FindClass(itemClass, classDescription);
  if (!e) {
    extensions_.push_back(
        std::make_unique<TBlmFileItemRegExtItem>(TBlmFileItemRegExtItem{ext, extDescription}));
    Link(*extensions_.back(), c, itemClass, classDescription);
    return;
  }
  if (!replace) Raise<Exception>("Attempt to register %s twice!", {ext});
  TBlmFileItemRegClassItem* old = e->ClassItem;
  if (old->ItemClass == &itemClass) return;
  Link(*e, c, itemClass, classDescription);
  Release(old);
}

void TBlmFileItemRegFormats::UnregisterFormat(const std::u16string& ext, const TBlmFileItemClass& itemClass) {
  if (!ext.empty()) {
    TBlmFileItemRegExtItem* e = FindExt(ext);
    if (!e) return;
    Release(e->ClassItem);
    std::erase_if(extensions_, [&](const auto& x) { return x.get() == e; });
    return;
  }
  std::erase_if(extensions_, [&](const auto& x) {
    if (x->ClassItem->ItemClass != &itemClass) return false;
    Release(x->ClassItem);
    return true;
  });
  std::erase_if(classes_, [&](const auto& c) { return c->ItemClass == &itemClass; });
}

std::u16string TBlmFileItemRegFormats::BuildFilter(int sortMode, int options,
                                                   const TBlmFileItemClass* itemClass) const {
  const bool allSupported = options & AllSupported;
  const bool sortedExts = sortMode == 1 || sortMode == 3;
  TextList entries(sortMode == 1 || sortMode == 2), classExts(sortedExts), allExts(sortedExts);
  const auto wanted = [&](const TBlmFileItemRegClassItem& c) {
    return !itemClass || c.ItemClass == itemClass;
  };

  if (options & GroupByClass) {
    for (const auto& c : classes_) {
      if (!wanted(*c)) continue;
      classExts.Clear();
      for (const auto& e : extensions_)
        if (e->ClassItem == c.get()) classExts.Add(e->Ext);
      if (allSupported)
        for (const auto& ext : classExts.Texts()) allExts.Add(ext);
      entries.Add(Entry(c->Description, Masks(classExts), allSupported));
    }
  } else {
    for (const auto& e : extensions_) {
      if (!wanted(*e->ClassItem)) continue;
      const std::u16string& description = e->Description.empty() ? e->ClassItem->Description : e->Description;
      entries.Add(Entry(description, u"*." + e->Ext, allSupported));
      if (allSupported) allExts.Add(e->Ext);
    }
  }

  std::u16string result;
  if (allSupported && !allExts.Texts().empty()) result = u"All supported formats|" + Masks(allExts) + u"|";
  for (const auto& entry : entries.Texts()) result += entry;
  return result;
}

const TBlmFileItemClass* TBlmFileItemRegFormats::FindItemClass(const std::u16string& fileName) const {
  const TBlmFileItemRegExtItem* e = FindExt(PathExtension(fileName));
  return e ? e->ClassItem->ItemClass : nullptr;
}

TBlmFileItemRegFormats& FileItemFormats() {
  if (!theFormats) throw Exception("The file type registry has not been started");
  return *theFormats;
}

void CreateFileItemFormats() { theFormats = std::make_unique<TBlmFileItemRegFormats>(); }
void DestroyFileItemFormats() { theFormats.reset(); }

}  // namespace bookloom
