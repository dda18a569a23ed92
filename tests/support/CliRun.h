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
// arguments go through the shell as they stand. Its output is kept outside that folder.
CliRun RunCli(const std::filesystem::path& folder, const std::string& arguments);

bool Contains(const std::string& text, const std::string& part);

}  // namespace bookloom::test
