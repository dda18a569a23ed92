#include <gtest/gtest.h>

#include <algorithm>

#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "pictures/TestPictures.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

using test::Box;
using test::CountOf;
using test::Filled;
using test::NonWhiteBox;

constexpr Rgb kRed{200, 30, 30};

TEST(FitPictureToPage, ScalesAndPlacesThePictureInTheAreaInsideTheMargins) {
  const struct {
    const char* name;
    int width, height;
    bool enlarge;
    int left, right, top, bottom;
    Box expected;
  } cases[] = {
      {"small picture stays", 300, 200, false, 0, 0, 0, 0, {150, 300, 300, 200}},
      {"small picture enlarged: the width fills", 300, 200, true, 0, 0, 0, 0, {0, 200, 600, 400}},
      {"equal ratios: the height fills", 1200, 1600, false, 0, 0, 0, 0, {0, 0, 600, 800}},
      {"equal ratios, enlarging", 1200, 1600, true, 0, 0, 0, 0, {0, 0, 600, 800}},
      {"left margin shifts the centre", 200, 100, false, 100, 0, 0, 0, {250, 350, 200, 100}},
      {"margins all round", 1000, 1000, false, 100, 100, 100, 100, {100, 200, 400, 400}},
      {"uneven margins", 500, 500, true, 10, 30, 50, 70, {10, 110, 560, 560}},
      {"one pixel wide is never scaled", 1, 2001, false, 0, 0, 0, 0, {299, 0, 1, 800}},
      {"one pixel high is never scaled", 3000, 1, true, 0, 0, 0, 0, {0, 399, 600, 1}},
      {"extreme ratio keeps a side of one pixel", 4000, 2, false, 0, 0, 0, 0, {0, 399, 600, 1}},
  };
  for (const auto& c : cases) {
    Bitmap page;
    FitPictureToPage(
        Filled(c.width, c.height, kRed), page,
        {.enlarge = c.enlarge, .colors = PageColors::kKeep, .margins = {c.left, c.right, c.top, c.bottom}});
    ASSERT_EQ(page.Width(), 600) << c.name;
    ASSERT_EQ(page.Height(), 800) << c.name;
    EXPECT_EQ(NonWhiteBox(page), c.expected) << c.name;
  }
}

TEST(FitPictureToPage, OffsetsOfPicturesLargerThanTheAreaRoundTowardZero) {
  // 1 x 2001 lands at y = (800 - 2001) / 2 = -600, so the page's first row is source row 600.
  Bitmap tall(1, 2001, PixelFormat::k24Bit);
  for (int y = 0; y < 2001; ++y) tall.SetPixel(0, y, {uint8_t(y % 251), 0, 0});
  Bitmap page;
  FitPictureToPage(tall, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(page.Pixel(299, 0).r, 600 % 251);
  EXPECT_EQ(page.Pixel(299, 799).r, 1399 % 251);
}

TEST(FitPictureToPage, MarginsWithoutAreaSkipScalingAndThePage) {
  for (auto [left, right, top, bottom] : {std::tuple{300, 300, 0, 0}, {0, 0, 500, 300}, {400, 400, 0, 0}}) {
    Bitmap result;
    FitPictureToPage(Filled(1000, 900, kRed), result,
                     {.enlarge = true, .margins = {left, right, top, bottom}});
    EXPECT_EQ(result.Width(), 1000);
    EXPECT_EQ(result.Height(), 900);
    EXPECT_EQ(result.Format(), PixelFormat::k24Bit);
  }
  Bitmap noPage;
  FitPictureToPage(Filled(300, 200, kRed), noPage,
                   {.enlarge = true, .colors = PageColors::kKeep, .makePage = false});
  EXPECT_EQ(noPage.Width(), 600);  // scaled, but not put on a page
  EXPECT_EQ(noPage.Height(), 400);
}

TEST(FitPictureToPage, ReducesToBlackAndWhiteOrFourGreys) {
  Bitmap mono;
  FitPictureToPage(Filled(300, 200, kBlack), mono, {.colors = PageColors::kMonochrome});
  ASSERT_EQ(mono.Format(), PixelFormat::k1Bit);
  EXPECT_EQ(mono.Palette(), (std::vector<Rgb>{kBlack, kWhite}));
  EXPECT_EQ(CountOf(mono, kBlack), 300 * 200);
  EXPECT_EQ(NonWhiteBox(mono), (Box{150, 300, 300, 200}));

  Bitmap ramp(256, 64, PixelFormat::k24Bit);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 256; ++x) ramp.SetPixel(x, y, {uint8_t(x), uint8_t(255 - x), uint8_t(y * 4)});
  Bitmap grey;
  FitPictureToPage(ramp, grey, {.enlarge = true, .colors = PageColors::kGray4});
  ASSERT_EQ(grey.Format(), PixelFormat::k24Bit);
  int counts[4] = {};
  const Rgb greys[4] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  for (int i = 0; i < 4; ++i) counts[i] = CountOf(grey, greys[i]);
  EXPECT_EQ(counts[0] + counts[1] + counts[2] + counts[3], 600 * 800);
  for (int i = 0; i < 4; ++i) EXPECT_GT(counts[i], 0) << int(greys[i].r);

  Bitmap colour;
  FitPictureToPage(Filled(30, 20, kRed), colour, {.colors = PageColors::kKeep});
  EXPECT_EQ(colour.Format(), PixelFormat::k24Bit);
  EXPECT_EQ(CountOf(colour, kRed), 30 * 20);
}

TEST(FitPictureToPage, OnlyAnExplicitTransparentColourStaysWhite) {
  // The bottom-left pixel is red; marking the picture transparent never makes red disappear.
  Bitmap picture = Filled(4, 4, kRed);
  picture.SetPixel(1, 1, {0, 0, 255});
  picture.SetTransparent(true);
  Bitmap page;
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(CountOf(page, kRed), 15);

  picture.SetTransparentColor(kRed);
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(CountOf(page, kRed), 0);
  EXPECT_EQ(NonWhiteBox(page), (Box{299, 399, 1, 1}));
}

TEST(FitPictureToPage, TakesADecodedPictureMarkedTransparentAsOpaqueColour) {
  test::ScratchDir dir;
  Bitmap source = Filled(30, 20, kRed);
  source.SetPixel(0, 19, {0, 0, 255});
  test::WritePpm(dir / "p.ppm", source);
  Picture picture;
  picture.LoadFromFile((dir / "p.ppm").u16string(), test::PpmTestDecoder());
  picture.SetTransparent(true);
  Bitmap page;
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(NonWhiteBox(page), (Box{285, 390, 30, 20}));
  EXPECT_EQ(page.Pixel(285, 409), (Rgb{0, 0, 255}));
  EXPECT_EQ(CountOf(page, kRed), 30 * 20 - 1);
}

// An opaque decoded picture is scaled straight from its red-first rows; the page must be the one its
// blue-first bitmap copy gives, byte for byte.
TEST(FitPictureToPage, GivesADecodedPictureTheSamePageAsItsBitmap) {
  const struct {
    int width, height;
    bool enlarge;
    int mode, margin;
    bool makePage;
  } cases[] = {
      {1200, 700, false, 0, 0, true},   // shrunk to the width
      {500, 1300, false, 2, 25, true},  // shrunk to the height, four greys
      {130, 90, true, 0, 0, false},     // enlarged, no page
      {130, 90, false, 1, 0, true},     // kept as it is, black and white
  };
  test::ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " mode " << c.mode);
    test::WritePpm(dir / "p.ppm", test::RandomPicture(c.width, c.height, c.width + c.mode));
    Picture picture;
    picture.LoadFromFile((dir / "p.ppm").u16string(), test::PpmTestDecoder());
    Bitmap copy, fromBitmap, fromPicture;
    picture.AssignTo(copy);
    const FitOptions options{.enlarge = c.enlarge,
                             .colors = PageColorsOfBits(c.mode),
                             .margins = {c.margin, c.margin, c.margin, c.margin},
                             .makePage = c.makePage};
    FitPictureToPage(copy, fromBitmap, options);
    FitPictureToPage(picture, fromPicture, options);
    ASSERT_EQ(fromPicture.Width(), fromBitmap.Width());
    ASSERT_EQ(fromPicture.Height(), fromBitmap.Height());
    ASSERT_EQ(fromPicture.Format(), fromBitmap.Format());
    for (int y = 0; y < fromBitmap.Height(); ++y)
      ASSERT_TRUE(std::equal(fromBitmap.Row(y), fromBitmap.Row(y) + fromBitmap.Stride(), fromPicture.Row(y)))
          << "row " << y;
  }
}

}  // namespace
}  // namespace bookloom
