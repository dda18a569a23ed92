// What bookloom-cli tells people: results on standard output, warnings, notes and progress on
// standard error; --quiet silences warnings and progress, --verbose adds notes.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace bookloom::cli {

enum class Verbosity { kQuiet, kNormal, kVerbose };

class Console {
 public:
  explicit Console(Verbosity verbosity);

  Verbosity Level() const { return verbosity_; }
  // A result, on standard output whatever the verbosity.
  void Result(const std::string& line);
  // "bookloom-cli: warning: ..." unless quiet.
  void Warning(const std::string& text);
  // Only with --verbose.
  void Note(const std::string& text);
  // A line of progress that stays: on a terminal (unless quiet) and with --verbose.
  void Line(const std::string& text);

  // A progress line on a terminal, redrawn in place: a bar, the part done, what is being read and
  // an estimate of the time left. Nothing when standard error is no terminal or when quiet.
  void StartProgress(int64_t total);
  void ShowProgress(int64_t done, const std::string& label);
  void EndProgress();

 private:
  void ClearProgressLine();

  Verbosity verbosity_;
  bool terminal_;
  bool progressShown_ = false;
  int64_t total_ = 0;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point drawn_;  // when the progress line was last drawn
  std::string label_;                            // and what it named
};

// "1 file", "2 files": the count and the noun in the number the count needs.
std::string Counted(int64_t count, const char* singular, const char* plural);

}  // namespace bookloom::cli
