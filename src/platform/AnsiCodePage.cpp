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

bool IconvKnows(const std::string& charset) {
  const iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
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

}  // namespace

std::string DetectCharset(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return "UTF-8";
  const std::string detected = Uchardet(bytes);
  if (IsUnicodeOrAscii(detected) || !IconvKnows(detected)) return kFallbackCharset;
  return detected;
}

std::u16string CharsetToWide(std::string_view bytes, const std::string& charset) {
  if (charset == "UTF-8") return Utf8ToUtf16(bytes);
  const iconv_t cd = iconv_open("UTF-16LE", charset.c_str());
  if (cd == reinterpret_cast<iconv_t>(-1)) Raise<ConvertError>("Unknown character set %s", {charset});
  std::u16string out;
  out.reserve(bytes.size());
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char buf[8192];
  while (inLeft > 0) {
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    const size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    const int error = r == static_cast<size_t>(-1) ? errno : 0;
    for (const char* p = buf; p + 1 < outPtr; p += 2)
      out += static_cast<char16_t>(static_cast<uint8_t>(p[0]) | static_cast<uint8_t>(p[1]) << 8);
    if (error == EILSEQ) {  // a byte without a character: replace it and go on after it
      out += u'\uFFFD';
      ++in, --inLeft;
    } else if (error == EINVAL) {  // cut short at the end
      out += u'\uFFFD';
      break;
    } else if (error != 0 && error != E2BIG) {
      break;
    }
  }
  iconv_close(cd);
  return out;
}

std::u16string AnsiToWide(std::string_view bytes) {
  const std::string localeCharset = nl_langinfo(CODESET);
  if (!IsUnicodeOrAscii(localeCharset) && IconvKnows(localeCharset))
    return CharsetToWide(bytes, localeCharset);
  // Valid UTF-8 is decoded in the same pass that finds it valid.
  std::u16string text;
  if (DecodeValidUtf8(bytes, text)) return text;
  return CharsetToWide(bytes, DetectCharset(bytes));
}

}  // namespace bookloom
