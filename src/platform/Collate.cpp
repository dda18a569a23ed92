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
  for (;;) {
    // Blanks are passed over: "Page 3" comes between "page2" and "page10".
    while (i < a.size() && a[i] == u' ') ++i;
    while (j < b.size() && b[j] == u' ') ++j;
    if (i == a.size() || j == b.size()) break;
    if (!isDigit(a[i]) || !isDigit(b[j])) {
      const wchar_t x = Fold(a[i]), y = Fold(b[j]);
      if (x != y) return x < y ? -1 : 1;
      ++i;
      ++j;
      continue;
    }
    // Two numbers: leading zeros aside, the one with more digits is larger, else the first digit
    // that differs decides; so numbers of any length compare without overflow.
    size_t ei = i, ej = j;
    while (ei < a.size() && isDigit(a[ei])) ++ei;
    while (ej < b.size() && isDigit(b[ej])) ++ej;
    while (i + 1 < ei && a[i] == u'0') ++i;
    while (j + 1 < ej && b[j] == u'0') ++j;
    if (ei - i != ej - j) return ei - i < ej - j ? -1 : 1;
    if (const int c = a.substr(i, ei - i).compare(b.substr(j, ej - j)); c != 0) return c < 0 ? -1 : 1;
    i = ei;
    j = ej;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  // Equal as read ("p01" and "p1", "A" and "a"): the exact texts decide, so that the order is total.
  const int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

bool SameTextIgnoreCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

}  // namespace bookloom
