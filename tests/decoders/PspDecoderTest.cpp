#include <gtest/gtest.h>
#include <zlib.h>

#include "decoders/DecoderTestSupport.h"
#include "decoders/PspDecoder.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

using test::ReadBytes;

std::string U16(uint16_t v) {
  std::string s;
  AppendU16(s, v);
  return s;
}
std::string U32(uint32_t v) {
  std::string s;
  AppendU32(s, v);
  return s;
}

// Writes Paint Shop Pro files of one format version, block by block.
struct PspWriter {
  int major;

  std::string Block(uint16_t id, const std::string& info, const std::string& rest = "") const {
    std::string b("~BK\0", 4);
    b += U16(id);
    if (major < 4) return b + U32(info.size()) + U32(info.size() + rest.size()) + info + rest;
    return b + U32(info.size() + 4 + rest.size()) + U32(info.size() + 4) + info + rest;
  }
  // The layer bank: a block without an information chunk.
  std::string LayerBank(const std::string& layers) const {
    std::string b("~BK\0", 4);
    b += U16(3);
    return b + (major < 4 ? U32(0) : "") + U32(layers.size()) + layers;
  }
  std::string File(const std::string& blocks) const {
    return std::string("Paint Shop Pro Image File\n\x1a\0\0\0\0\0", 32) + U16(major) + U16(0) + blocks;
  }
  std::string Attributes(int width, int height, int depth, int compression) const {
    std::string a = U32(width) + U32(height) + std::string(9, '\0') + U16(compression) + U16(depth) + U16(1) +
                    U32(1u << std::min(depth, 24)) + std::string(1, '\0') + U32(0) + U32(0) + U16(1);
    return Block(0, major < 4 ? a : a + U32(0));
  }
  std::string Channel(uint16_t bitmapType, uint16_t channelType, const std::string& data) const {
    return Block(5, U32(data.size()) + U32(data.size()) + U16(bitmapType) + U16(channelType), data);
  }
  // A layer with its image rectangle at (left, top) and its data filling the rectangle.
  std::string Layer(int left, int top, int width, int height, int opacity, bool visible,
                    const std::string& channels) const {
    std::string info = major < 4 ? std::string(256, '\0') : U16(4) + "name";
    info += std::string(1, major < 4 ? '\0' : '\1');
    for (int v : {left, top, left + width, top + height, 0, 0, width, height}) info += U32(v);
    info +=
        std::string(1, static_cast<char>(opacity)) + std::string(1, '\0') + std::string(1, visible ? 1 : 0);
    info += std::string(80, '\0');  // the fields nobody needs here
    return Block(4, info, major < 4 ? channels : U32(8) + U16(1) + U16(3) + channels);
  }
};

std::string Rle(const std::string& data) {  // literal runs only, at most 128 bytes each
  std::string out;
  for (size_t i = 0; i < data.size(); i += 128) {
    const std::string part = data.substr(i, 128);
    out += static_cast<char>(part.size()) + part;
  }
  return out;
}

std::string Deflate(const std::string& data) {
  uLongf size = compressBound(data.size());
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size, reinterpret_cast<const Bytef*>(data.data()),
           data.size());
  out.resize(size);
  return out;
}

// A format-3 file with a 3 x 2 background (uncompressed rows padded to four bytes), a
// half-transparent 1 x 1 layer over its middle, and an invisible layer.
std::string LayeredFile() {
  const PspWriter w{3};
  const std::string red = std::string("\xFF\xFF\xFF\0\xFF\xFF\xFF\0", 8), zero(8, '\0');
  const std::string background =
      w.Layer(0, 0, 3, 2, 255, true, w.Channel(0, 1, red) + w.Channel(0, 2, zero) + w.Channel(0, 3, zero));
  const std::string blue =
      w.Layer(1, 1, 1, 1, 255, true,
              w.Channel(0, 1, std::string(4, '\0')) + w.Channel(0, 2, std::string(4, '\0')) +
                  w.Channel(0, 3, std::string(4, '\xFF')) +
                  w.Channel(1, 0, std::string(1, '\x80') + std::string(3, '\0')));
  const std::string hidden = w.Layer(0, 0, 3, 2, 255, false, w.Channel(0, 1, zero) + w.Channel(0, 2, red));
  return w.File(w.Attributes(3, 2, 24, 0) + w.LayerBank(background + blue + hidden));
}

TEST(PspDecoder, ComposesTheVisibleLayersWithTheirPositionsAndTransparency) {
  const auto g = DecodePsp(LayeredFile(), u"layers.psp");
  ASSERT_EQ(g->Width(), 3);
  ASSERT_EQ(g->Height(), 2);
  EXPECT_FALSE(g->HasAlpha());
  EXPECT_EQ(test::PixelText(*g), "255,0,0 255,0,0 255,0,0 255,0,0 127,0,128 255,0,0");
}

TEST(PspDecoder, PrefersTheCompositeImageAndReadsPalettesAndCompression) {
  const PspWriter w{6};
  // The composite: 5 x 1, 4 bits a pixel, its own palette, RLE; the layer would be black.
  const std::string palette = w.Block(2, U32(2), std::string("\x30\x20\x10\0\xFF\xFF\xFF\0", 8));
  const std::string composite =
      w.Block(17, U32(5) + U32(1) + U16(4) + U16(1) + U16(1) + U32(16) + U16(0)) +
      w.Block(9, U16(1) + U16(1), palette + w.Channel(0, 0, Rle(std::string("\x01\x10\x10\0", 4))));
  const std::string thumbnail = w.Block(17, U32(1) + U32(1) + U16(24) + U16(0) + U16(1) + U32(0) + U16(1)) +
                                w.Block(9, U16(1) + U16(3), w.Channel(0, 1, std::string(4, '\x55')));
  const std::string bank = w.Block(16, U32(2), thumbnail + composite);
  const std::string layer = w.Layer(0, 0, 5, 1, 255, true, w.Channel(0, 0, std::string(8, '\0')));
  const std::string file = w.File(w.Attributes(5, 1, 4, 1) + bank + w.LayerBank(layer));
  EXPECT_EQ(test::PixelText(*DecodePsp(file, u"v6.psp")),
            "16,32,48 255,255,255 255,255,255 16,32,48 255,255,255");

  // Without the composite, the layer counts: an LZ77-compressed 8-bit greyscale layer.
  const std::string grey =
      w.Layer(0, 0, 5, 1, 255, true, w.Channel(0, 0, Deflate(std::string("\x00\x40\x80\xC0\xFF", 5))));
  EXPECT_EQ(test::PixelText(*DecodePsp(w.File(w.Attributes(5, 1, 8, 2) + w.LayerBank(grey)), u"g.psp")),
            "0,0,0 64,64,64 128,128,128 192,192,192 255,255,255");
}

TEST(PspDecoder, KeepsTransparencyThatNoLayerCovers) {
  const PspWriter w{3};
  const std::string layer = w.Layer(1, 0, 1, 1, 255, true, w.Channel(0, 1, std::string(4, '\x09')));
  const auto g = DecodePsp(w.File(w.Attributes(2, 1, 24, 0) + w.LayerBank(layer)), u"t.psp");
  ASSERT_TRUE(g->HasAlpha());
  EXPECT_EQ(test::PixelText(*g), "0,0,0,0 9,0,0,255");
}

TEST(PspDecoder, RefusesOversizedAndDamagedFiles) {
  const PspWriter w{3};
  const struct {
    const char* name;
    std::string file;
    const char* reason;
  } cases[] = {
      {"30000 x 10", w.File(w.Attributes(30000, 10, 24, 0)), "limit"},
      {"huge layer", w.File(w.Attributes(2, 2, 24, 0) + w.LayerBank(w.Layer(0, 0, 30000, 10, 255, true, ""))),
       "limit"},
      {"no signature", std::string(40, 'P'), "not a Paint Shop Pro file"},
      {"format 2", PspWriter{2}.File(""), "format 2"},
      {"no layers", w.File(w.Attributes(2, 2, 24, 0)), "no layers"},
      {"16 bits", w.File(w.Attributes(2, 2, 16, 0)), "16 bits"},
      {"short channel",
       w.File(w.Attributes(4, 4, 24, 0) +
              w.LayerBank(w.Layer(0, 0, 4, 4, 255, true, w.Channel(0, 1, "abc")))),
       "cut short"},
  };
  for (const auto& c : cases) {
    try {
      DecodePsp(c.file, u"made.psp");
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << c.name << ": " << e.what();
    }
  }
  EXPECT_EQ(test::ExpectDamageIsRefusedCleanly(DecodePsp, LayeredFile(), "layers.psp"), 0);
}

TEST(PspDecoder, DecodesTheSamplesAlikeWhateverTheirCompression) {
  REQUIRE_TESTDATA();
  std::vector<test::RgbImage> decoded;
  for (const char* name : {"PSP_Uncompressed.psp", "PSP_RLE.psp", "PSP_LZ77.psp"}) {
    const auto path = test::TestDataPath(std::string("pictures/psp/") + name);
    const auto g = test::DecodeFile(path);
    EXPECT_EQ(g->Width(), 200) << name;
    EXPECT_EQ(g->Height(), 286) << name;
    decoded.push_back(test::ToRgbOverWhite(*g));
    test::ExpectDamageIsRefusedCleanly(DecodePsp, ReadBytes(path), name);
  }
  EXPECT_EQ(test::ComparePixels(decoded[0], decoded[1]).max, 0);
  EXPECT_EQ(test::ComparePixels(decoded[0], decoded[2]).max, 0);
  EXPECT_GT(
      test::ComparePixels(decoded[0], test::RgbImage{200, 286, std::vector<uint8_t>(200 * 286 * 3)}).mean,
      50);
}

}  // namespace
}  // namespace bookloom
