#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "wolf/Lzss.h"
#include "wolf/PictureEncoding.h"

namespace bookloom {
namespace {

// Encodes the bitmap, checks the result against what reached the stream and the closing zero, and
// returns the uncompressed pixel stream.
std::string EncodeAndUnpack(const Bitmap& bitmap, uint16_t bitCount) {
  MemoryOutputStream stream;
  stream.WriteStr("head");  // the data is appended where the stream stands
  const uint32_t written = EncodePicture(stream, bitmap, bitCount);
  const std::string& bytes = stream.Bytes();
  EXPECT_EQ(written, bytes.size() - 4);
  EXPECT_EQ(bytes.substr(0, 4), "head");
  EXPECT_EQ(bytes.back(), '\0');
  return LzssDecode(std::string_view(bytes).substr(4, bytes.size() - 5), SIZE_MAX);
}

Bitmap Filled(int width, int height, PixelFormat format, Rgb colour) {
  Bitmap b(width, height, format);
  b.Fill(colour);
  return b;
}

Rgb Grey(uint8_t g) { return {g, g, g}; }

TEST(GrayToLevel, SplitsAt64And160And224) {
  const struct {
    int grey, level;
  } cases[] = {{0, 0},   {64, 0},  {65, 1},  {128, 1}, {160, 1},
               {161, 2}, {192, 2}, {224, 2}, {225, 3}, {255, 3}};
  for (const auto& c : cases) EXPECT_EQ(GrayToLevel(static_cast<uint8_t>(c.grey)), c.level) << c.grey;
}

TEST(EncodePicture, PacksRowsWithoutPadding) {
  const struct {
    const char* name;
    Bitmap bitmap;
    uint16_t bitCount;
    std::string stream;
  } cases[] = {
      {"white page at 1 bit", Filled(600, 3, PixelFormat::k1Bit, kWhite), 1, std::string(3 * 75, '\0')},
      {"black page at 1 bit", Filled(600, 2, PixelFormat::k1Bit, kBlack), 1, std::string(2 * 75, '\xFF')},
      {"white page at 2 bits", Filled(600, 3, PixelFormat::k24Bit, kWhite), 2, std::string(3 * 150, '\xFF')},
      {"black page at 2 bits", Filled(600, 2, PixelFormat::k24Bit, kBlack), 2, std::string(2 * 150, '\0')},
      {"601 pixels need 151 bytes", Filled(601, 2, PixelFormat::k24Bit, kWhite), 2,
       std::string(150, '\xFF') + '\xC0' + std::string(150, '\xFF') + '\xC0'},
      {"nothing to encode", Bitmap(0, 5, PixelFormat::k24Bit), 2, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(EncodeAndUnpack(c.bitmap, c.bitCount), c.stream) << c.name;
}

TEST(EncodePicture, PutsTheLeftmostPixelInTheHighBits) {
  Bitmap grey(6, 1, PixelFormat::k24Bit);
  const uint8_t greys[] = {0, 128, 192, 255, 192, 65};
  for (int x = 0; x < 6; ++x) grey.SetPixel(x, 0, Grey(greys[x]));
  EXPECT_EQ(EncodeAndUnpack(grey, 2), "\x1B\x90");  // 00 01 10 11, then 10 01 and empty pairs

  Bitmap blue(2, 1, PixelFormat::k24Bit);  // only the first stored byte, blue, counts
  blue.SetPixel(0, 0, {255, 255, 0});
  blue.SetPixel(1, 0, {0, 0, 255});
  EXPECT_EQ(EncodeAndUnpack(blue, 2), "\x30");

  // Four bits: the level is the top two bits of the index; the padding nibble of an odd row is no
  // pixel and leaves its bit pair 0.
  Bitmap indexed(5, 2, PixelFormat::k4Bit);
  const uint8_t rows[2][3] = {{0x0F, 0x84, 0xCF}, {0xFF, 0xFF, 0x3F}};
  for (int y = 0; y < 2; ++y) std::copy(rows[y], rows[y] + 3, indexed.Row(y));
  EXPECT_EQ(EncodeAndUnpack(indexed, 2), std::string("\x39\xC0\xFF\x00", 4));

  // One bit: every row byte is complemented, the bits past the last pixel too.
  Bitmap mono(10, 2, PixelFormat::k1Bit);
  mono.Row(0)[0] = 0xF0, mono.Row(0)[1] = 0x41;
  mono.Row(1)[0] = 0x00, mono.Row(1)[1] = 0xFF;
  EXPECT_EQ(EncodeAndUnpack(mono, 1), std::string("\x0F\xBE\xFF\x00", 4));
}

TEST(EncodePicture, CarriesRowsAcrossReadRequests) {
  // 600 bytes per row, 500 rows: the first request of 262144 bytes ends inside row 436. Pixel x of
  // row y has level (x + y) mod 4, so each row is one repeated byte that tells the row apart.
  const uint8_t greys[] = {0, 128, 192, 255};
  Bitmap page(2400, 500, PixelFormat::k24Bit);
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) page.SetPixel(x, y, Grey(greys[(x + y) % 4]));
  const char rowBytes[] = {'\x1B', '\x6C', '\xB1', '\xC6'};
  std::string expected;
  for (int y = 0; y < page.Height(); ++y) expected.append(600, rowBytes[y % 4]);
  EXPECT_TRUE(EncodeAndUnpack(page, 2) == expected);
}

TEST(EncodePicture, RefusesUnsuitableFormatsAndWritesNothing) {
  const struct {
    PixelFormat format;
    uint16_t bitCount;
  } cases[] = {
      {PixelFormat::k24Bit, 1}, {PixelFormat::k8Bit, 1},  {PixelFormat::k8Bit, 2},  {PixelFormat::k1Bit, 2},
      {PixelFormat::k4Bit, 1},  {PixelFormat::k24Bit, 0}, {PixelFormat::k24Bit, 4}, {PixelFormat::k24Bit, 24},
  };
  for (const auto& c : cases) {
    MemoryOutputStream stream;
    EXPECT_EQ(EncodePicture(stream, Bitmap(8, 8, c.format), c.bitCount), 0u)
        << static_cast<int>(c.format) << "/" << c.bitCount;
    EXPECT_TRUE(stream.Bytes().empty());
  }
}

}  // namespace
}  // namespace bookloom
