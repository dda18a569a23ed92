// Conversion between UTF-8 and UTF-16: file names, command-line text and UTF-8 files.
#pragma once

#include <string>
#include <string_view>

namespace bookloom {

// Decodes UTF-8 completely: four-byte sequences become surrogate pairs; every malformed or
// truncated sequence, overlong form or encoded surrogate becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);

// Decodes as Utf8ToUtf16 does when the bytes are valid UTF-8 (as IsValidUtf8 tells); otherwise
// returns false and leaves `text` unspecified.
bool DecodeValidUtf8(std::string_view utf8, std::u16string& text);
// Whether the bytes are UTF-8 without a single malformed sequence, overlong form or surrogate.
bool IsValidUtf8(std::string_view utf8);

// Encodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace bookloom
