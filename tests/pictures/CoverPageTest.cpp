#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pictures/CoverPage.h"
#include "pictures/TestPictures.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

using test::Box;
using test::CountOf;
using test::Filled;
using test::NonWhiteBox;

class CoverPageTest : public ::testing::Test {
 protected:
  // A black picture of that size as a PPM file; its name.
  std::u16string BlackPicture(int width, int height) {
    const auto path = dir_ / "cover.ppm";
    test::WritePpm(path, Filled(width, height, kBlack));
    return path.u16string();
  }
  CoverPage Cover(std::u16string fileName, int mode, bool enlarge, int margin = 0) {
    CoverPage cover;
    cover.fileName = std::move(fileName);
    cover.coverMode = mode;
    cover.enlarge = enlarge;
    cover.margins.left = cover.margins.right = cover.margins.top = cover.margins.bottom = margin;
    return cover;
  }

  test::ScratchDir dir_;
};

TEST_F(CoverPageTest, RendersNothingWithoutAModeOrAnExistingFile) {
  const std::u16string picture = BlackPicture(10, 10);
  const std::u16string folder = (dir_ / "folder.ppm").u16string();
  std::filesystem::create_directory(std::filesystem::path(folder));
  const struct {
    const char* name;
    std::u16string fileName;
    int mode;
  } cases[] = {
      {"mode 0", picture, 0},   {"negative mode", picture, -1},
      {"no file name", u"", 1}, {"missing file", (dir_ / "missing.ppm").u16string(), 1},
      {"a folder", folder, 2},
  };
  for (const auto& c : cases) {
    Bitmap target = Filled(3, 3, {1, 2, 3});
    EXPECT_FALSE(Cover(c.fileName, c.mode, true).RenderCover(TestRuntime(), target)) << c.name;
    EXPECT_EQ(target.Width(), 3) << c.name;
    EXPECT_EQ(target.Pixel(1, 1), (Rgb{1, 2, 3})) << c.name;
  }
}

TEST_F(CoverPageTest, FillsThePageOnlyWhenEnlarging) {
  const std::u16string picture = BlackPicture(300, 400);
  Bitmap page;
  ASSERT_TRUE(Cover(picture, 2, true).RenderCover(TestRuntime(), page));
  EXPECT_EQ(page.Format(), PixelFormat::k24Bit);
  EXPECT_EQ(CountOf(page, kBlack), 600 * 800);

  ASSERT_TRUE(Cover(picture, 2, false).RenderCover(TestRuntime(), page));
  EXPECT_EQ(NonWhiteBox(page), (Box{150, 200, 300, 400}));
  EXPECT_EQ(CountOf(page, kBlack), 300 * 400);
}

TEST_F(CoverPageTest, MarginsMakeTheAreaAndMonochromeGivesOneBit) {
  Bitmap page;
  ASSERT_TRUE(Cover(BlackPicture(1000, 1000), 1, true, 100).RenderCover(TestRuntime(), page));
  ASSERT_EQ(page.Format(), PixelFormat::k1Bit);
  EXPECT_EQ(page.Width(), 600);
  EXPECT_EQ(page.Height(), 800);
  EXPECT_EQ(NonWhiteBox(page), (Box{100, 200, 400, 400}));
  EXPECT_EQ(CountOf(page, kBlack), 400 * 400);

  // Margins that leave no room (possible only in an edited settings file) are refused.
  CoverPage noArea = Cover(BlackPicture(120, 80), 1, true);
  noArea.margins.left = noArea.margins.right = 300;
  EXPECT_THROW(noArea.RenderCover(TestRuntime(), page), MarginsError);
}

TEST_F(CoverPageTest, AnUndecodableFileRaises) {
  const auto path = dir_ / "bad.ppm";
  std::ofstream(path) << "not a picture";
  Bitmap page;
  EXPECT_THROW(Cover(path.u16string(), 1, true).RenderCover(TestRuntime(), page), DecodeError);
}

TEST(CoverPage, StartsFromDefaultsAndSetDefaultsRestoresThem) {
  CoverPage defaults;
  EXPECT_TRUE(defaults.fileName.empty());
  EXPECT_EQ(defaults.coverMode, 0);
  EXPECT_TRUE(defaults.enlarge);
  EXPECT_EQ(defaults.margins.left + defaults.margins.right + defaults.margins.top + defaults.margins.bottom,
            0);

  CoverPage cover;
  cover.fileName = u"cover.bmp";
  cover.coverMode = 2;
  cover.enlarge = false;
  cover.margins.top = 3;
  cover.SetDefaults();
  EXPECT_TRUE(cover.fileName.empty());
  EXPECT_EQ(cover.coverMode, 0);
  EXPECT_TRUE(cover.enlarge);
  EXPECT_EQ(cover.margins.top, 0);
}

}  // namespace
}  // namespace bookloom
