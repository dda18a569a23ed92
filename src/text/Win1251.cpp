#include "text/Win1251.h"

#include <memory>

namespace bookloom {

std::string WideToWin1251(std::u16string_view text) {
  return Win1251Codec::Instance().EncodeText(text, static_cast<int32_t>(text.size())).bytes;
}

std::u16string Win1251ToWide(std::string_view bytes) {
  return Win1251Codec::Instance().DecodeBytes(bytes, static_cast<int32_t>(bytes.size())).text;
}

bool IsWin1251Char(char16_t code) { return code >= 0x80 && Win1251ByteOf(code) >= 0; }

char16_t FindNonWin1251Char(std::u16string_view text) {
  for (const char16_t c : text)
    if (c >= 0x80 && !IsWin1251Char(c)) return c;
  return 0;
}

}  // namespace bookloom
