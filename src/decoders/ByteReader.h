// A bounds-checked cursor over a picture file's bytes: every read past the end raises DecodeError
// naming the file, so the decoders never look outside their buffer.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bookloom {

class ByteReader {
 public:
  // The name must outlive the reader.
  ByteReader(std::string_view bytes, const std::u16string& fileName) : bytes_(bytes), fileName_(&fileName) {}

  size_t Size() const { return bytes_.size(); }
  size_t Pos() const { return pos_; }
  size_t Remaining() const { return bytes_.size() - pos_; }
  std::string_view All() const { return bytes_; }
  const std::u16string& FileName() const { return *fileName_; }

  // Moves to an absolute position; past the end raises.
  void Seek(size_t pos) {
    if (pos > bytes_.size()) Truncated();
    pos_ = pos;
  }
  void Skip(size_t n) {
    if (n > Remaining()) Truncated();
    pos_ += n;
  }

  uint8_t U8() {
    Need(1);
    return static_cast<uint8_t>(bytes_[pos_++]);
  }
  uint16_t U16LE() { return static_cast<uint16_t>(Little(2)); }
  uint32_t U32LE() { return static_cast<uint32_t>(Little(4)); }
  uint16_t U16BE() { return static_cast<uint16_t>(Big(2)); }
  uint32_t U32BE() { return static_cast<uint32_t>(Big(4)); }
  uint64_t U64BE() { return Big(8); }
  int16_t I16LE() { return static_cast<int16_t>(U16LE()); }
  int32_t I32LE() { return static_cast<int32_t>(U32LE()); }
  float F32LE() { return std::bit_cast<float>(U32LE()); }

  // The next n bytes, consumed.
  std::string_view Bytes(size_t n) {
    Need(n);
    std::string_view v = bytes_.substr(pos_, n);
    pos_ += n;
    return v;
  }

  // A reader over the next n bytes (consumed here), for a block that must not read past its end.
  ByteReader Sub(size_t n) { return ByteReader(Bytes(n), *fileName_); }

  // Raises DecodeError "Cannot read picture "<file>": <why>".
  [[noreturn]] void Fail(const std::string& why) const;
  [[noreturn]] void Truncated() const;

 private:
  void Need(size_t n) const {
    if (n > Remaining()) Truncated();
  }
  uint64_t Little(int n) {
    Need(n);
    uint64_t v = 0;
    for (int i = n - 1; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes_[pos_ + i]);
    pos_ += n;
    return v;
  }
  uint64_t Big(int n) {
    Need(n);
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) v = (v << 8) | static_cast<uint8_t>(bytes_[pos_ + i]);
    pos_ += n;
    return v;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
  const std::u16string* fileName_;  // outlives the reader
};

}  // namespace bookloom
