// Options that several commands share, defined once: margins, the colours of a page, and how
// pictures become pages.
#pragma once

#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "book/SettingNames.h"
#include "pictures/PageFitting.h"
#include "pictures/PictureSettings.h"

namespace bookloom::cli {

// "L,R,T,B": four whole numbers of pixels that leave room on the device page.
CLI::Option* AddMarginsOption(CLI::App& app, const std::string& names, Margins& margins,
                              const std::string& description);

// An option that takes the name of one of the choices (or of an alias), shown in help and messages
// as "a|b|c".
template <class T, size_t N>
CLI::Option* AddChoiceOption(CLI::App& app, const std::string& option, T& value,
                             const NamedChoice<T> (&choices)[N], const std::string& description,
                             std::vector<NamedChoice<T>> aliases = {}) {
  const std::string names = ChoiceNames(choices);
  const std::string shown = option.substr(0, option.find(','));
  return app
      .add_option_function<std::string>(
          option,
          [&value, &choices, aliases, names, shown](const std::string& name) {
            std::optional<T> chosen = ChoiceNamed(choices, name);
            for (const NamedChoice<T>& alias : aliases)
              if (name == alias.name) chosen = alias.value;
            if (!chosen) throw CLI::ValidationError(shown, "is one of " + names + ", not " + name);
            value = *chosen;
          },
          description)
      ->type_name(names);
}

// "gray" (four greys) or "mono" (black and white); "2" and "1", the bits per pixel, are taken too.
CLI::Option* AddColorsOption(CLI::App& app, const std::string& names, PageColors& colors,
                             const std::string& description);

// The options of the book's pictures: --enlarge, --picture-mode, --rotate, --split, --crop, --gamma,
// --autolevel and --all-frames.
void AddPictureOptions(CLI::App& app, PictureSettings& settings);

}  // namespace bookloom::cli
