#include "book/PictureFileItem.h"

#include "decoders/DecoderRegistry.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "book/FileTypeRegistry.h"
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
    Bitmap page;
    FitPictureToPage(picture_, page, 600, 800, false, 2, 0, 0, 0, 0, true);
    writer.AddPicture(page, 2);
    writer.AddTOCEntry(1, WideToWin1251(TitleOf(*this)));
  } catch (...) {
    Unload();
    throw;
  }
  Unload();
}

namespace {

struct ImageFormat {
  const char16_t* ext;
  const char16_t* group;
  const char16_t* description;
};

// In registration order: the open dialog lists them in this order within their groups.
const ImageFormat kImageFormats[] = {
    {u"bmp", u"Windows bitmaps", u""},
    {u"ico", u"Windows icons", u""},
    {u"wmf", u"Windows metafiles", u""},
    {u"emf", u"Windows metafiles", u"Windows enhanced meta files"},
    {u"jfif", u"JPG images", u"JFIF images"},
    {u"jpg", u"JPG images", u"JPG images"},
    {u"jpe", u"JPG images", u"JPE images"},
    {u"jpeg", u"JPG images", u"JPEG images"},
    {u"rle", u"Windows bitmaps", u"Run length encoded Windows bitmaps"},
    {u"dib", u"Windows bitmaps", u"Device independant Windows bitmaps"},
    {u"win", u"Truevision images", u""},
    {u"vst", u"Truevision images", u""},
    {u"vda", u"Truevision images", u""},
    {u"tga", u"Truevision images", u""},
    {u"icb", u"Truevision images", u""},
    {u"tiff", u"Tagged image file format images", u"Macintosh TIFF images"},
    {u"tif", u"Tagged image file format images", u"PC TIF images"},
    {u"fax", u"Tagged image file format images", u"GFI fax images"},
    {u"eps", u"Encapsulated Postscript images", u""},
    {u"pcx", u"ZSoft Paintbrush images", u""},
    {u"pcc", u"ZSoft Paintbrush images", u""},
    {u"scr", u"ZSoft Paintbrush images", u"Word 5.x screen capture images"},
    {u"rpf", u"Alias/Wavefront images", u""},
    {u"rla", u"Alias/Wavefront images", u""},
    {u"sgi", u"SGI images", u"SGI true color images"},
    {u"rgba", u"SGI images", u"SGI true color images with alpha"},
    {u"rgb", u"SGI images", u"SGI true color images"},
    {u"bw", u"SGI images", u"SGI black/white images"},
    {u"psd", u"Photoshop images", u""},
    {u"pdd", u"Photoshop images", u""},
    {u"ppm", u"Portable map images", u"Portable pixel map images"},
    {u"pgm", u"Portable map images", u"Portable gray map images"},
    {u"pbm", u"Portable map images", u"Portable bitmap images"},
    {u"cel", u"Autodesk images", u""},
    {u"pic", u"Autodesk images", u""},
    {u"pcd", u"Kodak Photo-CD images", u""},
    {u"cut", u"Dr. Halo images", u""},
    {u"psp", u"Paintshop Pro images", u""},
    // Ours beyond the classic set: the most common picture formats of today's books.
    {u"png", u"Portable network graphic images", u""},
    {u"gif", u"CompuServe GIF images", u""},
};

}  // namespace

void RegisterPictureItem() {
  for (const auto& f : kImageFormats)
    FileTypeRegistry::Instance().RegisterFormat(f.ext, f.group, f.description, false, PictureFileItem::Class);
}

void UnregisterPictureItem() { FileTypeRegistry::Instance().UnregisterFormat(u"", PictureFileItem::Class); }

}  // namespace bookloom
