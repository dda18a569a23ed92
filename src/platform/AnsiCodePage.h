// Wide text of bytes that carry no byte order mark: the system's "ANSI" code page, which on a
// UTF-8 system means UTF-8 when the bytes are valid UTF-8 and otherwise the legacy code page the
// text looks like.
#pragma once

#include <string>
#include <string_view>

namespace bookloom {

// Decodes with the locale's character set (LC_CTYPE) when that is a legacy code page. Under a
// UTF-8 or ASCII locale: valid UTF-8 as UTF-8; anything else in the code page detected from the
// bytes, Windows-1251 when none is recognised. Undecodable bytes become U+FFFD.
std::u16string AnsiToWide(std::string_view bytes);

// The same decision without the locale: the name of the character set the bytes are decoded
// from ("UTF-8", "WINDOWS-1251", "KOI8-R", "IBM866", ...).
std::string DetectCharset(std::string_view bytes);

// Decodes bytes of a character set known to iconv; undecodable bytes become U+FFFD. Raises
// ConvertError when iconv does not know the character set.
std::u16string CharsetToWide(std::string_view bytes, const std::string& charset);

}  // namespace bookloom
