#include "platform/Collate.h"

#include <locale.h>
#include <wctype.h>

#include <cwchar>
#include <string>

namespace bookloom {

namespace {

// Lower case by Unicode's rules, whatever the program's LC_CTYPE (the "C" locale folds only
// ASCII); the process's locale when no UTF-8 locale is installed.
locale_t FoldingLocale() {
  static const locale_t loc = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  return loc;
}

wchar_t Fold(char16_t c) {
  const locale_t loc = FoldingLocale();
  return static_cast<wchar_t>(loc ? towlower_l(c, loc) : towlower(c));
}

// The folded text as wide characters; a surrogate pair becomes one character.
std::wstring Folded(std::u16string_view s) {
  std::wstring out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      out += static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00));
      ++i;
    } else {
      out += Fold(c);
    }
  }
  return out;
}

}  // namespace

int CompareTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  return std::wcscoll(Folded(a).c_str(), Folded(b).c_str());
}

int CompareNatural(std::u16string_view a, std::u16string_view b) {
  const auto isDigit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      // Two numbers: leading zeros aside, the one with more digits is larger, else the first digit
      // that differs decides; so numbers of any length compare without overflow.
      size_t ei = i, ej = j;
      while (ei < a.size() && isDigit(a[ei])) ++ei;
      while (ej < b.size() && isDigit(b[ej])) ++ej;
      size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == u'0') ++si;
      while (sj + 1 < ej && b[sj] == u'0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
      if (const int c = a.substr(si, ei - si).compare(b.substr(sj, ej - sj)); c != 0) return c;
      i = ei;
      j = ej;
      continue;
    }
    // The texts up to the next digit on either side compare as words.
    size_t ei = i, ej = j;
    while (ei < a.size() && !isDigit(a[ei])) ++ei;
    while (ej < b.size() && !isDigit(b[ej])) ++ej;
    if (const int c = CompareTextIgnoreCase(a.substr(i, ei - i), b.substr(j, ej - j)); c != 0) return c;
    i = ei;
    j = ej;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  // Equal as read ("p01" and "p1"): the exact texts decide, so that the order is total.
  return a.compare(b) < 0 ? -1 : a.compare(b) > 0 ? 1 : 0;
}

bool SameTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

}  // namespace bookloom
