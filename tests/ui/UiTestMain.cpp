// The window tests' main: a QApplication on the offscreen platform and the program's units; every
// test keeps the window's settings in a configuration folder of its own, never the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/TestRuntime.h"

namespace {

// Points XDG_CONFIG_HOME at a new folder below `root` as each test starts.
class ConfigFolderPerTest : public ::testing::EmptyTestEventListener {
 public:
  explicit ConfigFolderPerTest(std::filesystem::path root) : root_(std::move(root)) {}
  void OnTestStart(const ::testing::TestInfo&) override {
    const std::filesystem::path folder = root_ / std::to_string(++count_);
    std::filesystem::create_directories(folder);
    setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  }

 private:
  std::filesystem::path root_;
  int count_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::testing::InitGoogleTest(&argc, argv);
  char config[] = "/tmp/bookloom-ui-tests-XXXXXX";
  if (!mkdtemp(config)) return 1;
  ::testing::UnitTest::GetInstance()->listeners().Append(new ConfigFolderPerTest(config));
  const bookloom::TestStartup units;
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Bookloom"));
  const int status = RUN_ALL_TESTS();
  std::filesystem::remove_all(config);
  return status;
}
