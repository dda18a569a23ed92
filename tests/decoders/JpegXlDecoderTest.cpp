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
    EXPECT_LE(MaxDifference(g, c.pixels), c.tolerance);
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
  EXPECT_EQ(MaxDifference(*first.frames[0], frames[0]), 0);
  const DecodedFrames all = DecodeJpegXl(animation, {.gray = true, .allFrames = true});
  ASSERT_EQ(all.frames.size(), 3u);
  EXPECT_TRUE(all.frames[2]->IsGray());
  EXPECT_EQ(all.frames[2]->Row(0)[0], 29);  // the grey of pure blue
}

TEST(JpegXlDecoder, RefusesDamagedAndOversizedFilesNamingThem) {
  const std::string good = test::JpegXlOf({test::Gradient(40, 30)}, true);
  for (const std::string& bytes : {std::string(), std::string("\xFF\x0A\xFF\xFF"),
                                   good.substr(0, good.size() / 2), std::string("\x89PNG\r\n\x1A\n")}) {
    try {
      DecodeJpegXl(bytes);
      ADD_FAILURE() << bytes.size() << " bytes were decoded";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("pic.jxl"), std::string::npos) << e.what();
    }
  }
  {
    const test::ScopedPictureLimits small({.maxSide = 100, .maxPixels = 1000});
    EXPECT_THROW(DecodeJpegXl(good), DecodeError);
  }
  const auto decode = [](std::string_view bytes, const std::u16string& name, int64_t) {
    return JpegXlDecoder().LoadFromMemory(bytes, name);
  };
  test::ExpectDamageIsRefusedCleanly(decode, good, "lossless");
  test::ExpectDamageIsRefusedCleanly(decode, test::JpegXlOf({test::Gradient(40, 30)}, false), "lossy");
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
