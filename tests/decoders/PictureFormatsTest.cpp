// The raster formats of today (WebP, JPEG XL, HEIF, AVIF), each file made by the format's own encoder
// in the test: the same pixels back (exactly when lossless), every frame or image of a file when
// asked, turned as the file says, the decoder found by extension, signature and media type, and bad
// files refused.
#include <gtest/gtest.h>

#include "decoders/DecoderTestSupport.h"
#include "decoders/PictureFormats.h"
#include "platform/Exception.h"
#include "platform/Utf.h"
#include "support/TestPictures.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using test::RgbaPixels;

const GraphicDecoder& DecoderOf(const std::u16string& ext) {
  const GraphicDecoder* decoder = PictureDecoders(TestRuntime()).Find(u"x." + ext);
  if (!decoder) throw std::runtime_error("no decoder of ." + Utf16ToUtf8(ext));
  return *decoder;
}

TEST(PictureFormats, TodaysFormatsGiveBackWhatTheirEncodersWereGiven) {
  const RgbaPixels opaque = test::Gradient(64, 48);
  const RgbaPixels translucent = test::Gradient(64, 48, true);
  const struct {
    const char* label;
    std::u16string ext;
    std::string bytes;
    const RgbaPixels& pixels;
    int maxDifference;  // of one sample
    double meanDifference;
  } cases[] = {
      {"WebP lossless", u"webp", test::WebpOf(opaque, true), opaque, 0, 0},
      {"WebP lossless with alpha", u"webp", test::WebpOf(translucent, true), translucent, 0, 0},
      {"WebP lossy", u"webp", test::WebpOf(opaque, false), opaque, 24, 4},
      {"WebP lossy with alpha", u"webp", test::WebpOf(translucent, false), translucent, 24, 4},
      {"JPEG XL lossless", u"jxl", test::JpegXlOf({opaque}, true), opaque, 0, 0},
      {"JPEG XL lossless with alpha", u"jxl", test::JpegXlOf({translucent}, true), translucent, 0, 0},
      {"JPEG XL lossy", u"jxl", test::JpegXlOf({opaque}, false), opaque, 24, 4},
      {"HEIF", u"heic", test::HeifOf({opaque}, false), opaque, 255, 4},
      {"HEIF with alpha", u"heic", test::HeifOf({translucent}, false), translucent, 255, 4},
      {"AVIF", u"avif", test::HeifOf({opaque}, true), opaque, 255, 4},
      {"AVIF with alpha", u"avif", test::HeifOf({translucent}, true), translucent, 255, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const DecodedFrames decoded = DecoderOf(c.ext).Decode(c.bytes, u"pic");
    ASSERT_EQ(decoded.frames.size(), 1u);
    EXPECT_EQ(decoded.frameCount, 1);
    EXPECT_FALSE(decoded.incomplete);
    const Graphic& g = *decoded.frames[0];
    EXPECT_EQ(g.HasAlpha(), &c.pixels == &translucent);
    const test::PixelDifference difference = test::CompareWithPixels(g, c.pixels);
    EXPECT_LE(difference.max, c.maxDifference);
    EXPECT_LE(difference.mean, c.meanDifference);
  }
}

// An animation gives its first frame (and counts them all), or every frame as it is shown; a HEIF or
// AVIF file its primary image, or every image.
TEST(PictureFormats, ManyFramesGiveTheFirstOrEveryFrame) {
  const std::vector<RgbaPixels> frames = {test::Filled(32, 16, 255, 0, 0), test::Filled(32, 16, 0, 255, 0),
                                          test::Filled(32, 16, 0, 0, 255)};
  const struct {
    const char* label;
    std::u16string ext;
    std::string bytes;
    double meanDifference;
  } cases[] = {
      {"WebP", u"webp", test::AnimatedWebpOf(frames), 0},
      {"JPEG XL", u"jxl", test::JpegXlOf(frames, true), 0},
      {"AVIF", u"avif", test::HeifOf(frames, true), 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const DecodedFrames first = DecoderOf(c.ext).Decode(c.bytes, u"pic");
    ASSERT_EQ(first.frames.size(), 1u);
    EXPECT_EQ(first.frameCount, 3);
    EXPECT_LE(test::CompareWithPixels(*first.frames[0], frames[0]).mean, c.meanDifference);
    const DecodedFrames all = DecoderOf(c.ext).Decode(c.bytes, u"pic", {.allFrames = true});
    ASSERT_EQ(all.frames.size(), 3u);
    for (size_t i = 0; i < frames.size(); ++i)
      EXPECT_LE(test::CompareWithPixels(*all.frames[i], frames[i]).mean, c.meanDifference) << i;
    const DecodedFrames gray = DecoderOf(c.ext).Decode(c.bytes, u"pic", {.gray = true, .allFrames = true});
    ASSERT_EQ(gray.frames.size(), 3u);
    EXPECT_TRUE(gray.frames[2]->IsGray());
    EXPECT_NEAR(gray.frames[2]->Row(0)[0], 29, c.meanDifference);  // the grey of pure blue
  }
}

// A picture stored on its side is turned as the file says: a quarter clockwise here.
TEST(PictureFormats, PicturesAreTurnedAsTheFileSays) {
  RgbaPixels wide = test::Filled(32, 16, 255, 255, 255);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) std::fill_n(&wide.rgba[(y * 32 + x) * 4], 3, 0);  // the top left black
  const struct {
    const char* label;
    std::u16string ext;
    std::string bytes;
  } cases[] = {
      {"JPEG XL", u"jxl", test::JpegXlOf({wide}, true, 6)},
      {"HEIF", u"heic", test::HeifOf({wide}, false, 6)},
      {"AVIF", u"avif", test::HeifOf({wide}, true, 6)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const DecodedFrames decoded = DecoderOf(c.ext).Decode(c.bytes, u"pic", {.gray = true});
    const Graphic& g = *decoded.frames.at(0);
    ASSERT_EQ(g.Width(), 16);
    ASSERT_EQ(g.Height(), 32);
    EXPECT_LT(g.Row(4)[12], 40);  // the black quarter now at the top right
    EXPECT_GT(g.Row(4)[3], 215);
    EXPECT_GT(g.Row(28)[12], 215);
  }
}

TEST(PictureFormats, TodaysFormatsAreFoundByExtensionSignatureAndMediaType) {
  const DecoderTable& decoders = PictureDecoders(TestRuntime());
  const struct {
    std::u16string ext;
    std::string start;  // of a file of the format
    const char* mediaType;
  } cases[] = {
      {u"webp", test::WebpOf(test::Gradient(4, 4), true), "image/webp"},
      {u"jxl", "\xFF\x0A", "image/jxl"},
      {u"jxl", std::string("\0\0\0\x0CJXL \r\n\x87\n", 12), "image/jxl"},
      {u"avif",
       std::string("\0\0\0\x18"
                   "ftypavif",
                   12),
       "image/avif"},
      {u"heic",
       std::string("\0\0\0\x18"
                   "ftypmif1",
                   12),
       "image/heic"},
      {u"svg", "<svg/>", "image/svg+xml"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.ext));
    const GraphicDecoder* decoder = decoders.Find(u"x." + c.ext);
    ASSERT_NE(decoder, nullptr);
    if (c.ext != u"svg") EXPECT_EQ(decoders.FindFor(c.start, u"picture.bin"), decoder);
    EXPECT_EQ(decoders.FindFor("", u"picture", c.mediaType), decoder);
    EXPECT_EQ(decoders.FindFor(c.start, u"images/x." + c.ext), decoder);
  }
  EXPECT_EQ(decoders.Find(u"x.HEIF"), decoders.Find(u"x.avif"));
  EXPECT_EQ(decoders.FindFor("RIFF", u"picture"), nullptr);
  EXPECT_EQ(decoders.FindFor(std::string("\0\0\0\x18"
                                         "ftypisom",
                                         12),
                             u"movie"),
            nullptr);
}

TEST(PictureFormats, TodaysFormatsRefuseDamagedAndOversizedFilesNamingThem) {
  const RgbaPixels pixels = test::Gradient(40, 30);
  const std::string png = "\x89PNG\r\n\x1A\n";
  const struct {
    std::u16string ext;
    std::string good;
    std::string notOfTheFormat;  // with its signature
    std::vector<std::string> damageSamples;
  } cases[] = {
      {u"webp",
       test::WebpOf(pixels, true),
       "RIFF\x10\0\0\0WEBPVP8X" + std::string(20, '\0'),
       {test::WebpOf(test::Gradient(40, 30, true), false),
        test::AnimatedWebpOf({test::Gradient(8, 6), test::Filled(8, 6, 0, 0, 0)})}},
      {u"jxl", test::JpegXlOf({pixels}, true), "\xFF\x0A\xFF\xFF", {test::JpegXlOf({pixels}, false)}},
      {u"heic",
       test::HeifOf({pixels}, false),
       std::string("\0\0\0\x18"
                   "ftypheic\0\0\0\0mif1heic",
                   24),
       {test::HeifOf({pixels}, true)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.ext));
    const GraphicDecoder& decoder = DecoderOf(c.ext);
    test::ExpectBadFilesRefused(decoder, {"", c.notOfTheFormat, c.good.substr(0, c.good.size() / 2), png},
                                c.good);
    test::ExpectDamageIsRefusedCleanly(decoder, c.good, "good");
    for (const std::string& sample : c.damageSamples)
      test::ExpectDamageIsRefusedCleanly(decoder, sample, "sample");
  }
}

}  // namespace
}  // namespace bookloom
