// The subcommands of bookloom-cli: each adds its options to the command line, reads them into
// itself, and does its work when it is the one chosen.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>

namespace bookloom {
class Runtime;
}

namespace bookloom::cli {

class Console;

// Exit statuses: the work failed (1) or the command line was wrong (2); warnings leave 0.
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

class Command {
 public:
  virtual ~Command() = default;
  // Does the work with the options read and the run's libraries; the status to exit with. Errors of
  // the work are raised.
  virtual int Run(Console& console, const Runtime& runtime) = 0;
};

std::unique_ptr<Command> AddMakeCommand(CLI::App& app);
std::unique_ptr<Command> AddConvertCommand(CLI::App& app);
std::unique_ptr<Command> AddInfoCommand(CLI::App& app);
std::unique_ptr<Command> AddExtractCommand(CLI::App& app);
std::unique_ptr<Command> AddPrepareCommand(CLI::App& app);
std::unique_ptr<Command> AddFormatsCommand(CLI::App& app);

}  // namespace bookloom::cli
