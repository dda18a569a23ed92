#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "pictures/ColorReduction.h"
#include "pictures/TestPictures.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

// A grey picture of one grey.
GrayImage Uniform(int width, int height, uint8_t grey) {
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y) std::fill(g.Row(y), g.Row(y) + width, grey);
  return g;
}

// A grey picture of random greys, the same for the same seed.
GrayImage RandomGrey(int width, int height, unsigned seed) {
  const Bitmap colour = test::RandomPicture(width, height, seed);
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) g.Row(y)[x] = colour.Row(y)[3 * x];
  return g;
}

// A smooth grey ramp, as photographs are: neighbours share cells of the lookup.
GrayImage Ramp(int width, int height) {
  GrayImage g(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      g.Row(y)[x] = static_cast<uint8_t>((x * 255 / std::max(1, width - 1) + y) / 2);
  return g;
}

// The same greys in three equal channels.
Bitmap AsColour(const GrayImage& g) {
  Bitmap b(g.Width(), g.Height(), PixelFormat::k24Bit);
  for (int y = 0; y < g.Height(); ++y)
    for (int x = 0; x < g.Width(); ++x) b.SetPixel(x, y, {g.Row(y)[x], g.Row(y)[x], g.Row(y)[x]});
  return b;
}

std::vector<uint8_t> Indices(const GrayImage& g) {
  std::vector<uint8_t> out;
  for (int y = 0; y < g.Height(); ++y) out.insert(out.end(), g.Row(y), g.Row(y) + g.Width());
  return out;
}

// An error-spreading kernel as the literature gives it: `weight` of the error goes `offset` pixels
// ahead in the scan direction on the row `row` below.
struct PlainKernel {
  DitherMode mode;
  int divisor;
  std::vector<std::array<int, 3>> taps;  // row, offset, weight
};

const PlainKernel kPlainKernels[] = {
    {DitherMode::kFloydSteinberg, 16, {{0, 1, 7}, {1, -1, 3}, {1, 0, 5}, {1, 1, 1}}},
    {DitherMode::kStucki,
     42,
     {{0, 1, 8},
      {0, 2, 4},
      {1, -2, 2},
      {1, -1, 4},
      {1, 0, 8},
      {1, 1, 4},
      {1, 2, 2},
      {2, -2, 1},
      {2, -1, 2},
      {2, 0, 4},
      {2, 1, 2},
      {2, 2, 1}}},
    {DitherMode::kSierra,
     32,
     {{0, 1, 5},
      {0, 2, 3},
      {1, -2, 2},
      {1, -1, 4},
      {1, 0, 5},
      {1, 1, 4},
      {1, 2, 2},
      {2, -1, 2},
      {2, 0, 3},
      {2, 1, 2}}},
    {DitherMode::kJarvisJudiceNinke,
     48,
     {{0, 1, 7},
      {0, 2, 5},
      {1, -2, 3},
      {1, -1, 5},
      {1, 0, 7},
      {1, 1, 5},
      {1, 2, 3},
      {2, -2, 1},
      {2, -1, 3},
      {2, 0, 5},
      {2, 1, 3},
      {2, 2, 1}}},
    {DitherMode::kStevensonArce,
     200,
     {{0, 2, 32},
      {1, -3, 12},
      {1, -1, 26},
      {1, 1, 30},
      {1, 3, 16},
      {2, -2, 12},
      {2, 0, 26},
      {2, 2, 12},
      {3, -3, 5},
      {3, -1, 12},
      {3, 1, 12},
      {3, 3, 5}}},
    {DitherMode::kBurkes,
     32,
     {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
};

// Error diffusion of colour pictures written out plainly, to check the grey engine against: one error
// array per channel and row, column c at index c + 3, rows scanned in serpentine order, the nearest
// palette colour by the sum of channel distances, remembered per 5-5-5 colour cell. A grey picture in
// three equal channels must give exactly what the engine gives for its one channel.
std::vector<uint8_t> PlainDiffusion(const Bitmap& picture, bool monochrome, const PlainKernel& kernel) {
  const int w = picture.Width(), h = picture.Height();
  const std::vector<Rgb> palette =
      monochrome ? std::vector<Rgb>{{0, 0, 0}, {255, 255, 255}}
                 : std::vector<Rgb>{{0, 0, 0}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
  std::vector<int> cache(32768, -1);
  auto cellOf = [](int r, int g, int b) { return (r >> 3) + 32 * (g >> 3) + 1024 * (b >> 3); };
  for (size_t i = 0; i < palette.size(); ++i) {
    int& slot = cache[cellOf(palette[i].r, palette[i].g, palette[i].b)];
    if (slot == -1) slot = static_cast<int>(i);
  }
  std::vector<int> e[3][4];  // [channel r, g, b][row: current, then the rows below]
  for (auto& channel : e)
    for (auto& row : channel) row.assign(w + 6, 0);
  std::vector<uint8_t> out(static_cast<size_t>(w) * h);
  int d = 1;
  for (int y = 0; y < h; ++y) {
    for (int step = 0; step < w; ++step) {
      const int c = d == 1 ? step : w - 1 - step;
      const Rgb p = picture.Pixel(c, y);
      const int in[3] = {p.r, p.g, p.b};
      int v[3];
      for (int ch = 0; ch < 3; ++ch) {
        const int corrected = in[ch] + (e[ch][0][c + 3] + kernel.divisor / 2) / kernel.divisor;
        v[ch] = corrected < 0 ? 0 : corrected > 255 ? 255 : corrected;
      }
      int index;
      if (monochrome) {
        index = 77 * v[0] + 150 * v[1] + 29 * v[2] > 32512 ? 1 : 0;
      } else {
        int& slot = cache[cellOf(v[0], v[1], v[2])];
        if (slot == -1) {
          int best = 196608;
          for (size_t i = 0; i < palette.size(); ++i) {
            const int dist =
                std::abs(palette[i].r - v[0]) + std::abs(palette[i].g - v[1]) + std::abs(palette[i].b - v[2]);
            if (dist < best) best = dist, slot = static_cast<int>(i);
          }
        }
        index = slot;
      }
      out[static_cast<size_t>(y) * w + c] = static_cast<uint8_t>(index);
      const int chosen[3] = {palette[index].r, palette[index].g, palette[index].b};
      for (int ch = 0; ch < 3; ++ch)
        for (const auto& [row, offset, weight] : kernel.taps)
          e[ch][row][c + 3 + d * offset] += weight * (v[ch] - chosen[ch]);
    }
    for (auto& channel : e) {
      std::rotate(std::begin(channel), std::begin(channel) + 1, std::end(channel));
      channel[3].assign(w + 6, 0);
    }
    d = -d;
  }
  return out;
}

TEST(ReduceGray, EveryDithererGivesWhatThreeEqualChannelsGive) {
  const struct {
    const char* name;
    GrayImage picture;
  } pictures[] = {
      {"random 31x19", RandomGrey(31, 19, 1)}, {"ramp 64x48", Ramp(64, 48)},
      {"one row", RandomGrey(40, 1, 2)},       {"one column", RandomGrey(1, 40, 3)},
      {"two columns", RandomGrey(2, 9, 4)},    {"one pixel", Uniform(1, 1, 160)},
  };
  for (const PlainKernel& kernel : kPlainKernels)
    for (const auto& p : pictures)
      for (ReductionMode mode : {ReductionMode::kGray4, ReductionMode::kMonochrome})
        EXPECT_EQ(Indices(ReduceGray(p.picture.View(), mode, kernel.mode)),
                  PlainDiffusion(AsColour(p.picture), mode == ReductionMode::kMonochrome, kernel))
            << p.name << " mode " << static_cast<int>(mode) << " ditherer " << static_cast<int>(kernel.mode);
}

TEST(ReduceGray, UniformBlackWhiteAndPaletteGreysGiveOneIndex) {
  const struct {
    ReductionMode mode;
    uint8_t grey;
    int index;
  } cases[] = {
      {ReductionMode::kMonochrome, 0, 0}, {ReductionMode::kMonochrome, 255, 1},
      {ReductionMode::kGray4, 0, 0},      {ReductionMode::kGray4, 128, 1},
      {ReductionMode::kGray4, 192, 2},    {ReductionMode::kGray4, 255, 3},
  };
  for (const auto& c : cases) {
    const auto indices = Indices(ReduceGray(Uniform(37, 23, c.grey).View(), c.mode, DitherMode::kStucki));
    EXPECT_EQ(std::count(indices.begin(), indices.end(), c.index), 37 * 23)
        << static_cast<int>(c.mode) << " " << int(c.grey);
  }
}

TEST(ReduceGray, MonochromeThresholdAndTheDitherPatternOfMiddleGrey) {
  for (int grey : {127, 128})
    EXPECT_EQ(ReduceGray(Uniform(1, 1, uint8_t(grey)).View(), ReductionMode::kMonochrome, DitherMode::kStucki)
                  .Row(0)[0],
              grey == 128 ? 1 : 0)
        << grey;
  const GrayImage reduced =
      ReduceGray(Uniform(40, 40, 128).View(), ReductionMode::kMonochrome, DitherMode::kStucki);
  EXPECT_EQ(reduced.Row(0)[0], 1);
  const auto indices = Indices(reduced);
  EXPECT_NEAR(std::count(indices.begin(), indices.end(), 1), 1600 * 128 / 255, 16);
}

TEST(ReduceGray, EveryDithererKeepsTheToneOfAUniformGrey) {
  for (DitherMode dither : {DitherMode::kFloydSteinberg, DitherMode::kStucki, DitherMode::kSierra,
                            DitherMode::kJarvisJudiceNinke, DitherMode::kStevensonArce, DitherMode::kBurkes})
    for (ReductionMode mode : {ReductionMode::kGray4, ReductionMode::kMonochrome}) {
      double sum = 0;
      for (uint8_t i : Indices(ReduceGray(Uniform(64, 64, 100).View(), mode, dither)))
        sum += mode == ReductionMode::kGray4 ? kGray4Palette[i] : kMonochromePalette[i];
      // Negative sums are rounded toward zero, which brightens a little.
      EXPECT_NEAR(sum / (64 * 64), 101.0, 2.5)
          << "ditherer " << static_cast<int>(dither) << " mode " << static_cast<int>(mode);
    }
  const auto nearest =
      Indices(ReduceGray(Uniform(8, 8, 100).View(), ReductionMode::kGray4, DitherMode::kNearest));
  EXPECT_EQ(std::count(nearest.begin(), nearest.end(), 1), 64);
}

TEST(Gray4Lookup, TiesGoToTheLowerIndexAndTheFirstGreyOfACellDecidesForIt) {
  Gray4Lookup lookup;
  EXPECT_EQ(lookup.Find(160).index, 1);   // as far from 128 as from 192
  EXPECT_EQ(lookup.Find(167).index, 1);   // nearer to 192, but its cell already answered
  EXPECT_EQ(lookup.Find(130).index, 1);   // the cell of 128 answers from the start
  EXPECT_EQ(lookup.Find(167).grey, 128);  // the grey of the index the cell answers
  Gray4Lookup fresh;
  EXPECT_EQ(fresh.Find(165).index, 2);  // a fresh cache searches for the grey itself
  EXPECT_EQ(fresh.Find(160).index, 2);
  EXPECT_EQ(fresh.Find(160).grey, 192);
}

TEST(ReduceGray, RefusesPicturesWithoutPixelsAndUnknownDitherers) {
  const GrayImage none;
  EXPECT_THROW(ReduceGray(none.View(), ReductionMode::kGray4, DitherMode::kStucki), ColorReductionError);
  EXPECT_THROW(ReduceGray(Uniform(2, 2, 9).View(), ReductionMode::kGray4, static_cast<DitherMode>(7)),
               ColorReductionError);
}

}  // namespace
}  // namespace bookloom
