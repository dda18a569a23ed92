// bookloom-cli: builds, checks and takes apart Wolf books from the command line.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <exception>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/cli/Command.h"
#include "app/cli/Console.h"
#include "book/Startup.h"
#include "platform/BuildVersion.h"
#include "platform/SignalCleanup.h"

namespace bookloom::cli {

namespace {

// "bookloom-cli 0.2 (build 0.2.00)", as the about box shows the version.
std::string VersionText() {
  return std::string("bookloom-cli ") + kVersionText + " (build " + kBuildText + ")";
}

// Help that names each option as it is typed: "--enlarge, --no-enlarge", without the value a
// negative flag sets ("--no-enlarge{false}").
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_name(const CLI::Option* option, bool positional) const override {
    if (positional) return CLI::Formatter::make_option_name(option, positional);
    std::vector<std::string> names;
    for (const std::string& name : option->get_snames()) names.push_back("-" + name);
    for (const std::string& name : option->get_lnames()) names.push_back("--" + name);
    return CLI::detail::join(names, ", ");
  }
};

// The values a long option (named without its dashes) takes, one per line, where they are a list of
// names ("none|auto|left").
void PrintValues(const CLI::App& command, const std::string& optionName) {
  const CLI::Option* option = command.get_option_no_throw("--" + optionName);
  if (!option || option->get_type_name().find('|') == std::string::npos) return;
  for (const std::string& value : CLI::detail::split(option->get_type_name(), '|'))
    std::printf("%s\n", value.c_str());
}

// Every option and subcommand name of the program, or of one subcommand, one per line: what the
// shell's completion offers; with a long option's name after them ("rotate"), the values that
// option takes.
void PrintNames(const CLI::App& app, const std::vector<std::string>& words) {
  const std::string subcommand = words.empty() ? "" : words[0];
  const CLI::App* target = &app;
  if (!subcommand.empty()) {
    try {
      target = app.get_subcommand(subcommand);
    } catch (const CLI::OptionNotFound&) {
      return;
    }
  }
  if (words.size() > 1) return PrintValues(*target, words[1]);
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

// The arguments as the parser takes them: "-o=book.wol" is "-o book.wol", as "--output=book.wol" is.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& a = arguments[i];
    if (a == "--") break;
    if (a.size() > 2 && a[0] == '-' && a[1] != '-' && a[2] == '=') {
      const std::string value = a.substr(3);
      arguments[i].resize(2);
      arguments.insert(arguments.begin() + static_cast<ptrdiff_t>(i) + 1, value);
      ++i;
    }
  }
  return arguments;
}

// Refuses an option before the command that the program does not have, naming it (the parser
// would only miss the command).
void CheckOptionsBeforeCommand(const CLI::App& app, const std::vector<std::string>& arguments) {
  for (const std::string& a : arguments) {
    if (a.empty() || a[0] != '-') return;
    const std::string name = a.substr(0, a.find('='));
    // Short flags may come together: "-qv".
    const bool together = name.size() > 2 && name[1] != '-';
    for (size_t i = 1; i < (together ? name.size() : 2); ++i) {
      const std::string each = together ? std::string{'-', name[i]} : name;
      if (!app.get_option_no_throw(each)) throw CLI::ParseError("unknown option \"" + each + "\"", kUsage);
    }
  }
}

int Main(int argc, char** argv) {
  CLI::App app(
      "Makes Wolf e-books for e-ink readers of 600 x 800 pixels from text files and pictures, and "
      "checks and takes them apart.",
      "bookloom-cli");
  app.formatter(std::make_shared<HelpFormatter>());  // before the commands, which take it over
  app.set_version_flag("--version", VersionText(), "print the version and exit");
  app.require_subcommand(1);
  Verbosity verbosity = Verbosity::kNormal;
  app.add_flag_callback(
      "-q,--quiet", [&] { verbosity = Verbosity::kQuiet; }, "no progress and no warnings");
  app.add_flag_callback(
      "-v,--verbose", [&] { verbosity = Verbosity::kVerbose; }, "say what each input became");
  std::vector<std::pair<CLI::App*, std::unique_ptr<Command>>> commands;
  for (auto add : {AddMakeCommand, AddConvertCommand, AddInfoCommand, AddExtractCommand, AddPrepareCommand,
                   AddFormatsCommand}) {
    std::unique_ptr<Command> command = add(app);
    commands.emplace_back(app.get_subcommands({}).back(), std::move(command));
    commands.back().first->fallthrough();  // --quiet and --verbose after the command's name too
  }
  // Set after the commands, which would take the program's footer over as their own.
  app.footer(
      "Run \"bookloom-cli COMMAND --help\" for the options of a command.\n"
      "Exit status: 0 done (warnings included), 1 the work failed, 2 the command line is wrong.");
  std::vector<std::string> namesOf;
  CLI::App* names = app.add_subcommand("names", "the option names, for shell completion")->group("");
  names->add_option("command", namesOf, "a command, and one of its long options (without --) for its values");

  try {
    std::vector<std::string> arguments = Arguments(argc, argv);
    if (!arguments.empty() && arguments[0][0] != '-' && !IsCommand(app, arguments[0]))
      throw CLI::ParseError("unknown command \"" + arguments[0] + "\"", kUsage);
    CheckOptionsBeforeCommand(app, arguments);
    std::reverse(arguments.begin(), arguments.end());  // the parser takes them last first
    app.parse(arguments);
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
      return command->Run(console, startup.Libraries());
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
