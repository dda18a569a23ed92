// Access to the shared sample files, scratch folders and whole files for tests.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace bookloom::test {

// The path of a file under the shared test data folder.
inline std::filesystem::path TestDataPath(const std::string& relative) {
  return std::filesystem::path(BOOKLOOM_TESTDATA) / relative;
}

inline bool HaveTestData() { return std::filesystem::is_directory(BOOKLOOM_TESTDATA); }

// A fresh folder for one test, removed when the test ends.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The whole content of a file (empty when it cannot be read), and a file of exactly these bytes.
std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

// Single-quotes a path for the shell.
std::string Quoted(const std::filesystem::path& path);

}  // namespace bookloom::test

// Skips the test when the shared test data is not there.
#define REQUIRE_TESTDATA()                                                        \
  do {                                                                            \
    if (!::bookloom::test::HaveTestData()) GTEST_SKIP() << "no shared test data"; \
  } while (0)
