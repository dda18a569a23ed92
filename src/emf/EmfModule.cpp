// The enhanced metafile module: plays a metafile into the pixels the program gives for it, through
// cairo. Loaded by the program on first use (see decoders/EmfPlugin.h).
#include <cstdio>
#include <exception>
#include <new>
#include <type_traits>

#include "decoders/EmfPlugin.h"
#include "emf/EmfPicture.h"
#include "platform/Exception.h"

namespace {

using bookloom::EmfDrawRequest;
using bookloom::EmfDrawResult;

// The callback refused the picture.
struct Refused {};

// A failure, its text put into the request.
EmfDrawResult Failure(EmfDrawRequest& request, EmfDrawResult result, const char* why) {
  std::snprintf(request.why, sizeof request.why, "%s", why);
  return result;
}

// Draws the request's metafile. An error comes back by its kind, for the program to raise it again:
// the reason of a damaged file, running out of memory, or any other error's message.
EmfDrawResult Draw(EmfDrawRequest* request) {
  try {
    bookloom::emf::DrawEmf({request->bytes, request->size}, request->maxPixels,
                           [request](int width, int height) {
                             uint8_t* pixels = request->pixelsFor(request->context, width, height);
                             if (!pixels) throw Refused{};
                             return pixels;
                           });
    return EmfDrawResult::kDrawn;
  } catch (const Refused&) {
    return EmfDrawResult::kRefused;
  } catch (const bookloom::DecodeError& e) {
    return Failure(*request, EmfDrawResult::kUnreadable, e.Reason().c_str());
  } catch (const std::bad_alloc&) {
    return EmfDrawResult::kOutOfMemory;
  } catch (const std::exception& e) {
    return Failure(*request, EmfDrawResult::kFailed, e.what());
  }
}

constexpr bookloom::EmfModuleFunctions kFunctions{Draw};

}  // namespace

extern "C" __attribute__((visibility("default"))) const bookloom::EmfModuleFunctions* BookloomEmfStart(
    int version) {
  return version == bookloom::kEmfPluginVersion ? &kFunctions : nullptr;
}

// The entry point is what the program looks for.
static_assert(std::is_same_v<decltype(&BookloomEmfStart), bookloom::EmfStartFunction>);
