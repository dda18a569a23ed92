#include <gtest/gtest.h>

#include "pictures/GrayLevels.h"

namespace bookloom {
namespace {

// A picture holding each of the greys from `first` to `last` on as many pixels.
GrayImage Greys(int first, int last, int each) {
  GrayImage picture(each, last - first + 1);
  for (int y = 0; y < picture.Height(); ++y)
    std::fill(picture.Row(y), picture.Row(y) + each, uint8_t(first + y));
  return picture;
}

TEST(AutolevelTable, StretchesTheDarkestAndLightestHalfPercentToBlackAndWhite) {
  // 201 greys of 100 pixels: 0.5 % of 20100 pixels is 101, so the two darkest greys become black and
  // the two lightest white.
  const GrayTable table = AutolevelTable(Greys(50, 250, 100).View());
  EXPECT_EQ(table[0], 0);
  EXPECT_EQ(table[50], 0);
  EXPECT_EQ(table[51], 0);
  EXPECT_EQ(table[52], 1);  // (1 * 255 + 98) / 197, rounded
  EXPECT_EQ(table[150], 128);
  EXPECT_EQ(table[248], 254);
  EXPECT_EQ(table[249], 255);
  EXPECT_EQ(table[255], 255);
  for (int g = 1; g < 256; ++g) EXPECT_GE(table[g], table[g - 1]) << g;
  // A picture of one grey, or of black and white only, keeps its greys.
  EXPECT_TRUE(IsIdentity(AutolevelTable(Greys(90, 90, 10).View())));
}

TEST(GammaTable, LightensOrDarkensTheMiddleGreysAndKeepsTheEnds) {
  const struct {
    double gamma;
    int grey, expected;
  } cases[] = {{2.0, 64, 128}, {2.0, 0, 0}, {2.0, 255, 255}, {0.5, 128, 64}, {1.8, 100, 152}, {1.0, 77, 77}};
  for (const auto& c : cases) EXPECT_EQ(GammaTable(c.gamma)[c.grey], c.expected) << c.gamma << " " << c.grey;
  EXPECT_TRUE(IsIdentity(GammaTable(1.0)));
  const GrayTable both = Then(AutolevelTable(Greys(50, 250, 100).View()), GammaTable(2.0));
  EXPECT_EQ(both[150], GammaTable(2.0)[128]);
}

}  // namespace
}  // namespace bookloom
