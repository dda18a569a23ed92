// Small ELF files for the tests of the version stamp: a string table and, when asked, the
// version section.
#pragma once

#include <cstring>
#include <string>

#include "platform/VersionInfo.h"

namespace bookloom::test {

// Builds the bytes of an ELF file of 32 or 64 bits in either byte order.
class ElfBuilder {
 public:
  ElfBuilder(bool is64, bool bigEndian) : is64_(is64), big_(bigEndian) {}

  std::string Build(const VersionStamp* stamp, const char* sectionName = kVersionSectionName) const {
    const std::string names = std::string("\0.shstrtab\0", 11) + sectionName + '\0';
    const size_t headerSize = is64_ ? 64 : 52, entrySize = is64_ ? 64 : 40;
    std::string file(headerSize, '\0');
    const size_t namesAt = file.size();
    file += names;
    const size_t stampAt = file.size();
    if (stamp) file.append(reinterpret_cast<const char*>(stamp), sizeof *stamp);
    const size_t shoff = file.size();
    const int count = stamp ? 3 : 2;
    file.append(entrySize * count, '\0');

    std::memcpy(file.data(),
                "\x7F"
                "ELF",
                4);
    file[4] = is64_ ? 2 : 1;
    file[5] = big_ ? 2 : 1;
    file[6] = 1;
    Put(file, is64_ ? 0x28 : 0x20, is64_ ? 8 : 4, shoff);
    Put(file, is64_ ? 0x3A : 0x2E, 2, entrySize);
    Put(file, is64_ ? 0x3C : 0x30, 2, count);
    Put(file, is64_ ? 0x3E : 0x32, 2, 1);
    Section(file, shoff + entrySize, 1, 3, namesAt, names.size());
    if (stamp) Section(file, shoff + 2 * entrySize, 11, 1, stampAt, sizeof *stamp);
    return file;
  }

 private:
  void Put(std::string& f, size_t at, int size, uint64_t v) const {
    for (int i = 0; i < size; ++i) f[at + (big_ ? size - 1 - i : i)] = static_cast<char>(v >> (8 * i) & 0xFF);
  }
  void Section(std::string& f, size_t at, uint32_t name, uint32_t type, uint64_t offset,
               uint64_t size) const {
    Put(f, at, 4, name);
    Put(f, at + 4, 4, type);
    Put(f, at + (is64_ ? 0x18 : 0x10), is64_ ? 8 : 4, offset);
    Put(f, at + (is64_ ? 0x20 : 0x14), is64_ ? 8 : 4, size);
  }

  bool is64_, big_;
};

}  // namespace bookloom::test
