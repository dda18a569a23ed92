#include "documents/PdfReader.h"

namespace bookloom {

namespace {

const ModuleFunctions<PagedModuleFunctions>& PdfModule() {
  static const auto module =
      OpenModuleFunctions<PagedModuleFunctions>(kPdfPluginFile, kPdfPluginStartEntry, kPagedPluginVersion);
  return module;
}

}  // namespace

Document ReadPdf(const std::u16string& fileName, DocumentMode mode) {
  return ReadPagedDocument({"PDF", PdfModule}, fileName, mode);
}

void StartPdfReader() { PdfModule(); }

}  // namespace bookloom
