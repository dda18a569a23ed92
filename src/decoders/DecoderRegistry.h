// Which decoder reads which file: a table from extension to decoder, looked up by file name.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "decoders/Graphic.h"

namespace bookloom {

class TDecoderRegistry {
 public:
  struct Entry {
    std::u16string ext;          // without the dot, as registered
    std::u16string description;  // e.g. "Portable network graphic images"
    std::shared_ptr<const TGraphicDecoder> decoder;
  };

  // Adds or replaces the decoder of an extension (compared without regard to case).
  void Register(const std::u16string& ext, const std::u16string& description,
                std::shared_ptr<const TGraphicDecoder> decoder);
  void Unregister(const std::u16string& ext);

  // The decoder registered for the extension of a file name, or nullptr.
  const TGraphicDecoder* Find(const std::u16string& fileName) const;
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  std::vector<Entry> entries_;
};

// The extension of a file name: the text after the last "." of its last path component, "" when
// it has none.
std::u16string FileExtension(const std::u16string& fileName);

// ASCII-only lower case, for comparing extensions.
std::u16string AsciiLower(std::u16string s);

// The program's one registry; it exists between the start-up and shut-down of the units.
TDecoderRegistry& DecoderRegistry();
void CreateDecoderRegistry();
void DestroyDecoderRegistry();

}  // namespace bookloom
