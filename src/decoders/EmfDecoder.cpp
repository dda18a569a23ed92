#include "decoders/EmfDecoder.h"

#include <atomic>
#include <exception>
#include <new>

#include "decoders/EmfPlugin.h"
#include "platform/Exception.h"
#include "platform/Modules.h"

namespace bookloom {

namespace {

using EmfModule = ModuleFunctions<EmfModuleFunctions>;

// Set once the module has been looked for, so that shut-down leaves a module never needed unloaded.
std::atomic<bool> moduleLoaded = false;

const EmfModule& Module() {
  static const EmfModule module = [] {
    EmfModule opened =
        OpenModuleFunctions<EmfModuleFunctions>(kEmfPluginFile, kEmfPluginStartEntry, kEmfPluginVersion);
    moduleLoaded = true;
    return opened;
  }();
  return module;
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

std::unique_ptr<Graphic> DecodeEmf(std::string_view bytes, const std::u16string& nameForMessages,
                                   int64_t maxPixels) {
  const EmfModuleFunctions* module = Module().functions;
  if (!module) RaiseDecodeError(nameForMessages, "the metafile player cannot be loaded: " + Module().problem);
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

void ReleaseEmfCaches() {
  if (moduleLoaded && Module().functions) Module().functions->releaseCaches();
}

void StartEmfDecoder() { Module(); }

}  // namespace bookloom
