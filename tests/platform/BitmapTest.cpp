#include <gtest/gtest.h>

#include <random>

#include "platform/Bitmap.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

constexpr PixelFormat kFormats[] = {PixelFormat::k1Bit, PixelFormat::k4Bit, PixelFormat::k8Bit,
                                    PixelFormat::k24Bit};

Bitmap RandomBitmap(int width, int height, PixelFormat format, unsigned seed) {
  std::mt19937 random(seed);
  Bitmap b(width, height, format);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(
          x, y,
          {static_cast<uint8_t>(random()), static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
  return b;
}

TEST(Bitmap, ConvertsEveryFormatAsPixelByPixelNearestEntryWould) {
  for (PixelFormat from : kFormats)
    for (PixelFormat to : kFormats) {
      const Bitmap source = RandomBitmap(13, 5, from, 7);  // 13: rows end inside a byte
      Bitmap converted = source;
      converted.SetFormat(to);
      Bitmap expected(13, 5, to);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x) expected.SetPixel(x, y, source.Pixel(x, y));
      ASSERT_EQ(converted.Format(), to);
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 13; ++x)
          ASSERT_EQ(converted.Pixel(x, y), expected.Pixel(x, y))
              << int(from) << " -> " << int(to) << " at " << x << "," << y;
    }
}

TEST(Bitmap, ConvertsToAnExplicitColourTableAndFillsIndexedFormats) {
  const std::vector<Rgb> greys = {{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  Bitmap b(3, 1, PixelFormat::k24Bit);
  b.SetPixel(0, 0, {100, 100, 100});  // nearest 128
  b.SetPixel(1, 0, {170, 170, 170});  // 22 from 192, 42 from 128
  b.SetPixel(2, 0, {64, 64, 64});     // as far from 0 as from 128: the lower index wins
  b.SetFormat(PixelFormat::k8Bit, greys);
  EXPECT_EQ(b.Palette().size(), 256u);
  EXPECT_EQ(b.Row(0)[0], 1);
  EXPECT_EQ(b.Row(0)[1], 2);
  EXPECT_EQ(b.Row(0)[2], 0);

  for (PixelFormat f : kFormats) {
    Bitmap filled(11, 3, f);
    filled.Fill(kWhite);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 11; ++x) ASSERT_EQ(filled.Pixel(x, y), kWhite) << int(f);
  }
}

}  // namespace
}  // namespace bookloom
