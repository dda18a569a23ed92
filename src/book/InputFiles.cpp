#include "book/InputFiles.h"

#include "book/DocumentFileItem.h"
#include "book/FileTypes.h"
#include "book/TextFileItem.h"
#include "platform/FileSys.h"
#include "platform/Path.h"
#include "platform/Utf.h"

namespace bookloom {

InputError::InputError(const std::u16string& fileName, std::string reason)
    : Exception(Format("%s: %s", {fileName, reason})), fileName_(fileName), reason_(std::move(reason)) {}

void CheckInputFile(const std::u16string& fileName) {
  switch (KindOf(fileName)) {
    case FileKind::kMissing:
      throw InputError(fileName, "no such file");
    case FileKind::kFolder:
      throw InputError(fileName, "is a folder");
    case FileKind::kOther:
      throw InputError(fileName, "is not a regular file");
    case FileKind::kRegular:
      break;
  }
  if (const std::string why = ReadAccessProblem(fileName); !why.empty())
    throw InputError(fileName, "cannot be read: " + why);
}

const FileItemClass* InputItemClass(const std::u16string& fileName) {
  if (KindOf(fileName) == FileKind::kFolder) return &DocumentFileItem::FolderClass;
  const FileItemClass* itemClass = FileTypes().FindItemClass(fileName);
  return itemClass ? itemClass : TextClassByContent(fileName);
}

std::unique_ptr<FileItem> MakeInputItem(const Runtime& runtime, const std::u16string& name,
                                        const FileSettings& settings, bool ownSettings) {
  std::u16string fileName = name;
  const bool folder = KindOf(fileName) == FileKind::kFolder;
  if (folder) {
    while (fileName.size() > 1 && fileName.ends_with(u'/')) fileName.pop_back();
    if (const std::string why = ReadAccessProblem(fileName); !why.empty())
      throw InputError(name, "cannot be read: " + why);
  } else {
    CheckInputFile(fileName);
  }
  const FileItemClass* itemClass = InputItemClass(fileName);
  if (!itemClass) {
    const std::u16string_view ext = PathExtension(fileName);
    throw InputError(fileName,
                     ext.empty() ? "has no file type extension" : "unknown file type ." + Utf16ToUtf8(ext));
  }
  std::unique_ptr<FileItem> item = itemClass->create(runtime, fileName);
  item->SetSettings(settings, ownSettings);
  try {
    item->Verify();
  } catch (const DecodeError& e) {
    throw InputError(fileName, "cannot be decoded: " + e.Reason());
  } catch (const DocumentError& e) {
    throw InputError(fileName, "cannot be read: " + e.Reason());
  } catch (const FileOpenError& e) {
    throw InputError(fileName, std::string("cannot be read: ") + e.what());
  }
  return item;
}

}  // namespace bookloom
