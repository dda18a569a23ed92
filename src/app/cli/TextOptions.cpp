#include "app/cli/TextOptions.h"

#include "app/cli/Options.h"
#include "platform/AnsiCodePage.h"
#include "platform/Exception.h"
#include "platform/Utf.h"
#include "text/Chapters.h"

namespace bookloom::cli {

namespace {

constexpr char kDetect[] = "auto";

}  // namespace

void TextOptions::Add(CLI::App& app, TextSettings& settings) {
  encoding_ =
      app.add_option("--input-encoding", encodings_,
                     "the encoding of the text files that follow (any name iconv knows, such as CP1251, "
                     "KOI8-R, UTF-16LE); auto tells it from the bytes again")
          ->group("Texts")
          ->expected(1)
          ->allow_extra_args(false)
          ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
          ->type_name("NAME")
          ->check([](const std::string& name) -> std::string {
            if (name == kDetect || IsKnownCharset(name)) return "";
            return "iconv knows no encoding " + name + " (iconv --list names them)";
          });
  app.add_flag("--chapters", settings.chapters,
               "make the headings of the texts (parts, chapters, numerals alone, prologue and epilogue) "
               "sections and table-of-contents entries")
      ->group("Texts");
  app.add_option_function<std::vector<std::string>>(
         "--chapter-pattern",
         [&settings](const std::vector<std::string>& patterns) {
           for (const std::string& pattern : patterns) {
             std::u16string wide = Utf8ToUtf16(pattern);
             try {
               ChapterPatterns check({wide});
             } catch (const ChapterPatternError& e) {
               throw CLI::ValidationError("--chapter-pattern", e.what());
             }
             settings.chapterPatterns.push_back(std::move(wide));
           }
           settings.chapters = true;
         },
         "a heading of your own: an ICU regular expression that matches the whole line (it implies "
         "--chapters)")
      ->group("Texts")
      ->type_name("REGEX");
  AddChoiceOption(app, "--unwrap", settings.unwrap, kUnwrapNames,
                  "join the lines of hard-wrapped texts into paragraphs: auto decides for each file, off (the "
                  "default) keeps every line a paragraph")
      ->group("Texts");
}

std::vector<std::string> TextOptions::EncodingsAt(const CLI::App& app, const CLI::Option* option) const {
  std::vector<std::string> encodings;
  std::string current;
  size_t encodingsSeen = 0;
  for (const CLI::Option* parsed : app.parse_order()) {
    if (parsed == encoding_) {
      current = encoding_->results().at(encodingsSeen++);
      if (current == kDetect) current.clear();
    } else if (parsed == option) {
      encodings.push_back(current);
    }
  }
  return encodings;
}

}  // namespace bookloom::cli
