#include "platform/AnsiCodePage.h"

#include <iconv.h>
#include <langinfo.h>
#include <uchardet/uchardet.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr char kFallbackCharset[] = "WINDOWS-1251";  // the books' own code page

bool IsUnicodeOrAscii(std::string charset) {
  for (auto& c : charset) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return charset.empty() || charset == "UTF-8" || charset == "UTF8" || charset == "ANSI_X3.4-1968" ||
         charset == "ASCII" || charset == "US-ASCII";
}

struct UchardetCloser {
  void operator()(uchardet_t ud) const { uchardet_delete(ud); }
};

// The code page uchardet recognises in the bytes, "" when it recognises none.
std::string Uchardet(std::string_view bytes) {
  std::unique_ptr<std::remove_pointer_t<uchardet_t>, UchardetCloser> ud(uchardet_new());
  if (!ud || uchardet_handle_data(ud.get(), bytes.data(), bytes.size()) != 0) return "";
  uchardet_data_end(ud.get());
  const char* name = uchardet_get_charset(ud.get());
  return name ? name : "";
}

// A Windows-1252 letter of the bytes from 0x80 on: Š Œ Ž š œ ž Ÿ and À to ÿ but × and ÷.
bool IsWesternLetter(uint8_t b) {
  return b >= 0xC0 ? b != 0xD7 && b != 0xF7
                   : b == 0x8A || b == 0x8C || b == 0x8E || b == 0x9A || b == 0x9C || b == 0x9E || b == 0x9F;
}

bool IsAsciiLetter(uint8_t b) { return (b | 0x20) >= 'a' && (b | 0x20) <= 'z'; }

// Whether a text of a few bytes beyond ASCII reads as Western Latin: every such byte a letter of
// Windows-1252 inside a word that also has ASCII letters ("caf\xE9", "Gr\xF6\xDF" "e"). A word of
// a Cyrillic code page is made of such bytes alone. uchardet guesses wildly on so little
// ("na\xEFve" as IBM852), so this decides first.
bool IsShortWesternText(std::string_view bytes) {
  constexpr int kMostBytes = 32;  // beyond ASCII; more is enough for uchardet
  int high = 0;
  bool wordHasAscii = false, wordHasHigh = false;
  const auto endWord = [&] {
    const bool latin = !wordHasHigh || wordHasAscii;
    wordHasAscii = wordHasHigh = false;
    return latin;
  };
  for (const char c : bytes) {
    const auto b = static_cast<uint8_t>(c);
    if (b >= 0x80) {
      if (!IsWesternLetter(b) || ++high > kMostBytes) return false;
      wordHasHigh = true;
    } else if (IsAsciiLetter(b)) {
      wordHasAscii = true;
    } else if (!endWord()) {
      return false;
    }
  }
  return endWord() && high > 0;
}

// The legacy code page of bytes that are not UTF-8.
std::string LegacyCharset(std::string_view bytes) {
  if (IsShortWesternText(bytes)) return "WINDOWS-1252";
  const std::string detected = Uchardet(bytes);
  if (IsUnicodeOrAscii(detected) || !IsKnownCharset(detected)) return kFallbackCharset;
  return detected;
}

// The locale's character set when it is a legacy code page that iconv knows; "" otherwise.
std::string LegacyLocaleCharset() {
  const std::string charset = nl_langinfo(CODESET);
  return IsUnicodeOrAscii(charset) || !IsKnownCharset(charset) ? "" : charset;
}

}  // namespace

bool IsKnownCharset(const std::string& charset) {
  const iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

bool IsDamagedUtf8(std::string_view bytes, std::u16string_view text, const DecodingFaults& faults) {
  if (faults.count == 0 || faults.count * 1000 >= bytes.size()) return false;
  size_t beyondAscii = 0;
  for (const char16_t c : text) beyondAscii += c >= 0x80;
  return beyondAscii - faults.count >= 10 * faults.count;
}

std::string DetectCharset(std::string_view bytes) {
  DecodingFaults faults;
  const std::u16string text = Utf8ToUtf16(bytes, &faults);
  if (faults.count == 0 || IsDamagedUtf8(bytes, text, faults)) return "UTF-8";
  return LegacyCharset(bytes);
}

std::u16string CharsetToWide(std::string_view bytes, const std::string& charset, DecodingFaults* faults) {
  if (charset == "UTF-8") return Utf8ToUtf16(bytes, faults);
  const iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) Raise<ConvertError>("Unknown character set %s", {charset});
  std::u16string out;
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buf[8192];
  const auto fault = [&] {
    if (faults && faults->count++ == 0) faults->firstAt = out.size();
    out += u'\uFFFD';
  };
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    for (const char* p = buf; p + 1 < outPtr; p += 2)
      out += static_cast<char16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
    if (error == EILSEQ) {  // a byte without a character: replace it and go on after it
      fault();
      ++in, --inLeft;
    } else if (error == EINVAL) {  // cut short at the end
      fault();
      break;
    } else if (error != 0 && error != E2BIG) {
      break;
    }
  }
  iconv_close(cd);
  return out;
}

std::u16string AnsiToWide(std::string_view bytes, DecodingFaults* faults, std::string* charset) {
  std::string name = LegacyLocaleCharset();
  if (name.empty()) {
    // UTF-8 is decoded in the same pass that finds it valid.
    DecodingFaults utf8Faults;
    std::u16string text = Utf8ToUtf16(bytes, &utf8Faults);
    if (utf8Faults.count == 0 || IsDamagedUtf8(bytes, text, utf8Faults)) {
      if (faults) *faults = utf8Faults;
      if (charset) *charset = "UTF-8";
      return text;
    }
    name = LegacyCharset(bytes);
  }
  if (charset) *charset = name;
  return CharsetToWide(bytes, name, faults);
}

}  // namespace bookloom
