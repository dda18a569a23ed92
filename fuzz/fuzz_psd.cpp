// Feeds arbitrary bytes to the Photoshop decoder: it must decode them or raise EDecodeError.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decoders/PsdDecoder.h"
#include "platform/Exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string name = u"fuzz";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    // Pictures stay small, so that one input cannot keep the fuzzer busy for long.
    bookloom::TPsdDecoder::Decode(bytes, name, 1 << 22);
  } catch (const bookloom::EDecodeError&) {
  }
  return 0;
}
