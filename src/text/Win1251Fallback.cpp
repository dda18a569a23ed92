#include "text/Win1251Fallback.h"

#include <unicode/brkiter.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <memory>
#include <mutex>

#include "platform/Exception.h"
#include "platform/Utf.h"
#include "text/SingleByteCodec.h"

namespace bookloom {

namespace {

std::u16string_view View(const icu::UnicodeString& s) {
  return {s.getBuffer(), static_cast<size_t>(s.length())};
}

bool HasWin1251Form(std::u16string_view text) {
  const auto& bytes = Win1251ByteTable();
  for (const char16_t c : text)
    if (bytes[c] == 0 && c != 0) return false;
  return true;
}

bool IsMark(UChar32 c) { return (U_GET_GC_MASK(c) & U_GC_M_MASK) != 0; }

}  // namespace

// ICU's normalisers, transliterators and grapheme breaker. The normalisers serve every thread at once;
// each thread breaks its texts with a copy of the breaker of its own. Transliterators may not be used
// by two threads at once: they and the memory of the replacements found so far are shared by the
// threads and used under the lock, which a conversion takes only for a character without a byte, so
// that conversions on several threads do not wait for each other.
class Win1251Fallback {
 public:
  Win1251Fallback() {
    UErrorCode status = U_ZERO_ERROR;
    nfc_ = icu::Normalizer2::getNFCInstance(status);
    nfd_ = icu::Normalizer2::getNFDInstance(status);
    nfkc_ = icu::Normalizer2::getNFKCInstance(status);
    Check(status, "the normalisers");
    characters_.reset(icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
    Check(status, "the character breaker");
  }

  void Append(std::u16string_view text, std::string& out, FallbackReport* report, size_t line) const {
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString source(false, text.data(), static_cast<int32_t>(text.size()));
    const icu::UnicodeString nfc = nfc_->normalize(source, status);
    Check(status, "NFC");
    const std::u16string_view normal = View(nfc);
    // Each thread's copy of the breaker, made at its first conversion: a work buffer of the thread,
    // cloned from whichever run's breaker came first (they are all alike).
    thread_local const std::unique_ptr<icu::BreakIterator> characters(characters_->clone());
    characters->setText(nfc);
    const auto& bytes = Win1251ByteTable();
    for (int32_t start = characters->first(), end; (end = characters->next()) != icu::BreakIterator::DONE;
         start = end) {
      const std::u16string_view character =
          normal.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
      if (HasWin1251Form(character)) {
        for (const char16_t c : character) out += static_cast<char>(bytes[c]);
        continue;
      }
      const std::u16string replacement = ReplacementOf(character);
      for (const char16_t c : replacement) out += static_cast<char>(bytes[c]);
      if (report) report->Add(std::u16string(character), replacement, line);
    }
  }

 private:
  // A transliterator, made when it is first needed: Any-Latin alone takes longer to make than a
  // novel takes to convert.
  static icu::Transliterator& Transliterator(std::unique_ptr<icu::Transliterator>& made, const char* id) {
    if (!made) {
      UErrorCode status = U_ZERO_ERROR;
      made.reset(icu::Transliterator::createInstance(id, UTRANS_FORWARD, status));
      Check(status, id);
    }
    return *made;
  }

  static void Check(UErrorCode status, const char* what) {
    if (U_FAILURE(status)) Raise<ConvertError>("ICU cannot give %s: %s", {what, u_errorName(status)});
  }

  // The nearest form of one character (a letter with its marks) that has no byte; "" drops it.
  std::u16string ReplacementOf(std::u16string_view character) const {
    const std::lock_guard lock(sharedLock_);
    auto [at, added] = sharedKnown_.try_emplace(std::u16string(character));
    if (added) at->second = FindReplacement(at->first);
    return at->second;
  }

  // Called under sharedLock_.
  std::u16string FindReplacement(const std::u16string& character) const {
    const icu::UnicodeString source(false, character.data(), static_cast<int32_t>(character.size()));
    const auto usable = [&](const icu::UnicodeString& form) {
      return !form.isEmpty() && form != source && HasWin1251Form(View(form));
    };
    // A letter of the code page with marks it lacks: the letter. Latin-ASCII gives the same for
    // such a letter (é → e) and leaves a Cyrillic one as it is, so asking for it first changes no
    // result and spares making ICU's transliterators, which takes longer than a novel's conversion.
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString parts = nfd_->normalize(source, status);
    if (U_SUCCESS(status) && !parts.isEmpty()) {
      const icu::UnicodeString base(parts.char32At(0));
      bool marksOnly = !IsMark(base.char32At(0));
      for (int32_t i = base.length(); i < parts.length() && marksOnly; i += U16_LENGTH(parts.char32At(i)))
        marksOnly = IsMark(parts.char32At(i));
      if (marksOnly && HasWin1251Form(View(base))) return std::u16string(View(base));
    }

    icu::UnicodeString form = source;
    Transliterator(sharedLatinAscii_, "Latin-ASCII").transliterate(form);
    if (usable(form)) return std::u16string(View(form));

    status = U_ZERO_ERROR;
    form = nfkc_->normalize(source, status);
    if (U_SUCCESS(status) && usable(form)) return std::u16string(View(form));

    form = source;
    Transliterator(sharedAnyLatin_, "Any-Latin; Latin-ASCII").transliterate(form);
    if (usable(form)) return std::u16string(View(form));
    return {};
  }

  const icu::Normalizer2* nfc_ = nullptr;
  const icu::Normalizer2* nfd_ = nullptr;
  const icu::Normalizer2* nfkc_ = nullptr;
  std::unique_ptr<icu::BreakIterator> characters_;  // copied by each thread, never used itself
  // Shared by every thread that converts text: held by the thread that uses the transliterators
  // (made at their first use) and the replacements found so far.
  mutable std::mutex sharedLock_;
  mutable std::unique_ptr<icu::Transliterator> sharedLatinAscii_, sharedAnyLatin_;  // guarded by sharedLock_
  mutable std::map<std::u16string, std::u16string> sharedKnown_;                    // guarded by sharedLock_
};

const Win1251Fallback& Win1251FallbackOf(const Runtime& runtime) {
  return runtime.Loaded<Win1251Fallback>("Windows-1251 fallback",
                                         [] { return std::make_shared<const Win1251Fallback>(); });
}

void AppendWin1251Fallback(const Win1251Fallback& fallback, std::u16string_view text, std::string& out,
                           FallbackReport* report, size_t line) {
  fallback.Append(text, out, report, line);
}

void FallbackReport::Add(const std::u16string& original, const std::u16string& replacement, size_t line) {
  ++(replacement.empty() ? dropped_ : replaced_);
  auto [at, added] = indexOf_.try_emplace(original, changes_.size());
  if (added) changes_.push_back({original, replacement});
  Change& change = changes_[at->second];
  ++change.count;
  if (change.lines.empty() || change.lines.back() != line) change.lines.push_back(line);
}

std::string FallbackReport::Describe(const Change& change) {
  const std::string original = "\"" + Utf16ToUtf8(change.original) + "\"";
  return change.replacement.empty() ? original + " dropped"
                                    : original + " \u2192 \"" + Utf16ToUtf8(change.replacement) + "\"";
}

std::string FallbackReport::Summary(size_t shown) const {
  const auto counted = [](size_t n, const char* what) {
    return std::to_string(n) + (n == 1 ? " character " : " characters ") + what;
  };
  std::string text;
  if (replaced_ > 0) text = counted(replaced_, "replaced");
  if (dropped_ > 0)
    text += text.empty() ? counted(dropped_, "dropped") : " and " + std::to_string(dropped_) + " dropped";
  const char* separator = ": ";
  for (size_t i = 0; i < changes_.size() && i < shown; ++i, separator = ", ") {
    text += separator + Describe(changes_[i]);
    if (changes_[i].lines.front() > 0) text += " (line " + std::to_string(changes_[i].lines.front()) + ")";
  }
  if (changes_.size() > shown) text += ", ...";
  return text;
}

std::vector<std::string> FallbackReport::Details() const {
  std::vector<std::string> details;
  for (const Change& change : changes_) {
    std::string detail = Describe(change);
    if (change.count > 1) detail += ": " + std::to_string(change.count) + " times";
    if (change.lines.front() > 0) {
      detail += change.count > 1 ? ", " : ": ";
      detail += change.lines.size() == 1 ? "line " : "lines ";
      for (size_t i = 0; i < change.lines.size(); ++i)
        detail += (i ? ", " : "") + std::to_string(change.lines[i]);
    }
    details.push_back(detail);
  }
  return details;
}

}  // namespace bookloom
