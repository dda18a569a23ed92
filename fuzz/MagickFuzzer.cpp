// Fuzzes the GraphicsMagick entry point: the first byte picks the format family, the rest is the
// file. Encapsulated PostScript is left out: GraphicsMagick hands it to Ghostscript, a program of its
// own, which would make each input take a process start.
#include "DecoderFuzzing.h"
#include "decoders/MagickDecoder.h"

namespace {

constexpr bookloom::MagickFormat kFormats[] = {
    bookloom::MagickFormat::kBmp, bookloom::MagickFormat::kIcon, bookloom::MagickFormat::kWmf,
    bookloom::MagickFormat::kTga, bookloom::MagickFormat::kTiff, bookloom::MagickFormat::kPcx,
    bookloom::MagickFormat::kRla, bookloom::MagickFormat::kSgi,  bookloom::MagickFormat::kPnm,
    bookloom::MagickFormat::kPcd, bookloom::MagickFormat::kCut,  bookloom::MagickFormat::kGif,
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  bookloom::fuzz::LimitPictureSizes();
  bookloom::StartGraphicsMagick(bookloom::fuzz::TargetRuntime());
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bookloom::MagickDecoder decoder(bookloom::fuzz::TargetRuntime(),
                                        kFormats[data[0] % std::size(kFormats)]);
  bookloom::fuzz::Decode(decoder, data + 1, size - 1);
  return 0;
}
