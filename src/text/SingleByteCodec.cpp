#include "text/SingleByteCodec.h"

#include <algorithm>

namespace bookloom {

const std::array<char16_t, 128> kWin1251Chars = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 0xC0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 0xC8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 0xD0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 0xD8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // 0xE0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // 0xE8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // 0xF0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // 0xF8
};

namespace {

// Byte of every UTF-16 code unit: the identity below 0x80, the table's inverse above, 0 where
// the code page has no byte (no unit from 0x80 on maps to 0, so 0 cannot be mistaken).
struct ReverseTable {
  std::array<uint8_t, 65536> byteOf{};
  ReverseTable() {
    for (int c = 0; c < 0x80; ++c) byteOf[c] = static_cast<uint8_t>(c);
    for (int i = 0; i < 128; ++i) byteOf[kWin1251Chars[i]] = static_cast<uint8_t>(0x80 + i);
  }
};

const ReverseTable& Reverse() {
  static const ReverseTable table;
  return table;
}

}  // namespace

const std::array<uint8_t, 65536>& Win1251ByteTable() { return Reverse().byteOf; }

int Win1251ByteOf(char16_t code) {
  const uint8_t b = Reverse().byteOf[code];
  return b != 0 || code == 0 ? b : -1;
}

bool Win1251Codec::TryDecodeChar(uint8_t byte, char16_t& code) const {
  code = byte < 0x80 ? byte : kWin1251Chars[byte - 0x80];
  return true;
}

bool Win1251Codec::TryEncodeChar(char16_t code, uint8_t& byte) const {
  const int b = Win1251ByteOf(code);
  if (b < 0) return false;
  byte = static_cast<uint8_t>(b);
  return true;
}

void SingleByteCodec::RaiseUnencodable(char16_t code, int32_t position) const {
  throw CodecError(Format("Unicode code point $%x has no equivalent in %s", {unsigned{code}, Name()}),
                   position);
}

void SingleByteCodec::RaiseUndecodable(uint8_t byte, int32_t position) const {
  throw CodecError(Format("Byte $%x has no Unicode equivalent in %s", {unsigned{byte}, Name()}), position);
}

EncodedText SingleByteCodec::EncodeText(std::u16string_view text, int32_t length) const {
  EncodedText out;
  if (text.empty() || length <= 0) return out;
  const size_t n = std::min(text.size(), static_cast<size_t>(length));
  out.bytes.resize(n);
  char* dst = out.bytes.data();
  size_t k = 0;
  for (; k < n; ++k) {
    const char16_t code = text[k];
    uint8_t byte;
    if (TryEncodeChar(code, byte)) {
      *dst++ = static_cast<char>(byte);
      continue;
    }
    if (unmappedPolicy == UnmappedPolicy::kStop) break;
    switch (unmappedPolicy) {
      case UnmappedPolicy::kRaise:
        RaiseUnencodable(code, static_cast<int32_t>(k));
      case UnmappedPolicy::kCopyLowByte:
        *dst++ = static_cast<char>(code & 0xFF);
        break;
      case UnmappedPolicy::kSubstitute:
        *dst++ = static_cast<char>(substituteByte);
        break;
      default:  // UnmappedPolicy::kSkip
        break;
    }
  }
  out.bytes.resize(static_cast<size_t>(dst - out.bytes.data()));
  out.consumed = static_cast<int32_t>(k);
  return out;
}

DecodedText SingleByteCodec::DecodeBytes(std::string_view bytes, int32_t size) const {
  DecodedText out;
  if (bytes.empty() || size <= 0) return out;
  const size_t n = std::min(bytes.size(), static_cast<size_t>(size));
  out.text.reserve(n);
  size_t k = 0;
  for (; k < n; ++k) {
    const uint8_t byte = static_cast<uint8_t>(bytes[k]);
    char16_t code;
    if (TryDecodeChar(byte, code)) {
      out.text += code;
      continue;
    }
    if (unmappedPolicy == UnmappedPolicy::kStop) break;
    switch (unmappedPolicy) {
      case UnmappedPolicy::kRaise:
        RaiseUndecodable(byte, static_cast<int32_t>(k));
      case UnmappedPolicy::kCopyLowByte:
        out.text += static_cast<char16_t>(byte);
        break;
      case UnmappedPolicy::kSubstitute:
        out.text += substituteChar;
        break;
      default:  // UnmappedPolicy::kSkip
        break;
    }
  }
  out.consumed = static_cast<int32_t>(k);
  return out;
}

}  // namespace bookloom
