// bookloom-cli prepare: writes one picture as the device page it becomes, as a book picture (four
// greys, never enlarged, no margins) or with the options of a cover, in a grey PNG.
#include <string>
#include <vector>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "app/cli/Options.h"
#include "book/InputFiles.h"
#include "decoders/Picture.h"
#include "pictures/PageFitting.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"

namespace bookloom::cli {

namespace {

class PrepareCommand : public Command {
 public:
  explicit PrepareCommand(CLI::App& app) {
    CLI::App& prepare =
        *app.add_subcommand("prepare", "writes the page a picture becomes on the reader, as a grey PNG");
    prepare.add_option("picture", input_, "the picture to prepare")->required()->type_name("PICTURE");
    prepare.add_option("page", output_, "the PNG file to write")->required()->type_name("OUT.png");
    AddPictureOptions(prepare, settings_);
    // The spelling of earlier versions: --mode 1 or 2.
    AddColorsOption(prepare, "--mode", settings_.colors, "the same as --picture-mode")->group("");
    AddMarginsOption(prepare, "--margins", margins_, "margins around the picture in pixels");
  }

  int Run(Console&) override {
    const std::u16string input = Utf8ToUtf16(input_), output = Utf8ToUtf16(output_);
    CheckInputFile(input);
    if (SameFile(input, output))
      Raise<Exception>("the page %s would replace the picture it is made from", {output_});
    Picture picture;
    picture.LoadFromFile(input);
    Bitmap page;
    FitOptions options = FitOptionsOf(settings_);
    options.margins = margins_;
    FitPictureToPage(picture, page, options);
    // Both kinds of page hold greys only: red, green and blue are equal.
    std::vector<uint8_t> gray(static_cast<size_t>(page.Width()) * page.Height());
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x)
        gray[static_cast<size_t>(y) * page.Width() + x] = page.Pixel(x, y).r;
    WriteGrayPng(output, page.Width(), page.Height(), gray);
    return 0;
  }

 private:
  std::string input_;
  std::string output_;
  PictureSettings settings_;
  Margins margins_;
};

}  // namespace

std::unique_ptr<Command> AddPrepareCommand(CLI::App& app) { return std::make_unique<PrepareCommand>(app); }

}  // namespace bookloom::cli
