// JPEG pictures about to be fitted to a page are decoded at a reduced scale: never below three
// times their fitted size, with their own size kept for the fitting, and giving nearly the page a full
// decode gives.
#include <gtest/gtest.h>

#include <string>

#include "decoders/DecoderTestSupport.h"
#include "decoders/JpegDecoder.h"
#include "decoders/Picture.h"
#include "pictures/uBitmapProcs.h"
#include "platform/FileSys.h"
#include "support/TestData.h"

namespace bookloom::test {
namespace {

std::unique_ptr<TGraphic> DecodeToFit(const std::string& sample, PixelSize area) {
  const auto path = TestDataPath("pictures/jpeg/" + sample);
  return DecodeJpegToFit(ReadFileBytes(path.u16string()), path.u16string(), area);
}

TEST(DecodeJpegToFit, TakesTheLeastScaleThatKeepsThriceTheFittedSize) {
  REQUIRE_TESTDATA();
  const struct {
    const char* sample;
    PixelSize area;
    int fullWidth, fullHeight, width, height;
  } cases[] = {
      // Fitted 600 x 400: 3/8 would give 1602 x 1068, 4/8 gives 2136 x 1424.
      {"sunset_by_Aitzol_Berasategi.jpg", {600, 800}, 4272, 2848, 2136, 1424},
      // Fitted 600 x 338: 4/8 gives 1920 x 1080, at least 1800 x 1014.
      {"umang_by_Abhishek_Mudgal.jpg", {600, 800}, 3840, 2160, 1920, 1080},
      // Fitted 320 x 213: 4/8 gives exactly 960 on the side that decides.
      {"Storm.jpg", {320, 800}, 1920, 1280, 960, 640},
      // The fitted side may be the height: fitted 270 x 180, 3/8 would give 720 x 480.
      {"Storm.jpg", {900, 180}, 1920, 1280, 960, 640},
      // Too little to shrink by a third: every pixel.
      {"Storm.jpg", {1000, 1000}, 1920, 1280, 1920, 1280},
      // A picture that fits is not shrunk at all.
      {"Storm.jpg", {2000, 2000}, 1920, 1280, 1920, 1280},
      // No area: every pixel.
      {"Storm.jpg", {0, 0}, 1920, 1280, 1920, 1280},
      // CMYK files go the same way: fitted 28 x 40, 5/8 gives 100 x 142 (rounded up).
      {"cmyk-sample.jpg", {40, 40}, 160, 227, 100, 142},
      // Turned upright from rows stored on their side: the stored picture is 128 x 128 too, so the
      // full size shows it; see the page test below for the turning itself.
      {"hopper_orientation_6.jpg", {16, 16}, 128, 128, 48, 48},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.sample << " into " << c.area.width << "x" << c.area.height);
    const auto graphic = DecodeToFit(c.sample, c.area);
    EXPECT_EQ(graphic->FullWidth(), c.fullWidth);
    EXPECT_EQ(graphic->FullHeight(), c.fullHeight);
    EXPECT_EQ(graphic->Width(), c.width);
    EXPECT_EQ(graphic->Height(), c.height);
    EXPECT_EQ(graphic->Reduced(), c.width != c.fullWidth);
  }
}

// The page of a picture loaded to fit, against the page of every pixel decoded, both in full
// colour: the same size and place, and colours within a few levels.
TEST(DecodeJpegToFit, GivesNearlyThePageOfAFullDecode) {
  REQUIRE_TESTDATA();
  const struct {
    const char* sample;
    int pageWidth, pageHeight, margin;
    double meanWithin;
    int worstWithin;
  } cases[] = {
      {"sunset_by_Aitzol_Berasategi.jpg", 600, 800, 0, 0.5, 32},
      {"umang_by_Abhishek_Mudgal.jpg", 600, 800, 20, 0.5, 32},
      // Small pages of busy pictures differ most, yet by a few levels.
      {"cmyk-sample.jpg", 40, 60, 0, 3, 40},
      {"hopper_orientation_6.jpg", 30, 20, 0, 3, 40},  // a wrong turn would differ everywhere
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sample);
    const std::u16string file = TestDataPath("pictures/jpeg/" + std::string(c.sample)).u16string();
    TPicture whole, reduced;
    whole.LoadFromFile(file);
    reduced.LoadToFit(file, {c.pageWidth - 2 * c.margin, c.pageHeight - 2 * c.margin});
    ASSERT_TRUE(reduced.Graphic()->Reduced());
    Bitmap fromWhole, fromReduced;
    FitPictureToPage(whole, fromWhole, c.pageWidth, c.pageHeight, false, 0, c.margin, c.margin, c.margin,
                     c.margin, true);
    FitPictureToPage(reduced, fromReduced, c.pageWidth, c.pageHeight, false, 0, c.margin, c.margin, c.margin,
                     c.margin, true);
    ASSERT_EQ(fromReduced.Width(), fromWhole.Width());
    ASSERT_EQ(fromReduced.Height(), fromWhole.Height());
    int worst = 0;
    double total = 0;
    for (int y = 0; y < fromWhole.Height(); ++y)
      for (size_t i = 0; i < fromWhole.Stride(); ++i) {
        const int d = std::abs(fromWhole.Row(y)[i] - fromReduced.Row(y)[i]);
        worst = std::max(worst, d);
        total += d;
      }
    const double mean = total / (static_cast<double>(fromWhole.Stride()) * fromWhole.Height());
    EXPECT_LT(mean, c.meanWithin);
    EXPECT_LT(worst, c.worstWithin);
  }
}

// A picture loaded for a smaller area than it is then fitted into still takes the size the larger
// area gives it, from the pixels it has.
TEST(DecodeJpegToFit, KeepsThePictureSizeWhenFittedIntoALargerArea) {
  REQUIRE_TESTDATA();
  TPicture picture;
  picture.LoadToFit(TestDataPath("pictures/jpeg/Storm.jpg").u16string(), {200, 200});
  ASSERT_TRUE(picture.Graphic()->Reduced());
  Bitmap kept, shrunk;
  FitPictureToPage(picture, kept, 2000, 2000, false, 0, 0, 0, 0, 0, false);
  EXPECT_EQ(kept.Width(), 1920);
  EXPECT_EQ(kept.Height(), 1280);
  FitPictureToPage(picture, shrunk, 960, 960, false, 0, 0, 0, 0, 0, false);
  EXPECT_EQ(shrunk.Width(), 960);
  EXPECT_EQ(shrunk.Height(), 640);
}

}  // namespace
}  // namespace bookloom::test
