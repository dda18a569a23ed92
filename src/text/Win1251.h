// Conversion between wide text and the Windows-1251 bytes a book stores, through the program's
// one Windows-1251 codec (Win1251Codec::Instance(), which skips what the code page lacks).
#pragma once

#include <string>
#include <string_view>

#include "text/SingleByteCodec.h"

namespace bookloom {

// Windows-1251 bytes of the text; characters the code page lacks are left out.
std::string WideToWin1251(std::u16string_view text);

// The text of Windows-1251 bytes, one character per byte; never fails.
std::u16string Win1251ToWide(std::string_view bytes);

// Whether the character is one of the code page's 128 characters of the bytes 0x80..0xFF.
bool IsWin1251Char(char16_t code);

// The first character of the text from 0x80 on that Windows-1251 lacks; 0 when there is none.
char16_t FindNonWin1251Char(std::u16string_view text);

}  // namespace bookloom
