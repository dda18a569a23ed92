#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "pictures/TestPictures.h"
#include "pictures/ColorReduction.h"
#include "platform/Exception.h"

namespace bookloom {
namespace {

Bitmap Uniform(int width, int height, Rgb c) {
  Bitmap b(width, height, PixelFormat::k24Bit);
  b.Fill(c);
  return b;
}

// A smooth colour ramp, as photographs are: neighbours share colour cells.
Bitmap Ramp(int width, int height) {
  Bitmap b(width, height, PixelFormat::k24Bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(
          x, y,
          {static_cast<uint8_t>(x * 255 / std::max(1, width - 1)),
           static_cast<uint8_t>(y * 255 / std::max(1, height - 1)), static_cast<uint8_t>((x + y) % 256)});
  return b;
}

std::vector<uint8_t> Indices(const Bitmap& b) {
  std::vector<uint8_t> out;
  for (int y = 0; y < b.Height(); ++y) out.insert(out.end(), b.Row(y), b.Row(y) + b.Width());
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
    {DitherMode::kStucki, 42, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2},
                    {2, -2, 1}, {2, -1, 2}, {2, 0, 4}, {2, 1, 2}, {2, 2, 1}}},
    {DitherMode::kSierra, 32, {{0, 1, 5}, {0, 2, 3}, {1, -2, 2}, {1, -1, 4}, {1, 0, 5}, {1, 1, 4}, {1, 2, 2},
                    {2, -1, 2}, {2, 0, 3}, {2, 1, 2}}},
    {DitherMode::kJarvisJudiceNinke, 48, {{0, 1, 7}, {0, 2, 5}, {1, -2, 3}, {1, -1, 5}, {1, 0, 7}, {1, 1, 5}, {1, 2, 3},
                               {2, -2, 1}, {2, -1, 3}, {2, 0, 5}, {2, 1, 3}, {2, 2, 1}}},
    {DitherMode::kStevensonArce, 200, {{0, 2, 32}, {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16}, {2, -2, 12},
                            {2, 0, 26}, {2, 2, 12}, {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5}}},
    {DitherMode::kBurkes, 32, {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}},
};

// Error diffusion written out plainly from its description, to check the fast engine against: one
// error array per channel and row, column c at index c + 3, rows scanned in serpentine order.
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

TEST(ReduceColors, EveryDithererMatchesThePlainTranscriptionPixelForPixel) {
  const struct {
    const char* name;
    Bitmap picture;
  } pictures[] = {
      {"random 31x19", test::RandomPicture(31, 19, 1)}, {"ramp 64x48", Ramp(64, 48)},
      {"one row", test::RandomPicture(40, 1, 2)},       {"one column", test::RandomPicture(1, 40, 3)},
      {"two columns", test::RandomPicture(2, 9, 4)},    {"one pixel", Uniform(1, 1, {200, 10, 90})},
  };
  for (const PlainKernel& kernel : kPlainKernels)
    for (const auto& p : pictures)
      for (ReductionMode mode : {ReductionMode::kGray4, ReductionMode::kMonochrome}) {
        Bitmap source = p.picture;
        const auto reduced = ReduceColors(source, mode, kernel.mode);
        ASSERT_EQ(reduced->Format(), PixelFormat::k8Bit);
        EXPECT_EQ(Indices(*reduced), PlainDiffusion(p.picture, mode == ReductionMode::kMonochrome, kernel))
            << p.name << " mode " << static_cast<int>(mode) << " ditherer " << static_cast<int>(kernel.mode);
      }
}

TEST(ReduceColors, UniformBlackWhiteAndPaletteGreysGiveOneIndex) {
  const struct {
    ReductionMode mode;
    Rgb colour;
    int index;
  } cases[] = {
      {ReductionMode::kMonochrome, kBlack, 0},     {ReductionMode::kMonochrome, kWhite, 1},     {ReductionMode::kGray4, kBlack, 0},
      {ReductionMode::kGray4, {128, 128, 128}, 1}, {ReductionMode::kGray4, {192, 192, 192}, 2}, {ReductionMode::kGray4, kWhite, 3},
  };
  for (const auto& c : cases) {
    Bitmap source = Uniform(37, 23, c.colour);
    const auto reduced = ReduceColors(source, c.mode, DitherMode::kStucki);
    const auto indices = Indices(*reduced);
    EXPECT_EQ(std::count(indices.begin(), indices.end(), c.index), 37 * 23)
        << static_cast<int>(c.mode) << " " << int(c.colour.r);
  }
}

TEST(ReduceColors, MonochromeThresholdAndTheDitherPatternOfMiddleGrey) {
  for (int grey : {127, 128}) {
    Bitmap one = Uniform(1, 1, {uint8_t(grey), uint8_t(grey), uint8_t(grey)});
    EXPECT_EQ(ReduceColors(one, ReductionMode::kMonochrome, DitherMode::kStucki)->Row(0)[0], grey == 128 ? 1 : 0) << grey;
  }
  Bitmap grey = Uniform(40, 40, {128, 128, 128});
  const auto reduced = ReduceColors(grey, ReductionMode::kMonochrome, DitherMode::kStucki);
  EXPECT_EQ(reduced->Row(0)[0], 1);
  const auto indices = Indices(*reduced);
  const auto whites = std::count(indices.begin(), indices.end(), 1);
  EXPECT_NEAR(whites, 1600 * 128 / 255, 16);
}

TEST(ReduceColors, ResultCarriesThePaletteAtTheStartOfA256EntryTable) {
  const struct {
    ReductionMode mode;
    std::vector<Rgb> palette;
  } cases[] = {
      {ReductionMode::kMonochrome, {kMonochromePalette.begin(), kMonochromePalette.end()}},
      {ReductionMode::kGray4, {kGray4Palette.begin(), kGray4Palette.end()}},
      {ReductionMode::kSystemPalette, {kSystemPalette.begin(), kSystemPalette.end()}},
  };
  for (const auto& c : cases) {
    Bitmap source = Uniform(3, 2, {255, 0, 0});
    const auto reduced = ReduceColors(source, c.mode, DitherMode::kNearest);
    ASSERT_EQ(reduced->Palette().size(), 256u);
    EXPECT_TRUE(std::equal(c.palette.begin(), c.palette.end(), reduced->Palette().begin())) << static_cast<int>(c.mode);
    EXPECT_TRUE(std::all_of(reduced->Palette().begin() + c.palette.size(), reduced->Palette().end(),
                            [](Rgb e) { return e == kBlack; }));
  }
  Bitmap red = Uniform(2, 2, {255, 0, 0});
  EXPECT_EQ(ReduceColors(red, ReductionMode::kSystemPalette, DitherMode::kNearest)->Row(1)[1], 13);  // the system palette's pure red
}

TEST(ReduceColors, NoneCopiesAndUnknownModesGiveAnEmptyBitmap) {
  Bitmap source = test::RandomPicture(5, 4, 9);
  source.SetFormat(PixelFormat::k8Bit);
  const Bitmap original = source;
  const auto copy = ReduceColors(source, ReductionMode::kNone, DitherMode::kStucki);
  ASSERT_EQ(copy->Format(), PixelFormat::k24Bit);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(copy->Pixel(x, y), original.Pixel(x, y));

  EXPECT_TRUE(ReduceColors(source, static_cast<ReductionMode>(4), DitherMode::kStucki)->Empty());
  EXPECT_TRUE(ReduceColors(source, ReductionMode::kGray4, static_cast<DitherMode>(7))->Empty());
  EXPECT_EQ(source.Format(), PixelFormat::k24Bit);  // the source was read as 24 bits all the same
}

TEST(ReduceColors, EveryDithererKeepsTheToneOfAUniformGrey) {
  for (DitherMode dither :
       {DitherMode::kFloydSteinberg, DitherMode::kStucki, DitherMode::kSierra, DitherMode::kJarvisJudiceNinke, DitherMode::kStevensonArce, DitherMode::kBurkes})
    for (ReductionMode mode : {ReductionMode::kGray4, ReductionMode::kMonochrome}) {
      Bitmap source = Uniform(64, 64, {100, 100, 100});
      const auto reduced = ReduceColors(source, mode, dither);
      double sum = 0;
      for (uint8_t i : Indices(*reduced)) sum += reduced->Palette()[i].r;
      // Negative sums are rounded toward zero, which brightens a little.
      EXPECT_NEAR(sum / (64 * 64), 101.0, 2.5) << "ditherer " << static_cast<int>(dither) << " mode " << static_cast<int>(mode);
    }
  Bitmap source = Uniform(8, 8, {100, 100, 100});
  const auto nearest = Indices(*ReduceColors(source, ReductionMode::kGray4, DitherMode::kNearest));
  EXPECT_EQ(std::count(nearest.begin(), nearest.end(), 1), 64);
}

TEST(FastColorLookup, TiesGoToTheLowerIndexAndTheFirstColourOfACellDecidesForIt) {
  Rgb entry;
  {
    FastColorLookup lookup({{0, 0, 0}, {64, 0, 0}});
    EXPECT_EQ(lookup.FindColor(32, 0, 0, entry), 0);  // as far from both
    EXPECT_EQ(entry, kBlack);
    EXPECT_EQ(lookup.FindColor(39, 0, 0, entry), 0);  // nearer to 64, but its cell already answered
  }
  {
    FastColorLookup lookup({{64, 0, 0}, {0, 0, 0}});
    EXPECT_EQ(lookup.FindColor(32, 0, 0, entry), 0);
    EXPECT_EQ(entry, (Rgb{64, 0, 0}));
  }
  {
    FastColorLookup lookup({{0, 0, 0}, {1, 1, 1}});  // both in the cell of black
    EXPECT_EQ(lookup.FindColor(1, 1, 1, entry), 0);
  }
  {
    FastColorLookup lookup({{0, 0, 0}, {64, 0, 0}});
    EXPECT_EQ(lookup.FindColor(39, 0, 0, entry), 1);  // a fresh cache searches for the colour itself
    EXPECT_EQ(lookup.FindColor(32, 0, 0, entry), 1);
  }
}

TEST(ReduceColors, RowAccessErrorsCarryTheirTexts) {
  Bitmap result;
  const std::vector<Rgb> palette(kGray4Palette.begin(), kGray4Palette.end());
  auto expectError = [](auto&& action, const std::string& text) {
    try {
      action();
      ADD_FAILURE() << "no error: " << text;
    } catch (const Exception& e) {
      EXPECT_EQ(std::string(e.what()), text);
    }
  };
  expectError([&] { DibWriter(result, PixelFormat::k4Bit, 2, 2, palette); }, "Invalid pixel format");
  EXPECT_THROW(DibWriter(result, PixelFormat::k1Bit, 2, 2, palette), ColorReductionError);
  expectError([&] { DibWriter(result, PixelFormat::k8Bit, 0, 2, palette); }, "Invalid image dimensions");
  EXPECT_THROW(DibWriter(result, PixelFormat::k8Bit, 2, 0, palette), ColorReductionError);
  DibWriter writer(result, PixelFormat::k8Bit, 2, 2, palette);
  expectError([&] { writer.ScanLine(2); }, "Scan line index out of range");
  EXPECT_THROW(writer.ScanLine(-1), GraphicOperationError);
  Bitmap empty;
  DibReader reader(empty);
  expectError([&] { reader.ScanLine(0); }, "Image has no DIB");
  EXPECT_THROW(reader.ScanLine(0), ColorReductionError);

  Bitmap noPixels(0, 3, PixelFormat::k24Bit);
  EXPECT_THROW(ReduceColors(noPixels, ReductionMode::kGray4, DitherMode::kStucki), ColorReductionError);
}

}  // namespace
}  // namespace bookloom
