// bookloom-cli make: builds a book from files and options, as the window's "Make Wolf" does, with
// one policy for bad inputs and without ever losing a file.
#include <memory>
#include <vector>

#include "app/cli/BookOptions.h"
#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/Project.h"
#include "pictures/CoverPage.h"
#include "platform/Exception.h"
#include "platform/Utf.h"

namespace bookloom::cli {

namespace {

// Prints progress, what each input became and the inputs' warnings.
class ConsoleObserver : public BuildObserver {
 public:
  ConsoleObserver(Console& console, const FileList& files) : console_(console) {
    int64_t total = 0;
    for (int i = 0; i < files.Count(); ++i) total += files.Items(i).Size();
    console_.StartProgress(total);
  }
  ~ConsoleObserver() override { console_.EndProgress(); }

  void Starting(int index, int count, const FileItem& item) override {
    console_.ShowProgress(done_, Utf16ToUtf8(item.ShortName()));
  }
  void Progress(int index, int count, const FileItem& item, double part) override {
    console_.ShowProgress(done_ + static_cast<int64_t>(part * static_cast<double>(item.Size())),
                          Utf16ToUtf8(item.ShortName()));
  }
  void Written(int index, int count, const FileItem& item, const ItemReport& report) override {
    done_ += item.Size();
    console_.Note(Format("[%d/%d] %s: %s", {index + 1, count, item.FileName(), Summary(report)}));
  }
  void Warning(const FileItem& item, const std::string& message) override {
    console_.Warning(Utf16ToUtf8(item.FileName()) + ": " + message);
  }
  void Note(const FileItem& item, const std::string& message) override {
    console_.Note(Utf16ToUtf8(item.FileName()) + ": " + message);
  }

 private:
  static std::string Summary(const ItemReport& report) {
    std::string text;
    if (report.paragraphs > 0 || report.pictures == 0)
      text += Counted(report.paragraphs, "paragraph", "paragraphs");
    if (report.pictures > 0)
      text += (text.empty() ? "" : ", ") + Counted(report.pictures, "picture", "pictures");
    return text + ", " + Counted(report.pages, "page", "pages");
  }

  Console& console_;
  int64_t done_ = 0;
};

class MakeCommand : public Command {
 public:
  explicit MakeCommand(CLI::App& app) {
    CLI::App& make = *app.add_subcommand(
        "make", "builds a book from texts, pictures, e-books, archives, PDF and DjVu files");
    make.footer(
        "Inputs may be text files, pictures, FB2 (also .fb2.zip), EPUB and HTML books, comic archives (.cbz, "
        ".cbr,\n"
        ".cb7, .cbt, .zip, .rar, .7z, .tar), PDF and DjVu files and folders (their pictures and texts in "
        "natural\n"
        "order, each sub-folder a chapter); `bookloom-cli formats` lists them all. A PDF or DjVu file "
        "becomes "
        "its\n"
        "text, or pictures of its pages for a scan (--document-mode). An e-book's title, authors and the "
        "rest "
        "fill\n"
        "the description texts not given here, and its cover is the book's cover unless --cover or "
        "--no-cover "
        "is given.");
    make.add_option("-o,--output", output_, "the book to write (an existing Wolf book is replaced)")
        ->required()
        ->type_name("BOOK.wol");
    // Read as soon as it is met, so that the options given beside it take precedence.
    make.add_option_function<std::string>(
            "--project", [this](const std::string& file) { TakeProject(file); },
            "a project saved by the window: its files with their settings and table-of-contents edits, the "
            "description and the cover")
        ->type_name("FILE")
        ->trigger_on_parse();
    filesOption_ =
        make.add_option("files", files_,
                        "the inputs (files and folders), in the order of the book (after a project's)")
            ->type_name("FILE");
    make.callback([this] {
      if (files_.empty() && projectFiles_.empty() && !projectError_) throw CLI::RequiredError("files");
    });
    options_.Add(make, "replace an existing output that is not a Wolf book");
  }

  int Run(Console& console, const Runtime& runtime) override {
    if (projectError_) std::rethrow_exception(projectError_);
    const BookDescription description = options_.Description(console, runtime);
    CoverPage cover = options_.Cover(console, runtime);
    FileList files = Inputs(console, runtime);
    const std::u16string output = Utf8ToUtf16(output_);
    options_.CheckOutput(output, output_);
    ConsoleObserver observer(console, files);
    BuildBook(runtime, output, files, description, cover, &observer);
    console.Result("Wrote " + output_ + " (" + Counted(files.Count(), "file", "files") + ")");
    return 0;
  }

 private:
  // A project's files, settings, description and cover, taken before the options beside it.
  void TakeProject(const std::string& file) {
    try {
      Project project = LoadProject(Utf8ToUtf16(file));
      options_.TakeProject(project, file);
      projectFiles_ = std::move(project.files);
    } catch (const Exception&) {
      projectError_ = std::current_exception();
    }
  }

  // Every input as an item; the bad ones fail the build, all named, or are left out with --skip-bad.
  FileList Inputs(Console& console, const Runtime& runtime) const {
    Project inputs;
    inputs.settings = options_.Settings();
    inputs.files = projectFiles_;
    for (ProjectFile& file : inputs.files) file.settings.skipBadParts = options_.SkipBad();
    // A file after --input-encoding has its own encoding.
    const std::vector<std::string> encodings = options_.EncodingsAt(filesOption_);
    for (size_t i = 0; i < files_.size(); ++i) {
      FileSettings settings = inputs.settings;
      settings.text.encoding = encodings.at(i);
      inputs.files.push_back({Utf8ToUtf16(files_[i]), settings, settings != inputs.settings});
    }
    std::vector<std::string> problems;
    FileList files = MakeProjectItems(runtime, inputs, problems);
    if (options_.SkipBad()) {
      for (const std::string& problem : problems) console.Warning("skipped " + problem);
      if (files.Count() == 0) Raise<Exception>("none of the inputs can be made into a book");
    } else if (!problems.empty()) {
      std::string message = problems.size() == 1 ? "cannot use an input" : "cannot use these inputs";
      for (const std::string& problem : problems) message += "\n  " + problem;
      Raise<Exception>("%s\n(--skip-bad leaves them out)", {message});
    }
    return files;
  }

  CLI::Option* filesOption_ = nullptr;
  std::string output_;
  std::vector<std::string> files_;
  BookOptions options_;
  std::vector<ProjectFile> projectFiles_;
  std::exception_ptr projectError_;
};

}  // namespace

std::unique_ptr<Command> AddMakeCommand(CLI::App& app) { return std::make_unique<MakeCommand>(app); }

}  // namespace bookloom::cli
