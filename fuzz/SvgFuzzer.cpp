// Fuzzes the SVG decoder (librsvg and cairo) from memory.
#include "DecoderFuzzing.h"
#include "decoders/SvgDecoder.h"

// Fontconfig, FreeType, Pango and cairo keep the fonts the drawings' text has looked up for the rest
// of the process; inputs that name new fonts are not leaking.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\nleak:libfreetype.so\nleak:libcairo.so\nleak:libpango\nleak:libharfbuzz.so\n";
}

namespace {

std::unique_ptr<bookloom::Graphic> DecodeSvg(std::string_view bytes, const std::u16string& name,
                                             int64_t maxPixels) {
  return bookloom::DecodeSvg(bookloom::fuzz::TargetRuntime(), bytes, name, maxPixels);
}

}  // namespace

BOOKLOOM_FUZZ_DECODE_FUNCTION(DecodeSvg, bookloom::kMaxPicturePixels)
