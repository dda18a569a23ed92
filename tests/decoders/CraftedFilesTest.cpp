// The decoders on files built byte by byte here: orientation, transparency, headers without the
// file header, oversized headers, cut files, the registry's lookup and its errors.
#include <gtest/gtest.h>
#include <zlib.h>

#include "decoders/DecoderTestSupport.h"
#include "decoders/Picture.h"
#include "decoders/PictureFormats.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom::test {
namespace {

namespace fs = std::filesystem;

struct Rgba {
  uint8_t r, g, b, a;
};

std::vector<Rgba> Pixels(const Graphic& graphic) {
  std::vector<Rgba> pixels;
  for (int y = 0; y < graphic.Height(); ++y)
    for (int x = 0; x < graphic.Width(); ++x) {
      const uint8_t* p = graphic.Row(y) + static_cast<size_t>(x) * graphic.Channels();
      pixels.push_back({p[0], p[1], p[2], graphic.HasAlpha() ? p[3] : uint8_t{255}});
    }
  return pixels;
}

std::string PixelsText(const Graphic& graphic) {
  std::string text;
  for (const Rgba& p : Pixels(graphic))
    text += Format("%d,%d,%d,%d ", {int{p.r}, int{p.g}, int{p.b}, int{p.a}});
  return text;
}

std::unique_ptr<Graphic> DecodeBytes(const std::string& bytes, const std::u16string& name) {
  const GraphicDecoder* decoder = PictureDecoders(TestRuntime()).Find(name);
  if (!decoder) RaiseDecodeError(name, "no decoder");
  return decoder->LoadFromMemory(bytes, name);
}

// A Targa file: the 18-byte header, an optional colour map, the pixel bytes as given.
std::string Tga(uint8_t imageType, int width, int height, uint8_t bitsPerPixel, uint8_t descriptor,
                const std::string& pixels, const std::string& colorMap = {}, uint8_t mapEntryBits = 0) {
  std::string tga;
  tga += '\0';  // no image id
  tga += static_cast<char>(colorMap.empty() ? 0 : 1);
  tga += static_cast<char>(imageType);
  AppendU16(tga, 0);  // first colour map entry
  AppendU16(tga, static_cast<uint16_t>(colorMap.empty() ? 0 : colorMap.size() * 8 / mapEntryBits));
  tga += static_cast<char>(mapEntryBits);
  AppendU16(tga, 0);
  AppendU16(tga, 0);
  AppendU16(tga, static_cast<uint16_t>(width));
  AppendU16(tga, static_cast<uint16_t>(height));
  tga += static_cast<char>(bitsPerPixel);
  tga += static_cast<char>(descriptor);
  return tga + colorMap + pixels;
}

// A 16-bit Targa pixel: five bits a colour and the attribute bit on top.
std::string Pixel16(int r, int g, int b, int attribute) {
  std::string p;
  AppendU16(p, static_cast<uint16_t>(attribute << 15 | r << 10 | g << 5 | b));
  return p;
}

std::string Bgr(uint8_t r, uint8_t g, uint8_t b) {
  return {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
}

TEST(CraftedTarga, RowsComeOutTopFirstWhicheverOriginTheFileStates) {
  const std::string redGreen = Bgr(255, 0, 0) + Bgr(0, 255, 0);
  const std::string blueWhite = Bgr(0, 0, 255) + Bgr(255, 255, 255);
  const std::string expected = "255,0,0,255 0,255,0,255 0,0,255,255 255,255,255,255 ";
  EXPECT_EQ(PixelsText(*DecodeBytes(Tga(2, 2, 2, 24, 0x20, redGreen + blueWhite), u"top.tga")), expected);
  EXPECT_EQ(PixelsText(*DecodeBytes(Tga(2, 2, 2, 24, 0x00, blueWhite + redGreen), u"bottom.tga")), expected);
}

TEST(CraftedTarga, SixteenBitAlphaIsKeptOnlyWhereItSaysSomething) {
  // Attribute bits declared but all zero: writers that never set them; the picture is opaque.
  const auto zero =
      DecodeBytes(Tga(2, 2, 1, 16, 0x01, Pixel16(31, 0, 0, 0) + Pixel16(0, 0, 31, 0)), u"zero.tga");
  EXPECT_FALSE(zero->HasAlpha());
  EXPECT_EQ(PixelsText(*zero), "255,0,0,255 0,0,255,255 ");
  // Some pixels with the bit and some without: real transparency.
  const auto mixed =
      DecodeBytes(Tga(2, 2, 1, 16, 0x01, Pixel16(31, 0, 0, 1) + Pixel16(0, 0, 31, 0)), u"mixed.tga");
  EXPECT_TRUE(mixed->HasAlpha());
  EXPECT_EQ(PixelsText(*mixed), "255,0,0,255 0,0,255,0 ");
}

TEST(CraftedTarga, ColourMappedFilesAreOpaque) {
  const std::string map = Pixel16(31, 0, 0, 0) + Pixel16(0, 31, 0, 0) + Pixel16(0, 0, 31, 0);
  const auto graphic =
      DecodeBytes(Tga(1, 3, 1, 8, 0x20, std::string("\x02\x01\x00", 3), map, 16), u"map.tga");
  EXPECT_FALSE(graphic->HasAlpha());
  EXPECT_EQ(PixelsText(*graphic), "0,0,255,255 0,255,0,255 255,0,0,255 ");
}

// A BITMAPINFOHEADER of 40 bytes.
std::string InfoHeader(int width, int height, uint16_t bitCount, uint32_t compression, uint32_t colorsUsed) {
  std::string h;
  AppendU32(h, 40);
  AppendU32(h, static_cast<uint32_t>(width));
  AppendU32(h, static_cast<uint32_t>(height));
  AppendU16(h, 1);
  AppendU16(h, bitCount);
  AppendU32(h, compression);
  AppendU32(h, 0);
  AppendU32(h, 2835);
  AppendU32(h, 2835);
  AppendU32(h, colorsUsed);
  AppendU32(h, 0);
  return h;
}

std::string WithFileHeader(const std::string& dib, uint32_t pixelOffset) {
  std::string bmp = "BM";
  AppendU32(bmp, static_cast<uint32_t>(14 + dib.size()));
  AppendU32(bmp, 0);
  AppendU32(bmp, pixelOffset);
  return bmp + dib;
}

TEST(CraftedBitmap, PackedDibsWithoutTheFileHeaderRead) {
  // 24 bits, rows bottom first and padded to four bytes.
  const std::string rgb24 = InfoHeader(1, 2, 24, 0, 0) + Bgr(0, 0, 255) + '\0' + Bgr(255, 0, 0) + '\0';
  EXPECT_EQ(PixelsText(*DecodeBytes(rgb24, u"a.dib")), "255,0,0,255 0,0,255,255 ");
  // 8 bits with a table of two colours (blue, green, red, reserved).
  std::string table;
  AppendU32(table, 0x00FF0000);  // red
  AppendU32(table, 0x0000FF00);  // green
  const std::string pal8 = InfoHeader(2, 1, 8, 0, 2) + table + std::string("\x01\x00\x00\x00", 4);
  EXPECT_EQ(PixelsText(*DecodeBytes(pal8, u"b.DIB")), "0,255,0,255 255,0,0,255 ");
  // 32 bits with colour masks after the header (BI_BITFIELDS), as the clipboard writes them.
  std::string masks;
  AppendU32(masks, 0x00FF0000);
  AppendU32(masks, 0x0000FF00);
  AppendU32(masks, 0x000000FF);
  std::string pixels;
  AppendU32(pixels, 0x00102030);
  const std::string bitfields = InfoHeader(1, 1, 32, 3, 0) + masks + pixels;
  EXPECT_EQ(PixelsText(*DecodeBytes(bitfields, u"c.dib")), "16,32,48,255 ");
  // The same with its file header: the reader's usual input.
  EXPECT_EQ(PixelsText(*DecodeBytes(WithFileHeader(bitfields, 14 + 40 + 12), u"d.bmp")), "16,32,48,255 ");
}

// An icon image: a 32-bit bitmap of the given colour (blue, green, red, alpha) and its mask.
std::string IconImage(int side, uint32_t bgra) {
  std::string image = InfoHeader(side, 2 * side, 32, 0, 0);  // the height counts the mask too
  for (int i = 0; i < side * side; ++i) AppendU32(image, bgra);
  image.append(static_cast<size_t>((side + 31) / 32 * 4) * side, '\0');  // all pixels shown
  return image;
}

// An icon file holding the images in this order.
std::string Icon(const std::vector<std::pair<int, std::string>>& images) {
  std::string ico;
  AppendU16(ico, 0);
  AppendU16(ico, 1);
  AppendU16(ico, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (const auto& [side, image] : images) {
    ico += static_cast<char>(side >= 256 ? 0 : side);
    ico += static_cast<char>(side >= 256 ? 0 : side);
    ico += std::string(2, '\0');
    AppendU16(ico, 1);
    AppendU16(ico, 32);
    AppendU32(ico, static_cast<uint32_t>(image.size()));
    AppendU32(ico, offset);
    offset += static_cast<uint32_t>(image.size());
  }
  for (const auto& entry : images) ico += entry.second;
  return ico;
}

TEST(CraftedIcon, TheLargestImageIsThePicture) {
  const auto graphic = DecodeBytes(Icon({{16, IconImage(16, 0xFF0000FF)},
                                         {48, IconImage(48, 0xFF00FF00)},
                                         {32, IconImage(32, 0xFFFF0000)}}),
                                   u"three.ico");
  EXPECT_EQ(graphic->Width(), 48);
  EXPECT_EQ(graphic->Height(), 48);
  EXPECT_FALSE(graphic->HasAlpha());
  EXPECT_EQ(PixelsText(*graphic).substr(0, 12), "0,255,0,255 ");
}

// A PNG whose header claims the size; the pixel data is not there.
std::string PngHeaderOnly(uint32_t width, uint32_t height) {
  const auto chunk = [](const std::string& type, const std::string& data) {
    std::string c;
    const uint32_t length = static_cast<uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) c += static_cast<char>(length >> shift);
    const std::string body = type + data;
    c += body;
    const uint32_t crc = static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    for (int shift = 24; shift >= 0; shift -= 8) c += static_cast<char>(crc >> shift);
    return c;
  };
  std::string ihdr;
  for (uint32_t v : {width, height})
    for (int shift = 24; shift >= 0; shift -= 8) ihdr += static_cast<char>(v >> shift);
  ihdr += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", ihdr) + chunk("IDAT", "");
}

// A JPEG whose frame header claims the size; the coded data is not there.
std::string JpegHeaderOnly(uint16_t width, uint16_t height) {
  std::string j = "\xFF\xD8\xFF\xC0";
  j += std::string("\x00\x11\x08", 3);
  j += static_cast<char>(height >> 8);
  j += static_cast<char>(height);
  j += static_cast<char>(width >> 8);
  j += static_cast<char>(width);
  j += std::string("\x03\x01\x11\x00\x02\x11\x00\x03\x11\x00", 10);
  j += std::string("\xFF\xDA\x00\x0C\x03\x01\x00\x02\x00\x03\x00\x00\x3F\x00", 14);
  return j + "\xFF\xD9";
}

void ExpectRefusedBySizeLimit(const std::string& bytes, const std::u16string& name) {
  SCOPED_TRACE(Utf16ToUtf8(name));
  try {
    DecodeBytes(bytes, name);
    ADD_FAILURE() << "decoded";
  } catch (const DecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("limit"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(Utf16ToUtf8(name)), std::string::npos) << e.what();
  }
}

TEST(SizeLimit, HeadersClaimingTooManyPixelsAreRefusedBeforeDecoding) {
  ExpectRefusedBySizeLimit(PngHeaderOnly(30000, 10), u"wide.png");
  ExpectRefusedBySizeLimit(PngHeaderOnly(20000, 20000), u"huge.png");
  ExpectRefusedBySizeLimit(JpegHeaderOnly(30000, 10), u"wide.jpg");
  ExpectRefusedBySizeLimit(JpegHeaderOnly(20000, 20000), u"huge.jpg");
  // The bitmap reader wants the pixel bytes to be there before it tells the size.
  ExpectRefusedBySizeLimit(WithFileHeader(InfoHeader(30000, 10, 24, 0, 0) + std::string(900000, '\0'), 54),
                           u"wide.bmp");
  ExpectRefusedBySizeLimit(Tga(2, 30000, 10, 24, 0x20, std::string(900000, '\0')), u"wide.tga");
  // Within the limits the same headers fail for want of data, not for their size.
  try {
    DecodeBytes(PngHeaderOnly(20000, 10), u"fits.png");
    ADD_FAILURE() << "decoded";
  } catch (const DecodeError& e) {
    EXPECT_EQ(std::string(e.what()).find("limit"), std::string::npos) << e.what();
  }
}

TEST(SizeLimit, LoweredLimitsApplyToEveryDecoder) {
  const ScopedPictureLimits small({.maxSide = 100, .maxPixels = 100});
  ExpectRefusedBySizeLimit(Tga(2, 11, 10, 24, 0x20, std::string(330, '\0')), u"small.tga");
  ExpectRefusedBySizeLimit(PngHeaderOnly(11, 10), u"small.png");
  ExpectRefusedBySizeLimit(JpegHeaderOnly(10, 11), u"small.jpg");
  // The header check sees the first image of an icon only; the others are refused by GraphicsMagick's
  // own limits (when they were lowered before its module was loaded) or by the check of the decoded
  // frame.
  try {
    DecodeBytes(Icon({{8, IconImage(8, 0xFF0000FF)}, {200, IconImage(200, 0xFF0000FF)}}), u"small.ico");
    ADD_FAILURE() << "decoded";
  } catch (const DecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("small.ico"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("limit"), std::string::npos) << e.what();
  }
  EXPECT_EQ(DecodeBytes(Tga(2, 10, 10, 24, 0x20, std::string(300, '\0')), u"fits.tga")->Width(), 10);
}

TEST(CutFiles, AreRejectedOrDecodedAsFarAsTheyGoAndMarkedIncomplete) {
  REQUIRE_TESTDATA();
  // Each is cut where pixel data still has to follow. A JPEG decoder makes what it can of the coded
  // data there is; the other readers give up.
  for (const char* file :
       {"jpeg/testorig.jpg", "jpeg/cat-progressive.jpg", "png/kodim23.png", "png/basi2c08.png",
        "bmp/rgb24.bmp", "bmp/pal8rle.bmp", "tga/UTC24.TGA", "tiff/hopper.tif", "pcx/ICONDOC.pcx",
        "sgi/hopper.sgi", "pnm/input_p6.ppm", "ico/python.ico", "pcd/hopper.pcd"}) {
    const std::string bytes = ReadBytes(TestDataPath(std::string("pictures/") + file));
    const std::u16string name = Utf8ToUtf16(file);
    const GraphicDecoder& decoder = *PictureDecoders(TestRuntime()).Find(name);
    const bool partly = std::string(file).starts_with("jpeg/");
    for (size_t keep : {bytes.size() / 2, bytes.size() * 3 / 4}) {
      SCOPED_TRACE(std::string(file) + " cut to " + std::to_string(keep));
      if (!partly) {
        EXPECT_THROW(decoder.Decode(bytes.substr(0, keep), name), DecodeError);
        continue;
      }
      const DecodedFrames cut = decoder.Decode(bytes.substr(0, keep), name, {.gray = true});
      EXPECT_TRUE(cut.incomplete);
      EXPECT_FALSE(decoder.Decode(bytes, name).incomplete);
      // A picture of one scan has its rows before the cut as the whole file has them.
      const DecodedFrames whole = decoder.Decode(bytes, name, {.gray = true});
      if (std::string(file) == "jpeg/testorig.jpg")
        EXPECT_TRUE(std::equal(whole.frames[0]->Row(0), whole.frames[0]->Row(2), cut.frames[0]->Row(0)));
    }
  }
}

// The JPEG with an Exif segment holding nothing but the orientation, put right after the start
// marker; bigEndian chooses the byte order of the Exif data.
std::string WithExifOrientation(const std::string& jpeg, uint16_t orientation, bool bigEndian) {
  std::string tiff = bigEndian ? std::string("MM\0\x2A\0\0\0\x08", 8) : std::string("II\x2A\0\x08\0\0\0", 8);
  const auto u16 = [&](uint16_t v) {
    tiff += static_cast<char>(bigEndian ? v >> 8 : v & 0xFF);
    tiff += static_cast<char>(bigEndian ? v & 0xFF : v >> 8);
  };
  const auto u32 = [&](uint32_t v) {
    u16(static_cast<uint16_t>(bigEndian ? v >> 16 : v & 0xFFFF));
    u16(static_cast<uint16_t>(bigEndian ? v & 0xFFFF : v >> 16));
  };
  u16(1);                    // one entry:
  u16(0x0112), u16(3);       // Orientation, a SHORT,
  u32(1);                    // one value,
  u16(orientation), u16(0);  // held in the first half of the value field
  u32(0);                    // no next directory
  const std::string exif = std::string("Exif\0\0", 6) + tiff;
  std::string segment = "\xFF\xE1";
  segment += static_cast<char>((exif.size() + 2) >> 8);
  segment += static_cast<char>((exif.size() + 2) & 0xFF);
  return jpeg.substr(0, 2) + segment + exif + jpeg.substr(2);
}

TEST(JpegOrientation, TheExifOrientationTurnsThePictureUpright) {
  REQUIRE_TESTDATA();
  const std::string jpeg = ReadBytes(TestDataPath("pictures/jpeg/testorig.jpg"));
  const auto stored = DecodeBytes(jpeg, u"stored.jpg");
  const int w = stored->Width(), h = stored->Height();
  const auto at = [](const Graphic& g, int x, int y) {
    const uint8_t* p = g.Row(y) + 3 * x;
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
  };
  // Where the stored first row and first column end up, as the Exif orientation values say.
  enum class Side { kTop, kBottom, kLeft, kRight };
  using enum Side;
  const struct {
    int orientation;
    Side firstRow, firstColumn;
  } cases[] = {{1, kTop, kLeft}, {2, kTop, kRight}, {3, kBottom, kRight}, {4, kBottom, kLeft},
               {5, kLeft, kTop}, {6, kRight, kTop}, {7, kRight, kBottom}, {8, kLeft, kBottom}};
  for (const auto& c : cases)
    for (bool bigEndian : {false, true}) {
      SCOPED_TRACE(std::to_string(c.orientation) + (bigEndian ? " big-endian" : " little-endian"));
      const auto upright = DecodeBytes(WithExifOrientation(jpeg, c.orientation, bigEndian), u"turned.jpg");
      const bool turned = c.orientation >= 5;
      ASSERT_EQ(upright->Width(), turned ? h : w);
      ASSERT_EQ(upright->Height(), turned ? w : h);
      const int right = upright->Width() - 1, bottom = upright->Height() - 1;
      // The stored top-left pixel lies where its row and column meet; the stored top-right one
      // where its row meets the side opposite the first column.
      const auto corner = [&](Side a, Side b) {
        const bool onRight = a == kRight || b == kRight, onBottom = a == kBottom || b == kBottom;
        return at(*upright, onRight ? right : 0, onBottom ? bottom : 0);
      };
      const auto opposite = [](Side s) {
        return s == kTop ? kBottom : s == kBottom ? kTop : s == kLeft ? kRight : kLeft;
      };
      EXPECT_EQ(corner(c.firstRow, c.firstColumn), at(*stored, 0, 0));
      EXPECT_EQ(corner(c.firstRow, opposite(c.firstColumn)), at(*stored, w - 1, 0));
      EXPECT_EQ(corner(opposite(c.firstRow), c.firstColumn), at(*stored, 0, h - 1));
    }
}

TEST(JpegOrientation, ACameraPictureMarkedTurnedMatchesTheUprightOne) {
  REQUIRE_TESTDATA();
  // The same photograph stored turned with orientation 6, and stored upright.
  const RgbImage turned = ToRgbOverWhite(*DecodeFile(TestDataPath("pictures/jpeg/hopper_orientation_6.jpg")));
  const RgbImage upright = ToRgbOverWhite(*DecodeFile(TestDataPath("pictures/jpeg/hopper.jpe")));
  EXPECT_LT(ComparePixels(turned, upright).mean, 8);  // apart only by their compression
}

// Decoded grey, a JPEG stored as YCbCr gives its Y channel, which is the luma of its colours but for
// the rounding of libjpeg's conversion to RGB and the clipping of colours beyond RGB's range; a grey
// JPEG gives its own greys, and one stored as CMYK the luma of its colours exactly.
TEST(JpegGray, IsTheLumaOfTheColoursWithinWhatTheColourConversionAllows) {
  REQUIRE_TESTDATA();
  // Clipping moves a few saturated pixels by up to 16; on the whole the greys are within rounding.
  const struct {
    const char* file;
    int most;        // the largest difference of a pixel
    double average;  // the largest average difference
  } cases[] = {
      {"jpeg/testorig.jpg", 16, 0.5},      {"jpeg/cat-progressive.jpg", 16, 0.5},
      {"jpeg/hopper.jpe", 16, 0.5},        {"jpeg/Storm.jpg", 16, 0.5},
      {"jpeg/hopper_gray.jpg", 0, 0},      {"jpeg/pil_sample_cmyk.jpg", 0, 0},
      {"jpeg/ycck-3channel.jpg", 16, 0.5}, {"jpeg/hopper_orientation_6.jpg", 16, 0.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path path = TestDataPath(std::string("pictures/") + c.file);
    const std::u16string name = path.u16string();
    const GraphicDecoder& decoder = *PictureDecoders(TestRuntime()).Find(name);
    std::unique_ptr<Graphic> luma = std::move(decoder.DecodeFile(name).frames[0]);
    luma->MakeGray();
    const DecodedFrames gray = decoder.DecodeFile(name, {.gray = true});
    ASSERT_TRUE(gray.frames[0]->IsGray());
    ASSERT_EQ(gray.frames[0]->Width(), luma->Width());
    ASSERT_EQ(gray.frames[0]->Height(), luma->Height());
    int most = 0;
    double sum = 0;
    for (int y = 0; y < luma->Height(); ++y)
      for (int x = 0; x < luma->Width(); ++x) {
        const int d = std::abs(gray.frames[0]->Row(y)[x] - luma->Row(y)[x]);
        most = std::max(most, d);
        sum += d;
      }
    EXPECT_LE(most, c.most);
    EXPECT_LE(sum / (double(luma->Width()) * luma->Height()), c.average);
  }
}

// A TIFF whose strips are damaged past the point where GraphicsMagick gives up is read on by libtiff:
// what could be read is the picture, marked incomplete.
TEST(DamagedFiles, ATiffWithADamagedStripGivesWhatCouldBeRead) {
  REQUIRE_TESTDATA();
  for (const char* file : {"tiff/hopper_lzw.tif", "tiff/hopper_g4.tif"}) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadBytes(TestDataPath(std::string("pictures/") + file));
    std::string damaged = bytes;
    for (size_t i = damaged.size() / 2; i < damaged.size() / 2 + 200; ++i)
      damaged[i] = static_cast<char>(i * 37);
    const GraphicDecoder& decoder = *PictureDecoders(TestRuntime()).Find(u"damaged.tif");
    const DecodedFrames whole = decoder.Decode(bytes, u"whole.tif", {.gray = true});
    const DecodedFrames read = decoder.Decode(damaged, u"damaged.tif", {.gray = true});
    EXPECT_FALSE(whole.incomplete);
    EXPECT_TRUE(read.incomplete);
    ASSERT_EQ(read.frames[0]->Width(), whole.frames[0]->Width());
    ASSERT_EQ(read.frames[0]->Height(), whole.frames[0]->Height());
    // The first rows lie before the damage.
    EXPECT_TRUE(std::equal(whole.frames[0]->Row(0), whole.frames[0]->Row(4), read.frames[0]->Row(0)));
  }
}

// Pages are written as PNG in as few bits as their greys need; they read back grey for grey.
TEST(GrayPng, WritesBlackAndWhiteInOneBitFourGreysInTwoAndOthersInEight) {
  const struct {
    std::vector<uint8_t> greys;  // repeated over the picture
    int bitDepth;                // the PNG's, at byte 24
  } cases[] = {{{0, 255}, 1}, {{255}, 1}, {{0, 128, 192, 255}, 2}, {{7, 200}, 2}, {{0, 1, 2, 3, 4}, 8}};
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bitDepth);
    std::vector<uint8_t> picture(13 * 5);
    for (size_t i = 0; i < picture.size(); ++i) picture[i] = c.greys[i * 7 % c.greys.size()];
    const fs::path file = dir / "page.png";
    WriteGrayPng(file.u16string(), 13, 5, picture);
    EXPECT_EQ(ReadBytes(file)[24], c.bitDepth);
    const auto decoded = DecodeFile(file);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 13; ++x) ASSERT_EQ(decoded->Row(y)[3 * x], picture[y * 13 + x]) << x << "," << y;
  }
}

TEST(CutFiles, AJpegLackingOnlyItsEndMarkerOrFollowedByJunkKeepsThePicture) {
  REQUIRE_TESTDATA();
  for (const char* file : {"jpeg/testorig.jpg", "jpeg/cat-progressive.jpg"}) {
    SCOPED_TRACE(file);
    const std::string bytes = ReadBytes(TestDataPath(std::string("pictures/") + file));
    const RgbImage whole = ToRgbOverWhite(*DecodeBytes(bytes, u"whole.jpg"));
    EXPECT_EQ(
        ComparePixels(ToRgbOverWhite(*DecodeBytes(bytes.substr(0, bytes.size() - 2), u"a.jpg")), whole).max,
        0);
    EXPECT_EQ(ComparePixels(ToRgbOverWhite(*DecodeBytes(bytes + "trailing junk", u"b.jpg")), whole).max, 0);
  }
}

// A Dr. Halo palette file: its header, then three 16-bit values a colour, never crossing a
// 512-byte block.
std::string HaloPalette(const std::vector<Rgba>& colors) {
  std::string pal = "AH";
  pal.append(10, '\0');  // version, size, type, subtype, board and mode: unused
  for (uint16_t v : {static_cast<uint16_t>(colors.size() - 1), uint16_t{255}, uint16_t{255}, uint16_t{255}})
    AppendU16(pal, v);
  pal += std::string("Dr. Halo").append(12, '\0');
  for (const Rgba& c : colors) {
    if (pal.size() % 512 > 512 - 6) pal.append(512 - pal.size() % 512, '\0');
    for (uint16_t v : {c.r, c.g, c.b}) AppendU16(pal, v);
  }
  return pal;
}

TEST(DrHaloFiles, TakeTheirColoursFromThePaletteFileBesideThem) {
  REQUIRE_TESTDATA();
  ScratchDir dir;
  fs::create_directories(dir / "with");
  fs::create_directories(dir / "without");
  const std::string cut = ReadBytes(TestDataPath("pictures/cut/TRU256.CUT"));
  WriteBytes(dir / "with/TRU256.CUT", cut);
  WriteBytes(dir / "without/TRU256.CUT", cut);
  std::vector<Rgba> colors;
  for (int i = 0; i < 256; ++i) colors.push_back({uint8_t(i), 0, uint8_t(255 - i), 255});
  WriteBytes(dir / "with/TRU256.PAL", HaloPalette(colors));

  // Without its palette a picture shows its colour numbers as greys.
  const std::vector<Rgba> grey = Pixels(*DecodeFile(dir / "without/TRU256.CUT"));
  const std::vector<Rgba> colored = Pixels(*DecodeFile(dir / "with/TRU256.CUT"));
  ASSERT_EQ(grey.size(), colored.size());
  size_t wrong = 0;
  for (size_t i = 0; i < grey.size(); ++i) {
    const Rgba want = colors[grey[i].r];
    wrong += colored[i].r != want.r || colored[i].g != want.g || colored[i].b != want.b;
  }
  EXPECT_EQ(wrong, 0u);
}

TEST(DecoderErrors, EmptyAndMissingFilesFailNamingTheFile) {
  test::ScratchDir dir;
  for (const char* name : {"empty.jpg", "empty.png", "empty.bmp", "empty.tga", "empty.cut", "empty.eps"}) {
    SCOPED_TRACE(name);
    WriteBytes(dir / name, "");
    try {
      DecodeFile(dir / name);
      ADD_FAILURE() << "decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find((dir / name).string()), std::string::npos) << e.what();
    }
    EXPECT_THROW(DecodeFile(dir / (std::string("missing-") + name)), FileOpenError);
  }
}

TEST(PictureDecoders, FindsDecodersWithoutRegardToCaseAndNamesUnknownExtensions) {
  for (const char16_t* name :
       {u"a.jpg", u"B.JPG", u"dir.x/c.JpEg", u"d.PNG", u"e.Tif", u"f.GIF", u"g.rle", u"h.BW"})
    EXPECT_NE(PictureDecoders(TestRuntime()).Find(name), nullptr) << Utf16ToUtf8(name);
  EXPECT_EQ(PictureDecoders(TestRuntime()).Find(u"a.jpg"), PictureDecoders(TestRuntime()).Find(u"A.JPEG"));
  for (const char16_t* name : {u"a.txt", u"noextension", u"dir.jpg/noextension", u"a.jpg.", u"a.xjpg"})
    EXPECT_EQ(PictureDecoders(TestRuntime()).Find(name), nullptr) << Utf16ToUtf8(name);

  const auto description = [](const std::u16string& ext) {
    for (const auto& entry : PictureDecoders(TestRuntime()).Entries())
      if (entry.ext == ext) return entry.description;
    return std::u16string();
  };
  EXPECT_EQ(description(u"png"), u"Portable network graphic images");
  EXPECT_EQ(description(u"gif"), u"CompuServe GIF images");

  Picture picture;
  try {
    picture.LoadFromFile(TestRuntime(), u"/somewhere/picture.xyz");
    ADD_FAILURE() << "loaded";
  } catch (const DecodeError& e) {
    EXPECT_NE(std::string(e.what()).find("/somewhere/picture.xyz"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("unknown picture file extension"), std::string::npos) << e.what();
  }
  EXPECT_TRUE(picture.Empty());
}

}  // namespace
}  // namespace bookloom::test
