// Any bytes as a text file: decoded, split into lines, converted to Windows-1251 and cut into
// lines for the four page layouts. Every cut must take at least one byte and stay in the text.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "DecoderFuzzing.h"
#include "text/LineBreaking.h"
#include "text/TextFile.h"
#include "text/Win1251.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace bookloom;
  const auto text = DecodeTextFile(std::string_view(reinterpret_cast<const char*>(data), size)).text;
  const struct { int font, width; } layouts[] = {{0, 576}, {1, 576}, {0, 776}, {1, 776}};
  for (const auto& line : SplitLines(text)) {
    const std::string paragraph = WideToWin1251(fuzz::TargetRuntime(), line) + '\r';
    for (const auto& layout : layouts)
      for (std::string_view rest = paragraph; !rest.empty();) {
        const int n = BreakLine(rest, layout.width, layout.font);
        if (n < 1 || static_cast<size_t>(n) > rest.size()) __builtin_trap();
        rest.remove_prefix(static_cast<size_t>(n));
      }
  }
  return 0;
}
