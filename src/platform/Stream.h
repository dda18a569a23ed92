// Output streams with a position: the book file and in-memory buffers. A failed write raises.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace bookloom {

class OutputStream {
 public:
  virtual ~OutputStream() = default;
  virtual void Write(const void* data, size_t count) = 0;
  virtual uint64_t Position() const = 0;
  virtual void Seek(uint64_t position) = 0;

  void WriteStr(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
  void WriteByte(uint8_t b) { Write(&b, 1); }
};

// A file created anew (an existing file is replaced); FileCreateError when it cannot be created,
// WriteError when a write fails. The errors name `shownName` when one is given: the file the user
// knows of, when this one is a temporary file that will take its place. Such a temporary file must
// not exist yet (it is never opened through a link), and it is created with the permissions of the
// file it will replace, when that exists: it is never open to more people than that file.
class FileOutputStream : public OutputStream {
 public:
  explicit FileOutputStream(const std::u16string& fileName, const std::u16string& shownName = u"");
  ~FileOutputStream() override;
  FileOutputStream(const FileOutputStream&) = delete;
  FileOutputStream& operator=(const FileOutputStream&) = delete;

  void Write(const void* data, size_t count) override;
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override;
  // Flushes and closes; a failure raises WriteError. The destructor closes silently.
  void Close();

 private:
  std::u16string fileName_;
  std::FILE* file_ = nullptr;
  uint64_t position_ = 0;
};

// Bytes held in memory; Seek may move inside the written bytes or to their end.
class MemoryOutputStream : public OutputStream {
 public:
  void Write(const void* data, size_t count) override;
  uint64_t Position() const override { return position_; }
  void Seek(uint64_t position) override;

  const std::string& Bytes() const { return bytes_; }
  std::string& Bytes() { return bytes_; }

 private:
  std::string bytes_;
  uint64_t position_ = 0;
};

}  // namespace bookloom
