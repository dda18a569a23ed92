// bookloom-cli: builds, checks and takes apart Wolf books from the command line.
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "app/BuildVersion.h"
#include "app/cli/Commands.h"
#include "book/Startup.h"

// The version stamp read back from this executable by GetVersionStrings.
[[gnu::section(".bookloom_version"), gnu::used]] constexpr bookloom::VersionStamp kVersionStamp =
    bookloom::kBookloomVersionStamp;

namespace bookloom::cli {

namespace {

struct Command {
  const char* name;
  int (*run)(const Args&);
};

const Command kCommands[] = {
    {"help",
     [](const Args&) {
       PrintUsage();
       return 0;
     }},
    {"info", InfoCommand},
    {"extract", ExtractCommand},
    {"prepare", PrepareCommand},
    {"make", MakeCommand},
    {"formats", FormatsCommand},
};

}  // namespace

void PrintUsage() {
  std::printf(
      "Usage: bookloom-cli COMMAND [ARGUMENTS]\n"
      "\n"
      "Commands:\n"
      "  help                         this text\n"
      "  info BOOK.wol                what the book holds; checks it (exit 1 when damaged)\n"
      "  extract BOOK.wol DIR         the cover and pictures as PNG, the text as UTF-8 text.txt\n"
      "  prepare IN OUT.png [--mode 1|2] [--enlarge] [--margins L,R,T,B]  the page, as grey PNG\n"
      "  make -o BOOK.wol [OPTIONS] FILE...   builds a book from text files and pictures\n"
      "      --title T  --author A  --subject S  --adapter A  --translator T  --publisher P\n"
      "      --publish-time T  --isbn I  --annotation TEXT | --annotation-file F\n"
      "      --cover FILE [--cover-mode mono|gray] [--no-enlarge] [--margins L,R,T,B]\n"
      "  formats                      the open-dialog filter and the registered extensions\n");
}

}  // namespace bookloom::cli

int main(int argc, char** argv) {
  using namespace bookloom::cli;
  if (argc < 2 || !std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    PrintUsage();
    return argc < 2 ? 2 : 0;
  }
  // The user's character set and sort order; numbers keep the C locale's decimal point.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_COLLATE, "");
  const Args args(argv + 2, argv + argc);
  for (const auto& command : kCommands) {
    if (std::strcmp(argv[1], command.name) != 0) continue;
    try {
      bookloom::Startup units;
      return command.run(args);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "bookloom-cli: %s\n", e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "bookloom-cli: unknown command \"%s\"\n", argv[1]);
  PrintUsage();
  return 2;
}
