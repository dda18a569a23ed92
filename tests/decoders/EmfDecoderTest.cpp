#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "decoders/DecoderTestSupport.h"
#include "book/Startup.h"
#include "decoders/EmfDecoder.h"
#include "decoders/SvgDecoder.h"
#include "platform/Exception.h"
#include "platform/LittleEndian.h"
#include "support/TestData.h"
#include "support/TestMetafiles.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// DecodeEmf with the test run's libraries, as a DecodeFunction.
std::unique_ptr<Graphic> DecodeEmfWithTestRuntime(std::string_view bytes, const std::u16string& name,
                                                  int64_t maxPixels) {
  return DecodeEmf(TestRuntime(), bytes, name, maxPixels);
}

using test::EmfOf;
using test::EmfRecord;
using test::Ints;

std::string Floats(std::initializer_list<float> values) {
  std::string s;
  for (float v : values) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    AppendU32(s, bits);
  }
  return s;
}

// Record payloads.
std::string SolidBrush(int index, uint32_t colorRef) { return EmfRecord(39, Ints({index, 0, colorRef, 0})); }
std::string Select(uint32_t index) { return EmfRecord(37, Ints({index})); }
std::string Rectangle(int l, int t, int r, int b) { return EmfRecord(43, Ints({l, t, r, b})); }
const std::string kNoPen = Select(0x80000008);
const std::string kRedBrush = SolidBrush(1, 0x0000FF) + Select(1);

std::string At(const Graphic& g, int x, int y) {
  const uint8_t* p = g.Row(y) + 3 * x;
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// A bitmap info header and bits for StretchDIBits.
std::string DibRecord(int x, int y, int w, int h, int dibW, int dibH, int bits, const std::string& table,
                      const std::string& pixels, uint32_t compression = 0) {
  const std::string info = Ints({40, dibW, dibH}) + std::string("\x01\x00", 2) +
                           std::string(1, static_cast<char>(bits)) + std::string(1, '\0') +
                           Ints({compression, 0, 0, 0, 0, 0}) + table;
  const int offBmi = 8 + 72, offBits = offBmi + static_cast<int>(info.size());
  return EmfRecord(81, Ints({0, 0, 0, 0, x, y, 0, 0, dibW, dibH, offBmi, static_cast<int64_t>(info.size()),
                             offBits, static_cast<int64_t>(pixels.size()), 0, 0xCC0020, w, h}) +
                           info + pixels);
}

TEST(EmfDecoder, FillsARectangleWithTheSelectedBrush) {
  const auto g =
      DecodeEmf(TestRuntime(), EmfOf(96, 96, kRedBrush + kNoPen + Rectangle(10, 20, 50, 60)), u"r.emf");
  ASSERT_EQ(g->Width(), 96);
  ASSERT_EQ(g->Height(), 96);
  EXPECT_FALSE(g->HasAlpha());
  EXPECT_EQ(At(*g, 30, 40), "255,0,0");
  EXPECT_EQ(At(*g, 10, 20), "255,0,0");
  EXPECT_EQ(At(*g, 49, 59), "255,0,0");
  EXPECT_EQ(At(*g, 5, 5), "255,255,255");
  EXPECT_EQ(At(*g, 50, 60), "255,255,255");
}

TEST(EmfDecoder, FollowsMappingModesTransformsAndClipping) {
  const struct {
    const char* name;
    std::string records;
    int insideX, insideY, outsideX, outsideY;
  } cases[] = {
      {"anisotropic, viewport twice the window",
       EmfRecord(17, Ints({8})) + EmfRecord(9, Ints({100, 100})) + EmfRecord(11, Ints({200, 200})) +
           Rectangle(10, 10, 20, 20),
       38, 38, 18, 18},
      {"window origin moves the picture",
       EmfRecord(17, Ints({8})) + EmfRecord(10, Ints({-30, -30})) + Rectangle(0, 0, 10, 10), 35, 35, 5, 5},
      {"isotropic keeps the smaller scale",
       EmfRecord(17, Ints({7})) + EmfRecord(9, Ints({10, 10})) + EmfRecord(11, Ints({40, 20})) +
           Rectangle(0, 0, 10, 10),
       15, 15, 30, 15},
      {"low metric: tenths of a millimetre, y upwards",
       EmfRecord(17, Ints({2})) + EmfRecord(12, Ints({0, 80})) + Rectangle(0, 0, 100, 100), 30, 60, 30, 20},
      {"world transform translates", EmfRecord(35, Floats({1, 0, 0, 1, 40, 0})) + Rectangle(0, 0, 10, 10), 45,
       5, 5, 5},
      {"modified world transform scales after translating",
       EmfRecord(35, Floats({1, 0, 0, 1, 10, 0})) + EmfRecord(36, Floats({2, 0, 0, 2, 0, 0}) + Ints({3})) +
           Rectangle(0, 0, 10, 10),
       35, 15, 5, 5},
      {"clip rectangle", EmfRecord(30, Ints({0, 0, 20, 20})) + Rectangle(0, 0, 90, 70), 10, 10, 40, 40},
      {"excluded rectangle", EmfRecord(29, Ints({0, 0, 20, 20})) + Rectangle(0, 0, 90, 70), 40, 40, 10, 10},
      {"restored device context drops the clip",
       EmfRecord(33) + EmfRecord(30, Ints({0, 0, 20, 20})) + EmfRecord(34, Ints({-1})) +
           Rectangle(0, 0, 90, 70),
       40, 40, 95, 75},
      {"clip region in device units",
       EmfRecord(75, Ints({48, 5}) + Ints({32, 1, 1, 16, 60, 0, 80, 20}) + Ints({60, 0, 80, 20})) +
           Rectangle(0, 0, 90, 70),
       70, 10, 10, 10},
      {"filled path",
       EmfRecord(59) + Rectangle(50, 50, 60, 60) + EmfRecord(60) + EmfRecord(62, Ints({0, 0, 0, 0})), 55, 55,
       45, 45},
      {"polygon of 16-bit points",
       EmfRecord(86,
                 Ints({0, 0, 0, 0, 3}) + std::string("\x0a\x00\x0a\x00\x50\x00\x0a\x00\x0a\x00\x40\x00", 12)),
       20, 20, 70, 60},
      {"ellipse", EmfRecord(42, Ints({10, 10, 70, 50})), 40, 30, 12, 12},
      {"pie", EmfRecord(47, Ints({10, 10, 70, 70, 70, 40, 40, 10})), 50, 30, 30, 50},
  };
  for (const auto& c : cases) {
    const auto g = DecodeEmf(TestRuntime(), EmfOf(96, 96, kRedBrush + kNoPen + c.records), u"m.emf");
    EXPECT_EQ(At(*g, c.insideX, c.insideY), "255,0,0") << c.name;
    EXPECT_EQ(At(*g, c.outsideX, c.outsideY), "255,255,255") << c.name;
  }
}

TEST(EmfDecoder, StrokesWithThePenAndHatchesWithTheBrush) {
  // A 5-pixel blue pen along y = 20; a black cross-hatched brush on a transparent background.
  const std::string records = EmfRecord(38, Ints({2, 0, 5, 0, 0xFF0000})) + Select(2) +
                              EmfRecord(27, Ints({10, 20})) + EmfRecord(54, Ints({80, 20})) +
                              Select(0x80000008) + EmfRecord(39, Ints({3, 2, 0x000000, 4})) + Select(3) +
                              EmfRecord(18, Ints({1})) + Rectangle(10, 40, 74, 72);
  const auto g = DecodeEmf(TestRuntime(), EmfOf(96, 96, records), u"p.emf");
  EXPECT_EQ(At(*g, 40, 20), "0,0,255");
  EXPECT_EQ(At(*g, 40, 18), "0,0,255");
  EXPECT_EQ(At(*g, 40, 25), "255,255,255");
  int black = 0, white = 0;
  for (int y = 40; y < 72; ++y)
    for (int x = 10; x < 74; ++x) (At(*g, x, y) == "0,0,0" ? black : white) += 1;
  EXPECT_GT(black, 64 * 32 / 8);  // two lines of every 8 x 8 tile
  EXPECT_GT(white, 64 * 32 / 2);
}

TEST(EmfDecoder, DrawsBitmapsOfEveryDepth) {
  // Two-pixel bitmaps, left pixel red and right pixel blue, stretched over 40 x 20 pixels.
  const std::string twoColours = std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8);  // red, blue
  const struct {
    int bits;
    std::string table, pixels;
    uint32_t compression;
  } cases[] = {
      {1, twoColours, std::string("\x40\0\0\0", 4), 0},
      {4, twoColours, std::string("\x01\0\0\0", 4), 0},
      {8, twoColours, std::string("\x00\x01\0\0", 4), 0},
      {16, "", std::string("\x00\x7C\x1F\x00", 4), 0},
      {16, Ints({0xF800, 0x07E0, 0x001F}), std::string("\x00\xF8\x1F\x00", 4), 3},
      {24, "", std::string("\x00\x00\xFF\xFF\x00\x00\0\0", 8), 0},
      {32, "", std::string("\x00\x00\xFF\x00\xFF\x00\x00\x00", 8), 0},
  };
  for (const auto& c : cases) {
    const std::string records = DibRecord(10, 10, 40, 20, 2, 1, c.bits, c.table, c.pixels, c.compression);
    const auto g = DecodeEmf(TestRuntime(), EmfOf(96, 96, records), u"d.emf");
    EXPECT_EQ(At(*g, 15, 20), "255,0,0") << c.bits << " bits";
    EXPECT_EQ(At(*g, 45, 20), "0,0,255") << c.bits << " bits";
    EXPECT_EQ(At(*g, 60, 20), "255,255,255") << c.bits << " bits";
  }
  // Rows of a bitmap are stored from the bottom: a 1 x 2 bitmap of red over blue.
  const auto g = DecodeEmf(
      TestRuntime(),
      EmfOf(96, 96,
            DibRecord(0, 0, 20, 40, 1, 2, 24, "", std::string("\xFF\x00\x00\x00\x00\x00\xFF\x00", 8))),
      u"d.emf");
  EXPECT_EQ(At(*g, 10, 5), "255,0,0");
  EXPECT_EQ(At(*g, 10, 35), "0,0,255");
}

// A metafile whose one record writes "HI" in green bold DejaVu Sans, 40 pixels high, at (10, 10).
std::string GreenTextEmf() {
  std::string face;
  for (char16_t c : std::u16string(u"DejaVu Sans")) AppendU16(face, c);
  face.resize(64, '\0');
  const std::string font = EmfRecord(82, Ints({4, -40, 0, 0, 0, 700}) + std::string(8, '\0') + face);
  std::string text = Ints({0, 0, 0, 0, 1}) + Floats({1, 1}) + Ints({10, 10, 2, 76, 0, 0, 0, 0, 0, 0});
  AppendU16(text, u'H');
  AppendU16(text, u'I');
  const std::string records =
      font + Select(4) + EmfRecord(24, Ints({0x00FF00})) + EmfRecord(18, Ints({1})) + EmfRecord(84, text);
  return EmfOf(96, 96, records);
}

TEST(EmfDecoder, WritesTextInTheSelectedFont) {
  const auto g = DecodeEmf(TestRuntime(), GreenTextEmf(), u"t.emf");
  int green = 0, elsewhere = 0;
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 96; ++x) {
      const std::string c = At(*g, x, y);
      if (c == "255,255,255") continue;
      (x >= 10 && x < 70 && y >= 10 && y < 55 ? green : elsewhere) += c == "0,255,0" ? 1 : 0;
    }
  EXPECT_GT(green, 100);  // two bold capitals of 40 pixels, below and right of the reference point
  EXPECT_EQ(elsewhere, 0);
}

// Cairo's fonts outlive the metafile player: a program that also drew text through another of cairo's
// users (an SVG drawing here) ends normally.
TEST(EmfDecoderDeathTest, ProgramEndsNormallyAfterTextInAMetafileAndADrawing) {
  EXPECT_EXIT(
      {
        {
          const Startup startup;
          DecodeSvg(startup.Libraries(),
                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"90\" height=\"30\">"
                    "<text x=\"0\" y=\"20\" font-family=\"DejaVu Serif\">Text</text></svg>",
                    u"t.svg");
          DecodeEmf(startup.Libraries(), GreenTextEmf(), u"t.emf");
        }
        std::exit(0);
      },
      testing::ExitedWithCode(0), "");
}

TEST(EmfDecoder, RendersAtTheFrameSizeCappedAtTheLimit) {
  const auto capped = DecodeEmf(TestRuntime(), EmfOf(30000, 10, ""), u"wide.emf");
  EXPECT_EQ(capped->Width(), 20000);
  EXPECT_EQ(capped->Height(), 6);
  const auto small = DecodeEmf(TestRuntime(), EmfOf(1000, 1000, ""), u"big.emf", 10000);
  EXPECT_EQ(small->Width(), 100);
  EXPECT_EQ(small->Height(), 100);
}

// Each failure is the DecodeError the program raises for a picture: the file named, then the reason.
TEST(EmfDecoder, RefusesDamagedFiles) {
  const std::string good = EmfOf(96, 96, kRedBrush + Rectangle(10, 20, 50, 60));
  const struct {
    const char* name;
    std::string file;
    const char* reason;
  } cases[] = {
      {"no header", EmfRecord(14, Ints({0, 0, 20})) + std::string(100, '\0'),
       "it is not an enhanced metafile (no header record)"},
      {"no end record", good.substr(0, good.size() - 20), "the metafile ends before its end record"},
      {"record past the end", good.substr(0, good.size() - 4), "record 4 has a wrong size"},
      {"too few points", EmfOf(96, 96, EmfRecord(87, Ints({0, 0, 0, 0, 1000}) + Ints({1, 2}))),
       "record 1 (type 87) is damaged"},
      {"no pixels", EmfOf(96, 96, "").replace(8, 16, Ints({0, 0, -1, 0})).replace(24, 16, Ints({0, 0, 0, 0})),
       "the picture has no size"},
  };
  for (const auto& c : cases) {
    try {
      DecodeEmf(TestRuntime(), c.file, u"bad.emf");
      ADD_FAILURE() << c.name << " was accepted";
    } catch (const DecodeError& e) {
      EXPECT_EQ(e.Reason(), c.reason) << c.name;
      EXPECT_EQ(std::string(e.what()), std::string("Cannot read picture \"bad.emf\": ") + c.reason) << c.name;
    }
  }
  EXPECT_EQ(test::ExpectDamageIsRefusedCleanly(DecodeEmfWithTestRuntime, good, "r.emf"), 0);
}

// The program's picture limits, not only the drawing's own, refuse a frame before it is drawn.
TEST(EmfDecoder, RefusesAFrameBeyondTheProgramsLimits) {
  const test::ScopedPictureLimits limits({.maxSide = 50, .maxPixels = 2500});
  try {
    DecodeEmf(TestRuntime(), EmfOf(96, 20, kRedBrush + Rectangle(10, 2, 50, 18)), u"wide.emf");
    ADD_FAILURE() << "a frame wider than the side limit was drawn";
  } catch (const DecodeError& e) {
    EXPECT_EQ(e.Reason(), "96x20 pixels is larger than the limit of 50 pixels a side and 2500 pixels in all");
  }
  EXPECT_EQ(DecodeEmf(TestRuntime(), EmfOf(50, 50, ""), u"square.emf")->Width(), 50);
}

TEST(EmfDecoder, RendersTheSampleFiles) {
  REQUIRE_TESTDATA();
  for (const auto& path : test::SampleFiles("pictures/emf")) {
    SCOPED_TRACE(path.filename().string());
    const auto g = test::DecodeFile(path);
    EXPECT_GE(g->Width(), 50);
    const auto img = test::ToRgbOverWhite(*g);
    const bool allWhite = std::all_of(img.rgb.begin(), img.rgb.end(), [](uint8_t v) { return v == 255; });
    EXPECT_EQ(allWhite, path.filename() == "test-030.emf");  // only the empty one draws nothing
    // Damaged copies are drawn small: what matters is that each is refused or drawn safely.
    test::ExpectDamageIsRefusedCleanly(DecodeEmfWithTestRuntime, test::ReadBytes(path),
                                       path.filename().string(), 200 * 200);
  }
  for (const auto& path : test::SampleFiles("pictures/emf/bad")) {
    try {
      FunctionDecoder(DecodeEmfWithTestRuntime).LoadFromFile(path.u16string());
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find(path.filename().string()), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace bookloom
