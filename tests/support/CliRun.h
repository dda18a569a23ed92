// Runs bookloom-cli as a user would, in a folder of the test's, and keeps what it printed.
#pragma once

#include <filesystem>
#include <string>

namespace bookloom::test {

struct CliRun {
  int status;  // the exit status; 128 plus the signal's number when a signal ended it
  std::string out, errors;
};

// Runs `bookloom-cli ARGUMENTS` in `folder`, so that the arguments may name its files plainly; the
// arguments go through the shell as they stand. Its output is kept outside that folder. `program` is
// the bookloom-cli to run: the one built, or a copy of it.
CliRun RunCli(const std::filesystem::path& folder, const std::string& arguments,
              const std::filesystem::path& program = BOOKLOOM_CLI);

bool Contains(const std::string& text, const std::string& part);

}  // namespace bookloom::test
