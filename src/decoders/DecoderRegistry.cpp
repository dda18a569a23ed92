#include "decoders/DecoderRegistry.h"

#include <algorithm>

#include "platform/Exception.h"

namespace bookloom {

namespace {
std::unique_ptr<TDecoderRegistry> theRegistry;
}

std::u16string AsciiLower(std::u16string s) {
  for (auto& c : s)
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  return s;
}

std::u16string FileExtension(const std::u16string& fileName) {
  const size_t slash = fileName.find_last_of(u'/');
  const size_t nameStart = slash == std::u16string::npos ? 0 : slash + 1;
  const size_t dot = fileName.find_last_of(u'.');
  if (dot == std::u16string::npos || dot < nameStart) return u"";
  return fileName.substr(dot + 1);
}

void TDecoderRegistry::Register(const std::u16string& ext, const std::u16string& description,
                                std::shared_ptr<const TGraphicDecoder> decoder) {
  const std::u16string key = AsciiLower(ext);
  for (auto& e : entries_)
    if (AsciiLower(e.ext) == key) {
      e = {ext, description, std::move(decoder)};
      return;
    }
  entries_.push_back({ext, description, std::move(decoder)});
}

void TDecoderRegistry::Unregister(const std::u16string& ext) {
  const std::u16string key = AsciiLower(ext);
  std::erase_if(entries_, [&](const Entry& e) { return AsciiLower(e.ext) == key; });
}

const TGraphicDecoder* TDecoderRegistry::Find(const std::u16string& fileName) const {
  const std::u16string ext = AsciiLower(FileExtension(fileName));
  if (ext.empty()) return nullptr;
  for (const auto& e : entries_)
    if (AsciiLower(e.ext) == ext) return e.decoder.get();
  return nullptr;
}

TDecoderRegistry& DecoderRegistry() {
  if (!theRegistry) throw Exception("The picture decoders have not been started");
  return *theRegistry;
}

void CreateDecoderRegistry() { theRegistry = std::make_unique<TDecoderRegistry>(); }
void DestroyDecoderRegistry() { theRegistry.reset(); }

}  // namespace bookloom
