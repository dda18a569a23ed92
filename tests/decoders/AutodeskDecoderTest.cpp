#include <gtest/gtest.h>

#include "decoders/AutodeskDecoder.h"
#include "decoders/DecoderTestSupport.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

using test::ReadBytes;
using test::TestDataPath;

std::string Rgb3(const Graphic& g, int x, int y) {
  const uint8_t* p = g.Row(y) + 3 * x;
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// A 3 x 2 original Animator picture: colour 1 is pure red (63,0,0), colour 2 a mid grey (32,32,32).
std::string AnimatorPicture(uint16_t width = 3, uint16_t height = 2) {
  std::string f(32, '\0');
  PutU16(f, 0, 0x9119);
  PutU16(f, 2, width);
  PutU16(f, 4, height);
  f[10] = 8;
  PutU32(f, 12, static_cast<uint32_t>(width) * height);
  std::string palette(768, '\0');
  palette[3] = 63;
  palette[6] = palette[7] = palette[8] = 32;
  f += palette;
  f += std::string("\x01\x02\x00\x02\x01\x01", 6);
  return f;
}

std::string Chunk(uint16_t type, const std::string& data) {
  std::string c(6, '\0');
  PutU32(c, 0, static_cast<uint32_t>(6 + data.size()));
  PutU16(c, 4, type);
  return c + data;
}

// An FLC file of the given size whose first frame holds the given chunks, after a prefix chunk.
std::string Flc(uint16_t width, uint16_t height, const std::vector<std::string>& frameChunks) {
  std::string f(128, '\0');
  PutU16(f, 4, 0xAF12);
  PutU16(f, 6, 1);
  PutU16(f, 8, width);
  PutU16(f, 10, height);
  PutU16(f, 12, 8);
  f += Chunk(0xF100, std::string(10, '\0'));
  PutU32(f, 80, static_cast<uint32_t>(f.size()));
  std::string frame(10, '\0');
  PutU16(frame, 0, static_cast<uint16_t>(frameChunks.size()));
  for (const auto& c : frameChunks) frame += c;
  f += Chunk(0xF1FA, frame);
  PutU32(f, 0, static_cast<uint32_t>(f.size()));
  return f;
}

TEST(AutodeskDecoder, ReadsAnOriginalAnimatorPictureWithItsSixBitPalette) {
  const auto g = DecodeAutodesk(AnimatorPicture(), u"tiny.pic");
  ASSERT_EQ(g->Width(), 3);
  ASSERT_EQ(g->Height(), 2);
  EXPECT_FALSE(g->HasAlpha());
  EXPECT_EQ(Rgb3(*g, 0, 0), "255,0,0");
  EXPECT_EQ(Rgb3(*g, 1, 0), "130,130,130");
  EXPECT_EQ(Rgb3(*g, 2, 0), "0,0,0");
  EXPECT_EQ(Rgb3(*g, 0, 1), "130,130,130");
  EXPECT_EQ(Rgb3(*g, 2, 1), "255,0,0");
}

TEST(AutodeskDecoder, ReadsTheFirstFrameOfAnFlcCel) {
  // Colours: 2 packets (skip 1, set 1 = blue; skip 0, set 1 = green); then one 4 x 2 frame.
  const std::string colours = std::string("\x02\x00", 2) + std::string("\x01\x01\x00\x00\xFF", 5) +
                              std::string("\x00\x01\x00\xFF\x00", 5);
  // Line 1: run of 3 x colour 1, literal 1 x colour 2; line 2: literal 2, 1, 0, 2.
  const std::string byteRun =
      std::string("\x02\x03\x01\xFF\x02", 5) + std::string("\x01\xFC\x02\x01\x00\x02", 6);
  const struct {
    const char* name;
    std::vector<std::string> chunks;
    std::vector<int> indexes;  // expected colour index of each pixel, row by row
  } cases[] = {
      {"256-colour map, byte run", {Chunk(4, colours), Chunk(15, byteRun)}, {1, 1, 1, 2, 2, 1, 0, 2}},
      {"copy",
       {Chunk(4, colours), Chunk(16, std::string("\x02\x00\x01\x02\x01\x01\x00\x00", 8))},
       {2, 0, 1, 2, 1, 1, 0, 0}},
      {"copy then black",
       {Chunk(4, colours), Chunk(16, std::string(8, '\x01')), Chunk(13, "")},
       {0, 0, 0, 0, 0, 0, 0, 0}},
      {"unknown chunks are skipped",
       {Chunk(18, "stamp"), Chunk(4, colours), Chunk(15, byteRun)},
       {1, 1, 1, 2, 2, 1, 0, 2}},
  };
  const char* rgb[] = {"0,0,0", "0,0,255", "0,255,0"};
  for (const auto& c : cases) {
    const auto g = DecodeAutodesk(Flc(4, 2, c.chunks), u"tiny.cel");
    ASSERT_EQ(g->Width(), 4) << c.name;
    ASSERT_EQ(g->Height(), 2) << c.name;
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(Rgb3(*g, i % 4, i / 4), rgb[c.indexes[i]]) << c.name << " pixel " << i;
  }
  // The 64-level colour chunk scales its components to 8 bits.
  const std::string colours64 = std::string("\x01\x00\x00\x01\x3F\x20\x00", 7);
  const auto g =
      DecodeAutodesk(Flc(2, 1, {Chunk(11, colours64), Chunk(16, std::string(2, '\0'))}), u"tiny.cel");
  EXPECT_EQ(Rgb3(*g, 1, 0), "255,130,0");
}

TEST(AutodeskDecoder, ReadsAnAnimatorProPicture) {
  std::string f(64, '\0');
  PutU16(f, 4, 0x9500);
  PutU16(f, 6, 2);
  PutU16(f, 8, 2);
  f[18] = 8;
  std::string cmap(2, '\0');  // version, then colours 0 and 1
  cmap += std::string("\x10\x20\x30\xFF\xFE\xFD", 6);
  f += Chunk(0, cmap) + Chunk(1, std::string("\x00\x01\x01\x00", 4));
  PutU32(f, 0, static_cast<uint32_t>(f.size()));
  const auto g = DecodeAutodesk(f, u"pro.pic");
  ASSERT_EQ(g->Width(), 2);
  EXPECT_EQ(Rgb3(*g, 0, 0), "16,32,48");
  EXPECT_EQ(Rgb3(*g, 1, 0), "255,254,253");
  EXPECT_EQ(Rgb3(*g, 0, 1), "255,254,253");

  // A one-bit picture: set bits white, the first pixel in the top bit.
  std::string mask = f.substr(0, 64);
  mask[18] = 1;
  mask += Chunk(2, std::string("\x80\x40", 2));
  const auto m = DecodeAutodesk(mask, u"pro.msk");
  EXPECT_EQ(Rgb3(*m, 0, 0), "255,255,255");
  EXPECT_EQ(Rgb3(*m, 1, 0), "0,0,0");
  EXPECT_EQ(Rgb3(*m, 1, 1), "255,255,255");
}

TEST(AutodeskDecoder, RefusesOversizedPicturesBeforeReadingThem) {
  // The header claims 30000 x 10 but the file holds six pixels: the size is what is refused.
  // A caller's lower limit counts too: the six pixels of the small picture are more than five.
  const struct {
    std::string file;
    int64_t maxPixels;
  } cases[] = {{AnimatorPicture(30000, 10), kMaxPicturePixels},
               {Flc(30000, 10, {}), kMaxPicturePixels},
               {AnimatorPicture(), 5}};
  for (const auto& c : cases) {
    try {
      DecodeAutodesk(c.file, u"huge.cel", c.maxPixels);
      ADD_FAILURE() << "accepted";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("limit"), std::string::npos) << e.what();
    }
  }
}

TEST(AutodeskDecoder, DamagedFilesRaiseDecodeErrors) {
  const std::string pic = AnimatorPicture();
  // Every byte of an original picture is needed: each cut copy is refused.
  EXPECT_EQ(test::ExpectDamageIsRefusedCleanly(DecodeAutodesk, pic, "tiny.pic"), 0);
  test::ExpectDamageIsRefusedCleanly(
      DecodeAutodesk, Flc(4, 2, {Chunk(15, std::string("\x00\x04\x01\x00\x04\x02", 6))}), "tiny.cel");
}

TEST(AutodeskDecoder, DecodesTheSampleFiles) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    int width, height;
  } cases[] = {
      {"ZIN.CEL", 6, 6},     {"CRSHAIR.CEL", 314, 146}, {"crshair.pic", 314, 146},
      {"SUN.CEL", 146, 140}, {"LOGO.CEL", 84, 88},      {"APWCOL.CEL", 161, 193},
  };
  for (const auto& c : cases) {
    const auto path = TestDataPath(std::string("pictures/autodesk/") + c.file);
    const auto g = test::DecodeFile(path);
    EXPECT_EQ(g->Width(), c.width) << c.file;
    EXPECT_EQ(g->Height(), c.height) << c.file;
    // A real picture has more than one colour.
    const auto img = test::ToRgbOverWhite(*g);
    EXPECT_NE(std::count(img.rgb.begin(), img.rgb.end(), img.rgb[0]), static_cast<long>(img.rgb.size()))
        << c.file;
    test::ExpectDamageIsRefusedCleanly(DecodeAutodesk, ReadBytes(path), c.file);
  }
}

TEST(AutodeskDecoder, RefusesFilesOfOtherFormatsAndEmptyCels) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"not-autodesk/pictor.pic", "not an Autodesk Animator picture"},
      {"not-autodesk/softimage-4x4.pic", "not an Autodesk Animator picture"},
      {"TEST.CEL", "no pixels"},
  };
  for (const auto& c : cases) {
    const auto path = TestDataPath(std::string("pictures/autodesk/") + c.file);
    try {
      FunctionDecoder(DecodeAutodesk).LoadFromFile(path.u16string());
      ADD_FAILURE() << c.file << " was accepted";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(path.filename().string()), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace bookloom
