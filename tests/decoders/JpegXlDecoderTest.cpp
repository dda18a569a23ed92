// JPEG XL pictures turned as the file says (what all of today's formats share is in
// PictureFormatsTest).
#include <gtest/gtest.h>

#include "decoders/JpegXlDecoder.h"
#include "support/TestPictures.h"

namespace bookloom {
namespace {

using test::RgbaPixels;

TEST(JpegXlDecoder, TurnsThePictureAsTheFileSays) {
  RgbaPixels wide = test::Filled(4, 2, 255, 255, 255);
  wide.rgba[0] = wide.rgba[1] = wide.rgba[2] = 0;  // the top left pixel black
  const DecodedFrames decoded = JpegXlDecoder().Decode(test::JpegXlOf({wide}, true, 6), u"pic.jxl");
  const Graphic& g = *decoded.frames.at(0);
  ASSERT_EQ(g.Width(), 2);
  ASSERT_EQ(g.Height(), 4);
  EXPECT_EQ(g.Row(0)[3], 0);  // turned a quarter clockwise: the top right pixel
  EXPECT_EQ(g.Row(0)[0], 255);
}

}  // namespace
}  // namespace bookloom
