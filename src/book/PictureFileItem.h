// The file item of picture files: each picture becomes a page of the book (or several, as its
// settings say), fitted onto the reader's 600 x 800 screen, with a table-of-contents entry named
// after the file.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "book/FileItem.h"
#include "book/FileTypes.h"
#include "book/PicturePages.h"
#include "decoders/Picture.h"
#include "pictures/PageFitting.h"

namespace bookloom {

class PictureFileItem : public FileItem {
 public:
  static const FileItemClass Class;

  PictureFileItem(const Runtime& runtime, const std::u16string& fileName) : FileItem(runtime, fileName) {}

  // Decodes the picture grey (with the decoder chosen by Verify, else by the extension), its first
  // frame or all as the settings say, and marks it transparent. Warns of a picture read only in part
  // and of frames left out.
  void Load() override;
  void Unload() override;
  // Loads the picture, prepares its pages as the settings say, and drops the picture.
  void LoadToWrite() override;
  // Loading runs on the build's other threads: it touches only this item, the file, the decoder
  // table and the picture limits, which nothing changes during a build.
  bool LoadsAlongside() const override { return true; }
  // Chooses the decoder and checks that it can read the picture, so that an unreadable file is refused.
  void Verify() override;
  SettingGroups UsedSettings() const override { return {.pictures = true, .allFrames = true}; }
  // The pages of each frame, as the picture settings say, and one first-level entry at the first;
  // the picture is released afterwards.
  void WriteTo(BookWriter& writer) override;
  // One first-level entry titled with the file's name.
  std::vector<ContentsEntry> ContentsEntries() override;

  // Each page the loaded picture becomes, in order, as the settings say, with the margins given.
  void ForEachPage(const Margins& margins, const std::function<void(Bitmap& page)>& takePage) const;

  const Picture& LoadedPicture() const { return picture_; }

 private:
  Picture picture_;
  std::optional<PicturePages> pages_;  // prepared by LoadToWrite
  const GraphicDecoder* graphicClass_ = nullptr;
};

// The picture item's rows of the table of file types, one for each picture format.
std::vector<FileType> PictureFileTypes();

}  // namespace bookloom
