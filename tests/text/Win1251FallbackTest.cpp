#include <gtest/gtest.h>
#include <unicode/normalizer2.h>

#include <random>

#include "platform/Utf.h"
#include "support/TestData.h"
#include "support/TestRuntime.h"
#include "text/TextFile.h"
#include "text/Win1251.h"

namespace bookloom {
namespace {

// Each way a character without a Windows-1251 form is kept, in the order they are tried, and the
// characters that are dropped; characters the code page has stay as they are, in their order.
TEST(Win1251Fallback, KeepsEveryLetterThatCanBeKept) {
  const struct {
    std::u16string in, out;
    size_t replaced, dropped;
  } cases[] = {
      {u"\u0438\u0306 \u0435\u0308", u"й ё", 0, 0},  // NFC gives the code page's own letters
      {u"Größe café", u"Grosse cafe", 3, 0},         // Latin-ASCII
      {u"Zażółć gęślą jaźń", u"Zazolc gesla jazn", 9, 0},
      {u"\uFB01 \uFB02 ł æ œ", u"fi fl l ae oe", 5, 0},
      {u"ударе\u0301ние \u04D1", u"ударение а", 2, 0},  // the base letter without its mark
      {u"\U0001D400 \u2460", u"A 1", 2, 0},             // the compatibility form
      {u"Ελληνικά 中", u"Ellenika zhong", 9, 0},        // other scripts in Latin letters
      {u"a\U0001F600b \U0001F468\u200D\U0001F469\u200D\U0001F467!", u"ab !", 0, 2},  // a family is one
      {u"\u0301x", u"x", 0, 1},  // a mark without a letter
      {u"€№«»—…", u"€№«»—…", 0, 0},
  };
  for (const auto& c : cases) {
    FallbackReport report;
    EXPECT_EQ(WideToWin1251(TestRuntime(), c.in, &report, 1), WideToWin1251(TestRuntime(), c.out))
        << Utf16ToUtf8(c.in);
    EXPECT_EQ(report.Replaced(), c.replaced) << Utf16ToUtf8(c.in);
    EXPECT_EQ(report.Dropped(), c.dropped) << Utf16ToUtf8(c.in);
  }
}

// Long texts, which are converted many characters at a time where they can be: every character of the
// code page comes back as its byte, and a letter that needs the fallback in the middle of a long
// word changes that letter alone.
TEST(Win1251Fallback, ConvertsLongTextsCharacterForCharacter) {
  std::mt19937 random(1251);
  for (int round = 0; round < 50; ++round) {
    std::string bytes;
    for (int i = 0; i < 500; ++i) {
      // Mostly the Russian letters and ASCII, in runs; the other bytes of the code page now and then.
      const uint8_t b = random() % 10 == 0  ? static_cast<uint8_t>(0x80 + random() % 0x40)
                        : random() % 3 == 0 ? static_cast<uint8_t>(random() % 0x80)
                                            : static_cast<uint8_t>(0xC0 + random() % 0x40);
      if (b != 0x98) bytes += static_cast<char>(b);  // the one byte the code page leaves unused
    }
    EXPECT_EQ(WideToWin1251(TestRuntime(), Win1251ToWide(bytes)), bytes) << "round " << round;
  }
  const std::u16string word(40, u'\u0436');
  EXPECT_EQ(WideToWin1251(TestRuntime(), word + u"\u0438\u0306" + word),
            WideToWin1251(TestRuntime(), word + u"\u0439" + word));
}

TEST(Win1251Fallback, ReportsTheFirstChangesAndListsThemAll) {
  FallbackReport report;
  WideToWin1251(TestRuntime(), u"café \U0001F600", &report, 4);
  WideToWin1251(TestRuntime(), u"éé", &report, 9);
  WideToWin1251(TestRuntime(), u"ß", &report, 12);
  EXPECT_EQ(report.Summary(2),
            "4 characters replaced and 1 dropped: \"é\" → \"e\" (line 4), \"😀\" dropped (line 4), ...");
  EXPECT_EQ(report.Details(), (std::vector<std::string>{"\"é\" → \"e\": 3 times, lines 4, 9",
                                                        "\"😀\" dropped: line 4", "\"ß\" → \"ss\": line 12"}));
  FallbackReport field;
  FitToWin1251(TestRuntime(), u"Ā", &field);
  EXPECT_EQ(field.Summary(5), "1 character replaced: \"Ā\" → \"A\"");
}

// The file of characters far beyond Windows-1251: every character the code page has stays, in
// its order, and the rest is counted.
TEST(Win1251Fallback, KeepsTheCodePagesCharactersOfARealText) {
  REQUIRE_TESTDATA();
  const auto text =
      DecodeTextFile(test::ReadBytes(test::TestDataPath("texts/edge/beyond-cp1251.utf8.txt"))).text;
  FallbackReport report;
  const std::string bytes = WideToWin1251(TestRuntime(), text, &report, 1);
  UErrorCode status = U_ZERO_ERROR;
  icu::UnicodeString nfc(text.data(), static_cast<int32_t>(text.size()));
  nfc = icu::Normalizer2::getNFCInstance(status)->normalize(nfc, status);
  std::string kept;
  for (int32_t i = 0; i < nfc.length(); ++i)
    if (const uint8_t b = Win1251ByteTable()[nfc[i]]) kept += static_cast<char>(b);
  size_t at = 0;  // the code page's characters are a subsequence of the result
  for (const char c : bytes) at += at < kept.size() && kept[at] == c;
  EXPECT_EQ(at, kept.size());
  EXPECT_GT(report.Replaced(), 100u);
  EXPECT_GT(report.Dropped(), 5u);
}

}  // namespace
}  // namespace bookloom
