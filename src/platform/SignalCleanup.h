// A temporary file that must not outlive the program: when SIGINT or SIGTERM ends the program, the
// file registered at that moment is removed and the program exits with 128 plus the signal's number.
#pragma once

#include <string>

namespace bookloom {

// Takes over SIGINT and SIGTERM for the rest of the run. Programs call it once at start; without it
// the signals end the program as they always do.
void RemoveTemporaryFileOnSignal();

// Registers the one file to remove on a signal (replacing any registered before), or none. The name
// is copied: the handler touches nothing but that copy.
void SetTemporaryFile(const std::u16string& fileName);
void ClearTemporaryFile();

// Keeps a temporary file registered for its own life.
class TemporaryFileRegistration {
 public:
  explicit TemporaryFileRegistration(const std::u16string& fileName) { SetTemporaryFile(fileName); }
  ~TemporaryFileRegistration() { ClearTemporaryFile(); }
  TemporaryFileRegistration(const TemporaryFileRegistration&) = delete;
  TemporaryFileRegistration& operator=(const TemporaryFileRegistration&) = delete;
};

}  // namespace bookloom
