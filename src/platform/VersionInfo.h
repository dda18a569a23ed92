// The version stamp of an executable: a marker and the file version words in an ELF section of
// their own, written by the build and read back from the file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace bookloom {

inline constexpr char kVersionSectionName[] = ".bookloom_version";
inline constexpr char kVersionStampMarker[16] = {'B', 'o', 'o', 'k', 'l', 'o', 'o', 'm',
                                                 ' ', 'v', 'e', 'r', 's', 'i', 'o', 'n'};

// The section's content: the marker, then the most and the least significant 32-bit file
// version words, each lowest byte first (major << 16 | minor, release << 16 | build).
struct VersionStamp {
  char marker[16];
  uint8_t words[8];
};

constexpr VersionStamp MakeVersionStamp(uint16_t major, uint16_t minor, uint16_t release, uint16_t build) {
  VersionStamp stamp{};
  for (size_t i = 0; i < sizeof stamp.marker; ++i) stamp.marker[i] = kVersionStampMarker[i];
  const uint16_t halves[4] = {minor, major, build, release};  // MS then LS, low half first
  for (size_t i = 0; i < 4; ++i) {
    stamp.words[2 * i] = static_cast<uint8_t>(halves[i] & 0xFF);
    stamp.words[2 * i + 1] = static_cast<uint8_t>(halves[i] >> 8);
  }
  return stamp;
}

// The two 32-bit file version words.
struct FileVersion {
  uint32_t ms = 0;
  uint32_t ls = 0;
};

// Reads `size` bytes at `offset` into `out`; false when they are not all there.
using ByteReader = std::function<bool(uint64_t offset, size_t size, void* out)>;

// Looks through the section headers of an ELF file (32 or 64 bits, either byte order) for the
// version section. Every offset and count read from the file is checked against what `read`
// can deliver; anything that is not a well-formed stamp gives no version.
std::optional<FileVersion> FindVersionStamp(const ByteReader& read);

// The stamp of the file at that path; none when the file cannot be read or carries none.
std::optional<FileVersion> ReadFileVersion(const std::u16string& fileName);

}  // namespace bookloom
