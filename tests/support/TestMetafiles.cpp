#include "support/TestMetafiles.h"

#include "platform/LittleEndian.h"

namespace bookloom::test {

std::string Ints(std::initializer_list<int64_t> values) {
  std::string s;
  for (int64_t v : values) AppendU32(s, static_cast<uint32_t>(v));
  return s;
}

std::string EmfRecord(uint32_t type, std::string payload) {
  while (payload.size() % 4) payload += '\0';
  return Ints({type, static_cast<int64_t>(8 + payload.size())}) + payload;
}

std::string EmfOf(int width, int height, const std::string& records) {
  // Bounds, frame in hundredths of a millimetre, signature, version, sizes and counts left 0, then
  // the reference device: 960 x 960 pixels on 254 x 254 millimetres.
  const std::string header = Ints({0,
                                   0,
                                   width - 1,
                                   height - 1,
                                   0,
                                   0,
                                   width * 2540 / 96,
                                   height * 2540 / 96,
                                   0x464D4520,
                                   0x10000,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   0,
                                   960,
                                   960,
                                   254,
                                   254});
  return EmfRecord(1, header) + records + EmfRecord(14, Ints({0, 0, 20}));
}

}  // namespace bookloom::test
