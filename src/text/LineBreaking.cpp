#include "text/LineBreaking.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "platform/Vectors.h"

namespace bookloom {

namespace {

using WidthTable = std::array<uint8_t, 256>;

constexpr WidthTable MakeFont0() {
  WidthTable w{};
  for (auto& x : w) x = 11;
  w[0x0D] = 0, w[0x20] = 5, w[0x21] = 9, w[0x22] = 10, w[0x2C] = 10, w[0x2E] = 9, w[0x3A] = 9;
  w[0x3B] = 10, w[0x3F] = 8, w[0x85] = 12, w[0x91] = 8, w[0x92] = 10, w[0xC4] = 12;
  return w;
}

constexpr WidthTable kWidths[2] = {
    MakeFont0(),
    {
        14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 0,  14, 14,  // 0x00
        14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14, 14,  // 0x10
        7,  9,  11, 13, 13, 14, 14, 9,  11, 11, 14, 14, 12, 12, 10, 14,  // 0x20
        13, 13, 13, 12, 14, 12, 13, 13, 13, 13, 9,  11, 13, 13, 12, 11,  // 0x30
        14, 14, 12, 13, 13, 12, 12, 14, 13, 12, 12, 12, 12, 14, 13, 14,  // 0x40
        12, 14, 12, 13, 13, 13, 14, 14, 14, 14, 13, 10, 12, 11, 13, 14,  // 0x50
        12, 13, 12, 12, 13, 13, 13, 13, 12, 12, 13, 12, 12, 13, 12, 13,  // 0x60
        12, 13, 12, 12, 14, 12, 14, 14, 13, 14, 12, 12, 10, 12, 14, 14,  // 0x70
        14, 12, 11, 11, 13, 14, 12, 12, 14, 14, 15, 11, 13, 12, 14, 13,  // 0x80
        14, 9,  12, 13, 14, 11, 13, 14, 13, 14, 14, 14, 14, 12, 14, 12,  // 0x90
        14, 14, 14, 12, 14, 12, 10, 13, 12, 14, 13, 12, 13, 12, 13, 12,  // 0xA0
        12, 14, 12, 12, 11, 12, 13, 10, 13, 14, 12, 12, 13, 13, 12, 12,  // 0xB0
        14, 12, 12, 12, 14, 12, 14, 13, 13, 13, 12, 14, 14, 13, 14, 13,  // 0xC0
        12, 13, 13, 14, 14, 14, 13, 13, 13, 14, 13, 13, 12, 13, 13, 13,  // 0xD0
        13, 13, 12, 11, 14, 13, 14, 13, 12, 12, 12, 14, 14, 12, 13, 12,  // 0xE0
        12, 12, 13, 14, 14, 13, 13, 13, 13, 13, 13, 13, 12, 12, 13, 13,  // 0xF0
    },
};

// Character classes of the bytes, as bit flags.
constexpr uint8_t kLetter = 1;
constexpr uint8_t kVowel = 2;
constexpr uint8_t kConsonant = 4;
constexpr uint8_t kSign = 8;
constexpr uint8_t kPunctuation = 16;
constexpr uint8_t kDigit = 32;

constexpr void Mark(std::array<uint8_t, 256>& t, int from, int to, uint8_t flag) {
  for (int b = from; b <= to; ++b) t[b] |= flag;
}

constexpr void MarkEach(std::array<uint8_t, 256>& t, std::string_view bytes, uint8_t flag) {
  for (const char b : bytes) t[static_cast<uint8_t>(b)] |= flag;
}

constexpr std::array<uint8_t, 256> MakeClasses() {
  std::array<uint8_t, 256> t{};
  Mark(t, 0x41, 0x5A, kLetter);
  Mark(t, 0x61, 0x7A, kLetter);
  Mark(t, 0xC0, 0xFF, kLetter);
  MarkEach(t, "\x27\xA8\xAA\xAF\xB8\xBA\xBF", kLetter);

  MarkEach(t, "AEIOUYaeiouy\xA8\xAA\xAF\xB8\xBA\xBF", kVowel);
  MarkEach(t, "\xC0\xC5\xC8\xCE\xD3\xDB\xDD\xDE\xDF\xE0\xE5\xE8\xEE\xF3\xFB\xFD\xFE\xFF", kVowel);

  MarkEach(t, "BCDFGHJKLMNPQRSTVWXZbcdfghjklmnpqrstvwxz", kConsonant);
  for (const int upper : {0xC0, 0xE0}) {  // the same consonants in capitals and small letters
    Mark(t, upper + 0x01, upper + 0x04, kConsonant);
    Mark(t, upper + 0x06, upper + 0x07, kConsonant);
    Mark(t, upper + 0x09, upper + 0x0D, kConsonant);
    Mark(t, upper + 0x0F, upper + 0x12, kConsonant);
    Mark(t, upper + 0x14, upper + 0x19, kConsonant);
  }

  MarkEach(t, "\x27\xDA\xDC\xFA\xFC", kSign);

  Mark(t, 0x21, 0x25, kPunctuation);
  Mark(t, 0x27, 0x2F, kPunctuation);
  MarkEach(t, "\x3A\x3B\x3D\x3F\x40", kPunctuation);
  Mark(t, 0x5B, 0x60, kPunctuation);
  Mark(t, 0x7B, 0x7E, kPunctuation);

  Mark(t, 0x30, 0x39, kDigit);
  return t;
}

constexpr std::array<uint8_t, 256> kClasses = MakeClasses();

constexpr uint8_t kCR = 0x0D, kLF = 0x0A, kBlank = 0x20, kHyphen = 0x2D;
constexpr size_t kLongWord = 40;   // longer words are cut at the width, without hyphen
constexpr size_t kLongNumber = 8;  // longer digit runs are cut at the width

inline uint8_t At(std::string_view s, size_t i) { return static_cast<uint8_t>(s[i]); }
inline bool Is(std::string_view s, size_t i, uint8_t flag) { return kClasses[At(s, i)] & flag; }

// The run of bytes of class `flag` from `pos`, looking at no more than `limit` + 1 bytes: its end
// (end - pos is the run's length, or limit + 1 for any longer run) and the summed width of the
// bytes looked at.
struct Run {
  size_t end;
  int width;
};

// The questions the line breaking asks of a text, answered by looking at its bytes as it goes:
// the way for one line of a text.
class ByteScan {
 public:
  ByteScan(std::string_view text, const WidthTable& widths) : text_(text), widths_(widths) {}

  Run ScanRun(size_t pos, uint8_t flag, size_t limit) const {
    const size_t stop = std::min(text_.size(), pos + limit + 1);
    int width = 0;
    for (uint8_t c; pos < stop && (kClasses[c = At(text_, pos)] & flag); ++pos) width += widths_[c];
    return {pos, width};
  }

  // The number of punctuation marks from `pos` on, counting no further than `most`.
  int Punctuation(size_t pos, int most) const {
    int p = 0;
    while (pos < text_.size() && p < most && Is(text_, pos, kPunctuation)) ++pos, ++p;
    return p;
  }

  int SummedWidth(size_t from, size_t end) const {
    int sum = 0;
    for (size_t i = from; i < end; ++i) sum += widths_[At(text_, i)];
    return sum;
  }

 private:
  std::string_view text_;
  const WidthTable& widths_;
};

// The bytes of class `flag` from `from` on, taken one by one while their summed width stays below
// `limit`; it never looks further than the run or the width reach.
size_t PrefixBelow(std::string_view text, size_t from, uint8_t flag, const WidthTable& widths, int limit) {
  int sum = 0;
  size_t i = from;
  for (; i < text.size() && Is(text, i, flag); ++i) {
    sum += widths[At(text, i)];
    if (sum >= limit) break;
  }
  return i - from;
}

// Punctuation marks from `pos` on, counted only as far as can matter for a room of roomLeft (see
// PunctuationOverflows): roomLeft / h + 2 marks at most.
template <class Scan>
int PunctuationRun(std::string_view text, const Scan& scan, size_t pos, int roomLeft, int h) {
  if (pos >= text.size() || !Is(text, pos, kPunctuation)) return 0;  // most words: no division
  return scan.Punctuation(pos, roomLeft / h + 2);
}

// True when the room left after a word or number of width w cannot hold the reserve of the p
// punctuation marks that follow it: H for one mark, (p - 1)·H for two or more.
bool PunctuationOverflows(int p, int roomLeft, int w, int h) {
  if (p == 1) return roomLeft < h;
  return p >= 2 && w > 0 && roomLeft <= (p - 1) * h;
}

// The line of last resort: the opening word or number whole, otherwise the opening byte.
size_t OpeningToken(std::string_view text) {
  for (const uint8_t flag : {kLetter, kDigit}) {
    if (!Is(text, 0, flag)) continue;
    size_t end = 1;
    while (end < text.size() && Is(text, end, flag)) ++end;
    return end;
  }
  return 1;
}

int Hyphenation(std::string_view word, const WidthTable& widths, int limit);

// One step of a line that has `used` pixels of `textWidth` filled up to `pos`: takes the word,
// number, blank or mark at `pos` onto the line and returns true, or returns false where the line ends
// (with `pos` after what it still takes: a hyphenated word's first part, the line end).
template <class Scan>
bool Step(std::string_view text, size_t& pos, int& used, const Scan& scan, int textWidth,
          const WidthTable& widths) {
  const int h = widths[kHyphen];
  const size_t n = text.size();
  const int room = textWidth - used;
  const uint8_t c = At(text, pos);
  size_t take = 1;  // bytes to take and their width, when the line goes on
  int width;

  if (kClasses[c] & kLetter) {
    const auto [end, runWidth] = scan.ScanRun(pos, kLetter, kLongWord);
    if (end - pos > kLongWord) {
      pos += PrefixBelow(text, pos, kLetter, widths, room);
      return false;
    }
    const std::string_view word = text.substr(pos, end - pos);
    width = runWidth;
    if (width > room) {
      if (3 * h > room) return false;
      if (const int hyph = Hyphenation(word, widths, room - h); hyph > 0) {
        pos += static_cast<size_t>(hyph);
      } else if (used == 0) {
        pos += PrefixBelow(text, pos, kLetter, widths, room);
      }
      return false;
    }
    const int roomLeft = room - width;
    const int p = PunctuationRun(text, scan, end, roomLeft, h);
    if (PunctuationOverflows(p, roomLeft, width, h)) {
      // A single mark that does not fit may still follow the word's first part, hyphenated.
      if (p == 1 && 3 * h <= room) pos += static_cast<size_t>(Hyphenation(word, widths, room - h));
      return false;
    }
    take = word.size();
  } else if (kClasses[c] & kDigit) {
    const auto [end, runWidth] = scan.ScanRun(pos, kDigit, kLongNumber);
    if (end - pos > kLongNumber) {
      take = PrefixBelow(text, pos, kDigit, widths, room);
      if (take == 0) return false;
      width = scan.SummedWidth(pos, pos + take);
    } else {
      width = runWidth;
      if (width > room) return false;
      const int roomLeft = room - width;
      if (PunctuationOverflows(PunctuationRun(text, scan, end, roomLeft, h), roomLeft, width, h))
        return false;
      take = end - pos;
    }
  } else if (c == kCR) {
    ++pos;
    if (pos < n && At(text, pos) == kLF) ++pos;
    return false;
  } else if (c == kBlank) {
    width = room > h ? h : 0;  // blanks at the end of a full line stay on it
  } else {
    width = widths[c];
  }

  if (used + width > textWidth) return false;
  used += width;
  pos += take;
  return true;
}

// The end of a line whose first bytes up to `pos` (`used` pixels) are already on it.
template <class Scan>
size_t BreakFrom(std::string_view text, size_t pos, int used, const Scan& scan, int textWidth,
                 const WidthTable& widths) {
  while (pos < text.size() && Step(text, pos, used, scan, textWidth, widths)) {
  }
  return pos;
}

// A line never ends before its first byte: when nothing else fits, it is the opening word or number
// whole, otherwise the opening byte.
size_t AtLeastOneToken(std::string_view text, size_t start, size_t end) {
  return end == start && text.size() > start ? start + OpeningToken(text.substr(start)) : end;
}

}  // namespace

int CharWidth(int fontIndex, uint8_t byte) { return kWidths[fontIndex != 0][byte]; }

int HyphenWidth(int fontIndex) { return CharWidth(fontIndex, kHyphen); }

int FindHyphenation(std::string_view word, int fontIndex, int limit) {
  return Hyphenation(word, kWidths[fontIndex != 0], limit);
}

bool EndsHyphenated(std::string_view text, size_t lineEnd) {
  if (lineEnd == 0 || lineEnd >= text.size() || !Is(text, lineEnd - 1, kLetter) ||
      !Is(text, lineEnd, kLetter))
    return false;
  size_t start = lineEnd - 1, end = lineEnd + 1;
  while (start > 0 && Is(text, start - 1, kLetter)) --start;
  while (end < text.size() && Is(text, end, kLetter)) ++end;
  return end - start <= kLongWord;
}

int BreakLine(std::string_view text, int textWidth, int fontIndex) {
  const WidthTable& widths = kWidths[fontIndex != 0];
  return static_cast<int>(
      AtLeastOneToken(text, 0, BreakFrom(text, 0, 0, ByteScan(text, widths), textWidth, widths)));
}

// The answers of ByteScan, with the runs of letters and of digits read from the paragraph's tokens;
// a run entered in its middle (after a hyphen), a run longer than the limit, and punctuation (a
// byte or two) are still counted from the bytes.
class ParagraphBreaker::Scan : public ByteScan {
 public:
  Scan(const ParagraphBreaker& tables, int font)
      : ByteScan(tables.text_, kWidths[font]), tables_(tables), font_(font) {}

  Run ScanRun(size_t pos, uint8_t flag, size_t limit) const {
    if (pos == 0 || !Is(tables_.text_, pos - 1, flag)) {
      const Token& run = tables_.tokens_[tables_.tokenAt_[pos]];
      if (run.end - pos <= limit) return {run.end, run.width[font_]};
    }
    return ByteScan::ScanRun(pos, flag, limit);
  }

 private:
  const ParagraphBreaker& tables_;
  int font_;
};

namespace {

// Both fonts' widths of each byte in one number, font 0 in the low half: a run's widths are summed
// with one addition a byte.
constexpr std::array<uint64_t, 256> MakePairedWidths() {
  std::array<uint64_t, 256> paired{};
  for (int b = 0; b < 256; ++b) paired[b] = kWidths[0][b] | uint64_t{kWidths[1][b]} << 32;
  return paired;
}
constexpr std::array<uint64_t, 256> kPairedWidths = MakePairedWidths();

// Where up to 64 bytes of a text are letters, digits, blanks, CRs and LFs (what tells where tokens
// start and end): one bit a byte, the first byte's the lowest.
struct ByteKinds {
  uint64_t letters = 0, digits = 0, blanks = 0, crs = 0, lfs = 0;
};

ByteKinds KindsOf(const uint8_t* p, size_t count) {
  ByteKinds k;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t c = kClasses[p[i]];
    k.letters |= static_cast<uint64_t>(c & kLetter) << i;
    k.digits |= static_cast<uint64_t>((c & kDigit) != 0) << i;
    k.blanks |= static_cast<uint64_t>(p[i] == kBlank) << i;
    k.crs |= static_cast<uint64_t>(p[i] == kCR) << i;
    k.lfs |= static_cast<uint64_t>(p[i] == kLF) << i;
  }
  return k;
}

#if BOOKLOOM_X86_VECTORS
// Whether bytes are in [low, low + count): a signed comparison of the bytes moved to the bottom.
__attribute__((target("avx2"))) inline __m256i InRange(__m256i bytes, char low, int count) {
  const __m256i moved =
      _mm256_xor_si256(_mm256_sub_epi8(bytes, _mm256_set1_epi8(low)), _mm256_set1_epi8(-128));
  return _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(-128 + count)), moved);
}

inline uint64_t Bits(int low, int high) {
  return static_cast<uint32_t>(low) | uint64_t{static_cast<uint32_t>(high)} << 32;
}

// KindsOf 64 bytes, with the letters as kClasses has them.
__attribute__((target("avx2"))) ByteKinds KindsOf64(const uint8_t* p) {
  // 0xA8, 0xAA, 0xAF and the same low halves in 0xB8, 0xBA, 0xBF.
  const __m256i otherLetterHalves = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, -1,  //
                                                     0, 0, 0, 0, 0, 0, 0, 0, -1, 0, -1, 0, 0, 0, 0, -1);
  int masks[2][5];
  for (int half = 0; half < 2; ++half) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32 * half));
    const __m256i latin = InRange(_mm256_or_si256(bytes, _mm256_set1_epi8(0x20)), 'a', 26);
    const __m256i cyrillic =
        _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, _mm256_set1_epi8(static_cast<char>(0xC0))), bytes);
    const __m256i other = _mm256_and_si256(
        _mm256_cmpeq_epi8(_mm256_and_si256(bytes, _mm256_set1_epi8(static_cast<char>(0xE0))),
                          _mm256_set1_epi8(static_cast<char>(0xA0))),
        _mm256_shuffle_epi8(otherLetterHalves, _mm256_and_si256(bytes, _mm256_set1_epi8(0x0F))));
    const __m256i apostrophe = _mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(0x27));
    masks[half][0] = _mm256_movemask_epi8(
        _mm256_or_si256(_mm256_or_si256(latin, cyrillic), _mm256_or_si256(other, apostrophe)));
    masks[half][1] = _mm256_movemask_epi8(InRange(bytes, '0', 10));
    masks[half][2] = _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(kBlank)));
    masks[half][3] = _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(kCR)));
    masks[half][4] = _mm256_movemask_epi8(_mm256_cmpeq_epi8(bytes, _mm256_set1_epi8(kLF)));
  }
  return {Bits(masks[0][0], masks[1][0]), Bits(masks[0][1], masks[1][1]), Bits(masks[0][2], masks[1][2]),
          Bits(masks[0][3], masks[1][3]), Bits(masks[0][4], masks[1][4])};
}
#endif

// The end of the run of set bits from bit `i` on; the mask has a clear bit after the text.
inline size_t RunEnd(const uint64_t* mask, size_t i) {
  size_t w = i / 64;
  uint64_t outside = ~mask[w] >> (i & 63);
  if (outside != 0) return i + static_cast<size_t>(std::countr_zero(outside));
  while ((outside = ~mask[++w]) == 0) {
  }
  return w * 64 + static_cast<size_t>(std::countr_zero(outside));
}

}  // namespace

// The letters, digits and token starts of the paragraph as bit masks: a token starts at a letter or a
// digit after a byte of another kind, and at any other byte but the blank right after a word or
// number and the LF right after a CR.
void ParagraphBreaker::MarkTokens() {
  const auto* p = reinterpret_cast<const uint8_t*>(text_.data());
  const size_t n = text_.size();
  uint64_t letterCarry = 0, digitCarry = 0, crCarry = 0;
  for (size_t w = 0; w <= n / 64; ++w) {
    const size_t count = std::min<size_t>(64, n - w * 64);
#if BOOKLOOM_X86_VECTORS
    const ByteKinds k = count == 64 && HasAvx2() ? KindsOf64(p + w * 64) : KindsOf(p + w * 64, count);
#else
    const ByteKinds k = KindsOf(p + w * 64, count);
#endif
    const uint64_t inText = count == 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
    const uint64_t afterLetter = k.letters << 1 | letterCarry, afterDigit = k.digits << 1 | digitCarry;
    const uint64_t others = inText & ~(k.letters | k.digits);
    const uint64_t takenAlong = (k.blanks & (afterLetter | afterDigit)) | (k.lfs & (k.crs << 1 | crCarry));
    letterMask_[w] = k.letters;
    digitMask_[w] = k.digits;
    startMask_[w] = (k.letters & ~afterLetter) | (k.digits & ~afterDigit) | (others & ~takenAlong);
    letterCarry = k.letters >> 63, digitCarry = k.digits >> 63, crCarry = k.crs >> 63;
  }
  letterMask_[n / 64 + 1] = digitMask_[n / 64 + 1] = 0;
}

// Both fonts' summed widths of the bytes before each byte: a run's widths are a difference. Taken
// modulo 2^64, the difference is right in both halves even where a half has overflowed.
void ParagraphBreaker::SumWidths() {
  uint64_t* before = widthsBefore_.data();
  uint64_t sum = 0;  // kept out of the table, which the text's bytes might alias
  for (size_t i = 0; i < text_.size(); ++i) {
    before[i] = sum;
    sum += kPairedWidths[At(text_, i)];
  }
  before[text_.size()] = sum;
}

void ParagraphBreaker::Start(std::string_view paragraph) {
  text_ = paragraph;
  const size_t n = paragraph.size();
  // The tables only grow: an entry is read only up to this paragraph's last token, or where one of
  // its tokens starts, and written before.
  if (widthsBefore_.size() < n + 1) {
    tokenAt_.resize(n);
    tokens_.resize(n + 1);
    widthsBefore_.resize(n + 1);
    for (std::vector<uint64_t>* mask : {&letterMask_, &digitMask_, &startMask_}) mask->resize(n / 64 + 2);
    for (std::vector<int32_t>& taken : takenWidths_) taken.resize(n + 1);
    for (std::vector<int32_t>& reach : plainReach_) reach.resize(n + 1);
  }
  MarkTokens();
  SumWidths();
  const uint64_t* before = widthsBefore_.data();

  constexpr uint64_t kPairedHyphens = kPairedWidths[kHyphen];
  uint64_t taken = 0;  // both fonts' takenWidths_, paired
  // The summed widths of a paragraph of 16 MB stay far within 31 bits; a longer one (a file without
  // a line end) is cut token by token, closely.
  const bool plainTokens = n < (size_t{1} << 24);
  Token* const tokens = tokens_.data();
  uint32_t* const tokenAt = tokenAt_.data();
  int32_t* const taken0 = takenWidths_[0].data();
  int32_t* const taken1 = takenWidths_[1].data();
  int32_t* const reach0 = plainReach_[0].data();
  int32_t* const reach1 = plainReach_[1].data();
  uint32_t index = 0;
  for (size_t w = 0; w <= n / 64; ++w) {
    for (uint64_t starts = startMask_[w]; starts != 0; starts &= starts - 1, ++index) {
      const size_t start = w * 64 + static_cast<size_t>(std::countr_zero(starts));
      const uint8_t c = At(paragraph, start);
      const uint8_t kind = kClasses[c] & (kLetter | kDigit);
      Token token{static_cast<uint32_t>(start + 1), {}, Token::Kind::kMark, 0, false};
      uint64_t widths = kPairedWidths[c];
      // A blank, a mark, or a word or number short enough to be taken whole and followed by one mark
      // at most: a line that has room to spare for it takes it whole, by its width alone.
      bool plain = plainTokens;
      if (kind != 0) {
        token.kind = kind == kLetter ? Token::Kind::kWord : Token::Kind::kNumber;
        const size_t end = RunEnd(kind == kLetter ? letterMask_.data() : digitMask_.data(), start + 1);
        token.end = static_cast<uint32_t>(end);
        widths = before[end] - before[start];
        // Most words are followed by a blank, which one step of a line takes along; the others by
        // their marks, if any.
        token.blankAfter = end < n && At(paragraph, end) == kBlank;
        if (!token.blankAfter)
          for (size_t after = end; after < n && Is(paragraph, after, kPunctuation) && token.marksAfter < 255;
               ++after)
            ++token.marksAfter;
        plain = plainTokens && end - start <= (kind == kLetter ? kLongWord : kLongNumber) &&
                token.marksAfter <= 1;
        taken += widths + (token.blankAfter ? kPairedHyphens : 0);
      } else if (c == kCR) {
        token.kind = Token::Kind::kLineEnd;
        plain = false;
        if (start + 1 < n && At(paragraph, start + 1) == kLF) ++token.end;
      } else if (c == kBlank) {
        token.kind = Token::Kind::kBlank;
        taken += kPairedHyphens;
      } else {
        taken += widths;
      }
      token.width[0] = static_cast<int32_t>(widths & 0xFFFFFFFFu);
      token.width[1] = static_cast<int32_t>(widths >> 32);
      tokens[index] = token;
      tokenAt[start] = index;
      taken0[index + 1] = static_cast<int32_t>(taken & 0xFFFFFFFFu);
      taken1[index + 1] = static_cast<int32_t>(taken >> 32);
      reach0[index] = plain ? taken0[index + 1] : INT32_MAX;
      reach1[index] = plain ? taken1[index + 1] : INT32_MAX;
    }
  }
  // After the last token a line takes nothing more by width alone.
  reach0[index] = reach1[index] = INT32_MAX;
  taken0[0] = taken1[0] = 0;
}

bool ParagraphBreaker::StartsToken(size_t pos) const { return startMask_[pos / 64] >> (pos & 63) & 1; }

// Token by token, which is the byte-by-byte way with every question about a word, a number or a mark
// answered once for the paragraph; what the tokens cannot answer (a word longer than kLongWord, a
// number longer than kLongNumber, the rest of a word cut by the line before) takes the steps of the
// byte-by-byte way.
size_t ParagraphBreaker::BreakLine(size_t start, int textWidth, int fontIndex) const {
  const int font = fontIndex != 0;
  const WidthTable& widths = kWidths[font];
  const Scan scan(*this, font);
  const int h = widths[kHyphen];
  const size_t n = text_.size();
  size_t pos = start;
  int used = 0;
  while (pos < n && !StartsToken(pos))
    if (!Step(text_, pos, used, scan, textWidth, widths)) return AtLeastOneToken(text_, start, pos) - start;

  const int32_t* taken = takenWidths_[font].data();
  const int32_t* reach = plainReach_[font].data();
  for (size_t t = pos < n ? tokenAt_[pos] : 0; pos < n; ++t) {
    // Plain tokens that leave more room than a hyphen after them are taken whole, as the closer look
    // below would take them: a word fits with room for its mark and its blank, a mark and a blank fit.
    const int32_t limit = textWidth - h - 1 - used + taken[t];
    size_t fitting = t;
    while (reach[fitting] <= limit) ++fitting;
    if (fitting > t) {
      used += taken[fitting] - taken[t];
      pos = tokens_[fitting - 1].end + tokens_[fitting - 1].blankAfter;
      t = fitting;
      if (pos >= n) break;
    }
    const Token& token = tokens_[t];
    const int room = textWidth - used;
    switch (token.kind) {
      case Token::Kind::kWord:
      case Token::Kind::kNumber: {
        const bool word = token.kind == Token::Kind::kWord;
        if (token.end - pos > (word ? kLongWord : kLongNumber)) {
          pos = BreakFrom(text_, pos, used, scan, textWidth, widths);
          return AtLeastOneToken(text_, start, pos) - start;
        }
        const int width = token.width[font];
        if (width > room) {
          if (word && 3 * h <= room) {
            const std::string_view letters = text_.substr(pos, token.end - pos);
            if (const int hyph = Hyphenation(letters, widths, room - h); hyph > 0) {
              pos += static_cast<size_t>(hyph);
            } else if (used == 0) {
              pos += PrefixBelow(text_, pos, kLetter, widths, room);
            }
          }
          return AtLeastOneToken(text_, start, pos) - start;
        }
        const int roomLeft = room - width;
        // All the marks count: the byte-by-byte way counts no further than can matter, which gives
        // the same answer.
        const int marks = token.marksAfter;
        if (PunctuationOverflows(marks, roomLeft, width, h)) {
          // A single mark that does not fit may still follow the word's first part, hyphenated.
          if (word && marks == 1 && 3 * h <= room)
            pos += static_cast<size_t>(Hyphenation(text_.substr(pos, token.end - pos), widths, room - h));
          return AtLeastOneToken(text_, start, pos) - start;
        }
        used += width;
        if (token.blankAfter) {
          used += textWidth - used > h ? h : 0;  // as a blank token does
          pos = token.end + 1;
          continue;
        }
        break;
      }
      case Token::Kind::kLineEnd:
        return token.end - start;
      case Token::Kind::kBlank:
        used += room > h ? h : 0;  // blanks at the end of a full line stay on it
        break;
      case Token::Kind::kMark:
        if (used + token.width[font] > textWidth) return AtLeastOneToken(text_, start, pos) - start;
        used += token.width[font];
        break;
    }
    pos = token.end;
  }
  return AtLeastOneToken(text_, start, pos) - start;
}

namespace {

int Hyphenation(std::string_view word, const WidthTable& widths, int limit) {
  const size_t n = word.size();
  size_t fit = 0;
  int sum = 0;
  while (fit < n && (sum += widths[At(word, fit)]) <= limit) ++fit;
  if (fit == n || fit <= 2 || n <= 3) return 0;

  // A vowel can open a split only when another vowel follows somewhere in the word.
  size_t lastVowel = n;
  for (size_t i = n; i-- > 0;)
    if (Is(word, i, kVowel)) {
      lastVowel = i;
      break;
    }
  if (lastVowel == n) return 0;

  // Positions below count from 1: the split after letter c keeps c letters on the line.
  size_t best = 0;
  for (size_t j = 1; j + 2 <= n && j - 1 < lastVowel; ++j) {
    if (!Is(word, j - 1, kVowel)) continue;
    size_t c = j;
    if (Is(word, j, kConsonant)) {
      if (Is(word, j + 1, kConsonant))
        c = j + 1;  // one consonant stays with the vowel
      else if (Is(word, j + 1, kSign))
        c = j + 2;  // the sign stays with its consonant
    }
    if (c >= 2 && c + 2 <= n && c <= fit && c > best) best = c;
  }
  return static_cast<int>(best);
}

}  // namespace

}  // namespace bookloom
