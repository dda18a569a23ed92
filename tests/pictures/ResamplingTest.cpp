#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "pictures/Resampling.h"
#include "pictures/TestPictures.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

// ---- the resampling written out plainly, pixel by pixel, to check the fast passes against ----

namespace plain {

const float pi = 3.14159265358979323846f;

float sinc(float x) {
  if (x == 0.0f) return 1.0f;
  const float u = pi * x;
  return static_cast<float>(std::sin(static_cast<double>(u))) / u;
}
float box(float x) { return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f; }
float triangle(float x) {
  if (x < 0.0f) x = -x;
  return x < 1.0f ? 1.0f - x : 0.0f;
}
float hermite(float x) {
  if (x < 0.0f) x = -x;
  if (x >= 1.0f) return 0.0f;
  const float square = x * x;
  return (2.0f * x - 3.0f) * square + 1.0f;
}
float bell(float x) {
  if (x < 0.0f) x = -x;
  if (x < 0.5f) return 0.75f - x * x;
  if (x >= 1.5f) return 0.0f;
  x = x - 1.5f;
  return 0.5f * (x * x);
}
float bspline(float x) {
  if (x < 0.0f) x = -x;
  if (x < 1.0f) {
    const float square = x * x;
    return 0.5f * square * x - square + 2.0f / 3.0f;
  }
  if (x >= 2.0f) return 0.0f;
  x = 2.0f - x;
  return x * x * x / 6.0f;
}
float lanczos3(float x) {
  if (x < 0.0f) x = -x;
  return x < 3.0f ? sinc(x) * sinc(x / 3.0f) : 0.0f;
}
float mitchell(float x) {
  if (x < 0.0f) x = -x;
  const float square = x * x, cube = x * square;
  if (x < 1.0f) return (7.0f * cube - 12.0f * square + 16.0f / 3.0f) / 6.0f;
  if (x < 2.0f) return (-(7.0f / 3.0f) * cube + 12.0f * square - 20.0f * x + 32.0f / 3.0f) / 6.0f;
  return 0.0f;
}

struct Weight {
  int n;
  float w;
};

// The source pixels and weights of target pixel i in one direction.
std::vector<Weight> WeightsOf(int i, int sourceSize, int targetSize, float (*f)(float), float support) {
  float scale;
  if (sourceSize == 1 || targetSize == 1)
    scale = float(targetSize) / float(sourceSize);
  else
    scale = float(targetSize - 1) / float(sourceSize - 1);
  const float center = float(i) / scale;
  std::vector<Weight> out;
  float width = support, fscale = 1.0f;
  if (scale < 1.0f) {
    width = support / scale;
    fscale = 1.0f / scale;
  }
  for (int j = int(std::floor(center - width)); j <= int(std::ceil(center + width)); ++j) {
    float w;
    if (scale < 1.0f)
      w = f((center - float(j)) / fscale) / fscale;
    else
      w = f(center - float(j));
    if (w == 0.0f) continue;
    int n = j;
    if (j < 0) n = -j;
    if (j >= sourceSize) n = 2 * sourceSize - 1 - j;
    if (n < 0) n = 0;
    if (n > sourceSize - 1) n = sourceSize - 1;
    out.push_back({n, w});
  }
  return out;
}

uint8_t ByteOf(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  return uint8_t(std::nearbyint(sum));
}

Bitmap Resample(const Bitmap& source, int dw, int dh, float (*f)(float), float support) {
  const int sw = source.Width(), sh = source.Height();
  std::vector<uint8_t> middle(size_t(dw) * sh * 3);
  for (int k = 0; k < sh; ++k)
    for (int i = 0; i < dw; ++i)
      for (int ch = 0; ch < 3; ++ch) {
        float sum = 0.0f;
        for (const Weight& c : WeightsOf(i, sw, dw, f, support))
          sum = sum + c.w * float(source.Row(k)[3 * c.n + ch]);
        middle[(size_t(k) * dw + i) * 3 + ch] = ByteOf(sum);
      }
  Bitmap target(dw, dh, PixelFormat::k24Bit);
  for (int c = 0; c < dw; ++c)
    for (int i = 0; i < dh; ++i)
      for (int ch = 0; ch < 3; ++ch) {
        float sum = 0.0f;
        for (const Weight& r : WeightsOf(i, sh, dh, f, support))
          sum = sum + r.w * float(middle[(size_t(r.n) * dw + c) * 3 + ch]);
        target.Row(i)[3 * c + ch] = ByteOf(sum);
      }
  return target;
}

}  // namespace plain

bool SamePixels(const Bitmap& a, const Bitmap& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height() || a.Format() != b.Format()) return false;
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.Row(y), a.Row(y) + a.Stride(), b.Row(y))) return false;
  return true;
}

Bitmap Resampled(const Bitmap& source, int width, int height, const ResampleFilter& filter) {
  Bitmap copy = source, target(width, height, PixelFormat::k24Bit);
  ResampleBitmap(copy, target, filter.filter, filter.support);
  return target;
}

TEST(ResampleFilters, HoldsTheSevenFiltersWithTheirShapes) {
  float (*const plainFilters[])(float) = {plain::box,     plain::triangle, plain::hermite, plain::bell,
                                          plain::bspline, plain::lanczos3, plain::mitchell};
  const char* names[] = {"Box", "Triangle", "Hermite", "Bell", "B-Spline", "Lanczos3", "Mitchell"};
  const float supports[] = {0.5f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
  for (size_t f = 0; f < 7; ++f) {
    const ResampleFilter& row = kResampleFilters[f];
    EXPECT_EQ(std::string(row.name), names[f]);
    EXPECT_EQ(row.support, supports[f]) << names[f];
    for (float x = -3.5f; x <= 3.5f; x += 0.0625f)
      ASSERT_EQ(row.filter(x), plainFilters[f](x)) << names[f] << " " << x;
  }
  const FilterFunction box = kResampleFilters[0].filter, lanczos = kResampleFilters[kLanczos3Filter].filter;
  EXPECT_EQ(box(0.5f), 1.0f);  // not symmetric at the edge
  EXPECT_EQ(box(-0.5f), 0.0f);
  EXPECT_NEAR(kResampleFilters[6].filter(0.0f), 8.0f / 9.0f, 1e-6);
  EXPECT_NEAR(kResampleFilters[4].filter(1.0f), 1.0f / 6.0f, 1e-6);
  // Lanczos3 at a whole distance is almost, but not exactly, 0: such weights stay in the sums.
  EXPECT_NE(lanczos(1.0f), 0.0f);
  EXPECT_LT(std::fabs(lanczos(1.0f)), 1e-6f);
  // The correctly rounded sine of float pi times x, as computed once for these arguments.
  EXPECT_EQ(lanczos(0.5f), 0x1.374238p-1f);
  EXPECT_EQ(lanczos(1.75f), -0x1.15ac56p-4f);
  EXPECT_EQ(lanczos(61.0f / 1024), 0x1.fcafbap-1f);  // sinf would give 0x1.fcafbcp-1
}

TEST(ResampleBitmap, MatchesThePlainTranscriptionByteForByte) {
  const struct {
    int sw, sh, dw, dh;
  } sizes[] = {
      {23, 17, 9, 7}, {5, 4, 13, 11}, {20, 3, 7, 9}, {9, 9, 9, 9},   {12, 5, 1, 5},  {5, 12, 5, 1},
      {1, 1, 6, 6},   {2, 2, 7, 7},   {2, 1, 9, 3},  {40, 30, 3, 2}, {17, 9, 16, 8},
  };
  for (size_t f = 0; f < kResampleFilters.size(); ++f)
    for (const auto& s : sizes) {
      const Bitmap source = test::RandomPicture(s.sw, s.sh, unsigned(f * 100 + s.sw));
      const ResampleFilter& filter = kResampleFilters[f];
      EXPECT_TRUE(SamePixels(Resampled(source, s.dw, s.dh, filter),
                             plain::Resample(source, s.dw, s.dh, filter.filter, filter.support)))
          << filter.name << " " << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh;
    }
}

// A picture this large has its rows shared between two cores; an odd last block of rows too.
TEST(ResampleBitmap, SharedBetweenCoresMatchesThePlainTranscription) {
  const Bitmap source = test::RandomPicture(1000, 1003, 7);
  const ResampleFilter& lanczos = kResampleFilters[kLanczos3Filter];
  EXPECT_TRUE(SamePixels(Resampled(source, 150, 151, lanczos),
                         plain::Resample(source, 150, 151, lanczos.filter, lanczos.support)));
}

TEST(ResampleBitmap, GivesTheBytesComputedOnceForALanczos3Ramp) {
  Bitmap ramp(8, 1, PixelFormat::k24Bit);
  for (int x = 0; x < 8; ++x)
    ramp.SetPixel(x, 0, {uint8_t(x * 36), uint8_t(255 - x * 36), uint8_t(x % 2 ? 255 : 0)});
  const ResampleFilter& lanczos = kResampleFilters[kLanczos3Filter];
  const Bitmap down = Resampled(ramp, 3, 1, lanczos), up = Resampled(ramp, 11, 1, lanczos);
  const std::vector<uint8_t> expectedDown = {131, 232, 22, 123, 131, 123, 162, 13, 242};
  const std::vector<uint8_t> expectedUp = {0,  255, 0,   202, 233, 21,  166, 202, 52,  6,   180,
                                           75, 230, 153, 101, 127, 128, 125, 24,  104, 150, 249,
                                           78, 177, 95,  54,  200, 28,  27,  227, 255, 3,   252};
  EXPECT_EQ(std::vector<uint8_t>(down.Row(0), down.Row(0) + down.Stride()), expectedDown);
  EXPECT_EQ(std::vector<uint8_t>(up.Row(0), up.Row(0) + up.Stride()), expectedUp);
}

TEST(ResampleBitmap, BoxAtTheSameSizeReproducesTheSource) {
  for (auto [w, h] : {std::pair{7, 5}, {1, 1}, {1, 9}, {12, 1}}) {
    const Bitmap source = test::RandomPicture(w, h, 5);
    EXPECT_TRUE(SamePixels(Resampled(source, w, h, kResampleFilters[0]), source)) << w << "x" << h;
  }
}

TEST(ResampleBitmap, FirstAndLastPixelsOfSourceAndTargetCoincide) {
  Bitmap source(2, 2, PixelFormat::k24Bit);
  source.SetPixel(0, 0, {10, 20, 30});
  source.SetPixel(1, 0, {200, 0, 50});
  source.SetPixel(0, 1, {0, 255, 0});
  source.SetPixel(1, 1, {90, 90, 250});
  const Bitmap target = Resampled(source, 4, 4, kResampleFilters[1]);
  EXPECT_EQ(target.Pixel(0, 0), source.Pixel(0, 0));
  EXPECT_EQ(target.Pixel(3, 0), source.Pixel(1, 0));
  EXPECT_EQ(target.Pixel(0, 3), source.Pixel(0, 1));
  EXPECT_EQ(target.Pixel(3, 3), source.Pixel(1, 1));

  const Bitmap column = test::RandomPicture(1, 10, 8);
  const Bitmap widened = Resampled(column, 5, 10, kResampleFilters[1]);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(widened.Pixel(x, y), column.Pixel(0, y)) << x << "," << y;
}

TEST(ResampleBitmap, OnePixelTargetsAndTinySourcesStayInsideTheSource) {
  // A one-pixel side scales by the ratio of the sizes instead of dividing by zero.
  Bitmap grey(3, 4, PixelFormat::k24Bit);
  grey.Fill({77, 77, 77});
  const Bitmap narrow = Resampled(grey, 1, 4, kResampleFilters[1]);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(narrow.Pixel(0, y), (Rgb{77, 77, 77}));
  // Lanczos3 reaches three pixels past a source of one or two: the mirror is clamped to the edge.
  Bitmap dot(1, 1, PixelFormat::k24Bit);
  dot.Fill({0, 0, 0});
  const Bitmap spread = Resampled(dot, 5, 5, kResampleFilters[kLanczos3Filter]);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(spread.Pixel(x, y), kBlack);
  const Bitmap big = test::RandomPicture(50, 2, 4);
  EXPECT_EQ(Resampled(big, 1, 1, kResampleFilters[kLanczos3Filter]).Width(), 1);
}

TEST(ResampleBitmap, RefusesBitmapsWithoutPixels) {
  Bitmap empty(0, 5, PixelFormat::k24Bit), target(4, 4, PixelFormat::k24Bit);
  try {
    ResampleBitmap(empty, target, kResampleFilters[1].filter, 1.0f);
    ADD_FAILURE() << "no error";
  } catch (const GraphicOperationError& e) {
    EXPECT_EQ(std::string(e.what()), "Source bitmap too small");
  }
  Bitmap source = test::RandomPicture(4, 4, 1);
  for (auto [w, h] : {std::pair{0, 3}, {3, 0}}) {
    Bitmap none(w, h, PixelFormat::k24Bit);
    EXPECT_THROW(ResampleBitmap(source, none, kResampleFilters[5].filter, 3.0f), GraphicOperationError);
  }
}

TEST(ResampleBitmap, ConvertsTheSourceAndTargetTo24Bits) {
  Bitmap source(6, 6, PixelFormat::k1Bit), target(3, 3, PixelFormat::k8Bit);
  source.Fill(kWhite);
  source.SetPixel(2, 3, kBlack);
  Bitmap as24 = source;
  as24.SetFormat(PixelFormat::k24Bit);
  ResampleBitmap(source, target, kResampleFilters[1].filter, 1.0f);
  EXPECT_EQ(source.Format(), PixelFormat::k24Bit);
  EXPECT_TRUE(SamePixels(target, plain::Resample(as24, 3, 3, plain::triangle, 1.0f)));
}

}  // namespace
}  // namespace bookloom
