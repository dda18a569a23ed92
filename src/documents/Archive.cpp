#include "documents/Archive.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <vector>

#include "documents/Document.h"
#include "platform/Runtime.h"
#include "platform/Utf.h"

namespace bookloom {

// The functions of libarchive that the reader calls: a reader of the formats books come in, opened
// on a file or on memory, and its entries one by one.
// clang-format off
#define LIBARCHIVE_FUNCTIONS(F)                                                                    \
  F(archive_read_new) F(archive_read_free)                                                         \
  F(archive_read_support_format_zip) F(archive_read_support_format_rar)                            \
  F(archive_read_support_format_rar5) F(archive_read_support_format_7zip)                          \
  F(archive_read_support_format_tar) F(archive_read_support_filter_gzip)                           \
  F(archive_read_support_filter_bzip2) F(archive_read_support_filter_xz)                           \
  F(archive_read_support_filter_zstd)                                                              \
  F(archive_read_open_filename) F(archive_read_open_memory) F(archive_error_string)                \
  F(archive_read_next_header) F(archive_entry_pathname_utf8) F(archive_entry_pathname)             \
  F(archive_entry_filetype) F(archive_entry_is_encrypted) F(archive_entry_size_is_set)             \
  F(archive_entry_size) F(archive_read_data) F(archive_filter_bytes)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libarchive, LIBARCHIVE_FUNCTIONS);

namespace {

// libarchive's functions, loaded at the first archive read; DocumentError naming the archive when
// libarchive cannot be loaded.
const Libarchive& LibarchiveFor(const Runtime& runtime, const std::u16string& fileName) {
  const LoadedFunctions<Libarchive>& libarchive = runtime.Library<Libarchive>(BOOKLOOM_LIBARCHIVE);
  if (!libarchive.functions)
    throw DocumentError(fileName, "", "libarchive cannot be loaded: " + libarchive.problem);
  return *libarchive.functions;
}

// "2000 bytes", "256 MB".
std::string SizeText(uint64_t bytes) {
  return bytes < (1 << 20) ? std::to_string(bytes) + " bytes" : std::to_string(bytes >> 20) + " MB";
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// "%20" and the like as the bytes they stand for; a "%" not followed by two hex digits stays.
std::string Unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string PlainEntryName(std::string_view name) {
  if (name.starts_with("/") || name.starts_with("\\")) return {};
  std::vector<std::string> parts;
  std::string part;
  const auto flush = [&]() -> bool {
    if (part == "..") return false;
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
    return true;
  };
  for (const char c : name) {
    if (c == '/' || c == '\\') {
      if (!flush()) return {};
    } else {
      part += c;
    }
  }
  if (!flush() || parts.empty()) return {};
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

std::string ResolveEntryName(std::string_view from, std::string_view reference) {
  reference = reference.substr(0, reference.find_first_of("#?"));
  if (reference.empty()) return {};
  const std::string target = Unescaped(reference);
  if (target.starts_with("/")) return PlainEntryName(target.substr(1));
  const size_t slash = from.rfind('/');
  std::vector<std::string> parts;
  std::string path =
      (slash == std::string_view::npos ? std::string() : std::string(from.substr(0, slash + 1))) + target;
  std::string part;
  path += '/';
  for (const char c : path) {
    if (c != '/') {
      part += c;
      continue;
    }
    if (part == "..") {
      if (parts.empty()) return {};
      parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  }
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
  return out;
}

ArchiveReader::ArchiveReader(const Runtime& runtime, const std::u16string& fileName,
                             const ArchiveLimits& limits)
    : fileName_(fileName),
      limits_(limits),
      libarchive_(LibarchiveFor(runtime, fileName)),
      archive_(NewReader(), libarchive_.archive_read_free) {
  Opened(libarchive_.archive_read_open_filename(archive_.get(), Utf16ToUtf8(fileName).c_str(), 1 << 16));
}

ArchiveReader::ArchiveReader(const Runtime& runtime, std::string_view bytes, const std::u16string& fileName,
                             const ArchiveLimits& limits)
    : fileName_(fileName),
      limits_(limits),
      libarchive_(LibarchiveFor(runtime, fileName)),
      archive_(NewReader(), libarchive_.archive_read_free) {
  Opened(libarchive_.archive_read_open_memory(archive_.get(), bytes.data(), bytes.size()));
}

ArchiveReader::~ArchiveReader() = default;

archive* ArchiveReader::NewReader() const {
  archive* a = libarchive_.archive_read_new();
  if (!a) throw OutOfMemoryError("Out of memory for an archive reader");
  // Only the formats books and comics come in: never one that reads other files of the disk (mtree)
  // nor a filter that runs an outside program.
  libarchive_.archive_read_support_format_zip(a);
  libarchive_.archive_read_support_format_rar(a);
  libarchive_.archive_read_support_format_rar5(a);
  libarchive_.archive_read_support_format_7zip(a);
  libarchive_.archive_read_support_format_tar(a);
  libarchive_.archive_read_support_filter_gzip(a);
  libarchive_.archive_read_support_filter_bzip2(a);
  libarchive_.archive_read_support_filter_xz(a);
  libarchive_.archive_read_support_filter_zstd(a);
  return a;
}

void ArchiveReader::Opened(int status) {
  if (status != ARCHIVE_OK) Fail("", "not an archive of a known kind (" + ErrorText("unreadable") + ")");
}

std::string ArchiveReader::ErrorText(const std::string& otherwise) const {
  const char* text = libarchive_.archive_error_string(archive_.get());
  return text && *text ? text : otherwise;
}

bool ArchiveReader::Next() {
  archive_entry* entry = nullptr;
  for (;;) {
    const int status = libarchive_.archive_read_next_header(archive_.get(), &entry);
    if (status == ARCHIVE_EOF) return false;
    if (status < ARCHIVE_WARN)
      Fail(name_.empty() ? "the first entry" : "the entry after \"" + name_ + "\"",
           ErrorText("damaged archive"));
    if (++entries_ > limits_.maxEntries)
      Fail("", "more than " + std::to_string(limits_.maxEntries) + " entries");
    const char* utf8 = libarchive_.archive_entry_pathname_utf8(entry);
    const char* raw = libarchive_.archive_entry_pathname(entry);
    const std::string name = utf8 ? utf8 : raw ? raw : "";
    if (libarchive_.archive_entry_filetype(entry) != AE_IFREG) continue;
    name_ = PlainEntryName(name);
    if (name_.empty()) Fail("entry \"" + name + "\"", "a name that leads out of the archive");
    if (libarchive_.archive_entry_is_encrypted(entry))
      Fail("entry \"" + name_ + "\"", "encrypted (protected by a password)");
    // An entry that claims more than the limit is refused before a byte of it is inflated; one that
    // claims less is not believed either (Read counts what it really holds).
    const auto claimed = static_cast<uint64_t>(libarchive_.archive_entry_size(entry));
    if (libarchive_.archive_entry_size_is_set(entry) && claimed > limits_.maxEntryBytes)
      Fail("entry \"" + name_ + "\"",
           "it claims " + SizeText(claimed) + ", more than the limit of " + SizeText(limits_.maxEntryBytes));
    claimed_ = libarchive_.archive_entry_size_is_set(entry) ? claimed : 0;
    return true;
  }
}

std::string ArchiveReader::Read() {
  const std::string part = "entry \"" + name_ + "\"";
  std::string content;
  // Room for what the entry claims (up to a large picture's size, as the claim is not trusted), so
  // that its content is not copied as it grows; more is read only as it comes.
  content.reserve(static_cast<size_t>(std::min<uint64_t>(claimed_, uint64_t{16} << 20)));
  char buffer[1 << 16];
  for (;;) {
    const la_ssize_t n = libarchive_.archive_read_data(archive_.get(), buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) Fail(part, ErrorText("damaged data"));
    const auto count = static_cast<uint64_t>(n);
    if (content.size() + count > limits_.maxEntryBytes)
      Fail(part, "its content is larger than the limit of " + SizeText(limits_.maxEntryBytes));
    total_ += count;
    if (total_ > limits_.maxTotalBytes)
      Fail(part, "the archive's content is larger than the limit of " + SizeText(limits_.maxTotalBytes));
    const auto packed =
        static_cast<uint64_t>(std::max<la_int64_t>(libarchive_.archive_filter_bytes(archive_.get(), -1), 1));
    if (total_ > limits_.ratioAllowance && total_ / packed > limits_.maxRatio)
      Fail(part, "its content is more than " + std::to_string(limits_.maxRatio) +
                     " times larger than the archive (a zip bomb)");
    content.append(buffer, static_cast<size_t>(n));
  }
  return content;
}

void ArchiveReader::Fail(const std::string& part, const std::string& why) const {
  throw DocumentError(fileName_, part, why);
}

}  // namespace bookloom
