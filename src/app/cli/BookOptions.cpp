#include "app/cli/BookOptions.h"

#include "app/cli/Console.h"
#include "app/cli/Options.h"
#include "book/InputFiles.h"
#include "book/Project.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/TextFile.h"
#include "wolf/BookReader.h"
#include "wolf/BookRecords.h"

namespace bookloom::cli {

namespace {

// Normalises line ends (CR LF, CR or LF) to LF, the line end of texts in memory.
std::u16string WithLf(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    out += text[i] == u'\r' ? u'\n' : text[i];
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

}  // namespace

void BookOptions::Add(CLI::App& command, const std::string& forceHelp) {
  command_ = &command;
  for (const DescriptionText& t : DescriptionTexts())
    command.add_option(OptionOf(t.field), texts_[t.field], HelpOf(t.field))
        ->group("Description")
        ->type_name("TEXT");
  annotationFileOption_ =
      command.add_option("--annotation-file", annotationFileName_, "the annotation, read from a text file")
          ->group("Description")
          ->type_name("FILE")
          ->excludes(OptionOf(DescriptionFieldId::kIntroduction));
  command
      .add_flag("--truncate", truncate_, "cut description texts the book cannot hold whole, with a warning")
      ->group("Description");
  CLI::Option* cover =
      command.add_option("--cover", coverFile_, "the cover picture")->group("Cover")->type_name("FILE");
  CLI::Option* noCover =
      command.add_flag("--no-cover", noCover_, "no cover page, not even one an input offers")
          ->group("Cover")
          ->excludes(cover);
  command
      .add_flag("--generate-cover", generateCover_,
                "without a cover picture given or offered by an input, a cover made from the title, author "
                "and series")
      ->group("Cover")
      ->excludes(noCover);
  AddColorsOption(command, "--cover-mode", coverOptions_.colors,
                  "the cover in four greys (the default) or black and white")
      ->group("Cover");
  command
      .add_flag("--cover-enlarge,!--no-cover-enlarge", coverEnlarge_,
                "scale a smaller cover picture up to fill the page (the default)")
      ->group("Cover");
  AddMarginsOption(command, "--cover-margins,--margins", coverOptions_.margins,
                   "the cover's margins in pixels")
      ->group("Cover");
  AddPictureOptions(command, settings_.picture);
  textOptions_.Add(command, settings_.text);
  AddChoiceOption(
      command, "--document-mode", settings_.documentMode, kDocumentModeNames,
      "how a PDF or DjVu file becomes part of the book: text (its text as paragraphs and headings, the "
      "pictures on its pages as pages), pages (each page a picture), reflow (the words of scanned "
      "pages set again at --reflow-height, line after line) or auto (the default: text "
      "when its pages have a text layer, pages for scans and drawings)")
      ->group("Documents");
  command
      .add_option("--reflow-height", settings_.picture.reflowHeight,
                  "the height of small letters (the x-height) that reflow sets a scan's words at, in pixels "
                  "(default " +
                      std::to_string(kDefaultReflowHeight) + ")")
      ->check(CLI::Range(kMinReflowHeight, kMaxReflowHeight))
      ->type_name("PX")
      ->group("Documents");
  command.add_flag("--skip-bad", skipBad_,
                   "leave out inputs (and damaged pictures or pages inside them) that cannot be used, with a "
                   "warning, instead of failing");
  command.add_flag("--force", force_, forceHelp);
}

void BookOptions::TakeProject(const Project& project, const std::string& file) {
  projectFile_ = file;
  settings_ = project.settings;
  projectDescription_ = project.description;
  if (project.cover.coverMode > 0 && !project.cover.fileName.empty()) {
    coverFile_ = Utf16ToUtf8(project.cover.fileName);
    coverOptions_ = {PageColorsOfBits(project.cover.coverMode), project.cover.margins};
    coverEnlarge_ = project.cover.enlarge;
  }
  generateCover_ = generateCover_ || (project.cover.coverMode > 0 && project.cover.fromTitle);
}

BookDescription BookOptions::Description(Console& console, const Runtime& runtime) const {
  BookDescription description = projectDescription_;
  for (const DescriptionText& t : DescriptionTexts()) {
    const auto given = texts_.find(t.field);
    if (given != texts_.end() && !given->second.empty()) description.*t.text = Utf8ToUtf16(given->second);
  }
  std::string annotationOption = OptionOf(DescriptionFieldId::kIntroduction);
  if (!annotationFileName_.empty()) {
    const DecodedTextFile file =
        DecodeTextFile(ReadFileBytes(Utf8ToUtf16(annotationFileName_)),
                       textOptions_.EncodingsAt(*command_, annotationFileOption_).at(0));
    for (const std::string& warning : DecodingWarnings(file))
      console.Warning("--annotation-file: " + warning);
    description.annotation = file.text;
    annotationOption = "--annotation-file";
  }
  description.annotation = WithLf(description.annotation);
  for (const DescriptionText& t : DescriptionTexts()) {
    const std::string option =
        t.field == DescriptionFieldId::kIntroduction ? annotationOption : OptionOf(t.field);
    FallbackReport report;
    description.*t.text = FitToWin1251(runtime, description.*t.text, &report);
    if (!report.Empty()) console.Warning(option + ": " + report.Summary(kFallbackChangesShown));
  }
  for (const DescriptionOverflow& o : FindDescriptionOverflows(runtime, description)) {
    const std::string option =
        o.field == DescriptionFieldId::kIntroduction ? annotationOption : OptionOf(o.field);
    if (!truncate_)
      Raise<Exception>("%s: %d characters, more than the %d a book can hold (--truncate cuts it)",
                       {option, o.length, o.limit});
    console.Warning(Format("%s: cut to %d of its %d characters", {option, o.limit, o.length}));
  }
  return description;
}

CoverPage BookOptions::Cover(Console& console, const Runtime& runtime) const {
  CoverPage cover;
  if (noCover_) return cover;
  cover.coverMode = BitsOf(coverOptions_.colors);
  cover.enlarge = coverEnlarge_;
  cover.margins = coverOptions_.margins;
  cover.fromTitle = generateCover_;
  if (coverFile_.empty()) return cover;
  const std::u16string fileName = Utf8ToUtf16(coverFile_);
  try {
    MakeInputItem(runtime, fileName);
  } catch (const InputError& e) {
    if (!skipBad_) Raise<Exception>("cover %s: %s", {coverFile_, e.Reason()});
    console.Warning(Format("no cover: %s: %s", {coverFile_, e.Reason()}));
    return CoverPage();
  }
  cover.fileName = fileName;
  return cover;
}

FileSettings BookOptions::Settings() const {
  FileSettings settings = settings_;
  settings.skipBadParts = skipBad_;
  return settings;
}

std::vector<std::string> BookOptions::EncodingsAt(const CLI::Option* inputs) const {
  return textOptions_.EncodingsAt(*command_, inputs);
}

void BookOptions::CheckOutput(const std::u16string& output, const std::string& shown) const {
  switch (KindOf(output)) {
    case FileKind::kMissing:
      return;
    case FileKind::kFolder:
      Raise<Exception>("the output %s is a folder", {shown});
    case FileKind::kOther:
      Raise<Exception>("the output %s is not a regular file", {shown});
    case FileKind::kRegular:
      break;
  }
  const std::pair<std::string, const char*> read[] = {{projectFile_, "project"},
                                                      {annotationFileName_, "annotation file"}};
  for (const auto& [file, what] : read)
    if (!file.empty() && SameFile(output, Utf8ToUtf16(file)))
      Raise<Exception>("The book \"%s\" would replace its own %s \"%s\"", {shown, std::string(what), file});
  if (!force_ && FileSize(output) > 0 && !LooksLikeWolfBook(output))
    Raise<Exception>("%s exists and is not a Wolf book: give --force to replace it", {shown});
}

}  // namespace bookloom::cli
