// The picture file item: its rows of the table of file types, the refusal of files no decoder
// reads, and the page it writes from pictures of several formats.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "book/FileTypes.h"
#include "book/PictureFileItem.h"
#include "book/TextFileItem.h"
#include "platform/Exception.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"
#include "wolf/BookReader.h"
#include "wolf/BookWriter.h"

namespace bookloom {
namespace {

namespace fs = std::filesystem;

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every extension in the table's order, each with its own description or else its group's.
TEST(PictureFileItem, ListsItsExtensionsInOrderWithTheirDescriptions) {
  EXPECT_EQ(Utf16ToUtf8(FileTypes().BuildFilter(0, 0, &PictureFileItem::Class)),
            "Windows bitmaps|*.bmp|Windows icons|*.ico|Windows metafiles|*.wmf|"
            "Windows enhanced meta files|*.emf|JFIF images|*.jfif|JPG images|*.jpg|JPE images|*.jpe|"
            "JPEG images|*.jpeg|Run length encoded Windows bitmaps|*.rle|"
            "Device independant Windows bitmaps|*.dib|Truevision images|*.win|Truevision images|*.vst|"
            "Truevision images|*.vda|Truevision images|*.tga|Truevision images|*.icb|"
            "Macintosh TIFF images|*.tiff|PC TIF images|*.tif|GFI fax images|*.fax|"
            "Encapsulated Postscript images|*.eps|ZSoft Paintbrush images|*.pcx|"
            "ZSoft Paintbrush images|*.pcc|Word 5.x screen capture images|*.scr|"
            "Alias/Wavefront images|*.rpf|Alias/Wavefront images|*.rla|SGI true color images|*.sgi|"
            "SGI true color images with alpha|*.rgba|SGI true color images|*.rgb|"
            "SGI black/white images|*.bw|Photoshop images|*.psd|Photoshop images|*.pdd|"
            "Portable pixel map images|*.ppm|Portable gray map images|*.pgm|Portable bitmap images|*.pbm|"
            "Autodesk images|*.cel|Autodesk images|*.pic|Kodak Photo-CD images|*.pcd|Dr. Halo images|*.cut|"
            "Paintshop Pro images|*.psp|Portable network graphic images|*.png|CompuServe GIF images|*.gif|"
            "WebP images|*.webp|SVG drawings|*.svg|JPEG XL images|*.jxl|AVIF images|*.avif|"
            "HEIC images|*.heic|HEIF images|*.heif|");
  EXPECT_EQ(Utf16ToUtf8(FileTypes().BuildFilter(0, kGroupByClass, &PictureFileItem::Class)),
            "Windows bitmaps|*.bmp; *.rle; *.dib|Windows icons|*.ico|Windows metafiles|*.wmf; *.emf|"
            "JPG images|*.jfif; *.jpg; *.jpe; *.jpeg|Truevision images|*.win; *.vst; *.vda; *.tga; *.icb|"
            "Tagged image file format images|*.tiff; *.tif; *.fax|Encapsulated Postscript images|*.eps|"
            "ZSoft Paintbrush images|*.pcx; *.pcc; *.scr|Alias/Wavefront images|*.rpf; *.rla|"
            "SGI images|*.sgi; *.rgba; *.rgb; *.bw|Photoshop images|*.psd; *.pdd|"
            "Portable map images|*.ppm; *.pgm; *.pbm|Autodesk images|*.cel; *.pic|"
            "Kodak Photo-CD images|*.pcd|Dr. Halo images|*.cut|Paintshop Pro images|*.psp|"
            "Portable network graphic images|*.png|CompuServe GIF images|*.gif|WebP images|*.webp|"
            "SVG drawings|*.svg|JPEG XL images|*.jxl|AVIF images|*.avif|HEIF images|*.heic; *.heif|");
  int count = 0;
  for (const FileType& t : FileTypes().Rows()) count += t.itemClass == &PictureFileItem::Class;
  EXPECT_EQ(count, 46);
}

TEST(PictureFileItem, IsTheClassOfEveryPictureExtensionInAnyCase) {
  const struct {
    std::u16string fileName;
    const FileItemClass* itemClass;
  } cases[] = {
      {u"x.JPG", &PictureFileItem::Class},
      {u"/photos/a.b.png", &PictureFileItem::Class},
      {u"scan.Tiff", &PictureFileItem::Class},
      {u"anim.gif", &PictureFileItem::Class},
      {u"/photos.jpg/story.txt", &TextFileItem::Class},
      {u"x.webp", &PictureFileItem::Class},
      {u"drawing.SVG", &PictureFileItem::Class},
      {u"png", nullptr},
      {u"x.jpg.bak", nullptr},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FileTypes().FindItemClass(c.fileName), c.itemClass) << Utf16ToUtf8(c.fileName);
}

TEST(PictureFileItem, VerifyRefusesAFileNoDecoderReads) {
  test::ScratchDir dir;
  std::string png;
  WriteGrayPng((dir / "good.png").u16string(), 8, 8, std::vector<uint8_t>(64, 0));
  {
    std::ifstream in(dir / "good.png", std::ios::binary);
    png.assign(std::istreambuf_iterator<char>(in), {});
  }
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"text.png", "this is no picture"},
      {"truncated.png", png.substr(0, png.size() / 2)},
      {"png-named.jpg", png},
      {"empty.bmp", ""},
      {"garbage.ppm", "P6\n-3 7\n255\n"},
      {"header-only.gif", "GIF89a"},
  };
  for (const auto& c : cases) {
    WriteAll(dir / c.name, c.bytes);
    PictureFileItem item(TestRuntime(), (dir / c.name).u16string());
    try {
      item.Verify();
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const Exception& e) {
      EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
    }
    EXPECT_FALSE(item.Loaded()) << c.name;
    EXPECT_TRUE(item.LoadedPicture().Empty()) << c.name;
  }
  // A missing file is refused with the open error.
  PictureFileItem missing(TestRuntime(), (dir / "missing.png").u16string());
  EXPECT_THROW(missing.Verify(), FileOpenError);

  // A good file is decoded once and released again; Load keeps it, marked transparent.
  PictureFileItem good(TestRuntime(), (dir / "good.png").u16string());
  good.Verify();
  EXPECT_FALSE(good.Loaded());
  EXPECT_TRUE(good.LoadedPicture().Empty());
  good.Load();
  EXPECT_TRUE(good.Loaded());
  ASSERT_FALSE(good.LoadedPicture().Empty());
  EXPECT_EQ(good.LoadedPicture().Decoded()->Width(), 8);
  EXPECT_TRUE(good.LoadedPicture().Transparent());
  good.Unload();
  EXPECT_TRUE(good.LoadedPicture().Empty());
}

TEST(PictureFileItem, WriteToReleasesThePictureAlsoWhenItFails) {
  test::ScratchDir dir;
  WriteGrayPng((dir / "p.png").u16string(), 30, 20, std::vector<uint8_t>(600, 0));
  PictureFileItem item(TestRuntime(), (dir / "p.png").u16string());
  item.Verify();
  WriteAll(dir / "p.png", "damaged");
  MemoryOutputStream out;
  BookWriter writer(out);
  writer.BeginBody();
  EXPECT_THROW(item.WriteTo(writer), DecodeError);
  EXPECT_FALSE(item.Loaded());
  EXPECT_TRUE(item.LoadedPicture().Empty());
}

// The page a picture file becomes: a black 100 x 50 picture centred on a white page, whatever
// format it comes in (made with GraphicsMagick when it is installed).
TEST(PictureFileItem, MakesAPageOfPicturesOfSeveralFormats) {
  if (std::system("gm version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no GraphicsMagick (gm)";
  test::ScratchDir dir;
  for (const char* name : {"p.gif", "p.jpg", "p.bmp", "p.tif", "p.pcx", "p.pgm"}) {
    const std::string command =
        "gm convert -size 100x50 xc:black '" + (dir / name).string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    PictureFileItem item(TestRuntime(), (dir / name).u16string());
    item.Verify();
    const BookReader reader(test::WriteBook([&](BookWriter& writer) { item.WriteTo(writer); }));
    ASSERT_EQ(reader.Book().sections.size(), 1u) << name;
    ASSERT_EQ(reader.Book().sections[0].images.size(), 1u) << name;
    const PictureData& page = reader.Book().sections[0].images[0];
    ASSERT_EQ(page.width, 600) << name;
    ASSERT_EQ(page.height, 800) << name;
    const std::vector<uint8_t> greys = PackedRowsToGray(page, reader.DecodeRows(page));
    int outside = 0, black = 0;
    for (int y = 0; y < 800; ++y)
      for (int x = 0; x < 600; ++x) {
        const bool inside = x >= 250 && x < 350 && y >= 375 && y < 425;
        if (!inside) outside += greys[size_t(y) * 600 + x] != 255;
        if (inside) black += greys[size_t(y) * 600 + x] == 0;
      }
    EXPECT_EQ(outside, 0) << name;
    EXPECT_EQ(black, 100 * 50) << name;
    ASSERT_EQ(reader.Book().toc.size(), 1u);
    EXPECT_EQ(reader.Book().toc[0].title, "p") << name;
    EXPECT_FALSE(item.Loaded());
  }
}

}  // namespace
}  // namespace bookloom
