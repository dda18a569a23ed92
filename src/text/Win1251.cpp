#include "text/Win1251.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include "platform/Vectors.h"

namespace bookloom {

namespace {

#if BOOKLOOM_X86_VECTORS
// The leading units of `text` that are ASCII or one of the 64 letters of the Russian alphabet (U+0410
// to U+044F, C0 to FF in Windows-1251), converted 16 at a time: how many were, a multiple of 16.
__attribute__((target("avx2"))) size_t ConvertCommonLetters(const char16_t* text, size_t n, char* out) {
  size_t i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i units = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + i));
    const __m256i isAscii = _mm256_cmpeq_epi16(_mm256_min_epu16(units, _mm256_set1_epi16(0x7F)), units);
    const __m256i fromA = _mm256_sub_epi16(units, _mm256_set1_epi16(0x410));
    const __m256i isLetter = _mm256_cmpeq_epi16(_mm256_min_epu16(fromA, _mm256_set1_epi16(0x3F)), fromA);
    if (_mm256_movemask_epi8(_mm256_or_si256(isAscii, isLetter)) != -1) break;
    const __m256i bytes =
        _mm256_blendv_epi8(units, _mm256_add_epi16(fromA, _mm256_set1_epi16(0xC0)), isLetter);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                     _mm_packus_epi16(_mm256_castsi256_si128(bytes), _mm256_extracti128_si256(bytes, 1)));
  }
  return i;
}
#endif

}  // namespace

std::string WideToWin1251(const Runtime& runtime, std::u16string_view text, FallbackReport* report,
                          size_t line) {
  const auto& bytes = Win1251ByteTable();
  std::string out(text.size(), '\0');
  size_t o = 0;
  // Since `oneToOne`, each character has given one byte.
  size_t oneToOne = 0;
  const Win1251Fallback* fallback = nullptr;  // asked for at the first character the code page lacks
#if BOOKLOOM_X86_VECTORS
  const bool vectors = HasAvx2();
#endif
  for (size_t i = 0; i < text.size(); ++i) {
#if BOOKLOOM_X86_VECTORS
    if (vectors && (i & 15) == 0) {
      // Runs of ASCII and Russian letters, 16 at a time; the scalar steps take the block that stops them.
      const size_t converted = ConvertCommonLetters(text.data() + i, text.size() - i, out.data() + o);
      i += converted;
      o += converted;
      if (i == text.size()) break;
    }
#endif
    const char16_t c = text[i];
    const uint8_t b = bytes[c];
    if (b != 0 || c == 0) {
      out[o++] = static_cast<char>(b);
      continue;
    }
    // A character the code page lacks: the stretch from the last ASCII character before it to the
    // next one after it again, through the fallback. NFC and the grouping of letters with their
    // marks never reach across an ASCII character.
    size_t from = i;
    while (from > oneToOne && text[from] >= 0x80) --from;
    size_t end = i + 1;
    while (end < text.size() && text[end] >= 0x80) ++end;
    out.resize(o - (i - from));
    if (!fallback) fallback = &Win1251FallbackOf(runtime);
    AppendWin1251Fallback(*fallback, text.substr(from, end - from), out, report, line);
    o = out.size();
    out.resize(o + text.size() - end);
    oneToOne = end;
    i = end - 1;
  }
  out.resize(o);
  return out;
}

std::u16string FitToWin1251(const Runtime& runtime, std::u16string_view text, FallbackReport* report,
                            size_t line) {
  return Win1251ToWide(WideToWin1251(runtime, text, report, line));
}

std::u16string Win1251ToWide(std::string_view bytes) {
  // Every byte has its character: nothing is ever unmapped.
  return Win1251Codec().DecodeBytes(bytes, static_cast<int32_t>(bytes.size())).text;
}

bool IsWin1251Char(char16_t code) { return code >= 0x80 && Win1251ByteOf(code) >= 0; }

char32_t FindNonWin1251Char(std::u16string_view text) {
  const auto lacks = [](char32_t c) {
    return c >= 0x80 && (c > 0xFFFF || !IsWin1251Char(static_cast<char16_t>(c)));
  };
  bool any = false;
  for (const char16_t c : text) any = any || lacks(c);
  if (!any) return 0;
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
  const icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
  const icu::UnicodeString normal = U_SUCCESS(status) ? nfc->normalize(source, status) : source;
  for (int32_t i = 0; i < normal.length(); i += U16_LENGTH(normal.char32At(i)))
    if (lacks(static_cast<char32_t>(normal.char32At(i)))) return static_cast<char32_t>(normal.char32At(i));
  return 0;
}

}  // namespace bookloom
