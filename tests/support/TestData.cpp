#include "support/TestData.h"

#include <random>

namespace bookloom::test {

ScratchDir::ScratchDir() {
  std::random_device rd;
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "bookloom";
  for (auto& c : name)
    if (c == '/') c = '_';
  path_ = std::filesystem::temp_directory_path() / ("bookloom-" + name + "-" + std::to_string(rd()));
  std::filesystem::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

}  // namespace bookloom::test
