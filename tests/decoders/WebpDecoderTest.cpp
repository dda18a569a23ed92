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

// The largest difference of one sample between the picture and the pixels, alpha included when the
// picture has it.
int MaxDifference(const Graphic& g, const RgbaPixels& p) {
  int most = 0;
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x)
      for (int c = 0; c < g.Channels(); ++c) {
        const int expected = p.rgba[(static_cast<size_t>(y) * p.width + x) * 4 + c];
        most = std::max(most, std::abs(g.Row(y)[x * g.Channels() + c] - expected));
      }
  return most;
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
    EXPECT_LE(MaxDifference(g, c.pixels), c.tolerance);
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
  EXPECT_EQ(MaxDifference(*first.frames[0], frames[0]), 0);

  const DecodedFrames all = DecodeWebp(animation, {.allFrames = true});
  ASSERT_EQ(all.frames.size(), 3u);
  for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(MaxDifference(*all.frames[i], frames[i]), 0) << i;

  const DecodedFrames gray = DecodeWebp(animation, {.gray = true, .allFrames = true});
  ASSERT_EQ(gray.frames.size(), 3u);
  EXPECT_TRUE(gray.frames[2]->IsGray());
  EXPECT_EQ(gray.frames[2]->Row(0)[0], 29);  // the grey of pure blue
}

TEST(WebpDecoder, RefusesDamagedAndOversizedFilesNamingThem) {
  const std::string good = test::WebpOf(test::Gradient(40, 30), true);
  const struct {
    const char* label;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"not WebP", "RIFF\x10\0\0\0WEBPVP8X" + std::string(20, '\0')},
      {"cut short", good.substr(0, good.size() / 2)},
      {"a PNG", "\x89PNG\r\n\x1A\n"},
  };
  for (const auto& c : cases) {
    try {
      DecodeWebp(c.bytes);
      ADD_FAILURE() << c.label << " was decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("pic.webp"), std::string::npos) << c.label << ": " << e.what();
    }
  }
  {
    const test::ScopedPictureLimits small({.maxSide = 100, .maxPixels = 1000});
    EXPECT_THROW(DecodeWebp(good), DecodeError);
  }
  const auto decode = [](std::string_view bytes, const std::u16string& name, int64_t) {
    return WebpDecoder().LoadFromMemory(bytes, name);
  };
  test::ExpectDamageIsRefusedCleanly(decode, good, "lossless");
  test::ExpectDamageIsRefusedCleanly(decode, test::WebpOf(test::Gradient(40, 30, true), false), "lossy");
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
