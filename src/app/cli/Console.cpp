#include "app/cli/Console.h"

#include <unistd.h>

#include <cstdio>

namespace bookloom::cli {

namespace {

constexpr int kBarWidth = 24;
constexpr size_t kLabelWidth = 36;

std::string Duration(double seconds) {
  const auto s = static_cast<long>(seconds + 0.5);
  char text[32];
  if (s >= 3600)
    std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", s / 3600, s / 60 % 60, s % 60);
  else
    std::snprintf(text, sizeof text, "%ld:%02ld", s / 60, s % 60);
  return text;
}

}  // namespace

std::string Counted(int64_t count, const char* singular, const char* plural) {
  return std::to_string(count) + " " + (count == 1 ? singular : plural);
}

Console::Console(Verbosity verbosity) : verbosity_(verbosity), terminal_(isatty(STDERR_FILENO) != 0) {}

void Console::Result(const std::string& line) {
  ClearProgressLine();
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

void Console::Warning(const std::string& text) {
  if (verbosity_ == Verbosity::kQuiet) return;
  ClearProgressLine();
  std::fprintf(stderr, "bookloom-cli: warning: %s\n", text.c_str());
}

void Console::Note(const std::string& text) {
  if (verbosity_ != Verbosity::kVerbose) return;
  ClearProgressLine();
  std::fprintf(stderr, "%s\n", text.c_str());
}

void Console::Line(const std::string& text) {
  if (verbosity_ == Verbosity::kQuiet || (!terminal_ && verbosity_ != Verbosity::kVerbose)) return;
  ClearProgressLine();
  std::fprintf(stderr, "%s\n", text.c_str());
}

void Console::StartProgress(int64_t total) {
  total_ = total > 0 ? total : 1;
  start_ = std::chrono::steady_clock::now();
}

void Console::ShowProgress(int64_t done, const std::string& label) {
  if (!terminal_ || verbosity_ == Verbosity::kQuiet) return;
  // Redrawn at most ten times a second, and whenever the label changes.
  const auto now = std::chrono::steady_clock::now();
  if (progressShown_ && label == label_ && now - drawn_ < std::chrono::milliseconds(100)) return;
  drawn_ = now;
  label_ = label;
  const double part = std::min(1.0, static_cast<double>(done) / static_cast<double>(total_));
  const int filled = static_cast<int>(part * kBarWidth);
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  const std::string left = part > 0.02 && elapsed > 0.5 ? Duration(elapsed / part - elapsed) + " left" : "";
  std::string shown =
      label.size() > kLabelWidth ? "..." + label.substr(label.size() - kLabelWidth + 3) : label;
  std::fprintf(stderr, "\r[%s%s] %3d%% %-*s %s\x1b[K", std::string(filled, '#').c_str(),
               std::string(kBarWidth - filled, '.').c_str(), static_cast<int>(part * 100),
               static_cast<int>(kLabelWidth), shown.c_str(), left.c_str());
  std::fflush(stderr);
  progressShown_ = true;
}

void Console::EndProgress() { ClearProgressLine(); }

void Console::ClearProgressLine() {
  if (!progressShown_) return;
  std::fprintf(stderr, "\r\x1b[K");
  std::fflush(stderr);
  progressShown_ = false;
}

}  // namespace bookloom::cli
