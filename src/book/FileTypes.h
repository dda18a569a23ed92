// Which file item class reads which file: extensions registered by the item classes, looked up
// by file name, and the filter string of the "Add File" dialog built from them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "book/FileItem.h"
#include "platform/SingleInstance.h"

namespace bookloom {

// One item class under one description, with the number of extensions that point at it.
struct FileTypeClass {
  const FileItemClass* itemClass;
  std::u16string description;
  int32_t refCount = 0;
};

// One registered extension (without the dot) and the class entry it belongs to.
struct FileTypeExtension {
  std::u16string ext;
  std::u16string description;
  FileTypeClass* classItem = nullptr;
  std::string reader;  // what reads the files: "built-in", "libpng", "GraphicsMagick", ...
};

// BuildFilter options, bits that may be combined.
inline constexpr int kGroupByClass = 1;
inline constexpr int kAllSupported = 2;

class FileTypeRegistry : public SingleInstance<FileTypeRegistry> {
 public:
  static constexpr char kNotStartedMessage[] = "The file type registry has not been started";

  // Maps `ext` to `itemClass` under the class description. An extension already registered
  // (case ignored) raises "Attempt to register %s twice!" unless `replace` is set, which moves
  // it to the new class. An empty extension is ignored.
  // `reader` names what reads such files, for the list of formats.
  void RegisterFormat(const std::u16string& ext, const std::u16string& classDescription,
                      const std::u16string& extDescription, bool replace, const FileItemClass& itemClass,
                      const std::string& reader = "built-in");
  // Removes one extension, or, when `ext` is empty, everything registered for `itemClass`.
  void UnregisterFormat(const std::u16string& ext, const FileItemClass& itemClass);

  // The open-dialog filter: pairs of description and masks, each followed by "|". `sortMode`
  // says what is sorted: 0 nothing, 1 the entries and the extensions, 2 the entries only, 3 the
  // extensions only. `itemClass` null means every class.
  std::u16string BuildFilter(int sortMode, int options, const FileItemClass* itemClass) const;

  // The class registered for the extension of a file name; null when there is none. An extension of
  // two parts ("fb2.zip") is found before the last part alone ("zip").
  const FileItemClass* FindItemClass(const std::u16string& fileName) const;

  const std::vector<std::unique_ptr<FileTypeClass>>& Classes() const { return classes_; }
  const std::vector<std::unique_ptr<FileTypeExtension>>& Extensions() const { return extensions_; }

 private:
  FileTypeExtension* FindExt(std::u16string_view ext) const;
  FileTypeClass* FindClass(const FileItemClass& itemClass, const std::u16string& description) const;
  void Link(FileTypeExtension& ext, FileTypeClass* classItem, const FileItemClass& itemClass,
            const std::u16string& classDescription);
  void Release(FileTypeClass* classItem);

  std::vector<std::unique_ptr<FileTypeClass>> classes_;
  std::vector<std::unique_ptr<FileTypeExtension>> extensions_;
};

}  // namespace bookloom
