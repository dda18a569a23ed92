// The decoders on sample files made by other programs: sizes, transparency, agreement between
// formats, and damaged files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "decoders/DecoderTestSupport.h"
#include "decoders/PictureFormats.h"
#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"
#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom::test {
namespace {

namespace fs = std::filesystem;

// The folders of the sample families that the library decoders read.
const char* const kFamilies[] = {"bmp", "ico", "wmf", "jpeg", "tga", "tiff", "eps",
                                 "pcx", "rla", "sgi", "pnm",  "pcd", "cut",  "png"};

TEST(SampleFiles, EveryReadableSampleDecodesWithItsSizeAndTransparency) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    int width, height;
    bool alpha;
  } cases[] = {
      {"bmp/clipboard.dib", 296, 176, false},  // packed DIB: no file header
      {"bmp/input.dib", 70, 46, false},        // packed DIB
      {"bmp/pal1.bmp", 127, 64, false},
      {"bmp/pal4.bmp", 127, 64, false},
      {"bmp/pal4rle.bmp", 127, 64, false},
      {"bmp/pal4rle.rle", 127, 64, false},
      {"bmp/pal8.bmp", 127, 64, false},
      {"bmp/pal8os2.bmp", 127, 64, false},
      {"bmp/pal8os2v2.bmp", 127, 64, false},
      {"bmp/pal8rle.bmp", 127, 64, false},
      {"bmp/pal8rle.rle", 127, 64, false},
      {"bmp/pal8topdown.bmp", 127, 64, false},
      {"bmp/pal8v4.bmp", 127, 64, false},
      {"bmp/pal8v5.bmp", 127, 64, false},
      {"bmp/rgb16-565.bmp", 127, 64, false},
      {"bmp/rgb24-bm-header.dib", 127, 64, false},
      {"bmp/rgb24.bmp", 127, 64, false},
      {"bmp/rgb32bf.bmp", 127, 64, false},
      {"bmp/rgba32.bmp", 127, 64, true},
      {"cut/MARBLES.CUT", 1419, 1001, false},
      {"cut/TRU256.CUT", 256, 64, false},
      {"cut/VENUS.CUT", 300, 150, false},
      {"eps/1.eps", 72, 48, false},  // DOS binary header: the PostScript section is rendered
      {"eps/binary_preview_map.eps", 399, 480, false},
      {"eps/illu10_preview.eps", 403, 2448, false},
      {"eps/input.eps", 497, 317, false},
      {"eps/pil_sample_cmyk.eps", 100, 100, false},
      {"eps/rgb-gimp-2.8.10.eps", 33, 33, false},
      {"eps/zero_bb.eps", 460, 352, false},
      {"ico/black_and_white.ico", 16, 16, false},
      {"ico/bmp-24bpp-mask.ico", 32, 32, true},  // the mask becomes alpha
      {"ico/bmp-32bpp-alpha.ico", 32, 32, true},
      {"ico/favicon.ico", 32, 32, true},
      {"ico/hopper.ico", 16, 16, false},
      {"ico/hopper_256x256.ico", 256, 256, false},
      {"ico/multiple_entries_with_different_bit_depth.ico", 48, 48, true},  // the largest image
      {"ico/png-32bpp-alpha.ico", 32, 32, true},
      {"ico/python.ico", 48, 48, true},  // the largest of 16, 32 and 48
      {"jpeg/R-7439-1151526181.jpeg", 386, 396, false},
      {"jpeg/Storm.jpg", 1920, 1280, false},
      {"jpeg/cat-progressive.jpeg", 320, 240, false},
      {"jpeg/cat-progressive.jpg", 320, 240, false},
      {"jpeg/cmyk-sample.jpg", 160, 227, false},
      {"jpeg/hopper.jpe", 128, 128, false},
      {"jpeg/hopper_gray.jpg", 128, 128, false},
      {"jpeg/hopper_orientation_6.jpg", 128, 128, false},
      {"jpeg/jfif_unit_cm.jpg", 1, 1, false},
      {"jpeg/olympus-d320l-jfxx-thumbnail.jpg", 640, 480, false},
      {"jpeg/pil_sample_cmyk.jpg", 100, 100, false},
      {"jpeg/sunset_by_Aitzol_Berasategi.jpg", 4272, 2848, false},
      {"jpeg/testimgari.jpg", 227, 149, false},  // arithmetic coding
      {"jpeg/testorig.jfif", 227, 149, false},
      {"jpeg/testorig.jpg", 227, 149, false},
      {"jpeg/umang_by_Abhishek_Mudgal.jpg", 3840, 2160, false},
      {"jpeg/ycck-3channel.jpg", 310, 384, false},
      {"pcd/hopper.pcd", 768, 512, false},  // the base image, not the first (192 x 128)
      {"pcx/16color.pcx", 200, 168, false},
      {"pcx/CGA_BW.PCX", 640, 200, false},
      {"pcx/CGA_RGBI.PCX", 320, 200, false},
      {"pcx/DARKSTAR.PCX", 88, 52, false},
      {"pcx/ICONDOC.pcx", 640, 350, false},
      {"pcx/animals.pcx", 239, 157, false},
      {"pcx/cga_fsd.scr", 320, 200, false},
      {"pcx/dice_rgba.pcx", 63, 47, true},
      {"pcx/indexed4.pcc", 32, 32, false},
      {"pcx/indexed8.pcx", 32, 32, false},
      {"pcx/mono.pcx", 581, 400, false},
      {"pcx/no-palette-monochrome.pcx", 128, 152, false},
      {"pcx/odd_stride.pcx", 371, 150, false},
      {"pcx/p_4_planes.pcx", 1, 1, false},
      {"pcx/rgb.pcx", 32, 32, false},
      {"png/basi2c08.png", 32, 32, false},
      {"png/basn0g01.png", 32, 32, false},
      {"png/basn0g16.png", 32, 32, false},
      {"png/basn2c08.png", 32, 32, false},
      {"png/basn2c16.png", 32, 32, false},
      {"png/basn3p02.png", 32, 32, false},
      {"png/basn3p08.png", 32, 32, false},
      {"png/basn4a08.png", 32, 32, true},
      {"png/basn6a08.png", 32, 32, true},
      {"png/basn6a16.png", 32, 32, true},
      {"png/ct1n0g04.png", 32, 32, false},
      {"png/g03n2c08.png", 32, 32, false},
      {"png/kodim23.png", 768, 512, false},
      {"png/monkey16.png", 149, 227, false},
      {"png/s01i3p01.png", 1, 1, false},
      {"png/s01n3p01.png", 1, 1, false},
      {"png/tbbn3p08.png", 32, 32, true},  // transparent palette entries
      {"png/tbrn2c08.png", 32, 32, true},  // transparent colour
      {"pnm/feep.pgm", 24, 7, false},
      {"pnm/hopper_16bit.pgm", 128, 128, false},
      {"pnm/input_p1.pbm", 70, 46, false},
      {"pnm/input_p2.pgm", 70, 46, false},
      {"pnm/input_p3.ppm", 70, 46, false},
      {"pnm/input_p4.pbm", 70, 46, false},
      {"pnm/input_p5.pgm", 70, 46, false},
      {"pnm/input_p6.ppm", 70, 46, false},
      {"pnm/narrow.pbm", 1, 9, false},
      {"rla/ginsu_a_nc8.rla", 512, 512, true},
      {"rla/ginsu_rgb_nc8.rla", 512, 512, false},
      {"rla/ginsu_rgba_nc8.rla", 512, 512, true},
      {"rla/ginsu_rgba_nc8.rpf", 512, 512, true},
      {"rla/imgmake_rgba_nc8.rla", 512, 512, true},
      {"sgi/hopper.bw", 128, 128, false},
      {"sgi/hopper.rgb", 128, 128, false},
      {"sgi/hopper.sgi", 128, 128, false},
      {"sgi/hopper16.rgb", 128, 128, false},
      {"sgi/input.sgi", 70, 46, false},
      {"sgi/rgb-gimp-2.8.10-rle.rgb", 32, 32, false},
      {"sgi/rgb-gimp-2.8.10-uncompressed.rgb", 32, 32, false},
      {"sgi/testcard_rgba.rgba", 256, 256, true},
      {"sgi/transparent.sgi", 200, 150, true},
      {"tga/1x1_l_bl_raw.tga", 1, 1, false},
      {"tga/200x32_p_bl_raw.tga", 200, 32, false},
      {"tga/200x32_rgba_tl_rle.tga", 200, 32, true},
      {"tga/CBW8.TGA", 128, 128, false},
      {"tga/CCM8.TGA", 128, 128, false},
      {"tga/CTC24.TGA", 128, 128, false},
      {"tga/CTC32.TGA", 128, 128, false},  // alpha bytes all zero: no transparency
      {"tga/UBW8.TGA", 128, 128, false},
      {"tga/UCM8.TGA", 128, 128, false},
      {"tga/UTC16.TGA", 128, 128, false},
      {"tga/UTC24.TGA", 128, 128, false},
      {"tga/UTC32.TGA", 128, 128, false},
      {"tga/autodesk-3dsmax-extsize494.tga", 440, 200, true},
      {"tga/ucm8.icb", 128, 128, false},
      {"tga/utc16.win", 128, 128, false},
      {"tga/utc24.vst", 128, 128, false},
      {"tga/utc32.vda", 128, 128, false},
      {"tiff/16bit.MM.cropped.tif", 64, 64, false},
      {"tiff/flower-palette-04.tif", 73, 43, false},
      {"tiff/g4_orientation_6.tif", 590, 88, false},  // turned upright
      {"tiff/group3_2d.tif", 6, 4, false},
      {"tiff/hopper.tif", 128, 128, false},
      {"tiff/hopper_bigtiff.tif", 128, 128, false},
      {"tiff/hopper_g4.tif", 128, 128, false},
      {"tiff/hopper_jpg.tif", 128, 128, false},
      {"tiff/hopper_lzw.tif", 128, 128, false},
      {"tiff/multipage.tiff", 10, 10, false},  // the first page
      {"tiff/pal1huff.tif", 127, 64, false},
      {"tiff/pixtiff-ccitt-group3.fax", 801, 1313, false},
      {"tiff/pixtiff-ccitt-group3.tif", 801, 1313, false},
      {"tiff/sm_colors_tile.tif", 64, 64, false},
      {"tiff/tiff_adobe_deflate.tif", 278, 374, false},
      {"tiff/tiff_strip_cmyk_jpeg.tif", 100, 100, false},
      {"wmf/clock.wmf", 368, 372, false},
      {"wmf/drawing.wmf", 83, 83, false},
      {"wmf/test.wmf", 100, 80, false},
      {"wmf/wizard.wmf", 368, 482, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    try {
      const auto graphic = DecodeFile(TestDataPath(std::string("pictures/") + c.file));
      EXPECT_EQ(graphic->Width(), c.width);
      EXPECT_EQ(graphic->Height(), c.height);
      EXPECT_EQ(graphic->HasAlpha(), c.alpha);
    } catch (const std::exception& e) {
      ADD_FAILURE() << e.what();
    }
  }
}

// Variants the libraries do not read fail with an error that names the file and the reason.
TEST(SampleFiles, VariantsTheLibrariesCannotReadFailNamingFileAndReason) {
  REQUIRE_TESTDATA();
  const struct {
    const char* file;
    const char* reason;
  } cases[] = {
      {"jpeg/monkey12.jpg", "precision 12"},      {"rla/ginsu_rgb_nc16.rla", "runlength"},
      {"rla/ginsu_rgba_nc10.rla", "runlength"},   {"tiff/grayscale-old-style-jpeg.tiff", "JPEG tables"},
      {"tiff/pal1huff-raw-g3.fax", "Not a TIFF"},  // a bare fax stream carries no width
      {"wmf/fulltest.wmf", "Failed to scan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const fs::path path = TestDataPath(std::string("pictures/") + c.file);
    try {
      DecodeFile(path);
      ADD_FAILURE() << "decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(path.string()), std::string::npos) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
    }
  }
}

TEST(SampleFiles, DamagedFilesAreRejectedWithAnErrorOrDecoded) {
  REQUIRE_TESTDATA();
  int rejected = 0;
  for (const char* family : kFamilies) {
    const fs::path bad = TestDataPath(std::string("pictures/") + family + "/bad");
    if (!fs::is_directory(bad)) continue;
    for (const auto& entry : fs::directory_iterator(bad)) {
      SCOPED_TRACE(entry.path().string());
      try {
        const auto graphic = DecodeFile(entry.path());
        EXPECT_GT(graphic->Width(), 0);
        EXPECT_GT(graphic->Height(), 0);
      } catch (const DecodeError& e) {
        ++rejected;
        EXPECT_NE(std::string(e.what()).find(entry.path().string()), std::string::npos) << e.what();
      }
    }
  }
  EXPECT_GT(rejected, 20);
}

TEST(SampleFiles, HeadersClaimingHugePicturesAreRefusedByTheSizeLimit) {
  REQUIRE_TESTDATA();
  for (const char* file : {"tiff/bad/libtiff_segfault.tif", "jpeg/bad/oss-fuzz-36829.jpeg"}) {
    SCOPED_TRACE(file);
    try {
      DecodeFile(TestDataPath(std::string("pictures/") + file));
      ADD_FAILURE() << "decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("limit"), std::string::npos) << e.what();
    }
  }
}

TEST(SampleFiles, TheSamePictureDecodesAlikeInEveryFormatAndEncoding) {
  REQUIRE_TESTDATA();
  const struct {
    int tolerance;
    std::vector<const char*> files;
  } groups[] = {
      {0, {"pnm/input_p6.ppm", "pnm/input_p3.ppm", "bmp/input.dib", "sgi/input.sgi"}},
      {0, {"pnm/input_p4.pbm", "pnm/input_p1.pbm"}},
      {0, {"pnm/input_p5.pgm", "pnm/input_p2.pgm"}},
      {0, {"tiff/hopper.tif", "tiff/hopper_lzw.tif", "tiff/hopper_bigtiff.tif"}},
      {3, {"tiff/hopper.tif", "jpeg/hopper.jpe"}},
      // CMYK through libjpeg's and through GraphicsMagick's conversion.
      {3, {"jpeg/pil_sample_cmyk.jpg", "tiff/tiff_strip_cmyk_jpeg.tif"}},
      {0,
       {"tga/UTC24.TGA", "tga/CTC24.TGA", "tga/UTC32.TGA", "tga/CTC32.TGA", "tga/UTC16.TGA", "tga/UCM8.TGA",
        "tga/CCM8.TGA", "tga/utc24.vst"}},
      {0, {"tga/UBW8.TGA", "tga/CBW8.TGA"}},
      {0,
       {"bmp/pal8.bmp", "bmp/pal8rle.bmp", "bmp/pal8topdown.bmp", "bmp/pal8os2.bmp", "bmp/pal8v4.bmp",
        "bmp/pal8v5.bmp"}},
      {0, {"bmp/pal4.bmp", "bmp/pal4rle.bmp"}},
      {0, {"bmp/rgb24.bmp", "bmp/rgb32bf.bmp", "bmp/rgb24-bm-header.dib"}},
      {0, {"bmp/pal1.bmp", "tiff/pal1huff.tif"}},  // stored bottom row first
      {0, {"png/basn2c08.png", "png/basi2c08.png"}},
      {0, {"sgi/hopper.sgi", "sgi/hopper.rgb"}},
      {1, {"sgi/hopper.rgb", "sgi/hopper16.rgb"}},
      {0, {"sgi/rgb-gimp-2.8.10-uncompressed.rgb", "sgi/rgb-gimp-2.8.10-rle.rgb"}},
      {0, {"rla/ginsu_rgba_nc8.rla", "rla/imgmake_rgba_nc8.rla"}},
  };
  for (const auto& group : groups) {
    const RgbImage first =
        ToRgbOverWhite(*DecodeFile(TestDataPath(std::string("pictures/") + group.files[0])));
    for (size_t i = 1; i < group.files.size(); ++i) {
      SCOPED_TRACE(std::string(group.files[i]) + " against " + group.files[0]);
      const RgbImage other =
          ToRgbOverWhite(*DecodeFile(TestDataPath(std::string("pictures/") + group.files[i])));
      EXPECT_LE(ComparePixels(first, other).max, group.tolerance);
    }
  }
}

TEST(SampleFiles, EveryRegisteredExtensionReadsASample) {
  REQUIRE_TESTDATA();
  std::vector<std::u16string> decoded;  // extensions as the samples spell them
  const auto wasDecoded = [&](std::u16string_view ext) {
    return std::any_of(decoded.begin(), decoded.end(),
                       [&](const std::u16string& e) { return SameTextIgnoreCase(e, ext); });
  };
  for (const auto& entry : fs::recursive_directory_iterator(TestDataPath("pictures"))) {
    if (!entry.is_regular_file() || entry.path().parent_path().filename() == "bad") continue;
    const std::u16string name = entry.path().u16string();
    const std::u16string ext(PathExtension(name));
    if (wasDecoded(ext) || !PictureDecoders(TestRuntime()).Find(name)) continue;
    try {
      DecodeFile(entry.path());
      decoded.push_back(ext);
    } catch (const DecodeError&) {
      // another sample of the extension may read; the sizes test names the failures
    }
  }
  // No samples of these: the tests that make such files with the formats' own encoders cover them.
  const std::u16string_view madeInTests[] = {u"gif", u"webp", u"svg", u"jxl", u"avif", u"heic", u"heif"};
  for (const auto& entry : PictureDecoders(TestRuntime()).Entries()) {
    if (std::ranges::count(madeInTests, entry.ext) > 0) continue;
    EXPECT_TRUE(wasDecoded(entry.ext)) << Utf16ToUtf8(entry.ext);
  }
}

}  // namespace
}  // namespace bookloom::test
