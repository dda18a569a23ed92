// bookloom-cli convert: a whole library at once, one book per e-book or document, several books at a
// time, resumable (books newer than their input and options are not made again), split across
// machines by shards, with a report of every book.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <nlohmann/json.hpp>
#include <thread>
#include <vector>

#include "app/cli/BookOptions.h"
#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "book/BookBuild.h"
#include "book/FileItem.h"
#include "book/InputFiles.h"
#include "book/Library.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "text/AsciiTransliterator.h"
#include "wolf/BookReader.h"

namespace bookloom::cli {

namespace {

using nlohmann::json;

// The file in the output folder that holds the options its books were made with: its time is when
// they last changed.
constexpr char16_t kOptionsFile[] = u".bookloom-convert";

struct Shard {
  int index = 1, count = 1;
};

// What became of one book.
struct BookOutcome {
  enum class Status { kMade, kSkipped, kFailed };
  Status status = Status::kFailed;
  std::string reason;  // why it failed
  int pages = 0;
  double seconds = 0;
  std::vector<std::string> warnings;
};

const char* StatusName(BookOutcome::Status status) {
  switch (status) {
    case BookOutcome::Status::kMade:
      return "made";
    case BookOutcome::Status::kSkipped:
      return "skipped";
    case BookOutcome::Status::kFailed:
      break;
  }
  return "failed";
}

// Counts the book's pages and keeps its warnings; called on the thread that builds the book.
class OutcomeObserver : public BuildObserver {
 public:
  explicit OutcomeObserver(BookOutcome& outcome) : outcome_(outcome) {}
  void Written(int, int, const FileItem&, const ItemReport& report) override {
    outcome_.pages += report.pages;
  }
  void Warning(const FileItem&, const std::string& message) override { outcome_.warnings.push_back(message); }

 private:
  BookOutcome& outcome_;
};

Shard ParseShard(const std::string& text) {
  Shard shard;
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d/%d%c", &shard.index, &shard.count, &rest) != 2 || shard.count < 1 ||
      shard.index < 1 || shard.index > shard.count)
    throw CLI::ValidationError("--shard", "is I/N with 1 <= I <= N, not " + text);
  return shard;
}

// Whether `output` is newer than the book's source and not older than the options file.
bool UpToDate(const LibraryBook& book, const std::u16string& output, int64_t optionsTime) {
  const std::optional<int64_t> made = ModificationTime(output), source = ModificationTime(book.source);
  return made && source && *made > *source && *made >= optionsTime && LooksLikeWolfBook(output);
}

class ConvertCommand : public Command {
 public:
  explicit ConvertCommand(CLI::App& app) {
    convert_ = app.add_subcommand(
        "convert", "makes one book of each e-book and document among files, folders and archives of e-books");
    convert_->footer(
        "A folder is walked with its sub-folders: its e-books, documents and texts each become a book at\n"
        "the same place below OUTDIR (pictures and other files are passed over); a zip of FB2 or EPUB books\n"
        "gives each of them a book in a folder named after the zip; a comic archive is one book. A book "
        "newer\n"
        "than its input and than the options it was made with is not made again (--force makes it).\n"
        "Every option of `make` applies to every book.\n"
        "Exit status: 0 every book made or skipped, 1 some failed (the others are made), 2 the command\n"
        "line is wrong.");
    // The options that change how a run goes, not its books.
    runOnly_.push_back(convert_->get_help_ptr());
    runOnly_.push_back(
        convert_->add_option("-O,--output-folder", outputFolder_, "the folder the books are written to")
            ->required()
            ->type_name("OUTDIR"));
    inputsOption_ = convert_->add_option("inputs", inputs_, "the e-books, documents, folders and archives")
                        ->required()
                        ->type_name("FILE");
    runOnly_.push_back(inputsOption_);
    jobs_ = std::max(1u, std::thread::hardware_concurrency());
    runOnly_.push_back(
        convert_->add_option("-j,--jobs", jobs_, "books made at once (the default: one per core)")
            ->check(CLI::Range(1, 256))
            ->type_name("N"));
    runOnly_.push_back(convert_
                           ->add_option_function<std::string>(
                               "--shard", [this](const std::string& text) { shard_ = ParseShard(text); },
                               "make only part I of N of the books (1 <= I <= N), chosen by their paths: N "
                               "machines with the "
                               "same command and I from 1 to N make every book once")
                           ->type_name("I/N"));
    runOnly_.push_back(
        convert_->add_option("--report", reportFile_, "write what became of every input to FILE as JSON")
            ->type_name("FILE"));
    convert_
        ->add_option_function<std::string>(
            "--name",
            [this](const std::string& text) {
              try {
                namePattern_.emplace(Utf8ToUtf16(text));
              } catch (const Exception& e) {
                throw CLI::ValidationError("--name", e.what());
              }
            },
            "name each book after its description below OUTDIR instead of mirroring the inputs: {author}, "
            "{series}, {title} and {file} (the input's name), \"/\" between folders; e.g. "
            "'{author}/{series}/{title}'")
        ->type_name("PATTERN");
    convert_->add_flag("--ascii-names", asciiNames_,
                       "write the books' names and folders in ASCII letters (Толстой becomes Tolstoy)");
    options_.Add(*convert_,
                 "make every book again, even one newer than its input, and replace outputs that are not "
                 "Wolf books");
    runOnly_.push_back(convert_->get_option("--force"));
  }

  int Run(Console& console, const Runtime& runtime) override {
    const BookDescription description = options_.Description(console, runtime);
    const CoverPage cover = options_.Cover(console, runtime);
    std::vector<std::u16string> inputs;
    for (const std::string& input : inputs_) inputs.push_back(Utf8ToUtf16(input));
    Library library = FindLibraryBooks(runtime, inputs);
    const std::vector<std::string> encodings = options_.EncodingsAt(inputsOption_);
    if (namePattern_ || asciiNames_) NameBooks(runtime, library.books, description, encodings);
    std::vector<LibraryBook> books;
    for (const LibraryBook& book : library.books)
      if (InShard(book, shard_.index, shard_.count)) books.push_back(book);

    const std::u16string folder = Utf8ToUtf16(outputFolder_);
    const int64_t optionsTime = NoteOptions(folder);
    std::vector<BookOutcome> outcomes(books.size());
    const size_t workers = std::min<size_t>(jobs_, books.size());
    RunJobs(console, books, outcomes, workers, [&](size_t i) {
      return ConvertBook(runtime, books[i], folder, optionsTime, encodings.at(books[i].input), description,
                         cover);
    });

    for (const auto& [name, why] : library.unreadable) PrintFailure(name, why);
    size_t counts[3] = {0, 0, library.unreadable.size()};  // made, skipped, failed
    for (const BookOutcome& o : outcomes) ++counts[static_cast<int>(o.status)];
    if (!reportFile_.empty()) WriteReport(library, books, outcomes);
    console.Result(Format(
        "%s made, %d skipped, %d failed in %s",
        {Counted(static_cast<int64_t>(counts[0]), "book", "books"), counts[1], counts[2], outputFolder_}));
    const size_t failed = counts[2];
    return failed > 0 ? kFailed : 0;
  }

 private:
  // Names every book of the library (not only this shard's, so that every machine numbers books of the
  // same name alike) after its description, or its mirrored path in ASCII. A book that cannot be read
  // is named after its file; its build then says what is wrong with it.
  void NameBooks(const Runtime& runtime, std::vector<LibraryBook>& books, const BookDescription& given,
                 const std::vector<std::string>& encodings) const {
    std::vector<BookNameFields> fields(books.size());
    if (namePattern_) {
      std::atomic<size_t> next{0};
      std::vector<std::jthread> threads;
      for (size_t w = 0; w < std::min<size_t>(jobs_, books.size()); ++w)
        threads.emplace_back([&] {
          for (size_t i; (i = next++) < books.size();)
            fields[i] = NameFields(runtime, books[i], given, encodings);
        });
    }
    std::optional<AsciiTransliterator> ascii;
    if (asciiNames_) ascii.emplace();
    for (size_t i = 0; i < books.size(); ++i) {
      if (namePattern_)
        books[i].output = namePattern_->OutputOf(books[i], fields[i], ascii ? &*ascii : nullptr);
      else
        books[i].output = AsciiOutputOf(books[i].output, *ascii);
    }
    NumberSharedOutputs(books);
  }

  BookNameFields NameFields(const Runtime& runtime, const LibraryBook& book, const BookDescription& given,
                            const std::vector<std::string>& encodings) const {
    try {
      FileSettings settings = options_.Settings();
      settings.text.encoding = encodings.at(book.input);
      const std::unique_ptr<FileItem> item = MakeLibraryItem(runtime, book, settings);
      const BookDescription offered = item->OfferedDescription();
      return {given.author.empty() ? offered.author : given.author, item->OfferedSeries(),
              given.title.empty() ? offered.title : given.title};
    } catch (const std::exception&) {
      return {given.author, {}, given.title};
    }
  }

  // Records the options in the output folder; rewritten (so newer than every book) only when they
  // changed. The time of the options file.
  int64_t NoteOptions(const std::u16string& folder) const {
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(Utf16ToUtf8(folder)), error);
    if (KindOf(folder) != FileKind::kFolder)
      Raise<Exception>("cannot make the output folder %s: %s", {outputFolder_, error.message()});
    const std::u16string file = folder + u"/" + kOptionsFile;
    const std::string options = OptionsText();
    if (KindOf(file) != FileKind::kRegular || ReadFileBytes(file) != options)
      WriteFileReplacing(file, options);
    return ModificationTime(file).value_or(0);
  }

  // Every option that changes the books, one a line, as the command line gave them.
  std::string OptionsText() const {
    std::string text;
    for (const CLI::Option* option : convert_->get_options()) {
      if (option->count() == 0 || std::find(runOnly_.begin(), runOnly_.end(), option) != runOnly_.end())
        continue;
      text += option->get_name();
      for (const std::string& value : option->results()) text += " " + value;
      text += "\n";
    }
    return text;
  }

  BookOutcome ConvertBook(const Runtime& runtime, const LibraryBook& book, const std::u16string& folder,
                          int64_t optionsTime, const std::string& encoding,
                          const BookDescription& description, const CoverPage& cover) const {
    const auto start = std::chrono::steady_clock::now();
    BookOutcome outcome;
    const std::u16string output = folder + u"/" + book.output;
    try {
      if (!options_.Force() && UpToDate(book, output, optionsTime)) {
        outcome.status = BookOutcome::Status::kSkipped;
        return outcome;
      }
      FileSettings settings = options_.Settings();
      settings.text.encoding = encoding;
      FileList files;
      files.Add(MakeLibraryItem(runtime, book, settings));
      std::error_code error;
      std::filesystem::create_directories(std::filesystem::path(Utf16ToUtf8(output)).parent_path(), error);
      options_.CheckOutput(output, Utf16ToUtf8(output));
      OutcomeObserver observer(outcome);
      BuildBook(runtime, output, files, description, cover, &observer);
      outcome.status = BookOutcome::Status::kMade;
    } catch (const InputError& e) {
      outcome.reason = e.Reason();
    } catch (const std::exception& e) {
      outcome.reason = e.what();
    }
    outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return outcome;
  }

  // Runs `convert(i)` for every book on `workers` threads, and tells of each book as it ends, in the
  // order they end.
  template <class Convert>
  void RunJobs(Console& console, const std::vector<LibraryBook>& books, std::vector<BookOutcome>& outcomes,
               size_t workers, Convert convert) const {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<size_t> finished;  // under the mutex
    std::atomic<size_t> next{0};
    {
      std::vector<std::jthread> threads;
      for (size_t w = 0; w < workers; ++w)
        threads.emplace_back([&] {
          for (size_t i; (i = next++) < books.size();) {
            BookOutcome outcome = convert(i);
            const std::lock_guard lock(mutex);
            outcomes[i] = std::move(outcome);
            finished.push_back(i);
            ended.notify_one();
          }
        });
      console.StartProgress(static_cast<int64_t>(books.size()));
      for (size_t told = 0; told < books.size();) {
        std::vector<size_t> batch;
        {
          std::unique_lock lock(mutex);
          ended.wait(lock, [&] { return !finished.empty(); });
          batch.swap(finished);
        }
        for (size_t i : batch) Tell(console, ++told, books.size(), books[i], outcomes[i]);
      }
      console.EndProgress();
    }
  }

  void Tell(Console& console, size_t told, size_t count, const LibraryBook& book,
            const BookOutcome& o) const {
    const std::string shown = Utf16ToUtf8(book.Shown());
    if (o.status == BookOutcome::Status::kFailed) {
      PrintFailure(book.Shown(), o.reason);
    } else {
      std::string line =
          Format("[%d/%d] %s %s", {told, count, StatusName(o.status), Utf16ToUtf8(book.output)});
      if (o.status == BookOutcome::Status::kMade)
        line += " (" + Counted(o.pages, "page", "pages") +
                (o.warnings.empty() ? "" : ", " + Counted(std::ssize(o.warnings), "warning", "warnings")) +
                ")";
      console.Line(line);
      for (const std::string& warning : o.warnings) console.Note(shown + ": " + warning);
    }
    console.ShowProgress(static_cast<int64_t>(told), shown);
  }

  static void PrintFailure(const std::u16string& input, const std::string& why) {
    std::fprintf(stderr, "bookloom-cli: convert: %s: %s\n", Utf16ToUtf8(input).c_str(), why.c_str());
  }

  void WriteReport(const Library& library, const std::vector<LibraryBook>& books,
                   const std::vector<BookOutcome>& outcomes) const {
    json entries = json::array();
    for (const auto& [name, why] : library.unreadable)
      entries.push_back({{"input", Utf16ToUtf8(name)}, {"status", "failed"}, {"reason", why}});
    for (size_t i = 0; i < books.size(); ++i) {
      const BookOutcome& o = outcomes[i];
      json entry = {{"input", Utf16ToUtf8(books[i].source)},
                    {"output", Utf16ToUtf8(Utf8ToUtf16(outputFolder_) + u"/" + books[i].output)},
                    {"status", StatusName(o.status)}};
      if (!books[i].entry.empty()) entry["entry"] = books[i].entry;
      if (o.status == BookOutcome::Status::kFailed) entry["reason"] = o.reason;
      if (o.status == BookOutcome::Status::kMade) {
        entry["pages"] = o.pages;
        entry["warnings"] = o.warnings;
      }
      if (o.status != BookOutcome::Status::kSkipped) entry["seconds"] = std::round(o.seconds * 1000) / 1000;
      entries.push_back(std::move(entry));
    }
    const json report = {{"shard", std::to_string(shard_.index) + "/" + std::to_string(shard_.count)},
                         {"books", entries}};
    WriteFileReplacing(Utf8ToUtf16(reportFile_), report.dump(2) + "\n");
  }

  CLI::App* convert_ = nullptr;
  CLI::Option* inputsOption_ = nullptr;
  std::vector<const CLI::Option*> runOnly_;
  std::string outputFolder_;
  std::vector<std::string> inputs_;
  unsigned jobs_ = 1;
  Shard shard_;
  std::string reportFile_;
  std::optional<OutputNamePattern> namePattern_;
  bool asciiNames_ = false;
  BookOptions options_;
};

}  // namespace

std::unique_ptr<Command> AddConvertCommand(CLI::App& app) { return std::make_unique<ConvertCommand>(app); }

}  // namespace bookloom::cli
