#include "platform/VersionInfo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Utf.h"

namespace bookloom {

namespace {

constexpr uint32_t kSectionNoBits = 8;       // SHT_NOBITS: the section has no bytes in the file
constexpr uint16_t kExtendedIndex = 0xFFFF;  // SHN_XINDEX
constexpr uint64_t kMaxSections = 1u << 20;  // more than any real file has

// Integer fields of the file in its own byte order.
class ElfFields {
 public:
  ElfFields(const ByteReader& read, bool bigEndian) : read_(read), bigEndian_(bigEndian) {}

  bool Get(uint64_t offset, size_t size, uint64_t& value) const {
    uint8_t bytes[8];
    if (!read_(offset, size, bytes)) return false;
    value = 0;
    for (size_t i = 0; i < size; ++i) {
      const size_t at = bigEndian_ ? i : size - 1 - i;
      value = value << 8 | bytes[at];
    }
    return true;
  }

 private:
  const ByteReader& read_;
  bool bigEndian_;
};

// Where the fields of the file header and of one section header lie, for 32 or 64 bits.
struct ElfLayout {
  uint64_t shoff, shoffSize, shentsize, shnum, shstrndx;
  uint64_t entrySize;  // the smallest section header
  uint64_t nameAt, typeAt, offsetAt, sizeAt, linkAt, wordSize;
};

constexpr ElfLayout kElf32 = {0x20, 4, 0x2E, 0x30, 0x32, 0x28, 0x00, 0x04, 0x10, 0x14, 0x18, 4};
constexpr ElfLayout kElf64 = {0x28, 8, 0x3A, 0x3C, 0x3E, 0x40, 0x00, 0x04, 0x18, 0x20, 0x28, 8};

struct Section {
  uint64_t name = 0, type = 0, offset = 0, size = 0;
};

}  // namespace

std::optional<FileVersion> FindVersionStamp(const ByteReader& read) {
  uint8_t ident[16];
  if (!read(0, sizeof ident, ident) || std::memcmp(ident,
                                                   "\x7F"
                                                   "ELF",
                                                   4) != 0)
    return {};
  if ((ident[4] != 1 && ident[4] != 2) || (ident[5] != 1 && ident[5] != 2)) return {};
  const ElfLayout& layout = ident[4] == 1 ? kElf32 : kElf64;
  const ElfFields fields(read, ident[5] == 2);

  uint64_t shoff, shentsize, shnum, shstrndx;
  if (!fields.Get(layout.shoff, layout.shoffSize, shoff) || !fields.Get(layout.shentsize, 2, shentsize) ||
      !fields.Get(layout.shnum, 2, shnum) || !fields.Get(layout.shstrndx, 2, shstrndx))
    return {};
  if (shoff == 0 || shentsize < layout.entrySize) return {};

  auto sectionAt = [&](uint64_t index, uint64_t& at) {
    at = shoff + index * shentsize;
    return index <= kMaxSections && at >= shoff;
  };
  auto getSection = [&](uint64_t index, Section& s) {
    uint64_t at;
    return sectionAt(index, at) && fields.Get(at + layout.nameAt, 4, s.name) &&
           fields.Get(at + layout.typeAt, 4, s.type) &&
           fields.Get(at + layout.offsetAt, layout.wordSize, s.offset) &&
           fields.Get(at + layout.sizeAt, layout.wordSize, s.size);
  };

  // Files with very many sections keep the real count and string table index in section 0.
  if (shnum == 0 || shstrndx == kExtendedIndex) {
    Section first;
    uint64_t at;
    if (!getSection(0, first) || !sectionAt(0, at)) return {};
    if (shnum == 0) shnum = first.size;
    if (shstrndx == kExtendedIndex && !fields.Get(at + layout.linkAt, 4, shstrndx)) return {};
  }
  if (shnum > kMaxSections || shstrndx >= shnum) return {};

  Section names;
  if (!getSection(shstrndx, names) || names.type == kSectionNoBits) return {};
  const size_t wantedLength = sizeof kVersionSectionName;  // with the closing zero
  for (uint64_t i = 0; i < shnum; ++i) {
    Section s;
    if (!getSection(i, s)) return {};
    if (s.type == kSectionNoBits || s.name > names.size || names.size - s.name < wantedLength) continue;
    char name[sizeof kVersionSectionName];
    if (!read(names.offset + s.name, wantedLength, name) ||
        std::memcmp(name, kVersionSectionName, wantedLength) != 0)
      continue;
    VersionStamp stamp;
    if (s.size < sizeof stamp || !read(s.offset, sizeof stamp, &stamp) ||
        std::memcmp(stamp.marker, kVersionStampMarker, sizeof stamp.marker) != 0)
      return {};
    auto word = [&](size_t at) {
      return static_cast<uint32_t>(stamp.words[at]) | static_cast<uint32_t>(stamp.words[at + 1]) << 8 |
             static_cast<uint32_t>(stamp.words[at + 2]) << 16 |
             static_cast<uint32_t>(stamp.words[at + 3]) << 24;
    };
    return FileVersion{word(0), word(4)};
  }
  return {};
}

std::optional<FileVersion> ReadFileVersion(const std::u16string& fileName) {
  const int fd = open(Utf16ToUtf8(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  const ByteReader read = [fd](uint64_t offset, size_t size, void* out) {
    if (offset > static_cast<uint64_t>(INT64_MAX) - size) return false;
    size_t done = 0;
    while (done < size) {
      const ssize_t got =
          pread(fd, static_cast<char*>(out) + done, size - done, static_cast<off_t>(offset + done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return false;
      done += static_cast<size_t>(got);
    }
    return true;
  };
  const std::optional<FileVersion> version = FindVersionStamp(read);
  close(fd);
  return version;
}

}  // namespace bookloom
