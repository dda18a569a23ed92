// Decodes arbitrary bytes as compressed picture data, and checks that compressing the same bytes
// and decoding the result gives them back.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "wolf/Lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);

  // The first byte chooses a limit, so that stopping in the middle of a unit is exercised too.
  const size_t limit = size == 0 ? 0 : static_cast<size_t>(data[0]) * 97;
  if (bookloom::LzssDecode(input, limit).size() > limit) std::abort();

  std::string compressed;
  size_t at = 0;
  bookloom::LzssEncode(
      [&](uint8_t* buffer) {
        const size_t n = std::min(size - at, static_cast<size_t>(4096));  // several Read calls
        if (n > 0) std::memcpy(buffer, data + at, n);
        at += n;
        return n;
      },
      [&](const uint8_t* d, size_t n) { compressed.append(reinterpret_cast<const char*>(d), n); });
  if (bookloom::LzssDecode(compressed, size) != input) std::abort();
  return 0;
}
