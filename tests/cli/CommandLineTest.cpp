// The command line's own conventions, whatever the command: how options are spelled and named in
// messages and help, the values shell completion offers, and the manual page made from the help.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "support/CliRun.h"
#include "support/TestData.h"

namespace bookloom::test {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, NamesTheOptionThatIsWrong) {
  const ScratchDir dir;
  WriteBytes(dir / "a.txt", "text\n");
  const struct {
    const char* arguments;
    const char* error;
  } cases[] = {
      {"--bogus make -o b.wol a.txt", "unknown option \"--bogus\""},
      {"-qx make -o b.wol a.txt", "unknown option \"-x\""},
      {"make -o b.wol --picture-mode grey a.txt", "--picture-mode: is one of gray|mono, not grey"},
      {"make -o b.wol --rotate upside a.txt", "--rotate: is one of none|auto|left|right, not upside"},
      {"make -o b.wol --cover-margins 1,2 a.txt", "--cover-margins: takes four whole numbers"},
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(dir.Path(), c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments;
    EXPECT_TRUE(Contains(run.errors, c.error)) << c.arguments << ": " << run.errors;
  }
  EXPECT_EQ(RunCli(dir.Path(), "-q -v make -o b.wol a.txt").status, 0);
}

// "-o=book.wol" is "-o book.wol", as "--output=book.wol" is "--output book.wol".
TEST(CommandLine, TakesAShortOptionsValueAfterAnEqualsSign) {
  const ScratchDir dir;
  WriteBytes(dir / "a.txt", "text\n");
  ASSERT_EQ(RunCli(dir.Path(), "make -o=b.wol a.txt").status, 0);
  EXPECT_TRUE(fs::exists(dir / "b.wol"));
  EXPECT_FALSE(fs::exists(dir / "=b.wol"));
}

TEST(CommandLine, HelpShowsOptionsAsTheyAreTyped) {
  for (const char* command : {"make", "prepare"}) {
    const CliRun run = RunCli(fs::current_path(), std::string(command) + " --help");
    ASSERT_EQ(run.status, 0);
    EXPECT_FALSE(Contains(run.out, "{false}")) << run.out;
    EXPECT_TRUE(Contains(run.out, "--enlarge, --no-enlarge")) << run.out;
  }
}

// Shell completion offers the values of an option that takes one of a few names.
TEST(CommandLine, NamesTheValuesOfAnOptionForCompletion) {
  const struct {
    const char* arguments;
    const char* values;
  } cases[] = {
      {"names make rotate", "none\nauto\nleft\nright\n"},
      {"names prepare split", "none\nltr\nrtl\nauto\n"},
      {"names make unwrap", "off\non\nauto\n"},
      {"names make cover", ""},  // a file: completion offers file names
  };
  for (const auto& c : cases) {
    const CliRun run = RunCli(fs::current_path(), c.arguments);
    EXPECT_EQ(run.status, 0) << c.arguments;
    EXPECT_EQ(run.out, c.values) << c.arguments;
  }
}

// What bash offers after the words typed so far, the last one being completed.
std::string Completed(const ScratchDir& dir, const std::string& words) {
  WriteBytes(dir / "complete.sh", "source " + Quoted(BOOKLOOM_BASH_COMPLETION) + "\nbookloom-cli() { " +
                                      Quoted(BOOKLOOM_CLI) +
                                      " \"$@\"; }\n"
                                      "COMP_WORDS=(" +
                                      words +
                                      ")\nCOMP_CWORD=$((${#COMP_WORDS[@]} - 1))\n"
                                      "_bookloom_cli\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n");
  const std::string out = (dir / "out").string();
  if (std::system(("cd " + Quoted(dir.Path()) + " && bash complete.sh >" + Quoted(out)).c_str()) != 0)
    return "failed";
  return ReadBytes(out);
}

TEST(CommandLine, BashCompletesOptionValuesFromTheProgram) {
  const ScratchDir dir;
  WriteBytes(dir / "photo.jpg", "");
  EXPECT_EQ(Completed(dir, "bookloom-cli make --rotate ''"), "none\nauto\nleft\nright\n");
  EXPECT_EQ(Completed(dir, "bookloom-cli prepare --split r"), "rtl\n");
  EXPECT_EQ(Completed(dir, "bookloom-cli make --cover ph"), "photo.jpg\n");
  EXPECT_EQ(Completed(dir, "bookloom-cli make --no-cov"), "--no-cover\n--no-cover-enlarge\n");
}

// Every line of the manual page that starts with a dot is a request troff knows: no line of the help
// is taken for one and lost.
TEST(CommandLine, TheManualPageKeepsEveryLineOfTheHelp) {
  if (std::system("help2man --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no help2man";
  const ScratchDir dir;
  const std::string command = "cmake -DCLI=" + Quoted(BOOKLOOM_CLI) + " -DOUTPUT=" + Quoted(dir / "page.1") +
                              " -DWORK=" + Quoted(dir.Path()) + " -P " + Quoted(BOOKLOOM_MAN_PAGE_SCRIPT) +
                              " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::string page = ReadBytes(dir / "page.1");
  const std::regex request(R"(^\.(\\"|[A-Z]{1,2}|nf|fi|br|sp|in|ft|ad|na|ne|ti|ds|de|if|ie|el|\.)(\s.*)?$)");
  std::istringstream lines(page);
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with(".")) EXPECT_TRUE(std::regex_match(line, request)) << line;
  EXPECT_TRUE(Contains(page, ".cb7")) << "the line of comic archives is lost";
}

}  // namespace
}  // namespace bookloom::test
