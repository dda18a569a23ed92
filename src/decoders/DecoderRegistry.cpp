#include "decoders/DecoderRegistry.h"

#include <algorithm>

#include "platform/Collate.h"
#include "platform/Exception.h"
#include "platform/Path.h"

namespace bookloom {

namespace {
std::unique_ptr<TDecoderRegistry> theRegistry;
}

size_t TDecoderRegistry::IndexOf(std::u16string_view ext) const {
  size_t i = 0;
  while (i < entries_.size() && (ext.empty() || !SameTextIgnoreCase(entries_[i].ext, ext))) ++i;
  return i;
}

void TDecoderRegistry::Register(const std::u16string& ext, const std::u16string& description,
                                std::shared_ptr<const TGraphicDecoder> decoder) {
  const size_t i = IndexOf(ext);
  if (i < entries_.size())
    entries_[i] = {ext, description, std::move(decoder)};
  else
    entries_.push_back({ext, description, std::move(decoder)});
}

void TDecoderRegistry::Unregister(const std::u16string& ext) {
  std::erase_if(entries_, [&](const Entry& e) { return SameTextIgnoreCase(e.ext, ext); });
}

const TGraphicDecoder* TDecoderRegistry::Find(const std::u16string& fileName) const {
  const size_t i = IndexOf(PathExtension(fileName));
  return i < entries_.size() ? entries_[i].decoder.get() : nullptr;
}

TDecoderRegistry& DecoderRegistry() {
  if (!theRegistry) throw Exception("The picture decoders have not been started");
  return *theRegistry;
}

void CreateDecoderRegistry() { theRegistry = std::make_unique<TDecoderRegistry>(); }
void DestroyDecoderRegistry() { theRegistry.reset(); }

}  // namespace bookloom
