#include "decoders/HeifDecoder.h"

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <vector>

#include "decoders/LoadedLibrary.h"
#include "platform/Exception.h"

namespace bookloom {

namespace {

// The functions of libheif that the decoder calls: a context read from memory, its images and their
// decoding to 8-bit RGB.
// clang-format off
#define LIBHEIF_FUNCTIONS(F)                                                                       \
  F(heif_init) F(heif_context_alloc) F(heif_context_free) F(heif_context_set_maximum_image_size_limit) \
  F(heif_context_read_from_memory_without_copy) F(heif_context_get_number_of_top_level_images)     \
  F(heif_context_get_list_of_top_level_image_IDs) F(heif_context_get_primary_image_ID)             \
  F(heif_context_get_image_handle) F(heif_image_handle_release) F(heif_image_handle_get_width)      \
  F(heif_image_handle_get_height) F(heif_image_handle_get_ispe_width)                              \
  F(heif_image_handle_get_ispe_height) F(heif_image_handle_has_alpha_channel)                      \
  F(heif_decoding_options_alloc) F(heif_decoding_options_free) F(heif_decode_image)                \
  F(heif_image_release) F(heif_image_get_width) F(heif_image_get_height) F(heif_image_get_plane_readonly)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libheif, LIBHEIF_FUNCTIONS);

// libheif, loaded at the first HEIF or AVIF picture and readied then with its decoders; DecodeError
// naming the file when libheif cannot be loaded.
const Libheif& LibheifFor(const Runtime& runtime, const std::u16string& fileName) {
  const auto ready = [](const Libheif& heif) { heif.heif_init(nullptr); };
  return FunctionsFor(runtime.Library<Libheif>(BOOKLOOM_LIBHEIF, ready), "libheif", fileName);
}

[[noreturn]] void RaiseHeifError(const std::u16string& fileName, const std::string& why) {
  RaiseDecodeError(fileName, "not a readable HEIF or AVIF file: " + why);
}

void RequireSuccess(const heif_error& error, const std::u16string& fileName) {
  if (error.code != heif_error_Ok) RaiseHeifError(fileName, error.message ? error.message : "libheif failed");
}

template <class T>
using Owned = std::unique_ptr<T, void (*)(const T*)>;

// One image of the file, decoded: its size checked against the limits before it is decoded, coded or
// shown, and an alpha channel that says nothing dropped.
std::unique_ptr<Graphic> DecodeImage(const Libheif& heif, heif_context* context, heif_item_id id,
                                     const std::u16string& fileName) {
  heif_image_handle* rawHandle = nullptr;
  RequireSuccess(heif.heif_context_get_image_handle(context, id, &rawHandle), fileName);
  const Owned<heif_image_handle> handle(rawHandle, heif.heif_image_handle_release);
  // The coded size, before cropping and turning, is what decoding allocates; a file that gives none
  // has 0 here.
  const int codedWidth = heif.heif_image_handle_get_ispe_width(handle.get());
  const int codedHeight = heif.heif_image_handle_get_ispe_height(handle.get());
  if (codedWidth > 0 && codedHeight > 0) CheckPictureSize(codedWidth, codedHeight, fileName);
  const int width = heif.heif_image_handle_get_width(handle.get());
  const int height = heif.heif_image_handle_get_height(handle.get());
  CheckPictureSize(width, height, fileName);
  const bool alpha = heif.heif_image_handle_has_alpha_channel(handle.get()) != 0;

  const std::unique_ptr<heif_decoding_options, decltype(heif.heif_decoding_options_free)> options(
      heif.heif_decoding_options_alloc(), heif.heif_decoding_options_free);
  options->convert_hdr_to_8bit = 1;
  heif_image* rawImage = nullptr;
  RequireSuccess(heif.heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB,
                                        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB,
                                        options.get()),
                 fileName);
  const Owned<heif_image> image(rawImage, heif.heif_image_release);
  int stride = 0;
  const uint8_t* pixels = heif.heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
  if (!pixels || heif.heif_image_get_width(image.get(), heif_channel_interleaved) != width ||
      heif.heif_image_get_height(image.get(), heif_channel_interleaved) != height)
    RaiseHeifError(fileName, "libheif delivered an unexpected pixel layout");

  auto graphic = std::make_unique<Graphic>(width, height, RgbLayout(alpha), Graphic::Pixels::kUninitialised);
  for (int y = 0; y < height; ++y)
    std::memcpy(graphic->Row(y), pixels + static_cast<size_t>(y) * stride, graphic->Stride());
  graphic->DropUniformAlpha();
  return graphic;
}

// The images to decode: the primary one, or every image of the file.
std::vector<heif_item_id> WantedImages(const Libheif& heif, heif_context* context, bool all,
                                       const std::u16string& fileName) {
  if (!all) {
    heif_item_id primary = 0;
    RequireSuccess(heif.heif_context_get_primary_image_ID(context, &primary), fileName);
    return {primary};
  }
  std::vector<heif_item_id> ids(heif.heif_context_get_number_of_top_level_images(context));
  ids.resize(
      heif.heif_context_get_list_of_top_level_image_IDs(context, ids.data(), static_cast<int>(ids.size())));
  return ids;
}

}  // namespace

bool LooksLikeHeif(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(4, 4) != "ftyp") return false;
  const std::string_view brand = bytes.substr(8, 4);
  for (const std::string_view known :
       {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1", "avif", "avis"})
    if (brand == known) return true;
  return false;
}

DecodedFrames HeifDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                  const DecodeOptions& options) const {
  if (bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  const Libheif& heif = LibheifFor(runtime_, fileName);
  const std::unique_ptr<heif_context, decltype(heif.heif_context_free)> context(heif.heif_context_alloc(),
                                                                                heif.heif_context_free);
  if (!context) RaiseHeifError(fileName, "out of memory");
  heif.heif_context_set_maximum_image_size_limit(context.get(), static_cast<int>(PictureLimits().maxSide));
  RequireSuccess(
      heif.heif_context_read_from_memory_without_copy(context.get(), bytes.data(), bytes.size(), nullptr),
      fileName);

  DecodedFrames decoded;
  decoded.frameCount = heif.heif_context_get_number_of_top_level_images(context.get());
  for (const heif_item_id id : WantedImages(heif, context.get(), options.allFrames, fileName)) {
    try {
      decoded.frames.push_back(DecodeImage(heif, context.get(), id, fileName));
    } catch (const DecodeError&) {
      if (decoded.frames.empty()) throw;
      decoded.incomplete = true;  // the images before the damaged one stay
      break;
    }
    if (options.gray) decoded.frames.back()->MakeGray();
  }
  if (decoded.frames.empty()) RaiseHeifError(fileName, "it holds no picture");
  return decoded;
}

}  // namespace bookloom
