#include "book/TextFileItem.h"

#include <memory>

#include "book/FileTypeRegistry.h"
#include "platform/FileSys.h"
#include "text/TextFile.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

const FileItemClass TextFileItem::Class = {
    "TBlmFileItemText",
    [](const std::u16string& fileName) -> std::unique_ptr<FileItem> {
      return std::make_unique<TextFileItem>(fileName);
    },
};

void TextFileItem::Load() {
  lines_ = SplitLines(DecodeTextFile(ReadFileBytes(FileName())));
  FileItem::Load();
}

void TextFileItem::Unload() {
  lines_.clear();
  FileItem::Unload();
}

void TextFileItem::WriteTo(BookWriter& writer) {
  FileItem::WriteTo(writer);
  writer.BeginText();
  writer.AddTOCEntry(1, WideToWin1251(TitleOf(*this)));
  for (const auto& line : lines_) writer.AddParagraph(WideToWin1251(line));
  writer.CloseSection();
}

void RegisterTextItem() {
  FileTypeRegistry::Instance().RegisterFormat(u"txt", u"Text documents", u"Plain text file", false,
                                              TextFileItem::Class);
}

void UnregisterTextItem() { FileTypeRegistry::Instance().UnregisterFormat(u"", TextFileItem::Class); }

}  // namespace bookloom
