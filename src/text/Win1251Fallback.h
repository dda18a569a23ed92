// The nearest Windows-1251 form of characters the code page lacks, found with ICU, and the account
// of what became of each of them.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Runtime.h"

namespace bookloom {

// The distinct changes a warning names; --verbose lists them all.
inline constexpr size_t kFallbackChangesShown = 5;

// What became of the characters without a Windows-1251 form in one text (a file, a description
// field): how many were replaced and dropped, and each distinct change with the lines it was made on.
class FallbackReport {
 public:
  // One character (a letter with its marks, after NFC) changed on `line` (from 1; 0 for a text
  // without lines); an empty replacement drops it.
  void Add(const std::u16string& original, const std::u16string& replacement, size_t line);

  size_t Replaced() const { return replaced_; }
  size_t Dropped() const { return dropped_; }
  bool Empty() const { return replaced_ + dropped_ == 0; }

  // "2 characters replaced and 1 dropped: "é" → "e" (line 4), "😀" dropped (line 9)": the counts
  // and the first `shown` distinct changes with the line each was first made on.
  std::string Summary(size_t shown) const;
  // Every distinct change, one a line: "\"é\" → \"e\": 7 times, lines 4, 19, 220".
  std::vector<std::string> Details() const;

 private:
  struct Change {
    std::u16string original, replacement;
    size_t count = 0;
    std::vector<size_t> lines;  // each line once, in order
  };
  static std::string Describe(const Change& change);

  std::vector<Change> changes_;  // in the order of their first occurrence
  std::map<std::u16string, size_t> indexOf_;
  size_t replaced_ = 0, dropped_ = 0;
};

// ICU's normalisers and transliterators and the replacements found with them: what finding a
// character's nearest form needs. Making the transliterators takes longer than converting a novel, so
// one fallback serves the whole run, on every thread (its replacements are shared under a lock).
class Win1251Fallback;

// The runtime's fallback, made at the first call.
const Win1251Fallback& Win1251FallbackOf(const Runtime& runtime);

// Appends the Windows-1251 bytes of a text that holds characters the code page lacks. The text is
// brought to NFC (a decomposed "й" or "ё" gets its one character), and each character (with its
// combining marks) that still has no byte takes, in this order:
//   1. its ICU Latin-ASCII transliteration (é → e, ß → ss, ł → l, æ → ae, ﬁ → fi);
//   2. its base letter, when it is one with marks the code page lacks (е́ → е, ӑ → а);
//   3. its compatibility form, NFKC (𝐀 → A, ① → 1);
//   4. ICU's Any-Latin, then Latin-ASCII: other scripts in Latin letters (Ελληνικά → Ellenika,
//      中 → zhong, שלום → slwm);
// and is dropped when none of them gives characters the code page has. Characters the code page
// has are never touched. Each change goes to `report` when one is given.
void AppendWin1251Fallback(const Win1251Fallback& fallback, std::u16string_view text, std::string& out,
                           FallbackReport* report, size_t line);

}  // namespace bookloom
