#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/FileSys.h"
#include "platform/LittleEndian.h"
#include "platform/Utf.h"
#include "support/SampleBooks.h"
#include "support/TestData.h"

namespace bookloom {
namespace {

struct CliRun {
  int status;
  std::string output;  // standard output and error
};

CliRun RunCli(const std::string& arguments) {
  const std::string command = std::string("'") + BOOKLOOM_CLI + "' " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return {-1, ""};
  CliRun run{0, ""};
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

TEST(InfoCommand, PrintsTheBookAndFailsOnADamagedOne) {
  test::ScratchDir dir;
  const std::string book = test::SampleBook();
  test::WriteBytes(dir / "book.wol", book);
  const CliRun info = RunCli("info " + test::Quoted(dir / "book.wol"));
  EXPECT_EQ(info.status, 0) << info.output;
  for (const char* line :
       {"  title: Sample\n", "Cover: 24 x 32, 1 bit per pixel\n",
        "Body: 4 sections, 45 paragraphs, 2 pictures\n", "    picture at ", ": 13 x 7, 2 bits per pixel",
        "  1.0.0 Chapter \xD0\x9E\xD0\xB4\xD0\xB8\xD0\xBD (body offset 8)\n",
        "    1.1.0 Section 1.1 (body offset 8)\n", "      1.1.1 Subsection 1.1.1 (body offset 8)\n",
        "    1.2.0 Section 1.2", "Table of contents: 8 entries\n",
        "  layout 0 (font 0, 576 pixels, 28 lines): "})
    EXPECT_NE(info.output.find(line), std::string::npos) << line << "\n" << info.output;

  std::string damaged = book;
  damaged[17] = 3;
  test::WriteBytes(dir / "damaged.wol", damaged);
  const CliRun bad = RunCli("info " + test::Quoted(dir / "damaged.wol"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.output.find("Offset 17: header field is 515 where it must be 513"), std::string::npos)
      << bad.output;

  EXPECT_EQ(RunCli("info " + test::Quoted(dir / "missing.wol")).status, 1);
  EXPECT_EQ(RunCli("info").status, 2);
}

TEST(ExtractCommand, WritesCoverPicturesAndText) {
  test::ScratchDir dir;
  test::WriteBytes(dir / "book.wol", test::SampleBook());
  const CliRun run = RunCli("extract " + test::Quoted(dir / "book.wol") + " " + test::Quoted(dir / "out"));
  ASSERT_EQ(run.status, 0) << run.output;
  const struct {
    const char* name;
    uint32_t width, height;
  } pngs[] = {{"cover.png", 24, 32}, {"picture-0001.png", 13, 7}, {"picture-0002.png", 20, 9}};
  for (const auto& png : pngs) {
    const std::string bytes = ReadFileBytes(Utf8ToUtf16((dir / "out" / png.name).string()));
    ASSERT_GT(bytes.size(), 24u) << png.name;
    EXPECT_EQ(bytes.substr(1, 3), "PNG") << png.name;
    const auto bigEndian = [&](size_t at) {
      return uint32_t(uint8_t(bytes[at])) << 24 | uint32_t(uint8_t(bytes[at + 1])) << 16 |
             uint32_t(uint8_t(bytes[at + 2])) << 8 | uint8_t(bytes[at + 3]);
    };
    EXPECT_EQ(bigEndian(16), png.width) << png.name;
    EXPECT_EQ(bigEndian(20), png.height) << png.name;
  }
  const std::string text = ReadFileBytes(Utf8ToUtf16((dir / "out" / "text.txt").string()));
  const std::string opening =
      "Chapter one\n\na&b <x> \"quoted\" 'single'\n \xD0\x9C\xD0\xB0\xD0\xBC\xD0\xB0 ";
  EXPECT_EQ(text.substr(0, opening.size()), opening);
  EXPECT_EQ(text.substr(text.size() - 8), "The end\n");
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 45);
}

}  // namespace
}  // namespace bookloom
