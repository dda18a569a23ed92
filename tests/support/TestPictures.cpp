#include "support/TestPictures.h"

#include <jxl/encode.h>
#include <libheif/heif.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <memory>
#include <stdexcept>

namespace bookloom::test {

RgbaPixels Gradient(int width, int height, bool withAlpha) {
  RgbaPixels p{width, height, {}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      p.rgba.push_back(static_cast<uint8_t>(x * 255 / std::max(1, width - 1)));
      p.rgba.push_back(static_cast<uint8_t>(y * 255 / std::max(1, height - 1)));
      p.rgba.push_back(static_cast<uint8_t>((x + y) * 255 / std::max(1, width + height - 2)));
      p.rgba.push_back(withAlpha ? static_cast<uint8_t>(255 - x * 200 / std::max(1, width - 1)) : 255);
    }
  return p;
}

RgbaPixels Filled(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  RgbaPixels p{width, height, {}};
  for (int i = 0; i < width * height; ++i) p.rgba.insert(p.rgba.end(), {r, g, b, 255});
  return p;
}

std::string WebpOf(const RgbaPixels& pixels, bool lossless) {
  uint8_t* out = nullptr;
  const int stride = pixels.width * 4;
  const size_t size =
      lossless ? WebPEncodeLosslessRGBA(pixels.rgba.data(), pixels.width, pixels.height, stride, &out)
               : WebPEncodeRGBA(pixels.rgba.data(), pixels.width, pixels.height, stride, 90, &out);
  if (size == 0) throw std::runtime_error("libwebp cannot encode the test picture");
  std::string bytes(reinterpret_cast<const char*>(out), size);
  WebPFree(out);
  return bytes;
}

std::string AnimatedWebpOf(const std::vector<RgbaPixels>& frames) {
  WebPAnimEncoderOptions options;
  WebPConfig config;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&config))
    throw std::runtime_error("libwebp is of another version");
  config.lossless = 1;
  const std::unique_ptr<WebPAnimEncoder, decltype(&WebPAnimEncoderDelete)> encoder(
      WebPAnimEncoderNew(frames.at(0).width, frames.at(0).height, &options), WebPAnimEncoderDelete);
  int timestamp = 0;
  for (const RgbaPixels& frame : frames) {
    WebPPicture picture;
    WebPPictureInit(&picture);
    picture.use_argb = 1;
    picture.width = frame.width;
    picture.height = frame.height;
    const bool added = WebPPictureImportRGBA(&picture, frame.rgba.data(), frame.width * 4) &&
                       WebPAnimEncoderAdd(encoder.get(), &picture, timestamp, &config);
    WebPPictureFree(&picture);
    if (!added) throw std::runtime_error("libwebp cannot add a frame to the test animation");
    timestamp += 1000;
  }
  WebPData data;
  WebPDataInit(&data);
  if (!WebPAnimEncoderAdd(encoder.get(), nullptr, timestamp, nullptr) ||
      !WebPAnimEncoderAssemble(encoder.get(), &data))
    throw std::runtime_error("libwebp cannot assemble the test animation");
  std::string bytes(reinterpret_cast<const char*>(data.bytes), data.size);
  WebPDataClear(&data);
  return bytes;
}

namespace {

JxlBasicInfo JpegXlInfo(const std::vector<RgbaPixels>& frames, bool lossless, int orientation) {
  JxlBasicInfo info;
  JxlEncoderInitBasicInfo(&info);
  info.xsize = frames.at(0).width;
  info.ysize = frames.at(0).height;
  info.bits_per_sample = 8;
  info.num_color_channels = 3;
  info.alpha_bits = 8;
  info.num_extra_channels = 1;
  info.uses_original_profile = lossless;
  info.orientation = static_cast<JxlOrientation>(orientation);
  if (frames.size() > 1) {
    info.have_animation = JXL_TRUE;
    info.animation.tps_numerator = 1;
    info.animation.tps_denominator = 1;
  }
  return info;
}

}  // namespace

std::string JpegXlOf(const std::vector<RgbaPixels>& frames, bool lossless, int orientation) {
  const std::unique_ptr<JxlEncoder, decltype(&JxlEncoderDestroy)> encoder(JxlEncoderCreate(nullptr),
                                                                          JxlEncoderDestroy);
  const JxlBasicInfo info = JpegXlInfo(frames, lossless, orientation);
  JxlColorEncoding color;
  JxlColorEncodingSetToSRGB(&color, JXL_FALSE);
  JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder.get(), nullptr);
  if (JxlEncoderSetBasicInfo(encoder.get(), &info) != JXL_ENC_SUCCESS ||
      JxlEncoderSetColorEncoding(encoder.get(), &color) != JXL_ENC_SUCCESS ||
      JxlEncoderSetFrameLossless(settings, lossless) != JXL_ENC_SUCCESS ||
      (!lossless && JxlEncoderSetFrameDistance(settings, 1) != JXL_ENC_SUCCESS))
    throw std::runtime_error("libjxl refuses the test picture's settings");
  const JxlPixelFormat format{4, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  for (const RgbaPixels& frame : frames) {
    JxlFrameHeader header;
    JxlEncoderInitFrameHeader(&header);
    header.duration = 1;
    if ((info.have_animation && JxlEncoderSetFrameHeader(settings, &header) != JXL_ENC_SUCCESS) ||
        JxlEncoderAddImageFrame(settings, &format, frame.rgba.data(), frame.rgba.size()) != JXL_ENC_SUCCESS)
      throw std::runtime_error("libjxl cannot add a frame to the test picture");
  }
  JxlEncoderCloseInput(encoder.get());
  std::string bytes(4096, '\0');
  size_t done = 0;
  for (;;) {
    auto* next = reinterpret_cast<uint8_t*>(bytes.data() + done);
    size_t room = bytes.size() - done;
    const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder.get(), &next, &room);
    done = bytes.size() - room;
    if (status == JXL_ENC_SUCCESS) break;
    if (status != JXL_ENC_NEED_MORE_OUTPUT) throw std::runtime_error("libjxl cannot encode the test picture");
    bytes.resize(bytes.size() * 2);
  }
  bytes.resize(done);
  return bytes;
}

namespace {

void Require(const heif_error& error) {
  if (error.code != heif_error_Ok) throw std::runtime_error(std::string("libheif: ") + error.message);
}

bool HasTransparency(const RgbaPixels& pixels) {
  for (size_t i = 3; i < pixels.rgba.size(); i += 4)
    if (pixels.rgba[i] != 255) return true;
  return false;
}

// The pixels as a libheif image, with alpha when any pixel is not opaque.
std::unique_ptr<heif_image, decltype(&heif_image_release)> HeifImageOf(const RgbaPixels& pixels) {
  const bool alpha = HasTransparency(pixels);
  heif_image* raw = nullptr;
  Require(heif_image_create(pixels.width, pixels.height, heif_colorspace_RGB,
                            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, &raw));
  std::unique_ptr<heif_image, decltype(&heif_image_release)> image(raw, heif_image_release);
  Require(heif_image_add_plane(raw, heif_channel_interleaved, pixels.width, pixels.height, 8));
  int stride = 0;
  uint8_t* plane = heif_image_get_plane(raw, heif_channel_interleaved, &stride);
  const int channels = alpha ? 4 : 3;
  for (int y = 0; y < pixels.height; ++y)
    for (int x = 0; x < pixels.width; ++x)
      std::copy_n(&pixels.rgba[(static_cast<size_t>(y) * pixels.width + x) * 4], channels,
                  plane + static_cast<size_t>(y) * stride + x * channels);
  return image;
}

heif_error AppendTo(heif_context*, const void* data, size_t size, void* out) {
  static_cast<std::string*>(out)->append(static_cast<const char*>(data), size);
  return {heif_error_Ok, heif_suberror_Unspecified, ""};
}

}  // namespace

std::string HeifOf(const std::vector<RgbaPixels>& images, bool avif, int orientation) {
  const std::unique_ptr<heif_context, decltype(&heif_context_free)> context(heif_context_alloc(),
                                                                            heif_context_free);
  heif_encoder* raw = nullptr;
  Require(heif_context_get_encoder_for_format(context.get(),
                                              avif ? heif_compression_AV1 : heif_compression_HEVC, &raw));
  const std::unique_ptr<heif_encoder, decltype(&heif_encoder_release)> encoder(raw, heif_encoder_release);
  Require(heif_encoder_set_lossy_quality(encoder.get(), 90));
  const std::unique_ptr<heif_encoding_options, decltype(&heif_encoding_options_free)> options(
      heif_encoding_options_alloc(), heif_encoding_options_free);
  options->image_orientation = static_cast<heif_orientation>(orientation);
  for (const RgbaPixels& pixels : images)
    Require(heif_context_encode_image(context.get(), HeifImageOf(pixels).get(), encoder.get(), options.get(),
                                      nullptr));
  std::string bytes;
  heif_writer writer{1, AppendTo};
  Require(heif_context_write(context.get(), &writer, &bytes));
  return bytes;
}

}  // namespace bookloom::test
