#include "book/PictureFileItem.h"

#include "book/FileTypeRegistry.h"
#include "book/PicturePages.h"
#include "decoders/DecoderRegistry.h"
#include "decoders/PictureFormats.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

const FileItemClass PictureFileItem::Class = {
    "TBlmFileItemImage", [](const std::u16string& fileName) -> std::unique_ptr<FileItem> {
      return std::make_unique<PictureFileItem>(fileName);
    }};

void PictureFileItem::Load() {
  if (graphicClass_)
    picture_.LoadFromFile(FileName(), *graphicClass_);
  else
    picture_.LoadFromFile(FileName());
  picture_.SetTransparent(true);
  FileItem::Load();
}

void PictureFileItem::Unload() {
  picture_.Clear();
  FileItem::Unload();
}

void PictureFileItem::Verify() {
  graphicClass_ = DecoderRegistry::Instance().Find(FileName());
  if (!graphicClass_) {
    Load();  // raises that no decoder reads the file's extension
    Unload();
    return;
  }
  // A picture is refused here exactly when loading it would fail, but its pixels need not be made.
  graphicClass_->CheckFile(FileName());
}

void PictureFileItem::WriteTo(BookWriter& writer) {
  try {
    FileItem::WriteTo(writer);
    WritePicturePages(writer, picture_, Settings().picture);
    writer.AddTOCEntry(1, WideToWin1251(TitleOf(*this)));
  } catch (...) {
    Unload();
    throw;
  }
  Unload();
}

void RegisterPictureItem() {
  for (const PictureFormat& f : PictureFormats())
    FileTypeRegistry::Instance().RegisterFormat(f.ext, f.group, f.description, false, PictureFileItem::Class,
                                                ReaderName(f.reader));
}

void UnregisterPictureItem() { FileTypeRegistry::Instance().UnregisterFormat(u"", PictureFileItem::Class); }

}  // namespace bookloom
