// Conversion between UTF-8 and UTF-16: file names, command-line text and UTF-8 files.
#pragma once

#include <string>
#include <string_view>

namespace bookloom {

// The bytes a decoding could not read: how many sequences became U+FFFD, and where the first of
// them stands in the decoded text (an index of UTF-16 units).
struct DecodingFaults {
  size_t count = 0;
  size_t firstAt = 0;
};

// Decodes UTF-8 completely: four-byte sequences become surrogate pairs; every malformed or
// truncated sequence, overlong form or encoded surrogate becomes one U+FFFD, noted in `faults`
// when given.
std::u16string Utf8ToUtf16(std::string_view utf8, DecodingFaults* faults = nullptr);

// Whether the bytes are UTF-8 without a single malformed sequence, overlong form or surrogate.
bool IsValidUtf8(std::string_view utf8);

// Encodes UTF-16; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace bookloom
