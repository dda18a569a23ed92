// The zip packages of word-processor files (DOCX, ODT): every entry read into memory within the
// archive limits, fonts left out, and looked up by name; their pictures added once each.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "documents/Document.h"

namespace bookloom {

class ZipPackage {
 public:
  // Reads the package; DocumentError when it is no archive or is damaged.
  ZipPackage(const Runtime& runtime, const std::u16string& fileName);

  // The entry's content, or null when the package has no such entry.
  const std::string* Find(const std::string& name) const;
  // The same, or DocumentError naming `what` ("the document's text") when it is missing.
  const std::string& Entry(const std::string& name, const std::string& what) const;

  // The index among `pictures` of the picture in the entry, added at its first use; nullopt, with a
  // warning of the document, when the package lacks it or no decoder reads it (the rest of the
  // document is read, as an e-book's is).
  std::optional<size_t> Picture(const std::string& name, EncodedPictures& pictures, Document& document);

 private:
  std::u16string fileName_;
  std::map<std::string, std::string> entries_;
  std::map<std::string, std::optional<size_t>> pictureOf_;
};

}  // namespace bookloom
