// HEIF and AVIF pictures made by libheif's own encoders (HEVC and AV1) in the test: the same pixels
// back within the tolerance of lossy coding, every image of a file, and damaged or oversized files
// refused.
#include <gtest/gtest.h>

#include "decoders/DecoderRegistry.h"
#include "decoders/DecoderTestSupport.h"
#include "decoders/HeifDecoder.h"
#include "platform/Exception.h"
#include "support/TestPictures.h"

namespace bookloom {
namespace {

using test::RgbaPixels;

DecodedFrames DecodeHeif(const std::string& bytes, const DecodeOptions& options = {}) {
  return HeifDecoder().Decode(bytes, u"pic.heic", options);
}

TEST(HeifDecoder, GivesBackWhatTheEncoderWasGiven) {
  for (const bool avif : {false, true})
    for (const bool alpha : {false, true}) {
      SCOPED_TRACE(std::string(avif ? "AVIF" : "HEIF") + (alpha ? " with alpha" : ""));
      const RgbaPixels pixels = test::Gradient(64, 48, alpha);
      const DecodedFrames decoded = DecodeHeif(test::HeifOf({pixels}, avif));
      ASSERT_EQ(decoded.frames.size(), 1u);
      const Graphic& g = *decoded.frames[0];
      ASSERT_EQ(g.Width(), 64);
      ASSERT_EQ(g.Height(), 48);
      EXPECT_EQ(g.HasAlpha(), alpha);
      EXPECT_LE(test::CompareWithPixels(g, pixels).mean, 4);
      EXPECT_EQ(decoded.frameCount, 1);
    }
}

TEST(HeifDecoder, GivesThePrimaryImageOrEveryImage) {
  const std::vector<RgbaPixels> images = {test::Filled(32, 16, 255, 0, 0), test::Filled(32, 16, 0, 0, 255)};
  const std::string file = test::HeifOf(images, true);
  const DecodedFrames primary = DecodeHeif(file);
  ASSERT_EQ(primary.frames.size(), 1u);
  EXPECT_EQ(primary.frameCount, 2);
  EXPECT_LE(test::CompareWithPixels(*primary.frames[0], images[0]).mean, 4);
  const DecodedFrames all = DecodeHeif(file, {.gray = true, .allFrames = true});
  ASSERT_EQ(all.frames.size(), 2u);
  EXPECT_TRUE(all.frames[1]->IsGray());
  EXPECT_NEAR(all.frames[1]->Row(0)[0], 29, 4);  // the grey of pure blue
}

TEST(HeifDecoder, RefusesDamagedAndOversizedFilesNamingThem) {
  const std::string good = test::HeifOf({test::Gradient(40, 30)}, false);
  test::ExpectBadFilesRefused(HeifDecoder(),
                              {"",
                               std::string("\0\0\0\x18"
                                           "ftypheic\0\0\0\0mif1heic",
                                           24),
                               good.substr(0, good.size() / 2), "\x89PNG\r\n\x1A\n"},
                              good);
  test::ExpectDamageIsRefusedCleanly(HeifDecoder(), good, "HEIF");
  test::ExpectDamageIsRefusedCleanly(HeifDecoder(), test::HeifOf({test::Gradient(40, 30)}, true), "AVIF");
}
TEST(HeifDecoder, IsFoundByExtensionSignatureAndMediaType) {
  const DecoderRegistry& registry = DecoderRegistry::Instance();
  const GraphicDecoder* decoder = registry.Find(u"x.avif");
  ASSERT_NE(decoder, nullptr);
  EXPECT_EQ(registry.Find(u"x.HEIC"), decoder);
  EXPECT_EQ(registry.FindFor(test::HeifOf({test::Gradient(8, 8)}, true), u"picture.bin"), decoder);
  EXPECT_EQ(registry.FindFor(std::string("\0\0\0\x18"
                                         "ftypmif1",
                                         12),
                             u"picture"),
            decoder);
  EXPECT_EQ(registry.FindFor("", u"picture", "image/heic"), decoder);
  EXPECT_EQ(registry.FindFor(std::string("\0\0\0\x18"
                                         "ftypisom",
                                         12),
                             u"movie"),
            nullptr);
}

}  // namespace
}  // namespace bookloom
