// Archives through libarchive (zip, rar, 7z and tar, the tar also compressed), read entry by entry
// within limits, so that no archive can make a build allocate without bound: the bytes of one entry
// and of all entries, and how many times larger than the archive its content may be. Encrypted
// entries and names that climb out of the archive ("../x") are refused; nothing is ever written to
// disk. libarchive is loaded into the run's Runtime at the first archive read, so that programs which read
// none do not load it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

struct archive;

namespace bookloom {

struct Libarchive;
class Runtime;

struct ArchiveLimits {
  uint64_t maxEntryBytes;  // the content of one entry
  uint64_t maxTotalBytes;  // the content of all entries read
  // Content beyond this many bytes must not be more than maxRatio times the bytes of the archive
  // read so far: what a zip bomb is made to exceed.
  uint64_t ratioAllowance;
  uint64_t maxRatio;
  uint64_t maxEntries;
};
inline constexpr ArchiveLimits kArchiveLimits = {
    .maxEntryBytes = uint64_t{256} << 20,
    .maxTotalBytes = uint64_t{2} << 30,
    .ratioAllowance = uint64_t{16} << 20,
    .maxRatio = 200,
    .maxEntries = 100000,
};

class ArchiveReader {
 public:
  // Opens the archive file with the run's libarchive; DocumentError naming it when libarchive reads no
  // such format or cannot be loaded.
  ArchiveReader(const Runtime& runtime, const std::u16string& fileName,
                const ArchiveLimits& limits = kArchiveLimits);
  // Opens an archive held in memory (which must outlive the reader); fileName names it in messages.
  ArchiveReader(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                const ArchiveLimits& limits = kArchiveLimits);
  ~ArchiveReader();
  ArchiveReader(const ArchiveReader&) = delete;
  ArchiveReader& operator=(const ArchiveReader&) = delete;

  // Moves to the next regular file of the archive (folders, links and the like are passed over) and
  // returns true, or returns false at the end. Raises DocumentError naming the archive and the entry
  // when the archive is damaged, the entry is encrypted, its name leaves the archive or it claims to
  // be larger than the limit of an entry.
  bool Next();
  // The current entry's name: its path inside the archive with "/" between folders, without a
  // leading "./" or "/".
  const std::string& Name() const { return name_; }
  // The current entry's content, within the limits (the size the entry claims is not trusted).
  std::string Read();

 private:
  archive* NewReader() const;
  void Opened(int status);
  std::string ErrorText(const std::string& otherwise) const;
  [[noreturn]] void Fail(const std::string& part, const std::string& why) const;

  std::u16string fileName_;
  ArchiveLimits limits_;
  const Libarchive& libarchive_;
  std::unique_ptr<archive, int (*)(archive*)> archive_;
  std::string name_;
  uint64_t claimed_ = 0;  // the size the current entry claims (within the limit), 0 when unknown
  uint64_t entries_ = 0;
  uint64_t total_ = 0;
};

// The entry name made plain ("a/b.jpg" of "./a//b.jpg" and of "a\\b.jpg"); "" when it climbs out of
// the archive or is absolute ("../b.jpg", "/etc/x").
std::string PlainEntryName(std::string_view name);

// The name of `reference`, relative to the folder of the entry `from`, inside the archive: "OEBPS/i/a.png"
// of "i/a.png" from "OEBPS/ch1.xhtml"; a "#fragment" or "?query" and %-escapes are resolved. "" when
// it leaves the archive.
std::string ResolveEntryName(std::string_view from, std::string_view reference);

}  // namespace bookloom
