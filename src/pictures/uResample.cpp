#include "pictures/uResample.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Exception.h"

namespace bookloom {

// Every operation below is a float operation rounded to float (the unit is built without fused
// multiply-add): the bytes must not depend on the compiler or the machine.
namespace {

constexpr float kPi = 3.14159265358979323846f;

float Sinc(float t) {
  if (t == 0.0f) return 1.0f;
  const float u = kPi * t;
  // The correctly rounded sine: sinf differs from it for a few arguments on some libraries.
  return static_cast<float>(std::sin(static_cast<double>(u))) / u;
}

float BoxFilter(float x) { return (x > -0.5f && x <= 0.5f) ? 1.0f : 0.0f; }

float TriangleFilter(float x) {
  const float a = std::fabs(x);
  return a < 1.0f ? 1.0f - a : 0.0f;
}

float HermiteFilter(float x) {
  const float a = std::fabs(x);
  return a < 1.0f ? (2.0f * a - 3.0f) * (a * a) + 1.0f : 0.0f;
}

float BellFilter(float x) {
  const float a = std::fabs(x);
  if (a < 0.5f) return 0.75f - a * a;
  if (a < 1.5f) {
    const float t = a - 1.5f;
    return 0.5f * (t * t);
  }
  return 0.0f;
}

float BSplineFilter(float x) {
  const float a = std::fabs(x);
  if (a < 1.0f) {
    const float tt = a * a;
    return 0.5f * tt * a - tt + 2.0f / 3.0f;
  }
  if (a < 2.0f) {
    const float t = 2.0f - a;
    return t * t * t / 6.0f;
  }
  return 0.0f;
}

float Lanczos3Filter(float x) {
  const float a = std::fabs(x);
  return a < 3.0f ? Sinc(a) * Sinc(a / 3.0f) : 0.0f;
}

// Mitchell-Netravali with B = C = 1/3.
float MitchellFilter(float x) {
  const float a = std::fabs(x);
  const float tt = a * a;
  if (a < 1.0f) return (7.0f * (a * tt) - 12.0f * tt + 16.0f / 3.0f) / 6.0f;
  if (a < 2.0f) return (-(7.0f / 3.0f) * (a * tt) + 12.0f * tt - 20.0f * a + 32.0f / 3.0f) / 6.0f;
  return 0.0f;
}

struct Contributor {
  int index;  // source pixel
  float weight;
};

// For each target pixel of one direction, the source pixels it is made of: the list of pixel i is
// items[start[i]] .. items[start[i + 1] - 1].
struct Contributors {
  std::vector<Contributor> items;
  std::vector<size_t> start;
};

Contributors MakeContributors(int sourceSize, int targetSize, TFilterProc filter, float support) {
  // The first and last pixels of source and target coincide; a single pixel on either side scales
  // by the ratio of the sizes.
  const float scale = (sourceSize == 1 || targetSize == 1)
                          ? static_cast<float>(targetSize) / static_cast<float>(sourceSize)
                          : static_cast<float>(targetSize - 1) / static_cast<float>(sourceSize - 1);
  const bool shrinking = scale < 1.0f;
  const float reach = shrinking ? support / scale : support;
  const float fscale = shrinking ? 1.0f / scale : 1.0f;

  Contributors lists;
  lists.start.reserve(static_cast<size_t>(targetSize) + 1);
  lists.items.reserve(static_cast<size_t>(targetSize) * static_cast<size_t>(2 * reach + 3));
  for (int i = 0; i < targetSize; ++i) {
    lists.start.push_back(lists.items.size());
    const float center = static_cast<float>(i) / scale;
    const int left = static_cast<int>(std::floor(center - reach));
    const int right = static_cast<int>(std::ceil(center + reach));
    for (int j = left; j <= right; ++j) {
      const float distance = center - static_cast<float>(j);
      const float weight = shrinking ? filter(distance / fscale) / fscale : filter(distance);
      if (weight == 0.0f) continue;
      // Beyond an edge the source is mirrored; what even the mirror misses takes the edge pixel.
      int n = j < 0 ? -j : j >= sourceSize ? 2 * sourceSize - 1 - j : j;
      n = std::clamp(n, 0, sourceSize - 1);
      lists.items.push_back({n, weight});
    }
  }
  lists.start.push_back(lists.items.size());
  return lists;
}

// A weighted sum as a byte: clamped to 0 .. 255, then rounded to nearest with halves to even
// (adding and taking away 2^23 leaves the nearest integer for any value below 2^23).
inline uint8_t ToByte(float sum) {
  if (sum > 255.0f) return 255;
  if (sum < 0.0f) return 0;
  return static_cast<uint8_t>(static_cast<int>((sum + 8388608.0f) - 8388608.0f));
}

// Rows resampled together in the horizontal pass: each weight is applied to the three channels of
// this many rows at once.
constexpr int kBlockRows = 8;
constexpr int kLanes = kBlockRows * 3;

void ResampleRows(const Bitmap& source, Bitmap& target, const Contributors& lists) {
  const int sourceWidth = source.Width(), height = source.Height(), targetWidth = target.Width();
  // Source column n of the block: kLanes floats, channel ch of block row b at b * 3 + ch.
  std::vector<float> columns(static_cast<size_t>(sourceWidth) * kLanes, 0.0f);
  for (int top = 0; top < height; top += kBlockRows) {
    const int rows = std::min(kBlockRows, height - top);
    for (int b = 0; b < rows; ++b) {
      const uint8_t* in = source.Row(top + b);
      float* lane = columns.data() + b * 3;
      for (int n = 0; n < sourceWidth; ++n, in += 3, lane += kLanes) {
        lane[0] = in[0];
        lane[1] = in[1];
        lane[2] = in[2];
      }
    }
    for (int i = 0; i < targetWidth; ++i) {
      float sum[kLanes] = {};
      for (size_t k = lists.start[i]; k < lists.start[i + 1]; ++k) {
        const float w = lists.items[k].weight;
        const float* column = columns.data() + static_cast<size_t>(lists.items[k].index) * kLanes;
        for (int l = 0; l < kLanes; ++l) sum[l] = sum[l] + w * column[l];
      }
      for (int b = 0; b < rows; ++b) {
        uint8_t* out = target.Row(top + b) + 3 * i;
        for (int ch = 0; ch < 3; ++ch) out[ch] = ToByte(sum[b * 3 + ch]);
      }
    }
  }
}

void ResampleColumns(const Bitmap& source, Bitmap& target, const Contributors& lists) {
  const size_t rowBytes = source.Stride();
  std::vector<float> sum(rowBytes);
  for (int i = 0; i < target.Height(); ++i) {
    std::fill(sum.begin(), sum.end(), 0.0f);
    for (size_t k = lists.start[i]; k < lists.start[i + 1]; ++k) {
      const float w = lists.items[k].weight;
      const uint8_t* in = source.Row(lists.items[k].index);
      for (size_t l = 0; l < rowBytes; ++l) sum[l] = sum[l] + w * static_cast<float>(in[l]);
    }
    uint8_t* out = target.Row(i);
    for (size_t l = 0; l < rowBytes; ++l) out[l] = ToByte(sum[l]);
  }
}

}  // namespace

const std::array<TResampleFilter, 7> ResampleFilterTable{{{"Box", BoxFilter, 0.5f},
                                                          {"Triangle", TriangleFilter, 1.0f},
                                                          {"Hermite", HermiteFilter, 1.0f},
                                                          {"Bell", BellFilter, 1.5f},
                                                          {"B-Spline", BSplineFilter, 2.0f},
                                                          {"Lanczos3", Lanczos3Filter, 3.0f},
                                                          {"Mitchell", MitchellFilter, 2.0f}}};

void ResampleBitmap(Bitmap& source, Bitmap& target, TFilterProc filter, float support) {
  if (source.Width() < 1 || source.Height() < 1) Raise<EInvalidGraphicOperation>("Source bitmap too small");
  if (target.Width() < 1 || target.Height() < 1)
    Raise<EInvalidGraphicOperation>("Cannot resample a picture to %dx%d pixels: the target has no pixels",
                                    {target.Width(), target.Height()});
  Bitmap intermediate(target.Width(), source.Height(), PixelFormat::pf24bit);
  source.SetFormat(PixelFormat::pf24bit);
  target.SetFormat(PixelFormat::pf24bit);
  ResampleRows(source, intermediate, MakeContributors(source.Width(), target.Width(), filter, support));
  ResampleColumns(intermediate, target, MakeContributors(source.Height(), target.Height(), filter, support));
}

}  // namespace bookloom
