// Options that several commands share, defined once: margins, the colours of a page, and how
// pictures become pages.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "pictures/PageFitting.h"
#include "pictures/PictureSettings.h"

namespace bookloom::cli {

// "L,R,T,B": four whole numbers of pixels that leave room on the device page.
CLI::Option* AddMarginsOption(CLI::App& app, const std::string& names, Margins& margins,
                              const std::string& description);

// "gray" (four greys) or "mono" (black and white); "2" and "1", the bits per pixel, are taken too.
CLI::Option* AddColorsOption(CLI::App& app, const std::string& names, PageColors& colors,
                             const std::string& description);

// The options of the book's pictures: --enlarge, --picture-mode, --rotate, --split, --crop, --gamma,
// --autolevel and --all-frames.
void AddPictureOptions(CLI::App& app, PictureSettings& settings);

}  // namespace bookloom::cli
