// bookloom-cli make: builds a book from files and options, as the window's "Make Wolf" does.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/cli/Commands.h"
#include "pictures/CoverPage.h"
#include "platform/Exception.h"
#include "platform/FileSys.h"
#include "platform/Utf.h"
#include "book/FileItem.h"
#include "book/FileTypeRegistry.h"
#include "book/BookDescription.h"
#include "book/BookBuild.h"
#include "text/Win1251.h"

namespace bookloom::cli {

namespace {

struct MakeOptions {
  std::u16string output;
  BookDescription description;
  CoverPage cover;
  std::vector<std::u16string> files;
  const char* annotationOption = "--annotation";  // the option the annotation came from
};

// A description text option and the field it fills.
struct TextOption {
  const char* name;
  std::u16string BookDescription::*field;
};

const TextOption kTextOptions[] = {
    {"--title", &BookDescription::title},           {"--author", &BookDescription::author},
    {"--subject", &BookDescription::subject},       {"--adapter", &BookDescription::adapter},
    {"--translator", &BookDescription::translator}, {"--publisher", &BookDescription::publisher},
    {"--publish-time", &BookDescription::publishTime}, {"--isbn", &BookDescription::isbn},
    {"--annotation", &BookDescription::annotation},
};

[[noreturn]] void UsageError(const std::string& message) { Raise<Exception>("make: %s", {message}); }

int ParseInt(const std::string& text, const char* option) {
  char* end = nullptr;
  const long v = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end || v < 0 || v > 100000) UsageError(std::string("bad number for ") + option + ": " + text);
  return static_cast<int>(v);
}

void ParseMargins(const std::string& text, CoverPage& cover) {
  int* fields[] = {&cover.margins.left, &cover.margins.right, &cover.margins.top, &cover.margins.bottom};
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = text.find(',', start);
    if ((i < 3) == (comma == std::string::npos)) UsageError("--margins takes four numbers: L,R,T,B");
    *fields[i] = ParseInt(text.substr(start, comma - start), "--margins");
    start = comma + 1;
  }
}

// Normalises line ends to CR LF, as the description dialog stores a multi-line annotation.
std::u16string WithCrLf(const std::u16string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    if (text[i] == u'\r' || text[i] == u'\n') out += u"\r\n"; else out += text[i];
  }
  return out;
}

MakeOptions ParseMakeArgs(const Args& args) {
  MakeOptions o;
  o.cover.SetDefaults();
  bool coverModeGiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> const std::string& {
      if (i + 1 >= args.size()) UsageError(a + " needs a value");
      return args[++i];
    };
    bool matched = false;
    for (const auto& t : kTextOptions)
      if (a == t.name) {
        o.description.*t.field = Utf8ToUtf16(value());
        matched = true;
      }
    if (matched) continue;
    if (a == "-o" || a == "--output") o.output = Utf8ToUtf16(value());
    else if (a == "--annotation-file") {
      o.description.annotation = Utf8ToUtf16(ReadFileBytes(Utf8ToUtf16(value())));
      o.annotationOption = "--annotation-file";
    } else if (a == "--cover")
      o.cover.fileName = Utf8ToUtf16(value());
    else if (a == "--cover-mode") {
      const std::string& m = value();
      if (m == "mono") o.cover.coverMode = 1;
      else if (m == "gray") o.cover.coverMode = 2;
      else UsageError("--cover-mode is mono or gray, not " + m);
      coverModeGiven = true;
    } else if (a == "--no-enlarge") o.cover.enlarge = false;
    else if (a == "--margins") ParseMargins(value(), o.cover);
    else if (a.size() > 1 && a[0] == '-') UsageError("unknown option " + a);
    else o.files.push_back(Utf8ToUtf16(a));
  }
  if (o.output.empty()) UsageError("no output book given (-o BOOK.wol)");
  if (o.files.empty()) UsageError("no input files given");
  if (!o.cover.fileName.empty()) {
    if (!FileExists(o.cover.fileName)) UsageError("cover picture not found: " + Utf16ToUtf8(o.cover.fileName));
    if (!coverModeGiven) o.cover.coverMode = 2;
  }
  o.description.annotation = WithCrLf(o.description.annotation);
  return o;
}

// Refuses a description text that Windows-1251 cannot hold, with the description dialog's words,
// naming the option the text came from.
void CheckDescription(const MakeOptions& o) {
  for (const auto& t : kTextOptions) {
    const char16_t bad = FindNonWin1251Char(o.description.*t.field);
    const bool annotation = t.field == &BookDescription::annotation;
    if (bad)
      Raise<Exception>(
          "%s: You are entered a symbol (code 0x%4.4x), which\ncannot be represented in Windows-1251 code "
          "page!",
          {annotation ? o.annotationOption : t.name, static_cast<int>(bad)});
  }
}

// Adds each file as the window's "Add File" does; names what cannot be added.
void AddFiles(const std::vector<std::u16string>& names, FileList& list) {
  for (const auto& name : names) {
    if (!FileExists(name)) {
      std::fprintf(stderr, "bookloom-cli: warning: no such file, skipped: %s\n", Utf16ToUtf8(name).c_str());
      continue;
    }
    const FileItemClass* itemClass = FileTypeRegistry::Instance().FindItemClass(name);
    if (!itemClass) {
      std::fprintf(stderr, "bookloom-cli: warning: not a known kind of file, skipped: %s\n", Utf16ToUtf8(name).c_str());
      continue;
    }
    auto item = itemClass->create(name);
    item->Verify();
    list.Add(std::move(item));
  }
  if (list.Count() == 0) Raise<Exception>("make: none of the input files can be added to a book");
}

}  // namespace

int MakeCommand(const Args& args) {
  MakeOptions o = ParseMakeArgs(args);
  CheckDescription(o);
  FileList files;
  AddFiles(o.files, files);
  const bool terminal = isatty(STDERR_FILENO);
  BuildBook(o.output, files, o.description, o.cover, [&](int index, int count, const FileItem& item) {
    if (terminal)
      std::fprintf(stderr, "[%d/%d] %s\n", index + 1, count, Utf16ToUtf8(item.ShortName()).c_str());
  });
  std::printf("Wrote %s (%d files)\n", Utf16ToUtf8(o.output).c_str(), files.Count());
  return 0;
}

int FormatsCommand(const Args&) {
  std::printf("%s\n\nRegistered extensions:\n",
              Utf16ToUtf8(FileTypeRegistry::Instance().BuildFilter(1, kGroupByClass | kAllSupported, nullptr)).c_str());
  for (const auto& e : FileTypeRegistry::Instance().Extensions())
    std::printf("  %-6s %s\n", Utf16ToUtf8(e->ext).c_str(),
                Utf16ToUtf8(e->description.empty() ? e->classItem->description : e->description).c_str());
  return 0;
}

}  // namespace bookloom::cli
