#include "platform/Utf.h"

#include <cstdint>

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

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8, DecodingFaults* faults) {
  std::u16string text;
  // Never more UTF-16 units than bytes: a four-byte sequence gives two units.
  text.assign(utf8.size(), u'\0');
  char16_t* out = text.data();
  const auto* p = reinterpret_cast<const uint8_t*>(utf8.data());
  const size_t n = utf8.size();
  size_t i = 0;
  while (i < n) {
    if (p[i] < 0x80) {
      do *out++ = p[i++];
      while (i < n && p[i] < 0x80);
    } else if (IsTwoByteSequence(p, n, i)) {
      // A word of Cyrillic letters: one two-byte sequence after another.
      do {
        *out++ = static_cast<char16_t>((p[i] & 0x1F) << 6 | (p[i + 1] & 0x3F));
        i += 2;
      } while (IsTwoByteSequence(p, n, i));
    } else {
      uint32_t cp;
      size_t length;
      if (!NextCodePoint(p, n, i, cp, length)) {
        cp = kReplacement;  // the bytes read so far form one bad sequence
        if (faults && faults->count++ == 0) faults->firstAt = static_cast<size_t>(out - text.data());
      }
      out = PutCodePoint(out, cp);
      i += length;
    }
  }
  text.resize(static_cast<size_t>(out - text.data()));
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
