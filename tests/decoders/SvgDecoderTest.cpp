// SVG drawings written as text in the test: drawn on white at the size that fits the page, with
// the drawing's proportions and colours, and broken drawings refused naming the file.
#include <gtest/gtest.h>

#include "decoders/DecoderTestSupport.h"
#include "decoders/SvgDecoder.h"
#include "platform/Exception.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

// DecodeSvg with the test run's libraries, as a DecodeFunction.
std::unique_ptr<Graphic> DecodeSvgWithTestRuntime(std::string_view bytes, const std::u16string& name,
                                                  int64_t maxPixels) {
  return DecodeSvg(TestRuntime(), bytes, name, maxPixels);
}

std::string At(const Graphic& g, int x, int y) {
  const uint8_t* p = g.Row(y) + 3 * x;
  return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]);
}

// A drawing with the given attributes on its root, whose left half is a red square-cornered box and
// whose right half is left empty.
std::string Drawing(const std::string& attributes) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" " + attributes +
         "><rect x=\"0\" y=\"0\" width=\"50%\" height=\"100%\" fill=\"#ff0000\"/></svg>";
}

TEST(SvgDecoder, DrawsOnWhiteAtTheLargestSizeThatFitsThePage) {
  const struct {
    const char* attributes;
    int width, height;
  } cases[] = {
      {"width=\"60\" height=\"40\"", 600, 400},      // small: enlarged to the page's width
      {"width=\"3000\" height=\"8000\"", 300, 800},  // large: shrunk to the page's height
      {"width=\"10mm\" height=\"100mm\"", 80, 800},  // in other units
      {"width=\"100%\" height=\"100%\" viewBox=\"0 0 30 60\"", 400, 800},  // the view box's proportions
      {"", 600, 800},                                                      // no size at all: the page
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.attributes);
    const auto g = DecodeSvg(TestRuntime(), Drawing(c.attributes), u"d.svg");
    ASSERT_EQ(g->Width(), c.width);
    ASSERT_EQ(g->Height(), c.height);
    EXPECT_FALSE(g->HasAlpha());
    EXPECT_EQ(At(*g, c.width / 4, c.height / 2), "255,0,0");
    EXPECT_EQ(At(*g, c.width * 3 / 4, c.height / 2), "255,255,255");
  }
}

TEST(SvgDecoder, RefusesBrokenDrawingsNamingTheFile) {
  const std::string good = Drawing("width=\"60\" height=\"40\"");
  for (const std::string& bytes : {std::string(), std::string("not a drawing"), good.substr(0, 50),
                                   std::string("<html xmlns=\"http://www.w3.org/1999/xhtml\"/>")}) {
    try {
      DecodeSvg(TestRuntime(), bytes, u"d.svg");
      ADD_FAILURE() << bytes << " was drawn";
    } catch (const DecodeError& e) {
      EXPECT_NE(std::string(e.what()).find("d.svg"), std::string::npos) << e.what();
    }
  }
  test::ExpectDamageIsRefusedCleanly(DecodeSvgWithTestRuntime, good, "drawing");
}

}  // namespace
}  // namespace bookloom
