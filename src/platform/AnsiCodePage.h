// Wide text of bytes that carry no byte order mark: the system's "ANSI" code page, which on a
// UTF-8 system means UTF-8 when the bytes are UTF-8 (apart from a little damage) and otherwise
// the legacy code page the text looks like.
#pragma once

#include <string>
#include <string_view>

#include "platform/Utf.h"

namespace bookloom {

// Decodes with the locale's character set (LC_CTYPE) when that is a legacy code page. Under a
// UTF-8 or ASCII locale: UTF-8 (see IsDamagedUtf8) as UTF-8; anything else in the code page
// detected from the bytes. Bytes that form no character become U+FFFD, noted in `faults`; the
// name of the character set read goes to `charset`.
std::u16string AnsiToWide(std::string_view bytes, DecodingFaults* faults = nullptr,
                          std::string* charset = nullptr);

// The same decision without the locale: the name of the character set the bytes are decoded
// from ("UTF-8", "WINDOWS-1251", "KOI8-R", "IBM866", "WINDOWS-1252", ...).
std::string DetectCharset(std::string_view bytes);

// Whether bytes that are not valid UTF-8 are UTF-8 all the same, with a few damaged sequences:
// fewer than one in a thousand bytes, and at least ten valid characters beyond ASCII for each
// (the margin within which ICU's charset detector still takes damaged text for UTF-8). `text`
// and `faults` are the bytes decoded as UTF-8.
bool IsDamagedUtf8(std::string_view bytes, std::u16string_view text, const DecodingFaults& faults);

// Decodes bytes of a character set known to iconv; undecodable bytes become U+FFFD, noted in
// `faults`. Raises ConvertError when iconv does not know the character set.
std::u16string CharsetToWide(std::string_view bytes, const std::string& charset,
                             DecodingFaults* faults = nullptr);

// Whether iconv can decode the character set of that name.
bool IsKnownCharset(const std::string& charset);

}  // namespace bookloom
