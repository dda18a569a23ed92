#include "text/uUniWin1251.h"

#include <memory>

namespace bookloom {

namespace {
std::unique_ptr<TWindows1251Codec> theCodec;
}

void CreateWin1251Codec() {
  theCodec = std::make_unique<TWindows1251Codec>();
  theCodec->UnmappedPolicy = upSkip;
}

void DestroyWin1251Codec() { theCodec.reset(); }

TWindows1251Codec& Win1251Codec() {
  if (!theCodec) throw Exception("The Windows-1251 codec has not been started");
  return *theCodec;
}

std::string WideToWin1251(std::u16string_view text) {
  return Win1251Codec().EncodeText(text, static_cast<int32_t>(text.size())).Bytes;
}

std::u16string Win1251ToWide(std::string_view bytes) {
  return Win1251Codec().DecodeBytes(bytes, static_cast<int32_t>(bytes.size())).Text;
}

bool IsWin1251Char(char16_t code) { return code >= 0x80 && Win1251ByteOf(code) >= 0; }

char16_t FindNonWin1251Char(std::u16string_view text) {
  for (const char16_t c : text)
    if (c >= 0x80 && !IsWin1251Char(c)) return c;
  return 0;
}

}  // namespace bookloom
