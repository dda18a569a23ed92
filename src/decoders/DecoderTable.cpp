#include "decoders/DecoderTable.h"

#include <algorithm>

#include "decoders/HeifDecoder.h"
#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"

namespace bookloom {

size_t DecoderTable::IndexOf(std::u16string_view ext) const {
  size_t i = 0;
  while (i < entries_.size() && (ext.empty() || !SameTextIgnoreCase(entries_[i].ext, ext))) ++i;
  return i;
}

const GraphicDecoder* DecoderTable::Find(const std::u16string& fileName) const {
  const size_t i = IndexOf(PathExtension(fileName));
  return i < entries_.size() ? entries_[i].decoder.get() : nullptr;
}

const GraphicDecoder* DecoderTable::FindFor(std::string_view bytes, const std::u16string& name,
                                            std::string_view mediaType) const {
  // A JPEG XL picture in its container (a bare one starts with FF 0A).
  static constexpr std::string_view kJpegXlContainer("\0\0\0\x0CJXL \r\n\x87\n", 12);
  static constexpr struct {
    std::string_view start;
    const char16_t* ext;
  } kSignatures[] = {
      {"\xFF\xD8\xFF", u"jpg"}, {"\x89PNG\r\n\x1A\n", u"png"}, {"GIF87a", u"gif"},
      {"GIF89a", u"gif"},       {"\xFF\x0A", u"jxl"},          {kJpegXlContainer, u"jxl"},
  };
  for (const auto& s : kSignatures)
    if (bytes.starts_with(s.start)) return Find(std::u16string(u"x.") + s.ext);
  if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "WEBP") return Find(u"x.webp");
  if (LooksLikeHeif(bytes)) return Find(u"x.heif");
  if (const GraphicDecoder* decoder = Find(name)) return decoder;
  // "image/jpeg" and the like: the subtype is the extension, but for the few that differ.
  static constexpr struct {
    std::string_view type;
    const char16_t* ext;
  } kTypes[] = {{"image/jpeg", u"jpg"},  {"image/jpg", u"jpg"},     {"image/png", u"png"},
                {"image/gif", u"gif"},   {"image/bmp", u"bmp"},     {"image/tiff", u"tif"},
                {"image/webp", u"webp"}, {"image/svg+xml", u"svg"}, {"image/jxl", u"jxl"},
                {"image/avif", u"avif"}, {"image/heif", u"heif"},   {"image/heic", u"heic"}};
  for (const auto& t : kTypes)
    if (mediaType == t.type) return Find(std::u16string(u"x.") + t.ext);
  return nullptr;
}

}  // namespace bookloom
