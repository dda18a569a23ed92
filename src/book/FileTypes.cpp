#include "book/FileTypes.h"

#include <algorithm>
#include <utility>

#include "book/DocumentFileItem.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
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

FileTypeTable::FileTypeTable(std::vector<FileType> rows) : rows_(std::move(rows)) {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (rows_[i].ext.empty() || FindExt(rows_[i].ext) != &rows_[i])
      Raise<Exception>("The extension \"%s\" is in the table of file types twice, or empty", {rows_[i].ext});
}

const FileType* FileTypeTable::FindExt(std::u16string_view ext) const {
  if (ext.empty()) return nullptr;
  for (const FileType& t : rows_)
    if (SameTextIgnoreCase(t.ext, ext)) return &t;
  return nullptr;
}

std::u16string FileTypeTable::BuildFilter(int sortMode, int options, const FileItemClass* itemClass,
                                          const Describe& describe) const {
  const auto shown = [&](const std::u16string& description) {
    return describe ? describe(description) : description;
  };
  const bool allSupported = options & kAllSupported;
  const bool sortedExts = sortMode == 1 || sortMode == 3;
  TextList entries(sortMode == 1 || sortMode == 2), classExts(sortedExts), allExts(sortedExts);
  const auto wanted = [&](const FileType& t) { return !itemClass || t.itemClass == itemClass; };
  const auto sameEntry = [](const FileType& a, const FileType& b) {
    return a.itemClass == b.itemClass && a.group == b.group;
  };

  if (options & kGroupByClass) {
    // One entry for each group of each class, where the group first appears.
    for (auto first = rows_.begin(); first != rows_.end(); ++first) {
      if (!wanted(*first) ||
          std::any_of(rows_.begin(), first, [&](const FileType& t) { return sameEntry(t, *first); }))
        continue;
      classExts.Clear();
      for (auto t = first; t != rows_.end(); ++t)
        if (sameEntry(*t, *first)) classExts.Add(t->ext);
      if (allSupported)
        for (const auto& ext : classExts.Texts()) allExts.Add(ext);
      entries.Add(Entry(shown(first->group), Masks(classExts), allSupported));
    }
  } else {
    for (const FileType& t : rows_) {
      if (!wanted(t)) continue;
      entries.Add(Entry(shown(t.Described()), u"*." + t.ext, allSupported));
      if (allSupported) allExts.Add(t.ext);
    }
  }

  std::u16string result;
  if (allSupported && !allExts.Texts().empty())
    result = shown(u"All supported formats") + u"|" + Masks(allExts) + u"|";
  for (const auto& entry : entries.Texts()) result += entry;
  return result;
}

const FileItemClass* FileTypeTable::FindItemClass(const std::u16string& fileName) const {
  const std::u16string_view name = PathFileName(fileName);
  const FileType* found = nullptr;
  for (const FileType& t : rows_) {
    const size_t length = t.ext.size() + 1;
    if (t.ext.find(u'.') == std::u16string::npos || name.size() <= length ||
        (found && found->ext.size() >= t.ext.size()))
      continue;
    if (name[name.size() - length] == u'.' &&
        SameTextIgnoreCase(name.substr(name.size() - t.ext.size()), t.ext))
      found = &t;
  }
  if (!found) found = FindExt(PathExtension(fileName));
  return found ? found->itemClass : nullptr;
}

const FileTypeTable& FileTypes() {
  static const FileTypeTable table = [] {
    std::vector<FileType> rows;
    for (auto* add : {TextFileTypes, PictureFileTypes, DocumentFileTypes}) {
      std::vector<FileType> more = add();
      rows.insert(rows.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    }
    return FileTypeTable(std::move(rows));
  }();
  return table;
}

}  // namespace bookloom
