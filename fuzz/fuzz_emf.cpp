// Feeds arbitrary bytes to the enhanced metafile decoder: it must decode them or raise EDecodeError.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "decoders/EmfDecoder.h"
#include "platform/Exception.h"

// Fontconfig, FreeType and cairo keep the fonts they have looked up for the rest of the process
// (the program frees them at shut-down); inputs that name new fonts are not leaking.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libcairo.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::u16string name = u"fuzz";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    // Drawn small, so that one input cannot keep the fuzzer busy for long.
    bookloom::TEmfDecoder::Decode(bytes, name, 256 * 256);
  } catch (const bookloom::EDecodeError&) {
  }
  return 0;
}
