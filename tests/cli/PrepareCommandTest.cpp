// bookloom-cli prepare: the options reach the page fitting, the page is written as grey PNG, and
// bad arguments and unreadable pictures fail with a message.
#include <gtest/gtest.h>

#include "decoders/PictureFormats.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"
#include "support/CliRun.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom::test {
namespace {

namespace fs = std::filesystem;

CliRun Prepare(const ScratchDir& dir, const std::string& arguments) {
  return RunCli(dir.Path(), "prepare " + arguments);
}

// A black picture of the given size, as a grey PNG.
fs::path BlackPicture(const ScratchDir& dir, int width, int height) {
  const fs::path file = dir / "black.png";
  WriteGrayPng(Utf8ToUtf16(file.string()), width, height, std::vector<uint8_t>(size_t(width) * height, 0));
  return file;
}

// The rectangle of non-white pixels of the written page, as "left,top right,bottom" (exclusive),
// after checking that the page is 600 x 800 and holds only the four device greys.
std::string DarkArea(const fs::path& page) {
  const std::u16string name = Utf8ToUtf16(page.string());
  const auto graphic = PictureDecoders(TestRuntime()).Find(name)->LoadFromFile(name);
  EXPECT_EQ(graphic->Width(), 600);
  EXPECT_EQ(graphic->Height(), 800);
  int left = 600, top = 800, right = 0, bottom = 0;
  for (int y = 0; y < graphic->Height(); ++y)
    for (int x = 0; x < graphic->Width(); ++x) {
      const uint8_t v = graphic->Row(y)[3 * x];
      EXPECT_TRUE(v == 0 || v == 128 || v == 192 || v == 255) << x << "," << y << ": " << int(v);
      if (v == 255) continue;
      left = std::min(left, x), top = std::min(top, y), right = std::max(right, x + 1),
      bottom = std::max(bottom, y + 1);
    }
  return std::to_string(left) + "," + std::to_string(top) + " " + std::to_string(right) + "," +
         std::to_string(bottom);
}

TEST(PrepareCommand, PlacesThePictureAsTheOptionsSay) {
  ScratchDir dir;
  const std::string in = BlackPicture(dir, 300, 200).string();
  const std::string out = (dir / "page.png").string();
  const struct {
    const char* options;
    const char* area;
  } cases[] = {
      {"", "150,300 450,500"},                                    // a book picture: its own size, centred
      {"--mode 1", "150,300 450,500"},                            // black and white
      {"--picture-mode=mono", "150,300 450,500"},                 // the same, by name
      {"--enlarge", "0,200 600,600"},                             // as wide as the page
      {"--margins 100,0,0,0", "200,300 500,500"},                 // centred in columns 100 to 599
      {"--mode 1 --enlarge --margins 0,0,0,400", "0,0 600,400"},  // the area 600 x 400, filled
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const CliRun run = Prepare(dir, in + " " + out + " --force " + c.options);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_EQ(DarkArea(out), c.area);
  }
}

// A picture that becomes several pages is written as OUT-1.png, OUT-2.png, ...: the halves of a
// spread, the frames of an animated GIF (made with GraphicsMagick when it is installed).
TEST(PrepareCommand, WritesOneFileAPage) {
  ScratchDir dir;
  const std::string spread = BlackPicture(dir, 900, 300).string();
  const struct {
    std::string arguments;
    std::vector<std::string> files;
  } cases[] = {
      {spread + " out.png", {"out.png"}},
      {spread + " out.png --split ltr", {"out-1.png", "out-2.png"}},
      {spread + " pages/out.png --split rtl --rotate auto", {"pages/out-1.png", "pages/out-2.png"}},
  };
  fs::create_directory(dir / "pages");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments);
    ASSERT_EQ(Prepare(dir, c.arguments).status, 0);
    for (const std::string& file : c.files) {
      EXPECT_TRUE(fs::exists(dir / file)) << file;
      fs::remove(dir / file);
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
              2);  // black.png, pages
  }
  if (std::system("gm version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no GraphicsMagick (gm)";
  ASSERT_EQ(std::system(("gm convert -delay 10 -size 40x30 xc:black xc:white xc:gray " +
                         Quoted(dir / "anim.gif") + " >/dev/null 2>&1")
                            .c_str()),
            0);
  const CliRun first = Prepare(dir, "anim.gif frame.png");
  ASSERT_EQ(first.status, 0);
  EXPECT_TRUE(Contains(first.errors, "anim.gif: 2 pages or frames of its 3 left out")) << first.errors;
  EXPECT_EQ(DarkArea(dir / "frame.png"), "280,385 320,415");
  ASSERT_EQ(Prepare(dir, "anim.gif frame.png --all-frames").status, 0);
  EXPECT_EQ(DarkArea(dir / "frame-1.png"), "280,385 320,415");  // black
  EXPECT_EQ(DarkArea(dir / "frame-2.png"), "600,800 0,0");      // white: nothing dark
  EXPECT_EQ(DarkArea(dir / "frame-3.png"), "280,385 320,415");  // grey
}

TEST(PrepareCommand, BadArgumentsAndUnreadablePicturesFailWithAMessage) {
  ScratchDir dir;
  const std::string in = BlackPicture(dir, 4, 4).string();
  const std::string out = (dir / "page.png").string();
  for (const std::string& arguments :
       {in, in + " " + out + " --mode 3", in + " " + out + " --margins 1,2,3",
        in + " " + out + " --margins 1,2,3,-4", in + " " + out + " --size 5", in + " " + out + " extra"}) {
    SCOPED_TRACE(arguments);
    const CliRun run = Prepare(dir, arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.errors.find("bookloom-cli: "), std::string::npos) << run.errors;
  }
  const std::string missing = (dir / "missing.jpg").string();
  const CliRun run = Prepare(dir, missing + " " + out);
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find(missing), std::string::npos) << run.errors;
  EXPECT_FALSE(fs::exists(out));
  EXPECT_EQ(Prepare(dir, in + " " + in + " --force").status, 1);  // the page would replace its picture
  EXPECT_EQ(ReadBytes(in).substr(1, 3), "PNG");
  // An existing page is replaced only with --force, as make and extract replace files.
  WriteBytes(dir / "old.png", "mine");
  const CliRun refused = Prepare(dir, in + " old.png");
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Contains(refused.errors, "old.png exists: give --force to replace it")) << refused.errors;
  EXPECT_EQ(ReadBytes(dir / "old.png"), "mine");
  EXPECT_EQ(Prepare(dir, in + " old.png --force").status, 0);
  EXPECT_EQ(ReadBytes(dir / "old.png").substr(1, 3), "PNG");
}

// GraphicsMagick and the Ghostscript it runs for PostScript print nothing of their own: a picture
// they cannot read gives one line naming the file.
TEST(PrepareCommand, APictureGraphicsMagickCannotReadGivesOneLine) {
  REQUIRE_TESTDATA();
  ScratchDir dir;
  const std::string eps = TestDataPath("pictures/eps/bad/timeout-d6757035.eps").string();
  const CliRun run = Prepare(dir, Quoted(eps) + " page.png");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.errors, "bookloom-cli: prepare: Cannot read picture \"" + eps +
                            "\": not a readable EPT file: Postscript delegate failed\n");
  EXPECT_EQ(run.out, "");
  // The library that reads Windows metafiles prints nothing of its own either.
  const std::string wmf = ReadBytes(TestDataPath("pictures/wmf/clock.wmf"));
  WriteBytes(dir / "half.wmf", wmf.substr(0, wmf.size() / 2));
  const CliRun half = Prepare(dir, "half.wmf page.png");
  EXPECT_EQ(half.status, 1);
  EXPECT_EQ(half.errors,
            "bookloom-cli: prepare: Cannot read picture \"half.wmf\": not a readable WMF file: Failed to "
            "scan file\n");
}

}  // namespace
}  // namespace bookloom::test
