#include "platform/Stream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom {

FileOutputStream::FileOutputStream(const std::u16string& fileName, const std::u16string& shownName)
    : fileName_(shownName.empty() ? fileName : shownName) {
  if (shownName.empty()) {
    file_ = std::fopen(Utf16ToUtf8(fileName).c_str(), "wb");
  } else {
    struct stat replaced {};
    const mode_t mode = stat(Utf16ToUtf8(shownName).c_str(), &replaced) == 0 ? replaced.st_mode & 0777 : 0666;
    const int fd = open(Utf16ToUtf8(fileName).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    file_ = fd < 0 ? nullptr : fdopen(fd, "wb");
    if (fd >= 0 && !file_) close(fd);
  }
  if (!file_) Raise<FileCreateError>("Cannot create file \"%s\". %s", {fileName_, SystemErrorText(errno)});
}

FileOutputStream::~FileOutputStream() {
  if (file_) std::fclose(file_);
}

void FileOutputStream::Write(const void* data, size_t count) {
  if (count == 0) return;
  if (!file_ || std::fwrite(data, 1, count, file_) != count)
    Raise<WriteError>("Cannot write to file \"%s\". %s", {fileName_, SystemErrorText(errno)});
  position_ += count;
}

void FileOutputStream::Seek(uint64_t position) {
  if (!file_ || std::fseek(file_, static_cast<long>(position), SEEK_SET) != 0)
    Raise<WriteError>("Cannot seek in file \"%s\". %s", {fileName_, SystemErrorText(errno)});
  position_ = position;
}

void FileOutputStream::Close() {
  if (!file_) return;
  const bool ok = std::fflush(file_) == 0;
  const int flushError = errno;
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!ok || !closed)
    Raise<WriteError>("Cannot write to file \"%s\". %s",
                      {fileName_, SystemErrorText(flushError ? flushError : errno)});
}

void MemoryOutputStream::Write(const void* data, size_t count) {
  if (count == 0) return;
  const auto* bytes = static_cast<const char*>(data);
  const size_t overlap = std::min<uint64_t>(count, bytes_.size() - position_);
  std::memcpy(bytes_.data() + position_, bytes, overlap);
  bytes_.append(bytes + overlap, count - overlap);
  position_ += count;
}

void MemoryOutputStream::Seek(uint64_t position) {
  if (position > bytes_.size()) Raise<WriteError>("Seek beyond the end of a memory stream");
  position_ = position;
}

}  // namespace bookloom
