#include "platform/LittleEndian.h"

namespace bookloom {

void PutU16(std::string& buf, size_t at, uint16_t v) {
  buf[at] = static_cast<char>(v & 0xFF);
  buf[at + 1] = static_cast<char>(v >> 8);
}

void PutU32(std::string& buf, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) buf[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void AppendU16(std::string& buf, uint16_t v) {
  buf += static_cast<char>(v & 0xFF);
  buf += static_cast<char>(v >> 8);
}

void AppendU32(std::string& buf, uint32_t v) {
  for (int i = 0; i < 4; ++i) buf += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint16_t GetU16(std::string_view buf, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(buf[at]) | static_cast<uint8_t>(buf[at + 1]) << 8);
}

uint32_t GetU32(std::string_view buf, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(buf[at + i]);
  return v;
}

}  // namespace bookloom
