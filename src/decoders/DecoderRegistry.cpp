#include "decoders/DecoderRegistry.h"

#include <algorithm>

#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"

namespace bookloom {

size_t DecoderRegistry::IndexOf(std::u16string_view ext) const {
  size_t i = 0;
  while (i < entries_.size() && (ext.empty() || !SameTextIgnoreCase(entries_[i].ext, ext))) ++i;
  return i;
}

void DecoderRegistry::Register(const std::u16string& ext, const std::u16string& description,
                               std::shared_ptr<const GraphicDecoder> decoder) {
  const size_t i = IndexOf(ext);
  if (i < entries_.size())
    entries_[i] = {ext, description, std::move(decoder)};
  else
    entries_.push_back({ext, description, std::move(decoder)});
}

void DecoderRegistry::Unregister(const std::u16string& ext) {
  std::erase_if(entries_, [&](const Entry& e) { return SameTextIgnoreCase(e.ext, ext); });
}

const GraphicDecoder* DecoderRegistry::Find(const std::u16string& fileName) const {
  const size_t i = IndexOf(PathExtension(fileName));
  return i < entries_.size() ? entries_[i].decoder.get() : nullptr;
}

}  // namespace bookloom
