#include "app/cli/Options.h"

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
  const std::string shown = names.substr(0, names.find(','));
  return app
      .add_option_function<std::string>(
          names,
          [&margins, shown](const std::string& text) {
            int* const fields[] = {&margins.left, &margins.right, &margins.top, &margins.bottom};
            size_t start = 0;
            for (int i = 0; i < 4; ++i) {
              const size_t comma = i < 3 ? text.find(',', start) : text.size();
              if (comma == std::string::npos || !ParsePixels(text.substr(start, comma - start), *fields[i]))
                throw CLI::ValidationError(shown, "takes four whole numbers: LEFT,RIGHT,TOP,BOTTOM");
              start = comma + 1;
            }
            try {
              CheckMargins(margins);
            } catch (const MarginsError& e) {
              throw CLI::ValidationError(shown, e.what());
            }
          },
          description)
      ->type_name("L,R,T,B");
}

CLI::Option* AddColorsOption(CLI::App& app, const std::string& names, PageColors& colors,
                             const std::string& description) {
  return AddChoiceOption(app, names, colors, kColorsNames, description,
                         {{"2", PageColors::kGray4}, {"1", PageColors::kMonochrome}});
}

void AddPictureOptions(CLI::App& app, PictureSettings& settings) {
  app.add_flag("--enlarge,!--no-enlarge", settings.enlarge,
               "scale pictures smaller than the page up to fill it")
      ->group("Pictures");
  AddColorsOption(app, "--picture-mode", settings.colors,
                  "pictures in four greys (the default) or black and white (1-bit pages: crisper line art "
                  "and text scans, a smaller book)")
      ->group("Pictures");
  AddChoiceOption(app, "--rotate", settings.rotation, kRotationNames,
                  "turn pictures a quarter: auto turns those wider than high clockwise, to fill the page "
                  "(read them with the reader turned a quarter to the left); left (counter-clockwise) and "
                  "right (clockwise) turn every picture")
      ->group("Pictures");
  AddChoiceOption(app, "--split", settings.split, kSplitNames,
                  "make a double-page spread (wider than 1.2 times its height) two pages: its left half "
                  "first (ltr), its right half first (rtl), or auto: the right half first in a comic whose "
                  "ComicInfo.xml says it reads from right to left (a manga), else the left; splitting comes "
                  "before rotating")
      ->group("Pictures");
  app.add_flag("--crop,!--no-crop", settings.crop,
               "trim near-white or near-black borders (up to a fifth of each side) before fitting")
      ->group("Pictures");
  app.add_flag_function(
         "--clean,!--no-clean", [&settings](int64_t count) { settings.clean = count > 0; },
         "treat pictures as scanned pages: straighten them, make the paper white and the print black, "
         "remove specks (without either, the pages of scanned PDF and DjVu files are, pictures are not)")
      ->group("Pictures");
  app.add_option("--gamma", settings.gamma,
                 "gamma of the greys before scaling: above 1 lightens the middle greys, below 1 darkens them")
      ->check(CLI::Range(kMinGamma, kMaxGamma))
      ->type_name("G")
      ->group("Pictures");
  app.add_flag("--autolevel,!--no-autolevel", settings.autolevel,
               "stretch each picture's greys so that its darkest and lightest 0.5 % become black and white")
      ->group("Pictures");
  app.add_flag("--all-frames,!--first-frame", settings.allFrames,
               "make every page of a multi-page TIFF, every frame of an animated GIF, WebP or JPEG XL "
               "and every image of a HEIF or AVIF file a page (otherwise the first, with a warning)")
      ->group("Pictures");
}

}  // namespace bookloom::cli
