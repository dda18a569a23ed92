#include <gtest/gtest.h>
#include <iconv.h>

#include "support/TestRuntime.h"
#include "text/SingleByteCodec.h"
#include "text/Win1251.h"

namespace bookloom {
namespace {

TEST(WideToWin1251, GivesOneBytePerCharacterOfTheCodePage) {
  const struct {
    std::u16string in;
    std::string out;
  } cases[] = {
      {u"АяЁё", "\xC0\xFF\xA8\xB8"},
      {u"Мама мыла раму.", "\xCC\xE0\xEC\xE0 \xEC\xFB\xEB\xE0 \xF0\xE0\xEC\xF3."},
      {u"\u20AC\u2116\u0098", "\x88\xB9\x98"},
      {u"a\u4E2Db", "azhongb"},                                        // no byte for it: transliterated
      {u"\u4E2D\u00E9\U0001F600", "zhonge"},                           // a surrogate pair is left out whole
      {std::u16string(u"\t\r\n\0x", 5), std::string("\t\r\n\0x", 5)},  // controls pass
      {u"", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(WideToWin1251(TestRuntime(), c.in), c.out) << testing::PrintToString(c.out);
}

// The table against the system's own Windows-1251 converter: every byte but 0x98, which the code
// page leaves undefined and we read as U+0098.
TEST(Win1251Chars, AgreesWithTheSystemConverterAndRoundTrips) {
  iconv_t cd = iconv_open("UTF-16LE", "CP1251");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const std::u16string wide = Win1251ToWide(byte);
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(WideToWin1251(TestRuntime(), wide), byte) << b;
    if (b == 0x98) {
      EXPECT_EQ(wide[0], 0x98);
      continue;
    }
    char in = static_cast<char>(b), out[4];
    char *pin = &in, *pout = out;
    size_t inLeft = 1, outLeft = sizeof out;
    ASSERT_NE(iconv(cd, &pin, &inLeft, &pout, &outLeft), static_cast<size_t>(-1)) << b;
    EXPECT_EQ(wide[0], static_cast<char16_t>(uint8_t(out[0]) | uint8_t(out[1]) << 8)) << b;
  }
  iconv_close(cd);
}

TEST(Win1251Check, FindsTheFirstCharacterTheCodePageLacks) {
  EXPECT_EQ(FindNonWin1251Char(u"ab\u00E9\u4E2D"), 0x00E9u);
  EXPECT_EQ(FindNonWin1251Char(u"\u0438\u0306 \U0001F600"), 0x1F600u);  // "й" in NFC, then a whole code point
  EXPECT_EQ(FindNonWin1251Char(u"Съешь же ещё этих мягких булок"), 0u);
  EXPECT_EQ(FindNonWin1251Char(u"plain ASCII \x01"), 0u);
  EXPECT_EQ(FindNonWin1251Char(u""), 0u);
  EXPECT_TRUE(IsWin1251Char(0x0410));
  EXPECT_TRUE(IsWin1251Char(0x0098));
  EXPECT_FALSE(IsWin1251Char(u'A'));  // only the 128 characters of the upper half count
  EXPECT_FALSE(IsWin1251Char(0x00E9));
}

TEST(Win1251Codec, EncodesAndDecodesSingleCharacters) {
  const Win1251Codec codec;
  uint8_t byte = 0;
  char16_t code = 0;
  EXPECT_TRUE(codec.TryEncodeChar(0x0410, byte) && byte == 0xC0);
  EXPECT_TRUE(codec.TryEncodeChar(u'z', byte) && byte == 'z');
  EXPECT_TRUE(codec.TryDecodeChar(0x98, code) && code == 0x0098);
  EXPECT_TRUE(codec.TryDecodeChar(0xB9, code) && code == 0x2116);
  EXPECT_FALSE(codec.TryEncodeChar(0xFFFF, byte));
}

TEST(Win1251Codec, AppliesEachPolicyToACharacterWithoutAByte) {
  const std::u16string text = u"ab\u4E2Dcd";
  const struct {
    UnmappedPolicy policy;
    std::string bytes;
    int consumed;
  } cases[] = {
      {UnmappedPolicy::kStop, "ab", 2},
      {UnmappedPolicy::kCopyLowByte,
       "ab\x2D"
       "cd",
       5},
      {UnmappedPolicy::kSkip, "abcd", 5},
      {UnmappedPolicy::kSubstitute, "ab?cd", 5},
  };
  for (const auto& c : cases) {
    Win1251Codec codec;
    codec.unmappedPolicy = c.policy;
    codec.substituteByte = '?';
    const EncodedText r = codec.EncodeText(text, static_cast<int32_t>(text.size()));
    EXPECT_EQ(r.bytes, c.bytes) << int(c.policy);
    EXPECT_EQ(r.consumed, c.consumed) << int(c.policy);
  }
}

TEST(Win1251Codec, RaisesWithTheCodeAndPositionUnderUpRaise) {
  Win1251Codec codec;
  ASSERT_EQ(codec.unmappedPolicy, UnmappedPolicy::kRaise);
  try {
    codec.EncodeText(u"абв\u4E2D", 4);
    FAIL() << "no error";
  } catch (const CodecError& e) {
    EXPECT_STREQ(e.what(), "Unicode code point $4E2D has no equivalent in Windows-1251");
    EXPECT_EQ(e.position, 3);
  }
}

TEST(Win1251Codec, ConvertsOnlyTheGivenLength) {
  Win1251Codec codec;
  EXPECT_EQ(codec.EncodeText(u"abcd", 2).bytes, "ab");
  EXPECT_EQ(codec.EncodeText(u"abcd", 0).consumed, 0);
  EXPECT_EQ(codec.EncodeText(u"ab", 10).consumed, 2);  // never beyond the text
  EXPECT_EQ(codec.DecodeBytes("\xC0\xC1\xC2", 2).text, u"АБ");
}

// A code page of the lower half only, so that decoding has bytes without a character.
class AsciiCodec : public SingleByteCodec {
 public:
  bool TryDecodeChar(uint8_t byte, char16_t& code) const override {
    code = byte;
    return byte < 0x80;
  }
  bool TryEncodeChar(char16_t code, uint8_t& byte) const override {
    byte = static_cast<uint8_t>(code);
    return code < 0x80;
  }
  std::string Name() const override { return "ASCII"; }
};

TEST(SingleByteCodec, AppliesEachPolicyToAByteWithoutACharacter) {
  const std::string bytes = "a\xE9z";
  const struct {
    UnmappedPolicy policy;
    std::u16string text;
    int consumed;
  } cases[] = {
      {UnmappedPolicy::kStop, u"a", 1},
      {UnmappedPolicy::kCopyLowByte, u"a\u00E9z", 3},
      {UnmappedPolicy::kSkip, u"az", 3},
      {UnmappedPolicy::kSubstitute, u"a\u2022z", 3},
  };
  for (const auto& c : cases) {
    AsciiCodec codec;
    codec.unmappedPolicy = c.policy;
    codec.substituteChar = 0x2022;
    const DecodedText r = codec.DecodeBytes(bytes, static_cast<int32_t>(bytes.size()));
    EXPECT_EQ(r.text, c.text) << int(c.policy);
    EXPECT_EQ(r.consumed, c.consumed) << int(c.policy);
  }
  AsciiCodec codec;
  try {
    codec.DecodeBytes(bytes, 3);
    FAIL() << "no error";
  } catch (const CodecError& e) {
    EXPECT_STREQ(e.what(), "Byte $E9 has no Unicode equivalent in ASCII");
    EXPECT_EQ(e.position, 1);
  }
}

}  // namespace
}  // namespace bookloom
