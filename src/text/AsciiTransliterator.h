// Text in ASCII letters, for names that must travel everywhere: any script written in Latin letters
// and the marks taken off (Толстой → Tolstoy, Gödel → Godel), through ICU.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Transliterator;
U_NAMESPACE_END

namespace bookloom {

class AsciiTransliterator {
 public:
  // Raises ConvertError when ICU cannot give the transliteration. Making one takes a while: make it
  // once for many texts.
  AsciiTransliterator();
  ~AsciiTransliterator();
  AsciiTransliterator(const AsciiTransliterator&) = delete;
  AsciiTransliterator& operator=(const AsciiTransliterator&) = delete;

  // The text in ASCII as far as ICU can write it; what it cannot stays as it is. One thread at a time.
  std::u16string operator()(std::u16string_view text) const;

 private:
  std::unique_ptr<icu::Transliterator> transliterator_;
};

}  // namespace bookloom
