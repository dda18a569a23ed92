// JPEG XL pictures made by libjxl's own encoder in the test: the same pixels back (exactly when
// lossless), turned as the file says, an animation's frames, and damaged or oversized files refused.
#include <gtest/gtest.h>

#include "decoders/DecoderRegistry.h"
#include "decoders/DecoderTestSupport.h"
#include "decoders/JpegXlDecoder.h"
#include "platform/Exception.h"
#include "support/TestPictures.h"

namespace bookloom {
namespace {

using test::RgbaPixels;

DecodedFrames DecodeJpegXl(const std::string& bytes, const DecodeOptions& options = {}) {
  return JpegXlDecoder().Decode(bytes, u"pic.jxl", options);
}

TEST(JpegXlDecoder, GivesBackWhatTheEncoderWasGiven) {
  const struct {
    const char* label;
    RgbaPixels pixels;
    bool lossless;
    bool alpha;
    int tolerance;
  } cases[] = {
      {"lossless", test::Gradient(37, 23), true, false, 0},
      {"lossless with alpha", test::Gradient(37, 23, true), true, true, 0},
      {"lossy", test::Gradient(64, 48), false, false, 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const DecodedFrames decoded = DecodeJpegXl(test::JpegXlOf({c.pixels}, c.lossless));
    ASSERT_EQ(decoded.frames.size(), 1u);
    const Graphic& g = *decoded.frames[0];
    ASSERT_EQ(g.Width(), c.pixels.width);
    ASSERT_EQ(g.Height(), c.pixels.height);
    EXPECT_EQ(g.HasAlpha(), c.alpha);
    EXPECT_LE(test::CompareWithPixels(g, c.pixels).max, c.tolerance);
    EXPECT_EQ(decoded.frameCount, 1);
  }
}

TEST(JpegXlDecoder, TurnsThePictureAsTheFileSays) {
  RgbaPixels wide = test::Filled(4, 2, 255, 255, 255);
  wide.rgba[0] = wide.rgba[1] = wide.rgba[2] = 0;  // the top left pixel black
  const DecodedFrames decoded = DecodeJpegXl(test::JpegXlOf({wide}, true, 6));
  const Graphic& g = *decoded.frames.at(0);
  ASSERT_EQ(g.Width(), 2);
  ASSERT_EQ(g.Height(), 4);
  EXPECT_EQ(g.Row(0)[3], 0);  // turned a quarter clockwise: the top right pixel
  EXPECT_EQ(g.Row(0)[0], 255);
}

TEST(JpegXlDecoder, AnAnimationGivesItsFirstFrameOrEveryFrame) {
  const std::vector<RgbaPixels> frames = {test::Filled(20, 10, 255, 0, 0), test::Filled(20, 10, 0, 255, 0),
                                          test::Filled(20, 10, 0, 0, 255)};
  const std::string animation = test::JpegXlOf(frames, true);
  const DecodedFrames first = DecodeJpegXl(animation);
  ASSERT_EQ(first.frames.size(), 1u);
  EXPECT_EQ(first.frameCount, 3);
  EXPECT_EQ(test::CompareWithPixels(*first.frames[0], frames[0]).max, 0);
  const DecodedFrames all = DecodeJpegXl(animation, {.gray = true, .allFrames = true});
  ASSERT_EQ(all.frames.size(), 3u);
  EXPECT_TRUE(all.frames[2]->IsGray());
  EXPECT_EQ(all.frames[2]->Row(0)[0], 29);  // the grey of pure blue
}

TEST(JpegXlDecoder, RefusesDamagedAndOversizedFilesNamingThem) {
  const std::string good = test::JpegXlOf({test::Gradient(40, 30)}, true);
  test::ExpectBadFilesRefused(
      JpegXlDecoder(), {"", "\xFF\x0A\xFF\xFF", good.substr(0, good.size() / 2), "\x89PNG\r\n\x1A\n"}, good);
  test::ExpectDamageIsRefusedCleanly(JpegXlDecoder(), good, "lossless");
  test::ExpectDamageIsRefusedCleanly(JpegXlDecoder(), test::JpegXlOf({test::Gradient(40, 30)}, false),
                                     "lossy");
}
TEST(JpegXlDecoder, IsFoundByExtensionSignatureAndMediaType) {
  const DecoderRegistry& registry = DecoderRegistry::Instance();
  const GraphicDecoder* decoder = registry.Find(u"x.JXL");
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(registry.FindFor(test::JpegXlOf({test::Gradient(4, 4)}, true), u"picture.bin"), decoder);
  EXPECT_EQ(registry.FindFor(std::string("\0\0\0\x0CJXL \r\n\x87\n", 12), u"picture"), decoder);
  EXPECT_EQ(registry.FindFor("", u"picture", "image/jxl"), decoder);
}

}  // namespace
}  // namespace bookloom
