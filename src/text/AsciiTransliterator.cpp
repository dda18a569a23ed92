#include "text/AsciiTransliterator.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include "platform/Exception.h"

namespace bookloom {

namespace {

// Russian as its readers write it in Latin letters (Толстой → Tolstoy, not ISO 9's Tolstoj), any
// other script as ICU writes it, and then the marks taken off.
constexpr char kTransliteration[] = "Russian-Latin/BGN; Any-Latin; Latin-ASCII";

}  // namespace

AsciiTransliterator::AsciiTransliterator() {
  UErrorCode status = U_ZERO_ERROR;
  transliterator_.reset(icu::Transliterator::createInstance(kTransliteration, UTRANS_FORWARD, status));
  if (U_FAILURE(status) || !transliterator_)
    Raise<ConvertError>("ICU cannot give %s: %s", {kTransliteration, u_errorName(status)});
}

AsciiTransliterator::~AsciiTransliterator() = default;

std::u16string AsciiTransliterator::operator()(std::u16string_view text) const {
  icu::UnicodeString form(text.data(), static_cast<int32_t>(text.size()));
  transliterator_->transliterate(form);
  return {form.getBuffer(), static_cast<size_t>(form.length())};
}

}  // namespace bookloom
