// Reads the version stamp from arbitrary bytes taken as an executable file.
#include <cstdint>
#include <cstring>

#include "platform/VersionInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bookloom::ByteReader read = [&](uint64_t offset, size_t count, void* out) {
    if (offset > size || count > size - offset) return false;
    std::memcpy(out, data + offset, count);
    return true;
  };
  bookloom::FindVersionStamp(read);
  return 0;
}
