#include "book/PictureFileItem.h"

#include <utility>

#include "book/FileTypes.h"
#include "decoders/PictureFormats.h"
#include "pictures/PictureSettings.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "text/Win1251.h"
#include "wolf/BookWriter.h"

namespace bookloom {

const FileItemClass PictureFileItem::Class = {
    [](const Runtime& runtime, const std::u16string& fileName) -> std::unique_ptr<FileItem> {
      return std::make_unique<PictureFileItem>(runtime, fileName);
    }};

void PictureFileItem::Load() {
  const DecodeOptions options{.gray = true, .allFrames = Settings().picture.allFrames};
  if (graphicClass_)
    picture_.LoadFromFile(FileName(), *graphicClass_, options);
  else
    picture_.LoadFromFile(Libraries(), FileName(), options);
  picture_.SetTransparent(true);
  if (picture_.Incomplete()) Warn(kIncompletePicture);
  if (const int left = picture_.FrameCount() - static_cast<int>(picture_.Frames().size()); left > 0)
    Warn(Format("%s of its %d left out (--all-frames makes every one a page)",
                {left == 1 ? std::string("1 page or frame") : Format("%d pages or frames", {left}),
                 picture_.FrameCount()}));
  FileItem::Load();
}

void PictureFileItem::Unload() {
  picture_.Clear();
  pages_.reset();
  FileItem::Unload();
}

void PictureFileItem::LoadToWrite() {
  if (!Loaded()) Load();
  pages_ = PreparePicturePages(Libraries(), picture_, Settings().picture);
  picture_.Clear();  // the pages are all that writing needs: memory holds no more than them
}

void PictureFileItem::Verify() {
  graphicClass_ = PictureDecoders(Libraries()).Find(FileName());
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
    if (!pages_) LoadToWrite();
    BeginEntries(ContentsEntries());
    bool first = true;
    for (const EncodedPicture& page : pages_->pages) {
      writer.AddPicture(page);
      // The entry leads to the first page.
      if (std::exchange(first, false)) WriteEntry(writer);
    }
  } catch (...) {
    Unload();
    throw;
  }
  Unload();
}

std::vector<ContentsEntry> PictureFileItem::ContentsEntries() { return {{TitleOf(*this), 1}}; }

void PictureFileItem::ForEachPage(const Margins& margins,
                                  const std::function<void(Bitmap& page)>& takePage) const {
  for (const auto& frame : picture_.Frames())
    MakePages(Libraries(), ViewOf(*frame), Settings().picture, margins, takePage);
}

std::vector<FileType> PictureFileTypes() {
  std::vector<FileType> rows;
  for (const PictureFormat& f : PictureFormats())
    rows.push_back({f.ext, f.group, f.description, &PictureFileItem::Class, ReaderName(f.reader)});
  return rows;
}

}  // namespace bookloom
