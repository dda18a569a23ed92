#include "decoders/JpegXlDecoder.h"

#include <jxl/decode.h>

#include <memory>
#include <utility>

#include "decoders/LoadedLibrary.h"

namespace bookloom {

namespace {

// The functions of libjxl that the decoder calls: a decoder fed the whole file at once, and the
// events it reports as it goes.
// clang-format off
#define LIBJXL_FUNCTIONS(F)                                                                        \
  F(JxlDecoderCreate) F(JxlDecoderDestroy) F(JxlDecoderSubscribeEvents) F(JxlDecoderSetInput)     \
  F(JxlDecoderCloseInput) F(JxlDecoderSetUnpremultiplyAlpha) F(JxlDecoderProcessInput)             \
  F(JxlDecoderGetBasicInfo) F(JxlDecoderImageOutBufferSize) F(JxlDecoderSetImageOutBuffer)         \
  F(JxlDecoderSkipCurrentFrame) F(JxlSignatureCheck)
// clang-format on
BOOKLOOM_LIBRARY_FUNCTIONS(Libjxl, LIBJXL_FUNCTIONS);

// libjxl's functions, loaded at the first JPEG XL picture; DecodeError naming the file when libjxl
// cannot be loaded.
const Libjxl& LibjxlFor(const Runtime& runtime, const std::u16string& fileName) {
  return FunctionsFor(runtime.Library<Libjxl>(BOOKLOOM_LIBJXL), "libjxl", fileName);
}

[[noreturn]] void RaiseJpegXlError(const std::u16string& fileName, const std::string& why) {
  RaiseDecodeError(fileName, "not a readable JPEG XL file: " + why);
}

// One decoding: the libjxl decoder fed the whole file, and the frames made so far.
class Decoding {
 public:
  Decoding(const Libjxl& jxl, std::string_view bytes, const std::u16string& fileName,
           const DecodeOptions& options)
      : jxl_(jxl),
        decoder_(jxl.JxlDecoderCreate(nullptr), jxl.JxlDecoderDestroy),
        fileName_(fileName),
        options_(options) {
    if (!decoder_) RaiseJpegXlError(fileName_, "out of memory");
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    if (jxl.JxlDecoderSubscribeEvents(
            decoder_.get(), JXL_DEC_BASIC_INFO | JXL_DEC_FRAME | JXL_DEC_FULL_IMAGE) != JXL_DEC_SUCCESS ||
        jxl.JxlDecoderSetUnpremultiplyAlpha(decoder_.get(), JXL_TRUE) != JXL_DEC_SUCCESS ||
        jxl.JxlDecoderSetInput(decoder_.get(), data, bytes.size()) != JXL_DEC_SUCCESS)
      RaiseJpegXlError(fileName_, "libjxl refuses to start");
    jxl.JxlDecoderCloseInput(decoder_.get());
    decoded_.frameCount = 0;
  }

  // Runs the decoder to the end of the file: the frames asked for, and every frame counted.
  DecodedFrames Run() {
    for (;;) {
      switch (jxl_.JxlDecoderProcessInput(decoder_.get())) {
        case JXL_DEC_BASIC_INFO:
          ReadBasicInfo();
          break;
        case JXL_DEC_FRAME:
          ++decoded_.frameCount;
          break;
        case JXL_DEC_NEED_IMAGE_OUT_BUFFER:
          if (decoded_.frames.size() < Wanted())
            StartFrame();
          else
            jxl_.JxlDecoderSkipCurrentFrame(decoder_.get());  // only counted
          break;
        case JXL_DEC_FULL_IMAGE:
          FinishFrame();
          break;
        case JXL_DEC_SUCCESS:
          if (decoded_.frames.empty()) RaiseJpegXlError(fileName_, "it holds no picture");
          return std::move(decoded_);
        case JXL_DEC_ERROR:
        case JXL_DEC_NEED_MORE_INPUT:
          return Damaged();
        default:
          break;
      }
    }
  }

 private:
  size_t Wanted() const { return options_.allFrames ? SIZE_MAX : 1; }

  // The picture's size as it is shown (turned as the file says), checked before any pixel is decoded.
  void ReadBasicInfo() {
    JxlBasicInfo info;
    if (jxl_.JxlDecoderGetBasicInfo(decoder_.get(), &info) != JXL_DEC_SUCCESS)
      RaiseJpegXlError(fileName_, "its header is damaged");
    const bool turned = info.orientation >= JXL_ORIENT_TRANSPOSE;
    width_ = turned ? info.ysize : info.xsize;
    height_ = turned ? info.xsize : info.ysize;
    CheckPictureSize(width_, height_, fileName_);
    format_ = {info.alpha_bits > 0 ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  }

  void StartFrame() {
    pending_ = std::make_unique<Graphic>(static_cast<int>(width_), static_cast<int>(height_),
                                         RgbLayout(format_.num_channels == 4));
    size_t size = 0;
    if (jxl_.JxlDecoderImageOutBufferSize(decoder_.get(), &format_, &size) != JXL_DEC_SUCCESS ||
        size != pending_->Stride() * static_cast<size_t>(height_) ||
        jxl_.JxlDecoderSetImageOutBuffer(decoder_.get(), &format_, pending_->Row(0), size) != JXL_DEC_SUCCESS)
      RaiseJpegXlError(fileName_, "libjxl asks for an unexpected pixel layout");
  }

  // A frame decoded: an alpha channel that says nothing dropped, grey when asked for.
  void FinishFrame() {
    if (!pending_) return;
    pending_->DropUniformAlpha();
    if (options_.gray) pending_->MakeGray();
    decoded_.frames.push_back(std::move(pending_));
  }

  // The file is damaged or cut short: the frames decoded before stay, marked incomplete.
  DecodedFrames Damaged() {
    if (decoded_.frames.empty()) RaiseJpegXlError(fileName_, "it is damaged or cut short");
    decoded_.incomplete = true;
    return std::move(decoded_);
  }

  const Libjxl& jxl_;
  std::unique_ptr<::JxlDecoder, decltype(jxl_.JxlDecoderDestroy)> decoder_;
  const std::u16string& fileName_;
  const DecodeOptions& options_;
  uint32_t width_ = 0;
  uint32_t height_ = 0;
  JxlPixelFormat format_{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
  std::unique_ptr<Graphic> pending_;
  DecodedFrames decoded_;
};

}  // namespace

DecodedFrames JpegXlDecoder::Decode(std::string_view bytes, const std::u16string& fileName,
                                    const DecodeOptions& options) const {
  if (bytes.empty()) RaiseDecodeError(fileName, "the file is empty");
  const Libjxl& jxl = LibjxlFor(runtime_, fileName);
  // Checked here, so that libjxl is never handed a file of another format (it reports its refusal on
  // the terminal).
  const JxlSignature signature =
      jxl.JxlSignatureCheck(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
  if (signature != JXL_SIG_CODESTREAM && signature != JXL_SIG_CONTAINER)
    RaiseJpegXlError(fileName, "it does not start with the JPEG XL signature");
  return Decoding(jxl, bytes, fileName, options).Run();
}

}  // namespace bookloom
