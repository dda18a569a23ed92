// What the text benchmarks share: the Russian sample texts of the shared test data (and, through
// BenchRuntime.h, a main() that holds the program's units).
#pragma once

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "BenchRuntime.h"

namespace bookloom::bench {

// A Russian sample text (testdata/texts/ru/<name>) in UTF-8; "" when it is missing.
inline std::string RussianSample(const char* name) {
  std::ifstream in(std::filesystem::path(BOOKLOOM_TESTDATA) / "texts/ru" / name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// The Russian novel of the shared samples, or a made-up Russian text of about 2 MB where it is
// missing, in UTF-8.
inline std::string NovelUtf8() {
  std::string utf8 = RussianSample("crime_and_punishment.utf8.txt");
  if (utf8.empty())
    while (utf8.size() < 2000000)
      utf8 += "Мама мыла раму, «а папа — нет»... 1234567890 Подъезд, сестра; молоко!\n";
  return utf8;
}

}  // namespace bookloom::bench
