// bookloom-cli prepare: writes the pages one picture becomes on the device, as a book picture with
// the picture options of make (or with the margins of a cover), in grey PNG files.
#include <filesystem>
#include <string>
#include <vector>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "app/cli/Options.h"
#include "book/InputFiles.h"
#include "book/PictureFileItem.h"
#include "platform/Bitmap.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Utf.h"

namespace bookloom::cli {

namespace {

// The greys of a page: 1 bit a pixel (1 white) or 24 bits of one grey, red, green and blue alike.
std::vector<uint8_t> GreysOf(const Bitmap& page) {
  std::vector<uint8_t> gray(static_cast<size_t>(page.Width()) * page.Height());
  const bool bits = page.Format() == PixelFormat::k1Bit;
  for (int y = 0; y < page.Height(); ++y) {
    const uint8_t* in = page.Row(y);
    uint8_t* out = gray.data() + static_cast<size_t>(y) * page.Width();
    for (int x = 0; x < page.Width(); ++x)
      out[x] = bits ? static_cast<uint8_t>(((in[x >> 3] >> (7 - (x & 7))) & 1) * 255) : in[3 * x];
  }
  return gray;
}

// The file of page `number` (from 1) of `count`: the output itself for a single page, otherwise
// OUT-1.png, OUT-2.png, ...
std::string PageFile(const std::string& output, int number, int count) {
  if (count == 1) return output;
  const std::filesystem::path path(output);
  return (path.parent_path() /
          (path.stem().string() + "-" + std::to_string(number) + path.extension().string()))
      .string();
}

class PrepareCommand : public Command {
 public:
  explicit PrepareCommand(CLI::App& app) {
    CLI::App& prepare = *app.add_subcommand(
        "prepare",
        "writes the pages a picture becomes on the reader, as grey PNG files (OUT.png, or OUT-1.png, "
        "OUT-2.png, ... when it becomes several)");
    prepare.add_option("picture", input_, "the picture to prepare")->required()->type_name("PICTURE");
    prepare.add_option("page", output_, "the PNG file to write")->required()->type_name("OUT.png");
    AddPictureOptions(prepare, settings_);
    // The spelling of earlier versions: --mode 1 or 2.
    AddColorsOption(prepare, "--mode", settings_.colors, "the same as --picture-mode")->group("");
    AddMarginsOption(prepare, "--margins", margins_, "margins around the picture in pixels");
    prepare.add_flag("--force", force_, "replace existing page files");
  }

  int Run(Console& console, const Runtime& runtime) override {
    const std::u16string input = Utf8ToUtf16(input_);
    CheckInputFile(input);
    PictureFileItem item(runtime, input);
    FileSettings settings;
    settings.picture = settings_;
    item.SetSettings(settings);
    item.Load();
    for (const std::string& warning : item.TakeWarnings()) console.Warning(input_ + ": " + warning);
    std::vector<Bitmap> pages;
    item.ForEachPage(margins_, [&](Bitmap& page) { pages.push_back(std::move(page)); });
    item.Unload();
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
      const std::string file = PageFile(output_, i + 1, count);
      if (SameFile(input, Utf8ToUtf16(file)))
        Raise<Exception>("the page %s would replace the picture it is made from", {file});
      if (!force_ && KindOf(Utf8ToUtf16(file)) != FileKind::kMissing)
        Raise<Exception>("%s exists: give --force to replace it", {file});
    }
    for (int i = 0; i < count; ++i) {
      const std::string file = PageFile(output_, i + 1, count);
      WriteGrayPng(Utf8ToUtf16(file), pages[i].Width(), pages[i].Height(), GreysOf(pages[i]));
      if (count > 1) console.Note("wrote " + file);
    }
    return 0;
  }

 private:
  std::string input_;
  std::string output_;
  PictureSettings settings_;
  Margins margins_;
  bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> AddPrepareCommand(CLI::App& app) { return std::make_unique<PrepareCommand>(app); }

}  // namespace bookloom::cli
