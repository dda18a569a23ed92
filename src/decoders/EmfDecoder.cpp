#include "decoders/EmfDecoder.h"

#include <exception>
#include <new>

#include "decoders/EmfPlugin.h"
#include "platform/Exception.h"
#include "platform/Modules.h"

namespace bookloom {

namespace {

using EmfModule = ModuleFunctions<EmfModuleFunctions>;

const EmfModule& Module(const Runtime& runtime) {
  return runtime.Module<EmfModuleFunctions>(kEmfPluginFile, kEmfPluginStartEntry, kEmfPluginVersion);
}

// What the module's callback works on: the picture it makes, or why it refused it.
struct DrawContext {
  const std::u16string& fileName;
  std::unique_ptr<Graphic> picture;
  std::exception_ptr refusal;
};

uint8_t* PixelsFor(void* context, int width, int height) {
  auto& draw = *static_cast<DrawContext*>(context);
  try {
    CheckPictureSize(width, height, draw.fileName);
    draw.picture =
        std::make_unique<Graphic>(width, height, PixelLayout::kRgb, Graphic::Pixels::kUninitialised);
    return draw.picture->Row(0);
  } catch (...) {
    draw.refusal = std::current_exception();
    return nullptr;
  }
}

}  // namespace

std::unique_ptr<Graphic> DecodeEmf(const Runtime& runtime, std::string_view bytes,
                                   const std::u16string& nameForMessages, int64_t maxPixels) {
  const EmfModule& loaded = Module(runtime);
  const EmfModuleFunctions* module = loaded.functions;
  if (!module) RaiseDecodeError(nameForMessages, "the metafile player cannot be loaded: " + loaded.problem);
  DrawContext context{nameForMessages, nullptr, nullptr};
  EmfDrawRequest request;
  request.bytes = bytes.data();
  request.size = bytes.size();
  request.maxPixels = maxPixels;
  request.context = &context;
  request.pixelsFor = PixelsFor;
  switch (module->draw(&request)) {
    case EmfDrawResult::kDrawn:
      break;
    case EmfDrawResult::kUnreadable:
      RaiseDecodeError(nameForMessages, request.why);
    case EmfDrawResult::kOutOfMemory:
      throw std::bad_alloc();
    case EmfDrawResult::kFailed:
      throw Exception(request.why);
    case EmfDrawResult::kRefused:
      std::rethrow_exception(context.refusal);
  }
  return std::move(context.picture);
}

void StartEmfDecoder(const Runtime& runtime) { Module(runtime); }

}  // namespace bookloom
