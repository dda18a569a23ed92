// The file item of picture files: each picture becomes one page of the book, fitted onto the
// reader's 600 x 800 screen in four greys, with a table-of-contents entry named after the file.
#pragma once

#include <string>

#include "book/FileItem.h"
#include "decoders/Picture.h"

namespace bookloom {

class PictureFileItem : public FileItem {
 public:
  static const FileItemClass Class;

  explicit PictureFileItem(const std::u16string& fileName) : FileItem(fileName) {}

  // Decodes the picture (with the decoder chosen by Verify, else by the extension) and marks it
  // transparent.
  void Load() override;
  void Unload() override;
  // Loading runs on the build's second thread: it touches only this item, the file, the decoder
  // registry and the picture limits, which nothing changes during a build.
  bool LoadsAlongside() const override { return true; }
  // Chooses the decoder and checks that it can read the picture, so that an unreadable file is refused.
  void Verify() override;
  // One page, as the picture settings say, and its first-level entry; the picture is released
  // afterwards.
  void WriteTo(BookWriter& writer) override;

  const Picture& LoadedPicture() const { return picture_; }

 private:
  Picture picture_;
  const GraphicDecoder* graphicClass_ = nullptr;
};

// The picture item's extensions in the file type registry, from the start to the end of the program.
void RegisterPictureItem();
void UnregisterPictureItem();

}  // namespace bookloom
