// What the document fuzz targets share: the picture decoders started once with small picture limits
// (the readers load their libraries at their first input), inputs handed to readers that take a file name
// through an in-memory file, and reading that treats the readers' own errors as the expected outcome.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "DecoderFuzzing.h"
#include "decoders/PictureFormats.h"
#include "documents/Document.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom::fuzz {

inline void StartDocumentReading() { LimitPictureSizes(); }

// The input as a file of its own that lives in memory, named by a path that any reader can open.
class InputFile {
 public:
  InputFile(const uint8_t* data, size_t size) : fd_(memfd_create("fuzz-input", 0)) {
    for (size_t done = 0; fd_ >= 0 && done < size;) {
      const ssize_t n = write(fd_, data + done, size - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
  }
  ~InputFile() {
    if (fd_ >= 0) close(fd_);
  }
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  std::u16string Name() const { return Utf8ToUtf16("/proc/self/fd/" + std::to_string(fd_)); }

 private:
  int fd_;
};

// Reads a document and decodes up to `maxPictures` of its pictures (the cover first); the readers'
// and decoders' errors are fine, anything else (a crash, a sanitizer report, another exception) is a
// finding.
template <class Read>
void ReadDocument(Read read, size_t maxPictures) {
  try {
    Document document = read();
    if (!document.pictures) return;
    document.pictures->Check();
    if (document.cover) {
      try {
        document.pictures->Decode(*document.cover);
      } catch (const DecodeError&) {
      } catch (const DocumentError&) {
      }
    }
    size_t decoded = 0;
    for (const DocumentBlock& block : document.blocks) {
      if (block.kind != DocumentBlock::Kind::kPicture || decoded++ >= maxPictures) continue;
      try {
        document.pictures->Decode(block.picture);
      } catch (const DecodeError&) {
      } catch (const DocumentError&) {
      }
    }
  } catch (const DocumentError&) {
  }
}

}  // namespace bookloom::fuzz

// The entry point of a target that feeds every input, as a file, to one document reader.
#define BOOKLOOM_FUZZ_DOCUMENT_INPUT(read, maxPictures)                                                  \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                              \
    const ::bookloom::fuzz::InputFile file(data, size);                                                  \
    ::bookloom::fuzz::ReadDocument([&] { return read(::bookloom::fuzz::TargetRuntime(), file.Name()); }, \
                                   maxPictures);                                                         \
    return 0;                                                                                            \
  }

// The entry point of a target that feeds every input's bytes to a reader of documents held in
// memory: `read` takes a std::string_view.
#define BOOKLOOM_FUZZ_DOCUMENT_BYTES(read, maxPictures)                                            \
  extern "C" int LLVMFuzzerInitialize(int*, char***) {                                             \
    ::bookloom::fuzz::StartDocumentReading();                                                      \
    return 0;                                                                                      \
  }                                                                                                \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {                        \
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);                       \
    ::bookloom::fuzz::ReadDocument([&] { return read(::bookloom::fuzz::TargetRuntime(), bytes); }, \
                                   maxPictures);                                                   \
    return 0;                                                                                      \
  }

// The same with the document readers started before the first input.
#define BOOKLOOM_FUZZ_DOCUMENT_FILE(read, maxPictures) \
  extern "C" int LLVMFuzzerInitialize(int*, char***) { \
    ::bookloom::fuzz::StartDocumentReading();          \
    return 0;                                          \
  }                                                    \
  BOOKLOOM_FUZZ_DOCUMENT_INPUT(read, maxPictures)
