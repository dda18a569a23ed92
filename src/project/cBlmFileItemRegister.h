// Which file item class reads which file: extensions registered by the item classes, looked up
// by file name, and the filter string of the "Add File" dialog built from them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/cBlmFileItem.h"

namespace bookloom {

// One item class under one description, with the number of extensions that point at it.
struct TBlmFileItemRegClassItem {
  const TBlmFileItemClass* ItemClass;
  std::u16string Description;
  int32_t RefCount = 0;
};

// One registered extension (without the dot) and the class entry it belongs to.
struct TBlmFileItemRegExtItem {
  std::u16string Ext;
  std::u16string Description;
  TBlmFileItemRegClassItem* ClassItem = nullptr;
};

// BuildFilter options, bits that may be combined.
enum : int { GroupByClass = 1, AllSupported = 2 };

class TBlmFileItemRegFormats {
 public:
  // Maps `ext` to `itemClass` under the class description. An extension already registered
  // (case ignored) raises "Attempt to register %s twice!" unless `replace` is set, which moves
  // it to the new class. An empty extension is ignored.
  void RegisterFormat(const std::u16string& ext, const std::u16string& classDescription,
                      const std::u16string& extDescription, bool replace, const TBlmFileItemClass& itemClass);
  // Removes one extension, or, when `ext` is empty, everything registered for `itemClass`.
  void UnregisterFormat(const std::u16string& ext, const TBlmFileItemClass& itemClass);

  // The open-dialog filter: pairs of description and masks, each followed by "|". `sortMode`
  // says what is sorted: 0 nothing, 1 the entries and the extensions, 2 the entries only, 3 the
  // extensions only. `itemClass` null means every class.
  std::u16string BuildFilter(int sortMode, int options, const TBlmFileItemClass* itemClass) const;

  // The class registered for the extension of a file name; null when there is none.
  const TBlmFileItemClass* FindItemClass(const std::u16string& fileName) const;

  const std::vector<std::unique_ptr<TBlmFileItemRegClassItem>>& Classes() const { return classes_; }
  const std::vector<std::unique_ptr<TBlmFileItemRegExtItem>>& Extensions() const { return extensions_; }

 private:
  TBlmFileItemRegExtItem* FindExt(std::u16string_view ext) const;
  TBlmFileItemRegClassItem* FindClass(const TBlmFileItemClass& itemClass,
                                      const std::u16string& description) const;
  void Link(TBlmFileItemRegExtItem& ext, TBlmFileItemRegClassItem* classItem,
            const TBlmFileItemClass& itemClass, const std::u16string& classDescription);
  void Release(TBlmFileItemRegClassItem* classItem);

  std::vector<std::unique_ptr<TBlmFileItemRegClassItem>> classes_;
  std::vector<std::unique_ptr<TBlmFileItemRegExtItem>> extensions_;
};

// The program's one registry; it exists between the start-up and shut-down of the units.
TBlmFileItemRegFormats& FileItemFormats();
void CreateFileItemFormats();
void DestroyFileItemFormats();

}  // namespace bookloom
