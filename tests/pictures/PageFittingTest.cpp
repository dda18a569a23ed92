#include <gtest/gtest.h>

#include <algorithm>

#include "decoders/Picture.h"
#include "pictures/ColorReduction.h"
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
constexpr Rgb kRedGrey{81, 81, 81};  // its luma

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
  for (int y = 0; y < 2001; ++y) tall.SetPixel(0, y, {uint8_t(y % 251), uint8_t(y % 251), uint8_t(y % 251)});
  Bitmap page;
  FitPictureToPage(tall, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(page.Pixel(299, 0).r, 600 % 251);
  EXPECT_EQ(page.Pixel(299, 799).r, 1399 % 251);
}

TEST(FitPictureToPage, RefusesMarginsThatLeaveNoRoom) {
  const struct {
    Margins margins;
    const char* message;
  } cases[] = {
      {{300, 300, 0, 0}, "Margins of 300 + 300 pixels leave no room on a page 600 pixels wide"},
      {{0, 0, 500, 300}, "Margins of 500 + 300 pixels leave no room on a page 800 pixels high"},
      {{400, 400, 0, 0}, "Margins of 400 + 400 pixels leave no room on a page 600 pixels wide"},
      {{0, 0, 0, 800}, "Margins of 0 + 800 pixels leave no room on a page 800 pixels high"},
  };
  for (const auto& c : cases) {
    Bitmap result;
    try {
      FitPictureToPage(Filled(1000, 900, kRed), result, {.enlarge = true, .margins = c.margins});
      ADD_FAILURE() << c.message << ": fitted";
    } catch (const MarginsError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
    EXPECT_TRUE(result.Empty());
  }
  EXPECT_NO_THROW(CheckMargins({299, 300, 399, 400}));  // one pixel of room each way
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
    for (int x = 0; x < 256; ++x) ramp.SetPixel(x, y, {uint8_t(x), uint8_t(x), uint8_t(x)});
  Bitmap grey;
  FitPictureToPage(ramp, grey, {.enlarge = true, .colors = PageColors::kGray4});
  ASSERT_EQ(grey.Format(), PixelFormat::k24Bit);
  int counts[4] = {};
  const Rgb greys[4] = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  for (int i = 0; i < 4; ++i) counts[i] = CountOf(grey, greys[i]);
  EXPECT_EQ(counts[0] + counts[1] + counts[2] + counts[3], 600 * 800);
  for (int i = 0; i < 4; ++i) EXPECT_GT(counts[i], 0) << int(greys[i].r);

  Bitmap kept;
  FitPictureToPage(Filled(30, 20, kRed), kept, {.colors = PageColors::kKeep});
  EXPECT_EQ(kept.Format(), PixelFormat::k24Bit);
  EXPECT_EQ(CountOf(kept, kRedGrey), 30 * 20);
}

// Every picture is grey first, by the BT.601 luma: red, green and blue become three different greys,
// yellow and cyan are not white, and red on green is no longer black on black.
TEST(FitPictureToPage, MakesColoursTheGreysOfTheirLuma) {
  const struct {
    Rgb colour;
    uint8_t grey;  // (19595 R + 38470 G + 7471 B + 32768) >> 16
  } bars[] = {{{255, 0, 0}, 76},      {{0, 255, 0}, 150},     {{0, 0, 255}, 29},
              {{255, 255, 0}, 226},   {{0, 255, 255}, 179},   {{255, 0, 255}, 105},
              {{255, 255, 255}, 255}, {{128, 128, 128}, 128}, {{200, 30, 30}, 81}};
  constexpr int kBar = 40;
  Bitmap picture(kBar * static_cast<int>(std::size(bars)), 200, PixelFormat::k24Bit);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < picture.Width(); ++x) picture.SetPixel(x, y, bars[x / kBar].colour);
  // A red stroke across the green bar.
  for (int x = kBar; x < 2 * kBar; ++x) picture.SetPixel(x, 100, {255, 0, 0});
  Bitmap kept, reduced;
  FitPictureToPage(picture, kept, {.colors = PageColors::kKeep, .makePage = false});
  FitPictureToPage(picture, reduced, {.colors = PageColors::kGray4, .makePage = false});
  for (size_t i = 0; i < std::size(bars); ++i) {
    SCOPED_TRACE(testing::Message() << "bar " << i);
    double sum = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < kBar; ++x) {
        if (i == 1 && y == 100) continue;
        ASSERT_EQ(kept.Pixel(int(i) * kBar + x, y), (Rgb{bars[i].grey, bars[i].grey, bars[i].grey}));
        sum += reduced.Pixel(int(i) * kBar + x, y).r;
      }
    EXPECT_NEAR(sum / (kBar * 199 + (i != 1 ? kBar : 0)), bars[i].grey, 4);  // the four greys keep the tone
  }
  for (int x = kBar; x < 2 * kBar; ++x) EXPECT_EQ(kept.Pixel(x, 100).r, 76);
}

// The weights of the resampling sum to 1: white paper shrunk by any factor stays white, without
// stray grey dots, on the page and in the cover editor's preview of it.
TEST(FitPictureToPage, WhiteShrunkByAwkwardFactorsStaysWhite) {
  for (auto [width, height] : {std::pair{2400, 3200}, {2399, 3203}, {1601, 1000}, {4000, 3001}, {601, 801}}) {
    Bitmap page, preview;
    FitPictureToPage(Filled(width, height, kWhite), page);
    EXPECT_EQ(CountOf(page, kWhite), 600 * 800) << width << "x" << height;
    FitPictureToPage(page, preview, {.pageWidth = 150, .pageHeight = 200});
    EXPECT_EQ(CountOf(preview, kWhite), 150 * 200) << width << "x" << height;
  }
}

// The picture is reduced on its own and then placed: no dithering error crosses its edge.
TEST(FitPictureToPage, AGreySquareKeepsItsSize) {
  for (uint8_t grey : {uint8_t{100}, uint8_t{160}, uint8_t{230}, uint8_t{250}})
    for (PageColors colors : {PageColors::kGray4, PageColors::kMonochrome}) {
      Bitmap page;
      FitPictureToPage(Filled(100, 100, {grey, grey, grey}), page, {.colors = colors});
      const Box box = NonWhiteBox(page);
      EXPECT_TRUE(box.x >= 250 && box.y >= 350 && box.x + box.width <= 350 && box.y + box.height <= 450)
          << int(grey) << " " << box;
    }
  Bitmap page;
  FitPictureToPage(Filled(100, 100, {100, 100, 100}), page);
  EXPECT_EQ(NonWhiteBox(page), (Box{250, 350, 100, 100}));
}

// A grey picture that fills the page and needs no scaling is the page it always was: its own greys
// dithered, pixel for pixel.
TEST(FitPictureToPage, AGreyPictureFillingThePageIsDitheredAsItIs) {
  Bitmap picture = test::RandomPicture(600, 800, 3);
  for (int y = 0; y < 800; ++y)
    for (int x = 0; x < 600; ++x) {
      const uint8_t g = picture.Row(y)[3 * x];
      picture.SetPixel(x, y, {g, g, g});
    }
  const GrayImage grey = GrayOf(picture);
  for (PageColors colors : {PageColors::kGray4, PageColors::kMonochrome}) {
    const bool mono = colors == PageColors::kMonochrome;
    const GrayImage indices = ReduceGray(
        grey.View(), mono ? ReductionMode::kMonochrome : ReductionMode::kGray4, DitherMode::kStucki);
    Bitmap page;
    FitPictureToPage(picture, page, {.colors = colors});
    ASSERT_EQ(page.Width(), 600);
    ASSERT_EQ(page.Height(), 800);
    int different = 0;
    for (int y = 0; y < 800; ++y)
      for (int x = 0; x < 600; ++x) {
        const uint8_t want = mono ? kMonochromePalette[indices.Row(y)[x]] : kGray4Palette[indices.Row(y)[x]];
        different += page.Pixel(x, y).r != want;
      }
    EXPECT_EQ(different, 0) << (mono ? "mono" : "gray");
  }
}

TEST(FitPictureToPage, MakesAnExplicitTransparentColourWhite) {
  // The bottom-left pixel is red; marking the picture transparent never makes red disappear.
  Bitmap picture = Filled(4, 4, kRed);
  picture.SetPixel(1, 1, {0, 0, 255});
  picture.SetTransparent(true);
  Bitmap page;
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(CountOf(page, kRedGrey), 15);

  picture.SetTransparentColor(kRed);
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(CountOf(page, kRedGrey), 0);
  EXPECT_EQ(NonWhiteBox(page), (Box{299, 399, 1, 1}));
}

TEST(FitPictureToPage, TakesADecodedPictureLoadedGrey) {
  test::ScratchDir dir;
  Bitmap source = Filled(30, 20, kRed);
  source.SetPixel(0, 19, {0, 0, 255});
  test::WritePpm(dir / "p.ppm", source);
  Picture picture;
  picture.LoadFromFile((dir / "p.ppm").u16string(), test::PpmTestDecoder(), {.gray = true});
  Bitmap page;
  FitPictureToPage(picture, page, {.colors = PageColors::kKeep});
  EXPECT_EQ(NonWhiteBox(page), (Box{285, 390, 30, 20}));
  EXPECT_EQ(page.Pixel(285, 409), (Rgb{29, 29, 29}));
  EXPECT_EQ(CountOf(page, kRedGrey), 30 * 20 - 1);
  // A picture loaded in colour is refused: every page is made of greys.
  picture.LoadFromFile((dir / "p.ppm").u16string(), test::PpmTestDecoder());
  EXPECT_THROW(FitPictureToPage(picture, page), GraphicOperationError);
}

// A decoded picture is made grey as it is loaded, a bitmap as it is fitted: the pages are the same,
// byte for byte.
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
    picture.LoadFromFile((dir / "p.ppm").u16string(), test::PpmTestDecoder(), {.gray = true});
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
