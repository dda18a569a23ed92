// Which decoder reads which file: a read-only table from extension to decoder, looked up by file name,
// by a picture's first bytes or by its media type.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "decoders/Graphic.h"

namespace bookloom {

class DecoderTable {
 public:
  struct Entry {
    std::u16string ext;          // without the dot
    std::u16string description;  // e.g. "Portable network graphic images"
    std::shared_ptr<const GraphicDecoder> decoder;
  };

  // The entries, an extension (compared as the file types are: case ignored) once at most.
  explicit DecoderTable(std::vector<Entry> entries) : entries_(std::move(entries)) {}

  // The decoder of the extension of a file name, or nullptr.
  const GraphicDecoder* Find(const std::u16string& fileName) const;
  // The decoder of a picture held in memory (inside a book or an archive): by its first bytes where
  // they are those of a JPEG, PNG, GIF, WebP, JPEG XL, HEIF or AVIF picture, whatever it is called; else by
  // the extension of its name; else by its media type ("image/jpeg"); nullptr when none reads it.
  const GraphicDecoder* FindFor(std::string_view bytes, const std::u16string& name,
                                std::string_view mediaType = {}) const;
  const std::vector<Entry>& Entries() const { return entries_; }

 private:
  // The entry of an extension, entries_.size() when none (or the extension is empty).
  size_t IndexOf(std::u16string_view ext) const;

  std::vector<Entry> entries_;
};

}  // namespace bookloom
