// The decoders against pictures that ImageMagick or GraphicsMagick write or decode at test time:
// the same pixels as another program's reading of the same file.
#include <gtest/gtest.h>

#include "decoders/DecoderTestSupport.h"
#include "platform/Exception.h"
#include "support/TestData.h"

namespace bookloom::test {
namespace {

namespace fs = std::filesystem;

// ImageMagick's convert; GraphicsMagick is "gm".
constexpr const char* kImageMagick = "convert";
constexpr const char* kGraphicsMagick = "gm";

// A 61 x 47 picture with smooth colours in every direction, as an 8-bit PPM.
fs::path MakeReference(const ScratchDir& dir) {
  const fs::path ref = dir / "reference.ppm";
  EXPECT_TRUE(RunCommand(std::string(kImageMagick) + " -size 61x47 gradient:red-blue -swirl 90 -depth 8 " +
                         Quoted(ref)));
  return ref;
}

// Compares the decoding of a file with another program's decoding of it.
void ExpectSameAsDecodedBy(const std::string& tool, const std::string& options, const fs::path& file,
                           int tolerance) {
  SCOPED_TRACE(file.string());
  const auto expected = ReferenceImage(file, tool, options);
  ASSERT_TRUE(expected) << tool << " cannot read it";
  EXPECT_LE(ComparePixels(ToRgbOverWhite(*DecodeFile(file)), *expected).max, tolerance);
}

TEST(MadeFiles, JpegSamplesDecodeAsImageMagickDecodesThem) {
  REQUIRE_TESTDATA();
  REQUIRE_TOOL(kImageMagick);
  // CMYK is multiplied out with rounding of its own: one level apart at most.
  const struct {
    const char* file;
    int tolerance;
  } cases[] = {{"testorig.jpg", 0},        {"testimgari.jpg", 0},    {"hopper_gray.jpg", 0},
               {"cat-progressive.jpg", 0}, {"ycck-3channel.jpg", 0}, {"Storm.jpg", 0},
               {"pil_sample_cmyk.jpg", 1}, {"cmyk-sample.jpg", 1}};
  for (const auto& c : cases)
    ExpectSameAsDecodedBy(kImageMagick, "", TestDataPath(std::string("pictures/jpeg/") + c.file),
                          c.tolerance);
}

TEST(MadeFiles, PngSamplesDecodeAsGraphicsMagickDecodesThem) {
  REQUIRE_TESTDATA();
  REQUIRE_TOOL(kGraphicsMagick);
  // GraphicsMagick, like this decoder, leaves gamma chunks aside; 16-bit samples may round apart.
  const struct {
    const char* file;
    int tolerance;
  } cases[] = {
      {"basn0g01.png", 0}, {"basn3p02.png", 0}, {"basn3p08.png", 0}, {"basn2c08.png", 0},
      {"basi2c08.png", 0}, {"g03n2c08.png", 0}, {"ct1n0g04.png", 0}, {"tbbn3p08.png", 0},
      {"tbrn2c08.png", 0}, {"kodim23.png", 0},  {"basn0g16.png", 1}, {"basn2c16.png", 1},
      {"monkey16.png", 1}, {"basn4a08.png", 1}, {"basn6a08.png", 1}, {"basn6a16.png", 2},
  };
  for (const auto& c : cases)
    ExpectSameAsDecodedBy(std::string(kGraphicsMagick) + " convert", "",
                          TestDataPath(std::string("pictures/png/") + c.file), c.tolerance);
}

TEST(MadeFiles, PicturesWrittenByImageMagickDecodeToTheirPixels) {
  REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  const auto reference = ReadPpm(MakeReference(dir));
  ASSERT_TRUE(reference);
  ASSERT_EQ(reference->width, 61);
  const struct {
    const char* file;
    const char* options;
  } cases[] = {
      {"plain.bmp", ""},
      {"packed.dib", ""},
      {"plain.tif", ""},
      {"lzw.tif", "-compress LZW"},
      {"zip.tiff", "-compress Zip"},
      {"plain.pcx", ""},
      {"plain.sgi", ""},
      {"rle.sgi", "-compress RLE"},
      {"plain.ppm", ""},
      {"ascii.ppm", "-compress none"},
      {"icon.ico", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path file = dir / c.file;
    // ImageMagick names its header-less bitmap writer DIB.
    const std::string target = (file.extension() == ".dib" ? "DIB:" : "") + Quoted(file);
    ASSERT_TRUE(RunCommand(std::string(kImageMagick) + " " + Quoted(dir / "reference.ppm") + " " + c.options +
                           " " + target));
    EXPECT_EQ(ComparePixels(ToRgbOverWhite(*DecodeFile(file)), *reference).max, 0);
  }
}

// ImageMagick 6 writes Targa rows in the order opposite to the origin it states, so the Targa
// writer here is GraphicsMagick's, which follows the format.
TEST(MadeFiles, TargaWrittenByGraphicsMagickDecodesToItsPixels) {
  REQUIRE_TOOL(kImageMagick);
  REQUIRE_TOOL(kGraphicsMagick);
  ScratchDir dir;
  const auto reference = ReadPpm(MakeReference(dir));
  ASSERT_TRUE(reference);
  for (const char* options : {"", "-compress RLE"}) {
    SCOPED_TRACE(options);
    const fs::path file = dir / "made.tga";
    ASSERT_TRUE(RunCommand(std::string(kGraphicsMagick) + " convert " + Quoted(dir / "reference.ppm") + " " +
                           options + " " + Quoted(file)));
    EXPECT_EQ(ComparePixels(ToRgbOverWhite(*DecodeFile(file)), *reference).max, 0);
  }
}

TEST(MadeFiles, CmykAndGreyJpegsDecodeAsImageMagickDecodesThem) {
  REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  MakeReference(dir);
  for (const char* colorspace : {"CMYK", "Gray"}) {
    const fs::path file = dir / (std::string(colorspace) + ".jpg");
    ASSERT_TRUE(RunCommand(std::string(kImageMagick) + " " + Quoted(dir / "reference.ppm") + " -colorspace " +
                           colorspace + " " + Quoted(file)));
    ExpectSameAsDecodedBy(kImageMagick, "-colorspace sRGB", file, 1);
  }
}

// A 4 x 3 white picture with one red pixel at (1, 1), white made transparent.
std::string TransparentWhite(const std::string& target) {
  return std::string(kImageMagick) + " -size 4x3 xc:white -fill red -draw 'point 1,1' -transparent white " +
         target;
}

TEST(MadeFiles, TransparentColoursBecomeAlphaOnlyWhereTheyAre) {
  REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  // Palette, RGB and grey PNGs with a transparent colour, and a GIF with a transparent index.
  const struct {
    const char* writer;  // ImageMagick's name of the PNG flavour
    const char* name;
  } cases[] = {{"PNG8:", "palette.png"}, {"PNG24:", "rgb.png"}, {"", "transparent.gif"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = c.name;
    ASSERT_TRUE(RunCommand(TransparentWhite(c.writer + Quoted(dir / name))));
    const auto graphic = DecodeFile(dir / name);
    ASSERT_TRUE(graphic->HasAlpha());
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 4; ++x) {
        const uint8_t* p = graphic->Row(y) + 4 * x;
        if (x == 1 && y == 1)
          EXPECT_EQ(std::vector<int>({p[0], p[1], p[2], p[3]}), std::vector<int>({255, 0, 0, 255}));
        else
          EXPECT_EQ(p[3], 0) << x << "," << y;
      }
  }
  const fs::path grey = dir / "grey.png";
  ASSERT_TRUE(
      RunCommand(std::string(kImageMagick) +
                 " -size 4x3 xc:gray50 -fill black -draw 'point 1,1' -transparent gray50 -colorspace gray"
                 " -define png:color-type=0 " +
                 Quoted(grey)));
  const RgbImage composited = ToRgbOverWhite(*DecodeFile(grey));
  ASSERT_EQ(composited.rgb.size(), 4u * 3 * 3);
  const auto pixel = [&](int at) {
    return std::vector<uint8_t>(&composited.rgb[3 * at], &composited.rgb[3 * at + 3]);
  };
  EXPECT_EQ(pixel(0), std::vector<uint8_t>({255, 255, 255}));  // transparent grey shows the white page
  EXPECT_EQ(pixel(5), std::vector<uint8_t>({0, 0, 0}));        // (1, 1) stays black
}

TEST(MadeFiles, AnimatedGifsGiveTheirFirstFrame) {
  REQUIRE_TOOL(kImageMagick);
  ScratchDir dir;
  const fs::path file = dir / "animation.gif";
  ASSERT_TRUE(
      RunCommand(std::string(kImageMagick) + " -delay 10 -size 4x4 xc:red xc:blue xc:lime " + Quoted(file)));
  const auto graphic = DecodeFile(file);
  EXPECT_FALSE(graphic->HasAlpha());
  std::vector<uint8_t> red;
  for (int i = 0; i < 16; ++i) red.insert(red.end(), {255, 0, 0});
  EXPECT_EQ(ToRgbOverWhite(*graphic).rgb, red);
}

}  // namespace
}  // namespace bookloom::test
