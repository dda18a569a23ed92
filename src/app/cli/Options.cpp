#include "app/cli/Options.h"

#include <map>

namespace bookloom::cli {

namespace {

// A whole number of pixels from 0 to 99999.
bool ParsePixels(const std::string& text, int& value) {
  if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  value = std::stoi(text);
  return true;
}

}  // namespace

CLI::Option* AddMarginsOption(CLI::App& app, const std::string& names, Margins& margins,
                              const std::string& description) {
  return app
      .add_option_function<std::string>(
          names,
          [&margins](const std::string& text) {
            int* const fields[] = {&margins.left, &margins.right, &margins.top, &margins.bottom};
            size_t start = 0;
            for (int i = 0; i < 4; ++i) {
              const size_t comma = i < 3 ? text.find(',', start) : text.size();
              if (comma == std::string::npos || !ParsePixels(text.substr(start, comma - start), *fields[i]))
                throw CLI::ValidationError("margins", "takes four whole numbers: LEFT,RIGHT,TOP,BOTTOM");
              start = comma + 1;
            }
          },
          description)
      ->type_name("L,R,T,B");
}

CLI::Option* AddColorsOption(CLI::App& app, const std::string& names, PageColors& colors,
                             const std::string& description) {
  static const std::map<std::string, PageColors> kNames = {{"gray", PageColors::kGray4},
                                                           {"mono", PageColors::kMonochrome},
                                                           {"2", PageColors::kGray4},
                                                           {"1", PageColors::kMonochrome}};
  return app
      .add_option_function<std::string>(
          names,
          [&colors](const std::string& name) {
            const auto found = kNames.find(name);
            if (found == kNames.end()) throw CLI::ValidationError("mode", "is gray or mono, not " + name);
            colors = found->second;
          },
          description)
      ->type_name("gray|mono");
}

void AddPictureOptions(CLI::App& app, PictureSettings& settings) {
  app.add_flag("--enlarge,!--no-enlarge", settings.enlarge,
               "scale pictures smaller than the page up to fill it")
      ->group("Pictures");
  AddColorsOption(app, "--picture-mode", settings.colors,
                  "pictures in four greys (the default) or black and white")
      ->group("Pictures");
}

}  // namespace bookloom::cli
