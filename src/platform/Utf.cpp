#include "platform/Utf.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/Memory.h"
#include "platform/Vectors.h"

namespace bookloom {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Length of the sequence a lead byte opens, 0 for a byte that cannot lead.
int SequenceLength(uint8_t lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Writes a code point as one or two UTF-16 units; the position after them.
char16_t* PutCodePoint(char16_t* out, uint32_t cp) {
  if (cp < 0x10000) {
    *out++ = static_cast<char16_t>(cp);
  } else {
    cp -= 0x10000;
    *out++ = static_cast<char16_t>(0xD800 + (cp >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
  }
  return out;
}

// A two-byte sequence (U+0080 to U+07FF: Cyrillic, Greek, accented Latin), the common case after
// ASCII, taken without the general checks.
inline bool IsTwoByteSequence(const uint8_t* p, size_t n, size_t i) {
  return i + 1 < n && p[i] >= 0xC2 && p[i] <= 0xDF && (p[i + 1] & 0xC0) == 0x80;
}

// Decodes the sequence at p[i]: its code point and length, or false and the number of bytes
// that form one bad sequence.
bool NextCodePoint(const uint8_t* p, size_t n, size_t i, uint32_t& cp, size_t& length) {
  const uint8_t b0 = p[i];
  const int len = SequenceLength(b0);
  if (len <= 1) {
    cp = b0;
    length = 1;
    return len == 1;
  }
  // The second byte's range excludes overlong forms, surrogates and values above U+10FFFF.
  uint8_t lo = 0x80, hi = 0xBF;
  if (b0 == 0xE0) lo = 0xA0;
  if (b0 == 0xED) hi = 0x9F;
  if (b0 == 0xF0) lo = 0x90;
  if (b0 == 0xF4) hi = 0x8F;
  cp = b0 & (0xFF >> (len + 1));
  int k = 1;
  for (; k < len; ++k) {
    if (i + k >= n) break;
    const uint8_t b = p[i + k];
    if (k == 1 ? (b < lo || b > hi) : (b < 0x80 || b > 0xBF)) break;
    cp = (cp << 6) | (b & 0x3F);
  }
  length = static_cast<size_t>(k);
  return k == len;
}

// Decodes the bytes from p[i] to p[until] (and the rest of a sequence that starts before `until`)
// while there is room before `end`; false when it stopped for room. The first fault is noted by the
// index of its first byte.
bool DecodeBytes(const uint8_t* p, size_t n, size_t& i, size_t until, char16_t*& out, const char16_t* end,
                 DecodingFaults* faults) {
  while (i < until) {
    // Room for a surrogate pair, and a byte no further than there is room for its unit.
    const size_t room = static_cast<size_t>(end - out);
    if (room < 2) return false;
    const size_t stop = std::min(until, i + room - 1);
    if (p[i] < 0x80) {
      do *out++ = p[i++];
      while (i < stop && p[i] < 0x80);
    } else if (IsTwoByteSequence(p, n, i)) {
      // A word of Cyrillic letters: one two-byte sequence after another.
      do {
        *out++ = static_cast<char16_t>((p[i] & 0x1F) << 6 | (p[i + 1] & 0x3F));
        i += 2;
      } while (i < stop && IsTwoByteSequence(p, n, i));
    } else {
      uint32_t cp;
      size_t length;
      if (!NextCodePoint(p, n, i, cp, length)) {
        cp = kReplacement;  // the bytes read so far form one bad sequence
        if (faults && faults->count++ == 0) faults->firstAt = i;
      }
      out = PutCodePoint(out, cp);
      i += length;
    }
  }
  return true;
}

#if BOOKLOOM_X86_VECTORS
// For each set of lanes of eight UTF-16 units to keep (bit k for lane k), the byte shuffle that moves
// them to the front, in order.
using Shuffle = std::array<uint8_t, 16>;
constexpr std::array<Shuffle, 256> MakePackShuffles() {
  std::array<Shuffle, 256> shuffles{};
  for (int keep = 0; keep < 256; ++keep) {
    int to = 0;
    for (int lane = 0; lane < 8; ++lane)
      if (keep >> lane & 1) {
        shuffles[keep][2 * to] = static_cast<uint8_t>(2 * lane);
        shuffles[keep][2 * to + 1] = static_cast<uint8_t>(2 * lane + 1);
        ++to;
      }
    for (; to < 8; ++to) shuffles[keep][2 * to] = shuffles[keep][2 * to + 1] = 0x80;
  }
  return shuffles;
}
alignas(16) constexpr std::array<Shuffle, 256> kPackShuffles = MakePackShuffles();

// Writes the kept lanes of eight units at `out` (writing all 16 bytes) and moves past them.
__attribute__((target("avx2"))) inline void PutKeptLanes(__m128i units, unsigned keep, char16_t*& out) {
  const __m128i shuffle = _mm_load_si128(reinterpret_cast<const __m128i*>(kPackShuffles[keep].data()));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(units, shuffle));
  out += __builtin_popcount(keep);
}

// Eight units from eight bytes widened, each with the byte after it: the byte itself, or where the
// lead mask is set, the letter of the two-byte sequence it opens.
__attribute__((target("avx2"))) inline __m128i Units(__m128i bytes, __m128i next, __m128i leadMask) {
  const __m128i two = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(bytes, _mm_set1_epi16(0x1F)), 6),
                                   _mm_and_si128(next, _mm_set1_epi16(0x3F)));
  return _mm_blendv_epi8(bytes, two, leadMask);
}

// Decodes blocks of 16 bytes that hold ASCII and two-byte sequences alone (the letters of Cyrillic,
// Greek and most European texts), 16 at a time; stops before the first block that holds anything
// else (a longer sequence, a damaged one, the last 16 bytes of the text) for the bytes to decode it.
__attribute__((target("avx2"))) void DecodeShortSequences(const uint8_t* p, size_t n, size_t& i,
                                                          char16_t*& out, const char16_t* end) {
  const __m128i zero = _mm_setzero_si128();
  // i + 16 must be readable: a lead byte in a block's last place takes its next byte along; and a
  // block writes 16 units.
  while (i + 17 <= n && end - out >= 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned nonAscii = static_cast<unsigned>(_mm_movemask_epi8(bytes));
    if (nonAscii == 0) {
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(bytes, zero));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(bytes, zero));
      out += 16;
      i += 16;
      continue;
    }
    // Leads of two-byte sequences are C2 to DF; continuations 80 to BF.
    const __m128i fromC2 = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xC2)));
    const __m128i isLead = _mm_cmpeq_epi8(_mm_min_epu8(fromC2, _mm_set1_epi8(0x1D)), fromC2);
    const unsigned lead = static_cast<unsigned>(_mm_movemask_epi8(isLead));
    const unsigned continuation = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xC0))),
                                         _mm_set1_epi8(static_cast<char>(0x80)))));
    const bool lastLeadFollowed = !(lead >> 15) || (p[i + 16] & 0xC0) == 0x80;
    if ((lead | continuation) != nonAscii || ((lead << 1) & 0xFFFF) != continuation || !lastLeadFollowed)
      return;

    const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 1));
    const unsigned keep = ~continuation & 0xFFFF;
    PutKeptLanes(Units(_mm_unpacklo_epi8(bytes, zero), _mm_unpacklo_epi8(next, zero),
                       _mm_unpacklo_epi8(isLead, isLead)),
                 keep & 0xFF, out);
    PutKeptLanes(Units(_mm_unpackhi_epi8(bytes, zero), _mm_unpackhi_epi8(next, zero),
                       _mm_unpackhi_epi8(isLead, isLead)),
                 keep >> 8, out);
    i += 16 + (lead >> 15);
  }
}
#endif

// The units valid UTF-8 gives: one for each byte but the continuation bytes, two for a four-byte
// sequence. Asked only of damaged text, for the place of its first fault.
size_t UnitsOfValidUtf8(const uint8_t* p, size_t n) {
  size_t units = 0;
  for (size_t i = 0; i < n; ++i) units += ((p[i] & 0xC0) != 0x80) + (p[i] >= 0xF0);
  return units;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8, DecodingFaults* faults) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const size_t n = utf8.size();
  const bool faultedBefore = faults && faults->count > 0;
  std::u16string text;
  // Never more UTF-16 units than bytes (a four-byte sequence gives two units): the room is reserved,
  // and the text is decoded a block at a time on the stack and appended, so that the string's memory
  // is written once, and memory never written is never touched.
  text.reserve(n);
  PreferLargePages(text.data(), n * sizeof(char16_t));
  constexpr size_t kBlock = 8192;
  char16_t block[kBlock];
  for (size_t i = 0; i < n;) {
    char16_t* out = block;
    bool done = true;  // false when the block is full
#if BOOKLOOM_X86_VECTORS
    if (HasAvx2()) {
      // Blocks of short sequences 16 bytes at a time; what stops them, byte by byte.
      while (done && i < n) {
        DecodeShortSequences(p, n, i, out, block + kBlock);
        done = DecodeBytes(p, n, i, std::min(n, i + 16), out, block + kBlock, faults);
      }
    }
#endif
    if (done) DecodeBytes(p, n, i, n, out, block + kBlock, faults);
    text.append(block, static_cast<size_t>(out - block));
  }
  // Everything before the first fault is valid UTF-8, which tells its place in the text.
  if (faults && !faultedBefore && faults->count > 0) faults->firstAt = UnitsOfValidUtf8(p, faults->firstAt);
  return text;
}

bool IsValidUtf8(std::string_view utf8) {
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const size_t n = utf8.size();
  uint32_t cp;
  size_t length;
  for (size_t i = 0; i < n; i += length)
    if (p[i] < 0x80)
      length = 1;
    else if (IsTwoByteSequence(p, n, i))
      length = 2;
    else if (!NextCodePoint(p, n, i, cp, length))
      return false;
  return true;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    uint32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = kReplacement;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace bookloom
