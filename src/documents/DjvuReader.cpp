#include "documents/DjvuReader.h"

namespace bookloom {

namespace {

const ModuleFunctions<PagedModuleFunctions>& DjvuModule() {
  static const auto module =
      OpenModuleFunctions<PagedModuleFunctions>(kDjvuPluginFile, kDjvuPluginStartEntry, kPagedPluginVersion);
  return module;
}

}  // namespace

Document ReadDjvu(const std::u16string& fileName, DocumentMode mode) {
  return ReadPagedDocument({"DjVu", DjvuModule, true}, fileName, mode);
}

void StartDjvuReader() { DjvuModule(); }

}  // namespace bookloom
