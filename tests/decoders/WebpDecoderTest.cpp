// WebP pictures made by libwebp's own encoder in the test: the same pixels back (exactly when
// lossless), an animation's frames as GIF's are given, and damaged or oversized files refused.
#include <gtest/gtest.h>

#include "decoders/DecoderRegistry.h"
#include "decoders/DecoderTestSupport.h"
#include "decoders/WebpDecoder.h"
#include "platform/Exception.h"
#include "support/TestPictures.h"

namespace bookloom {
namespace {

using test::RgbaPixels;

DecodedFrames DecodeWebp(const std::string& bytes, const DecodeOptions& options = {}) {
  return WebpDecoder().Decode(bytes, u"pic.webp", options);
}

TEST(WebpDecoder, GivesBackWhatTheEncoderWasGiven) {
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
      {"lossy with alpha", test::Gradient(64, 48, true), false, true, 24},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const DecodedFrames decoded = DecodeWebp(test::WebpOf(c.pixels, c.lossless));
    ASSERT_EQ(decoded.frames.size(), 1u);
    const Graphic& g = *decoded.frames[0];
    EXPECT_EQ(g.Width(), c.pixels.width);
    EXPECT_EQ(g.Height(), c.pixels.height);
    EXPECT_EQ(g.HasAlpha(), c.alpha);
    EXPECT_LE(test::CompareWithPixels(g, c.pixels).max, c.tolerance);
    EXPECT_EQ(decoded.frameCount, 1);
    EXPECT_FALSE(decoded.incomplete);
  }
}

TEST(WebpDecoder, AnAnimationGivesItsFirstFrameOrEveryFrameAsShown) {
  const std::vector<RgbaPixels> frames = {test::Filled(20, 10, 255, 0, 0), test::Filled(20, 10, 0, 255, 0),
                                          test::Filled(20, 10, 0, 0, 255)};
  const std::string animation = test::AnimatedWebpOf(frames);
  const DecodedFrames first = DecodeWebp(animation);
  ASSERT_EQ(first.frames.size(), 1u);
  EXPECT_EQ(first.frameCount, 3);
  EXPECT_EQ(test::CompareWithPixels(*first.frames[0], frames[0]).max, 0);

  const DecodedFrames all = DecodeWebp(animation, {.allFrames = true});
  ASSERT_EQ(all.frames.size(), 3u);
  for (size_t i = 0; i < frames.size(); ++i)
    EXPECT_EQ(test::CompareWithPixels(*all.frames[i], frames[i]).max, 0) << i;

  const DecodedFrames gray = DecodeWebp(animation, {.gray = true, .allFrames = true});
  ASSERT_EQ(gray.frames.size(), 3u);
  EXPECT_TRUE(gray.frames[2]->IsGray());
  EXPECT_EQ(gray.frames[2]->Row(0)[0], 29);  // the grey of pure blue
}

TEST(WebpDecoder, RefusesDamagedAndOversizedFilesNamingThem) {
  const std::string good = test::WebpOf(test::Gradient(40, 30), true);
  test::ExpectBadFilesRefused(WebpDecoder(),
                              {"", "RIFF\x10\0\0\0WEBPVP8X" + std::string(20, '\0'),
                               good.substr(0, good.size() / 2), "\x89PNG\r\n\x1A\n"},
                              good);
  test::ExpectDamageIsRefusedCleanly(WebpDecoder(), good, "lossless");
  test::ExpectDamageIsRefusedCleanly(WebpDecoder(), test::WebpOf(test::Gradient(40, 30, true), false),
                                     "lossy");
  test::ExpectDamageIsRefusedCleanly(
      WebpDecoder(), test::AnimatedWebpOf({test::Gradient(8, 6), test::Filled(8, 6, 0, 0, 0)}), "animated");
}
TEST(WebpDecoder, IsFoundByExtensionSignatureAndMediaType) {
  const std::string webp = test::WebpOf(test::Gradient(4, 4), true);
  const DecoderRegistry& registry = DecoderRegistry::Instance();
  const GraphicDecoder* decoder = registry.Find(u"x.WEBP");
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(registry.FindFor(webp, u"picture.bin"), decoder);
  EXPECT_EQ(registry.FindFor("", u"picture", "image/webp"), decoder);
  EXPECT_EQ(registry.FindFor("RIFF", u"picture"), nullptr);
}

}  // namespace
}  // namespace bookloom
