#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

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
float lanczos3(float x) {
  if (x < 0.0f) x = -x;
  return x < 3.0f ? sinc(x) * sinc(x / 3.0f) : 0.0f;
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
  float sum = 0.0f;
  for (const Weight& c : out) sum = sum + c.w;
  if (sum != 0.0f)
    for (Weight& c : out) c.w = c.w / sum;
  return out;
}

uint8_t ByteOf(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  return uint8_t(std::nearbyint(sum));
}

GrayImage Resample(const GrayImage& source, int dw, int dh, float (*f)(float), float support) {
  const int sw = source.Width(), sh = source.Height();
  std::vector<uint8_t> middle(size_t(dw) * sh);
  for (int k = 0; k < sh; ++k)
    for (int i = 0; i < dw; ++i) {
      float sum = 0.0f;
      for (const Weight& c : WeightsOf(i, sw, dw, f, support)) sum = sum + c.w * float(source.Row(k)[c.n]);
      middle[size_t(k) * dw + i] = ByteOf(sum);
    }
  GrayImage target(dw, dh);
  for (int c = 0; c < dw; ++c)
    for (int i = 0; i < dh; ++i) {
      float sum = 0.0f;
      for (const Weight& r : WeightsOf(i, sh, dh, f, support))
        sum = sum + r.w * float(middle[size_t(r.n) * dw + c]);
      target.Row(i)[c] = ByteOf(sum);
    }
  return target;
}

}  // namespace plain

std::vector<uint8_t> PixelsOf(const GrayImage& g) {
  std::vector<uint8_t> out;
  for (int y = 0; y < g.Height(); ++y) out.insert(out.end(), g.Row(y), g.Row(y) + g.Width());
  return out;
}

bool SamePixels(const GrayImage& a, const GrayImage& b) {
  return a.Width() == b.Width() && a.Height() == b.Height() && PixelsOf(a) == PixelsOf(b);
}

GrayImage Filled(int width, int height, uint8_t grey) {
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y) std::fill(g.Row(y), g.Row(y) + width, grey);
  return g;
}

GrayImage RandomGrey(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) g.Row(y)[x] = static_cast<uint8_t>(random());
  return g;
}

// Two simpler filters that show what the resampling does whatever the filter.
float Box(float x) { return x > -0.5f && x <= 0.5f ? 1.0f : 0.0f; }
float Triangle(float x) { return std::fabs(x) < 1.0f ? 1.0f - std::fabs(x) : 0.0f; }

// The source resampled to that size, by default as pages are: with Lanczos3.
GrayImage Resampled(const GrayImage& source, int width, int height, FilterFunction filter = Lanczos3Filter,
                    float support = kLanczos3Support) {
  GrayImage target(width, height);
  ResampleGray(source.View(), target, filter, support);
  return target;
}

TEST(Lanczos3Filter, HasItsShape) {
  for (float x = -3.5f; x <= 3.5f; x += 0.0625f) ASSERT_EQ(Lanczos3Filter(x), plain::lanczos3(x)) << x;
  const FilterFunction lanczos = Lanczos3Filter;
  // Lanczos3 at a whole distance is almost, but not exactly, 0: such weights stay in the sums.
  EXPECT_NE(lanczos(1.0f), 0.0f);
  EXPECT_LT(std::fabs(lanczos(1.0f)), 1e-6f);
  // The correctly rounded sine of float pi times x, as computed once for these arguments.
  EXPECT_EQ(lanczos(0.5f), 0x1.374238p-1f);
  EXPECT_EQ(lanczos(1.75f), -0x1.15ac56p-4f);
  EXPECT_EQ(lanczos(61.0f / 1024), 0x1.fcafbap-1f);  // sinf would give 0x1.fcafbcp-1
}

TEST(ResampleGray, MatchesThePlainTranscriptionByteForByte) {
  const struct {
    int sw, sh, dw, dh;
  } sizes[] = {
      {23, 17, 9, 7}, {5, 4, 13, 11}, {20, 3, 7, 9}, {9, 9, 9, 9},   {12, 5, 1, 5},  {5, 12, 5, 1},
      {1, 1, 6, 6},   {2, 2, 7, 7},   {2, 1, 9, 3},  {40, 30, 3, 2}, {17, 9, 16, 8}, {70, 45, 11, 40},
  };
  for (const auto& s : sizes) {
    const GrayImage source = RandomGrey(s.sw, s.sh, unsigned(500 + s.sw));
    EXPECT_TRUE(SamePixels(Resampled(source, s.dw, s.dh),
                           plain::Resample(source, s.dw, s.dh, plain::lanczos3, kLanczos3Support)))
        << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh;
  }
}

// A picture this large has its rows shared between two cores; an odd last block of rows too.
TEST(ResampleGray, SharedBetweenCoresMatchesThePlainTranscription) {
  const GrayImage source = RandomGrey(1000, 1003, 7);
  EXPECT_TRUE(SamePixels(Resampled(source, 150, 151),
                         plain::Resample(source, 150, 151, plain::lanczos3, kLanczos3Support)));
}

// The weights of each target pixel are normalised: a uniform picture stays exactly uniform, whatever
// the factor, where the weights as the filter gives them sum to a little more or less than 1.
TEST(ResampleGray, KeepsAUniformPictureUniformAtAwkwardFactors) {
  const struct {
    int sw, sh, dw, dh;
  } sizes[] = {{2400, 3200, 600, 800}, {2399, 3203, 599, 799}, {1000, 997, 313, 71},
               {7, 5, 600, 800},       {641, 3, 600, 2},       {3000, 40, 601, 9}};
  for (const auto& s : sizes)
    for (uint8_t grey : {uint8_t{255}, uint8_t{0}, uint8_t{1}, uint8_t{254}, uint8_t{97}}) {
      const auto pixels = PixelsOf(Resampled(Filled(s.sw, s.sh, grey), s.dw, s.dh));
      EXPECT_EQ(std::count(pixels.begin(), pixels.end(), grey), s.dw * s.dh)
          << int(grey) << ": " << s.sw << "x" << s.sh << " -> " << s.dw << "x" << s.dh;
    }
}

TEST(ResampleGray, GivesTheBytesComputedOnceForALanczos3Ramp) {
  GrayImage ramp(8, 1);
  for (int x = 0; x < 8; ++x) ramp.Row(0)[x] = uint8_t(x * 36);
  EXPECT_EQ(PixelsOf(Resampled(ramp, 3, 1)), (std::vector<uint8_t>{22, 124, 242}));
  EXPECT_EQ(PixelsOf(Resampled(ramp, 11, 1)),
            (std::vector<uint8_t>{0, 21, 52, 75, 102, 126, 150, 177, 201, 228, 252}));
}

TEST(ResampleGray, BoxAtTheSameSizeReproducesTheSource) {
  for (auto [w, h] : {std::pair{7, 5}, {1, 1}, {1, 9}, {12, 1}}) {
    const GrayImage source = RandomGrey(w, h, 5);
    EXPECT_TRUE(SamePixels(Resampled(source, w, h, Box, 0.5f), source)) << w << "x" << h;
  }
}

TEST(ResampleGray, FirstAndLastPixelsOfSourceAndTargetCoincide) {
  GrayImage source(2, 2);
  source.Row(0)[0] = 10;
  source.Row(0)[1] = 200;
  source.Row(1)[0] = 0;
  source.Row(1)[1] = 90;
  const GrayImage target = Resampled(source, 4, 4, Triangle, 1.0f);
  EXPECT_EQ(target.Row(0)[0], 10);
  EXPECT_EQ(target.Row(0)[3], 200);
  EXPECT_EQ(target.Row(3)[0], 0);
  EXPECT_EQ(target.Row(3)[3], 90);

  const GrayImage column = RandomGrey(1, 10, 8);
  const GrayImage widened = Resampled(column, 5, 10, Triangle, 1.0f);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 5; ++x) ASSERT_EQ(widened.Row(y)[x], column.Row(y)[0]) << x << "," << y;
}

TEST(ResampleGray, OnePixelTargetsAndTinySourcesStayInsideTheSource) {
  // A one-pixel side scales by the ratio of the sizes instead of dividing by zero.
  const GrayImage narrow = Resampled(Filled(3, 4, 77), 1, 4, Triangle, 1.0f);
  for (int y = 0; y < 4; ++y) EXPECT_EQ(narrow.Row(y)[0], 77);
  // Lanczos3 reaches three pixels past a source of one or two: the mirror is clamped to the edge.
  const auto spread = PixelsOf(Resampled(Filled(1, 1, 0), 5, 5));
  EXPECT_EQ(std::count(spread.begin(), spread.end(), 0), 25);
  EXPECT_EQ(Resampled(RandomGrey(50, 2, 4), 1, 1).Width(), 1);
}

TEST(ResampleGray, RefusesPicturesWithoutPixels) {
  GrayImage target(4, 4);
  try {
    ResampleGray(GrayView{nullptr, 0, 0, 5}, target, Triangle, 1.0f);
    ADD_FAILURE() << "no error";
  } catch (const GraphicOperationError& e) {
    EXPECT_EQ(std::string(e.what()), "Source bitmap too small");
  }
  const GrayImage source = RandomGrey(4, 4, 1);
  for (auto [w, h] : {std::pair{0, 3}, {3, 0}}) {
    GrayImage none(w, h);
    EXPECT_THROW(ResampleGray(source.View(), none, Lanczos3Filter, kLanczos3Support), GraphicOperationError);
  }
}

}  // namespace
}  // namespace bookloom
