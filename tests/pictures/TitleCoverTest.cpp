#include <gtest/gtest.h>

#include <algorithm>

#include "pictures/TitleCover.h"
#include "support/TestRuntime.h"

namespace bookloom {
namespace {

bool Inked(const Graphic& page, int x, int y) { return page.Row(y)[x] < 128; }

// The rows at which two covers differ, first and last; {-1, -1} when they are the same.
std::pair<int, int> DifferingRows(const Graphic& a, const Graphic& b) {
  std::pair<int, int> rows{-1, -1};
  for (int y = 0; y < a.Height(); ++y)
    if (!std::equal(a.Row(y), a.Row(y) + a.Width(), b.Row(y))) rows = {rows.first < 0 ? y : rows.first, y};
  return rows;
}

// The tallest run of rows with ink between the frames' sides, from row `top` down to `bottom`.
int TallestInkedRun(const Graphic& page, int top, int bottom) {
  int tallest = 0, run = 0;
  for (int y = top; y < bottom; ++y) {
    bool inked = false;
    for (int x = 60; x < page.Width() - 60 && !inked; ++x) inked = Inked(page, x, y);
    run = inked ? run + 1 : 0;
    tallest = std::max(tallest, run);
  }
  return tallest;
}

TEST(TitleCover, SetsTheAuthorAboveTheTitleAndTheSeriesBelowIt) {
  const auto titleOnly = DrawTitleCover(TestRuntime(), {u"Пикник на обочине", u"", u""});
  ASSERT_EQ(titleOnly->Width(), 600);
  ASSERT_EQ(titleOnly->Height(), 800);
  const auto withAuthor = DrawTitleCover(TestRuntime(), {u"Пикник на обочине", u"Аркадий Стругацкий", u""});
  const auto withSeries = DrawTitleCover(TestRuntime(), {u"Пикник на обочине", u"", u"Мир Полудня #7"});
  const auto [authorTop, authorBottom] = DifferingRows(*titleOnly, *withAuthor);
  const auto [seriesTop, seriesBottom] = DifferingRows(*titleOnly, *withSeries);
  EXPECT_GT(authorTop, 40);  // inside the frame
  EXPECT_LT(authorBottom, 250);
  EXPECT_GT(seriesTop, 550);
  EXPECT_LT(seriesBottom, 760);
}

TEST(TitleCover, SizesTheTitleToItsLengthAndKeepsEveryWordInsideTheMargins) {
  // Capitals without descenders, so that the tallest run of inked rows is one line's letters.
  const auto shortTitle = DrawTitleCover(TestRuntime(), {u"Ы", u"", u""});
  const auto longTitle = DrawTitleCover(
      TestRuntime(),
      {u"Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы Ы", u"", u""});
  EXPECT_GT(TallestInkedRun(*shortTitle, 200, 600), TallestInkedRun(*longTitle, 200, 600) * 3 / 2);
  // Between the frame and the text's margin no letter stands, however long the word.
  const auto longWord = DrawTitleCover(
      TestRuntime(),
      {u"Pneumonoultramicroscopicsilicovolcanoconiosis and the Extraordinarily Long Title of a Book That "
       u"Never Ends, Volume 17",
       u"", u""});
  for (const Graphic* page : {shortTitle.get(), longWord.get()})
    for (int y = 40; y < 760; ++y)
      for (int x : {36, 50, 549, 563}) ASSERT_FALSE(Inked(*page, x, y)) << x << "," << y;
}

}  // namespace
}  // namespace bookloom
