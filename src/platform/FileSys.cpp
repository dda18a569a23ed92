#include "platform/FileSys.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>

#include "platform/Exception.h"
#include "platform/Memory.h"
#include "platform/Stream.h"
#include "platform/Utf.h"

namespace bookloom {

bool FileExists(const std::u16string& fileName) {
  struct stat st {};
  return stat(Utf16ToUtf8(fileName).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

FileKind KindOf(const std::u16string& fileName) {
  struct stat st {};
  if (stat(Utf16ToUtf8(fileName).c_str(), &st) != 0) return FileKind::kMissing;
  if (S_ISREG(st.st_mode)) return FileKind::kRegular;
  return S_ISDIR(st.st_mode) ? FileKind::kFolder : FileKind::kOther;
}

std::optional<int64_t> ModificationTime(const std::u16string& fileName) {
  struct stat st {};
  if (stat(Utf16ToUtf8(fileName).c_str(), &st) != 0) return std::nullopt;
  return int64_t{st.st_mtim.tv_sec} * 1'000'000'000 + st.st_mtim.tv_nsec;
}

std::vector<FolderEntry> ListFolder(const std::u16string& folder) {
  const std::string path = Utf16ToUtf8(folder);
  const std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(path.c_str()), closedir);
  if (!dir) Raise<FileOpenError>("Cannot open folder \"%s\". %s", {folder, SystemErrorText(errno)});
  std::vector<FolderEntry> entries;
  while (const dirent* e = readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    const std::u16string full = folder + (folder.ends_with(u'/') ? u"" : u"/") + Utf8ToUtf16(name);
    struct stat st {};
    const bool link = lstat(Utf16ToUtf8(full).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    entries.push_back({Utf8ToUtf16(name), KindOf(full), link});
  }
  return entries;
}

bool SameFile(const std::u16string& a, const std::u16string& b) {
  struct stat sa {
  }, sb{};
  return stat(Utf16ToUtf8(a).c_str(), &sa) == 0 && stat(Utf16ToUtf8(b).c_str(), &sb) == 0 &&
         sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

int64_t FileSize(const std::u16string& fileName) {
  struct stat st {};
  if (stat(Utf16ToUtf8(fileName).c_str(), &st) != 0) return 0;
  return static_cast<int64_t>(st.st_size);
}

bool DeleteFile(const std::u16string& fileName) { return std::remove(Utf16ToUtf8(fileName).c_str()) == 0; }

std::string ReadAccessProblem(const std::u16string& fileName) {
  const int fd = open(Utf16ToUtf8(fileName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return SystemErrorText(errno);
  close(fd);
  return "";
}

std::string ReadFileBytes(const std::u16string& fileName, size_t maxBytes) {
  // Opened without waiting, so that a named pipe without a writer cannot stop the program.
  const int fd = open(Utf16ToUtf8(fileName).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) Raise<FileOpenError>("Cannot open file \"%s\". %s", {fileName, SystemErrorText(errno)});
  struct stat st {};
  const int statError = fstat(fd, &st) != 0 ? errno : 0;
  if (statError != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    if (statError == 0 && !S_ISDIR(st.st_mode))
      Raise<FileOpenError>("Cannot open file \"%s\". It is not a regular file", {fileName});
    Raise<FileOpenError>("Cannot open file \"%s\". %s",
                         {fileName, SystemErrorText(statError != 0 ? statError : EISDIR)});
  }
  std::string bytes;
  bytes.reserve(std::min(static_cast<size_t>(st.st_size), maxBytes));
  PreferLargePages(bytes.data(), bytes.capacity());
  char buf[1 << 16];
  while (bytes.size() < maxBytes) {
    const ssize_t got = read(fd, buf, std::min(sizeof buf, maxBytes - bytes.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      Raise<ReadError>("Cannot read file \"%s\". %s", {fileName, SystemErrorText(error)});
    }
    if (got == 0) break;
    bytes.append(buf, static_cast<size_t>(got));
  }
  close(fd);
  return bytes;
}

std::u16string TemporaryNameBeside(const std::u16string& target) {
  // A name in a folder holds at most 255 bytes: the part taken from the target's name is shortened
  // to leave room for the suffix, so that a target of any valid name gets a temporary file.
  constexpr size_t kMaxNameBytes = 255;
  const size_t nameStart = target.find_last_of(u'/') + 1;  // 0 when there is no folder
  std::random_device rd;
  for (;;) {
    const std::string suffix = ".part" + std::to_string(rd() % 1000000000u);
    std::u16string name = target.substr(nameStart);
    while (!name.empty() && Utf16ToUtf8(name).size() + suffix.size() > kMaxNameBytes) {
      name.pop_back();
      if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
    }
    const std::u16string path = target.substr(0, nameStart) + name + Utf8ToUtf16(suffix);
    struct stat st {};
    if (stat(Utf16ToUtf8(path).c_str(), &st) != 0) return path;
  }
}

void ReplaceFile(const std::u16string& source, const std::u16string& target) {
  struct stat old {};
  if (stat(Utf16ToUtf8(target).c_str(), &old) == 0) chmod(Utf16ToUtf8(source).c_str(), old.st_mode & 07777);
  if (std::rename(Utf16ToUtf8(source).c_str(), Utf16ToUtf8(target).c_str()) != 0)
    Raise<WriteError>("Cannot replace file \"%s\". %s", {target, SystemErrorText(errno)});
}

void WriteFileReplacing(const std::u16string& fileName, std::string_view bytes) {
  const std::u16string temporary = TemporaryNameBeside(fileName);
  try {
    FileOutputStream file(temporary, fileName);
    file.WriteStr(bytes);
    file.Close();
    ReplaceFile(temporary, fileName);
  } catch (...) {
    DeleteFile(temporary);
    throw;
  }
}

std::u16string ExecutablePath() {
  char buf[4096];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return u"";
  return Utf8ToUtf16(std::string(buf, static_cast<size_t>(n)));
}

}  // namespace bookloom
