// Temporary files that must not outlive the program: when SIGINT or SIGTERM ends the program, every
// file registered at that moment is removed and the program exits with 128 plus the signal's number.
#pragma once

#include <string>

namespace bookloom {

// Takes over SIGINT and SIGTERM for the rest of the run. Programs call it once at start; without it
// the signals end the program as they always do.
void RemoveTemporaryFileOnSignal();

// Keeps a temporary file registered for its own life. Up to 256 files (the books of several threads)
// are registered at once; a file beyond them is not removed on a signal. The name is copied: the
// handler touches nothing but that copy.
class TemporaryFileRegistration {
 public:
  explicit TemporaryFileRegistration(const std::u16string& fileName);
  ~TemporaryFileRegistration();
  TemporaryFileRegistration(const TemporaryFileRegistration&) = delete;
  TemporaryFileRegistration& operator=(const TemporaryFileRegistration&) = delete;

 private:
  int slot_;  // -1 when none was free
};

}  // namespace bookloom
