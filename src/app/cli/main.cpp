// bookloom-cli: builds, checks and takes apart Wolf books from the command line.
#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/BuildVersion.h"
#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "book/Startup.h"
#include "platform/FileSys.h"
#include "platform/SignalCleanup.h"
#include "platform/Utf.h"
#include "platform/VersionStrings.h"

// The version stamp read back from this executable by GetVersionStrings.
[[gnu::section(".bookloom_version"), gnu::used]] constexpr bookloom::VersionStamp kVersionStamp =
    bookloom::kBookloomVersionStamp;

namespace bookloom::cli {

namespace {

// "bookloom-cli 0.2 (build 0.2.00)", as the about box shows the version.
std::string VersionText() {
  std::u16string version, build;
  if (!GetVersionStrings(ExecutablePath(), &version, &build)) return "bookloom-cli (no version information)";
  return "bookloom-cli " + Utf16ToUtf8(version) + " (build " + Utf16ToUtf8(build) + ")";
}

// Every option and subcommand name of the program, or of one subcommand, one per line: what the
// shell's completion offers.
void PrintNames(const CLI::App& app, const std::string& subcommand) {
  const CLI::App* target = &app;
  if (!subcommand.empty()) {
    try {
      target = app.get_subcommand(subcommand);
    } catch (const CLI::OptionNotFound&) {
      return;
    }
  }
  for (const CLI::Option* option : target->get_options()) {
    for (const std::string& name : option->get_lnames()) std::printf("--%s\n", name.c_str());
    for (const std::string& name : option->get_snames()) std::printf("-%s\n", name.c_str());
  }
  if (subcommand.empty())
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App* s) { return !s->get_group().empty(); }))
      std::printf("%s\n", sub->get_name().c_str());
}

bool IsCommand(const CLI::App& app, const std::string& name) {
  const auto subcommands = app.get_subcommands([&](const CLI::App* s) { return s->get_name() == name; });
  return !subcommands.empty();
}

int Main(int argc, char** argv) {
  CLI::App app(
      "Makes Wolf e-books for e-ink readers of 600 x 800 pixels from text files and pictures, and "
      "checks and takes them apart.",
      "bookloom-cli");
  app.set_version_flag("--version", VersionText(), "print the version and exit");
  app.require_subcommand(1);
  Verbosity verbosity = Verbosity::kNormal;
  app.add_flag_callback(
      "-q,--quiet", [&] { verbosity = Verbosity::kQuiet; }, "no progress and no warnings");
  app.add_flag_callback(
      "-v,--verbose", [&] { verbosity = Verbosity::kVerbose; }, "say what each input became");
  std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands;
  for (auto add : {AddMakeCommand, AddConvertCommand, AddInfoCommand, AddExtractCommand, AddPrepareCommand, AddFormatsCommand}) {
    std::unique_ptr<Command> command = add(app);
    commands.emplace_back(app.get_subcommands({}).back(), std::move(command));
    commands.back().first->fallthrough();  // --quiet and --verbose after the command's name too
  }
  // Set after the commands, which would take the program's footer over as their own.
  app.footer(
      "Run \"bookloom-cli COMMAND --help\" for the options of a command.\n"
      "Exit status: 0 done (warnings included), 1 the work failed, 2 the command line is wrong.");
  std::string namesOf;
  CLI::App* names = app.add_subcommand("names", "the option names, for shell completion")->group("");
  names->add_option("command", namesOf);

  try {
    if (argc > 1 && argv[1][0] != '-' && !IsCommand(app, argv[1]))
      throw CLI::ParseError("unknown command \"" + std::string(argv[1]) + "\"", kUsage);
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::fprintf(stderr,
                 "bookloom-cli: %s\nRun \"bookloom-cli --help\" for the commands and their options.\n",
                 e.what());
    return kUsage;
  }
  if (*names) {
    PrintNames(app, namesOf);
    return 0;
  }

  Console console(verbosity);
  for (auto& [subcommand, command] : commands) {
    if (!*subcommand) continue;
    try {
      const Startup startup;
      return command->Run(console);
    } catch (const std::exception& e) {
      console.EndProgress();
      std::fprintf(stderr, "bookloom-cli: %s: %s\n", subcommand->get_name().c_str(), e.what());
      return kFailed;
    }
  }
  return kUsage;
}

}  // namespace

}  // namespace bookloom::cli

int main(int argc, char** argv) {
  // The user's character set and sort order; numbers keep the C locale's decimal point.
  std::setlocale(LC_CTYPE, "");
  std::setlocale(LC_COLLATE, "");
  bookloom::RemoveTemporaryFileOnSignal();
  return bookloom::cli::Main(argc, argv);
}
