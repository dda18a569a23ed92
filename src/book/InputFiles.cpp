#include "book/InputFiles.h"

#include "book/FileTypeRegistry.h"
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

std::unique_ptr<FileItem> MakeInputItem(const std::u16string& fileName) {
  CheckInputFile(fileName);
  const FileItemClass* itemClass = FileTypeRegistry::Instance().FindItemClass(fileName);
  if (!itemClass) {
    const std::u16string_view ext = PathExtension(fileName);
    throw InputError(fileName,
                     ext.empty() ? "has no file type extension" : "unknown file type ." + Utf16ToUtf8(ext));
  }
  std::unique_ptr<FileItem> item = itemClass->create(fileName);
  try {
    item->Verify();
  } catch (const DecodeError& e) {
    throw InputError(fileName, "cannot be decoded: " + e.Reason());
  }
  return item;
}

}  // namespace bookloom
