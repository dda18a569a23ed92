// Codecs between UTF-16 text and single-byte code pages, with a choice of what happens to a
// character or byte that has no equivalent; Windows-1251 is the one the books use.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Exception.h"

namespace bookloom {

// What a conversion does with a character (encoding) or byte (decoding) it cannot map.
enum class UnmappedPolicy : uint8_t {
  kRaise,        // raise CodecError
  kStop,         // end the conversion before it
  kCopyLowByte,  // encoding: the code unit's low 8 bits; decoding: the byte's value as code unit
  kSkip,         // consume it and write nothing
  kSubstitute,   // write substituteByte (encoding) or substituteChar (decoding)
};

// A conversion failed; position is the index (from 0) of the character or byte concerned.
class CodecError : public Exception {
 public:
  CodecError(const std::string& message, int32_t position) : Exception(message), position(position) {}
  int32_t position;
};

// The result of a conversion: what was produced and how many input units were processed.
struct EncodedText {
  std::string bytes;
  int32_t consumed = 0;
};
struct DecodedText {
  std::u16string text;
  int32_t consumed = 0;
};

class UnicodeCodec {
 public:
  virtual ~UnicodeCodec() = default;

  // Converts the first `size` bytes of `bytes` (fewer when `bytes` is shorter).
  virtual DecodedText DecodeBytes(std::string_view bytes, int32_t size) const = 0;
  // Converts the first `length` code units of `text` (fewer when `text` is shorter).
  virtual EncodedText EncodeText(std::u16string_view text, int32_t length) const = 0;

  UnmappedPolicy unmappedPolicy = UnmappedPolicy::kRaise;
  char16_t substituteChar = 0xFFFD;
};

// A code page of at most 256 characters, one byte each.
class SingleByteCodec : public UnicodeCodec {
 public:
  DecodedText DecodeBytes(std::string_view bytes, int32_t size) const override;
  EncodedText EncodeText(std::u16string_view text, int32_t length) const override;

  // The character of one byte and the byte of one code unit: false when there is no equivalent.
  virtual bool TryDecodeChar(uint8_t byte, char16_t& code) const = 0;
  virtual bool TryEncodeChar(char16_t code, uint8_t& byte) const = 0;
  // The code page's name, used in messages.
  virtual std::string Name() const = 0;

  uint8_t substituteByte = 32;

 private:
  [[noreturn]] void RaiseUnencodable(char16_t code, int32_t position) const;
  [[noreturn]] void RaiseUndecodable(uint8_t byte, int32_t position) const;
};

// The characters of the bytes 0x80..0xFF in Windows-1251, entry i for byte 0x80 + i. The byte
// 0x98, which the code page leaves undefined, stands for U+0098.
extern const std::array<char16_t, 128> kWin1251Chars;

// The Windows-1251 byte of a UTF-16 code unit, or -1 when the code page lacks it.
int Win1251ByteOf(char16_t code);
// The same for every code unit at once: 0 where the code page lacks it (only U+0000 has the byte 0).
const std::array<uint8_t, 65536>& Win1251ByteTable();

class Win1251Codec final : public SingleByteCodec {
 public:
  explicit Win1251Codec(UnmappedPolicy policy = UnmappedPolicy::kRaise) { unmappedPolicy = policy; }
  bool TryDecodeChar(uint8_t byte, char16_t& code) const override;  // every byte has one
  bool TryEncodeChar(char16_t code, uint8_t& byte) const override;
  std::string Name() const override { return "Windows-1251"; }
};

}  // namespace bookloom
