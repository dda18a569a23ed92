#include <gtest/gtest.h>

#include "decoders/DecoderTestSupport.h"
#include "decoders/PsdDecoder.h"
#include "platform/Exception.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

using test::ReadBytes;
using test::TestDataPath;

void AppendBE(std::string& s, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// PackBits with runs of three or more equal bytes as repeats and everything else as literals.
std::string PackBits(const std::string& row) {
  std::string out;
  size_t i = 0;
  while (i < row.size()) {
    size_t run = 1;
    while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
    if (run >= 3) {
      out += static_cast<char>(1 - static_cast<int>(run));
      out += row[i];
      i += run;
      continue;
    }
    size_t lit = 0;
    while (
        i + lit < row.size() && lit < 128 &&
        !(i + lit + 2 < row.size() && row[i + lit] == row[i + lit + 1] && row[i + lit] == row[i + lit + 2]))
      ++lit;
    out += static_cast<char>(lit - 1);
    out += row.substr(i, lit);
    i += lit;
  }
  return out;
}

struct PsdRecipe {
  PsdRecipe(int version, int mode, int depth, int width, int height, bool packBits,
            std::vector<std::string> channels, std::string modeData = "")
      : version(version),
        mode(mode),
        depth(depth),
        width(width),
        height(height),
        packBits(packBits),
        channels(std::move(channels)),
        modeData(std::move(modeData)) {}
  int version, mode, depth, width, height;
  bool packBits;
  std::vector<std::string> channels;  // each channel's rows, stored as the file stores them
  std::string modeData;
};

std::string MakePsd(const PsdRecipe& s) {
  std::string f = "8BPS";
  AppendBE(f, s.version, 2);
  f += std::string(6, '\0');
  AppendBE(f, s.channels.size(), 2);
  AppendBE(f, s.height, 4);
  AppendBE(f, s.width, 4);
  AppendBE(f, s.depth, 2);
  AppendBE(f, s.mode, 2);
  AppendBE(f, s.modeData.size(), 4);
  f += s.modeData;
  AppendBE(f, 0, 4);                       // image resources
  AppendBE(f, 0, s.version == 2 ? 8 : 4);  // layers
  AppendBE(f, s.packBits ? 1 : 0, 2);
  if (!s.packBits) {
    for (const auto& c : s.channels) f += c;
    return f;
  }
  const size_t rowBytes = s.channels[0].size() / s.height;
  std::string counts, data;
  for (const auto& c : s.channels)
    for (int y = 0; y < s.height; ++y) {
      const std::string packed = PackBits(c.substr(y * rowBytes, rowBytes));
      AppendBE(counts, packed.size(), s.version == 2 ? 4 : 2);
      data += packed;
    }
  return f + counts + data;
}

std::string Bytes(std::initializer_list<int> v) {
  std::string s;
  for (int b : v) s += static_cast<char>(b);
  return s;
}

TEST(PsdDecoder, ReadsEveryColourModeAndDepth) {
  std::string palette(768, '\0');
  palette[1] = 10, palette[256 + 1] = 20, palette[512 + 1] = 30;  // colour 1 = (10, 20, 30)
  const struct {
    const char* name;
    PsdRecipe recipe;
    const char* pixels;
  } cases[] = {
      {"RGB 8-bit raw",
       {1, 3, 8, 2, 1, false, {Bytes({255, 1}), Bytes({0, 2}), Bytes({0, 3})}},
       "255,0,0 1,2,3"},
      {"RGB 16-bit PackBits",
       {1,
        3,
        16,
        2,
        2,
        true,
        {Bytes({0xFF, 0xFF, 0, 0, 0x80, 0x80, 0x12, 0x34}), std::string(8, '\0'), std::string(8, '\xFF')}},
       "255,0,255 0,0,255 128,0,255 18,0,255"},
      {"large-document RGB with PackBits",
       {2, 3, 8, 4, 1, true, {std::string(4, '\x07'), Bytes({1, 2, 3, 4}), std::string(4, '\0')}},
       "7,1,0 7,2,0 7,3,0 7,4,0"},
      {"greyscale", {1, 1, 8, 3, 1, true, {Bytes({0, 100, 255})}}, "0,0,0 100,100,100 255,255,255"},
      {"duotone shows its grey ink", {1, 8, 8, 1, 1, false, {Bytes({77})}}, "77,77,77"},
      {"bitmap: set bits are black",
       {1, 0, 1, 10, 1, false, {Bytes({0x80, 0x40})}},
       "0,0,0 255,255,255 255,255,255 255,255,255 255,255,255 255,255,255 255,255,255 255,255,255 "
       "255,255,255 "
       "0,0,0"},
      {"indexed", {1, 2, 8, 2, 1, false, {Bytes({1, 0})}, palette}, "10,20,30 0,0,0"},
      {"CMYK is stored inverted",
       {1, 4, 8, 2, 1, false, {Bytes({255, 255}), Bytes({0, 255}), Bytes({0, 255}), Bytes({255, 128})}},
       "255,0,0 128,128,128"},
      {"Lab",
       {1, 9, 8, 2, 1, false, {Bytes({255, 0}), Bytes({128, 128}), Bytes({128, 128})}},
       "255,255,255 0,0,0"},
      {"grey with merged transparency",
       {1, 1, 8, 2, 1, false, {Bytes({127, 10}), Bytes({128, 255})}},
       "0,0,0,128 10,10,10,255"},
      {"RGB with merged transparency and an extra channel",
       {1, 3, 8, 1, 1, true, {Bytes({255}), Bytes({127}), Bytes({127}), Bytes({128}), Bytes({9})}},
       "255,0,0,128"},
  };
  for (const auto& c : cases) {
    try {
      const auto g = DecodePsd(MakePsd(c.recipe), u"made.psd");
      EXPECT_EQ(g->Width(), c.recipe.width) << c.name;
      EXPECT_EQ(test::PixelText(*g), c.pixels) << c.name;
    } catch (const Exception& e) {
      ADD_FAILURE() << c.name << ": " << e.what();
    }
  }
}

TEST(PsdDecoder, RefusesOversizedAndUnsupportedFiles) {
  const struct {
    const char* name;
    std::string file;
    const char* reason;
  } cases[] = {
      {"30000 x 10", MakePsd({1, 3, 8, 30000, 10, false, {"", "", ""}}), "limit"},
      {"no signature", "8BPX" + std::string(40, '\0'), "not a Photoshop file"},
      {"multichannel", MakePsd({1, 7, 8, 1, 1, false, {"a", "b"}}), "colour mode 7"},
      {"indexed without colours", MakePsd({1, 2, 8, 1, 1, false, {"a"}}), "colour table"},
      {"too few channels", MakePsd({1, 4, 8, 1, 1, false, {"a", "b"}}), "fewer channels"},
      {"PackBits rows cut short", MakePsd({1, 1, 8, 4, 1, true, {Bytes({1, 2, 3, 4})}}).substr(0, 42),
       "cut short"},
  };
  for (const auto& c : cases) {
    try {
      DecodePsd(c.file, u"made.psd");
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.name << ": " << e.what();
      EXPECT_NE(std::string(e.what()).find("made.psd"), std::string::npos) << e.what();
    }
  }
}

TEST(PsdDecoder, DamagedFilesRaiseDecodeErrors) {
  const std::string rle =
      MakePsd({1, 3, 16, 3, 3, true, {std::string(18, 'a'), std::string(18, 'b'), "abcdefghijklmnopqr"}});
  EXPECT_EQ(test::ExpectDamageIsRefusedCleanly(DecodePsd, rle, "made.psd"), 0);
}

TEST(PsdDecoder, DecodesTheSampleFilesAsImageMagickDoes) {
  REQUIRE_TESTDATA();
  for (const auto& path : test::SampleFiles("pictures/psd")) {
    SCOPED_TRACE(path.filename().string());
    const auto g = test::DecodeFile(path);
    test::ExpectDamageIsRefusedCleanly(DecodePsd, ReadBytes(path), path.filename().string());
    // ImageMagick scales 32-bit samples without taking them as linear light, as Photoshop does.
    if (path.filename() == "32bit5x5.psd") continue;
    const auto reference = test::ReferenceImage(path, "convert");
    if (!reference) continue;  // ImageMagick is missing or cannot read this one
    const auto d = test::ComparePixels(test::ToRgbOverWhite(*g), *reference);
    EXPECT_LE(d.max, 1);
  }
}

TEST(PsdDecoder, HandlesTheBrokenSamples) {
  REQUIRE_TESTDATA();
  // The PackBits data of this one ends early.
  EXPECT_THROW(FunctionDecoder(DecodePsd).LoadFromFile(
                   TestDataPath("pictures/psd/bad/short-packbits.psd").u16string()),
               DecodeError);
  // This one's damage is in its layers: its merged image is sound.
  const auto g = FunctionDecoder(DecodePsd).LoadFromFile(
      TestDataPath("pictures/psd/bad/psd-oob-write-overflow.psd").u16string());
  EXPECT_EQ(g->Width(), 10);
}

}  // namespace
}  // namespace bookloom
