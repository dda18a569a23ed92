// bookloom-cli make: builds a book from files and options, as the window's "Make Wolf" does, with
// one policy for bad inputs and without ever losing a file.
#include <map>
#include <memory>
#include <vector>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "app/cli/Options.h"
#include "app/cli/TextOptions.h"
#include "book/BookBuild.h"
#include "book/BookDescription.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "book/Project.h"
#include "pictures/CoverPage.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/TextFile.h"
#include "text/Win1251.h"
#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"

namespace bookloom::cli {

namespace {

// Normalises line ends to CR LF, as the description dialog stores a multi-line annotation.
std::u16string WithCrLf(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    if (text[i] == u'\r' || text[i] == u'\n')
      out += u"\r\n";
    else
      out += text[i];
  }
  return out;
}

std::string FieldName(DescriptionFieldId field) {
  return kDescriptionFields[static_cast<size_t>(field)].name;
}

std::string OptionOf(DescriptionFieldId field) { return "--" + FieldName(field); }

std::string HelpOf(DescriptionFieldId field) {
  switch (field) {
    case DescriptionFieldId::kTimePublish:
      return "when the book was published";
    case DescriptionFieldId::kIsbn:
      return "the book's ISBN";
    case DescriptionFieldId::kIntroduction:
      return "a few lines about the book";
    default:
      return "the book's " + FieldName(field);
  }
}

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
    CLI::App& make =
        *app.add_subcommand("make", "builds a book from texts, pictures, e-books, archives, PDF and DjVu files");
    make.footer(
        "Inputs may be text files, pictures, FB2 (also .fb2.zip), EPUB and HTML books, comic archives (.cbz, "
        ".cbr,\n"
        ".cb7, .cbt, .zip, .rar, .7z, .tar), PDF and DjVu files and folders (their pictures and texts in "
        "natural\n"
        "order, each sub-folder a chapter); `bookloom-cli formats` lists them all. A PDF or DjVu file becomes "
        "its\n"
        "text, or pictures of its pages for a scan (--document-mode). An e-book's title, authors and the rest "
        "fill\n"
        "the description texts not given here, and its cover is the book's cover unless --cover or --no-cover "
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
    make_ = &make;
    filesOption_ = make.add_option("files", files_,
                    "the inputs (files and folders), in the order of the book (after a project's)")
        ->type_name("FILE");
    make.callback([this] {
      if (files_.empty() && projectFiles_.empty() && !projectError_) throw CLI::RequiredError("files");
    });
    for (const DescriptionText& t : DescriptionTexts())
      make.add_option(OptionOf(t.field), texts_[t.field], HelpOf(t.field))
          ->group("Description")
          ->type_name("TEXT");
    annotationFileOption_ =
        make.add_option("--annotation-file", annotationFileName_, "the annotation, read from a text file")
            ->group("Description")
            ->type_name("FILE")
            ->excludes(OptionOf(DescriptionFieldId::kIntroduction));
    make.add_flag("--truncate", truncate_, "cut description texts the book cannot hold whole, with a warning")
        ->group("Description");
    CLI::Option* cover =
        make.add_option("--cover", coverFile_, "the cover picture")->group("Cover")->type_name("FILE");
    make.add_flag("--no-cover", noCover_, "no cover page, not even one an input offers")
        ->group("Cover")
        ->excludes(cover);
    AddColorsOption(make, "--cover-mode", coverOptions_.colors,
                    "the cover in four greys (the default) or black and white")
        ->group("Cover");
    make.add_flag("--cover-enlarge,!--no-cover-enlarge", coverEnlarge_,
                  "scale a smaller cover picture up to fill the page (the default)")
        ->group("Cover");
    AddMarginsOption(make, "--cover-margins,--margins", coverOptions_.margins,
                     "the cover's margins in pixels")
        ->group("Cover");
    AddPictureOptions(make, settings_.picture);
    textOptions_.Add(make, settings_.text);
    AddChoiceOption(make, "--document-mode", settings_.documentMode, kDocumentModeNames,
                    "how a PDF or DjVu file becomes part of the book: text (its text as paragraphs and headings, the "
                    "pictures on its pages as pages), pages (each page a picture) or auto (the default: text "
                    "when its pages have a text layer, pages for scans and drawings)")
        ->group("Documents");
    make.add_flag("--skip-bad", skipBad_,
                  "leave out inputs (and damaged pictures or pages inside them) that cannot be used, with a "
                  "warning, instead of failing");
    make.add_flag("--force", force_, "replace an existing output that is not a Wolf book");
  }

  int Run(Console& console) override {
    if (projectError_) std::rethrow_exception(projectError_);
    const BookDescription description = Description(console);
    CoverPage cover = Cover(console);
    FileList files = Inputs(console);
    const std::u16string output = Utf8ToUtf16(output_);
    CheckOutput(output);
    ConsoleObserver observer(console, files);
    BuildBook(output, files, description, cover, &observer);
    console.Result("Wrote " + output_ + " (" + Counted(files.Count(), "file", "files") + ")");
    return 0;
  }

 private:
  struct CoverOptions {
    PageColors colors = PageColors::kGray4;
    Margins margins;
  };

  // A project's files, settings, description and cover, taken before the options beside it.
  void TakeProject(const std::string& file) {
    try {
      Project project = LoadProject(Utf8ToUtf16(file));
      settings_ = project.settings;
      projectDescription_ = project.description;
      if (project.cover.coverMode > 0 && !project.cover.fileName.empty()) {
        coverFile_ = Utf16ToUtf8(project.cover.fileName);
        coverOptions_ = {PageColorsOfBits(project.cover.coverMode), project.cover.margins};
        coverEnlarge_ = project.cover.enlarge;
      }
      projectFiles_ = std::move(project.files);
    } catch (const Exception&) {
      projectError_ = std::current_exception();
    }
  }

  BookDescription Description(Console& console) const {
    BookDescription description = projectDescription_;
    for (const DescriptionText& t : DescriptionTexts()) {
      const auto given = texts_.find(t.field);
      if (given != texts_.end() && !given->second.empty()) description.*t.text = Utf8ToUtf16(given->second);
    }
    std::string annotationOption = OptionOf(DescriptionFieldId::kIntroduction);
    if (!annotationFileName_.empty()) {
      const DecodedTextFile file =
          DecodeTextFile(ReadFileBytes(Utf8ToUtf16(annotationFileName_)),
                         textOptions_.EncodingsAt(*make_, annotationFileOption_).at(0));
      if (file.faults.count > 0) console.Warning("--annotation-file: " + DescribeFaults(file));
      description.annotation = file.text;
      annotationOption = "--annotation-file";
    }
    description.annotation = WithCrLf(description.annotation);
    for (const DescriptionText& t : DescriptionTexts()) {
      const std::string option =
          t.field == DescriptionFieldId::kIntroduction ? annotationOption : OptionOf(t.field);
      FallbackReport report;
      description.*t.text = FitToWin1251(description.*t.text, &report);
      if (!report.Empty()) console.Warning(option + ": " + report.Summary(kFallbackChangesShown));
    }
    for (const DescriptionOverflow& o : FindDescriptionOverflows(description)) {
      const std::string option =
          o.field == DescriptionFieldId::kIntroduction ? annotationOption : OptionOf(o.field);
      if (!truncate_)
        Raise<Exception>("%s: %d characters, more than the %d a book can hold (--truncate cuts it)",
                         {option, o.length, o.limit});
      console.Warning(Format("%s: cut to %d of its %d characters", {option, o.limit, o.length}));
    }
    return description;
  }

  // The cover picture given, or without one the cover an input offers, unless --no-cover.
  CoverPage Cover(Console& console) const {
    CoverPage cover;
    if (noCover_) return cover;
    cover.coverMode = BitsOf(coverOptions_.colors);
    cover.enlarge = coverEnlarge_;
    cover.margins = coverOptions_.margins;
    if (coverFile_.empty()) return cover;
    const std::u16string fileName = Utf8ToUtf16(coverFile_);
    try {
      MakeInputItem(fileName);
    } catch (const InputError& e) {
      if (!skipBad_) Raise<Exception>("cover %s: %s", {coverFile_, e.Reason()});
      console.Warning(Format("no cover: %s: %s", {coverFile_, e.Reason()}));
      return CoverPage();
    }
    cover.fileName = fileName;
    return cover;
  }

  // Every input as an item; the bad ones fail the build, all named, or are left out with --skip-bad.
  FileList Inputs(Console& console) const {
    Project inputs;
    inputs.settings = settings_;
    inputs.settings.skipBadParts = skipBad_;
    inputs.files = projectFiles_;
    for (ProjectFile& file : inputs.files) file.settings.skipBadParts = skipBad_;
    // A file after --input-encoding has its own encoding.
    const std::vector<std::string> encodings = textOptions_.EncodingsAt(*make_, filesOption_);
    for (size_t i = 0; i < files_.size(); ++i) {
      FileSettings settings = inputs.settings;
      settings.text.encoding = encodings.at(i);
      inputs.files.push_back({Utf8ToUtf16(files_[i]), settings, settings != inputs.settings});
    }
    std::vector<std::string> problems;
    FileList files = MakeProjectItems(inputs, problems);
    if (skipBad_) {
      for (const std::string& problem : problems) console.Warning("skipped " + problem);
      if (files.Count() == 0) Raise<Exception>("none of the inputs can be made into a book");
    } else if (!problems.empty()) {
      std::string message = problems.size() == 1 ? "cannot use an input" : "cannot use these inputs";
      for (const std::string& problem : problems) message += "\n  " + problem;
      Raise<Exception>("%s\n(--skip-bad leaves them out)", {message});
    }
    return files;
  }

  // An existing output is replaced only when it is a Wolf book (or empty), or with --force.
  void CheckOutput(const std::u16string& output) const {
    switch (KindOf(output)) {
      case FileKind::kMissing:
        return;
      case FileKind::kFolder:
        Raise<Exception>("the output %s is a folder", {output_});
      case FileKind::kOther:
        Raise<Exception>("the output %s is not a regular file", {output_});
      case FileKind::kRegular:
        break;
    }
    if (!force_ && FileSize(output) > 0 && !LooksLikeWolfBook(output))
      Raise<Exception>("%s exists and is not a Wolf book: give --force to replace it", {output_});
  }

  CLI::App* make_ = nullptr;
  CLI::Option* filesOption_ = nullptr;
  CLI::Option* annotationFileOption_ = nullptr;
  std::string output_;
  std::vector<std::string> files_;
  std::map<DescriptionFieldId, std::string> texts_;
  std::string annotationFileName_;
  bool truncate_ = false;
  std::string coverFile_;
  bool noCover_ = false;
  CoverOptions coverOptions_;
  bool coverEnlarge_ = true;
  FileSettings settings_;
  BookDescription projectDescription_;
  std::vector<ProjectFile> projectFiles_;
  std::exception_ptr projectError_;
  TextOptions textOptions_;
  bool skipBad_ = false;
  bool force_ = false;
};

}  // namespace

std::unique_ptr<Command> AddMakeCommand(CLI::App& app) { return std::make_unique<MakeCommand>(app); }

}  // namespace bookloom::cli
