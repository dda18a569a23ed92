#include "documents/DjvuReader.h"

namespace bookloom {

namespace {

constexpr PagedFormat kDjvu = {"DjVu", kDjvuPluginFile, kDjvuPluginStartEntry, true};

}  // namespace

Document ReadDjvu(const Runtime& runtime, const std::u16string& fileName, DocumentMode mode) {
  return ReadPagedDocument(runtime, kDjvu, fileName, mode);
}

void StartDjvuReader(const Runtime& runtime) { PagedModule(runtime, kDjvu); }

}  // namespace bookloom
