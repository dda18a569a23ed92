// Plain text files as text: their bytes decoded by byte order mark or code page, and cut into lines.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace bookloom {

// The text of a text file's bytes: UTF-16 after FF FE (little-endian) or FE FF (big-endian),
// UTF-8 after EF BB BF, otherwise the system's code page. An odd last byte of UTF-16 is dropped;
// malformed UTF-8 becomes U+FFFD.
std::u16string DecodeTextFile(std::string_view bytes);

// The lines of a text, which ends at its end or at its first U+0000. CR, LF and U+2028 end a
// line; CR LF, CR U+2028 and CR LF U+2028 count as one break. A break at the very end adds no
// empty line.
std::vector<std::u16string> SplitLines(std::u16string_view text);

}  // namespace bookloom
