// bookloom-cli extract: writes a book's cover and pictures as grey PNG files and its text as UTF-8,
// into a folder of their own.
#include <filesystem>
#include <string>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/PngFile.h"
#include "platform/Stream.h"
#include "platform/Utf.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"

namespace bookloom::cli {

namespace {

namespace fs = std::filesystem;

// Writes a picture of the book as PNG; a picture without pixels has nothing to show.
bool WritePicture(const BookReader& reader, const PictureData& picture, const fs::path& file) {
  if (picture.width == 0 || picture.height == 0) return false;
  const std::string rows = reader.DecodeRows(picture);
  WriteGrayPng(file.u16string(), picture.width, picture.height, PackedRowsToGray(picture, rows));
  return true;
}

class ExtractCommand : public Command {
 public:
  explicit ExtractCommand(CLI::App& app) {
    CLI::App& extract = *app.add_subcommand(
        "extract", "writes the cover and pictures as PNG files and the text as UTF-8 text.txt");
    extract.add_option("book", book_, "the book to read")->required()->type_name("BOOK.wol");
    extract.add_option("folder", folder_, "a new or empty folder to write into")
        ->required()
        ->type_name("FOLDER");
    extract.add_flag("--force", force_,
                     "write into a folder that holds files, replacing those of the same names");
  }

  int Run(Console& console, const Runtime&) override {
    const BookReader reader(ReadFileBytes(Utf8ToUtf16(book_)));
    const BookContents& book = reader.Book();
    const fs::path folder(folder_);
    PrepareFolder(folder);

    int pngs = 0;
    if (book.cover && WritePicture(reader, *book.cover, folder / "cover.png")) ++pngs;
    int number = 0;
    std::string text;
    int64_t paragraphs = 0;
    for (const SectionData& s : book.sections) {
      for (const PictureData& p : s.images) {
        char name[32];
        std::snprintf(name, sizeof name, "picture-%04d.png", ++number);
        if (WritePicture(reader, p, folder / name)) ++pngs;
      }
      for (const std::string& paragraph : s.paragraphs) {
        text += Utf16ToUtf8(Win1251ToWide(paragraph));
        text += '\n';
      }
      paragraphs += static_cast<int64_t>(s.paragraphs.size());
    }
    std::string written = Counted(pngs, "PNG file", "PNG files");
    if (paragraphs > 0) {
      FileOutputStream textFile((folder / "text.txt").u16string());
      textFile.WriteStr(text);
      textFile.Close();
      written += " and " + Counted(paragraphs, "paragraph", "paragraphs") + " in text.txt";
    }
    console.Result(written + " written to " + folder_);
    return 0;
  }

 private:
  // The folder is made when it does not exist; one that holds anything is used only with --force.
  void PrepareFolder(const fs::path& folder) const {
    std::error_code error;
    if (!fs::exists(folder, error)) {
      if (!fs::create_directories(folder, error))
        Raise<Exception>("cannot make the folder %s: %s", {folder_, error.message()});
      return;
    }
    if (!fs::is_directory(folder, error)) Raise<Exception>("%s is not a folder", {folder_});
    if (!force_ && !fs::is_empty(folder, error))
      Raise<Exception>("the folder %s is not empty: give --force to write into it", {folder_});
  }

  std::string book_;
  std::string folder_;
  bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> AddExtractCommand(CLI::App& app) { return std::make_unique<ExtractCommand>(app); }

}  // namespace bookloom::cli
