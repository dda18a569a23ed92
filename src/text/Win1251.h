// Conversion between wide text and the Windows-1251 bytes a book stores: characters the code page
// lacks take their nearest form (Win1251Fallback.h) instead of being lost.
#pragma once

#include <string>
#include <string_view>

#include "text/SingleByteCodec.h"
#include "text/Win1251Fallback.h"

namespace bookloom {

// Windows-1251 bytes of the text; characters the code page lacks take their nearest form or are
// left out (see AppendWin1251Fallback), noted in `report` on `line` when a report is given. Text
// of the code page's own characters costs one table look-up per character; the runtime's fallback is
// asked for (and made) only for characters the code page lacks.
std::string WideToWin1251(const Runtime& runtime, std::u16string_view text, FallbackReport* report = nullptr,
                          size_t line = 0);

// The text as the book will hold it: every character one the code page has.
std::u16string FitToWin1251(const Runtime& runtime, std::u16string_view text,
                            FallbackReport* report = nullptr, size_t line = 0);

// The text of Windows-1251 bytes, one character per byte; never fails.
std::u16string Win1251ToWide(std::string_view bytes);

// Whether the character is one of the code page's 128 characters of the bytes 0x80..0xFF.
bool IsWin1251Char(char16_t code);

// The first character (a code point) from 0x80 on that Windows-1251 lacks even in the text's NFC
// form; 0 when there is none.
char32_t FindNonWin1251Char(std::u16string_view text);

}  // namespace bookloom
